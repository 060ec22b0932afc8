// The curve of each pattern slot: the speed it allows at a given distance. Inline, so that the
// pattern supervision's sweeps over the slots compile to straight-line code for each slot.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "../unit/vantor.h"

namespace vantor::curves {

inline constexpr double kCurveFactor = 7.2; // 2 x 3.6: km/h and metres
inline constexpr double kNoPattern = 80000.0;
inline constexpr double kMaxSpeedMargin = 10.0;
inline constexpr double kStopPointFloor = 65.0;
inline constexpr double kStopFloor = 10.0;
inline constexpr double kFixedStopLimit = 15.0;
inline constexpr double kFixedCheckLow = 30.0;          // slot 13 with value 1
inline constexpr double kFixedCheckHigh = 50.0;         // slot 13 with value 2
inline constexpr double kFixedCheck25 = 25.0;           // slot 14
inline constexpr double kFixedCheckWarningMargin = 5.0; // the checks warn this far below
inline constexpr double kTargetReleaseDistance = -55.0;
inline constexpr double kRearmDistance = -80.0;
inline constexpr double kRearmedDistance = 800000.0;

inline constexpr double kInfinity = std::numeric_limits<double>::infinity();

// A whole number of km/h that the caller of a curve compares the curve's speed with, such that
// any speed at or above it decides the same for the caller as the exact one. Small and whole,
// it has an exact square.
struct RootBound {
    double kmh;
    double kmhSquared;
};

// No bound: every root is taken, for callers that keep the exact speed.
inline constexpr RootBound kEveryRoot{kInfinity, kInfinity};

// A bound of 0 to 2^26 km/h, whose square is exact.
inline RootBound rootBoundAt(int32_t kmh) {
    const double whole = static_cast<double>(kmh);
    return RootBound{whole, whole * whole};
}

// Whether a radicand's root lies at or above the bound without taking it. The square root is
// correctly rounded and monotonic and the root of the bound's exact square is the bound itself,
// so a radicand above that square has a root at or above the bound. NaN, infinite and negative
// radicands, and one equal to the square, fail the test.
inline bool rootAbove(double radicand, RootBound bound) {
    return bound.kmhSquared < radicand && radicand < kInfinity;
}

// The root of a curve, or the caller's bound in its place where the root cannot lie below it;
// the floors and targets of the curves can only raise it further.
inline double rootAtLeast(double radicand, RootBound bound) {
    return rootAbove(radicand, bound) ? bound.kmh : std::sqrt(radicand);
}

// The stop curve's radicand at a distance: the square of the speed from which the train stops
// there at the configured deceleration.
inline double stopRadicand(const CVantor& unit, double distance) {
    return distance * unit.deceleration * kCurveFactor;
}

// The pattern of the line's maximum speed, which slots 1 (empty), 2, 15 and 16 give.
inline double maxSpeedPattern(const CVantor& unit) {
    return unit.maxSpeed + kMaxSpeedMargin;
}

// max(x, y) that keeps a NaN y: a curve behind its point constrains nothing, floor or not.
// The same rule leaves a NaN distance NaN where the target curves clamp at 0.
inline double floorOf(double floor, double curve) {
    return floor > curve ? floor : curve;
}

// The re-arm rules of the stop pairs, run before the curves of slots 1 and 4: once the point
// of a stop that has been passed (value 2) lies more than 80 m behind, slot 1 empties the
// primary pair (slots 0 to 2) and goes on empty; slot 4 empties its secondary point (slot 3)
// and goes on as if far away. Only distances not clamped at 0 can get there.
inline void rearmStopPair(CVantor& unit, uint32_t slot, int32_t& value, double& distance) {
    if (slot == kPrimaryStopSlot && distance < kRearmDistance &&
        unit.slotValue[kPrimaryStopSlot] == 2) {
        for (int i = kPrimaryApproachSlot; i <= kStopPointSlot; ++i) {
            unit.slotValue[i] = 0;
            unit.slotDistance[i] = kRearmedDistance;
        }
        value = 0;
    } else if (slot == kSecondaryStopSlot && distance < kRearmDistance &&
               unit.slotValue[kSecondaryStopSlot] == 2) {
        unit.slotValue[kSecondaryApproachSlot] = 0;
        unit.slotDistance[kSecondaryApproachSlot] = kRearmedDistance;
        distance = kRearmedDistance;
    }
}

// The pattern speed of a slot after its re-arm rule, with every root below bound.kmh taken
// exactly and the others at least bound.kmh.
inline double slotCurve(const CVantor& unit, uint32_t slot, int32_t value, double distance,
                        RootBound bound) {
    const double maxPattern = maxSpeedPattern(unit);
    const auto stopCurve = [&unit, bound](double d) {
        return rootAtLeast(stopRadicand(unit, d), bound);
    };
    const auto targetCurve = [&unit, bound](int32_t target, double d) {
        const double t = static_cast<double>(target);
        return rootAtLeast(stopRadicand(unit, d) + t * t, bound);
    };

    switch (slot) {
    case kPrimaryApproachSlot:
    case kSecondaryApproachSlot:
        return floorOf(kStopPointFloor, stopCurve(distance));
    case kPrimaryStopSlot:
        if (value == 0) {
            return maxPattern;
        }
        if (unit.slot1FixedLimit) {
            return kFixedStopLimit;
        }
        // A second stop point ahead of the first one governs the primary stop pattern.
        if (unit.slotValue[kStopPointSlot] != 0) {
            return floorOf(kStopFloor, stopCurve(unit.slotDistance[kStopPointSlot]));
        }
        return floorOf(kStopFloor, stopCurve(distance));
    case kStopPointSlot:
        return maxPattern;
    case kSecondaryStopSlot:
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
    case kFixedCheckSlot:
        if (value == 1) {
            return kFixedCheckLow;
        }
        return value == 2 ? kFixedCheckHigh : kNoPattern;
    case kFixedCheck25Slot:
        return value != 0 ? kFixedCheck25 : kNoPattern;
    default:
        return maxPattern;
    }
}

} // namespace vantor::curves
