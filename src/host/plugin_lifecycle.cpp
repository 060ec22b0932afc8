// Loading the library and starting a run.
#include "../platform/platform.h"
#include "../settings/settings.h"
#include "plugin.h"

namespace vantor {

namespace {

// The host time that Initialize sets, ms: a day. A host whose clock starts below it gets a frame
// step of 0 in its first frame, as when its time goes back.
constexpr int32_t kTimeAtInitialize = 86400000;

} // namespace

void attachPlugin(Plugin& plugin) {
    constexpr size_t kCapacity = platform::kPathCapacity;
    if (!platform::libraryPath(plugin.configPath, kCapacity)) {
        plugin.configPath[0] = 0;
    }
    configPathBeside(plugin.configPath, kCapacity);
    plugin.unit.attachHostValues(&plugin.currentTime, &plugin.frameStep, &plugin.speed,
                                 &plugin.powerNotch, &plugin.reverser);
}

void initialize(Plugin& plugin) {
    plugin.unit.reset(kResetRunStart);
    loadSettings(plugin.unit, plugin.configPath);
    plugin.currentTime = kTimeAtInitialize;
    plugin.speed = 0.0f;
}

void setBeaconData(Plugin& plugin, const BeaconData& beacon) {
    plugin.unit.dispatchBeacon(beacon.type, beacon.signal, beacon.optional);
}

} // namespace vantor
