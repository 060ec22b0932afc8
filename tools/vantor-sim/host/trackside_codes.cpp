#include "host/trackside_codes.h"

#include "support/text_format.h"
#include "transponders/coil_tables.h"

namespace vantor::sim {

bool knownTransponderType(int32_t type) {
    return coils::isTransponderType(type);
}

bool pairCoilCode(int32_t code) {
    return coils::coilCodeIndex(static_cast<uint32_t>(code)) >= 0;
}

std::optional<SpacingWindowInfo> windowHolding(double spacing) {
    for (const coils::SpacingWindow& w : coils::kSpacingWindows) {
        if (spacing > w.lower && spacing < w.upper) {
            return SpacingWindowInfo{w.lower, w.upper, w.nominal};
        }
    }
    return std::nullopt;
}

SpacingWindowInfo nearestWindow(double spacing) {
    SpacingWindowInfo best;
    double bestGap = 1e300;
    for (const coils::SpacingWindow& w : coils::kSpacingWindows) {
        const double gap = spacing <= w.lower   ? w.lower - spacing
                           : spacing >= w.upper ? spacing - w.upper
                                                : 0.0;
        if (gap < bestGap) {
            bestGap = gap;
            best = SpacingWindowInfo{w.lower, w.upper, w.nominal};
        }
    }
    return best;
}

std::string windowText(const SpacingWindowInfo& window) {
    return shortNumber(window.lower) + " to " + shortNumber(window.upper) + " m, for " +
           shortNumber(window.nominal) + " m";
}

} // namespace vantor::sim
