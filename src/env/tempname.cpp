#include "env/tempname.h"

#include <cwchar>

namespace lz {

namespace {

const wchar_t kPrefix[] = L"~lztmp-";
const wchar_t kSuffix[] = L".tmp";
constexpr std::size_t kPrefixSize = sizeof kPrefix / sizeof kPrefix[0] - 1;
constexpr std::size_t kSuffixSize = sizeof kSuffix / sizeof kSuffix[0] - 1;
constexpr std::size_t kNameSize = kPrefixSize + 8 + 1 + 8 + kSuffixSize;

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;  // the file system may fold case
    return -1;
}

std::optional<std::uint32_t> Hex8(const std::wstring& s, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = at; i < at + 8; ++i) {
        int v = HexValue(s[i]);
        if (v < 0) return std::nullopt;
        value = value << 4 | std::uint32_t(v);
    }
    return value;
}

bool SameNoCase(const std::wstring& s, std::size_t at, const wchar_t* fixed, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        wchar_t a = s[at + i], b = fixed[i];
        if (a >= L'A' && a <= L'Z') a = wchar_t(a - L'A' + L'a');
        if (a != b) return false;
    }
    return true;
}

}  // namespace

const wchar_t* const kTempFilePattern = L"~lztmp-*.tmp";

std::wstring TempFileName(std::uint32_t processId, std::uint32_t counter) {
    wchar_t name[kNameSize + 1];
    std::swprintf(name, kNameSize + 1, L"%ls%08x-%08x%ls", kPrefix, unsigned(processId), unsigned(counter), kSuffix);
    return name;
}

std::optional<std::uint32_t> TempFileOwner(const std::wstring& name) {
    if (name.size() != kNameSize || !SameNoCase(name, 0, kPrefix, kPrefixSize) ||
        name[kPrefixSize + 8] != L'-' || !SameNoCase(name, kNameSize - kSuffixSize, kSuffix, kSuffixSize) ||
        !Hex8(name, kPrefixSize + 9))
        return std::nullopt;
    return Hex8(name, kPrefixSize);
}

}  // namespace lz
