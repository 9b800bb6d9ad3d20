#include "support/cmd_reference.h"

namespace lz::test {

namespace {

bool Blank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

BatchRead ReadBatchLine(const std::wstring& line) {
    BatchRead out;
    std::wstring expanded;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const wchar_t c = line[i];
        if (c < 0x20 && c != L'\t') {
            out.why = L"a control character ends or breaks the line";
            return out;
        }
        if (c != L'%') {
            expanded += c;
            continue;
        }
        if (i + 1 < line.size() && line[i + 1] == L'%') {
            expanded += L'%';
            ++i;
            continue;
        }
        out.why = L"a single % expands or vanishes";
        return out;
    }
    bool quoted = false;
    for (std::size_t i = 0; i < expanded.size(); ++i) {
        const wchar_t c = expanded[i];
        if (c == L'"') {
            quoted = !quoted;
        } else if (!quoted && c == L'^') {
            if (i + 1 == expanded.size()) {
                out.why = L"a final ^ joins the next line";
                return out;
            }
            out.command += expanded[++i];
            continue;
        } else if (!quoted && std::wstring_view(L"&|<>()").find(c) != std::wstring_view::npos) {
            out.why = std::wstring(L"the operator ") + c + L" outside quotes";
            return out;
        }
        out.command += c;
    }
    out.ok = true;
    return out;
}

std::vector<std::wstring> CrtArgs(const std::wstring& s) {
    std::vector<std::wstring> args;
    std::size_t i = 0;
    for (;;) {
        while (i < s.size() && Blank(s[i])) ++i;
        if (i == s.size()) return args;
        std::wstring arg;
        bool quoted = false;
        while (i < s.size() && (quoted || !Blank(s[i]))) {
            if (s[i] == L'\\') {
                std::size_t n = 0;
                while (i < s.size() && s[i] == L'\\') ++n, ++i;
                if (i < s.size() && s[i] == L'"') {
                    arg.append(n / 2, L'\\');
                    if (n % 2) arg += L'"', ++i;
                } else {
                    arg.append(n, L'\\');
                }
            } else if (s[i] == L'"') {
                // Inside quotes, "" is one literal quote (the runtimes since 2008).
                if (quoted && i + 1 < s.size() && s[i + 1] == L'"') {
                    arg += L'"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                arg += s[i++];
            }
        }
        args.push_back(arg);
    }
}

std::optional<std::vector<CopyArg>> CopyArgs(const std::wstring& command) {
    std::vector<CopyArg> args;
    CopyArg arg;
    bool started = false, quoted = false;
    for (wchar_t c : command) {
        if (c == L'"') {
            quoted = !quoted;
            started = true;
            continue;
        }
        if (!quoted && (Blank(c) || c == L',' || c == L';' || c == L'=')) {
            if (started) args.push_back(arg);
            arg = {};
            started = false;
            continue;
        }
        if (!quoted && c == L'+') return std::nullopt;
        if (!quoted && c == L'/') {
            if (started) return std::nullopt;
            arg.isSwitch = true;
        }
        arg.text += c;
        started = true;
    }
    if (started) args.push_back(arg);
    return args;
}

std::wstring SameFolderEnd(std::wstring path) {
    while (path.size() >= 2 && path.back() == L'\\' && path[path.size() - 2] == L'\\') path.pop_back();
    return path;
}

}  // namespace lz::test
