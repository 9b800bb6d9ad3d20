#include "softbackup/softbackup_tables.h"

#include "env/quote.h"

namespace lz {

const wchar_t* const MsnMailDomain = L"hotmail.com";
const wchar_t* const PopoMailSuffix = L"@163.com";

namespace {

const ChatClient kChatClients[kChatCount] = {
    {L"QQ聊天记录备份", L"txtQQ", L"Frame1", -1, L"请输入要备份的QQ号码：", L"快快输入你的QQ靓号吧", 12,
     L"SOFTWARE\\TENCENT\\QQ", L"Install", L"\\QQ聊天记录\\", L"备份QQ聊天记录成功", L"备份QQ聊天记录失败",
     L"咋搞的？怎么你的QQ没在注册表中安家？我是挖表三尺咋连个影子也没见着！",
     L"久闻阁下QQ大名，今日一见果然不同凡响，久仰久仰。不过你好像还没有输入QQ号啊！左边第二排上数下第一个快快填上去了"},
    {L"UC2005聊天记录备份", L"txtUC", L"Frame2", -1, L"请输入要备份的UC号码：", L"直接输入你的号码", 12,
     L"SOFTWARE\\Sina\\UC\\Version\\uc", L"Path", L"\\UC聊天记录\\", L"备份UC聊天记录成功", L"备份UC聊天记录失败",
     L"不会吧？居然找不到UC2005最新版！听说它不错的！快去下载试试吧！",
     L"机主,你也太调皮了！不输入UC号叫我怎么备份啊！"},
    {L"MSN聊天记录备份", L"txtMSN", L"Frame3", -1, L"请输入要备份的MSN号码：", L"只需输入“@”前半部分", 0, L"",
     L"", L"\\MSN聊天记录\\", L"备份MSN聊天记录成功", L"备份MSN聊天记录失败", L"",
     L"微软的东西,有时候真的很好用.但是你在没有输入一个字符的情况下是绝对绝对是个不可能的任务"},
    {L"网易泡泡聊天备份", L"txtWYPP", L"Frame4", 0, L"请输入备份的网易泡泡号：",
     L"只需输入网易登陆账号的“@”的前面部分", 12, L"SOFTWARE\\Popo2004", L"InstallDir",
     L"\\网易泡泡聊天记录\\", L"备份泡泡聊天记录成功", L"备份泡泡聊天记录失败",
     L"没用网易泡泡吧？怪不得搜了个底朝天也没有找着！！", L"神仙？？妖怪？？谢谢！=《大话空格》"},
    {L"Yahoo! 雅虎通聊天备份", L"txtYahoo", L"Frame4", 1, L"请输入备份的Yahoo号码：",
     L"只需输入Yahoo登陆账号的“@”的前面部分", 12, L"SOFTWARE\\Classes\\Ypager.Messenger.1\\shell\\open\\command",
     L"", L"\\Yahoo聊天记录\\", L"备份雅虎通聊天记录成功", L"备份雅虎通聊天记录失败",
     L"一二三四五，聊天用雅虎，雅虎没找到，气死小松鼠！", L"一二三四五，聊天用雅虎，雅虎号没填，你嘎个糊涂？"},
};

const PersonalFolder kPersonalFolders[5] = {
    {L"网页收藏夹备份", L"\\Favorites", L"\\IE收藏夹\\", L"\\IE收藏夹\\", L"备份ＩＥ收藏夹成功",
     L"备份ＩＥ收藏夹失败", KnownFolder::Favorites},
    {L"图片收藏夹备份", L"\\My Documents\\My Pictures", L"\\图片收藏夹\\", L"\\图片收藏夹", L"备份图片收藏夹成功",
     L"备份图片收藏夹失败", KnownFolder::MyPictures},
    {L"音乐收藏夹备份", L"\\My Documents\\My Music", L"\\音乐收藏夹\\", L"\\音乐收藏夹", L"备份音乐收藏夹成功",
     L"备份音乐收藏夹失败", KnownFolder::MyMusic},
    {L"我的视频文件夹备份", L"\\My Documents\\My Videos", L"\\我的视频\\", L"\\我的视频", L"备份视频文件夹成功",
     L"备份视频文件夹失败", KnownFolder::MyVideo},
    {L"Cookies文件夹备份", L"\\Cookies", L"\\Cookies\\", L"\\Cookies", L"备份Cookies成功", L"备份Cookies失败",
     KnownFolder::Cookies},
};

}  // namespace

const wchar_t* const kChatNotFoundText =
    L"我找-找-找朋友，想找这个却没有，摇摇头，挥挥手，没有找到我所要。麻烦你重新输入";
const wchar_t* const kChatBusyCaption = L"正在千辛万苦的备份中……";
const wchar_t* const kChatDonePrefix = L"成功备份文件到：";

const ChatClient& ChatClientAt(int index) { return kChatClients[index]; }

std::wstring SystemRoot(const std::wstring& winDir) { return winDir.substr(0, 3); }

std::wstring ChatSource(int index, const std::wstring& install, const std::wstring& account,
                        const std::wstring& winDir) {
    switch (index) {
    case kChatQQ: return install + account;
    case kChatUC: return install + L"users\\" + account;
    case kChatMSN: return SystemRoot(winDir) + L"Program Files\\MSN\\MSNCoreFiles";
    case kChatPOPO: return install + L"\\users\\" + account + PopoMailSuffix;
    case kChatYahoo: {
        // The command line names the client's folder "...\Yahoo!\Messenger\YPager.exe";
        // everything after the "!" is dropped, and with no "!" nothing is kept.
        const std::size_t bang = install.find(L'!');
        const std::wstring root = bang == std::wstring::npos ? L"" : install.substr(0, bang + 1);
        return root + L"\\Messenger\\Profiles\\" + account;
    }
    default: return L"";
    }
}

std::wstring ChatDestination(int index, const std::wstring& savePath, const std::wstring& account) {
    std::wstring dest = savePath + ChatClientAt(index).subFolder + account;
    if (index == kChatMSN) dest += MsnMailDomain;
    if (index == kChatPOPO) dest += PopoMailSuffix;
    return dest;
}

bool IsAccountName(const std::wstring& account) {
    // Windows drops a trailing blank or dot from a path: "QQ\   " would be the
    // whole QQ folder.
    if (account.empty() || account.back() == L' ' || account.back() == L'.') return false;
    for (wchar_t c : account)
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) return false;
    return true;
}

void ShortenDriveRoot(std::wstring& savePath) {
    if (savePath.size() == 3) savePath.resize(2);
}

const PersonalFolder& PersonalFolderAt(int index) { return kPersonalFolders[index - 1]; }

std::wstring ProfileRoot(const std::wstring& winDir, const std::wstring& loginName) {
    return SystemRoot(winDir) + L"Documents and Settings\\" + loginName;
}

const wchar_t* const kSoftSetCaptions[3] = {L"天网防火墙安全设置备份", L"本机网络配置备份", L"Windows系统文件"};
const wchar_t* const kSoftSetDonePrefix = L"成功备份到：";
const wchar_t* const kFirewallFolder = L"\\天网安全设置文件\\";
const wchar_t* const kNetworkFolder = L"\\本机网络设置\\";
const wchar_t* const kSystemFolder = L"\\系统文件\\";
const wchar_t* const kWorkDir = L"c:\\BackTemp";
const wchar_t* const kNetshBat = L"c:\\BackTemp\\netsh.bat";

const SystemFile kSystemFiles[8] = {
    {L"AUTOEXEC.BAT", L"\\系统文件\\AUTOEXEC.BAT.bak"}, {L"boot.ini", L"\\系统文件\\boot.ini.bak"},
    {L"bootfont.bin", L"\\系统文件\\bootfont.bin.bak"}, {L"CONFIG.SYS", L"\\系统文件\\CONFIG.SYS.bak"},
    {L"IO.SYS", L"\\系统文件\\IO.SYS.bak"},             {L"MSDOS.SYS", L"\\系统文件\\MSDOS.SYS.bak"},
    {L"NTDETECT.COM", L"\\系统文件\\NTDETECT.COM.bak"}, {L"ntldr", L"\\系统文件\\ntldr.bak"},
};

std::wstring FileNameOf(const std::wstring& path) {
    const std::size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring NetshOutput(const std::wstring& savePath) {
    return savePath + kNetworkFolder + L"netsh.txt";
}

std::optional<std::wstring> NetshLine(const std::wstring& savePath) {
    auto target = BatchArg(NetshOutput(savePath));
    if (!target) return std::nullopt;
    return std::wstring(L"netsh ") + L" dump " + L" > " + *target;
}

std::wstring SourceMissingText(const std::wstring& source) { return L"备份失败，找不到：" + source; }

std::wstring NotWritableText(const std::wstring& destination) {
    return L"备份失败，无法写入：" + destination;
}

std::wstring CopyOutcomeText(const BackupCopy& copy, const std::wstring& donePrefix,
                             const std::wstring& source, const std::wstring& destination) {
    const CopyReport& report = copy.report;
    if (report.sourceMissing) return SourceMissingText(source);
    if (report.destinationFailed) return NotWritableText(destination);
    const std::wstring locked = LockedFilesText(copy);
    if (report.cancelled) return CancelledText(report.copied, destination) + (locked.empty() ? L"" : L"；" + locked);
    if (!report.failed.empty())
        return L"备份不完整，有" + std::to_wstring(report.failed.size()) + L"个文件没能复制到：" + destination +
               (locked.empty() ? L"" : L"；" + locked);
    if (!locked.empty()) return L"备份不完整：" + locked;
    return donePrefix + destination;
}

}  // namespace lz
