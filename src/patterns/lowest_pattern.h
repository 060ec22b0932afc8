// The lowest pattern speed in whole km/h, kept as the slots are swept, and its value on the
// cab's pattern display.
#pragma once

#include <cstdint>

#include "../unit/arithmetic.h"
#include "slot_curves.h"

namespace vantor {

class LowestPattern {
  public:
    // The lowest pattern never lies above it: at 220 km/h the brake comes whatever the slots give.
    static constexpr int32_t kCap = 220;

    // The whole km/h kept so far, at most 220.
    int32_t kmh() const { return kmh_; }

    // A pattern that is lower than the whole km/h kept so far replaces it, truncated toward
    // zero; a NaN pattern is never lower. What is kept never lies above the cap, so a pattern
    // at or above it is passed over at once (for a slot's constant, where it is compiled).
    void keep(double pattern) {
        if (pattern < kCap && kept_ > pattern) {
            kmh_ = truncateToInt32(pattern);
            kept_ = static_cast<double>(kmh_);
            bound_ = kmh_ >= 0 ? curves::rootBoundAt(kmh_ + 1) : curves::kEveryRoot;
        }
    }

    // One whole km/h above the one kept so far. A pattern at or above it leaves the kept one as
    // it is, and lies above the lowest pattern of all, which is below it: a slot may hold the
    // bound in place of its exact speed, and the lowest of the slots' speeds in the unit's record
    // still names the slot that gives the lowest pattern. Until a pattern below the cap is kept,
    // every root is taken: the slots above the cap keep their order.
    curves::RootBound bound() const { return bound_; }

  private:
    int32_t kmh_ = kCap;
    double kept_ = kCap;
    curves::RootBound bound_ = curves::kEveryRoot;
};

// The pattern display: displayMaxSpeed km/h shows as displayResolution steps.
inline int32_t patternDisplayValue(const CVantor& unit, int32_t lowestKmh) {
    return truncateToInt32(unit.displayScale * static_cast<double>(lowestKmh));
}

} // namespace vantor
