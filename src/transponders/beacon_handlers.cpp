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
    const int first = coilCode == kSecondaryPairCode ? 3 : 0;
    for (int slot = first; slot <= first + 1; ++slot) {
        slotValue[slot] = 0;
        slotDistance[slot] = kReleasedDistance;
    }
}

void CVantor::onBeacon0(int32_t signal, int32_t optional) {
    const float spacing = classifySpacing(distanceSinceCoil);
    bool selected = false;
    uint32_t selection = 0;
    for (const StopSelection& entry : kStopSelections) {
        if (entry.spacing == spacing) {
            selected = true;
            selection = entry.select;
        }
    }

    if (coilCode == kAfterStopTransponder && unitActive && slotValue[0] != 0) {
        if (selected) {
            primaryStopSelect = selection;
        }
        coilCode = kNoCoil;
        secondaryStopSelect = 0;
    } else {
        primaryStopSelect = 0;
        if (coilCode == kSecondaryPairCode && unitActive && slotValue[3] != 0) {
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
            slotValue[4] = 2;
            slotDistance[4] = 0.0;
            slotValue[3] = 0;
            slotDistance[3] = kReleasedDistance;
            coilCode = kNoCoil;
        } else {
            slot1FixedLimit = true;
            slotValue[1] = 2;
            slotDistance[1] = 0.0;
            slotValue[0] = 0;
            slotDistance[0] = kReleasedDistance;
        }
    }
    if (optional == 0 && signal != 0) {
        releaseStopPair();
    }
    slotValue[13] = 0;
    slotDistance[13] = kReleasedDistance;
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
                slotValue[1] = 1;
                slotDistance[1] = kStopDistances[primaryStopSelect & 3u];
            }
        } else if (secondaryStopPending == 1) {
            if (unitActive && !stopInhibit && signal == 0 && optional != 0) {
                slotValue[4] = 1;
                slotDistance[4] = kStopDistances[secondaryStopSelect & 3u];
                secondaryStopPending = 0;
            }
        }
        stopInhibit = false;
        break;
    case 95:
        secondaryStopPending = 1;
        break;
    case 85:
        stopInhibit = true;
        break;
    case 90:
        if (classifySpacing(distanceSinceCoil) == 2.0f) {
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
    slotValue[13] = 0;
    slotDistance[13] = kReleasedDistance;
    coilCode = kNoCoil;
}

void CVantor::onBeacon65(int32_t optional) { timer[kType65Timer] = optional; }

} // namespace vantor
