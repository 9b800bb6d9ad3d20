#include "boot/bootini.h"

namespace lz {

const wchar_t* const kBootIni = L"c:\\boot.ini";
const wchar_t* const kBootBat = L"c:\\BackTemp\\boot.bat";
const wchar_t* const kBootSectCopy = L"c:\\backtemp\\BOOTSECT.cdr";
const wchar_t* const kBootTxtCD = L"无需BIOS设置从光盘启动";

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool EndsField(wchar_t c) { return c == L',' || c == L'\r' || c == L'\n'; }

}  // namespace

std::vector<std::wstring> ReadBootChoices(const std::wstring& text) {
    std::vector<std::wstring> choices;
    const std::size_t n = text.size();
    std::size_t pos = 0;
    while (pos < n) {
        while (pos < n && IsBlank(text[pos])) ++pos;
        if (pos >= n) break;
        if (text[pos] == L'"') {
            // A quoted field: its text has no quotation mark left, so nothing
            // of it is listed; only where it ends matters.
            std::size_t close = text.find(L'"', pos + 1);
            if (close == std::wstring::npos) break;
            pos = close + 1;
            while (pos < n && !EndsField(text[pos])) ++pos;
        } else {
            const std::size_t start = pos;
            while (pos < n && !EndsField(text[pos])) ++pos;
            const std::size_t mark = text.find(L'"', start);
            if (mark < pos && choices.size() < std::size_t(kBootSlots)) {
                std::size_t end = pos;
                while (end > mark && IsBlank(text[end - 1])) --end;
                choices.push_back(text.substr(mark, end - mark));
            }
        }
        // The delimiter; CR LF is one line end.
        if (pos < n) pos += (text[pos] == L'\r' && pos + 1 < n && text[pos + 1] == L'\n') ? 2 : 1;
    }
    return choices;
}

std::wstring BootListText(const std::vector<std::wstring>& choices) {
    std::wstring out;
    for (const std::wstring& c : choices) out += c + L"\r\n";
    return out;
}

std::wstring CdStartEntry(const std::wstring& description) {
    return L"C:\\BackTemp\\BOOTSECT.cdr=\"" + description + L"\"";
}

DescriptionFault CheckDescription(const std::wstring& description) {
    DescriptionFault fault = DescriptionFault::None;
    for (wchar_t c : description) {
        if (c == L'"') return DescriptionFault::Quote;
        if (c < 0x20 || c == 0x7f) fault = DescriptionFault::Control;
    }
    return fault;
}

std::wstring BootBatLine(bool lift) {
    return lift ? L"attrib -r -h -s c:\\boot.ini" : L"attrib +r +h +s c:\\boot.ini";
}

}  // namespace lz
