// A folder copy of a backup as the user sees it: its progress window, and
// what its result says about a cancel and about files other programs hold.
#pragma once
#include <string>

#include "env/machine.h"
#include "ui/form.h"

namespace lz {

struct BackupCopy {
    CopyReport report;
    // The text file that names every locked file; "" when none was locked or
    // the list could not be written.
    std::wstring lockedList;
};

// The file, in the folder that received the copy, that names the files
// other programs held.
extern const wchar_t* const kLockedListName;  // "未复制的文件.txt"

// The copy, shown in a progress window that can cancel it. A list of the
// locked files goes into the folder that received the copy; a complete copy
// removes a list an earlier one left.
BackupCopy CopyFolderShowingProgress(Machine& machine, Ui& ui, const std::wstring& source,
                                     const std::wstring& destination);

// The folder that receives the files: a destination ending in "\" gets the
// source under its own name.
std::wstring CopyLanding(const std::wstring& source, const std::wstring& destination);

ProgressView CopyProgressView(const CopyProgress& progress);
// "备份已取消，只复制了N个文件到：" and where.
std::wstring CancelledText(int copied, const std::wstring& destination);
// "有N个文件正被其他程序使用，没有复制：" the first names, where the full
// list is, and what to do; "" when none was locked.
std::wstring LockedFilesText(const BackupCopy& copy);

}  // namespace lz
