// The font window's Windows side under Wine: the sample surface drawing into
// a window this test makes, the machine's font operations, and the window's
// logic on the real machine with the real surface.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/form_registry.h"
#include "env/machine_win.h"
#include "fonts/fontinfo.h"
#include "fonts/fontsurface_win.h"
#include "fonts/frmFonts.h"
#include "fonts/renamed_font_win.h"
#include "support/fake_ui.h"
#include "support/files_win.h"
#include "support/form_stand_in.h"

namespace lz {
namespace {

using test::FileBytes;
using test::MakeFile;
using test::RemoveTree;
using test::RenamedFont;

const COLORREF kPaper = RGB(255, 255, 255);

// ---- a window for the surface ------------------------------------------------

LRESULT CALLBACK SurfaceProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* surface = reinterpret_cast<FontSurfaceWin*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (surface && surface->HandleMessage(message, wParam, lParam, &result)) return result;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Counts the font change announcements a top-level window receives.
int fontChanges = 0;
LRESULT CALLBACK ListenerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_FONTCHANGE) ++fontChanges;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void RegisterTestClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSW wc{};
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpfnWndProc = SurfaceProc;
    wc.lpszClassName = L"LzFontSurfaceTest";
    RegisterClassW(&wc);
    wc.lpfnWndProc = ListenerProc;
    wc.lpszClassName = L"LzFontChangeListener";
    RegisterClassW(&wc);
}

// A frame with the surface as its child, 220 × 272 pixels as in the window.
struct SurfaceWindow {
    SurfaceWindow() {
        RegisterTestClasses();
        frame = CreateWindowExW(0, L"STATIC", L"字体测试", WS_POPUP | WS_VISIBLE, 10, 10, 260, 300, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        child = CreateWindowExW(0, L"LzFontSurfaceTest", L"", WS_CHILD | WS_VISIBLE, 0, 0, 220, 272, frame,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        surface = std::make_unique<FontSurfaceWin>(child, kPaper);
        SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(surface.get()));
    }
    ~SurfaceWindow() {
        SetWindowLongPtrW(child, GWLP_USERDATA, 0);
        surface.reset();
        DestroyWindow(frame);
    }
    HWND frame = nullptr, child = nullptr;
    std::unique_ptr<FontSurfaceWin> surface;
};

// Where ink lies on the surface's picture.
struct Ink {
    int count = 0;
    int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
    std::vector<COLORREF> pixels;
};

Ink InkOf(FontSurfaceWin& s) {
    Ink ink;
    for (int y = 0; y < s.ClientHeight(); ++y)
        for (int x = 0; x < s.ClientWidth(); ++x) {
            const COLORREF c = s.Pixel(x, y);
            ink.pixels.push_back(c);
            if (c == kPaper) continue;
            ++ink.count;
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
        }
    return ink;
}

// What the window paints, through its paint path rather than the picture.
std::vector<COLORREF> Printed(HWND window, int width, int height) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::wstring WindowText(HWND hwnd) {
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    return text;
}

LogFont Description(Win32Machine& machine, const std::wstring& face, const std::wstring& rotation = L"0") {
    FontChoice c;
    c.height = L"20";
    c.width = L"20";
    c.rotation = rotation;
    c.weight = L"2000";
    c.face = face;
    std::optional<LogFont> lf = BuildLogFont(c, [&](const std::wstring& s) { return machine.AnsiBytes(s); });
    EXPECT_TRUE(lf);
    return lf.value_or(LogFont{});
}

bool Listed(const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::wstring TempFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + name;
    RemoveTree(folder);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

// ---- the surface ---------------------------------------------------------------

TEST(FontSurfaceWine, DrawsTheSampleAndTurnsIt) {
    Win32Machine machine;
    SurfaceWindow w;
    FontSurfaceWin& s = *w.surface;
    ASSERT_EQ(s.ClientWidth(), 220);
    ASSERT_EQ(s.ClientHeight(), 272);
    EXPECT_EQ(InkOf(s).count, 0);

    const FontHandle upright = s.MakeFont(Description(machine, L"宋体"));
    ASSERT_NE(upright, 0u);
    const int y = int(RoundHalfEven(s.ClientHeight() / 4.0));
    s.DrawSample(upright, 1, y, L"岚栈Backup");
    const Ink flat = InkOf(s);
    EXPECT_GT(flat.count, 100);
    // The reference point is the top left of the line.
    EXPECT_GE(flat.top, y);
    EXPECT_LT(flat.bottom, y + 20);
    EXPECT_GE(flat.left, 1);
    EXPECT_EQ(WindowText(w.child), L"岚栈Backup");
    // The window paints what the picture holds.
    EXPECT_EQ(Printed(w.child, 220, 272), flat.pixels);

    // At 45 degrees the line climbs to the right of the same point.
    const FontHandle turned = s.MakeFont(Description(machine, L"宋体", L"45"));
    ASSERT_NE(turned, 0u);
    s.Clear();
    EXPECT_EQ(InkOf(s).count, 0);
    EXPECT_EQ(WindowText(w.child), L"");
    s.DrawSample(turned, 1, y, L"岚栈Backup");
    const Ink slope = InkOf(s);
    EXPECT_GT(slope.count, 100);
    EXPECT_NE(slope.pixels, flat.pixels);
    EXPECT_LT(slope.top, y - 40);
    EXPECT_LT(slope.right, flat.right);

    // A new size keeps the sample.
    MoveWindow(w.child, 0, 0, 200, 260, TRUE);
    EXPECT_EQ(s.ClientWidth(), 200);
    EXPECT_EQ(InkOf(s).count, slope.count);

    s.DeleteFont(upright);
    s.DeleteFont(turned);
    EXPECT_FALSE(s.Metrics(upright));
    s.DrawSample(upright, 1, y, L"gone");  // a deleted font draws nothing
    EXPECT_EQ(InkOf(s).count, slope.count);
}

TEST(FontSurfaceWine, MetricsOfAKnownFont) {
    Win32Machine machine;
    SurfaceWindow w;
    FontSurfaceWin& s = *w.surface;
    const FontHandle font = s.MakeFont(Description(machine, L"宋体"));
    ASSERT_NE(font, 0u);
    const std::optional<TextMetrics> tm = s.Metrics(font);
    ASSERT_TRUE(tm);
    EXPECT_EQ(tm->height, 20);
    EXPECT_EQ(tm->ascent + tm->descent, 20);
    EXPECT_TRUE(tm->pitchAndFamily & kPitchTrueType);
    // Bytes, where the wide form gives 65535.
    EXPECT_LE(tm->lastChar, 255);
    EXPECT_LT(tm->firstChar, tm->lastChar);
    EXPECT_GT(tm->aveCharWidth, 0);
    EXPECT_FALSE(s.FaceName(font).empty());
    // A Chinese font in the Chinese code page is a double-byte one.
    EXPECT_TRUE(s.LanguageInfo(font) & 0x0001) << std::hex << s.LanguageInfo(font);

    const FontHandle wingdings = s.MakeFont(Description(machine, L"Wingdings"));
    ASSERT_NE(wingdings, 0u);
    EXPECT_EQ(s.FaceName(wingdings), L"Wingdings");
    EXPECT_FALSE(s.LanguageInfo(wingdings) & 0x0001);
    EXPECT_EQ(s.LanguageInfo(0x1234), kGcpError);
    s.DeleteFont(font);
    s.DeleteFont(wingdings);
}

// ---- the machine ---------------------------------------------------------------

TEST(FontMachineWine, ScreenFontsAndAFontAddedByPath) {
    Win32Machine machine;
    const std::vector<std::wstring> before = machine.ScreenFontNames();
    ASSERT_FALSE(before.empty());
    EXPECT_TRUE(Listed(before, L"Wingdings"));
    EXPECT_EQ(std::set<std::wstring>(before.begin(), before.end()).size(), before.size());
    EXPECT_FALSE(Listed(before, L""));

    const std::wstring folder = TempFolder(L"lz fonts 字体");
    const std::wstring file = RenamedFont(folder, "LzFontA");
    ASSERT_FALSE(file.empty());
    EXPECT_FALSE(Listed(before, L"LzFontA"));
    EXPECT_EQ(machine.AddFontFile(file), 1);
    const std::vector<std::wstring> after = machine.ScreenFontNames();
    EXPECT_TRUE(Listed(after, L"LzFontA"));
    EXPECT_EQ(after.size(), before.size() + 1);
    RemoveFontResourceW(file.c_str());

    EXPECT_EQ(machine.AddFontFile(L""), 0);
    EXPECT_EQ(machine.AddFontFile(folder + L"\\missing.ttf"), 0);
    MakeFile(folder + L"\\not a font.ttf", "plain text, not a font");
    EXPECT_EQ(machine.AddFontFile(folder + L"\\not a font.ttf"), 0);
    RemoveTree(folder);
}

TEST(FontMachineWine, TheFontChangeReachesTopLevelWindows) {
    RegisterTestClasses();
    HWND listener = CreateWindowExW(0, L"LzFontChangeListener", L"listener", WS_OVERLAPPED, 0, 0, 10, 10,
                                    nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(listener);
    fontChanges = 0;
    Win32Machine machine;
    machine.BroadcastFontChange();
    EXPECT_EQ(fontChanges, 1);
    DestroyWindow(listener);
}

TEST(FontMachineWine, AnsiBytesInTheChineseCodePage) {
    Win32Machine machine;
    EXPECT_EQ(machine.AnsiBytes(L"宋体"), std::optional<std::string>("\xCB\xCE\xCC\xE5"));
    EXPECT_EQ(machine.AnsiBytes(L"Arial"), std::optional<std::string>("Arial"));
    EXPECT_FALSE(machine.AnsiBytes(L"바탕"));
}

// ---- the window on the real machine -----------------------------------------------

class FontsWindowWine : public ::testing::Test {
protected:
    FontsWindowWine() : ui(registry) {
        registry.Add(L"frmFonts", [](AppContext& c) { return std::make_unique<frmFonts>(c); });
        registry.Add(L"frmSoftSaveSetting", [](AppContext&) { return std::make_unique<test::FormStandIn>(L"frmSoftSaveSetting"); });
        registry.Attach(ctx);
        root = TempFolder(L"lz fonts 窗口");
        ui.ShowForm(L"frmFonts");
        C().ports[{L"Picture1", -1}] = w.surface.get();
    }
    ~FontsWindowWine() override {
        ui.UnloadForm(L"frmFonts");
        RemoveTree(root);
    }
    test::FakeControls& C() { return ui.ControlsOf(L"frmFonts"); }
    void Click(const std::wstring& name) { ui.Fire(L"frmFonts", {EventKind::Click, name, -1}); }
    // Chooses a Chinese font: 宋体 where the system has it; under Wine 宋体 is
    // only a substitute's name, and the CJK font setup installs has its own.
    std::wstring ChooseChinese() {
        const auto& items = C().At(L"List1").items;
        for (const wchar_t* wanted : {L"宋体", L"文泉驿微米黑"}) {
            auto it = std::find(items.begin(), items.end(), wanted);
            if (it == items.end()) continue;
            C().SetListIndex(L"List1", -1, int(it - items.begin()));
            return *it;
        }
        ADD_FAILURE() << "no Chinese font in the list";
        return L"";
    }

    Win32Machine machine;
    FormRegistry registry;
    test::FakeUi ui;
    AppContext ctx{machine, ui, L""};
    SurfaceWindow w;
    std::wstring root;
};

TEST_F(FontsWindowWine, ListSampleMetricsAndLanguage) {
    EXPECT_EQ(C().At(L"List1").items, machine.ScreenFontNames());
    EXPECT_EQ(C().At(L"lblWindowsPath").text, L"系统字体目录是：" + machine.GetWinDir() + L"\\Fonts\\");

    const std::wstring face = ChooseChinese();
    Click(L"Command1");
    EXPECT_GT(InkOf(*w.surface).count, 100);
    EXPECT_EQ(WindowText(w.child), L"岚栈Backup");

    Click(L"Command2");
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].title, L"物理字体规格");
    EXPECT_EQ(ui.prompts[0].text.rfind(L"字体名称为：" + face + L",这是一种TrueType字体\r\n", 0), 0u);
    EXPECT_NE(ui.prompts[0].text.find(L"字体高度：20,"), std::wstring::npos);
    EXPECT_NE(ui.prompts[0].text.find(L",最后一个字符："), std::wstring::npos);
    EXPECT_EQ(ui.prompts[0].text.find(L"65535"), std::wstring::npos);

    Click(L"Command3");
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(ui.prompts[1].title, L"字体名称为：" + face);
    EXPECT_EQ(ui.prompts[1].text.rfind(L"双字节字符集\r\n", 0), 0u);

    // Turned by the rotation box.
    const Ink flat = InkOf(*w.surface);
    C().At(L"Text3").text = L"45";
    Click(L"Command1");
    const Ink slope = InkOf(*w.surface);
    EXPECT_GT(slope.count, 100);
    EXPECT_LT(slope.top, flat.top - 40);
}

TEST_F(FontsWindowWine, AFontFileAddedShowsInTheList) {
    const std::wstring file = RenamedFont(root, "LzFontB");
    ASSERT_FALSE(file.empty());
    EXPECT_FALSE(Listed(C().At(L"List1").items, L"LzFontB"));
    C().At(L"txtAddFont").text = file;
    Click(L"cmdAddFont");
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_TRUE(Listed(C().At(L"List1").items, L"LzFontB"));
    RemoveFontResourceW(file.c_str());

    C().At(L"txtAddFont").text = root + L"\\nothing.ttf";
    Click(L"cmdAddFont");
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].text, L"添加字体失败，请检查添加的字体文件名和路径是否正确");
}

TEST_F(FontsWindowWine, TheFontFolderLandsInItsOwnFolder) {
    ctx.SavePath = root + L"\\备份 目录";
    CreateDirectoryW(ctx.SavePath.c_str(), nullptr);
    Click(L"cmdFontBack");
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_EQ(C().At(L"cmdFontBack").text, L"备份成功");
    const std::wstring fonts = machine.GetWinDir() + L"\\Fonts\\";
    const std::wstring copy = ctx.SavePath + L"\\字体文件夹\\Fonts\\";
    for (const wchar_t* file : {L"marlett.ttf", L"wingding.ttf"}) {
        const std::string original = FileBytes(fonts + file);
        ASSERT_FALSE(original.empty()) << "no " << file << " in the system font folder";
        EXPECT_EQ(FileBytes(copy + file), original);
    }
}

TEST_F(FontsWindowWine, ADestinationThatCannotBeWrittenIsReported) {
    // A file where the destination folder should be.
    ctx.SavePath = root + L"\\a file";
    MakeFile(ctx.SavePath, "x");
    Click(L"cmdFontBack");
    EXPECT_EQ(C().At(L"cmdFontBack").text, L"备份失败");
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].text, L"备份失败，无法写入：" + ctx.SavePath + L"\\字体文件夹\\");
    EXPECT_EQ(ui.prompts[0].title, L"一点小问题");
}

}  // namespace
}  // namespace lz
