// The corpus of hostile paths and texts in tests/corpus/hostile.txt.
#pragma once
#include <string>
#include <vector>

namespace lz::test {

struct HostileText {
    std::wstring kind;  // name, path or text
    std::wstring text;
    bool onWine = false;  // marked * : also run through cmd.exe under Wine
    int line = 0;
};

// The entries of the corpus file's UTF-8 bytes, {U+XXXX} and {N*c} resolved.
// Throws std::runtime_error naming the line of a malformed entry.
std::vector<HostileText> ParseHostileCorpus(const std::string& utf8);

// The corpus of the source tree (its path is built in); empty when unreadable.
std::vector<HostileText> HostileCorpus();

// UTF-8 to a wide string (surrogate pairs where wchar_t has 16 bits); bytes
// that are not UTF-8 become the characters U+0080 to U+00FF.
std::wstring WideFromUtf8(const std::string& bytes);

// For messages: a wide string as UTF-8, control characters as {U+XXXX}.
std::string Printable(const std::wstring& text);

}  // namespace lz::test
