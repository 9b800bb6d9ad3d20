#include "support/fake_machine.h"

#include "env/weburl.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace lz::test {

namespace {

// Windows folds case for every script; tests use ASCII names where case matters.
wchar_t Fold(wchar_t c) { return c >= L'a' && c <= L'z' ? wchar_t(c - L'a' + L'A') : c; }

int CompareNoCase(const std::wstring& a, const std::wstring& b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        wchar_t x = Fold(a[i]), y = Fold(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool EqualNoCase(const std::wstring& a, const std::wstring& b) { return CompareNoCase(a, b) == 0; }

bool IsDriveRoot(const std::wstring& p) { return p.size() == 3 && p[1] == L':' && p[2] == L'\\'; }

// What follows `parent` in `child`, without the separator; nullopt when
// `child` is not `parent` or inside it. Both normalized.
std::optional<std::wstring> Relative(const std::wstring& child, const std::wstring& parent) {
    if (parent.empty() || child.size() < parent.size() ||
        !EqualNoCase(child.substr(0, parent.size()), parent))
        return std::nullopt;
    if (child.size() == parent.size()) return std::wstring();
    if (parent.back() == L'\\') return child.substr(parent.size());
    if (child[parent.size()] != L'\\') return std::nullopt;
    return child.substr(parent.size() + 1);
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    if (name.empty()) return folder;
    return folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

std::wstring Parent(const std::wstring& p) {
    if (IsDriveRoot(p)) return L"";
    auto cut = p.rfind(L'\\');
    if (cut == std::wstring::npos) return L"";
    std::wstring parent = p.substr(0, cut);
    return parent.size() == 2 && parent[1] == L':' ? parent + L'\\' : parent;
}

std::wstring LastName(const std::wstring& p) {
    if (IsDriveRoot(p)) return L"";
    auto cut = p.rfind(L'\\');
    return cut == std::wstring::npos ? p : p.substr(cut + 1);
}

// Tests may list paths in any spelling.
bool Listed(const std::set<std::wstring, NoCaseLess>& paths, const std::wstring& normalized) {
    for (const auto& p : paths)
        if (EqualNoCase(FakeMachine::Normalize(p), normalized)) return true;
    return false;
}

bool Matches(const wchar_t* pattern, const wchar_t* name) {
    if (*pattern == 0) return *name == 0;
    if (*pattern == L'*') return Matches(pattern + 1, name) || (*name && Matches(pattern, name + 1));
    if (*name == 0) return false;
    return (*pattern == L'?' || Fold(*pattern) == Fold(*name)) && Matches(pattern + 1, name + 1);
}

}  // namespace

bool NoCaseLess::operator()(const std::wstring& a, const std::wstring& b) const {
    return CompareNoCase(a, b) < 0;
}

bool NoCasePairLess::operator()(const std::pair<std::wstring, std::wstring>& a,
                                const std::pair<std::wstring, std::wstring>& b) const {
    int c = CompareNoCase(a.first, b.first);
    return c != 0 ? c < 0 : CompareNoCase(a.second, b.second) < 0;
}

std::tm FakeMachine::MakeTime(int year, int month, int day, int hour, int minute, int second) {
    static const int kBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_yday = kBefore[month - 1] + day - 1 + (leap && month > 2 ? 1 : 0);
    int y = year - 1;  // 1 January of year 1 was a Monday
    long days = 365L * y + y / 4 - y / 100 + y / 400 + t.tm_yday;
    t.tm_wday = int((days + 1) % 7);
    t.tm_isdst = -1;
    return t;
}

std::wstring FakeMachine::Normalize(const std::wstring& path) {
    std::wstring p = path;
    std::replace(p.begin(), p.end(), L'/', L'\\');
    std::wstring prefix;
    std::size_t pos = 0;
    if (p.size() >= 2 && p[1] == L':') {
        prefix = p.substr(0, 2) + L'\\';
        pos = 2;
    } else if (p.rfind(L"\\\\", 0) == 0) {
        prefix = L"\\\\";
        pos = 2;
    }
    std::vector<std::wstring> parts;
    while (pos <= p.size()) {
        std::size_t end = p.find(L'\\', pos);
        if (end == std::wstring::npos) end = p.size();
        std::wstring part = p.substr(pos, end - pos);
        if (part == L"..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        pos = end + 1;
    }
    std::wstring out = prefix;
    for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? L"\\" : L"") + parts[i];
    return out;
}

void FakeMachine::SetReg(const std::wstring& key, const std::wstring& value, const std::wstring& text) {
    registry[{key, value}] = RegValue{true, text};
}

void FakeMachine::SetRegNonString(const std::wstring& key, const std::wstring& value) {
    registry[{key, value}] = RegValue{false, L""};
}

void FakeMachine::AddFolder(const std::wstring& path) {
    std::wstring p = Normalize(path);
    while (!p.empty() && folders.insert(p).second) p = Parent(p);
}

void FakeMachine::AddFile(const std::wstring& path, std::vector<std::wstring> lines) {
    std::wstring p = Normalize(path);
    AddFolder(Parent(p));
    files[p] = FakeFile{std::move(lines), CodePage::Ansi};
}

bool FakeMachine::HasFile(const std::wstring& path) const { return files.count(Normalize(path)) > 0; }

const FakeMachine::FakeFile* FakeMachine::File(const std::wstring& path) const {
    auto it = files.find(Normalize(path));
    return it == files.end() ? nullptr : &it->second;
}

std::vector<std::wstring> FakeMachine::Lines(const std::wstring& path) const {
    const FakeFile* f = File(path);
    return f ? f->lines : std::vector<std::wstring>{};
}

bool FakeMachine::IsHidden(const std::wstring& path) const { return hidden.count(Normalize(path)) > 0; }

void FakeMachine::FinishRuns(unsigned long exitCode) {
    // A callback may start another command; that one waits for the next call.
    auto now = std::move(pending_);
    pending_.clear();
    for (auto& callback : now) callback(exitCode);
}

RegString FakeMachine::ReadRegString(const std::wstring& keyPath, const std::wstring& valueName) {
    bool keyExists = regKeys.count(keyPath) > 0;
    for (const auto& entry : registry) keyExists = keyExists || EqualNoCase(entry.first.first, keyPath);
    if (!keyExists) return {RegRead::KeyMissing, L""};
    auto it = registry.find({keyPath, valueName});
    if (it == registry.end() || !it->second.isString) return {RegRead::NoValue, L""};
    const std::wstring& text = it->second.text;
    return {RegRead::Ok, text.substr(0, text.find(L'\0'))};
}

std::wstring FakeMachine::GetKnownFolder(KnownFolder which) {
    auto it = knownFolders.find(which);
    return it == knownFolders.end() ? L"" : it->second;
}

WriteResult FakeMachine::CheckWritable(const std::wstring& key, const std::wstring& text) {
    for (wchar_t c : text)
        if (notAnsi.count(c)) return WriteResult::NotRepresentable;
    if (folders.count(key) || !folders.count(Parent(key)) || Listed(unwritable, key) ||
        Listed(lockedFolders, Parent(key)))
        return WriteResult::Failed;
    return WriteResult::Ok;
}

WriteResult FakeMachine::WriteTextFile(const std::wstring& path, const std::vector<std::wstring>& lines,
                                       CodePage cp) {
    std::wstring key = Normalize(path), all;
    for (const auto& line : lines) all += line;
    WriteResult r = CheckWritable(key, all);
    if (r == WriteResult::Ok) files[key] = FakeFile{lines, cp};
    return r;
}

WriteResult FakeMachine::AppendTextLine(const std::wstring& path, const std::wstring& line, CodePage cp) {
    std::wstring key = Normalize(path);
    WriteResult r = CheckWritable(key, line);
    if (r != WriteResult::Ok) return r;
    auto it = files.find(key);
    if (it == files.end()) it = files.emplace(key, FakeFile{{}, cp}).first;
    it->second.lines.push_back(line);
    return r;
}

std::optional<std::vector<std::wstring>> FakeMachine::ReadTextLines(const std::wstring& path) {
    std::wstring key = Normalize(path);
    auto it = files.find(key);
    if (it == files.end() || Listed(unreadable, key)) return std::nullopt;
    return it->second.lines;
}

bool FakeMachine::FitsAnsi(const std::wstring& text) {
    return std::none_of(text.begin(), text.end(), [&](wchar_t c) { return notAnsi.count(c) > 0; });
}

bool FakeMachine::CopyOneFile(const std::wstring& from, const std::wstring& to, bool overwrite) {
    std::wstring src = Normalize(from), dst = Normalize(to);
    auto it = files.find(src);
    if (it == files.end() || Listed(unreadable, src)) return false;
    if ((!overwrite && files.count(dst)) || CheckWritable(dst, L"") != WriteResult::Ok) return false;
    FakeFile copy = it->second;
    files[dst] = std::move(copy);
    return true;
}

bool FakeMachine::CreateFolder(const std::wstring& path) {
    std::wstring key = Normalize(path);
    if (key.empty() || folders.count(key) || files.count(key)) return false;
    std::wstring parent = Parent(key);
    if (parent.empty() || !folders.count(parent) || Listed(lockedFolders, parent)) return false;
    folders.insert(key);
    return true;
}

bool FakeMachine::DeleteOneFile(const std::wstring& path) { return files.erase(Normalize(path)) > 0; }

int FakeMachine::DeleteFiles(const std::wstring& folder, const std::wstring& pattern) {
    std::wstring dir = Normalize(folder);
    int deleted = 0;
    for (auto it = files.begin(); it != files.end();) {
        if (EqualNoCase(Parent(it->first), dir) && Matches(pattern.c_str(), LastName(it->first).c_str())) {
            it = files.erase(it);
            ++deleted;
        } else {
            ++it;
        }
    }
    return deleted;
}

bool FakeMachine::FolderExists(const std::wstring& path) {
    return !path.empty() && folders.count(Normalize(path)) > 0;
}

bool FakeMachine::SetHidden(const std::wstring& path) {
    std::wstring key = Normalize(path);
    if (!folders.count(key) && !files.count(key)) return false;
    hidden.insert(key);
    return true;
}

std::optional<std::wstring> FakeMachine::GetFolder(const std::wstring& path) {
    if (!FolderExists(path)) return std::nullopt;
    return Normalize(path);
}

namespace {
// A file's size on disk: its lines, each with CR LF.
std::uint64_t SizeOf(const FakeMachine::FakeFile& file) {
    std::uint64_t size = 0;
    for (const auto& line : file.lines) size += line.size() + 2;
    return size;
}
}  // namespace

CopyReport FakeMachine::CopyFolder(const std::wstring& source, const std::wstring& destination,
                                   const CopyProgressFn& progress) {
    folderCopies.emplace_back(source, destination);
    CopyReport report;
    std::wstring src = Normalize(source);
    if (!FolderExists(source)) {
        report.sourceMissing = true;
        return report;
    }
    std::wstring dst = Normalize(destination);
    bool intoFolder = !destination.empty() && (destination.back() == L'\\' || destination.back() == L'/');
    if (intoFolder) {
        std::wstring name = LastName(src);
        if (!folders.count(dst) || name.empty()) dst.clear();
        else dst = Join(dst, name);
    }
    bool ok = !destination.empty() && !dst.empty() && !Relative(dst, src) && !files.count(dst) &&
              (folders.count(dst) || folders.count(Parent(dst)));
    if (!ok) {
        report.destinationFailed = true;
        return report;
    }
    folders.insert(dst);

    // Sorted keys put every folder before what it holds.
    std::vector<std::wstring> brokenFolders;
    auto underBroken = [&](const std::wstring& p) {
        return std::any_of(brokenFolders.begin(), brokenFolders.end(),
                           [&](const std::wstring& b) { return Relative(p, b).has_value(); });
    };
    std::vector<std::wstring> sourceFolders(folders.begin(), folders.end());
    for (const auto& folder : sourceFolders) {
        auto rel = Relative(folder, src);
        if (!rel || rel->empty() || underBroken(folder)) continue;
        std::wstring target = Join(dst, *rel);
        if (files.count(target)) {
            brokenFolders.push_back(folder);
            report.failed.push_back(folder);
        } else {
            folders.insert(target);
        }
    }
    std::vector<std::pair<std::wstring, FakeFile>> sourceFiles;
    CopyProgress state;
    for (const auto& [path, file] : files) {
        auto rel = Relative(path, src);
        if (!rel || underBroken(path)) continue;
        sourceFiles.emplace_back(path, file);
        ++state.filesTotal;
        state.bytesTotal += SizeOf(file);
    }
    // The real copy tells at each file it starts, and once at the end.
    auto tell = [&] {
        copyProgress.push_back(state);
        return !progress || progress(state);
    };
    for (const auto& [path, file] : sourceFiles) {
        state.current = path;
        if (!tell()) {
            report.cancelled = true;
            return report;
        }
        ++state.filesDone;
        state.bytesDone += SizeOf(file);
        std::wstring target = Join(dst, *Relative(path, src));
        if (Listed(heldOpen, path)) {
            report.locked.push_back(path);
            continue;
        }
        if (Listed(unreadable, path) || folders.count(target) || Listed(unwritable, target)) {
            report.failed.push_back(path);
            continue;
        }
        files[target] = file;
        ++report.copied;
    }
    state.current.clear();
    tell();  // a stop after the last file changes nothing
    return report;
}

bool FakeMachine::Start(const std::wstring& commandLine, WindowStyle style, bool notify) {
    RunRecord record{commandLine, style, notify};
    runs.push_back(record);
    if (onRun) onRun(record);
    return !startFails;
}

bool FakeMachine::Run(const std::wstring& commandLine, WindowStyle style) {
    return Start(commandLine, style, false);
}

bool FakeMachine::RunNotify(const std::wstring& commandLine, WindowStyle style,
                            std::function<void(unsigned long exitCode)> onExit) {
    if (!Start(commandLine, style, true)) return false;
    pending_.push_back(std::move(onExit));
    return true;
}

std::wstring FakeMachine::GeneralDate(const std::tm& when) {
    wchar_t buffer[64];
    std::swprintf(buffer, 64, L"%d-%d-%d %d:%02d:%02d", when.tm_year + 1900, when.tm_mon + 1, when.tm_mday,
                  when.tm_hour, when.tm_min, when.tm_sec);
    return buffer;
}

// ---- The font window (frmFonts) ----

int FakeMachine::AddFontFile(const std::wstring& path) {
    addedFontFiles.push_back(path);
    auto it = path.empty() ? fontFiles.end() : fontFiles.find(Normalize(path));
    if (it == fontFiles.end()) return 0;
    for (const std::wstring& name : it->second)
        if (std::find(screenFonts.begin(), screenFonts.end(), name) == screenFonts.end()) screenFonts.push_back(name);
    return int(it->second.size());
}

std::optional<std::string> FakeMachine::AnsiBytes(const std::wstring& text) {
    if (!FitsAnsi(text)) return std::nullopt;
    if (text.empty()) return std::string();
#ifdef _WIN32
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, text.data(), int(text.size()), nullptr, 0, nullptr,
                                      &usedDefault);
    if (n <= 0 || usedDefault) return std::nullopt;
    std::string out(std::size_t(n), '\0');
    WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, text.data(), int(text.size()), &out[0], n, nullptr, nullptr);
    return out;
#else
    iconv_t cd = iconv_open("GBK", "WCHAR_T");
    if (cd == iconv_t(-1)) return std::nullopt;
    std::wstring in = text;
    std::string out(text.size() * 4, '\0');
    char* from = reinterpret_cast<char*>(&in[0]);
    std::size_t fromLeft = in.size() * sizeof(wchar_t);
    char* to = &out[0];
    std::size_t toLeft = out.size();
    const bool ok = iconv(cd, &from, &fromLeft, &to, &toLeft) != std::size_t(-1) && fromLeft == 0;
    iconv_close(cd);
    if (!ok) return std::nullopt;
    out.resize(out.size() - toLeft);
    return out;
#endif
}

// ---- boot menu window (frmGhost) ----

bool FakeMachine::IsProtected(const std::wstring& path) const {
    std::wstring key = Normalize(path);
    return readOnly.count(key) && hidden.count(key) && systemFiles.count(key);
}

bool FakeMachine::IsUnprotected(const std::wstring& path) const {
    std::wstring key = Normalize(path);
    return !readOnly.count(key) && !hidden.count(key) && !systemFiles.count(key);
}

WriteResult FakeMachine::AppendLineToExisting(const std::wstring& path, const std::wstring& line, CodePage) {
    std::wstring key = Normalize(path);
    auto it = files.find(key);
    if (it == files.end()) return WriteResult::Failed;
    WriteResult r = CheckWritable(key, line);
    if (r != WriteResult::Ok) return r;
    if (readOnly.count(key)) return WriteResult::Failed;
    // The unended last line gets its end first: the new line is a line of its own.
    noFinalLineEnd.erase(key);
    it->second.lines.push_back(line);
    return r;
}

bool FakeMachine::SetProtected(const std::wstring& path, bool on) {
    std::wstring key = Normalize(path);
    if (!files.count(key) || Listed(attributesLocked, key)) return false;
    for (auto* set : {&readOnly, &hidden, &systemFiles}) {
        if (on) set->insert(key);
        else set->erase(key);
    }
    return true;
}

std::wstring FakeMachine::ShortDate(const std::tm& when) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, L"%d-%d-%d", when.tm_year + 1900, when.tm_mon + 1, when.tm_mday);
    return buffer;
}

// ---- Web storage browser (frmWebDrive) -------------------------------------

bool FakeMachine::OpenInDefaultBrowser(const std::wstring& url) {
    browserOpens.push_back(url);
    return IsPlainWebUrl(url) && !browserFails;
}

bool FakeMachine::CanWriteInFolder(const std::wstring& folder) {
    const std::wstring key = Normalize(folder);
    return folders.count(key) && !Listed(lockedFolders, key);
}

}  // namespace lz::test
