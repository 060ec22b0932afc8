// The lowest pattern speed in whole km/h, kept as the slots are swept, and its value on the
// cab's pattern display.
#pragma once

#include <cstdint>

#include "../unit/arithmetic.h"
#include "slot_curves.h"

namespace vantor {

class LowestPattern {
  public:
    // The whole km/h kept so far, at most 220.
    int32_t kmh() const { return kmh_; }

    // A pattern that is lower than the whole km/h kept so far replaces it, truncated toward
    // zero; a NaN pattern is never lower.
    void keep(double pattern) {
        if (kept_ > pattern) {
            kmh_ = truncateToInt32(pattern);
            kept_ = static_cast<double>(kmh_);
            bound_ = kmh_ >= 0 ? curves::rootBoundAt(kmh_) : curves::kEveryRoot;
        }
    }

    // Any pattern at or above the whole km/h kept so far leaves it as it is.
    curves::RootBound bound() const { return bound_; }

  private:
    static constexpr int32_t kCap = 220;

    int32_t kmh_ = kCap;
    double kept_ = kCap;
    curves::RootBound bound_ = curves::rootBoundAt(kCap);
};

// The pattern display: displayMaxSpeed km/h shows as displayResolution steps. A display scaled
// to 0 km/h shows 0 rather than an undefined quotient.
inline int32_t patternDisplayValue(const CVantor& unit, int32_t lowestKmh) {
    if (unit.displayMaxSpeed == 0) {
        return 0;
    }
    const double scale =
        static_cast<double>(unit.displayResolution) / static_cast<double>(unit.displayMaxSpeed);
    return truncateToInt32(scale * static_cast<double>(lowestKmh));
}

} // namespace vantor
