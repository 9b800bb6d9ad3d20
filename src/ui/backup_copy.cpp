#include "ui/backup_copy.h"

#include <cwchar>
#include <vector>

namespace lz {

const wchar_t* const kLockedListName = L"未复制的文件.txt";

namespace {

std::wstring LastName(const std::wstring& path) {
    std::size_t end = path.find_last_not_of(L"\\/");
    if (end == std::wstring::npos) return L"";
    std::size_t cut = path.find_last_of(L"\\/", end);
    return path.substr(cut == std::wstring::npos ? 0 : cut + 1, end - (cut == std::wstring::npos ? 0 : cut + 1) + 1);
}

std::wstring Megabytes(std::uint64_t bytes) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%.1f MB", double(bytes) / (1024.0 * 1024.0));
    return text;
}

constexpr std::size_t kNamesShown = 3;

}  // namespace

std::wstring CopyLanding(const std::wstring& source, const std::wstring& destination) {
    if (!destination.empty() && (destination.back() == L'\\' || destination.back() == L'/'))
        return destination + LastName(source);
    return destination;
}

ProgressView CopyProgressView(const CopyProgress& p) {
    ProgressView v;
    v.line = L"正在复制：" + p.current;
    const std::wstring done = std::to_wstring(p.filesDone), all = std::to_wstring(p.filesTotal);
    if (p.walking)
        v.counts = L"已复制" + done + L"个文件（" + Megabytes(p.bytesDone) + L"），已找到" + all + L"个（" +
                   Megabytes(p.bytesTotal) + L"），还在查找";
    else
        v.counts = L"已复制" + done + L"/" + all + L"个文件，" + Megabytes(p.bytesDone) + L"/" + Megabytes(p.bytesTotal);
    if (p.bytesTotal > 0) v.permille = int(p.bytesDone * 1000 / p.bytesTotal);
    else if (p.filesTotal > 0) v.permille = int(std::int64_t(p.filesDone) * 1000 / p.filesTotal);
    return v;
}

BackupCopy CopyFolderShowingProgress(Machine& machine, Ui& ui, const std::wstring& source,
                                     const std::wstring& destination) {
    BackupCopy out;
    ui.RunWithProgress(L"正在备份", [&](ProgressSink& sink) {
        out.report = machine.CopyFolder(source, destination, [&sink](const CopyProgress& p) {
            sink.Show(CopyProgressView(p));
            return !sink.Cancelled();
        });
    });
    const std::wstring list = CopyLanding(source, destination) + L"\\" + kLockedListName;
    if (!out.report.locked.empty()) {
        std::vector<std::wstring> lines{L"以下文件正被其他程序使用，没有复制："};
        lines.insert(lines.end(), out.report.locked.begin(), out.report.locked.end());
        if (machine.WriteTextFile(list, lines) == WriteResult::Ok) out.lockedList = list;
    } else if (out.report.ok() && machine.FileExists(list)) {
        // The list of an earlier backup is no longer true.
        (void)machine.DeleteOneFile(list);
    }
    return out;
}

std::wstring CancelledText(int copied, const std::wstring& destination) {
    return L"备份已取消，只复制了" + std::to_wstring(copied) + L"个文件到：" + destination;
}

std::wstring LockedFilesText(const BackupCopy& copy) {
    const auto& locked = copy.report.locked;
    if (locked.empty()) return L"";
    std::wstring text = L"有" + std::to_wstring(locked.size()) + L"个文件正被其他程序使用，没有复制：";
    for (std::size_t i = 0; i < locked.size() && i < kNamesShown; ++i) text += (i ? L"、" : L"") + LastName(locked[i]);
    if (locked.size() > kNamesShown) text += L"等";
    text += L"。";
    if (!copy.lockedList.empty()) text += L"完整的清单在：" + copy.lockedList + L"。";
    text += L"请关闭聊天软件等正在使用这些文件的程序，再备份一次。";
    return text;
}

}  // namespace lz
