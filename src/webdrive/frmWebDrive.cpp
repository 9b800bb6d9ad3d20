#include "webdrive/frmWebDrive.h"

#include "webdrive/webaddress.h"

namespace lz {

const wchar_t* const kWebDriveCaptionLead = L"岚栈备份专家,让你选择自已喜欢的网络硬盘=";
const wchar_t* const kOpenInDefaultBrowser = L"用默认浏览器打开";

namespace {

const wchar_t* const kForm = L"frmWebDrive";
const Color kAddressBlue = Rgb(55, 152, 229);
const int kClientWidth = 11715;
const int kClientHeight = 7380;
const int kBrowserTop = 480;
const int kStatusHeight = 375;
const int kHintPanelWidth = 1440;

FormDef MakeDefinition() {
    FormDef d = NewForm(kForm, L"网络硬盘", kClientWidth, kClientHeight, Border::Sizable);
    // A browser is read best large; unlike the fixed tool windows it may fill the screen.
    d.maxButton = true;
    d.controls.push_back({Kind::Label, L"lblAddress", -1, L"网络硬盘列表：", 120, 120, 1455, 255});
    ControlDef box{Kind::ComboEdit, L"cboAddress", -1, L"", 1320, 75, 7455, 330};
    box.font = L"SimSun";
    box.fontPoints10 = 105;
    box.fore = kAddressBlue;
    d.controls.push_back(box);
    d.controls.push_back({Kind::Button, L"cmdSearch", -1, L"刷新", 8880, 75, 975, 330});
    d.controls.push_back({Kind::Browser, L"webPage", -1, L"", 0, kBrowserTop, kClientWidth,
                          kClientHeight - kBrowserTop - kStatusHeight});
    ControlDef bar{Kind::StatusBar, L"statusBar", -1, L"", 0, kClientHeight - kStatusHeight, kClientWidth,
                   kStatusHeight};
    bar.items = {L"提示：", L"单击此处退出"};
    // Each panel tells what it is also when the browser's news has replaced its text.
    bar.itemTips = bar.items;
    // "提示：" needs little room; the browser's status text needs the rest.
    bar.itemWidths = {kHintPanelWidth};
    d.controls.push_back(bar);
    return d;
}

}  // namespace

std::wstring NoEngineNotice(const std::wstring& address) {
    return L"这台电脑上没有能显示网页的浏览器组件，网页无法在本窗口中打开。\r\n\r\n地址：" + address +
           L"\r\n\r\n可以单击下面的按钮，用系统的默认浏览器打开它。";
}

frmWebDrive::frmWebDrive(AppContext& ctx) : ctx_(ctx), def_(MakeDefinition()) {}

const std::vector<Handler<frmWebDrive>>& frmWebDrive::Handlers() {
    using E = EventKind;
    using F = frmWebDrive;
    static const std::vector<Handler<frmWebDrive>> table = {
        {E::Load, L"", &F::Form_Load},
        {E::Resize, L"", &F::Form_Resize},
        {E::Unload, L"", &F::Form_Unload},
        {E::Click, L"cboAddress", &F::cboAddress_Click},
        {E::KeyPress, L"cboAddress", &F::cboAddress_KeyPress},
        {E::Click, L"cmdSearch", &F::cmdSearch_Click},
        {kBrowserTitleChange, L"webPage", &F::webPage_TitleChange},
        {kBrowserStatusTextChange, L"webPage", &F::webPage_StatusTextChange},
        {kBrowserNoticeButton, L"webPage", &F::webPage_NoticeClick},
        {E::Click, L"statusBar", &F::statusBar_PanelClick},
    };
    return table;
}

BrowserPort* frmWebDrive::Browser() { return dynamic_cast<BrowserPort*>(Ctl().Port(L"webPage", -1)); }

void frmWebDrive::Form_Load() {
    if (BrowserPort* b = Browser()) b->FitToClient();
    Go(kWebHomePage);
    Ctl().ClearItems(L"cboAddress", -1);
    for (const std::wstring& a : WebDriveAddresses()) Ctl().AddItem(L"cboAddress", -1, a);
    Ctl().SetText(L"cboAddress", -1, WebDriveAddresses().front());
    Ctl().SetFormBack(kFormBack);
    Ctl().SetForeColor(L"cboAddress", -1, kAddressBlue);
}

void frmWebDrive::Form_Resize() {
    // A minimized window has no room to give; the browser keeps its size until restored.
    if (ctx_.ui.GetWindowState(kForm) == WindowState::Minimized) return;
    if (BrowserPort* b = Browser()) b->FitToClient();
}

void frmWebDrive::Form_Unload() {
    // While the whole program closes, showing the main window would load it again.
    if (ctx_.ui.IsLoaded(L"frmMain")) ctx_.ui.ShowForm(L"frmMain");
    ctx_.ui.HideForm(kForm);
}

void frmWebDrive::cboAddress_Click() {
    const int at = Ctl().GetListIndex(L"cboAddress", -1);
    if (at < 0) return;
    Go(Ctl().Item(L"cboAddress", -1, at));
}

void frmWebDrive::cboAddress_KeyPress(const Event& e) {
    if (e.key != 13) return;
    // Enter is the box's own: no beep, no default button.
    if (e.cancel) *e.cancel = true;
    Go(Ctl().GetText(L"cboAddress", -1));
}

void frmWebDrive::cmdSearch_Click() {
    const std::wstring text = Ctl().GetText(L"cboAddress", -1);
    BrowserPort* b = Browser();
    // The page shown, asked for again: load it afresh rather than from the cache.
    if (b && text == Address && !Address.empty() && b->CanShowPages()) return b->Refresh();
    Go(text);
}

void frmWebDrive::webPage_TitleChange(const Event& e) { Ctl().SetCaption(kWebDriveCaptionLead + e.text); }

void frmWebDrive::webPage_StatusTextChange(const Event& e) { Ctl().SetPanelText(L"statusBar", 1, e.text); }

void frmWebDrive::webPage_NoticeClick() {
    // Only the notice's button opens another browser, never a click on a page.
    if (!NoticeShown) return;
    const std::wstring url = DefaultBrowserUrl(Address);
    if (url.empty() || !ctx_.machine.OpenInDefaultBrowser(url))
        ctx_.ui.MsgBox(L"无法用系统的默认浏览器打开" + Address + L"。", kOkOnly | kExclamation);
}

void frmWebDrive::statusBar_PanelClick() {
    ctx_.ui.ShowForm(L"frmMain");
    ctx_.ui.SetWindowState(L"frmMain", WindowState::Normal);
    ctx_.ui.HideForm(kForm);
}

void frmWebDrive::Go(const std::wstring& text) {
    const AddressKind kind = ClassifyAddress(text);
    if (kind == AddressKind::Empty) return;
    if (kind != AddressKind::Web) {
        ctx_.ui.MsgBox(RefusalText(kind), kOkOnly | kExclamation);
        return;
    }
    Address = text;
    BrowserPort* b = Browser();
    if (!b) return;
    NoticeShown = !b->CanShowPages();
    if (NoticeShown) b->ShowNotice(NoEngineNotice(text), kOpenInDefaultBrowser);
    else b->Navigate(text);
}

}  // namespace lz
