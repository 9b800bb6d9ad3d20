#include "lock/effects.h"

#include <cmath>

namespace lz {

namespace {

// The rows of the effect table; -1 in a field keeps the default. (No row sets
// a field to -1 on purpose: the offsets that are negative are -100 and -2.)
constexpr int kKeep = -1;
struct Row {
    int xRange, yRange, xOffset, yOffset, blockWidth, blockHeight;
};
const Row kRows[22] = {
    {2, 2, kKeep, kKeep, kKeep, kKeep},         // Melt
    {20, 20, kKeep, kKeep, kKeep, kKeep},       // Powder Blow
    {9, 9, kKeep, kKeep, kKeep, kKeep},         // Powder
    {0, 0, kKeep, kKeep, kKeep, kKeep},         // Evaporate
    {3, 3, kKeep, kKeep, kKeep, kKeep},         // Water Color
    {5, 5, kKeep, kKeep, kKeep, kKeep},         // Accumulate
    {10000, 10000, kKeep, kKeep, kKeep, kKeep}, // Checks
    {1000, 1000, kKeep, kKeep, kKeep, kKeep},   // Extreme Checks
    {10, 2, kKeep, kKeep, kKeep, kKeep},        // Wind Blow
    {2, 10, kKeep, kKeep, kKeep, kKeep},        // Pour Down
    {kKeep, kKeep, 10, 10, kKeep, kKeep},       // Running Track
    {20, 10, 10, 10, kKeep, kKeep},             // Crazy Smoke
    {2, 2, -100, 2, kKeep, kKeep},              // Super Fast stream
    {2, 2, kKeep, kKeep, 100, 10},              // Moving water
    {10, 8, kKeep, kKeep, 100, 10},             // Powder+Water?
    {50, 10, 80, 10, 1, 25},                    // Dissolve
    {2, 10, 5, 10, 12, 1},                      // Blinds
    {1, 1, -2, 10, 1, 1},                       // Stars
    {5, 5, -2, 10, 8, 4},                       // Arrows
    {2, 10, -2, 10, 200, 4},                    // Fire!
    {30, 30, 10, 10, 10, 10},                   // Crushed+Grained
    {25, 25, 250, 25, 25, 255},                 // Shake
};

void Apply(std::int16_t& field, int value) {
    if (value != kKeep) field = static_cast<std::int16_t>(value);
}

}  // namespace

const std::vector<std::wstring>& EffectNames() {
    static const std::vector<std::wstring> names = {
        L"Melt",          L"Powder Blow",       L"Powder",        L"Evaporate",     L"Water Color",
        L"Accumulate",    L"Checks",            L"Extreme Checks", L"Wind Blow",    L"Pour Down",
        L"Running Track", L"Crazy Smoke",       L"Super Fast stream", L"Moving water", L"Powder+Water?",
        L"Dissolve",      L"Blinds",            L"Stars",         L"Arrows",        L"Fire!",
        L"Crushed+Grained", L"Shake",
    };
    return names;
}

EffectParams EffectRow(int number) {
    EffectParams p;
    if (number < 0 || number >= 22) return p;
    const Row& r = kRows[number];
    Apply(p.XRange, r.xRange);
    Apply(p.YRange, r.yRange);
    Apply(p.XOffset, r.xOffset);
    Apply(p.YOffset, r.yOffset);
    Apply(p.BlockWidth, r.blockWidth);
    Apply(p.BlockHeight, r.blockHeight);
    return p;
}

std::optional<std::int16_t> CInt(float value) {
    const double v = value;  // exact
    if (!std::isfinite(v)) return std::nullopt;
    double whole = std::floor(v);
    const double fraction = v - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    if (whole < -32768.0 || whole > 32767.0) return std::nullopt;
    return static_cast<std::int16_t>(whole);
}

std::uint32_t VbRandom::SeedFromTime(int hour, int minute, int second) {
    const std::uint32_t seconds = std::uint32_t(hour * 3600 + minute * 60 + second);
    return (seconds * 2654435761u ^ (seconds << 7)) & 0xFFFFFF;
}

float VbRandom::Next() {
    state_ = (state_ * 1140671485u + 12820163u) & 0xFFFFFF;
    return float(state_) / 16777216.0f;
}

BlockMove NextBlock(const EffectParams& p, std::int16_t screenW, std::int16_t screenH, float r1, float r2, float r3,
                    float r4) {
    BlockMove m;
    // Each product and difference is rounded to single precision on its own,
    // as the classic runtime computes an Integer times a Single.
    const float spanX = float(screenW - 128) * r1;
    const float spanY = float(screenH - 128) * r2;
    const float productX = float(p.XRange) * r3;
    const float offsetX = productX - float(p.XOffset);
    const float productY = float(p.YRange) * r4;
    const float offsetY = productY - float(p.YOffset);
    auto x = CInt(spanX), y = CInt(spanY), dx = CInt(offsetX), dy = CInt(offsetY);
    if (!x || !y || !dx || !dy) {
        m.fits = false;
        return m;
    }
    m.x = *x;
    m.y = *y;
    m.dx = *dx;
    m.dy = *dy;
    const int toX = m.x + m.dx, toY = m.y + m.dy;
    m.fits = toX >= -32768 && toX <= 32767 && toY >= -32768 && toY <= 32767;
    return m;
}

std::int16_t ScreenPixels(int pixels) {
    if (pixels < 0) return 0;
    return static_cast<std::int16_t>(pixels > 32767 ? 32767 : pixels);
}

}  // namespace lz
