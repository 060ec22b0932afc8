// Pattern curves: the speed each slot allows at a given distance, and the lowest of them.
#include "../unit/arithmetic.h"
#include "../unit/vantor.h"
#include "slot_curves.h"

namespace vantor {

namespace {

constexpr int32_t kLowestPatternCap = 220;

} // namespace

double CVantor::computePatternSpeed(uint32_t slot, int32_t value, double distance) {
    return curves::slotCurve(*this, slot, value, distance);
}

int32_t CVantor::updateLowestPattern() {
    int32_t lowest = kLowestPatternCap;
    // The comparisons are with the whole km/h kept so far, as a double.
    double lowestKept = kLowestPatternCap;
    for (const double pattern : slotPatternSpeed) {
        if (lowestKept > pattern) {
            lowest = truncateToInt32(pattern);
            lowestKept = static_cast<double>(lowest);
        }
    }
    lowestPatternSpeed = lowest;
    // A display scaled to 0 km/h shows 0 rather than an undefined quotient.
    if (displayMaxSpeed == 0) {
        return 0;
    }
    const double scale =
        static_cast<double>(displayResolution) / static_cast<double>(displayMaxSpeed);
    return truncateToInt32(scale * static_cast<double>(lowest));
}

} // namespace vantor
