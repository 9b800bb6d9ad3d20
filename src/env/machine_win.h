// The real machine: Win32 W functions behind the Machine interface.
#pragma once
#include <windows.h>

#include "env/machine.h"

namespace lz {

class Win32Machine : public Machine {
public:
    // Create it on the user-interface thread: RunNotify calls back there,
    // through that thread's message loop.
    Win32Machine();
    ~Win32Machine() override;
    Win32Machine(const Win32Machine&) = delete;
    Win32Machine& operator=(const Win32Machine&) = delete;

    std::wstring GetWinDir() override;
    std::wstring GetSysDir() override;
    std::wstring GetLoginName() override;
    std::wstring GetComputerName100() override;
    std::wstring GetUserName100() override;
    RegString ReadRegString(const std::wstring& keyPath, const std::wstring& valueName) override;
    OsVersion GetOsVersion() override;
    std::wstring GetKnownFolder(KnownFolder which) override;
    std::wstring ProgramDir() override;

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
    bool FileExists(const std::wstring& path) override;
    bool FolderExists(const std::wstring& path) override;
    bool SetHidden(const std::wstring& path) override;

    std::optional<std::wstring> GetFolder(const std::wstring& path) override;
    CopyReport CopyFolder(const std::wstring& source, const std::wstring& destination,
                          const CopyProgressFn& progress = nullptr) override;

    bool Run(const std::wstring& commandLine, WindowStyle style) override;
    bool RunNotify(const std::wstring& commandLine, WindowStyle style,
                   std::function<void(unsigned long exitCode)> onExit) override;

    std::tm Now() override;
    std::wstring GeneralDate(const std::tm& when) override;

    // The font window (frmFonts).
    std::vector<std::wstring> ScreenFontNames() override;
    int AddFontFile(const std::wstring& path) override;
    void BroadcastFontChange() override;
    std::optional<std::string> AnsiBytes(const std::wstring& text) override;
    // ---- boot menu window (frmGhost) ----
    WriteResult AppendLineToExisting(const std::wstring& path, const std::wstring& line,
                                     CodePage cp = CodePage::Ansi) override;
    bool SetProtected(const std::wstring& path, bool on) override;
    std::wstring ShortDate(const std::tm& when) override;
    // Web storage browser (frmWebDrive).
    bool OpenInDefaultBrowser(const std::wstring& url) override;
    // Where the settings files live.
    bool CanWriteInFolder(const std::wstring& folder) override;
    // frmSet
    void KeyEvent(unsigned char virtualKey, bool keyUp) override;

private:
    HWND notifyWindow_ = nullptr;  // message-only; receives ended processes
};

}  // namespace lz
