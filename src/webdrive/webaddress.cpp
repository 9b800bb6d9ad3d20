#include "webdrive/webaddress.h"

namespace lz {

const wchar_t* const kWebHomePage = L"www.lanzhan.example";

const std::vector<std::wstring>& WebDriveAddresses() {
    static const std::vector<std::wstring> list = {
        L"http://www.lanzhan.example/",
        L"https://pan.baidu.com/",       // 百度网盘
        L"https://www.alipan.com/",      // 阿里云盘
        L"https://www.weiyun.com/",      // 腾讯微云
        L"https://cloud.189.cn/",        // 天翼云盘
        L"https://yun.139.com/",         // 中国移动云盘
        L"https://www.jianguoyun.com/",  // 坚果云
        L"https://www.123pan.com/",      // 123云盘
        L"https://onedrive.live.com/",   // OneDrive
    };
    return list;
}

namespace {

bool IsBlank(wchar_t c) { return c <= L' ' || c == 0x7F || c == 0x3000 || c == 0xFEFF; }
bool IsControl(wchar_t c) { return c < L' ' || c == 0x7F; }
bool IsAsciiAlpha(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
bool IsAsciiDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c; }

std::wstring Trim(const std::wstring& text) {
    std::size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    return text.substr(b, e - b);
}

// The text as the browser reads its scheme: without the control characters
// it skips (a tab or line break inside "java script:" still makes a script).
std::wstring WithoutControls(const std::wstring& text) {
    std::wstring s;
    for (wchar_t c : text)
        if (!IsControl(c)) s += c;
    return s;
}

// The scheme in front of the first colon, lower case; "" when there is none.
// "host.name:8080" and "localhost:8080" are a host and a port, not a scheme.
std::wstring SchemeOf(const std::wstring& s) {
    if (s.empty() || !IsAsciiAlpha(s[0])) return L"";
    std::size_t i = 1;
    while (i < s.size() && (IsAsciiAlpha(s[i]) || IsAsciiDigit(s[i]) || s[i] == L'+' || s[i] == L'-' || s[i] == L'.'))
        ++i;
    if (i >= s.size() || s[i] != L':') return L"";
    std::wstring scheme;
    for (std::size_t k = 0; k < i; ++k) scheme += Lower(s[k]);
    std::size_t d = i + 1;
    while (d < s.size() && IsAsciiDigit(s[d])) ++d;
    const bool port = d > i + 1 && (d == s.size() || s[d] == L'/' || s[d] == L'?' || s[d] == L'#');
    if (port && (scheme.find(L'.') != std::wstring::npos || scheme == L"localhost")) return L"";
    return scheme;
}

}  // namespace

AddressKind ClassifyAddress(const std::wstring& text) {
    const std::wstring s = WithoutControls(Trim(text));
    if (Trim(s).empty()) return AddressKind::Empty;
    if (s[0] == L'\\' || s[0] == L'/') return AddressKind::LocalPath;
    if (s.size() >= 2 && IsAsciiAlpha(s[0]) && s[1] == L':') return AddressKind::LocalPath;
    const std::wstring scheme = SchemeOf(s);
    if (scheme.empty() || scheme == L"http" || scheme == L"https") return AddressKind::Web;
    if (scheme == L"file") return AddressKind::LocalPath;
    if (scheme == L"javascript" || scheme == L"vbscript") return AddressKind::Script;
    return AddressKind::OtherScheme;
}

std::wstring RefusalText(AddressKind kind) {
    switch (kind) {
    case AddressKind::LocalPath:
        return L"这是本机或局域网上的文件路径，不是网页地址。为了安全，网络硬盘窗口不打开本机的文件和文件夹。";
    case AddressKind::Script:
        return L"这是一段脚本，不是网页地址。为了安全，网络硬盘窗口不运行地址栏中的脚本。";
    case AddressKind::OtherScheme:
        return L"网络硬盘窗口只打开网页地址：以 http:// 或 https:// 开头，或者不带开头的网址，例如 www.example.com。";
    default: return L"";
    }
}

std::wstring DefaultBrowserUrl(const std::wstring& text) {
    if (ClassifyAddress(text) != AddressKind::Web) return L"";
    const std::wstring t = WithoutControls(Trim(text));
    std::wstring url = SchemeOf(t).empty() ? L"http://" : L"";
    for (wchar_t c : t) {
        if (c == L' ') url += L"%20";
        else if (c == L'"') url += L"%22";
        else url += c;
    }
    return IsPlainWebUrl(url) ? url : L"";
}

}  // namespace lz
