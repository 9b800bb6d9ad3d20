// The addresses of the web storage window: its fixed list, and which typed
// addresses it hands to the browser and which it refuses.
#pragma once
#include <string>
#include <vector>

#include "env/weburl.h"

namespace lz {

// The product's home page as the window opens it: a bare host name, which the
// browser completes itself.
extern const wchar_t* const kWebHomePage;

// The nine entries of the address list: the home page, then eight web
// storage services, each the root of its site.
const std::vector<std::wstring>& WebDriveAddresses();

enum class AddressKind {
    Empty,        // nothing but blanks
    Web,          // http:, https: or no scheme at all: handed on as typed
    LocalPath,    // a drive, UNC or rooted path, or file:
    Script,       // javascript:, vbscript:
    OtherScheme,  // any other scheme (mailto:, shell:, res:, about: ...)
};

// What a typed address is. Blanks around it and control characters inside
// it do not hide a scheme, as the browser ignores them too.
AddressKind ClassifyAddress(const std::wstring& text);

// Why an address is not opened; "" for Web and Empty.
std::wstring RefusalText(AddressKind kind);

// The address for the system's default browser: http(s) as typed, "http://"
// in front of an address without a scheme, blanks and quotes escaped; "" when
// the address is not a web address.
std::wstring DefaultBrowserUrl(const std::wstring& text);

}  // namespace lz
