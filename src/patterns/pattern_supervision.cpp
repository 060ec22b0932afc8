// Pattern supervision: moves the slots, rings the pattern chimes, watches for rollback, warns
// and decides on the emergency brake.
#include "pattern_supervision.h"

#include "../unit/arithmetic.h"
#include "../unit/vantor.h"
#include "pattern_evaluation.h"

namespace vantor {

using namespace supervision;

namespace {

// The slots come closer by the distance run. While every slot is empty, only the stop points of
// slots 0, 3 and 4 move, whose curves count empty as well: the curves of the other slots read
// no distance while empty, and every transponder that fills one of them sets its distance.
void moveSlots(CVantor& unit, double distanceRun, bool anySlotFilled) {
    if (anySlotFilled) {
        for (double& distance : unit.slotDistance) {
            distance -= distanceRun;
        }
        return;
    }
    unit.slotDistance[kPrimaryApproachSlot] -= distanceRun;
    unit.slotDistance[kSecondaryApproachSlot] -= distanceRun;
    unit.slotDistance[kSecondaryStopSlot] -= distanceRun;
}

} // namespace

void CVantor::supervisePatterns(double distanceRun) {
    const float v32 = *speed;

    // Whether some slot holds a pattern, some slot held one in the last pass and still does,
    // some slot has a new one. Mostly no slot has changed since the last pass, and two OR
    // sweeps that run in vector lanes tell so; only a change needs the slots one by one. Often
    // no slot holds a pattern nor held one: one sweep over both tells that.
    uint32_t live = 0;
    for (int i = 0; i < kSlotCount; ++i) {
        live |= slotValue[i] | slotPrevValue[i];
    }
    uint32_t values = 0;
    uint32_t changes = 0;
    if (live != 0) {
        for (int i = 0; i < kSlotCount; ++i) {
            values |= slotValue[i];
            changes |= slotValue[i] ^ slotPrevValue[i];
        }
    }
    const bool any = values != 0;
    moveSlots(*this, distanceRun, any);
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

    // Unchanged values are remembered already.
    if (changes != 0) {
        for (int i = 0; i < kSlotCount; ++i) {
            slotPrevValue[i] = slotValue[i];
        }
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

    evaluatePatterns(*this, v32, !any);

    if (v32 >= static_cast<float>(lowestPatternSpeed) && !holdOffActive) {
        emergencyBrake = true;
    }

    emergencyLamp = emergencyBrake ? 1 : 0;
    holdOffLamp = holdOffActive ? 1 : 0;
    holdOffActive = holdOffUntil >= *currentTime;
}

void CVantor::startHoldOff() {
    if (unitActive) {
        holdOffUntil = wrappingAdd(*currentTime, kHoldOffDuration);
    }
}

} // namespace vantor
