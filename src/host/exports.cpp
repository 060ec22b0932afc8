// The sixteen functions the host calls, on the library's one plug-in.
#include "exports.h"

#include "plugin.h"

namespace {

// Static storage: every field is zero when the library is loaded.
vantor::Plugin thePlugin;

} // namespace

#if defined(_WIN32)
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        vantor::attachPlugin(thePlugin);
    }
    return TRUE;
}
#else
// Runs when the library is loaded, before the host can call anything.
__attribute__((constructor)) static void attachOnLoad() { vantor::attachPlugin(thePlugin); }
#endif

extern "C" {

void Load() {}
void Dispose() {}
int32_t GetPluginVersion() { return vantor::kPluginVersion; }
void SetVehicleSpec(VehicleSpec vehicle) { vantor::setVehicleSpec(thePlugin, vehicle); }
void Initialize(int32_t) { vantor::initialize(thePlugin); }
Handles Elapse(VehicleState state, int32_t* panel, int32_t* sound) {
    return vantor::elapse(thePlugin, state, panel, sound);
}
void SetPower(int32_t notch) { thePlugin.powerNotch = notch; }
void SetBrake(int32_t notch) { vantor::setBrake(thePlugin, notch); }
void SetReverser(int32_t position) { thePlugin.reverser = position; }
void KeyDown(int32_t key) { vantor::keyDown(thePlugin, key); }
void KeyUp(int32_t key) { vantor::keyUp(thePlugin, key); }
void HornBlow(int32_t) {}
void DoorOpen() {}
void DoorClose() {}
void SetSignal(int32_t) {}
void SetBeaconData(BeaconData beacon) { vantor::setBeaconData(thePlugin, beacon); }

} // extern "C"
