// The keys the lock keeps from the system.
#include <gtest/gtest.h>

#include "lock/keyfilter.h"

namespace lz::test {
namespace {

KeyStroke Down(unsigned vk, bool alt = false, bool ctrl = false) { return {vk, false, alt, ctrl, false}; }
KeyStroke Up(unsigned vk, bool alt = false, bool ctrl = false) { return {vk, true, alt, ctrl, false}; }

TEST(KeyFilter, WindowsKeysAreKeptPressAndReleaseAlike) {
    SwitchKeyFilter f;
    for (unsigned win : {0x5Bu, 0x5Cu}) {
        EXPECT_TRUE(f.Swallow(Down(win)));
        EXPECT_TRUE(f.Swallow(Down(win)));  // held: repeats
        EXPECT_TRUE(f.Swallow(Up(win)));
    }
    // M of Windows+M goes through once the Windows key is kept.
    EXPECT_FALSE(f.Swallow(Down('M')));
    EXPECT_FALSE(f.Swallow(Up('M')));
}

TEST(KeyFilter, AReleaseWhosePressWentThroughGoesThroughToo) {
    SwitchKeyFilter f;  // the Windows key was down before the lock began
    EXPECT_FALSE(f.Swallow(Up(0x5B)));
    EXPECT_FALSE(f.Swallow(Up(0x09, true)));
}

TEST(KeyFilter, SwitchingCombinationsAreKeptAndTheirPartsAlone) {
    SwitchKeyFilter f;
    EXPECT_FALSE(f.Swallow(Down(0x12)));           // Alt itself
    EXPECT_TRUE(f.Swallow(Down(0x09, true)));      // Alt+Tab
    EXPECT_FALSE(f.Swallow(Up(0x12)));             // Alt released first
    EXPECT_TRUE(f.Swallow(Up(0x09)));              // then Tab: its press was kept
    EXPECT_FALSE(f.Swallow(Down(0x09)));           // Tab alone moves the focus
    EXPECT_FALSE(f.Swallow(Up(0x09)));
    EXPECT_TRUE(f.Swallow(Down(0x1B, false, true)));  // Ctrl+Esc: the Start menu
    EXPECT_TRUE(f.Swallow(Up(0x1B, false, true)));
    EXPECT_TRUE(f.Swallow(Down(0x1B, true)));         // Alt+Esc
    EXPECT_TRUE(f.Swallow(Up(0x1B, true)));
    EXPECT_FALSE(f.Swallow(Down(0x1B)));  // Esc alone cancels the password prompt
    EXPECT_FALSE(f.Swallow(Up(0x1B)));
    EXPECT_FALSE(f.Swallow(Down('A', true)));
    EXPECT_FALSE(f.Swallow(Down(0x73, true)));  // Alt+F4 reaches the window, which refuses to close
}

TEST(KeyFilter, ModifiersSeenGoingDownCountEvenWhenTheSystemLags) {
    SwitchKeyFilter f;
    EXPECT_FALSE(f.Swallow(Down(0xA2)));  // left Ctrl, as the hook reports it
    EXPECT_TRUE(f.Swallow(Down(0x1B)));   // the system does not yet say Ctrl is down
    EXPECT_TRUE(f.Swallow(Up(0x1B)));
    EXPECT_FALSE(f.Swallow(Up(0xA2)));
    EXPECT_FALSE(f.Swallow(Down(0x1B)));  // released: Esc alone again
    EXPECT_FALSE(f.Swallow(Up(0x1B)));
    KeyStroke alt = Down(0xA5);  // right Alt, sent by a program: still counted
    alt.injected = true;
    EXPECT_FALSE(f.Swallow(alt));
    EXPECT_TRUE(f.Swallow(Down(0x09)));
}

TEST(KeyFilter, AHeldKeyKeepsTheFateOfItsFirstPress) {
    SwitchKeyFilter f;
    // Ctrl+Esc, Ctrl let go while Esc repeats: the repeats and the release stay kept.
    EXPECT_FALSE(f.Swallow(Down(0xA2)));
    EXPECT_TRUE(f.Swallow(Down(0x1B)));
    EXPECT_FALSE(f.Swallow(Up(0xA2)));
    EXPECT_TRUE(f.Swallow(Down(0x1B)));
    EXPECT_TRUE(f.Swallow(Up(0x1B)));
    // Esc held, then Ctrl: the system has the press, so it gets the rest too.
    EXPECT_FALSE(f.Swallow(Down(0x1B)));
    EXPECT_FALSE(f.Swallow(Down(0xA2)));
    EXPECT_FALSE(f.Swallow(Down(0x1B)));
    EXPECT_FALSE(f.Swallow(Up(0x1B)));
    EXPECT_FALSE(f.Swallow(Up(0xA2)));
}

TEST(KeyFilter, KeysSentByProgramsPass) {
    SwitchKeyFilter f;
    KeyStroke win = Down(0x5B);
    win.injected = true;
    EXPECT_FALSE(f.Swallow(win));
    win.up = true;
    EXPECT_FALSE(f.Swallow(win));
}

}  // namespace
}  // namespace lz::test
