// Transponder dispatch and the coils: spacing classification, coil state and coil pairs.
#include "../unit/vantor.h"
#include "coil_tables.h"

namespace vantor {

using namespace coils;

namespace {

int indexOf(const uint32_t (&values)[4], uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        if (values[i] == value) {
            return i;
        }
    }
    return -1;
}

} // namespace

void CVantor::dispatchBeacon(int32_t type, int32_t signal, int32_t optional) {
    switch (type) {
    case 0:
    case 1:
    case 50:
    case 55:
    case 60:
    case 61:
    case 65:
    case 70:
        break;
    default:
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
    const int codeIndex = indexOf(kCoilCodes, static_cast<uint32_t>(code));
    if (codeIndex < 0) {
        return;
    }
    const int stateIndex = indexOf(kCoilStates, coilCode);
    const CoilAction action =
        stateIndex < 0 ? CoilAction::None : kCoilActions[codeIndex][stateIndex];
    switch (action) {
    case CoilAction::None:
        break;
    case CoilAction::StopPointPrimary:
    case CoilAction::StopPointSecondary:
    case CoilAction::StopPointAhead:
        if (signal == 0) {
            const int slot = action == CoilAction::StopPointPrimary     ? 0
                             : action == CoilAction::StopPointSecondary ? 3
                                                                        : 2;
            slotValue[slot] = 1;
            slotDistance[slot] = slot == 2 ? 89.0 : 644.0;
        }
        break;
    case CoilAction::FillPair:
        fillCoilPair(static_cast<uint32_t>(codeIndex), spacing);
        break;
    case CoilAction::FixedCheck14:
        if (signal == 111) {
            if (spacing == 2.0f) {
                slotValue[14] = 1;
            } else if (spacing == 4.0f) {
                slotValue[14] = 0;
            }
        }
        break;
    case CoilAction::FixedCheck13:
        if (spacing == 2.0f) {
            slotValue[13] = 2;
        } else if (spacing == 4.0f) {
            slotValue[13] = 1;
        }
        break;
    }
    coilCode = static_cast<uint32_t>(code);
    distanceSinceCoil = 0.0;
}

void CVantor::fillCoilPair(uint32_t codeIndex, float spacing) {
    uint32_t target = 0;
    for (int row = 0; row < 7; ++row) {
        if (kPairSpacings[row] == spacing) {
            target = kPairSpeeds[row][codeIndex];
        }
    }
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
