// The boot.ini reader on any text: the file's bytes become characters one by
// one, as a single-byte code page would give them; after a UTF-16 byte order
// mark (FF FE) they are read in pairs, so that any character, NUL included,
// can appear.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "boot/bootini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text;
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        for (size_t i = 2; i + 1 < size; i += 2) text.push_back(wchar_t(data[i] | (data[i + 1] << 8)));
    } else {
        for (size_t i = 0; i < size; ++i) text.push_back(wchar_t(data[i]));
    }
    const auto choices = lz::ReadBootChoices(text);
    if (choices.size() > size_t(lz::kBootSlots)) std::abort();
    std::wstring again;
    for (const std::wstring& c : choices) {
        // Every choice is a piece of the text that begins with a quotation
        // mark and holds no delimiter and no blank at its end.
        if (c.empty() || c[0] != L'"' || text.find(c) == std::wstring::npos) std::abort();
        if (c.find_first_of(L",\r\n") != std::wstring::npos) std::abort();
        if (c.back() == L' ' || c.back() == L'\t') std::abort();
        again += L"C:\\x=" + c + L"\r\n";
    }
    // Written back as entries, the choices are read back unchanged.
    if (lz::ReadBootChoices(again) != choices) std::abort();
    return 0;
}
