// The compiled help file beside the program: every help item of every window
// opens a page that the file holds, and its pages read as Chinese through the
// system's own help storage.
#include <windows.h>
#include <objidl.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "env/machine_win.h"
#include "support/chm_directory.h"
#include "support/files_win.h"
#include "support/help_items.h"

namespace lz::test {
namespace {

std::wstring ChmPath() { return Win32Machine().ProgramDir() + L"\\lanzhan.chm"; }

std::string Narrow(const std::wstring& s) {
    std::string out;
    for (wchar_t c : s) out += c < 0x80 ? char(c) : '?';
    return out;
}

// The help system's storage of compiled help files (itss.dll), as the help
// viewer opens them. Its interface is not in the compiler's headers: the one
// method used is called through its place in the table (after IUnknown's three
// and four others).
const CLSID kItStorageClass = {0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
const IID kItStorageInterface = {0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
using StgOpenStorageMethod = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, const WCHAR*, IStorage*, DWORD, SNB, DWORD,
                                                         IStorage**);
constexpr int kStgOpenStorageSlot = 7;

// A file inside the help file, read through the help system; "" when it cannot be read.
std::string ReadThroughHelpSystem(const std::wstring& chm, const std::wstring& page) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string bytes;
    IUnknown* its = nullptr;
    IStorage* storage = nullptr;
    IStream* stream = nullptr;
    if (SUCCEEDED(CoCreateInstance(kItStorageClass, nullptr, CLSCTX_INPROC_SERVER, kItStorageInterface,
                                   reinterpret_cast<void**>(&its))) && its) {
        auto open = reinterpret_cast<StgOpenStorageMethod>((*reinterpret_cast<void***>(its))[kStgOpenStorageSlot]);
        if (SUCCEEDED(open(its, chm.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &storage)) &&
            SUCCEEDED(storage->OpenStream(page.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream))) {
            char buffer[4096];
            ULONG got = 0;
            while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &got)) && got) bytes.append(buffer, got);
        }
    }
    if (stream) stream->Release();
    if (storage) storage->Release();
    if (its) its->Release();
    if (SUCCEEDED(com)) CoUninitialize();
    return bytes;
}

TEST(HelpFile, EveryHelpItemOpensAPageTheCompiledFileHolds) {
    const std::string bytes = FileBytes(ChmPath());
    ASSERT_FALSE(bytes.empty()) << "no lanzhan.chm beside the tests: the build's help target makes it";
    const auto names = ChmDirectoryNames(bytes);
    ASSERT_TRUE(names.has_value()) << "lanzhan.chm is not a help file";
    // The compiler's own files are there: the directory was read through.
    EXPECT_TRUE(names->count("/#SYSTEM"));
    EXPECT_TRUE(names->count("/index.htm"));

    const std::vector<HelpItem> items = FindHelpItems();
    ASSERT_FALSE(items.empty());
    for (const HelpItem& item : items) {
        ASSERT_FALSE(item.page.empty()) << Narrow(item.commandLine);
        EXPECT_TRUE(names->count("/" + Narrow(item.page)))
            << Narrow(item.form) << " " << Narrow(item.control) << " opens " << Narrow(item.page)
            << ", which lanzhan.chm lacks";
    }
}

TEST(HelpFile, PagesAreInTheChineseCodePageTheyDeclare) {
    std::set<std::wstring> pages;
    for (const HelpItem& item : FindHelpItems()) pages.insert(item.page);
    ASSERT_FALSE(pages.empty());
    for (const std::wstring& page : pages) {
        const std::string bytes = ReadThroughHelpSystem(ChmPath(), page);
        ASSERT_FALSE(bytes.empty()) << Narrow(page) << " cannot be read through the help system";
        EXPECT_NE(bytes.find("charset=gb2312"), std::string::npos) << Narrow(page);
        // Every byte sequence is a character of code page 936, and the title is Chinese.
        const int n = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), nullptr, 0);
        ASSERT_GT(n, 0) << Narrow(page) << " is not GBK text";
        std::wstring text(n, L'\0');
        MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), &text[0], n);
        const auto open = text.find(L"<title>"), close = text.find(L"</title>");
        ASSERT_TRUE(open != std::wstring::npos && close != std::wstring::npos) << Narrow(page);
        const std::wstring title = text.substr(open + 7, close - open - 7);
        bool chinese = false;
        for (wchar_t c : title) chinese |= c >= 0x4E00 && c <= 0x9FFF;
        EXPECT_TRUE(chinese) << Narrow(page) << " has no Chinese title";
    }
}

}  // namespace
}  // namespace lz::test
