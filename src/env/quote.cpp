#include "env/quote.h"

namespace lz {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool IsCmdSpecial(wchar_t c) {
    return IsBlank(c) || std::wstring_view(L"&|<>^(),;=%!\"'`+/").find(c) != std::wstring_view::npos;
}

// Encloses in quotes; backslashes before the closing quote are doubled, as
// the C runtime halves them there.
std::wstring Enclose(const std::wstring& text) {
    std::wstring out = L"\"" + text;
    for (auto it = text.rbegin(); it != text.rend() && *it == L'\\'; ++it) out += L'\\';
    return out + L'"';
}

}  // namespace

TextCheck CheckCommandText(const std::wstring& text) {
    for (wchar_t c : text) {
        if (c == L'"') return TextCheck::HasQuote;
        if (c < 0x20 || c == 0x7F) return TextCheck::HasControl;
    }
    return TextCheck::Ok;
}

bool NeedsQuotes(const std::wstring& text) {
    for (wchar_t c : text)
        if (IsCmdSpecial(c)) return true;
    return false;
}

std::wstring QuoteArg(const std::wstring& text) {
    return text.empty() || NeedsQuotes(text) ? Enclose(text) : text;
}

std::wstring QuoteProgram(const std::wstring& path) {
    for (wchar_t c : path)
        if (IsBlank(c)) return Enclose(path);
    return path;
}

std::wstring ForBatch(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        out += c;
        if (c == L'%') out += L'%';
    }
    return out;
}

std::optional<std::wstring> BatchArg(const std::wstring& text) {
    if (CheckCommandText(text) != TextCheck::Ok) return std::nullopt;
    return ForBatch(QuoteArg(text));
}

std::wstring SchedulerTarget(const std::wstring& path) {
    bool blank = false;
    for (wchar_t c : path) blank = blank || IsBlank(c);
    if (!blank) return QuoteArg(path);

    // schtasks splits its command line by the C runtime's rules, so the quotes
    // meant for the scheduler travel as \" inside an outer pair.
    std::wstring inner = Enclose(path);
    std::wstring crt = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : inner) {
        if (c == L'\\') {
            ++backslashes;
        } else {
            if (c == L'"') crt.append(backslashes + 1, L'\\');
            backslashes = 0;
        }
        crt += c;
    }
    crt.append(backslashes, L'\\');
    crt += L'"';

    // cmd toggles its own quoting at every quote, escaped or not, so the path
    // itself sits outside cmd's quotes: escape what cmd would act on there.
    std::wstring out;
    bool quoted = false;
    for (wchar_t c : crt) {
        if (c == L'"') quoted = !quoted;
        else if (!quoted && std::wstring_view(L"&|<>^()").find(c) != std::wstring_view::npos) out += L'^';
        out += c;
    }
    return out;
}

}  // namespace lz
