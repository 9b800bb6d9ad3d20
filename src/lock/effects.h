// The lock's 22 transition effects and the arithmetic of one animation step:
// a block of the picture copied onto itself at a small random offset. The
// numbers are those of the classic runtime: 16-bit integers, single-precision
// products and CInt's rounding of halves to the even neighbour.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lz {

// The effect list of the settings window, in order; the position is the effect number.
const std::vector<std::wstring>& EffectNames();

struct EffectParams {
    std::int16_t XRange = 0, YRange = 0;    // spread of the random offset, pixels
    std::int16_t XOffset = 1, YOffset = 1;  // subtracted from it
    std::int16_t BlockWidth = 128, BlockHeight = 128;
    bool operator==(const EffectParams& o) const {
        return XRange == o.XRange && YRange == o.YRange && XOffset == o.XOffset && YOffset == o.YOffset &&
               BlockWidth == o.BlockWidth && BlockHeight == o.BlockHeight;
    }
};

// The defaults with the row of `number` applied; any other number keeps the defaults.
EffectParams EffectRow(int number);

// CInt: the nearest integer, halves to the even neighbour; nullopt when the
// result does not fit 16 bits (where the classic runtime stops with "Overflow").
std::optional<std::int16_t> CInt(float value);

// The classic runtime's Rnd: a 24-bit linear congruential generator, so every
// value is exact in single precision, uniform in [0, 1).
class VbRandom {
public:
    explicit VbRandom(std::uint32_t seed = 0x50000) : state_(seed & 0xFFFFFF) {}
    // From the time of day, as Randomize does with the clock.
    static std::uint32_t SeedFromTime(int hour, int minute, int second);
    float Next();

private:
    std::uint32_t state_;
};

// One step of the animation: copy the block at (x, y) to (x + dx, y + dy).
struct BlockMove {
    std::int16_t x = 0, y = 0, dx = 0, dy = 0;
    // False when a value left 16 bits; the step then copies nothing (the
    // block would have landed far outside any screen).
    bool fits = true;
    int ToX() const { return x + dx; }
    int ToY() const { return y + dy; }
};

// r1 .. r4 are fresh random numbers in [0, 1), drawn in this order. The
// 128-pixel margin is fixed: it does not follow the block size.
BlockMove NextBlock(const EffectParams& p, std::int16_t screenW, std::int16_t screenH, float r1, float r2, float r3,
                    float r4);

// A screen dimension in pixels as the lock keeps it: 16 bits, at most 32767.
std::int16_t ScreenPixels(int pixels);

}  // namespace lz
