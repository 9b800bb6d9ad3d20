#include "lock/frmScreen.h"

#include "lock/screen_ini.h"

namespace lz {

const wchar_t* const kLockNoPassword =
    L"无法读取设置文件Screen.ini中的密码，为免锁定后无法解锁，屏幕没有锁定。请检查该文件，或在“重设密码”中重新设置密码。";
const wchar_t* const kLockUnavailable = L"无法锁定屏幕：不能取得屏幕的图像。";

namespace {

const wchar_t* const kForm = L"frmScreen";
const wchar_t* const kPicture = L"picScreen";

FormDef MakeDefinition() {
    // The frame and the size are the screen's at lock time; 1024 × 768 until then.
    FormDef d = NewForm(kForm, L"", 15360, 11520, Border::FixedToolWindow);
    d.minButton = false;
    d.maxButton = false;
    d.back = kBlack;
    ControlDef picture{Kind::Custom, kPicture, -1, L"", 0, 0, 15360, 11520};
    picture.back = kBlack;
    picture.fore = kWhite;
    d.controls.push_back(picture);
    ControlDef click{Kind::Label, L"lblclick", -1, L"双击", 6000, 5040, 1935, 1095, L"", kHidden | kBold};
    click.font = L"SimSun";
    click.fontPoints10 = 420;
    click.back = Rgb(255, 0, 0);
    d.controls.push_back(click);
    return d;
}

// The effect the settings window has chosen: its list position, -1 for none.
int SettingsTag(Ui& ui) {
    Controls* set = ui.FormControls(L"frmSet");
    return set ? set->GetListIndex(L"cmb", -1) : -1;
}

}  // namespace

frmScreen::frmScreen(AppContext& ctx) : ctx_(ctx), def_(MakeDefinition()) {}

const std::vector<Handler<frmScreen>>& frmScreen::Handlers() {
    using E = EventKind;
    using F = frmScreen;
    // The picture covers the whole window, and the label lies on it: a click
    // on either is a click on the window.
    static const std::vector<Handler<frmScreen>> table = {
        {E::Load, L"", &F::Form_Load},
        {E::QueryUnload, L"", &F::Form_QueryUnload},
        {E::Unload, L"", &F::Form_Unload},
        {E::Click, L"", &F::Form_Click},
        {E::DblClick, L"", &F::Form_DblClick},
        {E::Click, kPicture, &F::Form_Click},
        {E::DblClick, kPicture, &F::Form_DblClick},
        {E::Click, L"lblclick", &F::Form_Click},
        {E::DblClick, L"lblclick", &F::Form_DblClick},
    };
    return table;
}

LockSurface* frmScreen::Surface() { return dynamic_cast<LockSurface*>(Ctl().Port(kPicture, -1)); }

void frmScreen::Form_Load() {
    EffectNumber = SettingsTag(ctx_.ui);
    Params = EffectRow(EffectNumber);
    // The settings window can reach this window only by loading it, so the
    // load goes on to lock.
    doeffect();
}

void frmScreen::doeffect() {
    if (Running) return;
    LockSurface* surface = Surface();
    if (!surface) {
        ctx_.ui.MsgBox(kLockUnavailable, kOkOnly | kExclamation, L"");
        return;
    }
    // No password that can be read, no lock: it could never be opened again.
    const StoredPassword stored = ReadLockPassword(ctx_.machine);
    if (stored.status != PasswordRead::Ok) {
        ctx_.ui.MsgBox(kLockNoPassword, kOkOnly | kExclamation, L"");
        return;
    }
    password_ = stored.text;

    const ScreenBox screen = surface->Screen();
    ScreenW = ScreenPixels(screen.width);
    ScreenH = ScreenPixels(screen.height);
    Ctl().SetFormSize(ScreenW * kTwipsPerPixel, ScreenH * kTwipsPerPixel);
    surface->Snapshot();
    surface->Cover();
    ctx_.ui.ShowForm(kForm);
    surface->GuardKeys(true);
    const std::tm now = ctx_.machine.Now();
    animation_ = std::make_unique<LockAnimation>(*surface, Params, ScreenW, ScreenH,
                                                 VbRandom::SeedFromTime(now.tm_hour, now.tm_min, now.tm_sec));
    Running = true;
    activated_ = false;
    surface->Animate([this] { return Step(); });
}

bool frmScreen::Step() {
    if (!Running || !animation_) return false;
    if (!activated_) {
        // The window that started the lock may have taken the foreground back
        // when its own load ended; the keyboard belongs to the lock.
        activated_ = true;
        ctx_.ui.ShowForm(kForm);
    }
    animation_->Step();
    return true;
}

void frmScreen::Form_Click() { Ctl().SetVisible(L"lblclick", -1, true); }

void frmScreen::Form_DblClick() {
    if (!Running || asking_) return;
    asking_ = true;
    // The picture stands still while the prompt is open, and what the prompt
    // covers is kept for repainting.
    if (LockSurface* s = Surface()) {
        s->Stop();
        s->Hold();
    }
    const std::wstring answer = ctx_.ui.InputBox(L"请输入屏幕解锁密码", L"很需要", L"");
    if (Running && answer == password_) {
        asking_ = false;
        return Unlock();
    }
    if (Running) ctx_.ui.MsgBox(L"不好意思，你的密码有误", kOkOnly | kQuestion, L"错误了");
    asking_ = false;
    if (!Running) return;  // unloaded meanwhile
    if (LockSurface* s = Surface()) s->Animate([this] { return Step(); });
}

void frmScreen::Unlock() {
    Running = false;
    if (LockSurface* s = Surface()) {
        s->Stop();
        s->GuardKeys(false);
    }
    animation_.reset();
    ctx_.ui.UnloadForm(kForm);
    // Back to the settings window, where another effect can be tried.
    if (ctx_.ui.IsLoaded(L"frmSet")) ctx_.ui.ShowForm(L"frmSet");
}

void frmScreen::Form_QueryUnload(const Event& e) {
    // Alt+F4, the task bar or another program: only the password opens the lock.
    if (Running && e.cancel) *e.cancel = true;
}

void frmScreen::Form_Unload() {
    // However the window goes, the keys are given back.
    Running = false;
    if (LockSurface* s = Surface()) {
        s->Stop();
        s->GuardKeys(false);
    }
    animation_.reset();
}

}  // namespace lz
