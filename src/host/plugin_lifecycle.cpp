// Loading the library and starting a run.
#include "../platform/platform.h"
#include "plugin.h"

namespace vantor {

void attachPlugin(Plugin& plugin) {
    char modulePath[kPathSize];
    if (!platform::libraryPath(modulePath, sizeof modulePath)) {
        modulePath[0] = '\0';
    }
    buildConfigPath(modulePath, plugin.configPath);
    plugin.unit.attachHostValues(&plugin.currentTime, &plugin.frameStep, &plugin.speed,
                                 &plugin.powerNotch, &plugin.reverser);
}

void initialize(Plugin& plugin) {
    plugin.unit.reset(kResetRunStart);
    loadSettings(plugin.unit, plugin.configPath);
    plugin.currentTime = 86400000;
    plugin.speed = 0.0f;
}

void setBeaconData(Plugin& plugin, const BeaconData& beacon) {
    plugin.unit.dispatchBeacon(beacon.type, beacon.signal, beacon.optional);
}

} // namespace vantor
