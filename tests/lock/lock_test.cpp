// The settings window and the lock window together, in a whole program in
// memory: from the tile to the lock, the prompts, the unlock and back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "fake_surface.h"
#include "lock/frmScreen.h"
#include "lock/frmSet.h"
#include "lock/screen_ini.h"

namespace lz::test {
namespace {

struct Lock : LockedApp, ::testing::Test {
    void SetUp() override {
        machine.AddFile(IniPath(), {L"old", L"Right"});
        ui.ShowForm(L"frmMain");
        ui.prompts.clear();
        machine.keyEvents.clear();
    }
    void OpenFromTile() { ui.Fire(L"frmMain", {EventKind::Click, L"imgPIC", 4}); }
    FakeControls& Set() { return ui.ControlsOf(L"frmSet"); }
    void DoubleClick(const std::wstring& answer) {
        ui.inputAnswers.push_back(answer);
        ui.Fire(L"frmScreen", {EventKind::Click, L"picScreen"});
        ui.Fire(L"frmScreen", {EventKind::DblClick, L"picScreen"});
    }
    // Chooses an effect in the list and clicks "变化".
    void LockWith(int effect) {
        Set().SetListIndex(L"cmb", -1, effect);
        ui.Fire(L"frmSet", {EventKind::Click, L"Command1"});
    }
    bool CloseRefused(const std::wstring& form) {
        bool cancel = false;
        Event e{EventKind::QueryUnload, L""};
        e.cancel = &cancel;
        ui.Fire(form, e);
        return cancel;
    }
};

TEST_F(Lock, TheTileMinimisesEverythingAndLocksWithMeltAtOnce) {
    OpenFromTile();
    ASSERT_TRUE(Locked());
    EXPECT_FALSE(ui.IsVisible(L"frmMain"));
    EXPECT_TRUE(ui.prompts.empty());  // a password is set: nothing asked
    // Windows+M, with every key released again.
    const std::vector<std::pair<int, bool>> keys = {{91, false}, {77, false}, {91, true}, {77, true}};
    EXPECT_EQ(machine.keyEvents, keys);
    EXPECT_EQ(Surface().keyEventsAtSnapshot, 4u);  // all sent before the picture is taken

    EXPECT_TRUE(ui.IsVisible(L"frmSet"));
    EXPECT_EQ(ui.GetWindowState(L"frmSet"), WindowState::Normal);
    EXPECT_EQ(Set().At(L"cmb").items, EffectNames());
    EXPECT_EQ(Set().At(L"cmb").listIndex, 0);

    EXPECT_TRUE(ui.IsVisible(L"frmScreen"));
    EXPECT_EQ(Screen().EffectNumber, 0);
    EXPECT_EQ(Screen().Params, EffectRow(0));
    EXPECT_EQ(Screen().ScreenW, 1024);
    EXPECT_EQ(Screen().ScreenH, 768);
    EXPECT_EQ(ui.ControlsOf(L"frmScreen").formWidth, 1024 * 15);
    EXPECT_EQ(ui.ControlsOf(L"frmScreen").formHeight, 768 * 15);
    EXPECT_FALSE(ui.ControlsOf(L"frmScreen").At(L"lblclick").visible);
    // The picture is taken before anything covers the screen, and the keys
    // are held only once it is covered.
    const std::vector<std::wstring> start = {L"snapshot", L"cover", L"keys on", L"animate"};
    EXPECT_EQ(Surface().log, start);
    EXPECT_TRUE(Surface().keysGuarded);
    EXPECT_TRUE(Surface().Animating());
}

TEST_F(Lock, TheAnimationMovesOneMeltBlockPerStepAndTheWindowStaysTheLocks) {
    OpenFromTile();
    ASSERT_EQ(Surface().RunSteps(2000), 2000);
    ASSERT_EQ(Surface().copies.size(), 2000u);
    for (const auto& c : Surface().copies) {
        ASSERT_EQ(c.width, 128);
        ASSERT_EQ(c.height, 128);
        ASSERT_GE(c.x, 0);
        ASSERT_LE(c.x, 896);
        ASSERT_LE(std::abs(c.toX - c.x), 1);
        ASSERT_LE(std::abs(c.toY - c.y), 1);
    }
    // The first step takes the foreground back from the settings window.
    EXPECT_EQ(std::count(ui.log.begin(), ui.log.end(), L"show frmScreen"), 2);
}

TEST_F(Lock, ShakeThenChangeLocksWithTwentyOne) {
    OpenFromTile();
    DoubleClick(L"Right");
    ASSERT_FALSE(ui.IsLoaded(L"frmScreen"));
    LockWith(21);
    ASSERT_TRUE(Locked());
    EXPECT_EQ(Screen().EffectNumber, 21);
    EXPECT_EQ(Screen().Params, EffectRow(21));
    Surface().RunSteps(50);
    for (const auto& c : Surface().copies) {
        EXPECT_EQ(c.width, 25);
        EXPECT_EQ(c.height, 255);
    }
    // A fresh window for each lock: nothing of "Shake" is left for the next.
    DoubleClick(L"Right");
    LockWith(3);
    Surface().RunSteps(50);
    for (const auto& c : Surface().copies) {
        EXPECT_EQ(c.toX, c.x - 1);
        EXPECT_EQ(c.toY, c.y - 1);
        EXPECT_EQ(c.width, 128);
    }
}

TEST_F(Lock, AClickShowsTheLabelAndAWrongPasswordLetsTheLockGoOn) {
    OpenFromTile();
    ui.Fire(L"frmScreen", {EventKind::Click, L""});
    EXPECT_TRUE(ui.ControlsOf(L"frmScreen").At(L"lblclick").visible);
    Surface().log.clear();
    DoubleClick(L"right");  // case matters
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(ui.prompts[0].type, ShownPrompt::Input);
    EXPECT_EQ(ui.prompts[0].text, L"请输入屏幕解锁密码");
    EXPECT_EQ(ui.prompts[0].title, L"很需要");
    EXPECT_EQ(ui.prompts[0].defaultText, L"");
    EXPECT_EQ(ui.prompts[1].type, ShownPrompt::Message);
    EXPECT_EQ(ui.prompts[1].text, L"不好意思，你的密码有误");
    EXPECT_EQ(ui.prompts[1].title, L"错误了");
    EXPECT_EQ(ui.prompts[1].flags, kOkOnly | kQuestion);
    EXPECT_TRUE(Locked());
    EXPECT_TRUE(ui.ControlsOf(L"frmScreen").At(L"lblclick").visible);
    // Still beneath the prompt, kept for repainting, then on again.
    const std::vector<std::wstring> around = {L"stop", L"hold", L"animate"};
    EXPECT_EQ(Surface().log, around);
    EXPECT_TRUE(Surface().keysGuarded);
    EXPECT_EQ(Surface().RunSteps(10), 10);

    DoubleClick(L"");  // cancelled
    EXPECT_TRUE(Locked());
    EXPECT_EQ(ui.prompts.back().text, L"不好意思，你的密码有误");
}

TEST_F(Lock, TheRightPasswordAfterAWrongOneUnlocksAndTheSettingsAreBack) {
    OpenFromTile();
    FakeSurface& s = Surface();
    DoubleClick(L"Wrong");
    DoubleClick(L"Right");
    EXPECT_FALSE(ui.IsLoaded(L"frmScreen"));
    EXPECT_FALSE(s.keysGuarded);
    EXPECT_FALSE(s.Animating());
    EXPECT_EQ(s.log.back(), L"keys off");
    EXPECT_TRUE(ui.IsVisible(L"frmSet"));
    EXPECT_EQ(ui.log.back(), L"show frmSet");
    EXPECT_FALSE(ui.IsVisible(L"frmMain"));
    EXPECT_EQ(ui.prompts.size(), 3u);  // prompt, message, prompt
}

TEST_F(Lock, ThePasswordIsReadOnceWhenTheLockStarts) {
    OpenFromTile();
    machine.AddFile(IniPath(), {L"Changed"});
    DoubleClick(L"Changed");
    EXPECT_TRUE(Locked());
    machine.unreadable.insert(IniPath());
    DoubleClick(L"Right");
    EXPECT_FALSE(ui.IsLoaded(L"frmScreen"));
    // The next lock reads the file again, and it cannot: no lock.
    ui.prompts.clear();
    LockWith(0);
    EXPECT_FALSE(ui.IsLoaded(L"frmScreen"));
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].text, kLockNoPassword);
}

TEST_F(Lock, NoPasswordThatCanBeReadMeansNoLockAndSaysWhy) {
    machine.unreadable.insert(IniPath());
    OpenFromTile();
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(ui.prompts[0].text, kScreenIniError);  // the check before the settings
    EXPECT_EQ(ui.prompts[1].text, kLockNoPassword);
    EXPECT_FALSE(ui.IsLoaded(L"frmScreen"));
    EXPECT_FALSE(Surface().Logged(L"snapshot"));
    EXPECT_FALSE(Surface().keysGuarded);
    // The settings are there to set a new password, and then it locks.
    EXPECT_TRUE(ui.IsVisible(L"frmSet"));
    machine.unreadable.clear();
    machine.files.clear();
    Set().SetText(L"txtPassword", -1, L"Fresh");
    ui.Fire(L"frmSet", {EventKind::Click, L"cmdChangePassword"});
    LockWith(5);
    ASSERT_TRUE(Locked());
    DoubleClick(L"Fresh");
    EXPECT_FALSE(ui.IsLoaded(L"frmScreen"));
}

TEST_F(Lock, ACancelledFirstPasswordLocksWithAnEmptyOneThatCancelOpens) {
    machine.files.clear();
    OpenFromTile();
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].text, L"请输入要锁定屏幕时的密码");
    EXPECT_EQ(machine.Lines(IniPath()), std::vector<std::wstring>{L""});
    ASSERT_TRUE(Locked());
    DoubleClick(L"x");
    EXPECT_TRUE(Locked());
    DoubleClick(L"");
    EXPECT_FALSE(ui.IsLoaded(L"frmScreen"));
    // And the next opening asks again.
    ui.Fire(L"frmSet", {EventKind::Click, L"cmdExit"});
    ui.prompts.clear();
    ui.inputAnswers = {L"later"};
    OpenFromTile();
    EXPECT_EQ(ui.prompts[0].text, L"请输入要锁定屏幕时的密码");
    EXPECT_EQ(machine.Lines(IniPath()), std::vector<std::wstring>{L"later"});
}

TEST_F(Lock, NothingButThePasswordEndsTheLock) {
    OpenFromTile();
    EXPECT_TRUE(CloseRefused(L"frmScreen"));
    EXPECT_TRUE(CloseRefused(L"frmSet"));
    EXPECT_TRUE(Locked());
    // A second lock cannot start over the first.
    const std::size_t screens = surfaces.size();
    ui.Fire(L"frmSet", {EventKind::Click, L"Command1"});
    EXPECT_EQ(surfaces.size(), screens);
    EXPECT_EQ(Surface().log.size(), 4u);

    DoubleClick(L"Right");
    EXPECT_FALSE(CloseRefused(L"frmSet"));
    ui.Fire(L"frmMain", {EventKind::Menu, L"mnuExit"});
    EXPECT_FALSE(ui.IsLoaded(L"frmMain"));
    // The settings window is not in the exit's list: it stays, and its own
    // exit brings the main window back, loaded afresh.
    ASSERT_TRUE(ui.IsVisible(L"frmSet"));
    ui.log.clear();
    ui.Fire(L"frmSet", {EventKind::Click, L"cmdExit"});
    EXPECT_FALSE(ui.IsLoaded(L"frmSet"));
    EXPECT_TRUE(ui.IsVisible(L"frmMain"));
    EXPECT_NE(std::find(ui.log.begin(), ui.log.end(), L"load frmMain"), ui.log.end());
}

TEST_F(Lock, HoweverTheLockWindowGoesTheKeysComeBack) {
    OpenFromTile();
    FakeSurface& s = Surface();
    ui.UnloadForm(L"frmScreen");  // the program being ended around it
    EXPECT_FALSE(s.keysGuarded);
    EXPECT_FALSE(s.Animating());
    EXPECT_EQ(s.RunSteps(1), 0);
}

TEST_F(Lock, WithoutASurfaceTheLockSaysSoAndTheSettingsStay) {
    withSurface = false;
    OpenFromTile();
    EXPECT_FALSE(ui.IsLoaded(L"frmScreen"));
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].text, kLockUnavailable);
    EXPECT_TRUE(ui.IsVisible(L"frmSet"));
    // A lock window that could not lock, left loaded by whoever loaded it,
    // does not stand in the way of the next lock.
    ui.LoadForm(L"frmScreen");
    ASSERT_TRUE(ui.IsLoaded(L"frmScreen"));
    withSurface = true;
    LockWith(2);
    EXPECT_TRUE(Locked());
}

TEST_F(Lock, ChangingThePasswordWritesItOrSaysWhyNot) {
    OpenFromTile();
    DoubleClick(L"Right");
    ui.prompts.clear();
    Set().SetText(L"txtPassword", -1, L"新密码");
    ui.Fire(L"frmSet", {EventKind::Click, L"cmdChangePassword"});
    EXPECT_EQ(machine.Lines(IniPath()), std::vector<std::wstring>{L"新密码"});
    EXPECT_TRUE(ui.prompts.empty());  // no confirmation

    machine.notAnsi.insert(L'☃');
    Set().SetText(L"txtPassword", -1, L"☃");
    ui.Fire(L"frmSet", {EventKind::Click, L"cmdChangePassword"});
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].text, kPasswordNotStorable);
    machine.unwritable.insert(IniPath());
    Set().SetText(L"txtPassword", -1, L"other");
    ui.Fire(L"frmSet", {EventKind::Click, L"cmdChangePassword"});
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(ui.prompts[1].text, kPasswordNotSaved);
    EXPECT_EQ(machine.Lines(IniPath()), std::vector<std::wstring>{L"新密码"});

    machine.unwritable.clear();
    Set().SetText(L"txtPassword", -1, L"");  // an empty password is a password that Cancel gives
    ui.Fire(L"frmSet", {EventKind::Click, L"cmdChangePassword"});
    EXPECT_EQ(machine.Lines(IniPath()), std::vector<std::wstring>{L""});
}

TEST_F(Lock, ExitLeavesTheSettingsForTheMainWindow) {
    OpenFromTile();
    DoubleClick(L"Right");
    ui.SetWindowState(L"frmMain", WindowState::Minimized);
    ui.Fire(L"frmSet", {EventKind::Click, L"cmdExit"});
    EXPECT_FALSE(ui.IsLoaded(L"frmSet"));
    EXPECT_TRUE(ui.IsVisible(L"frmMain"));
    EXPECT_EQ(ui.GetWindowState(L"frmMain"), WindowState::Normal);
}

TEST_F(Lock, ALockStartedWithoutTheSettingsKeepsTheDefaults) {
    ui.LoadForm(L"frmScreen");
    ASSERT_TRUE(Locked());
    EXPECT_EQ(Screen().EffectNumber, -1);
    EXPECT_EQ(Screen().Params, EffectRow(-1));
    DoubleClick(L"Right");
    EXPECT_FALSE(ui.IsLoaded(L"frmScreen"));
    EXPECT_FALSE(ui.IsLoaded(L"frmSet"));  // nothing to go back to
}

}  // namespace
}  // namespace lz::test
