#include "host/host_inputs.h"

namespace vantor::sim {

std::string keyName(int32_t key) {
    switch (key) {
    case 0:
        return "key 0 (acknowledge)";
    case 1:
        return "key 1 (silence)";
    case 3:
        return "key 3 (release)";
    case 13:
        return "key 13 (cut-out)";
    case 14:
        return "key 14 (hold-off)";
    default:
        return "key " + std::to_string(key);
    }
}

void HostInputs::setBrake(int32_t notch, bool announce) {
    if (notch == handles_.brake) {
        return;
    }
    handles_.brake = notch;
    plugin_.setBrake(notch);
    if (announce) {
        note("driver: brake to " + (notch == emergencyNotch_
                                        ? "emergency (notch " + std::to_string(notch) + ")"
                                        : "notch " + std::to_string(notch)));
    }
}

void HostInputs::setPower(int32_t notch, bool announce) {
    if (notch == handles_.power) {
        return;
    }
    handles_.power = notch;
    plugin_.setPower(notch);
    if (announce) {
        note("driver: power to notch " + std::to_string(notch));
    }
}

void HostInputs::setReverser(int32_t position, bool announce) {
    if (position == handles_.reverser) {
        return;
    }
    handles_.reverser = position;
    plugin_.setReverser(position);
    if (announce) {
        note("driver: reverser to " + std::to_string(position));
    }
}

void HostInputs::keyDown(int32_t key) {
    plugin_.keyDown(key);
    note("driver: " + keyName(key) + " down");
}

void HostInputs::keyUp(int32_t key) {
    plugin_.keyUp(key);
    note("driver: " + keyName(key) + " up");
}

void HostInputs::setPowerSwitch(bool on) {
    if (on == powerSwitch_) {
        return;
    }
    powerSwitch_ = on;
    note(on ? "power switch on" : "power switch off");
}

} // namespace vantor::sim
