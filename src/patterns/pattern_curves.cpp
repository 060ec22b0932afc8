// Pattern curves: the speed each slot allows at a given distance, and the lowest of them.
#include "../unit/vantor.h"
#include "lowest_pattern.h"
#include "slot_curves.h"

namespace vantor {

double CVantor::computePatternSpeed(uint32_t slot, int32_t value, double distance) {
    curves::rearmStopPair(*this, slot, value, distance);
    return curves::slotCurve(*this, slot, value, distance, curves::kEveryRoot);
}

int32_t CVantor::updateLowestPattern() {
    LowestPattern lowest;
    for (const double pattern : slotPatternSpeed) {
        lowest.keep(pattern);
    }
    lowestPatternSpeed = lowest.kmh();
    return patternDisplayValue(*this, lowestPatternSpeed);
}

} // namespace vantor
