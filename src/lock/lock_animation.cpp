#include "lock/lock_animation.h"

namespace lz {

BlockMove LockAnimation::Step() {
    // Drawn one by one: the order of the four numbers is part of the effect.
    const float r1 = random_.Next();
    const float r2 = random_.Next();
    const float r3 = random_.Next();
    const float r4 = random_.Next();
    const BlockMove m = NextBlock(params_, screenW_, screenH_, r1, r2, r3, r4);
    if (m.fits) surface_.CopyBlock(m.x, m.y, params_.BlockWidth, params_.BlockHeight, m.ToX(), m.ToY());
    ++steps_;
    return m;
}

}  // namespace lz
