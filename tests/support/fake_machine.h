// An in-memory machine for native tests: environment values and registry
// strings the test sets, a case-insensitive file system of text files and
// folders, a fixed clock, and a record of every started command.
//
// Paths are absolute ("C:\a\b"); '/' counts as '\', repeated separators,
// "." and ".." are resolved, and a trailing backslash is ignored except in a
// drive root. Like the real machine, writing a file needs its folder to exist.
//
// RunNotify does not call back by itself: the callback waits, as it would for
// a real process, until the test calls FinishRuns(exitCode).
#pragma once
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "env/machine.h"

namespace lz::test {

struct NoCaseLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const;
};
struct NoCasePairLess {
    bool operator()(const std::pair<std::wstring, std::wstring>& a,
                    const std::pair<std::wstring, std::wstring>& b) const;
};

class FakeMachine : public Machine {
public:
    struct RegValue {
        bool isString = true;  // false: a value of another type (REG_EXPAND_SZ, REG_DWORD ...)
        std::wstring text;     // read cut at its first NUL, as the real one does
    };
    struct FakeFile {
        std::vector<std::wstring> lines;
        CodePage codePage = CodePage::Ansi;
    };
    struct RunRecord {
        std::wstring commandLine;
        WindowStyle style;
        bool notify;  // started through RunNotify
    };

    // Environment.
    std::wstring winDir = L"C:\\WINDOWS";
    std::wstring sysDir = L"C:\\WINDOWS\\system32";
    std::wstring loginName = L"alice";
    std::wstring computerName = L"MYPC";
    std::wstring userName = L"alice";
    OsVersion osVersion{5, 1};
    std::map<KnownFolder, std::wstring> knownFolders;
    std::wstring programDir = L"D:\\Tools\\Backup";
    std::tm clock = MakeTime(2005, 1, 9, 15, 30, 45);

    // Registry under HKEY_LOCAL_MACHINE: a key exists when it is listed in
    // regKeys or holds a value.
    std::set<std::wstring, NoCaseLess> regKeys;
    std::map<std::pair<std::wstring, std::wstring>, RegValue, NoCasePairLess> registry;

    // File system, keyed by normalized path.
    std::map<std::wstring, FakeFile, NoCaseLess> files;
    std::set<std::wstring, NoCaseLess> folders;
    std::set<std::wstring, NoCaseLess> hidden;
    std::set<std::wstring, NoCaseLess> unreadable;  // reads and copies of these files fail
    std::set<std::wstring, NoCaseLess> unwritable;  // writes to these files fail
    // Files another program holds open without sharing: folder copies list them as locked.
    std::set<std::wstring, NoCaseLess> heldOpen;
    std::set<wchar_t> notAnsi;  // characters the code pages cannot hold (none by default)

    // What was asked of the machine.
    std::vector<RunRecord> runs;
    std::vector<std::pair<std::wstring, std::wstring>> folderCopies;  // (source, destination) as given
    // Every progress a folder copy told, in order.
    std::vector<CopyProgress> copyProgress;
    bool startFails = false;  // Run and RunNotify report that nothing started (still recorded)
    // Called for every started command, before Run returns: lets a test act
    // as the command (write the file a scheduler query would write ...).
    std::function<void(const RunRecord&)> onRun;

    // Test helpers.
    static std::tm MakeTime(int year, int month, int day, int hour, int minute, int second);
    static std::wstring Normalize(const std::wstring& path);
    void SetReg(const std::wstring& key, const std::wstring& value, const std::wstring& text);
    void SetRegNonString(const std::wstring& key, const std::wstring& value);
    void AddFolder(const std::wstring& path);  // with every missing parent
    void AddFile(const std::wstring& path, std::vector<std::wstring> lines = {});  // and its folders
    bool HasFile(const std::wstring& path) const;
    const FakeFile* File(const std::wstring& path) const;
    std::vector<std::wstring> Lines(const std::wstring& path) const;  // empty when missing
    bool IsHidden(const std::wstring& path) const;
    // Completes every started RunNotify with the exit code, in start order.
    void FinishRuns(unsigned long exitCode);
    std::size_t PendingRuns() const { return pending_.size(); }

    // Machine.
    std::wstring GetWinDir() override { return winDir; }
    std::wstring GetSysDir() override { return sysDir; }
    std::wstring GetLoginName() override { return loginName; }
    std::wstring GetComputerName100() override { return computerName; }
    std::wstring GetUserName100() override { return userName; }
    RegString ReadRegString(const std::wstring& keyPath, const std::wstring& valueName) override;
    OsVersion GetOsVersion() override { return osVersion; }
    std::wstring GetKnownFolder(KnownFolder which) override;
    std::wstring ProgramDir() override { return programDir; }

    WriteResult WriteTextFile(const std::wstring& path, const std::vector<std::wstring>& lines,
                              CodePage cp = CodePage::Ansi) override;
    WriteResult AppendTextLine(const std::wstring& path, const std::wstring& line,
                               CodePage cp = CodePage::Ansi) override;
    std::optional<std::vector<std::wstring>> ReadTextLines(const std::wstring& path) override;
    bool FitsAnsi(const std::wstring& text) override;

    bool CopyOneFile(const std::wstring& from, const std::wstring& to, bool overwrite) override;
    bool CreateFolder(const std::wstring& path) override;
    bool DeleteOneFile(const std::wstring& path) override;
    int DeleteFiles(const std::wstring& folder, const std::wstring& pattern) override;
    bool FileExists(const std::wstring& path) override { return HasFile(path); }
    bool FolderExists(const std::wstring& path) override;
    bool SetHidden(const std::wstring& path) override;

    std::optional<std::wstring> GetFolder(const std::wstring& path) override;
    CopyReport CopyFolder(const std::wstring& source, const std::wstring& destination,
                          const CopyProgressFn& progress = nullptr) override;

    bool Run(const std::wstring& commandLine, WindowStyle style) override;
    bool RunNotify(const std::wstring& commandLine, WindowStyle style,
                   std::function<void(unsigned long exitCode)> onExit) override;

    std::tm Now() override { return clock; }
    // "yyyy-M-d H:mm:ss", the Chinese regional default.
    std::wstring GeneralDate(const std::tm& when) override;

    // ---- The font window (frmFonts) ----
    std::vector<std::wstring> screenFonts = {L"宋体", L"黑体", L"Arial", L"Courier New"};
    // The font files AddFontFile accepts, each with the names it adds to the screen's fonts.
    std::map<std::wstring, std::vector<std::wstring>, NoCaseLess> fontFiles;
    std::vector<std::wstring> addedFontFiles;  // as given, in order
    int fontChangeBroadcasts = 0;
    std::vector<std::wstring> ScreenFontNames() override { return screenFonts; }
    int AddFontFile(const std::wstring& path) override;
    void BroadcastFontChange() override { ++fontChangeBroadcasts; }
    // GBK, the ANSI code page of the target systems; the characters in notAnsi have no form.
    std::optional<std::string> AnsiBytes(const std::wstring& text) override;
    // ---- boot menu window (frmGhost) ----
    // Files whose last line has no line end (lines hold no line ends).
    std::set<std::wstring, NoCaseLess> noFinalLineEnd;
    // Read-only and system files; AppendLineToExisting fails on read-only ones.
    std::set<std::wstring, NoCaseLess> readOnly;
    std::set<std::wstring, NoCaseLess> systemFiles;
    // Files whose attributes SetProtected cannot change.
    std::set<std::wstring, NoCaseLess> attributesLocked;
    // Read-only, hidden and system all set.
    bool IsProtected(const std::wstring& path) const;
    bool IsUnprotected(const std::wstring& path) const;  // none of the three
    WriteResult AppendLineToExisting(const std::wstring& path, const std::wstring& line,
                                     CodePage cp = CodePage::Ansi) override;
    bool SetProtected(const std::wstring& path, bool on) override;
    // "yyyy-M-d", the Chinese regional default.
    std::wstring ShortDate(const std::tm& when) override;
    // Web storage browser (frmWebDrive): every address asked for, in order;
    // http(s) ones "open" unless browserFails.
    std::vector<std::wstring> browserOpens;
    bool browserFails = false;
    bool OpenInDefaultBrowser(const std::wstring& url) override;
    // Where the settings files live: no file can be made or replaced in these
    // folders (a program folder under Program Files, a CD).
    std::set<std::wstring, NoCaseLess> lockedFolders;
    bool CanWriteInFolder(const std::wstring& folder) override;
    // frmSet: the key events sent, in order (virtual key, released).
    std::vector<std::pair<int, bool>> keyEvents;
    void KeyEvent(unsigned char virtualKey, bool keyUp) override { keyEvents.push_back({virtualKey, keyUp}); }

private:
    bool Start(const std::wstring& commandLine, WindowStyle style, bool notify);
    WriteResult CheckWritable(const std::wstring& key, const std::wstring& text);

    std::vector<std::function<void(unsigned long)>> pending_;
};

}  // namespace lz::test
