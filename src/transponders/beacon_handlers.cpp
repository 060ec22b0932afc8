// The transponders other than coils: stop patterns and their distances, alarm requests, timed
// section checks, fixed limits, the coil cut-out and its watch.
#include "../unit/vantor.h"
#include "coil_tables.h"

namespace vantor {

using namespace coils;

namespace {

constexpr int32_t kConfirmWindow = 5000;
constexpr int32_t kCutOutWatch = 500;

} // namespace

// The stop pair of the coil state: the secondary pair after a code-95 coil, else the primary.
void CVantor::releaseStopPair() {
    const int first =
        coilCode == kSecondaryPairCode ? kSecondaryApproachSlot : kPrimaryApproachSlot;
    for (int slot = first; slot <= first + 1; ++slot) {
        slotValue[slot] = 0;
        slotDistance[slot] = kReleasedDistance;
    }
}

void CVantor::onBeacon0(int32_t signal, int32_t optional) {
    const uint32_t selection = stopSelection(classifySpacing(distanceSinceCoil));
    const bool selected = selection != 0;

    if (coilCode == kAfterStopTransponder && unitActive && slotValue[kPrimaryApproachSlot] != 0) {
        if (selected) {
            primaryStopSelect = selection;
        }
        coilCode = kNoCoil;
        secondaryStopSelect = 0;
    } else {
        primaryStopSelect = 0;
        if (coilCode == kSecondaryPairCode && unitActive &&
            slotValue[kSecondaryApproachSlot] != 0) {
            if (selected) {
                secondaryStopSelect = selection;
            }
            coilCode = kNoCoil;
        } else {
            secondaryStopSelect = 0;
        }
    }

    if (signal == 0 && optional == 0) {
        alarmRequest = true;
        timer[kConfirmTimer] = kConfirmWindow;
    }
    if (timer[kType65Timer] > 0 && optional != 0) {
        timer[kConfirmTimer] = kConfirmWindow;
        alarmRequest = true;
    }
}

void CVantor::onBeacon1(int32_t signal, int32_t optional) {
    if (optional == 0 && signal == 0) {
        if (!holdOffActive) {
            brakeLatch = true;
        }
        if (coilCode == kSecondaryPairCode) {
            slot4FixedLimit = true;
            slotValue[kSecondaryStopSlot] = 2;
            slotDistance[kSecondaryStopSlot] = 0.0;
            slotValue[kSecondaryApproachSlot] = 0;
            slotDistance[kSecondaryApproachSlot] = kReleasedDistance;
            coilCode = kNoCoil;
        } else {
            slot1FixedLimit = true;
            slotValue[kPrimaryStopSlot] = 2;
            slotDistance[kPrimaryStopSlot] = 0.0;
            slotValue[kPrimaryApproachSlot] = 0;
            slotDistance[kPrimaryApproachSlot] = kReleasedDistance;
        }
    }
    if (optional == 0 && signal != 0) {
        releaseStopPair();
    }
    slotValue[kFixedCheckSlot] = 0;
    slotDistance[kFixedCheckSlot] = kReleasedDistance;
    if (timer[kType65Timer] > 0) {
        if (optional == 1 || (optional == 2 && signal == 0)) {
            brakeLatch = true;
        }
    } else if (optional == 1 || optional == 2) {
        releaseStopPair();
    }
}

void CVantor::onBeacon50(int32_t signal, int32_t optional) {
    // The cut-out watch: while cut out, a stop transponder after the first one brakes.
    bool watchClear = !cutOutArmed;
    if (cutOutArmed && !unitActive && optional == 0) {
        brakeLatch = true;
        if (timer[kCutOutTimer] <= 0) {
            cutOutArmed = false;
            watchClear = true;
        }
    }
    if (watchClear && cutOut && !stopInhibit) {
        timer[kCutOutTimer] = kCutOutWatch;
        cutOutArmed = true;
    }

    switch (coilCode) {
    case kAfterStopTransponder:
        if (secondaryStopPending == 0) {
            if (!cutOut && !stopInhibit && signal == 0 && optional != 0) {
                slotValue[kPrimaryStopSlot] = 1;
                slotDistance[kPrimaryStopSlot] = kStopDistances[primaryStopSelect & 3u];
            }
        } else if (secondaryStopPending == 1) {
            if (unitActive && !stopInhibit && signal == 0 && optional != 0) {
                slotValue[kSecondaryStopSlot] = 1;
                slotDistance[kSecondaryStopSlot] = kStopDistances[secondaryStopSelect & 3u];
                secondaryStopPending = 0;
            }
        }
        stopInhibit = false;
        break;
    case kSecondaryPairCode:
        secondaryStopPending = 1;
        break;
    case kStopInhibitCode:
        stopInhibit = true;
        break;
    case kPairOpeningCode:
        if (classifySpacing(distanceSinceCoil) == kCutOutSpacing) {
            coilCutOut = true;
            coilCode = kNoCoil;
        }
        break;
    default:
        break;
    }

    if (unitActive) {
        coilCode = kAfterStopTransponder;
        distanceSinceCoil = 0.0;
    }
}

void CVantor::onBeacon60() { timer[kType60Clock] = 0; }

void CVantor::onBeacon61(int32_t signal, int32_t optional) {
    const bool late = timer[kType60Clock] > optional;
    if (late && signal == 0 && !holdOffKeyHeld) {
        brakeLatch = true;
    }
    if (!late && signal != 0) {
        return;
    }
    releaseStopPair();
    slotValue[kFixedCheckSlot] = 0;
    slotDistance[kFixedCheckSlot] = kReleasedDistance;
    coilCode = kNoCoil;
}

void CVantor::onBeacon65(int32_t optional) { timer[kType65Timer] = optional; }

} // namespace vantor
