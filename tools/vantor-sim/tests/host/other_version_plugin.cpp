// The plug-in as another version of it might behave: this repository's unit with one setting
// changed after every Initialize, a deceleration of 3.0 km/h/s whatever the settings file says.
// The bench must notice that it is not the unit it runs beside.
#include "host/exports.h"
#include "host/plugin.h"

namespace {

vantor::Plugin thePlugin;

__attribute__((constructor)) void attachOnLoad() {
    vantor::attachPlugin(thePlugin);
}

} // namespace

extern "C" {

void Load() {}
void Dispose() {}
int32_t GetPluginVersion() {
    return vantor::kPluginVersion;
}
void SetVehicleSpec(VehicleSpec vehicle) {
    vantor::setVehicleSpec(thePlugin, vehicle);
}
void Initialize(int32_t) {
    vantor::initialize(thePlugin);
    thePlugin.unit.deceleration = 3.0;
}
Handles Elapse(VehicleState state, int32_t* panel, int32_t* sound) {
    return vantor::elapse(thePlugin, state, panel, sound);
}
void SetPower(int32_t notch) {
    thePlugin.powerNotch = notch;
}
void SetBrake(int32_t notch) {
    vantor::setBrake(thePlugin, notch);
}
void SetReverser(int32_t position) {
    thePlugin.reverser = position;
}
void KeyDown(int32_t key) {
    vantor::keyDown(thePlugin, key);
}
void KeyUp(int32_t key) {
    vantor::keyUp(thePlugin, key);
}
void HornBlow(int32_t) {}
void DoorOpen() {}
void DoorClose() {}
void SetSignal(int32_t) {}
void SetBeaconData(BeaconData beacon) {
    vantor::setBeaconData(thePlugin, beacon);
}

} // extern "C"
