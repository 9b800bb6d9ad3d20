// The lock's arithmetic and its key filter on any input: CInt stays within
// half a unit, a step that fits stays within 16 bits, and the filter never
// keeps a modifier, nor the release of a key whose press went through.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>

#include "lock/effects.h"
#include "lock/keyfilter.h"

namespace {

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    template <class T>
    T Take() {
        T v{};
        const std::size_t n = size < sizeof v ? size : sizeof v;
        std::memcpy(&v, data, n);
        data += n;
        size -= n;
        return v;
    }
};

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in{data, size};

    const float any = in.Take<float>();
    if (auto r = lz::CInt(any)) Check(std::fabs(double(*r) - double(any)) <= 0.5);

    lz::EffectParams p = lz::EffectRow(in.Take<std::int32_t>());
    if (in.Take<std::uint8_t>() & 1) {  // any row at all, not only the table's
        p.XRange = in.Take<std::int16_t>();
        p.YRange = in.Take<std::int16_t>();
        p.XOffset = in.Take<std::int16_t>();
        p.YOffset = in.Take<std::int16_t>();
    }
    const std::int16_t w = lz::ScreenPixels(in.Take<std::int32_t>());
    const std::int16_t h = lz::ScreenPixels(in.Take<std::int32_t>());
    float r[4];
    for (float& v : r) v = float(in.Take<std::uint32_t>() & 0xFFFFFF) / 16777216.0f;
    const lz::BlockMove m = lz::NextBlock(p, w, h, r[0], r[1], r[2], r[3]);
    if (m.fits) {
        Check(m.ToX() >= -32768 && m.ToX() <= 32767 && m.ToY() >= -32768 && m.ToY() <= 32767);
        Check(m.x >= std::min(0, w - 128) && m.x <= std::max(0, w - 128));
    }

    lz::SwitchKeyFilter filter;
    std::map<unsigned, bool> pressPassed;
    while (in.size >= 2) {
        const std::uint8_t vk = in.Take<std::uint8_t>(), bits = in.Take<std::uint8_t>();
        lz::KeyStroke k{vk, (bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0};
        const bool kept = filter.Swallow(k);
        const bool modifier = vk == 0x11 || vk == 0x12 || (vk >= 0xA0 && vk <= 0xA5);
        if (modifier) Check(!kept);
        if (k.up && pressPassed.count(vk) && pressPassed[vk]) Check(!kept);
        if (!k.up) pressPassed[vk] = !kept;
    }
    return 0;
}
