// The font window in the real form host: opened from the main window's tile
// and menu, the screen's fonts in its list, a sample drawn on its surface and
// turned, the metrics and language messages, a font file added by path, the
// font folder backup, and its texts read as another program reads them.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "fonts/fontinfo.h"
#include "fonts/renamed_font_win.h"
#include "support/files_win.h"
#include "support/gui_harness_win.h"
#include "support/window_text_win.h"

namespace lz::test {
namespace {

const wchar_t* const kForm = L"frmFonts";

std::vector<std::wstring> ListItems(HWND list) {
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring s(std::size_t(SendMessageW(list, LB_GETTEXTLEN, WPARAM(i), 0)) + 1, L'\0');
        s.resize(std::size_t(SendMessageW(list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(s.data()))));
        items.push_back(s);
    }
    return items;
}

BOOL CALLBACK CollectText(HWND h, LPARAM texts) {
    reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(TextOf(h));
    return TRUE;
}

// The texts of every window inside `top`, at any depth.
std::vector<std::wstring> TextsInside(HWND top) {
    std::vector<std::wstring> texts;
    EnumChildWindows(top, CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

bool Holds(const std::vector<std::wstring>& texts, const std::wstring& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Where something other than the white paper shows in a window's client area.
struct Ink {
    int count = 0;
    int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
    int height = 0;
};

Ink InkShownIn(HWND h) {
    RECT rc;
    GetClientRect(h, &rc);
    Ink ink;
    ink.height = rc.bottom;
    const std::vector<DWORD> p = GrabPixels(h, rc);
    if (p.empty()) return ink;
    for (int y = 0; y < rc.bottom; ++y)
        for (int x = 0; x < rc.right; ++x) {
            if (p[std::size_t(y) * std::size_t(rc.right) + std::size_t(x)] == 0xFFFFFF) continue;
            ++ink.count;
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
        }
    return ink;
}

struct FontsGui : ::testing::Test {
    GuiApp app;
    std::wstring root;

    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root = std::wstring(temp) + L"lz fonts 窗口测试";
        RemoveTree(root);
        CreateDirectoryW(root.c_str(), nullptr);
        app.ui.ShowForm(L"frmMain");
        app.Pump(50);
    }
    void TearDown() override { RemoveTree(root); }

    FormWindow& F() { return app.W(kForm); }
    HWND H(const std::wstring& name, int index = -1) { return F().ChildHandle(name, index); }
    void Open() {
        app.Click(L"frmMain", L"imgPIC", 5);
        app.Pump(20);
        ASSERT_TRUE(app.ui.IsVisible(kForm));
    }
    void Click(const std::wstring& name) { app.Click(kForm, name); }
    // A Chinese TrueType font of the list: 宋体 where the system has it; under
    // Wine 宋体 is only a substitute's name, and the CJK font that setup
    // installs is listed under its own.
    std::wstring ChineseFace() {
        const std::vector<std::wstring> items = ListItems(H(L"List1"));
        for (const wchar_t* face : {L"宋体", L"文泉驿微米黑"})
            if (Holds(items, face)) return face;
        ADD_FAILURE() << "no Chinese font in the list";
        return L"";
    }
    // Chooses a list entry as a click on it would.
    void Choose(const std::wstring& face) {
        HWND list = H(L"List1");
        const LRESULT at = SendMessageW(list, LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(face.c_str()));
        ASSERT_NE(at, LB_ERR) << "no such font in the list";
        SendMessageW(list, LB_SETCURSEL, WPARAM(at), 0);
        SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        app.Pump(5);
    }
    // The sample as the window shows it, once it has painted.
    Ink Shown() {
        HWND picture = H(L"Picture1");
        UpdateWindow(picture);
        return InkShownIn(picture);
    }
    const ShownPrompt& LastPrompt() {
        static const ShownPrompt none{ShownPrompt::Message, L"(none)", L"", 0, L""};
        return app.ui.prompts.empty() ? none : app.ui.prompts.back();
    }
};

TEST_F(FontsGui, TheTileAndTheMenuOpenItAndItsExitShowsTheMainWindow) {
    ASSERT_TRUE(app.ui.IsLoaded(kForm));  // pre-loaded, hidden
    EXPECT_FALSE(app.ui.IsVisible(kForm));
    Open();
    EXPECT_FALSE(app.ui.IsVisible(L"frmMain"));
    EXPECT_EQ(TextOf(F().Handle()), L"字体信息");

    // Its size is fixed.
    RECT before, after;
    GetWindowRect(F().Handle(), &before);
    SetWindowPos(F().Handle(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    app.Pump(20);
    GetWindowRect(F().Handle(), &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);

    // "退出" hides it and brings the main window back, not minimised.
    ShowWindow(app.W(L"frmMain").Handle(), SW_MINIMIZE);
    app.Pump(20);
    Click(L"Command4");
    app.Pump(20);
    EXPECT_FALSE(app.ui.IsVisible(kForm));
    EXPECT_TRUE(app.ui.IsLoaded(kForm));
    EXPECT_TRUE(app.ui.IsVisible(L"frmMain"));
    EXPECT_FALSE(IsIconic(app.W(L"frmMain").Handle()));

    app.Menu(L"frmMain", L"mnuFont");
    app.Pump(20);
    EXPECT_TRUE(app.ui.IsVisible(kForm));
    EXPECT_FALSE(app.ui.IsVisible(L"frmMain"));

    // Its close box unloads it, and the main window comes back too.
    SendMessageW(F().Handle(), WM_CLOSE, 0, 0);
    app.Pump(20);
    EXPECT_FALSE(app.ui.IsLoaded(kForm));
    EXPECT_TRUE(app.ui.IsVisible(L"frmMain"));
    EXPECT_TRUE(app.ui.prompts.empty());
}

TEST_F(FontsGui, TheListASampleTurnedAndTheMessages) {
    Open();
    EXPECT_EQ(ListItems(H(L"List1")), app.machine.ScreenFontNames());

    // Nothing made yet: the two messages say so.
    Click(L"Command2");
    EXPECT_EQ(LastPrompt().text, L"没有选择字体");
    EXPECT_EQ(LastPrompt().title, L"岚栈备份专家");
    Click(L"Command3");
    EXPECT_EQ(LastPrompt().text, L"请选择一种字体");
    EXPECT_EQ(LastPrompt().title, L"");
    EXPECT_EQ(Shown().count, 0);
    EXPECT_EQ(TextOf(H(L"Picture1")), L"");

    const std::wstring face = ChineseFace();
    Choose(face);
    Click(L"Command1");
    Ink flat;
    EXPECT_TRUE(app.PumpUntil([&] { return (flat = Shown()).count > 100; }));
    const int y = int(RoundHalfEven(flat.height / 4.0));
    EXPECT_GE(flat.top, y - 1);
    EXPECT_LT(flat.bottom, y + 24);
    EXPECT_LE(flat.left, 4);
    EXPECT_EQ(TextOf(H(L"Picture1")), L"岚栈Backup");
    app.Screenshot(kForm, L"fonts-sample");

    const std::size_t shown = app.ui.prompts.size();
    Click(L"Command2");
    ASSERT_EQ(app.ui.prompts.size(), shown + 1);
    EXPECT_EQ(LastPrompt().title, L"物理字体规格");
    EXPECT_EQ(LastPrompt().flags, kOkOnly);
    EXPECT_EQ(LastPrompt().text.rfind(L"字体名称为：" + face + L",这是一种TrueType字体\r\n,这是一种变宽字体\r\n", 0), 0u) << LastPrompt().text;
    EXPECT_NE(LastPrompt().text.find(L"字体高度：20,"), std::wstring::npos);
    EXPECT_NE(LastPrompt().text.find(L",最后一个字符："), std::wstring::npos);
    EXPECT_EQ(LastPrompt().text.find(L"65535"), std::wstring::npos);

    Click(L"Command3");
    ASSERT_EQ(app.ui.prompts.size(), shown + 2);
    EXPECT_EQ(LastPrompt().title, L"字体名称为：" + face);
    EXPECT_EQ(LastPrompt().flags, kOkOnly);
    EXPECT_EQ(LastPrompt().text.rfind(L"双字节字符集\r\n", 0), 0u) << LastPrompt().text;

    // At 45 degrees the line climbs from the same point.
    app.Type(kForm, L"Text3", -1, L"45");
    Click(L"Command1");
    Ink turned;
    EXPECT_TRUE(app.PumpUntil([&] {
        turned = Shown();
        return turned.count > 100 && turned.top < y - 40;
    }));
    EXPECT_GT(turned.bottom, y);
    EXPECT_LT(turned.right, flat.right);
    app.Screenshot(kForm, L"fonts-sample-45");

    // Covered and shown again, the sample is still there.
    app.ui.HideForm(kForm);
    app.ui.ShowForm(kForm);
    app.Pump(20);
    EXPECT_TRUE(app.PumpUntil([&] { return Shown().count == turned.count; }));
}

TEST_F(FontsGui, AFontFileAddedByPathAppearsInTheList) {
    Open();
    const std::wstring file = RenamedFont(root, "LzFontG");
    ASSERT_FALSE(file.empty());
    EXPECT_FALSE(Holds(ListItems(H(L"List1")), L"LzFontG"));

    // "浏览" puts the file the dialog gave into the box.
    app.ui.fileAnswers.push_back(file);
    Click(L"cmdSelectAdd");
    EXPECT_EQ(LastPrompt().type, ShownPrompt::OpenFile);
    EXPECT_EQ(LastPrompt().title, L"选择字体");
    EXPECT_EQ(LastPrompt().text, L"字体资源文件 |*.Fon;*.FOT;*.TTF;*.FNT;*.FOR");
    EXPECT_EQ(TextOf(H(L"txtAddFont")), file);

    const std::size_t shown = app.ui.prompts.size();
    Click(L"cmdAddFont");
    EXPECT_EQ(app.ui.prompts.size(), shown);
    const std::vector<std::wstring> items = ListItems(H(L"List1"));
    EXPECT_TRUE(Holds(items, L"LzFontG"));
    EXPECT_EQ(items, app.machine.ScreenFontNames());
    RemoveFontResourceW(file.c_str());

    app.Type(kForm, L"txtAddFont", -1, L"");
    Click(L"cmdAddFont");
    ASSERT_EQ(app.ui.prompts.size(), shown + 1);
    EXPECT_EQ(LastPrompt().text, L"添加字体失败，请检查添加的字体文件名和路径是否正确");
    EXPECT_EQ(LastPrompt().title, L"一点小问题");
}

TEST_F(FontsGui, TheFontFolderLandsInItsFolderUnderTheDestination) {
    Open();
    app.ctx.SavePath = root + L"\\备份 目录";
    CreateDirectoryW(app.ctx.SavePath.c_str(), nullptr);
    Click(L"cmdFontBack");
    EXPECT_TRUE(app.ui.prompts.empty()) << LastPrompt().text;
    EXPECT_EQ(TextOf(H(L"cmdFontBack")), L"备份成功");
    const std::wstring fonts = app.machine.GetWinDir() + L"\\Fonts\\";
    const std::wstring copy = app.ctx.SavePath + L"\\字体文件夹\\Fonts\\";
    for (const wchar_t* file : {L"marlett.ttf", L"wingding.ttf"}) {
        const std::string original = FileBytes(fonts + file);
        ASSERT_FALSE(original.empty()) << "no font file to copy";
        EXPECT_EQ(FileBytes(copy + file), original);
    }
}

TEST_F(FontsGui, ADestinationThatCannotBeWrittenSaysSo) {
    Open();
    // A file where the font folder's parent should be.
    app.ctx.SavePath = root + L"\\a file";
    MakeFile(app.ctx.SavePath, "x");
    Click(L"cmdFontBack");
    EXPECT_EQ(TextOf(H(L"cmdFontBack")), L"备份失败");
    ASSERT_EQ(app.ui.prompts.size(), 1u);
    EXPECT_EQ(LastPrompt().text, L"备份失败，无法写入：" + app.ctx.SavePath + L"\\字体文件夹\\");
    EXPECT_EQ(LastPrompt().title, L"一点小问题");
}

TEST_F(FontsGui, WithoutADestinationTheDestinationDialogOpens) {
    Open();
    app.ctx.SavePath.clear();
    Click(L"cmdFontBack");
    ASSERT_EQ(app.ui.prompts.size(), 1u);
    EXPECT_EQ(LastPrompt().text, L"备份未成功，请先选择字体文件保存路径");
    EXPECT_EQ(LastPrompt().title, L"一点小问题");
    EXPECT_TRUE(app.ui.IsVisible(L"frmSoftSaveSetting"));
    EXPECT_EQ(TextOf(H(L"cmdFontBack")), L"备份");
}

TEST_F(FontsGui, EveryTextCanBeReadFromOutside) {
    Open();
    Choose(ChineseFace());
    Click(L"Command1");
    const std::vector<std::wstring> texts = TextsInside(F().Handle());
    for (const wchar_t* text :
         {L"字体信息", L"字体高度", L"字体宽度", L"字体旋转", L"字体粗细", L"样本文字", L"20", L"0", L"2000",
          L"岚栈Backup", L"斜体", L"下划线", L"删除线", L"显示字体", L"显示字体规格", L"显示字体信息", L"增加字体",
          L"浏览", L"新增字体", L"备份", L"退出"})
        EXPECT_TRUE(Holds(texts, text)) << "not readable: " << testing::PrintToString(std::wstring(text));
    EXPECT_TRUE(Holds(texts, L"系统字体目录是：" + app.machine.GetWinDir() + L"\\Fonts\\"));
    // The sample is the text of its own window, besides that of the box it came from.
    EXPECT_EQ(std::count(texts.begin(), texts.end(), L"岚栈Backup"), 2);
    EXPECT_EQ(TextOf(H(L"Picture1")), L"岚栈Backup");
}

}  // namespace
}  // namespace lz::test
