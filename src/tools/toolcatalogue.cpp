#include "tools/toolcatalogue.h"

#include "env/quote.h"

namespace lz {

namespace {

using F = ToolForm;

const std::vector<Tool> kTools = {
    {0, L"漫游windows xp", L"mnuTourstart", L"漫游Windows XP", F::System, L"\\tourstart.exe"},
    {1, L"辅助功能向导", L"mnuAccwiz", L"辅助功能向导", F::System, L"\\accwiz.exe"},
    {2, L"字符映射表", L"mnuCharmap", L"字符映射表", F::System, L"\\charmap.exe"},
    {3, L"安装仓颉拼音输入法", L"mnuCintsetp", L"安装仓颉拼音输入法", F::System, L"\\IME\\CINTLGNT\\cintsetp.exe"},
    {4, L"磁盘清理大师", L"mnuCleanmgr", L"磁盘清理大师", F::System, L"\\cleanmgr.exe"},
    {5, L"剪贴板查看器", L"mnuClipbrd", L"剪贴板查看器", F::System, L"\\clipbrd.exe"},
    {6, L"系统诊断医生", L"mnuDrwtsn32", L"系统诊断医生", F::System, L"\\drwtsn32.exe"},
    {7, L"DVD播放器", L"mnuDvdplay", L"系统DVD播放器", F::System, L"\\dvdplay.exe"},
    {8, L"DirectX诊断工具", L"mnuDxdiag", L"DirectX诊断工具", F::System, L"\\dxdiag.exe"},
    {9, L"自解压文件制作工具", L"mnuIexpress", L"自解压文件制作工具", F::System, L"\\iexpress.exe"},
    {10, L"文件转移向导", L"mnuMigload", L"文件转移向导", F::System, L"\\usmt\\migload.exe"},
    // Under the Windows directory, unlike its neighbours.
    {11, L"系统配置程序", L"mnuMsconfig", L"系统配置程序", F::Windows,
     L"\\PCHealth\\HelpCtr\\Binaries\\msconfig.exe"},
    {12, L"ODBC数据源管理器", L"mnuOdbcad32", L"ODBC数据源管理器", F::System, L"\\odbcad32.exe"},
    {13, L"IP地址侦测器", L"mnuNslookup", L"IP地址侦测器", F::System, L"\\nslookup.exe"},
    {14, L"屏幕键盘", L"mnuOsk", L"屏幕键盘(XP)", F::System, L"\\osk.exe"},
    {15, L"对象包装程序", L"mnuPackager", L"对象包装程序", F::System, L"\\packager.exe"},
    {16, L"注册表编辑器", L"mnuRegedt32", L"注册表编辑器增强版\"regedt32\"", F::System, L"\\regedt32.exe"},
    // Its description tells how to use regsvr32; the button itself starts nothing.
    {17, L"Activex注册工具", L"", L"", F::None, L""},
    {19, L"共享文件夹设置工具", L"mnuShrpubw", L"共享文件夹设置工具", F::System, L"\\shrpubw.exe"},
    {20, L"签字验证工具", L"mnuSigverif", L"签字验证工具", F::System, L"\\sigverif.exe"},
    {21, L"音量控制程序", L"mnuSndvol32", L"音量控制程序", F::System, L"\\sndvol32.exe"},
    {22, L"任务管理器", L"mnuTaskmgr", L"任务管理器", F::System, L"\\taskmgr.exe"},
    {23, L"远程连接程序", L"mnuTelnet", L"远程连接程序", F::System, L"\\telnet.exe"},
    {24, L"Windows升级程序", L"mnuUpdate", L"Windows Update升级程序", F::System, L"\\wupdmgr.exe"},
    {25, L"Windows控制台", L"", L"", F::System, L"\\mmc.exe"},
    // The menu item of the same name starts the same console.
    {26, L"磁盘碎片整理程序", L"mnuDfrg", L"磁盘碎片整理程序", F::Console, L"\\dfrg.msc"},
    {27, L"安全证书", L"", L"", F::Console, L"\\certmgr.msc"},
    {28, L"计算机管理", L"mnuCompmgmt", L"计算机管理", F::Console, L"\\compmgmt.msc"},
    {29, L"设备管理器", L"mnuDevmgmt", L"设备管理器", F::Console, L"\\devmgmt.msc"},
    {30, L"磁盘管理", L"mnuDiskmgmt", L"磁盘管理", F::Console, L"\\diskmgmt.msc"},
    {31, L"组策略", L"mnuGpedit", L"组策略", F::Console, L"\\gpedit.msc"},
    {32, L"性能日志和警报", L"mnuPerfmon", L"性能日志和警报", F::Console, L"\\perfmon.msc"},
    {33, L"系统信息", L"mnuMsinfo32", L"系统信息", F::ProgramFiles,
     L"\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe"},
    {34, L"帮助和支持中心", L"", L"", F::Windows, L"\\PCHealth\\HelpCtr\\Binaries\\helpctr.exe"},
    {35, L"放大镜", L"mnuMagnify", L"放大镜", F::System, L"\\magnify.exe"},
    {-1, L"", L"mnuInternet", L"Internet Explorer浏览器", F::ProgramFiles,
     L"\\Program Files\\Internet Explorer\\iexplore.exe"},
    {-1, L"", L"mnuOutlook", L"OutLook Express电子邮件", F::ProgramFiles,
     L"\\Program Files\\Outlook Express\\msimn.exe"},
    {-1, L"", L"mnuWab", L"通讯簿", F::ProgramFiles, L"\\Program Files\\Outlook Express\\wab.exe"},
    {-1, L"", L"mnuWMP", L"Windows Media Player", F::ProgramFiles,
     L"\\Program Files\\Windows Media Player\\wmplayer.exe"},
    {-1, L"", L"mnuWMM", L"Windows Movie Maker(XP)", F::ProgramFiles, L"\\Program Files\\Movie Maker\\moviemk.exe"},
    {-1, L"", L"mnuNotepad", L"记事本", F::System, L"\\notepad.exe"},
    // The registry editor under the Windows directory, not regedt32 of button 16.
    {-1, L"", L"mnuRegedit", L"注册表编辑器\"regedit\"", F::Windows, L"\\regedit.exe"},
    {-1, L"", L"mnuRstrui", L"系统还原(XP)", F::System, L"\\restore\\rstrui.exe"},
};

}  // namespace

const std::vector<Tool>& ToolCatalogue() { return kTools; }

const Tool* ToolByButton(int button) {
    for (const Tool& t : kTools)
        if (t.button >= 0 && t.button == button) return &t;
    return nullptr;
}

const Tool* ToolByMenu(const std::wstring& menu) {
    if (menu.empty()) return nullptr;
    for (const Tool& t : kTools)
        if (menu == t.menu) return &t;
    return nullptr;
}

std::wstring ToolCommandLine(const Tool& tool, const std::wstring& sysDir, const std::wstring& winDir) {
    // The line goes to CreateProcess, not to cmd.exe: only a blank splits it,
    // so only a path with a blank needs quotes.
    switch (tool.form) {
    case ToolForm::None: return L"";
    case ToolForm::System: return QuoteProgram(sysDir + tool.path);
    case ToolForm::Windows: return QuoteProgram(winDir + tool.path);
    case ToolForm::Console:
        return QuoteProgram(sysDir + L"\\mmc.exe") + L"  " + QuoteProgram(sysDir + tool.path);
    case ToolForm::ProgramFiles: return QuoteProgram(winDir.substr(0, 2) + tool.path);
    }
    return L"";
}

}  // namespace lz
