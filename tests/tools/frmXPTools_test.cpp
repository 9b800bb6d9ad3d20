// The tools window driven through in-memory controls: what it shows, what a
// click starts, and how it hands back to the main window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <set>

#include "app/frmMain.h"
#include "core/form_registry.h"
#include "support/fake_machine.h"
#include "support/fake_ui.h"
#include "tools/frmXPTools.h"
#include "tools/toolcatalogue.h"

namespace lz {
namespace {

using test::FakeControls;
using test::FakeMachine;
using test::FakeUi;
using test::ShownPrompt;

const wchar_t* const kOsKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const wchar_t* const kFailure = L"请确认你是否有足够的权限打开或者因为此程序需要在XP版本下才能运行";
const wchar_t* const kDefaultText =
    L"岚栈：\r\n     很多工具是我们日常应用中经常用到的，如果每次需要使用的时候却要到系统安装目录去找或者说忘记了打开此工具的命令，相信你一定很着急吧，现在好了，列出了这么多的工具，欢迎您使用（注意：有些工具只能在ＸＰ下使用并需要足够的权限去运行它）。谢谢你！并请你继续支持我！";

struct Opening {
    int button;
    const wchar_t* title;
    int lead;
    const wchar_t* begins;
};

const Opening kOpenings[] = {
    {0, L"漫游windows xp", 4, L"安装完windows xp后很想马上学习并体验一下它的魅力吗"},
    {1, L"辅助功能向导", 4, L"微软在windows中为残疾人士提供了辅助功能"},
    {2, L"字符映射表", 4, L"是不是觉得word的“插入符号”功能非常方便"},
    {3, L"仓颉拼音输入法", 4, L"微软新仓颉输入法98b的安装程序"},
    {4, L"磁盘清理大师", 4, L"尽管现在的硬盘越来越大"},
    {5, L"剪贴板查看器", 4, L"windows剪贴板为我们在各个windows程序间的信息交流提供了一个桥梁"},
    {6, L"XP的诊断医生", 5, L"drwtsn32是一个程序错误调试器"},
    {7, L"DVD播放器", 5, L"随着dvd驱动器和dvd光盘价格的下降"},
    {8, L"DirectX诊断工具", 5, L"该工具报告有关DirectX组件和安装在系统上的驱动程序的详细信息"},
    {9, L"自解压文件制作工具", 5, L"用过压缩软件的读者一定对自解压文件不陌生"},
    {10, L"文件转移向导", 5, L"windows系统的易用性总是和不稳定性共存的"},
    {11, L"系统配置程序", 5, L"和windows中的系统配置程序一样"},
    {12, L"ODBC数据源管理器", 5, L"在windows中访问odbc数据源必须要有其驱动程序"},
    {13, L"IP地址侦测器", 5, L"在联入互联网的每台电脑都有一个ip地址"},
    {14, L"屏幕键盘", 5, L"屏幕键盘是一种实用工具"},
    {15, L"对象包装程序", 5, L"通过对象包装程序我们可以打开一个文件"},
    {16, L"注册表编辑器增强版", 5, L"注册表编辑器是用来更改系统注册表设置的高级工具"},
    {17, L"Activex注册和反注册工具Regsvr32", 5, L"使用过activex的人都知道"},
    {19, L"共享文件夹设置工具", 5, L"同一工作组的同事在一起工作"},
    {20, L"Microsoft 签字验证工具", 5, L"所谓“签署的文件”"},
    {21, L"音量控制程序", 5, L"我们在windows任务栏上可见到一个可爱的小喇叭"},
    {22, L"任务管理器", 5, L"任务管理器提供正在你的计算机上运行的程序和进程的相关信息"},
    {23, L"远程连接程序", 5, L"在internet上有无数的计算机"},
    {24, L"Windows升级程序", 5, L"安装完windows后"},
    {25, L"Windows控制台", 5, L"可以使用 Microsoft Management Console (MMC)"},
    {26, L"磁盘碎片整理程序", 5, L"磁盘碎片整理程序是一种用于分析本地卷以及查找和修复碎片文件和文件夹的系统实用程序"},
    {27, L"证书", 5, L"公钥证书"},
    {28, L"计算机管理", 5, L"计算机管理是管理工具集"},
    {29, L"设备管理器", 5, L"“设备管理器”为您提供计算机中所安装硬件的图形显示"},
    {30, L"磁盘管理", 5, L"“磁盘管理”管理单元是用于管理各自所包含的硬磁盘和卷"},
    {31, L"组策略", 5, L"组策略设置定义了系统管理员需要管理的用户桌面环境的多种组件"},
    {32, L"性能日志和警报", 5, L"使用“性能日志和警报”可以自动从本地或远程计算机收集性能数据"},
    {33, L"系统信息", 5, L"“系统信息”收集并显示本地和远程计算机的系统配置信息"},
    {34, L"帮助和支持中心", 5, L"XP帮助和支持中心是在你遇到问题最好用的助手"},
    {35, L"放大镜", 4, L"放大镜是使视力不好的用户更容易阅读屏幕的显示实用工具"},
};

class ToolsWindow : public ::testing::Test {
protected:
    ToolsWindow() : ui(registry), ctx{machine, ui, L""} {
        RegisterAllForms(registry);
        registry.Attach(ctx);
        machine.SetReg(kOsKey, L"ProductName", L"Microsoft Windows XP");
    }
    void Open() {
        ui.ShowForm(L"frmMain");
        ui.ShowForm(L"frmXPTools");
        ui.HideForm(L"frmMain");
        machine.runs.clear();
        ui.log.clear();
    }
    FakeControls& Ctl() { return ui.ControlsOf(L"frmXPTools"); }
    void Fire(EventKind kind, const std::wstring& name, int index = -1) {
        ui.Fire(L"frmXPTools", {kind, name, index});
    }
    std::wstring Label() { return Ctl().At(L"lblXpTools").text; }
    const ControlDef* Def(const std::wstring& name, int index) {
        for (const ControlDef& c : ui.Logic<frmXPTools>(L"frmXPTools").Definition().controls)
            if (c.name == name && c.index == index) return &c;
        return nullptr;
    }

    FormRegistry registry;
    FakeMachine machine;
    FakeUi ui;
    AppContext ctx;
};

TEST_F(ToolsWindow, LoadFillsTheStatusBarAndTheDefaultText) {
    Open();
    EXPECT_EQ(Ctl().GetPanelText(L"StatusBar1", 0),
              L"←更多工具     你的操作系统是：Microsoft Windows XP    系统安装路径为：C:\\WINDOWS");
    EXPECT_EQ(Label(), kDefaultText);
    EXPECT_EQ(Ctl().At(L"lblXpTools").fore, Rgb(55, 152, 225));
    EXPECT_EQ(Ctl().caption, L"系统工具大全");
    EXPECT_FALSE(Ctl().At(L"StatusBar1").picture.empty());
}

TEST_F(ToolsWindow, NoProductNameLeavesTheGapEmpty) {
    machine.registry.clear();  // not an NT system: the key itself is missing
    Open();
    EXPECT_EQ(Ctl().GetPanelText(L"StatusBar1", 0),
              L"←更多工具     你的操作系统是：    系统安装路径为：C:\\WINDOWS");
}

TEST_F(ToolsWindow, HoverShowsTitleLineBreakAndTheParagraphWithItsLead) {
    Open();
    for (const Opening& o : kOpenings) {
        Fire(EventKind::MouseMove, L"cmdXpTools", o.button);
        const std::wstring text = Label();
        const std::wstring head = std::wstring(o.title) + L"\r\n" + std::wstring(o.lead, L' ') + o.begins;
        EXPECT_EQ(text.substr(0, head.size()), head) << "button " << o.button;
        // Exactly the lead: the paragraph itself starts with no blank.
        EXPECT_NE(text[std::wcslen(o.title) + 2 + o.lead], L' ') << "button " << o.button;
        // One paragraph that goes on after its opening words, in one to four sentences.
        const std::wstring rest = text.substr(head.size());
        EXPECT_GT(rest.size(), 8u) << "button " << o.button;
        EXPECT_EQ(rest.find(L'\n'), std::wstring::npos) << "button " << o.button;
        const auto sentences = std::count(rest.begin(), rest.end(), L'。') +
                               std::count(rest.begin(), rest.end(), L'？') + std::count(rest.begin(), rest.end(), L'！');
        EXPECT_LE(sentences, 4) << "button " << o.button;
    }
    Fire(EventKind::MouseMove, L"cmdXpTools", 17);
    EXPECT_NE(Label().find(L"regsvr32 [/s] [/n] [/i(:cmdline)] dllname"), std::wstring::npos);
}

TEST_F(ToolsWindow, TextStaysUntilTheBackgroundIsCrossed) {
    Open();
    Fire(EventKind::MouseMove, L"cmdXpTools", 27);
    const std::wstring certificate = Label();
    EXPECT_EQ(certificate.substr(0, 4), L"证书\r\n");
    for (const wchar_t* elsewhere : {L"Frame1", L"picXPTools", L"lblXpTools", L"StatusBar1"}) {
        Fire(EventKind::MouseMove, elsewhere);
        EXPECT_EQ(Label(), certificate) << "over " << elsewhere[0];
    }
    Fire(EventKind::MouseMove, L"");
    EXPECT_EQ(Label(), kDefaultText);
}

TEST_F(ToolsWindow, ClickStartsTheRowNormalWithFocusEveryTime) {
    Open();
    Fire(EventKind::Click, L"cmdXpTools", 22);
    Fire(EventKind::Click, L"cmdXpTools", 22);
    Fire(EventKind::Menu, L"mnuRegedit");
    ASSERT_EQ(machine.runs.size(), 3u);
    EXPECT_EQ(machine.runs[0].commandLine, L"C:\\WINDOWS\\system32\\taskmgr.exe");
    EXPECT_EQ(machine.runs[1].commandLine, machine.runs[0].commandLine);
    EXPECT_EQ(machine.runs[2].commandLine, L"C:\\WINDOWS\\regedit.exe");
    for (const auto& r : machine.runs) EXPECT_EQ(r.style, WindowStyle::NormalFocus);
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_TRUE(ui.IsVisible(L"frmXPTools"));
}

TEST_F(ToolsWindow, ButtonsThatAreNoToolDoNothing) {
    Open();
    Fire(EventKind::MouseMove, L"cmdXpTools", 5);
    const std::wstring before = Label();
    for (int i : {17, 18}) Fire(EventKind::Click, L"cmdXpTools", i);
    Fire(EventKind::MouseMove, L"cmdXpTools", 18);
    Fire(EventKind::Menu, L"mnuReg");
    Fire(EventKind::Menu, L"mnuFGX1");
    EXPECT_TRUE(machine.runs.empty());
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_EQ(Label(), before);
}

TEST_F(ToolsWindow, AFailedStartShowsTheOneMessageForEveryRow) {
    Open();
    machine.startFails = true;
    Fire(EventKind::Click, L"cmdXpTools", 33);
    Fire(EventKind::Menu, L"mnuWMM");
    ASSERT_EQ(ui.prompts.size(), 2u);
    for (const ShownPrompt& p : ui.prompts) {
        EXPECT_EQ(p.type, ShownPrompt::Message);
        EXPECT_EQ(p.text, kFailure);
        EXPECT_EQ(p.title, L"打开程序错误");
        EXPECT_EQ(p.flags, kOkOnly);
    }
    EXPECT_TRUE(ui.IsVisible(L"frmXPTools"));
}

TEST_F(ToolsWindow, ExitHidesAndShowsMainThenReopensAsLeft) {
    Open();
    Fire(EventKind::MouseMove, L"cmdXpTools", 16);
    const std::wstring hovered = Label();
    Fire(EventKind::Menu, L"mnuExit");
    EXPECT_FALSE(ui.IsVisible(L"frmXPTools"));
    EXPECT_TRUE(ui.IsLoaded(L"frmXPTools"));
    EXPECT_TRUE(ui.IsVisible(L"frmMain"));
    // The main window's tile opens it again, just as it was left.
    ui.Fire(L"frmMain", {EventKind::Click, L"imgPIC", 1});
    EXPECT_TRUE(ui.IsVisible(L"frmXPTools"));
    EXPECT_FALSE(ui.IsVisible(L"frmMain"));
    EXPECT_EQ(Label(), hovered);
    EXPECT_EQ(hovered.substr(0, 11), L"注册表编辑器增强版\r\n");
}

TEST_F(ToolsWindow, MainMenuItemOpensItAndTheTileHasItsTip) {
    ui.ShowForm(L"frmMain");
    FakeControls& main = ui.ControlsOf(L"frmMain");
    EXPECT_EQ(main.At(L"mnuXPtools").text, L"XP隐藏工具");
    EXPECT_TRUE(main.At(L"mnuXPtools").enabled);
    ui.Fire(L"frmMain", {EventKind::Menu, L"mnuXPtools"});
    EXPECT_TRUE(ui.IsVisible(L"frmXPTools"));
    EXPECT_FALSE(ui.IsVisible(L"frmMain"));
    for (const ControlDef& c : ui.Logic<frmMain>(L"frmMain").Definition().controls)
        if (c.name == L"imgPIC" && c.index == 1) {
            EXPECT_EQ(c.tip, L"正在开发中");
        }
}

TEST_F(ToolsWindow, CloseBoxAndProgramExitBothLeaveCleanly) {
    Open();
    ui.UnloadForm(L"frmXPTools");
    EXPECT_FALSE(ui.IsLoaded(L"frmXPTools"));
    EXPECT_TRUE(ui.IsVisible(L"frmMain"));
    // A new load runs the load again.
    ui.ShowForm(L"frmXPTools");
    EXPECT_EQ(Label(), kDefaultText);
    // The main window's exit unloads it without the main window coming back.
    ui.Fire(L"frmMain", {EventKind::Menu, L"mnuExit"});
    EXPECT_FALSE(ui.IsLoaded(L"frmMain"));
    ui.UnloadForm(L"frmXPTools");
    EXPECT_FALSE(ui.IsLoaded(L"frmMain"));
    EXPECT_FALSE(ui.IsLoaded(L"frmXPTools"));
}

TEST_F(ToolsWindow, GridHasThirtyFiveVisibleHandButtonsInsideTheFrameWithoutOverlap) {
    Open();
    std::set<std::pair<int, int>> places;
    int visible = 0;
    for (int i = 0; i <= 35; ++i) {
        const ControlDef* d = Def(L"cmdXpTools", i);
        ASSERT_NE(d, nullptr) << i;
        EXPECT_EQ(d->container, L"Frame1");
        if (i == 18) {
            EXPECT_FALSE(Ctl().At(L"cmdXpTools", 18).visible);
            continue;
        }
        ++visible;
        EXPECT_TRUE(Ctl().At(L"cmdXpTools", i).visible) << i;
        EXPECT_TRUE(d->style & kHandCursor) << i;
        EXPECT_EQ(d->caption, ToolByButton(i)->caption);
        EXPECT_LE(d->left + d->width, 10335);
        EXPECT_LE(d->top + d->height, 4695);
        EXPECT_TRUE(places.insert({d->left, d->top}).second) << "two buttons at one place";
    }
    EXPECT_EQ(visible, 35);
}

TEST_F(ToolsWindow, MenuTreeHoldsEveryMenuToolOnceUnderTheRoot) {
    Open();
    const auto& menus = ui.Logic<frmXPTools>(L"frmXPTools").Definition().menus;
    ASSERT_FALSE(menus.empty());
    EXPECT_EQ(menus.front().name, L"mnuProgame");
    EXPECT_EQ(menus.front().level, 0);
    std::set<std::wstring> inTree;
    int level = 0;
    for (std::size_t i = 1; i < menus.size(); ++i) {
        const MenuDef& m = menus[i];
        EXPECT_GE(m.level, 1);
        EXPECT_LE(m.level, level + 1) << "a sub-menu level without its parent";
        level = m.level;
        EXPECT_TRUE(inTree.insert(m.name).second);
        EXPECT_FALSE(m.caption.empty());
        if (m.name.rfind(L"mnuFGX", 0) == 0) {
            EXPECT_EQ(m.caption, L"-");
        }
        if (const Tool* t = ToolByMenu(m.name)) {
            EXPECT_EQ(m.caption, t->menuCaption);
        }
    }
    for (const Tool& t : ToolCatalogue())
        if (*t.menu) {
            EXPECT_EQ(inTree.count(t.menu), 1u) << "missing from the menu";
        }
    EXPECT_EQ(menus.back().name, L"mnuExit");
    EXPECT_EQ(menus.back().caption, L"退出");
    EXPECT_EQ(Ctl().At(L"mnuRegedit").text, L"注册表编辑器\"regedit\"");
    EXPECT_EQ(Ctl().At(L"mnuRegedt32").text, L"注册表编辑器增强版\"regedt32\"");
}

}  // namespace
}  // namespace lz
