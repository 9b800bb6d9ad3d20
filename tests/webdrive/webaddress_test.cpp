// Which typed addresses the web storage window hands to its browser, and what
// goes to the system's default browser.
#include <gtest/gtest.h>

#include <set>

#include "webdrive/webaddress.h"

namespace lz {
namespace {

std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) s += c >= 32 && c < 128 ? char(c) : '?';
    return s;
}

TEST(WebAddresses, NineEntriesTheHomePageFirstThenSiteRoots) {
    const auto& list = WebDriveAddresses();
    ASSERT_EQ(list.size(), 9u);
    // The first entry is the home page that the window opens as a bare host name.
    EXPECT_EQ(list[0], std::wstring(L"http://") + kWebHomePage + L"/");
    EXPECT_EQ(std::wstring(kWebHomePage).find(L':'), std::wstring::npos);
    std::set<std::wstring> seen;
    for (const std::wstring& a : list) {
        EXPECT_TRUE(IsPlainWebUrl(a)) << Narrow(a);
        EXPECT_EQ(ClassifyAddress(a), AddressKind::Web) << Narrow(a);
        // A site's root: the host and one slash after it.
        const std::size_t host = a.find(L"://") + 3;
        EXPECT_EQ(a.find(L'/', host), a.size() - 1) << Narrow(a);
        EXPECT_TRUE(seen.insert(a).second) << Narrow(a) << " twice";
    }
    for (std::size_t i = 1; i < list.size(); ++i) EXPECT_EQ(list[i].compare(0, 8, L"https://"), 0) << Narrow(list[i]);
}

struct Case {
    const wchar_t* text;
    AddressKind kind;
};

TEST(WebAddresses, WebAddressesAndTextWithoutSchemePass) {
    const Case cases[] = {
        {L"www.example.com", AddressKind::Web},
        {L"pan.baidu.com/s/1abc", AddressKind::Web},
        {L"http://example.com/", AddressKind::Web},
        {L"HTTPS://Example.com/a?b=c:d", AddressKind::Web},
        {L"  https://example.com/  ", AddressKind::Web},
        // A host and a port are not a scheme.
        {L"example.com:8080/files", AddressKind::Web},
        {L"localhost:8080", AddressKind::Web},
        {L"192.168.1.1:80", AddressKind::Web},
        // No scheme: not ours to judge, the browser decides.
        {L"网络硬盘", AddressKind::Web},
        {L"a b c", AddressKind::Web},
        {L"", AddressKind::Empty},
        {L" \t\r\n\x3000", AddressKind::Empty},
    };
    for (const Case& c : cases) EXPECT_EQ(ClassifyAddress(c.text), c.kind) << Narrow(c.text);
}

TEST(WebAddresses, PathsScriptsAndOtherSchemesAreRefused) {
    const Case cases[] = {
        {L"file:///C:/boot.ini", AddressKind::LocalPath},
        {L"FILE://server/share", AddressKind::LocalPath},
        {L"C:\\boot.ini", AddressKind::LocalPath},
        {L"c:/windows", AddressKind::LocalPath},
        {L"d:", AddressKind::LocalPath},
        {L"\\\\server\\share\\a.exe", AddressKind::LocalPath},
        {L"//server/share", AddressKind::LocalPath},
        {L"\\windows", AddressKind::LocalPath},
        {L"javascript:alert(1)", AddressKind::Script},
        {L"  JavaScript:alert(1)", AddressKind::Script},
        // The browser skips tabs and line breaks, so they do not hide a scheme.
        {L"java\tscript:alert(1)", AddressKind::Script},
        {L"java\r\nscript:alert(1)", AddressKind::Script},
        {L"\x3000vbscript:msgbox(1)", AddressKind::Script},
        // Digits after the colon make a port only after a host name.
        {L"javascript:0/alert(1)/", AddressKind::Script},
        {L"shell:startup", AddressKind::OtherScheme},
        {L"mailto:a@example.com", AddressKind::OtherScheme},
        {L"about:blank", AddressKind::OtherScheme},
        {L"mk:@MSITStore:c:\\a.chm::/x.htm", AddressKind::OtherScheme},
        {L"ms-msdt:/id", AddressKind::OtherScheme},
        {L"ftp://example.com/", AddressKind::OtherScheme},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassifyAddress(c.text), c.kind) << Narrow(c.text);
        EXPECT_FALSE(RefusalText(c.kind).empty());
    }
    EXPECT_NE(RefusalText(AddressKind::LocalPath), RefusalText(AddressKind::Script));
    EXPECT_TRUE(RefusalText(AddressKind::Web).empty());
    EXPECT_TRUE(RefusalText(AddressKind::Empty).empty());
}

TEST(WebAddresses, TheDefaultBrowserGetsOnlyPlainWebAddresses) {
    EXPECT_EQ(DefaultBrowserUrl(L"www.example.com"), L"http://www.example.com");
    EXPECT_EQ(DefaultBrowserUrl(L" https://example.com/a "), L"https://example.com/a");
    EXPECT_EQ(DefaultBrowserUrl(L"example.com:8080/x"), L"http://example.com:8080/x");
    // A blank or a quote would end the browser's argument on its command line.
    EXPECT_EQ(DefaultBrowserUrl(L"http://example.com/a b\"c"), L"http://example.com/a%20b%22c");
    EXPECT_EQ(DefaultBrowserUrl(L"http://example.com/\tx"), L"http://example.com/x");
    for (const wchar_t* refused : {L"", L"javascript:alert(1)", L"file:///c:/", L"c:\\a.exe", L"shell:startup"})
        EXPECT_EQ(DefaultBrowserUrl(refused), L"") << Narrow(refused);

    EXPECT_TRUE(IsPlainWebUrl(L"HTTP://example.com"));
    for (const wchar_t* bad : {L"http://", L"https://", L"http:/x", L"ftp://x", L"file:///c:/", L"http://a b",
                               L"http://a\"b", L"http://a\nb", L"javascript:x", L"xhttp://a"})
        EXPECT_FALSE(IsPlainWebUrl(bad)) << Narrow(bad);
}

}  // namespace
}  // namespace lz
