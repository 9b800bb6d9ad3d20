// A font file that no font list holds until a test adds it: a copy of one of
// Wine's TrueType fonts with its family renamed.
#pragma once
#include <windows.h>

#include <string>

#include "support/files_win.h"

namespace lz::test {

namespace renamed_font {
inline unsigned Be16(const std::string& b, std::size_t at) {
    return (unsigned(static_cast<unsigned char>(b[at])) << 8) | static_cast<unsigned char>(b[at + 1]);
}
inline unsigned long Be32(const std::string& b, std::size_t at) { return (Be16(b, at) << 16) | Be16(b, at + 2); }
}  // namespace renamed_font

// Writes <folder>\<family>.ttf, a copy of Marlett whose family is `family`
// (as long as the old name); its path, or "" when there is no Marlett to copy.
inline std::wstring RenamedFont(const std::wstring& folder, const std::string& family) {
    using renamed_font::Be16;
    using renamed_font::Be32;
    const std::string from = "Marlett";
    if (family.size() != from.size()) return L"";
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    std::string font = FileBytes(std::wstring(windows) + L"\\Fonts\\marlett.ttf");
    if (font.empty()) font = FileBytes(L"Z:\\usr\\share\\wine\\fonts\\marlett.ttf");
    if (font.size() < 12) return L"";
    const unsigned tables = Be16(font, 4);
    for (unsigned t = 0; t < tables && 12 + 16 * (t + 1) <= font.size(); ++t) {
        const std::size_t record = 12 + 16 * t;
        if (font.compare(record, 4, "name") != 0) continue;
        const std::size_t name = Be32(font, record + 8);
        const unsigned count = Be16(font, name + 2);
        const std::size_t strings = name + Be16(font, name + 4);
        for (unsigned i = 0; i < count; ++i) {
            const std::size_t r = name + 6 + 12 * i;
            const unsigned platform = Be16(font, r);
            const std::size_t length = Be16(font, r + 8), at = strings + Be16(font, r + 10);
            std::string old = from, now = family;
            if (platform != 1) {  // UTF-16, big-endian
                old.clear();
                now.clear();
                for (std::size_t k = 0; k < from.size(); ++k) {
                    old += std::string(1, '\0') + from[k];
                    now += std::string(1, '\0') + family[k];
                }
            }
            std::string text = font.substr(at, length);
            for (std::size_t p; (p = text.find(old)) != std::string::npos;) text.replace(p, old.size(), now);
            font.replace(at, length, text);
        }
    }
    const std::wstring path = folder + L"\\" + std::wstring(family.begin(), family.end()) + L".ttf";
    MakeFile(path, font);
    return path;
}

}  // namespace lz::test
