// The brake and warning patterns of one supervision pass. Most curves cannot change the lowest
// pattern or the warning in a given frame; each is cut short where a cheap test proves so.
#include "pattern_evaluation.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "lowest_pattern.h"
#include "slot_curves.h"

#ifdef VANTOR_CHECK_SKIPS
#include <cstdio>
#include <cstdlib>
#include <cstring>
#endif

namespace vantor {

namespace {

constexpr double kKmhPerMetrePerSecond = 3.6;
constexpr double kWarningRunOn = 5.0;
constexpr double kWarningMargin = 10.0;
constexpr int kLastWarningSlot = kLastRestrictionSlot;
// Speeds beyond any train's get no warning bound: every warning root is taken.
constexpr float kBoundedSpeed = 10000.0f;

// How far the train runs before braking, at speed v: in the driver's reaction time for the
// brake patterns, and five seconds more for the warning patterns.
double reactionRun(const CVantor& unit, double v) {
    return v * unit.reactionTime / kKmhPerMetrePerSecond;
}
double warningRun(const CVantor& unit, double v) {
    return (unit.reactionTime + kWarningRunOn) * v / kKmhPerMetrePerSecond;
}

// The value a sweep reads for a slot. While every slot is empty the sweeps are compiled for
// that case alone: each value is then the constant 0.
template <bool kEverySlotEmpty> int32_t valueOf(const CVantor& unit, int slot) {
    return kEverySlotEmpty ? 0 : static_cast<int32_t>(unit.slotValue[slot]);
}

// The order of the brake sweep. Whatever the order, the lowest pattern comes out as the lowest
// speed of them all (NaN aside) truncated, truncation keeping the order of speeds; the slots
// that yield a fixed speed go first, so that the curves meet the lowest bound known anyway.
constexpr int kBrakeOrder[kSlotCount] = {2, 13, 14, 15, 16, 0, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

// Brake patterns, with the reaction-time run-on and distances clamped at 0, and the lowest of
// them. A pattern at or above the whole km/h kept so far cannot lower it, so each curve is
// evaluated only as far as that bound, and a slot whose root lies above it keeps the bound in
// place of its exact speed. The clamped distances never reach the re-arm distance.
template <bool kEverySlotEmpty> void evaluateBrakePatterns(CVantor& unit, double v) {
    // Every slot's distance at once, in vector lanes; a curve reads its own only where it needs
    // it.
    const double run = reactionRun(unit, v);
    double aheads[kSlotCount];
    for (int i = 0; i < kSlotCount; ++i) {
        const double ahead = unit.slotDistance[i] - run;
        aheads[i] = ahead > 0.0 ? ahead : 0.0;
    }
    LowestPattern lowest;
    // Unrolled, each slot's curve is known where it is evaluated.
#pragma GCC unroll 17
    for (const int i : kBrakeOrder) {
        const double pattern =
            curves::slotCurve(unit, static_cast<uint32_t>(i), valueOf<kEverySlotEmpty>(unit, i),
                              aheads[i], lowest.bound());
        unit.slotPatternSpeed[i] = pattern;
        lowest.keep(pattern);
    }
    unit.resting.inPlace = false;
    unit.lowestPatternSpeed = lowest.kmh();
    unit.patternDisplay = patternDisplayValue(unit, lowest.kmh());
}

// A whole km/h above the speed plus the warning margin. A warning pattern at or above it is
// not within the margin: pattern - 10 >= bound - 10 > v, and as bound - 10 is a whole number
// the rounding of the subtraction cannot carry it below.
curves::RootBound warningBound(float v) {
    if (!(v > -kBoundedSpeed && v < kBoundedSpeed)) {
        return curves::kEveryRoot;
    }
    // Truncated toward zero, the speed is above v - 1.
    const int32_t kmh = static_cast<int32_t>(v) + 1 + static_cast<int32_t>(kWarningMargin);
    return curves::rootBoundAt(kmh > 0 ? kmh : 0);
}

// Whether some slot 0 to 12 is within the warning margin of its pattern, with five seconds more
// of run-on and distances not clamped. The re-arm rules run slot by slot as before each
// curve, whether or not the warning is already decided (while every slot is empty no stop
// pair is armed); once it is decided, no curve can change it.
template <bool kEverySlotEmpty>
bool overWarningPatterns(CVantor& unit, double v, bool decided, curves::RootBound bound) {
    const double run = warningRun(unit, v);
    bool over = decided;
#pragma GCC unroll 13
    for (int i = 0; i <= kLastWarningSlot; ++i) {
        const auto slot = static_cast<uint32_t>(i);
        int32_t value = valueOf<kEverySlotEmpty>(unit, i);
        double d = unit.slotDistance[i] - run;
        if constexpr (!kEverySlotEmpty) {
            curves::rearmStopPair(unit, slot, value, d);
        }
        if (!over) {
            over = v > curves::slotCurve(unit, slot, value, d, bound) - kWarningMargin;
        }
    }
    return over;
}

// The speed from which a fixed check warns, km/h.
constexpr float fixedCheckWarning(double check) {
    return static_cast<float>(check - curves::kFixedCheckWarningMargin);
}

// The fixed speed checks of slots 13 and 14.
template <bool kEverySlotEmpty> bool overFixedCheck(const CVantor& unit, float v32) {
    constexpr float kWarnLow = fixedCheckWarning(curves::kFixedCheckLow);
    constexpr float kWarnHigh = fixedCheckWarning(curves::kFixedCheckHigh);
    constexpr float kWarn25 = fixedCheckWarning(curves::kFixedCheck25);
    const int32_t check30or50 = valueOf<kEverySlotEmpty>(unit, kFixedCheckSlot);
    const int32_t check25 = valueOf<kEverySlotEmpty>(unit, kFixedCheck25Slot);
    return (check30or50 == 1 && v32 >= kWarnLow) || (check30or50 == 2 && v32 >= kWarnHigh) ||
           (check25 == 1 && v32 >= kWarn25);
}

// The warning lamp, with its chime when it turns on or off.
void showWarning(CVantor& unit, bool over) {
    const int32_t warning = over ? 1 : 0;
    if (warning != unit.warningLamp) {
        unit.warningSound = kSoundOnce;
        unit.warningLamp = warning;
    }
}

// Kept out of line: the case of no slot in use needs few registers.
template <bool kEverySlotEmpty>
[[gnu::noinline]] void evaluatePatternsCut(CVantor& unit, float v32) {
    evaluateBrakePatterns<kEverySlotEmpty>(unit, v32);
    // The fixed checks first: when they warn, no warning curve needs evaluating.
    const bool fixedCheck = overFixedCheck<kEverySlotEmpty>(unit, v32);
    showWarning(unit,
                overWarningPatterns<kEverySlotEmpty>(unit, v32, fixedCheck, warningBound(v32)));
}

// The restrictions of coil pairs, slots 5 to 12: last in the brake sweep.
constexpr bool isRestriction(int slot) {
    return slot >= kFirstRestrictionSlot && slot <= kLastRestrictionSlot;
}

uint64_t bitsOf(double value) {
    return std::bit_cast<uint64_t>(value);
}

// Whether the resting pass was noted for the settings as they are now, bit for bit.
bool restingPassNotedForSettings(const CVantor& unit) {
    const RestingPass& resting = unit.resting;
    return resting.inPlace && resting.maxSpeedBits == bitsOf(unit.maxSpeed) &&
           resting.decelerationBits == bitsOf(unit.deceleration) &&
           resting.reactionTimeBits == bitsOf(unit.reactionTime) &&
           resting.displayScaleBits == bitsOf(unit.displayScale);
}

// Metres of run-on per km/h of speed, at least what either sweep runs on. The sweeps' runs round
// three times at most, in the normal range, and their magnitude is at most
// (|reactionTime| + 5) / 3.6 per km/h exactly; 2^-40 more outweighs all those roundings and the
// two here and in the product with the speed. Results too small for the normal range are far
// below any speed's product with at least 5 / 3.6.
double runPerKmhBound(const CVantor& unit) {
    return (std::fabs(unit.reactionTime) + kWarningRunOn) / kKmhPerMetrePerSecond * (1.0 + 0x1p-40);
}

// A distance from which on the stop curve's root lies at or above the bound: its radicand, which
// rises with the distance as each product rounds monotonically where the deceleration is
// positive, lies above the bound's square there. Found from the quotient a few units in the last
// place away; infinite where there is none (a deceleration that is not positive or not finite).
double clearDistance(const CVantor& unit, curves::RootBound above) {
    if (!(unit.deceleration > 0.0 && unit.deceleration < curves::kInfinity)) {
        return curves::kInfinity;
    }
    double distance = above.kmhSquared / (unit.deceleration * curves::kCurveFactor);
    for (int step = 0; step < 16; ++step) {
        if (curves::rootAbove(curves::stopRadicand(unit, distance), above)) {
            return distance;
        }
        distance = std::nextafter(distance, curves::kInfinity);
    }
    return curves::kInfinity;
}

// Notes what the pass with every slot empty gave, for the settings as they are.
void noteRestingPass(CVantor& unit, double maxPattern, curves::RootBound above) {
    RestingPass& resting = unit.resting;
    resting.inPlace = true;
    resting.maxSpeedBits = bitsOf(unit.maxSpeed);
    resting.decelerationBits = bitsOf(unit.deceleration);
    resting.reactionTimeBits = bitsOf(unit.reactionTime);
    resting.displayScaleBits = bitsOf(unit.displayScale);
    resting.lowestPatternSpeed = unit.lowestPatternSpeed;
    resting.patternDisplay = unit.patternDisplay;
    resting.warningAbove = maxPattern - kWarningMargin;
    resting.runPerKmh = runPerKmhBound(unit);
    resting.clearAhead = clearDistance(unit, above);
}

// The pass with every slot empty, as noted, where the stop points of slots 0, 3 and 4 still lie
// far enough ahead. Each point less the run-on bound is at most what either sweep gives for it,
// as the subtraction rounds monotonically: at clearAhead or beyond, every stop curve lies at or
// above the bound, unclamped, as when the pass was noted. A NaN point or run-on, and an infinite
// run-on, fail the test and leave the pass to be taken in full. False, having written nothing,
// where it does not hold.
bool repeatRestingPass(CVantor& unit, float v32) {
    if (!restingPassNotedForSettings(unit) || unit.slot4FixedLimit) {
        return false;
    }
    const double v = v32;
    const double run = std::fabs(v) * unit.resting.runPerKmh;
    const double clear = unit.resting.clearAhead;
    const double* d = unit.slotDistance;
    if (!(d[kPrimaryApproachSlot] - run >= clear && d[kSecondaryApproachSlot] - run >= clear &&
          d[kSecondaryStopSlot] - run >= clear)) {
        return false;
    }
    unit.lowestPatternSpeed = unit.resting.lowestPatternSpeed;
    unit.patternDisplay = unit.resting.patternDisplay;
    showWarning(unit, v > unit.resting.warningAbove);
    return true;
}

// Mostly no slot is filled but restrictions. The other slots then give the line's maximum
// speed's pattern (1, 2, 15 and 16), none (13 and 14), and the stop curves of slots 0, 3 and 4,
// whose points mostly lie where a release or a re-arm left them, 800 km and more ahead. Where
// those three curves lie above the whole km/h above the maximum speed's pattern, they change
// nothing: the sweep keeps that pattern first, and a stop curve could only warn where slot 2
// warns already. One test tells: the nearest of the three points, less the longer of the two
// run-ons. The subtraction and the products of the radicand round monotonically (the
// deceleration is positive where the radicand passes), so every stop curve's radicand in
// either sweep is at least this one, and its root at least the bound. The restrictions' curves
// are taken as the sweeps take them, in their order; each other slot holds what the sweep
// would store, or a bound below it. With every slot empty, what the pass gives is noted for the
// passes after it. False, having written nothing, where the test fails.
template <bool kEverySlotEmpty>
bool evaluateRestrictionsBeyondStopCurves(CVantor& unit, float v32) {
    if constexpr (kEverySlotEmpty) {
        if (repeatRestingPass(unit, v32)) {
            return true;
        }
    } else {
        uint32_t others = 0;
        for (int i = 0; i < kSlotCount; ++i) {
            others |= isRestriction(i) ? 0 : unit.slotValue[i];
        }
        if (others != 0) {
            return false;
        }
    }
    const double maxPattern = curves::maxSpeedPattern(unit);
    LowestPattern lowest;
    lowest.keep(maxPattern);
    // Slot 4's fixed limit may be the lowest; a maximum speed at or above the cap, or below
    // 0 km/h, leaves the sweeps another bound.
    if (unit.slot4FixedLimit || lowest.kmh() < 0 || lowest.kmh() >= LowestPattern::kCap) {
        return false;
    }
    const curves::RootBound above = lowest.bound();
    const double v = v32;
    const double brakeRun = reactionRun(unit, v);
    const double warnRun = warningRun(unit, v);
    const double* d = unit.slotDistance;
    const double approach = d[kPrimaryApproachSlot];
    const double secondApproach = d[kSecondaryApproachSlot];
    const double secondStop = d[kSecondaryStopSlot];
    // A NaN among them, or infinities of both signs, is left to the sweeps.
    if (std::isnan(approach + secondApproach + secondStop + brakeRun + warnRun)) {
        return false;
    }
    const double ahead =
        std::min({approach, secondApproach, secondStop}) - std::max(brakeRun, warnRun);
    if (!(ahead > 0.0 && curves::rootAbove(curves::stopRadicand(unit, ahead), above))) {
        return false;
    }
    bool over = v > maxPattern - kWarningMargin;
    // With every slot empty, no slot's speed here depends on more than the maximum speed's
    // pattern: written once for the settings, they stay in place while the slots stay empty.
    const bool inPlace = kEverySlotEmpty && restingPassNotedForSettings(unit);
    if (!inPlace) {
        unit.resting.inPlace = false;
        const curves::RootBound warningAbove = warningBound(v32);
#pragma GCC unroll 17
        for (int i = 0; i < kSlotCount; ++i) {
            const auto slot = static_cast<uint32_t>(i);
            if (!isRestriction(i)) {
                unit.slotPatternSpeed[i] = curves::slotCurve(unit, slot, 0, ahead, above);
                continue;
            }
            const int32_t value = valueOf<kEverySlotEmpty>(unit, i);
            if (value == 0) {
                // No restriction: a constant above the cap, which lowers nothing and could only
                // warn where slot 2 warns already. Its curve reads no distance.
                unit.slotPatternSpeed[i] = curves::slotCurve(unit, slot, 0, 0.0, above);
                continue;
            }
            const double brakeAhead = d[i] - brakeRun;
            const double pattern = curves::slotCurve(
                unit, slot, value, brakeAhead > 0.0 ? brakeAhead : 0.0, lowest.bound());
            unit.slotPatternSpeed[i] = pattern;
            lowest.keep(pattern);
            if (!over) {
                over = v > curves::slotCurve(unit, slot, value, d[i] - warnRun, warningAbove) -
                               kWarningMargin;
            }
        }
    }
    unit.lowestPatternSpeed = lowest.kmh();
    unit.patternDisplay = patternDisplayValue(unit, lowest.kmh());
    if (kEverySlotEmpty && !inPlace) {
        noteRestingPass(unit, maxPattern, above);
    }
    showWarning(unit, over);
    return true;
}

void evaluatePatternsCut(CVantor& unit, float v32, bool everySlotEmpty) {
    if (everySlotEmpty) {
        if (!evaluateRestrictionsBeyondStopCurves<true>(unit, v32)) {
            evaluatePatternsCut<true>(unit, v32);
        }
    } else if (!evaluateRestrictionsBeyondStopCurves<false>(unit, v32)) {
        evaluatePatternsCut<false>(unit, v32);
    }
}

#ifdef VANTOR_CHECK_SKIPS

// The same patterns with nothing cut short: every root taken, every warning curve evaluated.
void evaluatePatternsInFull(CVantor& unit, float v32) {
    const double v = v32;
    const double brakeRun = reactionRun(unit, v);
    for (int i = 0; i < kSlotCount; ++i) {
        const double ahead = unit.slotDistance[i] - brakeRun;
        unit.slotPatternSpeed[i] = unit.computePatternSpeed(static_cast<uint32_t>(i),
                                                            static_cast<int32_t>(unit.slotValue[i]),
                                                            ahead > 0.0 ? ahead : 0.0);
    }
    unit.patternDisplay = unit.updateLowestPattern();

    const double warnRun = warningRun(unit, v);
    bool over = false;
    for (int i = 0; i <= kLastWarningSlot; ++i) {
        const double pattern = unit.computePatternSpeed(static_cast<uint32_t>(i),
                                                        static_cast<int32_t>(unit.slotValue[i]),
                                                        unit.slotDistance[i] - warnRun);
        over = over || v > pattern - kWarningMargin;
    }
    showWarning(unit, over || overFixedCheck<false>(unit, v32));
}

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "vantor: a cut-short pattern evaluation changed %s\n", what);
        std::abort();
    }
}

template <typename T, size_t N> bool sameBits(const T (&a)[N], const T (&b)[N]) {
    return std::memcmp(a, b, sizeof a) == 0;
}

// Everything the pass leaves for the outputs and the next frames must be as in full. A slot's
// brake pattern may be a bound at or below its exact speed, but above the lowest pattern.
void compareWithFull(const CVantor& cut, const CVantor& full) {
    require(cut.lowestPatternSpeed == full.lowestPatternSpeed, "the lowest pattern");
    require(cut.patternDisplay == full.patternDisplay, "the pattern display");
    require(cut.warningLamp == full.warningLamp, "the warning lamp");
    require(cut.warningSound == full.warningSound, "the warning chime");
    require(sameBits(cut.slotValue, full.slotValue), "a slot value");
    require(sameBits(cut.slotDistance, full.slotDistance), "a slot distance");
    double lowest = curves::kInfinity;
    for (const double exact : full.slotPatternSpeed) {
        lowest = exact < lowest ? exact : lowest;
    }
    for (int i = 0; i < kSlotCount; ++i) {
        const double held = cut.slotPatternSpeed[i];
        const double exact = full.slotPatternSpeed[i];
        const bool same = held == exact || (std::isnan(held) && std::isnan(exact));
        require(same || (held <= exact && held > lowest),
                "a slot's brake pattern beyond its bound");
    }
}

#endif

} // namespace

void evaluatePatterns(CVantor& unit, float speedKmh, bool everySlotEmpty) {
#ifdef VANTOR_CHECK_SKIPS
    CVantor full = unit;
    evaluatePatternsInFull(full, speedKmh);
    evaluatePatternsCut(unit, speedKmh, everySlotEmpty);
    compareWithFull(unit, full);
#else
    evaluatePatternsCut(unit, speedKmh, everySlotEmpty);
#endif
}

} // namespace vantor
