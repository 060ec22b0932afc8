// Transponder dispatch and the coils: spacing classification, coil state and coil pairs.
#include "../unit/vantor.h"
#include "coil_tables.h"

namespace vantor {

using namespace coils;

void CVantor::dispatchBeacon(int32_t type, int32_t signal, int32_t optional) {
    if (!isTransponderType(type)) {
        return;
    }
    // Transponders at a standstill are not read; a NaN speed is not a standstill.
    if (*speed == 0.0f || !powered) {
        return;
    }
    switch (type) {
    case 0:
        onBeacon0(signal, optional);
        break;
    case 1:
        onBeacon1(signal, optional);
        break;
    case 50:
    case 55:
        onBeacon50(signal, optional);
        break;
    case 60:
        onBeacon60();
        break;
    case 61:
        onBeacon61(signal, optional);
        break;
    case 65:
        onBeacon65(optional);
        break;
    default:
        onBeacon70(signal, optional);
        break;
    }
}

float CVantor::classifySpacing(double distance) {
    for (const SpacingWindow& window : kSpacingWindows) {
        if (distance > window.lower && distance < window.upper) {
            return window.nominal;
        }
    }
    return 0.0f;
}

void CVantor::onBeacon70(int32_t signal, int32_t code) {
    if (!unitActive) {
        return;
    }
    const float spacing = classifySpacing(distanceSinceCoil);
    if (code == kReleaseCode) {
        if (signal != 0) {
            releaseStopPair();
        }
        return;
    }
    const int codeIndex = coilCodeIndex(static_cast<uint32_t>(code));
    if (codeIndex < 0) {
        return;
    }
    const int stateIndex = coilStateIndex(coilCode);
    const CoilAction action =
        stateIndex < 0 ? CoilAction::None : kCoilActions[codeIndex][stateIndex];
    switch (action) {
    case CoilAction::None:
        break;
    case CoilAction::StopPointPrimary:
    case CoilAction::StopPointSecondary:
    case CoilAction::StopPointAhead:
        if (signal == 0) {
            const int slot = action == CoilAction::StopPointPrimary     ? kPrimaryApproachSlot
                             : action == CoilAction::StopPointSecondary ? kSecondaryApproachSlot
                                                                        : kStopPointSlot;
            slotValue[slot] = 1;
            slotDistance[slot] =
                slot == kStopPointSlot ? kStopPointAheadDistance : kApproachDistance;
        }
        break;
    case CoilAction::FillPair:
        fillCoilPair(static_cast<uint32_t>(codeIndex), spacing);
        break;
    case CoilAction::FixedCheck14:
        if (signal == kFixedCheck14Signal) {
            if (spacing == kFixedCheckHighSpacing) {
                slotValue[kFixedCheck25Slot] = 1;
            } else if (spacing == kFixedCheckLowSpacing) {
                slotValue[kFixedCheck25Slot] = 0;
            }
        }
        break;
    case CoilAction::FixedCheck13:
        if (spacing == kFixedCheckHighSpacing) {
            slotValue[kFixedCheckSlot] = 2;
        } else if (spacing == kFixedCheckLowSpacing) {
            slotValue[kFixedCheckSlot] = 1;
        }
        break;
    }
    coilCode = static_cast<uint32_t>(code);
    distanceSinceCoil = 0.0;
}

void CVantor::fillCoilPair(uint32_t codeIndex, float spacing) {
    const uint32_t target = pairSpeed(static_cast<int>(codeIndex), spacing);
    const SlotPair pair = kPairSlots[codeIndex];
    if (target == 0) {
        // A pair that decodes to no speed lifts the restriction.
        slotValue[pair.first] = 0;
        slotValue[pair.second] = 0;
    } else if (slotValue[pair.first] == 0) {
        slotValue[pair.first] = target;
        slotDistance[pair.first] = kPairDistance;
    } else if (slotValue[pair.second] == 0) {
        slotValue[pair.second] = target;
        slotDistance[pair.second] = kPairDistance;
    }
}

} // namespace vantor
