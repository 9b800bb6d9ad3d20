// What the software backup window copies, where from and where to, and what it
// says: the chat client table, the personal folders, the system files and the
// netsh line. Pure functions and tables, so that every path can be tested.
#pragma once
#include <optional>
#include <string>

#include "env/machine.h"
#include "ui/backup_copy.h"

namespace lz {

// ---- Chat records ----

// Appended to the MSN account with nothing between, as the classic folder names had it.
extern const wchar_t* const MsnMailDomain;
// Appended to the POPO account, in the client's own folder and in the copy.
extern const wchar_t* const PopoMailSuffix;

enum ChatIndex { kChatQQ = 0, kChatUC = 1, kChatMSN = 2, kChatPOPO = 3, kChatYahoo = 4, kChatCount = 5 };

struct ChatClient {
    const wchar_t* caption;         // initial caption of cmdChat(i)
    const wchar_t* accountBox;      // txtQQ ...
    const wchar_t* frame;           // the frame around the account box
    int frameIndex;                 // -1, or the index of Frame4(i)
    const wchar_t* frameCaption;
    const wchar_t* tip;
    int maxLength;                  // 0: no limit
    const wchar_t* regKey;          // "" for MSN: a fixed folder instead
    const wchar_t* regValue;
    const wchar_t* subFolder;       // "\QQ聊天记录\" ...
    const wchar_t* successCaption;
    const wchar_t* failureCaption;
    const wchar_t* keyMissingText;  // registry key or value missing
    const wchar_t* emptyAccountText;
};
const ChatClient& ChatClientAt(int index);

extern const wchar_t* const kChatNotFoundText;
extern const wchar_t* const kChatBusyCaption;
extern const wchar_t* const kChatDonePrefix;  // "成功备份文件到："

// The first three characters of the Windows directory: the system drive's root.
std::wstring SystemRoot(const std::wstring& winDir);

// The record folder of one account as the client keeps it. `install` is the
// registry value (unused for MSN).
std::wstring ChatSource(int index, const std::wstring& install, const std::wstring& account,
                        const std::wstring& winDir);
// Where the account's records go: a folder that receives the contents.
std::wstring ChatDestination(int index, const std::wstring& savePath, const std::wstring& account);
// A text that cannot be one folder name (separators, wildcards, "." and "..")
// is not an account: it would lead the copy out of the client's folder.
bool IsAccountName(const std::wstring& account);

// Cuts a drive root ("D:\") to "D:" so that "\sub" can be appended to it.
void ShortenDriveRoot(std::wstring& savePath);

// ---- Personal folders (cmdSystem(1..5)) ----

struct PersonalFolder {
    const wchar_t* caption;
    const wchar_t* sourceSuffix;  // after the profile root
    const wchar_t* made;          // the folder created under SavePath
    const wchar_t* copyTo;        // the copy's destination under SavePath
    const wchar_t* successCaption;
    const wchar_t* failureCaption;
    KnownFolder known;            // where the system keeps it when the profile is elsewhere
};
const PersonalFolder& PersonalFolderAt(int index);  // 1..5
constexpr int kPersonalFirst = 1, kPersonalLast = 5;

// The classic profile: system root, "Documents and Settings\", the login name.
std::wstring ProfileRoot(const std::wstring& winDir, const std::wstring& loginName);

// ---- Settings and system files (cmdSoftSet(0..2)) ----

extern const wchar_t* const kSoftSetCaptions[3];
extern const wchar_t* const kSoftSetDonePrefix;  // "成功备份到："
extern const wchar_t* const kFirewallFolder;     // "\天网安全设置文件\"
extern const wchar_t* const kNetworkFolder;      // "\本机网络设置\"
extern const wchar_t* const kSystemFolder;       // "\系统文件\"
extern const wchar_t* const kWorkDir;            // "c:\BackTemp"
extern const wchar_t* const kNetshBat;           // "c:\BackTemp\netsh.bat"

struct SystemFile {
    const wchar_t* source;       // in the system drive's root
    const wchar_t* destination;  // after SavePath
};
extern const SystemFile kSystemFiles[8];

// The part of a path after its last "\" (the whole text when it has none).
std::wstring FileNameOf(const std::wstring& path);
// Where netsh writes the dump: SavePath + "\本机网络设置\netsh.txt".
std::wstring NetshOutput(const std::wstring& savePath);
// The one line of netsh.bat; nullopt when the output path cannot go into a
// batch line at all (a quote or control character).
std::optional<std::wstring> NetshLine(const std::wstring& savePath);

// ---- Reporting a copy ----

// The label after a folder copy: the success prefix and where the data went,
// or what failed, was cancelled or was held by other programs.
std::wstring CopyOutcomeText(const BackupCopy& copy, const std::wstring& donePrefix,
                             const std::wstring& source, const std::wstring& destination);
std::wstring SourceMissingText(const std::wstring& source);
std::wstring NotWritableText(const std::wstring& destination);

}  // namespace lz
