#include "host/trackside_codes.h"

#include <iterator>

#include "support/text_format.h"
#include "transponders/coil_tables.h"

namespace vantor::sim {

bool knownTransponderType(int32_t type) {
    return coils::isTransponderType(type);
}

bool pairCoilCode(int32_t code) {
    return coils::coilCodeIndex(static_cast<uint32_t>(code)) >= 0;
}

uint32_t pairTargetSpeed(int32_t secondCode, float nominal) {
    for (size_t column = 0; column < std::size(coils::kCoilCodes); ++column) {
        if (static_cast<uint32_t>(secondCode) != coils::kCoilCodes[column]) {
            continue;
        }
        for (size_t row = 0; row < std::size(coils::kPairSpacings); ++row) {
            if (coils::kPairSpacings[row] == nominal) {
                return coils::kPairSpeeds[row][column];
            }
        }
    }
    return 0;
}

std::optional<double> distanceCodeDistance(float nominal) {
    for (const coils::StopSelection& code : coils::kStopSelections) {
        if (code.spacing == nominal) {
            return coils::kStopDistances[code.select];
        }
    }
    return std::nullopt;
}

std::string distanceCodesText() {
    std::string text;
    const size_t count = std::size(coils::kStopSelections);
    for (size_t i = 0; i < count; ++i) {
        const coils::StopSelection& code = coils::kStopSelections[i];
        const std::optional<SpacingWindowInfo> window = windowHolding(code.spacing);
        text += (i == 0           ? ""
                 : i + 1 == count ? " or "
                                  : ", ") +
                shortNumber(code.spacing) + " m (" + shortNumber(window->lower) + " to " +
                shortNumber(window->upper) + " m) for " +
                shortNumber(coils::kStopDistances[code.select]) + " m";
    }
    return text;
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
