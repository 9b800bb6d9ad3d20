#include "env/weburl.h"

namespace lz {

bool IsPlainWebUrl(const std::wstring& url) {
    std::wstring head;
    for (std::size_t i = 0; i < url.size() && i < 8; ++i)
        head += url[i] >= L'A' && url[i] <= L'Z' ? wchar_t(url[i] - L'A' + L'a') : url[i];
    const bool http = head.compare(0, 7, L"http://") == 0 && url.size() > 7;
    const bool https = head == L"https://" && url.size() > 8;
    if (!http && !https) return false;
    // Blanks as the address rules count them: controls, the ideographic space, the BOM.
    for (wchar_t c : url)
        if (c <= L' ' || c == 0x7F || c == 0x3000 || c == 0xFEFF || c == L'"') return false;
    return true;
}

}  // namespace lz
