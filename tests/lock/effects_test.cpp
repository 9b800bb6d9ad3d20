// The effect table, CInt, the generator and the step formulas.
#include <gtest/gtest.h>

#include <limits>

#include "lock/effects.h"
#include "lock/lock_animation.h"
#include "fake_surface.h"

namespace lz::test {
namespace {

EffectParams P(int xr, int yr, int xo, int yo, int bw, int bh) {
    EffectParams p;
    p.XRange = std::int16_t(xr);
    p.YRange = std::int16_t(yr);
    p.XOffset = std::int16_t(xo);
    p.YOffset = std::int16_t(yo);
    p.BlockWidth = std::int16_t(bw);
    p.BlockHeight = std::int16_t(bh);
    return p;
}

TEST(Effects, TwentyTwoNamesInListOrder) {
    const auto& n = EffectNames();
    ASSERT_EQ(n.size(), 22u);
    EXPECT_EQ(n[0], L"Melt");
    EXPECT_EQ(n[3], L"Evaporate");
    EXPECT_EQ(n[10], L"Running Track");
    EXPECT_EQ(n[12], L"Super Fast stream");
    EXPECT_EQ(n[14], L"Powder+Water?");
    EXPECT_EQ(n[19], L"Fire!");
    EXPECT_EQ(n[21], L"Shake");
}

TEST(Effects, RowsOverrideOnlyWhatTheyNameAndOtherNumbersKeepTheDefaults) {
    const EffectParams defaults = P(0, 0, 1, 1, 128, 128);
    for (int other : {-1, 22, 23, 100, -32768, 32767}) EXPECT_EQ(EffectRow(other), defaults) << other;
    EXPECT_EQ(EffectRow(0), P(2, 2, 1, 1, 128, 128));
    EXPECT_EQ(EffectRow(3), P(0, 0, 1, 1, 128, 128));
    EXPECT_EQ(EffectRow(6), P(10000, 10000, 1, 1, 128, 128));
    EXPECT_EQ(EffectRow(10), P(0, 0, 10, 10, 128, 128));
    EXPECT_EQ(EffectRow(12), P(2, 2, -100, 2, 128, 128));
    EXPECT_EQ(EffectRow(13), P(2, 2, 1, 1, 100, 10));
    EXPECT_EQ(EffectRow(15), P(50, 10, 80, 10, 1, 25));
    EXPECT_EQ(EffectRow(17), P(1, 1, -2, 10, 1, 1));
    EXPECT_EQ(EffectRow(21), P(25, 25, 250, 25, 25, 255));
}

TEST(Effects, CIntRoundsHalvesToEvenAndRefusesWhatLeavesSixteenBits) {
    EXPECT_EQ(CInt(0.5f), 0);
    EXPECT_EQ(CInt(1.5f), 2);
    EXPECT_EQ(CInt(2.5f), 2);
    EXPECT_EQ(CInt(2.4999f), 2);
    EXPECT_EQ(CInt(2.5001f), 3);
    EXPECT_EQ(CInt(-0.5f), 0);
    EXPECT_EQ(CInt(-1.5f), -2);
    EXPECT_EQ(CInt(-2.5f), -2);
    EXPECT_EQ(CInt(-2.6f), -3);
    EXPECT_EQ(CInt(32767.4f), 32767);
    EXPECT_EQ(CInt(32767.5f), std::nullopt);  // rounds to 32768
    EXPECT_EQ(CInt(-32768.5f), -32768);       // rounds to the even -32768
    EXPECT_EQ(CInt(-32769.0f), std::nullopt);
    EXPECT_EQ(CInt(std::numeric_limits<float>::quiet_NaN()), std::nullopt);
    EXPECT_EQ(CInt(std::numeric_limits<float>::infinity()), std::nullopt);
}

TEST(Effects, GeneratorIsTheClassicRndAndStaysInTheUnitInterval) {
    VbRandom classic;  // the runtime's seed before any Randomize
    EXPECT_FLOAT_EQ(classic.Next(), 0.7055475f);
    EXPECT_FLOAT_EQ(classic.Next(), 0.533424f);
    EXPECT_FLOAT_EQ(classic.Next(), 0.5795186f);
    VbRandom r(VbRandom::SeedFromTime(23, 59, 59));
    double sum = 0;
    for (int i = 0; i < 100000; ++i) {
        const float v = r.Next();
        ASSERT_GE(v, 0.0f);
        ASSERT_LT(v, 1.0f);
        sum += v;
    }
    EXPECT_NEAR(sum / 100000, 0.5, 0.01);
    EXPECT_NE(VbRandom::SeedFromTime(10, 0, 0), VbRandom::SeedFromTime(10, 0, 1));
}

TEST(Effects, ProductsAreRoundedToSinglePrecisionBeforeCInt) {
    // 896 × r is 260.50000763 exactly; in single precision it is 260.5,
    // which CInt takes to the even 260 (double precision would give 261).
    const float r = 4877751.0f / 16777216.0f;
    ASSERT_GT(896.0 * double(r), 260.5);
    const BlockMove m = NextBlock(EffectRow(0), 1024, 1024, r, r, 0.0f, 0.0f);
    EXPECT_EQ(m.x, 260);
    EXPECT_EQ(m.y, 260);
    // And the margin is 128 whatever the block: 0.999.. of the span at most.
    const BlockMove far = NextBlock(EffectRow(21), 1024, 768, 0.99999994f, 0.99999994f, 0.0f, 0.0f);
    EXPECT_EQ(far.x, 896);
    EXPECT_EQ(far.y, 640);
}

// Every block of `effect` over many random steps, on a 1024 × 768 screen.
std::vector<BlockMove> Moves(int effect, int steps = 20000, std::int16_t w = 1024, std::int16_t h = 768) {
    FakeSurface s;
    s.screen = {0, 0, 1, 1};
    LockAnimation a(s, EffectRow(effect), w, h, 12345);
    std::vector<BlockMove> out;
    for (int i = 0; i < steps; ++i) out.push_back(a.Step());
    return out;
}

TEST(Effects, EvaporateAndRunningTrackMoveEveryBlockByExactlyTheirOffset) {
    for (const BlockMove& m : Moves(3)) {
        ASSERT_EQ(m.dx, -1);
        ASSERT_EQ(m.dy, -1);
    }
    for (const BlockMove& m : Moves(10)) {
        ASSERT_EQ(m.dx, -10);
        ASSERT_EQ(m.dy, -10);
    }
}

TEST(Effects, SuperFastStreamGoesAHundredToTheRightAndChecksFlingFar) {
    int seen100 = 0, seen102 = 0;
    for (const BlockMove& m : Moves(12)) {
        ASSERT_GE(m.dx, 100);
        ASSERT_LE(m.dx, 102);
        ASSERT_GE(m.dy, -2);
        ASSERT_LE(m.dy, 0);
        seen100 += m.dx == 100;
        seen102 += m.dx == 102;
        ASSERT_GE(m.x, 0);
        ASSERT_LE(m.x, 896);
        ASSERT_GE(m.y, 0);
        ASSERT_LE(m.y, 640);
    }
    EXPECT_GT(seen100, 0);
    EXPECT_GT(seen102, 0);
    int offScreen = 0;
    for (const BlockMove& m : Moves(6)) {
        ASSERT_GE(m.dx, -1);
        ASSERT_LE(m.dx, 9999);
        offScreen += m.ToX() >= 1024 || m.ToY() >= 768;
    }
    EXPECT_GT(offScreen, 18000);  // most of them
}

TEST(Effects, ASumBeyondSixteenBitsCopiesNothingInsteadOfStopping) {
    // A 32767-pixel screen with "Checks": x + dx can pass 32767.
    FakeSurface s;
    s.screen = {0, 0, 1, 1};
    LockAnimation a(s, EffectRow(6), 32767, 32767, 99);
    int unfit = 0;
    for (int i = 0; i < 5000; ++i) unfit += !a.Step().fits;
    EXPECT_GT(unfit, 0);
    EXPECT_EQ(int(s.copies.size()), 5000 - unfit);
    EXPECT_EQ(a.Steps(), 5000u);
    EXPECT_EQ(ScreenPixels(40000), 32767);
    EXPECT_EQ(ScreenPixels(-3), 0);
    EXPECT_EQ(ScreenPixels(1280), 1280);
}

}  // namespace
}  // namespace lz::test
