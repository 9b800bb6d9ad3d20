#include "support/hostile_corpus.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace lz::test {

namespace {

void Append(std::wstring& out, char32_t c) {
    if (sizeof(wchar_t) == 2 && c >= 0x10000) {
        c -= 0x10000;
        out += wchar_t(0xD800 + (c >> 10));
        out += wchar_t(0xDC00 + (c & 0x3FF));
    } else {
        out += wchar_t(c);
    }
}

// {U+XXXX} and {N*text}; other braces are the text's own.
std::wstring Resolve(const std::wstring& raw, int line) {
    std::wstring out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const std::size_t close = raw.find(L'}', i);
        if (raw[i] != L'{' || close == std::wstring::npos) {
            out += raw[i];
            continue;
        }
        const std::wstring inner = raw.substr(i + 1, close - i - 1);
        const std::size_t star = inner.find(L'*');
        const bool code = inner.size() >= 6 && inner.size() <= 8 && inner.rfind(L"U+", 0) == 0 &&
                          inner.find_first_not_of(L"0123456789ABCDEFabcdef", 2) == std::wstring::npos;
        const bool run = star != std::wstring::npos && star > 0 && star + 1 < inner.size() &&
                         inner.find_first_not_of(L"0123456789") == star;
        if (code) {
            Append(out, char32_t(std::stoul(inner.substr(2), nullptr, 16)));
        } else if (run) {
            const unsigned long n = std::stoul(inner.substr(0, star));
            if (n > 100000) throw std::runtime_error("hostile.txt line " + std::to_string(line) + ": run too long");
            for (unsigned long k = 0; k < n; ++k) out += inner.substr(star + 1);
        } else {
            out += raw[i];  // braces of the text itself
            continue;
        }
        i = close;
    }
    return out;
}

}  // namespace

std::wstring WideFromUtf8(const std::string& bytes) {
    std::wstring out;
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        const int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        bool ok = extra >= 0 && i + extra < bytes.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const unsigned char t = static_cast<unsigned char>(bytes[i + k]);
            ok = (t & 0xC0) == 0x80;
            c = c << 6 | (t & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        static const char32_t least[4] = {0, 0x80, 0x800, 0x10000};
        ok = ok && c >= least[extra < 0 ? 0 : extra] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        if (!ok) {
            out += wchar_t(b);
            ++i;
            continue;
        }
        Append(out, c);
        i += std::size_t(extra) + 1;
    }
    return out;
}

std::string Printable(const std::wstring& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = char32_t(text[i]) & (sizeof(wchar_t) == 2 ? 0xFFFF : 0xFFFFFFFF);
        if (sizeof(wchar_t) == 2 && c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() &&
            (char32_t(text[i + 1]) & 0xFFFF) >= 0xDC00 && (char32_t(text[i + 1]) & 0xFFFF) < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + ((char32_t(text[++i]) & 0xFFFF) - 0xDC00);
        if (c < 0x20 || c == 0x7F || (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "{U+%04X}", unsigned(c));
            out += hex;
        } else if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::vector<HostileText> ParseHostileCorpus(const std::string& utf8) {
    std::vector<HostileText> out;
    std::size_t start = 0;
    int line = 0;
    while (start < utf8.size()) {
        std::size_t end = utf8.find('\n', start);
        if (end == std::string::npos) end = utf8.size();
        std::string raw = utf8.substr(start, end - start);
        start = end + 1;
        ++line;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (raw.empty() || raw[0] == '#') continue;
        const std::size_t tab = raw.find('\t');
        if (tab == std::string::npos)
            throw std::runtime_error("hostile.txt line " + std::to_string(line) + ": no tab after the kind");
        HostileText entry;
        std::string kind = raw.substr(0, tab);
        if (!kind.empty() && kind.back() == '*') entry.onWine = true, kind.pop_back();
        if (kind != "name" && kind != "path" && kind != "text")
            throw std::runtime_error("hostile.txt line " + std::to_string(line) + ": unknown kind " + kind);
        entry.kind = WideFromUtf8(kind);
        entry.text = Resolve(WideFromUtf8(raw.substr(tab + 1)), line);
        entry.line = line;
        out.push_back(entry);
    }
    return out;
}

std::vector<HostileText> HostileCorpus() {
#ifdef _WIN32
    // Under Wine the source tree is reached through the drive of the root.
    std::ifstream in("Z:" LZ_CORPUS_FILE, std::ios::binary);
#else
    std::ifstream in(LZ_CORPUS_FILE, std::ios::binary);
#endif
    if (!in) return {};
    return ParseHostileCorpus(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

}  // namespace lz::test
