// What the driver does between frames: the vehicle's notches, the brake handle and the keys.
#include "../unit/arithmetic.h"
#include "plugin.h"

namespace vantor {

namespace {

enum Key : int32_t {
    kKeyAcknowledge = 0,
    kKeySilence = 1,
    kKeyRelease = 3,
    kKeyCutOut = 13,
    kKeyHoldOff = 14,
};

} // namespace

void setVehicleSpec(Plugin& plugin, const VehicleSpec& vehicle) {
    // The emergency notch lies one above the highest service notch.
    plugin.emergencyBrakeNotch = wrappingAdd(vehicle.brakeNotches, 1);
    plugin.ackBrakeNotch = vehicle.ackBrakeNotch;
}

void setBrake(Plugin& plugin, int32_t notch) {
    plugin.brakeNotch = notch;
    plugin.unit.brakeAtAckNotch = notch >= plugin.ackBrakeNotch;
    plugin.unit.brakeAtEmergency = notch == plugin.emergencyBrakeNotch;
}

void keyDown(Plugin& plugin, int32_t key) {
    CVantor& unit = plugin.unit;
    switch (key) {
    case kKeyAcknowledge:
        unit.ackKeyHeld = true;
        break;
    case kKeySilence:
        unit.silenceKeyHeld = true;
        break;
    case kKeyRelease:
        unit.releaseKeyHeld = true;
        break;
    case kKeyCutOut:
        // The mode follows the cut-out as the last frame left it, not the toggle just made.
        unit.cutOutSelected = !unit.cutOutSelected;
        unit.reset(unit.cutOut ? kResetCutIn : kResetCutOut);
        break;
    case kKeyHoldOff:
        unit.holdOffKeyHeld = true;
        unit.startHoldOff();
        break;
    default:
        break;
    }
}

void keyUp(Plugin& plugin, int32_t key) {
    CVantor& unit = plugin.unit;
    switch (key) {
    case kKeyAcknowledge:
        unit.ackKeyHeld = false;
        break;
    case kKeySilence:
        unit.silenceKeyHeld = false;
        break;
    case kKeyRelease:
        unit.releaseKeyHeld = false;
        break;
    case kKeyHoldOff:
        unit.holdOffKeyHeld = false;
        break;
    default:
        break;
    }
}

} // namespace vantor
