// The curve of each pattern slot: the speed it allows at a given distance. Inline, so that the
// pattern supervision's sweeps over the slots compile to straight-line code for each slot.
#pragma once

#include <cmath>
#include <cstdint>

#include "../unit/vantor.h"

namespace vantor::curves {

inline constexpr double kCurveFactor = 7.2; // 2 x 3.6: km/h and metres
inline constexpr double kNoPattern = 80000.0;
inline constexpr double kMaxSpeedMargin = 10.0;
inline constexpr double kStopPointFloor = 65.0;
inline constexpr double kStopFloor = 10.0;
inline constexpr double kFixedStopLimit = 15.0;
inline constexpr double kTargetReleaseDistance = -55.0;
inline constexpr double kRearmDistance = -80.0;
inline constexpr double kRearmedDistance = 800000.0;

// max(x, y) that keeps a NaN y: a curve behind its point constrains nothing, floor or not.
// The same rule leaves a NaN distance NaN where the target curves clamp at 0.
inline double floorOf(double floor, double curve) {
    return floor > curve ? floor : curve;
}

// The unit's computePatternSpeed. Slots 1 and 4 may re-arm their stop pairs in the unit.
inline double slotCurve(CVantor& unit, uint32_t slot, int32_t value, double distance) {
    const double a = unit.deceleration;
    const double maxPattern = unit.maxSpeed + kMaxSpeedMargin;
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
        if (distance < kRearmDistance && unit.slotValue[1] == 2) {
            for (int i = 0; i <= 2; ++i) {
                unit.slotValue[i] = 0;
                unit.slotDistance[i] = kRearmedDistance;
            }
            value = 0;
        }
        if (value == 0) {
            return maxPattern;
        }
        if (unit.slot1FixedLimit) {
            return kFixedStopLimit;
        }
        // A second stop point ahead of the first one governs the primary stop pattern.
        if (unit.slotValue[2] != 0) {
            return floorOf(kStopFloor, stopCurve(unit.slotDistance[2]));
        }
        return floorOf(kStopFloor, stopCurve(distance));
    case 2:
        return maxPattern;
    case 4:
        if (distance < kRearmDistance && unit.slotValue[4] == 2) {
            unit.slotValue[3] = 0;
            unit.slotDistance[3] = kRearmedDistance;
            distance = kRearmedDistance;
        }
        if (unit.slot4FixedLimit) {
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
        return floorOf(static_cast<double>(value), targetCurve(value, floorOf(0.0, distance)));
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

} // namespace vantor::curves
