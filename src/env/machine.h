// The machine as the windows' logic sees it: environment, registry, files,
// folder object, Shell and clock. machine_win.cpp is the real one; tests use fakes.
#pragma once
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lz {

enum class RegRead {
    KeyMissing,  // the key could not be opened
    NoValue,     // key opened, value missing or not REG_SZ
    Ok,
};

struct RegString {
    RegRead status = RegRead::KeyMissing;
    std::wstring value;  // cut at its first NUL; empty unless Ok
};

// Window styles of Shell, with their classic numbers.
enum class WindowStyle { Hidden = 0, NormalFocus = 1, MinimizedFocus = 2, MaximizedFocus = 3 };

// Which code page a text file is written in: ANSI for text, OEM for what cmd.exe reads.
enum class CodePage { Ansi, Oem };

enum class [[nodiscard]] WriteResult {
    Ok,
    NotRepresentable,  // a character the code page cannot hold; nothing written
    Failed,            // the file could not be written; an existing file is unchanged
};

struct [[nodiscard]] CopyReport {
    bool sourceMissing = false;
    bool destinationFailed = false;  // the destination folder could not be made
    bool cancelled = false;          // stopped by the user; the files not reached are in no list
    int copied = 0;
    std::vector<std::wstring> failed;  // files (full source paths) that were not copied
    // Files another program holds open without sharing (full source paths, in
    // the order of the tree); not copied, and not in `failed`.
    std::vector<std::wstring> locked;
    bool ok() const { return !sourceMissing && !destinationFailed && !cancelled && failed.empty() && locked.empty(); }
};

// How far a folder copy has come. The totals grow while the tree is still
// being walked (`walking`).
struct CopyProgress {
    int filesDone = 0, filesTotal = 0;
    std::uint64_t bytesDone = 0, bytesTotal = 0;
    bool walking = false;
    std::wstring current;  // the file being copied (full source path)
};
// Told of the progress of a copy, one call at a time but from any thread;
// false stops the copy: the files in flight are abandoned, their old targets whole.
using CopyProgressFn = std::function<bool(const CopyProgress&)>;

// Folders the system reports for the current user.
enum class KnownFolder {
    Favorites, Personal, Cookies, MyPictures, MyMusic, MyVideo, Fonts, Desktop,
    ProgramFiles,     // where 32-bit programs live: "Program Files (x86)" on 64-bit systems
    AppData,          // the user's application data folder, made when it is missing
};

struct OsVersion {
    unsigned major = 0;
    unsigned minor = 0;
};

class Machine {
public:
    virtual ~Machine() = default;

    // Environment. Window queries use a 255-character buffer, the task
    // window's computer and user names one of 100; a failed call gives "".
    virtual std::wstring GetWinDir() = 0;
    virtual std::wstring GetSysDir() = 0;
    virtual std::wstring GetLoginName() = 0;
    virtual std::wstring GetComputerName100() = 0;
    virtual std::wstring GetUserName100() = 0;
    // A string under HKEY_LOCAL_MACHINE.
    virtual RegString ReadRegString(const std::wstring& keyPath, const std::wstring& valueName) = 0;
    virtual OsVersion GetOsVersion() = 0;
    virtual std::wstring GetKnownFolder(KnownFolder which) = 0;  // "" when unknown
    // The directory of the executable, without a trailing backslash.
    virtual std::wstring ProgramDir() = 0;

    // Text files, CR LF line ends. Replacing goes through a temporary file and a rename.
    virtual WriteResult WriteTextFile(const std::wstring& path, const std::vector<std::wstring>& lines,
                                      CodePage cp = CodePage::Ansi) = 0;
    virtual WriteResult AppendTextLine(const std::wstring& path, const std::wstring& line,
                                       CodePage cp = CodePage::Ansi) = 0;
    // Every line, the last one kept even without a line end; CR or CR LF end a line.
    // nullopt when the file cannot be opened.
    virtual std::optional<std::vector<std::wstring>> ReadTextLines(const std::wstring& path) = 0;
    // True when every character can be written in the ANSI code page.
    virtual bool FitsAnsi(const std::wstring& text) = 0;

    [[nodiscard]] virtual bool CopyOneFile(const std::wstring& from, const std::wstring& to, bool overwrite) = 0;
    [[nodiscard]] virtual bool CreateFolder(const std::wstring& path) = 0;  // one level, like MkDir
    [[nodiscard]] virtual bool DeleteOneFile(const std::wstring& path) = 0;
    virtual int DeleteFiles(const std::wstring& folder, const std::wstring& pattern) = 0;
    virtual bool FileExists(const std::wstring& path) = 0;
    virtual bool FolderExists(const std::wstring& path) = 0;
    [[nodiscard]] virtual bool SetHidden(const std::wstring& path) = 0;

    // Folder object: the full path of an existing folder (no trailing
    // backslash except a drive root), or nullopt.
    virtual std::optional<std::wstring> GetFolder(const std::wstring& path) = 0;
    // Whole-folder copy, overwriting. A destination ending in "\" receives the
    // source as a sub-folder under its own name; otherwise it receives the contents.
    // `progress`, when given, is told as the copy goes and may stop it.
    virtual CopyReport CopyFolder(const std::wstring& source, const std::wstring& destination,
                                  const CopyProgressFn& progress = nullptr) = 0;

    // Shell: start a command line without waiting. False when it could not start.
    [[nodiscard]] virtual bool Run(const std::wstring& commandLine, WindowStyle style) = 0;
    // Start and, once it has ended, call onExit with its exit code on the
    // user-interface thread. False (and no call) when it could not start.
    [[nodiscard]] virtual bool RunNotify(const std::wstring& commandLine, WindowStyle style,
                           std::function<void(unsigned long exitCode)> onExit) = 0;

    // Clock.
    virtual std::tm Now() = 0;
    // The regional "general date": short date, a space, long time.
    virtual std::wstring GeneralDate(const std::tm& when) = 0;

    // ---- The font window (frmFonts) ----
    // The names of the screen's fonts, each once, in the order the system
    // lists them; the hourglass shows while they are gathered.
    virtual std::vector<std::wstring> ScreenFontNames() = 0;
    // Adds the fonts of a font file until the system restarts; the file stays
    // where it is. How many fonts were added: 0 when none.
    virtual int AddFontFile(const std::wstring& path) = 0;
    // Tells every top-level window that the fonts have changed. A window that
    // does not answer soon is passed over, so that a hung program cannot hold us.
    virtual void BroadcastFontChange() = 0;
    // Text in the ANSI code page; nullopt when a character has no form there.
    virtual std::optional<std::string> AnsiBytes(const std::wstring& text) = 0;

    // ---- The boot menu window (frmGhost) ----
    // Appends one line to an existing text file. A last line without its line
    // end is ended first, so that the new line never continues it. Never
    // creates the file: Failed when it is missing or cannot be written.
    virtual WriteResult AppendLineToExisting(const std::wstring& path, const std::wstring& line,
                                             CodePage cp = CodePage::Ansi) = 0;
    // Sets (on) or clears read-only, hidden and system together, as
    // "attrib +r +h +s" and "attrib -r -h -s" do. False when the file is
    // missing or its attributes could not be changed.
    [[nodiscard]] virtual bool SetProtected(const std::wstring& path, bool on) = 0;
    // The regional short date.
    virtual std::wstring ShortDate(const std::tm& when) = 0;

    // ---- The web storage browser (frmWebDrive) ----
    // Opens an http or https address in the system's default browser; refuses
    // (false, nothing started) anything else. False when it could not start.
    [[nodiscard]] virtual bool OpenInDefaultBrowser(const std::wstring& url) = 0;

    // ---- Where the settings files live (core/settings_file.h) ----
    // True when a new file can be made in the folder now: one is made and
    // dropped again, since only the attempt tells (folder rights, read-only
    // media, a folder under Program Files on Vista and later).
    virtual bool CanWriteInFolder(const std::wstring& folder) = 0;

    // ---- The lock settings window (frmSet) ----
    // A key pressed or released as if typed (virtual-key codes), for
    // the desktop's own shortcuts such as Windows+M.
    virtual void KeyEvent(unsigned char virtualKey, bool keyUp) = 0;
};

}  // namespace lz
