#include "env/machine_win.h"
#include "env/late_win.h"

#include "env/systime_win.h"
#include "env/tempname.h"
#include "env/textlines.h"
#include "env/weburl.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <cstddef>
#include <cwchar>
#include <memory>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

namespace lz {

namespace {

using ExitCallback = std::function<void(unsigned long)>;

const wchar_t kNotifyClass[] = L"LanzhanMachineNotify";

UINT ExitMessage() {
    static const UINT id = RegisterWindowMessageW(L"LanzhanProcessEnded");
    return id;
}

std::wstring UpToNul(const wchar_t* buffer, std::size_t size) {
    return std::wstring(buffer, wcsnlen(buffer, size));
}

// ---- paths ---------------------------------------------------------------

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveRoot(const std::wstring& p) { return p.size() == 3 && p[1] == L':' && IsSeparator(p[2]); }

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty() || IsSeparator(folder.back())) return folder + name;
    return folder + L'\\' + name;
}

// The last name of a full path; "" for a drive root.
std::wstring LastName(const std::wstring& full) {
    auto cut = full.find_last_of(L"\\/");
    return cut == std::wstring::npos ? full : full.substr(cut + 1);
}

// The folder part of a path including its separator; "" for a bare name.
std::wstring FolderPart(const std::wstring& path) {
    auto cut = path.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? L"" : path.substr(0, cut + 1);
}

std::wstring TrimSeparators(std::wstring p) {
    while (p.size() > 1 && IsSeparator(p.back()) && !IsDriveRoot(p)) p.pop_back();
    return p;
}

std::wstring FullPath(const std::wstring& path) {
    if (path.empty()) return L"";
    std::wstring out(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetFullPathNameW(path.c_str(), DWORD(out.size()), &out[0], nullptr);
        if (n == 0) return L"";
        if (n < out.size()) {
            out.resize(n);
            return out;
        }
        out.resize(n);
    }
}

const wchar_t kExtended[] = L"\\\\?\\";

// Beyond MAX_PATH the file functions need the \\?\ form, which takes a full
// path exactly as written.
std::wstring Extended(const std::wstring& full) {
    if (full.rfind(kExtended, 0) == 0) return full;
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return kExtended + full;
}

// For reports: the path as the user knows it.
std::wstring Plain(const std::wstring& extended) {
    if (extended.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + extended.substr(8);
    if (extended.rfind(kExtended, 0) == 0) return extended.substr(4);
    return extended;
}

// Short paths go to the API untouched; long ones in the \\?\ form.
// 248 is CreateDirectoryW's limit (MAX_PATH less room for an 8.3 name).
std::wstring ForApi(const std::wstring& path) {
    if (path.size() < 248) return path;
    std::wstring full = FullPath(path);
    return full.empty() ? path : Extended(full);
}

// The full path in the \\?\ form, each name kept exactly as written. The
// system's own resolution drops a final dot or blank ("data." becomes "data"),
// so a copy of the folder "data." would copy the folder "data" beside it.
// Only "." and ".." and repeated separators are resolved here.
std::wstring ExactFull(const std::wstring& path) {
    if (path.empty()) return L"";
    std::wstring p = path;
    std::wstring root;  // \\?\C:\ or \\?\UNC\server\share\, with its separator
    if (p.rfind(kExtended, 0) == 0) {
        std::size_t cut = p.find(L'\\', 4);
        if (p.compare(4, 4, L"UNC\\") == 0) {
            const std::size_t server = p.find(L'\\', 8);
            cut = server == std::wstring::npos ? server : p.find(L'\\', server + 1);
        }
        root = cut == std::wstring::npos ? p + L'\\' : p.substr(0, cut + 1);
        p = cut == std::wstring::npos ? L"" : p.substr(cut + 1);
    } else {
        std::replace(p.begin(), p.end(), L'/', L'\\');
        if (p.size() >= 3 && p[1] == L':' && p[2] == L'\\') {
            root = kExtended + p.substr(0, 3);
            p = p.substr(3);
        } else if (p.rfind(L"\\\\", 0) == 0) {
            std::size_t server = p.find(L'\\', 2);
            std::size_t share = server == std::wstring::npos ? server : p.find(L'\\', server + 1);
            if (server == std::wstring::npos || server == 2) return L"";
            root = L"\\\\?\\UNC\\" + (share == std::wstring::npos ? p.substr(2) + L'\\' : p.substr(2, share - 1));
            p = share == std::wstring::npos ? L"" : p.substr(share + 1);
        } else {
            // Relative, drive-relative or rooted on the current drive: the
            // system resolves where it starts, the names stay as written.
            std::wstring base, rest;
            if (p.size() >= 2 && p[1] == L':') base = p.substr(0, 2) + L'.', rest = p.substr(2);
            else if (!p.empty() && p[0] == L'\\') base = L"\\", rest = p.substr(1);
            else base = L".", rest = p;
            const std::wstring start = FullPath(base);
            const bool absolute = (start.size() >= 3 && start[1] == L':' && start[2] == L'\\') ||
                                  start.rfind(L"\\\\", 0) == 0;
            return absolute ? ExactFull(Join(start, rest)) : L"";
        }
    }
    std::vector<std::wstring> names;
    std::size_t at = 0;
    while (at <= p.size()) {
        std::size_t end = p.find(L'\\', at);
        if (end == std::wstring::npos) end = p.size();
        std::wstring name = p.substr(at, end - at);
        if (name == L"..") {
            if (!names.empty()) names.pop_back();
        } else if (!name.empty() && name != L".") {
            names.push_back(name);
        }
        at = end + 1;
    }
    std::wstring out = root;
    for (std::size_t i = 0; i < names.size(); ++i) out += (i ? L"\\" : L"") + names[i];
    return out;
}

DWORD Attributes(const std::wstring& apiPath) { return GetFileAttributesW(apiPath.c_str()); }

bool IsFolder(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring Upper(std::wstring s) {
    if (!s.empty()) CharUpperBuffW(&s[0], DWORD(s.size()));
    return s;
}

// Whether `inner` is `outer` or lies inside it; both full, without trailing separators.
bool IsWithin(const std::wstring& inner, const std::wstring& outer) {
    std::wstring a = Upper(inner), b = Upper(outer);
    if (a.size() < b.size() || a.compare(0, b.size(), b) != 0) return false;
    return a.size() == b.size() || IsSeparator(b.back()) || IsSeparator(a[b.size()]);
}

// ---- files ---------------------------------------------------------------

std::atomic<unsigned> tempCounter{0};

// A new, uniquely named file in `folder` (which ends in a separator or is "").
HANDLE CreateTemp(const std::wstring& folder, DWORD attributes, std::wstring* name) {
    std::wstring where = folder;
    // Beside a target just short of MAX_PATH the temporary name may pass it.
    if (where.rfind(kExtended, 0) != 0 && where.size() + 40 >= MAX_PATH) {
        std::wstring full = FullPath(where.empty() ? L"." : where);
        if (!full.empty()) where = Extended(full);
        if (!where.empty() && !IsSeparator(where.back())) where += L'\\';
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = where + TempFileName(GetCurrentProcessId(), tempCounter.fetch_add(1));
        HANDLE h = CreateFileW(name->c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                               attributes | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE h, const char* data, std::size_t size) {
    while (size > 0) {
        DWORD chunk = DWORD(std::min<std::size_t>(size, 1u << 30)), written = 0;
        if (!WriteFile(h, data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

// Replaces `target` by a finished temporary file. A read-only copy left by an
// earlier backup must not block the new one.
bool MoveOver(const std::wstring& temp, const std::wstring& target) {
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    DWORD old = Attributes(target);
    if (!IsFile(old) || !(old & FILE_ATTRIBUTE_READONLY)) return false;
    if (!SetFileAttributesW(target.c_str(), old & ~DWORD(FILE_ATTRIBUTE_READONLY))) return false;
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    SetFileAttributesW(target.c_str(), old);
    return false;
}

// A batch file we started a moment ago may still be open in its interpreter,
// which refuses a replacement or deletion until it has read its last line:
// wait for that a little (about 3 s) rather than report a failure. A missing
// or read-only target is no such case.
template <class Attempt>
bool WhenFree(const std::wstring& target, Attempt attempt) {
    for (int tries = 0;; ++tries) {
        if (attempt()) return true;
        const DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || tries == 100) return false;
        if (error == ERROR_ACCESS_DENIED && (Attributes(target) & FILE_ATTRIBUTE_READONLY)) return false;
        Sleep(30);
    }
}

bool ReplaceWhenFree(const std::wstring& temp, const std::wstring& target) {
    return WhenFree(target, [&] {
        return MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    });
}

bool DeleteWhenFree(const std::wstring& path) {
    return WhenFree(path, [&] { return DeleteFileW(path.c_str()) != 0; });
}

void DiscardTemp(const std::wstring& temp) {
    SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(temp.c_str());
}

constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

// The finished temporary file is named and dated through its open handle:
// MoveFileExW and SetFileAttributesW would each open it again by name, and
// under Wine every open is a round trip to the server. The native calls are
// there since Windows 2000; where they are missing the calls by name remain.
struct IoStatus {
    union {
        LONG status;
        void* pointer;
    };
    ULONG_PTR information;
};
using SetInformationFile = LONG(WINAPI*)(HANDLE, IoStatus*, void*, ULONG, int);
constexpr int kFileBasicInformation = 4, kFileRenameInformation = 10;

SetInformationFile NativeSetInformation() {
    static const auto call = reinterpret_cast<SetInformationFile>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetInformationFile")));
    return call;
}

// Last written time and, when not 0, attributes, in one call.
bool SetTimeAndAttributes(HANDLE h, const FILETIME& written, DWORD attributes) {
    struct {
        LARGE_INTEGER created, accessed, written, changed;
        ULONG attributes;
    } info{};
    info.written.LowPart = written.dwLowDateTime;
    info.written.HighPart = LONG(written.dwHighDateTime);
    info.attributes = attributes;
    IoStatus io{};
    SetInformationFile call = NativeSetInformation();
    return call && call(h, &io, &info, sizeof info, kFileBasicInformation) >= 0;
}

// Gives the open file the name `target` (a \\?\ path), replacing a file of that name.
bool RenameOpen(HANDLE h, const std::wstring& target) {
    SetInformationFile call = NativeSetInformation();
    if (!call || target.rfind(kExtended, 0) != 0) return false;
    const std::wstring nt = L"\\??\\" + target.substr(4);
    struct Rename {
        BOOLEAN replace;
        HANDLE root;
        ULONG length;
        WCHAR name[1];
    };
    std::vector<char> buffer(offsetof(Rename, name) + (nt.size() + 1) * sizeof(wchar_t));
    auto* info = reinterpret_cast<Rename*>(buffer.data());
    info->replace = TRUE;
    info->root = nullptr;
    info->length = ULONG(nt.size() * sizeof(wchar_t));
    std::copy(nt.begin(), nt.end(), info->name);
    IoStatus io{};
    return call(h, &io, info, ULONG(buffer.size()), kFileRenameInformation) >= 0;
}

enum class FileCopy { Copied, Failed, Locked, Stopped };

// Another program holds the file open without sharing, or has locked a part of it.
bool HeldByAnother(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }

// Copies through a temporary file beside the target, so that a failure at any
// point leaves an existing target as it was. Paths as the API takes them.
// `stop`, when set during the copy, abandons it the same way.
FileCopy CopyViaTemp(const std::wstring& from, const std::wstring& to, DWORD attributes, const FILETIME& written,
                     std::vector<char>& buffer, const std::atomic<bool>* stop = nullptr) {
    HANDLE in = CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (in == INVALID_HANDLE_VALUE) return HeldByAnother(GetLastError()) ? FileCopy::Locked : FileCopy::Failed;
    std::wstring temp;
    HANDLE out = CreateTemp(FolderPart(to), attributes & kKeptAttributes, &temp);
    if (out == INVALID_HANDLE_VALUE) {
        CloseHandle(in);
        return FileCopy::Failed;
    }
    FileCopy result = FileCopy::Copied;
    for (;;) {
        if (stop && stop->load(std::memory_order_relaxed)) {
            result = FileCopy::Stopped;
            break;
        }
        DWORD got = 0;
        if (!ReadFile(in, buffer.data(), DWORD(buffer.size()), &got, nullptr)) {
            result = HeldByAnother(GetLastError()) ? FileCopy::Locked : FileCopy::Failed;
            break;
        }
        if (got == 0) break;
        if (!WriteAll(out, buffer.data(), got)) {
            result = FileCopy::Failed;
            break;
        }
        if (got < buffer.size()) break;  // a short read of a disk file is its end: one call less per file
    }
    bool ok = result == FileCopy::Copied;
    CloseHandle(in);
    bool named = false, byName = false;
    const DWORD readOnly =
        attributes & FILE_ATTRIBUTE_READONLY ? (attributes & kKeptAttributes) | FILE_ATTRIBUTE_READONLY : 0;
    if (ok && !SetTimeAndAttributes(out, written, readOnly)) {
        SetFileTime(out, nullptr, nullptr, &written);
        byName = readOnly != 0;
    }
    // A read-only old copy refuses this; MoveOver below deals with it.
    if (ok && !byName) named = RenameOpen(out, to);
    ok = CloseHandle(out) && ok;
    if (ok && byName) SetFileAttributesW(temp.c_str(), readOnly);
    if (ok && !named) ok = MoveOver(temp, to);
    if (!ok && !named) DiscardTemp(temp);
    if (!ok && result == FileCopy::Copied) result = FileCopy::Failed;
    return result;
}

// Text in a code page; nullopt when a character has no form there (no
// best-fit stand-ins: a path must never silently become another path).
std::optional<std::string> Encode(const std::wstring& text, CodePage cp) {
    if (text.empty()) return std::string();
    UINT page = cp == CodePage::Oem ? GetOEMCP() : GetACP();
    bool utf8 = page == CP_UTF8;  // refuses the flag and the default-char check
    DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* check = utf8 ? nullptr : &usedDefault;
    int n = WideCharToMultiByte(page, flags, text.data(), int(text.size()), nullptr, 0, nullptr, check);
    if (n <= 0 || usedDefault) return std::nullopt;
    std::string out(std::size_t(n), '\0');
    n = WideCharToMultiByte(page, flags, text.data(), int(text.size()), &out[0], n, nullptr, check);
    if (n <= 0 || usedDefault) return std::nullopt;
    return out;
}

// ---- folder copy -----------------------------------------------------------

struct CopyJob {
    std::wstring from, to;  // \\?\ form
    DWORD attributes;
    FILETIME written;
    std::uint64_t size;
    FileCopy result = FileCopy::Stopped;  // until a worker has copied it
};

// The identity of a folder, to notice a second way into one already copied.
std::optional<std::pair<DWORD, std::uint64_t>> FolderId(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    bool ok = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    std::uint64_t index = (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    if (!ok || index == 0) return std::nullopt;
    return std::make_pair(info.dwVolumeSerialNumber, index);
}

bool MakeFolder(const std::wstring& path) {
    return CreateDirectoryW(path.c_str(), nullptr) || IsFolder(Attributes(path));
}

// Whether the process that named a temporary file may still be writing it.
bool MayStillWrite(std::uint32_t processId) {
    if (processId == GetCurrentProcessId()) return false;  // it copies one folder at a time
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, processId);
    // No such process; one we may not look at is left alone.
    if (!h) return GetLastError() != ERROR_INVALID_PARAMETER;
    const bool running = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    CloseHandle(h);
    return running;
}

// A copy that was killed or lost its power leaves its temporary file beside
// the target (the old target stays whole). Removes those in `folder`: only
// names of our own form, only of processes that have ended, and none that is
// still open.
void RemoveLeftTemps(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(Join(folder, kTempFilePattern).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        auto owner = TempFileOwner(found.cFileName);
        if (!owner || MayStillWrite(*owner)) continue;
        const std::wstring path = Join(folder, found.cFileName);
        HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) continue;
        CloseHandle(h);
        DiscardTemp(path);
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

// The files of a folder copy, copied while the tree is still being walked.
// Under Wine the cost of a copy is per file, and a few files in flight at once
// hide most of it. The jobs stay in the order of the tree for the report.
class CopyQueue {
public:
    explicit CopyQueue(const CopyProgressFn& progress) : progress_(progress) {}
    ~CopyQueue() { Finish(); }

    void Add(CopyJob job) {
        const std::uint64_t size = job.size;
        {
            std::lock_guard<std::mutex> lock(jobsMutex_);
            jobs_.push_back(std::move(job));
        }
        {
            std::lock_guard<std::mutex> lock(progressMutex_);
            ++state_.filesTotal;
            state_.bytesTotal += size;
        }
        ready_.notify_one();
        if (helpers_.empty() && jobs_.size() >= 16) StartHelpers();
    }
    // Between folders of the walk: lets a long walk show and be stopped.
    bool Walked(const std::wstring& folder) {
        std::lock_guard<std::mutex> lock(progressMutex_);
        state_.walking = true;
        if (state_.filesDone == 0 && jobs_.empty()) state_.current = Plain(folder);
        Tell();
        return !Stopped();
    }
    // The walk has ended: this thread copies too, until every file is done.
    void Finish() {
        {
            std::lock_guard<std::mutex> lock(jobsMutex_);
            if (walkDone_) return;
            walkDone_ = true;
        }
        {
            std::lock_guard<std::mutex> lock(progressMutex_);
            state_.walking = false;
        }
        ready_.notify_all();
        Work();
        for (auto& t : helpers_) t.join();
        helpers_.clear();
        std::lock_guard<std::mutex> lock(progressMutex_);
        state_.current.clear();
        Tell();
    }
    bool Stopped() const { return stop_.load(); }
    const std::deque<CopyJob>& Jobs() const { return jobs_; }

private:
    void StartHelpers() {
        try {
            while (helpers_.size() < 3) helpers_.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            // Fewer helpers only make it slower.
        }
    }
    void Work() {
        // Sized to the file, so that a file is read in one call up to the
        // largest size; grown only, as the files come.
        constexpr std::size_t kLargest = 8u << 20;
        std::vector<char> buffer(64 << 10);
        for (;;) {
            CopyJob* job = nullptr;
            {
                std::unique_lock<std::mutex> lock(jobsMutex_);
                ready_.wait(lock, [&] { return next_ < jobs_.size() || walkDone_; });
                if (next_ >= jobs_.size()) return;
                job = &jobs_[next_++];  // a deque keeps its elements where they are
            }
            if (Stopped()) continue;  // left as Stopped
            {
                std::lock_guard<std::mutex> lock(progressMutex_);
                state_.current = Plain(job->from);
                Tell();
            }
            if (job->size >= buffer.size() && buffer.size() < kLargest)
                buffer.resize(std::size_t(std::min<std::uint64_t>(job->size + 1, kLargest)));
            job->result = CopyViaTemp(job->from, job->to, job->attributes, job->written, buffer, &stop_);
            std::lock_guard<std::mutex> lock(progressMutex_);
            ++state_.filesDone;
            state_.bytesDone += job->size;
        }
    }
    // With progressMutex_ held: one call at a time.
    void Tell() {
        if (!progress_ || Stopped()) return;
        bool goOn = false;
        try {
            goOn = progress_(state_);
        } catch (...) {
            // Nothing may unwind through a worker: a failing watcher stops the copy.
        }
        if (!goOn) stop_ = true;
    }

    const CopyProgressFn& progress_;
    std::mutex jobsMutex_, progressMutex_;
    std::condition_variable ready_;
    std::deque<CopyJob> jobs_;
    std::size_t next_ = 0;
    bool walkDone_ = false;
    std::atomic<bool> stop_{false};
    CopyProgress state_;
    std::vector<std::thread> helpers_;
};

// ---- processes -----------------------------------------------------------

WORD ShowCommand(WindowStyle style) {
    switch (style) {
    case WindowStyle::Hidden: return SW_HIDE;
    case WindowStyle::NormalFocus: return SW_SHOWNORMAL;
    case WindowStyle::MinimizedFocus: return SW_SHOWMINIMIZED;
    case WindowStyle::MaximizedFocus: return SW_SHOWMAXIMIZED;
    }
    return SW_SHOWNORMAL;
}

// Starts a command line; the process handle goes to `process` when asked for.
bool Start(const std::wstring& commandLine, WindowStyle style, HANDLE* process) {
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');  // CreateProcessW may write into its command line
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = ShowCommand(style);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    if (process) *process = pi.hProcess;
    else CloseHandle(pi.hProcess);
    return true;
}

LRESULT CALLBACK NotifyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ExitMessage() && message != 0) {
        std::unique_ptr<ExitCallback> callback(reinterpret_cast<ExitCallback*>(lParam));
        try {
            if (callback && *callback) (*callback)(static_cast<unsigned long>(wParam));
        } catch (...) {
            // Nothing may unwind through the system's message dispatch.
        }
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Frees the callbacks already posted to a window that is about to go.
void DropPendingCallbacks(HWND hwnd) {
    MSG msg;
    while (PeekMessageW(&msg, hwnd, ExitMessage(), ExitMessage(), PM_REMOVE))
        delete reinterpret_cast<ExitCallback*>(msg.lParam);
}

}  // namespace

// ---- lifetime ------------------------------------------------------------

Win32Machine::Win32Machine() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = NotifyProc;
    wc.hInstance = instance;
    wc.lpszClassName = kNotifyClass;
    RegisterClassW(&wc);  // fails harmlessly when a second machine registers again
    notifyWindow_ = CreateWindowExW(0, kNotifyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
}

Win32Machine::~Win32Machine() {
    if (!notifyWindow_) return;
    DropPendingCallbacks(notifyWindow_);
    // From now on a post fails, and the waiting thread frees its callback.
    DestroyWindow(notifyWindow_);
}

// ---- environment ---------------------------------------------------------

std::wstring Win32Machine::GetWinDir() {
    wchar_t buffer[255] = {};
    GetWindowsDirectoryW(buffer, 255);
    return UpToNul(buffer, 255);
}

std::wstring Win32Machine::GetSysDir() {
    wchar_t buffer[255] = {};
    GetSystemDirectoryW(buffer, 255);
    return UpToNul(buffer, 255);
}

std::wstring Win32Machine::GetLoginName() {
    wchar_t buffer[255] = {};
    DWORD size = 255;
    GetUserNameW(buffer, &size);
    return UpToNul(buffer, 255);
}

std::wstring Win32Machine::GetComputerName100() {
    wchar_t buffer[100] = {};
    DWORD size = 100;
    GetComputerNameW(buffer, &size);
    return UpToNul(buffer, 100);
}

std::wstring Win32Machine::GetUserName100() {
    wchar_t buffer[100] = {};
    DWORD size = 100;
    GetUserNameW(buffer, &size);
    return UpToNul(buffer, 100);
}

RegString Win32Machine::ReadRegString(const std::wstring& keyPath, const std::wstring& valueName) {
#ifdef _WIN64
    // The chat clients and the burning program are 32-bit and wrote their keys
    // where a 32-bit program looks; the 64-bit view comes second.
    const REGSAM views[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};
#else
    const REGSAM views[] = {0};
#endif
    // A key present in one view without the value (the system's own keys are
    // mirrored into the 32-bit view only in part) lets the next view answer.
    RegString result{RegRead::KeyMissing, L""};
    for (REGSAM view : views) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
            continue;
        result.status = RegRead::NoValue;
        DWORD type = 0, size = 0;
        if (RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
            type == REG_SZ) {
            // Room for an odd byte count and a missing terminator.
            std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
            DWORD bytes = DWORD((buffer.size() - 1) * sizeof(wchar_t));
            if (RegQueryValueExW(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                                 &bytes) == ERROR_SUCCESS &&
                type == REG_SZ)
                result = {RegRead::Ok, std::wstring(buffer.data())};
        }
        RegCloseKey(key);
        if (result.status == RegRead::Ok) break;
    }
    return result;
}

OsVersion Win32Machine::GetOsVersion() {
    // GetVersionEx answers what a compatibility shim tells it to; ntdll does not.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    FARPROC proc = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
    auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void (*)()>(proc));
    if ((rtlGetVersion && rtlGetVersion(&info) == 0) || GetVersionExW(&info))
        return {unsigned(info.dwMajorVersion), unsigned(info.dwMinorVersion)};
    return {};
}

namespace {

HRESULT FolderPath(int csidl, DWORD flags, wchar_t* path) {
    static const auto call = LateBound<decltype(&SHGetFolderPathW)>(L"shell32.dll", "SHGetFolderPathW");
    return call ? call(nullptr, csidl, nullptr, flags, path) : E_NOTIMPL;
}

}  // namespace

std::wstring Win32Machine::GetKnownFolder(KnownFolder which) {
    int csidl = 0;
    switch (which) {
    case KnownFolder::Favorites: csidl = CSIDL_FAVORITES; break;
    case KnownFolder::Personal: csidl = CSIDL_PERSONAL; break;
    case KnownFolder::Cookies: csidl = CSIDL_COOKIES; break;
    case KnownFolder::MyPictures: csidl = CSIDL_MYPICTURES; break;
    case KnownFolder::MyMusic: csidl = CSIDL_MYMUSIC; break;
    case KnownFolder::MyVideo: csidl = CSIDL_MYVIDEO; break;
    case KnownFolder::Fonts: csidl = CSIDL_FONTS; break;
    case KnownFolder::Desktop: csidl = CSIDL_DESKTOPDIRECTORY; break;
    case KnownFolder::AppData: csidl = CSIDL_APPDATA | CSIDL_FLAG_CREATE; break;
    case KnownFolder::ProgramFiles: {
        // The chat clients are 32-bit programs: on a 64-bit system they sit in
        // "Program Files (x86)", which XP's shell does not know.
        wchar_t x86[MAX_PATH] = {};
        if (SUCCEEDED(FolderPath(0x002a /* CSIDL_PROGRAM_FILESX86 */, 0, x86)) && x86[0])
            return x86;
        csidl = CSIDL_PROGRAM_FILES;
        break;
    }
    }
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(FolderPath(csidl, SHGFP_TYPE_CURRENT, buffer))) return L"";
    return UpToNul(buffer, MAX_PATH);
}

std::wstring Win32Machine::ProgramDir() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, &path[0], DWORD(path.size()));
        if (n == 0) return L"";
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        if (path.size() >= 32768) return L"";
        path.resize(path.size() * 2);
    }
    auto cut = path.find_last_of(L'\\');
    return cut == std::wstring::npos ? L"" : path.substr(0, cut);
}

// ---- text files ----------------------------------------------------------

WriteResult Win32Machine::WriteTextFile(const std::wstring& path, const std::vector<std::wstring>& lines,
                                        CodePage cp) {
    std::wstring text;
    for (const auto& line : lines) text += line + L"\r\n";
    auto bytes = Encode(text, cp);
    if (!bytes) return WriteResult::NotRepresentable;

    std::wstring target = ForApi(path);
    DWORD old = Attributes(target);
    if (IsFolder(old)) return WriteResult::Failed;
    DWORD keep = old == INVALID_FILE_ATTRIBUTES ? 0 : old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    std::wstring temp;
    HANDLE h = CreateTemp(FolderPart(target), keep, &temp);
    if (h == INVALID_HANDLE_VALUE) return WriteResult::Failed;
    // Flushed before the rename, so that a crash leaves the old file or the whole new one.
    bool ok = WriteAll(h, bytes->data(), bytes->size()) && FlushFileBuffers(h);
    ok = CloseHandle(h) && ok;
    if (ok) ok = ReplaceWhenFree(temp, target);
    if (!ok) DiscardTemp(temp);
    return ok ? WriteResult::Ok : WriteResult::Failed;
}

WriteResult Win32Machine::AppendTextLine(const std::wstring& path, const std::wstring& line, CodePage cp) {
    auto bytes = Encode(line + L"\r\n", cp);
    if (!bytes) return WriteResult::NotRepresentable;
    HANDLE h = CreateFileW(ForApi(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return WriteResult::Failed;
    LARGE_INTEGER zero{};
    bool ok = SetFilePointerEx(h, zero, nullptr, FILE_END) && WriteAll(h, bytes->data(), bytes->size());
    ok = CloseHandle(h) && ok;
    return ok ? WriteResult::Ok : WriteResult::Failed;
}

std::optional<std::vector<std::wstring>> Win32Machine::ReadTextLines(const std::wstring& path) {
    HANDLE h = CreateFileW(ForApi(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char chunk[64 * 1024];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(h, chunk, sizeof chunk, &got, nullptr)) && got > 0) bytes.append(chunk, got);
    CloseHandle(h);
    if (!ok) return std::nullopt;
    if (bytes.empty()) return std::vector<std::wstring>{};

    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    std::wstring text(std::size_t(std::max(n, 0)), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), &text[0], n);
    return SplitLines(text);
}

bool Win32Machine::FitsAnsi(const std::wstring& text) { return Encode(text, CodePage::Ansi).has_value(); }

// ---- files and folders ---------------------------------------------------

bool Win32Machine::CopyOneFile(const std::wstring& from, const std::wstring& to, bool overwrite) {
    std::wstring source = ForApi(from), target = ForApi(to);
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (!GetFileAttributesExW(source.c_str(), GetFileExInfoStandard, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (!overwrite && Attributes(target) != INVALID_FILE_ATTRIBUTES) return false;
    std::vector<char> buffer(256 * 1024);
    return CopyViaTemp(source, target, info.dwFileAttributes, info.ftLastWriteTime, buffer) == FileCopy::Copied;
}

bool Win32Machine::CreateFolder(const std::wstring& path) {
    return CreateDirectoryW(ForApi(path).c_str(), nullptr) != 0;
}

bool Win32Machine::DeleteOneFile(const std::wstring& path) { return DeleteWhenFree(ForApi(path)); }

int Win32Machine::DeleteFiles(const std::wstring& folder, const std::wstring& pattern) {
    std::wstring dir = ForApi(folder);
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(Join(dir, pattern).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int deleted = 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && DeleteWhenFree(Join(dir, found.cFileName)))
            ++deleted;
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return deleted;
}

bool Win32Machine::FileExists(const std::wstring& path) { return IsFile(Attributes(ForApi(path))); }

bool Win32Machine::FolderExists(const std::wstring& path) { return IsFolder(Attributes(ForApi(path))); }

bool Win32Machine::SetHidden(const std::wstring& path) {
    std::wstring p = ForApi(path);
    DWORD old = Attributes(p);
    if (old == INVALID_FILE_ATTRIBUTES) return false;
    const DWORD settable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                           FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    return SetFileAttributesW(p.c_str(), (old & settable) | FILE_ATTRIBUTE_HIDDEN) != 0;
}

std::optional<std::wstring> Win32Machine::GetFolder(const std::wstring& path) {
    std::wstring full = TrimSeparators(FullPath(path));
    if (full.empty() || !IsFolder(Attributes(Extended(full)))) return std::nullopt;
    return full;
}

CopyReport Win32Machine::CopyFolder(const std::wstring& source, const std::wstring& destination,
                                    const CopyProgressFn& progress) {
    CopyReport report;
    // Both taken name for name: a folder named "data." is that folder, never "data".
    const std::wstring from = ExactFull(source);
    if (from.empty() || !IsFolder(Attributes(from))) {
        report.sourceMissing = true;
        return report;
    }
    std::wstring to = ExactFull(destination);
    if (!to.empty() && IsSeparator(destination.back())) {
        std::wstring name = LastName(from);
        if (name.empty() || !IsFolder(Attributes(to))) to.clear();
        else to = Join(to, name);
    }
    if (to.empty() || IsWithin(to, from) || !MakeFolder(to)) {
        report.destinationFailed = true;
        return report;
    }

    // Walk, making folders, while the files found so far are copied. A
    // junction or link is not entered: it may lead back up the tree. The
    // folder identities catch any other second way into a folder (Wine shows
    // Unix links as folders). Folders are walked in the order they are found.
    CopyQueue queue(progress);
    std::set<std::pair<DWORD, std::uint64_t>> seen;
    if (auto id = FolderId(to)) seen.insert(*id);
    std::vector<std::pair<std::wstring, std::wstring>> pending{{from, to}};
    while (!pending.empty() && queue.Walked(pending.back().first)) {
        auto [dirFrom, dirTo] = std::move(pending.back());
        pending.pop_back();
        if (auto id = FolderId(dirFrom); id && !seen.insert(*id).second) continue;
        RemoveLeftTemps(dirTo);
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW(Join(dirFrom, L"*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) {
            if (GetLastError() != ERROR_FILE_NOT_FOUND) report.failed.push_back(Plain(dirFrom));
            continue;
        }
        std::vector<std::pair<std::wstring, std::wstring>> subFolders;
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring itemFrom = Join(dirFrom, name), itemTo = Join(dirTo, name);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
                if (MakeFolder(itemTo)) subFolders.emplace_back(std::move(itemFrom), std::move(itemTo));
                else report.failed.push_back(Plain(itemFrom));
            } else {
                const std::uint64_t size = (std::uint64_t(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
                queue.Add({std::move(itemFrom), std::move(itemTo), found.dwFileAttributes, found.ftLastWriteTime, size});
            }
        } while (FindNextFileW(find, &found));
        FindClose(find);
        // Taken from the back: the first sub-folder is walked next.
        pending.insert(pending.end(), std::make_move_iterator(subFolders.rbegin()),
                       std::make_move_iterator(subFolders.rend()));
    }
    const bool walkCut = !pending.empty();
    queue.Finish();

    // A stop that came after the last file changes nothing.
    bool stoppedFiles = false;
    for (const CopyJob& job : queue.Jobs()) {
        switch (job.result) {
        case FileCopy::Copied: ++report.copied; break;
        case FileCopy::Failed: report.failed.push_back(Plain(job.from)); break;
        case FileCopy::Locked: report.locked.push_back(Plain(job.from)); break;
        case FileCopy::Stopped: stoppedFiles = true; break;
        }
    }
    report.cancelled = walkCut || stoppedFiles;
    return report;
}

// ---- Shell ---------------------------------------------------------------

bool Win32Machine::Run(const std::wstring& commandLine, WindowStyle style) {
    return Start(commandLine, style, nullptr);
}

bool Win32Machine::RunNotify(const std::wstring& commandLine, WindowStyle style,
                             std::function<void(unsigned long exitCode)> onExit) {
    HANDLE process = nullptr;
    if (!Start(commandLine, style, &process)) return false;
    auto* callback = new ExitCallback(std::move(onExit));
    HWND window = notifyWindow_;
    try {
        std::thread([process, window, callback] {
            WaitForSingleObject(process, INFINITE);
            DWORD code = 0;
            if (!GetExitCodeProcess(process, &code)) code = DWORD(-1);
            CloseHandle(process);
            // The window is gone when its machine was destroyed: nobody waits any more.
            if (!window || !PostMessageW(window, ExitMessage(), code, reinterpret_cast<LPARAM>(callback)))
                delete callback;
        }).detach();
    } catch (const std::system_error&) {
        CloseHandle(process);
        delete callback;
    }
    return true;
}

// ---- clock ---------------------------------------------------------------

std::tm Win32Machine::Now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return ToTm(st);
}

std::wstring Win32Machine::GeneralDate(const std::tm& when) {
    const SYSTEMTIME st = ToSystemTime(when);
    wchar_t date[80] = {}, time[80] = {};
    if (!GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, 80) ||
        !GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, 80))
        return L"";
    return std::wstring(date) + L" " + time;
}

// ---- the font window (frmFonts) ----------------------------------------------

namespace {

struct FontNames {
    std::vector<std::wstring> names;
    std::set<std::wstring> seen;
};

int CALLBACK AddFontName(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM param) {
    auto* list = reinterpret_cast<FontNames*>(param);
    std::wstring name = UpToNul(font->lfFaceName, LF_FACESIZE);
    // A family comes once for each character set it covers.
    if (!name.empty() && list->seen.insert(name).second) list->names.push_back(std::move(name));
    return 1;
}

}  // namespace

std::vector<std::wstring> Win32Machine::ScreenFontNames() {
    HCURSOR before = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    FontNames list;
    if (HDC screen = GetDC(nullptr)) {
        LOGFONTW all{};
        all.lfCharSet = DEFAULT_CHARSET;
        EnumFontFamiliesExW(screen, &all, AddFontName, reinterpret_cast<LPARAM>(&list), 0);
        ReleaseDC(nullptr, screen);
    }
    SetCursor(before);
    return list.names;
}

int Win32Machine::AddFontFile(const std::wstring& path) {
    if (path.empty()) return 0;
    return AddFontResourceW(path.c_str());
}

void Win32Machine::BroadcastFontChange() {
    // The time-out counts for each window in turn; a hung one is skipped at once.
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, 1000, &answer);
}

std::optional<std::string> Win32Machine::AnsiBytes(const std::wstring& text) { return Encode(text, CodePage::Ansi); }

// ---- boot menu window (frmGhost) -------------------------------------------

WriteResult Win32Machine::AppendLineToExisting(const std::wstring& path, const std::wstring& line, CodePage cp) {
    auto bytes = Encode(line + L"\r\n", cp);
    if (!bytes) return WriteResult::NotRepresentable;
    HANDLE h = CreateFileW(ForApi(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return WriteResult::Failed;
    // The last byte tells whether the last line has its end; a lone CR gets
    // the LF that makes it CR LF. No trail byte of the code pages is CR or LF.
    std::string text;
    LARGE_INTEGER size{}, last{};
    bool ok = GetFileSizeEx(h, &size) != FALSE;
    if (ok && size.QuadPart > 0) {
        last.QuadPart = size.QuadPart - 1;
        char tail = 0;
        DWORD got = 0;
        ok = SetFilePointerEx(h, last, nullptr, FILE_BEGIN) && ReadFile(h, &tail, 1, &got, nullptr) && got == 1;
        if (tail == '\r') text = "\n";
        else if (tail != '\n') text = "\r\n";
    }
    text += *bytes;
    LARGE_INTEGER zero{};
    ok = ok && SetFilePointerEx(h, zero, nullptr, FILE_END) && WriteAll(h, text.data(), text.size());
    ok = CloseHandle(h) && ok;
    return ok ? WriteResult::Ok : WriteResult::Failed;
}

bool Win32Machine::SetProtected(const std::wstring& path, bool on) {
    std::wstring p = ForApi(path);
    DWORD old = Attributes(p);
    if (!IsFile(old)) return false;
    const DWORD bits = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const DWORD settable = bits | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    DWORD now = on ? (old & settable) | bits : old & settable & ~bits;
    if (!SetFileAttributesW(p.c_str(), now ? now : FILE_ATTRIBUTE_NORMAL)) return false;
    return (Attributes(p) & bits) == (on ? bits : 0);
}

std::wstring Win32Machine::ShortDate(const std::tm& when) {
    const SYSTEMTIME st = ToSystemTime(when);
    wchar_t date[80] = {};
    if (!GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, 80)) return L"";
    return date;
}

// ---- The web storage browser (frmWebDrive) -----------------------------------

bool Win32Machine::OpenInDefaultBrowser(const std::wstring& url) {
    // Only a web address goes to the shell: anything else could open a file or
    // start a program, and a quote or blank could end the browser's argument.
    if (!IsPlainWebUrl(url)) return false;
    static const auto execute = LateBound<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (!execute) return false;
    EnterComOnce();
    const auto result =
        reinterpret_cast<INT_PTR>(execute(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

// ---- The lock settings window (frmSet) --------------------------------------- --------------------------------------------------------------

void Win32Machine::KeyEvent(unsigned char virtualKey, bool keyUp) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = virtualKey;
    in.ki.wScan = WORD(MapVirtualKeyW(virtualKey, 0 /* MAPVK_VK_TO_VSC */));
    in.ki.dwFlags = keyUp ? KEYEVENTF_KEYUP : 0;
    // The Windows keys sit in the extended part of the keyboard.
    if (virtualKey == VK_LWIN || virtualKey == VK_RWIN) in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    SendInput(1, &in, sizeof in);
}

}  // namespace lz

// ---- Where the settings files live ------------------------------------------

namespace lz {

bool Win32Machine::CanWriteInFolder(const std::wstring& folder) {
    if (!IsFolder(Attributes(ForApi(folder)))) return false;
    // A name of our own that no one else uses; deleted when the handle closes.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::wstring probe = folder + L"\\~lzprobe" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                                   std::to_wstring(GetTickCount() + attempt) + L".tmp";
        HANDLE h = CreateFileW(ForApi(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

}  // namespace lz
