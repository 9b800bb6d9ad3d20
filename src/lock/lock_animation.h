// The lock's animation, one block per step, on a lock surface.
#pragma once
#include <cstdint>

#include "lock/effects.h"
#include "lock/lock_surface.h"

namespace lz {

class LockAnimation {
public:
    LockAnimation(LockSurface& surface, const EffectParams& params, std::int16_t screenW, std::int16_t screenH,
                  std::uint32_t seed)
        : surface_(surface), params_(params), screenW_(screenW), screenH_(screenH), random_(seed) {}
    // Moves one block; returns what it did.
    BlockMove Step();
    std::uint64_t Steps() const { return steps_; }

private:
    LockSurface& surface_;
    EffectParams params_;
    std::int16_t screenW_, screenH_;
    VbRandom random_;
    std::uint64_t steps_ = 0;
};

}  // namespace lz
