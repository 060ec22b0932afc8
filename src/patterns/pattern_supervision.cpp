// Pattern supervision: moves the slots, rings the pattern chimes, watches for rollback, warns
// and decides on the emergency brake.
#include "../unit/arithmetic.h"
#include "../unit/vantor.h"

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

    for (int i = 0; i < kSlotCount; ++i) {
        slotDistance[i] -= distanceRun;
        if (slotPrevValue[i] != 0 && slotValue[i] != 0) {
            patternLamp = 1;
        }
    }

    bool anyPattern = false;
    for (uint32_t value : slotValue) {
        anyPattern = anyPattern || value != 0;
    }
    if (patternLamp != 0 && !anyPattern) {
        patternLamp = 0;
        patternEndSound = kSoundOnce;
    }

    for (int i = 0; i < kSlotCount; ++i) {
        if (slotPrevValue[i] == 0 && slotValue[i] != 0) {
            if (patternLamp == 0) {
                patternStartSound = kSoundOnce;
            }
            patternLamp = 1;
        }
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
    for (int i = 0; i < kSlotCount; ++i) {
        const double ahead = slotDistance[i] - reactionRun;
        const double d = ahead > 0.0 ? ahead : 0.0;
        slotPatternSpeed[i] =
            computePatternSpeed(static_cast<uint32_t>(i), static_cast<int32_t>(slotValue[i]), d);
    }

    patternDisplay = updateLowestPattern();

    const double warningRun = (reactionTime + kWarningRunOn) * v / kKmhPerMetrePerSecond;
    bool overWarning = false;
    for (int i = 0; i <= kLastWarningSlot; ++i) {
        const double pattern = computePatternSpeed(
            static_cast<uint32_t>(i), static_cast<int32_t>(slotValue[i]), slotDistance[i] - warningRun);
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
