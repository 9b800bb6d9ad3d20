// The software backup window's logic on the real machine under Wine: chat
// client registry entries and record folders made by the test, the personal
// folders the system reports, netsh.bat run by cmd.exe, the boot files.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "env/machine_win.h"
#include "softbackup/frmSoftBackup.h"
#include "softbackup/softbackup_tables.h"
#include "core/form_registry.h"
#include "support/fake_ui.h"
#include "support/files_win.h"
#include "tools/children_win.h"
#include "support/form_stand_in.h"

namespace lz {
namespace {

using test::BatchesRunning;
using test::FormStandIn;
using test::FileBytes;
using test::MakeFile;
using test::RemoveTree;

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void SetReg(const std::wstring& key, const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(k, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   DWORD((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(k);
}

const wchar_t* const kKeys[] = {LR"(SOFTWARE\TENCENT\QQ)", LR"(SOFTWARE\Sina\UC\Version\uc)", LR"(SOFTWARE\Popo2004)",
                                LR"(SOFTWARE\Classes\Ypager.Messenger.1)"};

class SoftBackupWine : public ::testing::Test {
protected:
    SoftBackupWine() : ui(registry) {
        registry.Add(L"frmSoftBackup", [](AppContext& c) { return std::make_unique<frmSoftBackup>(c); });
        registry.Add(L"frmSoftSaveSetting", [](AppContext&) { return std::make_unique<FormStandIn>(L"frmSoftSaveSetting"); });
        registry.Attach(ctx);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root = std::wstring(temp) + L"lz softbackup 测试";
        RemoveTree(root);
        CreateDirectoryW(root.c_str(), nullptr);
        ctx.SavePath = root + L"\\备份 目录";
        CreateDirectoryW(ctx.SavePath.c_str(), nullptr);
        for (const wchar_t* k : kKeys) SHDeleteKeyW(HKEY_LOCAL_MACHINE, k);
        ui.ShowForm(L"frmSoftBackup");
    }
    ~SoftBackupWine() override {
        ui.UnloadForm(L"frmSoftBackup");
        for (const wchar_t* k : kKeys) SHDeleteKeyW(HKEY_LOCAL_MACHINE, k);
        RemoveTree(root);
    }
    std::wstring Text(const std::wstring& name, int index = -1) {
        return ui.ControlsOf(L"frmSoftBackup").At(name, index).text;
    }
    void Type(const std::wstring& box, const std::wstring& text) {
        ui.ControlsOf(L"frmSoftBackup").At(box).text = text;
    }
    void Click(const std::wstring& name, int index) { ui.Fire(L"frmSoftBackup", {EventKind::Click, name, index}); }

    Win32Machine machine;
    FormRegistry registry;
    test::FakeUi ui;
    AppContext ctx{machine, ui, L""};
    std::wstring root;
};

TEST_F(SoftBackupWine, ChatClientsFromTheRegistry) {
    SetReg(kKeys[0], L"Install", root + L"\\Tencent\\QQ\\");
    MakeFile(root + L"\\Tencent\\QQ\\12345\\msg.db", "qq");
    SetReg(kKeys[1], L"Path", root + L"\\UC\\");
    MakeFile(root + L"\\UC\\users\\888\\uc.dat");
    SetReg(kKeys[2], L"InstallDir", root + L"\\Popo");
    MakeFile(root + L"\\Popo\\users\\bob@163.com\\p.dat");
    SetReg(std::wstring(kKeys[3]) + L"\\shell\\open\\command", L"", root + L"\\Yahoo!\\Messenger\\YPager.exe %1");
    MakeFile(root + L"\\Yahoo!\\Messenger\\Profiles\\abc\\y.dat");
    Type(L"txtQQ", L"12345");
    Type(L"txtUC", L"888");
    Type(L"txtWYPP", L"bob");
    Type(L"txtYahoo", L"abc");
    for (int i : {kChatQQ, kChatUC, kChatPOPO, kChatYahoo}) Click(L"cmdChat", i);

    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_EQ(FileBytes(ctx.SavePath + L"\\QQ聊天记录\\12345\\msg.db"), "qq");
    EXPECT_TRUE(Exists(ctx.SavePath + L"\\UC聊天记录\\888\\uc.dat"));
    EXPECT_TRUE(Exists(ctx.SavePath + L"\\网易泡泡聊天记录\\bob@163.com\\p.dat"));
    EXPECT_TRUE(Exists(ctx.SavePath + L"\\Yahoo聊天记录\\abc\\y.dat"));
    for (int i : {kChatQQ, kChatUC, kChatPOPO, kChatYahoo})
        EXPECT_EQ(Text(L"cmdChat", i), ChatClientAt(i).successCaption) << i;
    EXPECT_EQ(Text(L"lblChat", kChatUC), L"成功备份文件到：" + ctx.SavePath + L"\\UC聊天记录\\888");

    // A value of another type finds nothing, like a missing key; an unknown account is not found.
    SetReg(kKeys[0], L"Install", root + L"\\Tencent\\QQ\\", REG_EXPAND_SZ);
    Click(L"cmdChat", kChatQQ);
    EXPECT_EQ(ui.prompts.back().text, ChatClientAt(kChatQQ).keyMissingText);
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, kKeys[1]);
    Click(L"cmdChat", kChatUC);
    EXPECT_EQ(ui.prompts.back().text, ChatClientAt(kChatUC).keyMissingText);
    Type(L"txtYahoo", L"nobody");
    Click(L"cmdChat", kChatYahoo);
    EXPECT_EQ(ui.prompts.back().text, kChatNotFoundText);
    EXPECT_EQ(Text(L"txtYahoo"), L"");
}

// Under Wine: a Unix program, waited for until `done`.
template <class Done>
bool RunUnix(const std::wstring& line, Done done) {
    return test::StartUnix(line) && test::WaitFor(done);
}

// The link in the prefix's dosdevices that makes a drive letter, as winecfg makes it.
std::wstring DriveLink(const std::wstring& letter) {
    wchar_t prefix[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return L"";
    return L"\"" + std::wstring(prefix) + L"/dosdevices/" + wchar_t(towlower(letter[0])) + L":\"";
}

// A spare drive letter for a test folder; "" where that cannot be made.
std::wstring MapDrive(const std::wstring& folder) {
    std::wstring letter;
    for (wchar_t c = L'Q'; c <= L'Y' && letter.empty(); ++c)
        if (!(GetLogicalDrives() & (1u << (c - L'A'))) && !Exists(std::wstring(1, c) + L":\\")) letter = {c, L':'};
    const std::wstring target = test::UnixPath(folder);
    if (letter.empty() || target.empty() || DriveLink(letter).empty()) return L"";
    const bool made = RunUnix(L"Z:\\bin\\ln -s \"" + target + L"\" " + DriveLink(letter),
                              [&] { return Exists(letter + L"\\"); });
    return made ? letter : L"";
}

void UnmapDrive(const std::wstring& letter) {
    RunUnix(L"Z:\\bin\\rm -f " + DriveLink(letter), [&] { return !Exists(letter + L"\\"); });
}

TEST_F(SoftBackupWine, MsnIntoADriveRoot) {
    const std::wstring target = root + L"\\drive";
    CreateDirectoryW(target.c_str(), nullptr);
    const std::wstring letter = MapDrive(target);
    if (letter.empty()) GTEST_SKIP() << "no spare drive letter can be made here";

    // The classic MSN folder on the system drive, made for the test when absent.
    const std::wstring msn = SystemRoot(machine.GetWinDir()) + L"Program Files\\MSN";
    const bool hadMsn = Exists(msn);
    MakeFile(msn + L"\\MSNCoreFiles\\lz-softbackup-test.txt", "msn");
    ctx.SavePath = letter + L"\\";
    Type(L"txtMSN", L"abc");
    Click(L"cmdChat", kChatMSN);
    if (hadMsn) DeleteFileW((msn + L"\\MSNCoreFiles\\lz-softbackup-test.txt").c_str());
    else RemoveTree(msn);
    UnmapDrive(letter);

    EXPECT_EQ(ctx.SavePath, letter);
    EXPECT_EQ(FileBytes(target + L"\\MSN聊天记录\\abchotmail.com\\lz-softbackup-test.txt"), "msn");
    EXPECT_EQ(Text(L"lblChat", kChatMSN), L"成功备份文件到：" + letter + L"\\MSN聊天记录\\abchotmail.com");
}

// The classic profile, made for the test on the system drive, and the
// favourites where the system keeps them. (Wine links the other personal
// folders to the Unix home: a test must not write there.)
TEST_F(SoftBackupWine, PersonalFolders) {
    const std::wstring classic = SystemRoot(machine.GetWinDir()) + L"Documents and Settings";
    const bool hadClassic = Exists(classic);
    const std::wstring profile = classic + L"\\" + machine.GetLoginName();
    const std::wstring favorites = machine.GetKnownFolder(KnownFolder::Favorites);
    ASSERT_FALSE(favorites.empty());
    ASSERT_FALSE(Exists(profile + L"\\Favorites"));
    MakeFile(favorites + L"\\lz-softbackup 收藏.url", "v1");
    MakeFile(profile + L"\\My Documents\\My Pictures\\新年.jpg");
    MakeFile(profile + L"\\Cookies\\c.txt");

    for (int i : {1, 2, 5}) Click(L"cmdSystem", i);
    MakeFile(favorites + L"\\lz-softbackup 收藏.url", "v2");
    Click(L"cmdSystem", 1);
    DeleteFileW((favorites + L"\\lz-softbackup 收藏.url").c_str());
    RemoveTree(hadClassic ? profile : classic);

    const std::wstring favName = favorites.substr(favorites.rfind(L'\\') + 1);
    EXPECT_EQ(FileBytes(ctx.SavePath + L"\\IE收藏夹\\" + favName + L"\\lz-softbackup 收藏.url"), "v2");
    EXPECT_TRUE(Exists(ctx.SavePath + L"\\图片收藏夹\\新年.jpg"));
    EXPECT_TRUE(Exists(ctx.SavePath + L"\\Cookies\\c.txt"));
    EXPECT_EQ(Text(L"cmdSystem", 1), L"备份ＩＥ收藏夹成功");
    EXPECT_EQ(Text(L"lblSystem", 2), L"成功备份到：" + ctx.SavePath + L"\\图片收藏夹");
}

TEST_F(SoftBackupWine, NetshBatIsWrittenInGbkAndRuns) {
    Click(L"cmdSoftSet", 1);
    // "备份 目录" holds a space: the output path is quoted.
    const std::string gbkRoot = std::string(root.begin(), root.end() - 2) + "\xb2\xe2\xca\xd4";
    const std::string expected = "netsh  dump  > \"" + gbkRoot + "\\\xb1\xb8\xb7\xdd \xc4\xbf\xc2\xbc" +
                                 "\\\xb1\xbe\xbb\xfa\xcd\xf8\xc2\xe7\xc9\xe8\xd6\xc3\\netsh.txt\"\r\n";
    EXPECT_EQ(FileBytes(kNetshBat), expected);
    EXPECT_EQ(Text(L"cmdSoftSet", 1), L"本机网络设置");

    // Wait for the batch file to end (pumping, so that its end is reported back);
    // netsh under Wine dumps nothing, but the redirection makes the file.
    for (int i = 0; i < 400 && BatchesRunning() > 0; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(25);
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_TRUE(Exists(NetshOutput(ctx.SavePath)));
    EXPECT_EQ(Text(L"cmdSoftSet", 1), L"本机网络设置");
    DeleteFileW(kNetshBat);
}

TEST_F(SoftBackupWine, FirewallFileAndBootFiles) {
    const std::wstring rules = root + L"\\天网\\rules.dat";
    MakeFile(rules, "sky");
    ui.fileAnswers = {rules};
    Click(L"cmdSoftSet", 0);
    EXPECT_EQ(FileBytes(ctx.SavePath + L"\\天网安全设置文件\\rules.dat"), "sky");

    // Boot files that this prefix lacks are made for the test and removed again.
    const std::wstring drive = SystemRoot(machine.GetWinDir());
    int present = 0;
    std::vector<std::wstring> made;
    for (const SystemFile& f : kSystemFiles) {
        const std::wstring path = drive + f.source;
        if (Exists(path)) {
            ++present;
        } else if (made.size() < 2) {
            MakeFile(path, "boot");
            made.push_back(path);
        }
    }
    Click(L"cmdSoftSet", 2);
    for (const SystemFile& f : kSystemFiles)
        EXPECT_EQ(Exists(drive + f.source), Exists(ctx.SavePath + f.destination)) << f.source;
    EXPECT_NE(Text(L"lblsoftSet", 2).find(L"找到" + std::to_wstring(present + int(made.size())) + L"个"),
              std::wstring::npos);
    for (const std::wstring& path : made) DeleteFileW(path.c_str());
}

TEST_F(SoftBackupWine, EmptySavePathAsksAndCopiesNothing) {
    SetReg(kKeys[0], L"Install", root + L"\\QQ\\");
    MakeFile(root + L"\\QQ\\1\\a.db");
    Type(L"txtQQ", L"1");
    ctx.SavePath.clear();
    Click(L"cmdChat", kChatQQ);
    Click(L"cmdSystem", 1);
    EXPECT_TRUE(ui.IsVisible(L"frmSoftSaveSetting"));
    EXPECT_EQ(Text(L"cmdChat", kChatQQ), ChatClientAt(kChatQQ).caption);
    EXPECT_EQ(Text(L"lblSystem", 1), L"");
}

}  // namespace
}  // namespace lz
