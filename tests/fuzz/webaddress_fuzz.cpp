// Typed addresses, as UTF-16 code units: whatever the text, an address
// handed to the browser or the default browser never carries a path, a
// script or another scheme, and each refusal has its reason.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "webdrive/webaddress.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// The text as a browser reads its start: blanks around it and control
// characters anywhere left out, ASCII letters in lower case.
std::wstring Reading(const std::wstring& text) {
    std::wstring s;
    for (wchar_t c : text) {
        if (c < L' ' || c == 0x7F) continue;
        s += c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c;
    }
    std::size_t b = 0;
    while (b < s.size() && (s[b] == L' ' || s[b] == 0x3000 || s[b] == 0xFEFF)) ++b;
    return s.substr(b);
}

bool StartsWith(const std::wstring& s, const wchar_t* head) { return s.compare(0, std::wcslen(head), head) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text;
    for (size_t i = 0; i + 1 < size; i += 2) text += wchar_t(data[i] | (data[i + 1] << 8));
    const lz::AddressKind kind = lz::ClassifyAddress(text);
    const bool refused = kind != lz::AddressKind::Web && kind != lz::AddressKind::Empty;
    Check(refused == !lz::RefusalText(kind).empty());
    if (kind == lz::AddressKind::Web) {
        const std::wstring r = Reading(text);
        for (const wchar_t* bad : {L"javascript:", L"vbscript:", L"file:", L"\\", L"/", L"shell:", L"mailto:"})
            Check(!StartsWith(r, bad));
        Check(!(r.size() >= 2 && ((r[0] >= L'a' && r[0] <= L'z') && r[1] == L':')));
    }
    const std::wstring url = lz::DefaultBrowserUrl(text);
    Check(url.empty() || (kind == lz::AddressKind::Web && lz::IsPlainWebUrl(url)));
    if (lz::IsPlainWebUrl(url)) Check(StartsWith(Reading(url), L"http://") || StartsWith(Reading(url), L"https://"));
    return 0;
}
