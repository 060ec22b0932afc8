// Pattern curves: the speed each slot allows at a given distance, and the lowest of them.
#include <cmath>

#include "../unit/arithmetic.h"
#include "../unit/vantor.h"

namespace vantor {

namespace {

constexpr double kCurveFactor = 7.2; // 2 x 3.6: km/h and metres
constexpr double kNoPattern = 80000.0;
constexpr double kMaxSpeedMargin = 10.0;
constexpr double kStopPointFloor = 65.0;
constexpr double kStopFloor = 10.0;
constexpr double kFixedStopLimit = 15.0;
constexpr double kTargetReleaseDistance = -55.0;
constexpr double kRearmDistance = -80.0;
constexpr double kRearmedDistance = 800000.0;
constexpr int32_t kLowestPatternCap = 220;

// max(x, y) that keeps a NaN y: a curve behind its point constrains nothing, floor or not.
// The same rule leaves a NaN distance NaN where the target curves clamp at 0.
double floorOf(double floor, double curve) { return floor > curve ? floor : curve; }

} // namespace

double CVantor::computePatternSpeed(uint32_t slot, int32_t value, double distance) {
    const double a = deceleration;
    const double maxPattern = maxSpeed + kMaxSpeedMargin;
    const auto stopCurve = [a](double d) { return std::sqrt(d * a * kCurveFactor); };
    const auto targetCurve = [a](int32_t target, double d) {
        const double t = static_cast<double>(target);
        return std::sqrt(d * a * kCurveFactor + t * t);
    };

    switch (slot) {
    case 0:
    case 3:
        return floorOf(kStopPointFloor, stopCurve(distance));
    case 1:
        if (distance < kRearmDistance && slotValue[1] == 2) {
            for (int i = 0; i <= 2; ++i) {
                slotValue[i] = 0;
                slotDistance[i] = kRearmedDistance;
            }
            value = 0;
        }
        if (value == 0) {
            return maxPattern;
        }
        if (slot1FixedLimit) {
            return kFixedStopLimit;
        }
        // A second stop point ahead of the first one governs the primary stop pattern.
        if (slotValue[2] != 0) {
            return floorOf(kStopFloor, stopCurve(slotDistance[2]));
        }
        return floorOf(kStopFloor, stopCurve(distance));
    case 2:
        return maxPattern;
    case 4:
        if (distance < kRearmDistance && slotValue[4] == 2) {
            slotValue[3] = 0;
            slotDistance[3] = kRearmedDistance;
            distance = kRearmedDistance;
        }
        if (slot4FixedLimit) {
            return kFixedStopLimit;
        }
        return floorOf(kStopFloor, stopCurve(distance));
    case 5:
    case 6:
    case 9:
    case 10:
    case 11:
    case 12:
        if (value == 0) {
            return kNoPattern;
        }
        return targetCurve(value, floorOf(0.0, distance));
    case 7:
    case 8:
        if (distance < kTargetReleaseDistance || value == 0) {
            return kNoPattern;
        }
        return floorOf(static_cast<double>(value),
                       targetCurve(value, floorOf(0.0, distance)));
    case 13:
        if (value == 1) {
            return 30.0;
        }
        return value == 2 ? 50.0 : kNoPattern;
    case 14:
        return value != 0 ? 25.0 : kNoPattern;
    default:
        return maxPattern;
    }
}

int32_t CVantor::updateLowestPattern() {
    int32_t lowest = kLowestPatternCap;
    lowestPatternSpeed = lowest;
    for (int i = 0; i < kSlotCount; ++i) {
        if (static_cast<double>(lowest) > slotPatternSpeed[i]) {
            lowest = truncateToInt32(slotPatternSpeed[i]);
            lowestPatternSpeed = lowest;
        }
    }
    // A display scaled to 0 km/h shows 0 rather than an undefined quotient.
    if (displayMaxSpeed == 0) {
        return 0;
    }
    const double scale = static_cast<double>(displayResolution) / static_cast<double>(displayMaxSpeed);
    return truncateToInt32(scale * static_cast<double>(lowest));
}

} // namespace vantor
