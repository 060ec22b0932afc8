// The plug-in as the host sees it: the values the host hands over between calls, the unit, and
// the operations behind the sixteen exports. The library holds one Plugin; a program built
// with the core may hold as many of its own.
#pragma once

#include <cstdint>

#include "../platform/platform.h"
#include "../unit/vantor.h"
#include "host_records.h"

namespace vantor {

struct Plugin {
    int32_t brakeNotch;
    int32_t powerNotch;
    int32_t reverser;
    int32_t emergencyBrakeNotch;
    int32_t ackBrakeNotch;
    int32_t currentTime;
    int32_t frameStep;
    float speed;
    Handles handles;
    platform::PathChar configPath[platform::kPathCapacity]; // the settings file beside the library
    CVantor unit;
};

// What the library does when it is loaded: find the settings file and bind the unit.
void attachPlugin(Plugin& plugin);

void setVehicleSpec(Plugin& plugin, const VehicleSpec& vehicle);
void initialize(Plugin& plugin);
Handles elapse(Plugin& plugin, const VehicleState& state, int32_t* panel, int32_t* sound);
void setBrake(Plugin& plugin, int32_t notch);
void keyDown(Plugin& plugin, int32_t key);
void keyUp(Plugin& plugin, int32_t key);
void setBeaconData(Plugin& plugin, const BeaconData& beacon);

} // namespace vantor
