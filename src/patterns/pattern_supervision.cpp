// Pattern supervision: moves the slots, rings the pattern chimes, watches for rollback, warns
// and decides on the emergency brake.
#include "../unit/arithmetic.h"
#include "../unit/vantor.h"
#include "slot_curves.h"

namespace vantor {

namespace {

constexpr double kCoilWindow = 25.0;
constexpr float kRollbackSpeed = -7.0f;
constexpr int32_t kRollbackTime = 3000;
constexpr int32_t kReverserBackward = -1;
constexpr double kKmhPerMetrePerSecond = 3.6;
constexpr double kWarningRunOn = 5.0;
constexpr double kWarningMargin = 10.0;
constexpr int kLastWarningSlot = 12;

} // namespace

void CVantor::supervisePatterns(double distanceRun) {
    const float v32 = *speed;
    const double v = speedKmh();

    for (double& distance : slotDistance) {
        distance -= distanceRun;
    }
    // Whether some slot holds a pattern, some slot held one in the last pass and still does,
    // some slot has a new one. Mostly no slot has changed since the last pass, and two OR
    // sweeps that run in vector lanes tell so; only a change needs the slots one by one.
    uint32_t values = 0;
    uint32_t changes = 0;
    for (int i = 0; i < kSlotCount; ++i) {
        values |= slotValue[i];
        changes |= slotValue[i] ^ slotPrevValue[i];
    }
    const bool any = values != 0;
    bool held = any;
    bool fresh = false;
    if (changes != 0) {
        held = false;
        for (int i = 0; i < kSlotCount; ++i) {
            held = held || (slotPrevValue[i] != 0 && slotValue[i] != 0);
            fresh = fresh || (slotPrevValue[i] == 0 && slotValue[i] != 0);
        }
    }
    if (held) {
        patternLamp = 1;
    }
    if (patternLamp != 0 && !any) {
        patternLamp = 0;
        patternEndSound = kSoundOnce;
    }
    if (fresh) {
        if (patternLamp == 0) {
            patternStartSound = kSoundOnce;
        }
        patternLamp = 1;
    }

    for (int i = 0; i < kSlotCount; ++i) {
        slotPrevValue[i] = slotValue[i];
    }

    distanceSinceCoil += distanceRun;
    if (distanceSinceCoil > kCoilWindow) {
        distanceSinceCoil = 0.0;
        coilCode = 0;
    }

    if (v32 <= kRollbackSpeed && !holdOffActive && *reverser != kReverserBackward) {
        if (rollbackTime >= kRollbackTime) {
            emergencyBrake = true;
        } else {
            // Held at the top so that one enormous frame cannot turn it negative.
            rollbackTime = saturatingAdd(rollbackTime, *frameStep);
        }
    } else {
        rollbackTime = 0;
    }

    const double reactionRun = v * reactionTime / kKmhPerMetrePerSecond;
    // Unrolled, each slot's curve is known where it is evaluated.
#pragma GCC unroll 17
    for (int i = 0; i < kSlotCount; ++i) {
        const double ahead = slotDistance[i] - reactionRun;
        const double d = ahead > 0.0 ? ahead : 0.0;
        slotPatternSpeed[i] = curves::slotCurve(*this, static_cast<uint32_t>(i),
                                                static_cast<int32_t>(slotValue[i]), d);
    }

    patternDisplay = updateLowestPattern();

    const double warningRun = (reactionTime + kWarningRunOn) * v / kKmhPerMetrePerSecond;
    bool overWarning = false;
#pragma GCC unroll 13
    for (int i = 0; i <= kLastWarningSlot; ++i) {
        const double pattern =
            curves::slotCurve(*this, static_cast<uint32_t>(i), static_cast<int32_t>(slotValue[i]),
                              slotDistance[i] - warningRun);
        if (v > pattern - kWarningMargin) {
            overWarning = true;
        }
    }
    overWarning = overWarning || (slotValue[13] == 1 && v32 >= 25.0f) ||
                  (slotValue[13] == 2 && v32 >= 45.0f) || (slotValue[14] == 1 && v32 >= 20.0f);
    const int32_t warning = overWarning ? 1 : 0;
    if (warning != warningLamp) {
        warningSound = kSoundOnce;
    }
    warningLamp = warning;

    if (v32 >= static_cast<float>(lowestPatternSpeed) && !holdOffActive) {
        emergencyBrake = true;
    }

    emergencyLamp = emergencyBrake ? 1 : 0;
    holdOffLamp = holdOffActive ? 1 : 0;
    holdOffActive = holdOffUntil >= *currentTime;
}

void CVantor::startHoldOff() {
    if (unitActive) {
        holdOffUntil = wrappingAdd(*currentTime, 60000);
    }
}

} // namespace vantor
