// One frame as the host sees it: inputs in, the unit's frame cycle, the handle decision, and
// the lamps, displays and sounds copied into the host's arrays.
#include "../unit/arithmetic.h"
#include "plugin.h"

namespace vantor {

namespace {

// Built whole and then kept, so that the record handed back is never read from the halves just
// written. Its fourth field is 0 from load on and stays 0.
Handles decideHandles(Plugin& plugin) {
    const CVantor& unit = plugin.unit;
    Handles handles{plugin.brakeNotch, plugin.powerNotch, plugin.reverser, 0};
    if ((unit.brakeLatch || unit.emergencyBrake) && unit.powered) {
        // The reverser keeps what the host last got without the override.
        handles = Handles{plugin.emergencyBrakeNotch, 0, plugin.handles.reverser, 0};
    }
    plugin.handles = handles;
    return handles;
}

void writePanel(const CVantor& unit, int32_t* panel) {
    panel[0] = unit.normalLamp;
    panel[1] = unit.alarmLamp;
    panel[11] = unit.powered ? 1 : 0;
    panel[12] = unit.patternLamp;
    panel[13] = unit.patternLamp;
    panel[14] = unit.warningLamp;
    panel[15] = unit.emergencyLamp;
    panel[16] = unit.holdOffLamp;
    panel[17] = unit.spareLamp;
    panel[18] = unit.speedDisplay;
    panel[19] = unit.patternDisplay;
    panel[kPanelNotchWarnInhibit] = 0;
}

void writeSound(const CVantor& unit, int32_t* sound) {
    sound[0] = unit.bellSound;
    sound[1] = unit.alarmLoopSound;
    sound[10] = unit.sound10Out;
    sound[11] = unit.sound11Out;
    sound[12] = unit.sound12Out;
    sound[13] = unit.sound13Out;
    sound[20] = unit.sound20Out;
    sound[21] = unit.sound21Out;
    sound[22] = unit.sound22Out;
}

} // namespace

// The host's arrays are its own, apart from each other and from the plug-in's storage.
Handles elapse(Plugin& plugin, const VehicleState& state, int32_t* __restrict panel,
               int32_t* __restrict sound) {
    const int32_t step = wrappingSub(state.time, plugin.currentTime);
    plugin.speed = state.speed;
    plugin.frameStep = step < 0 ? 0 : step;
    plugin.currentTime = state.time;
    plugin.unit.powerSwitch = panel[kPanelPowerSwitch] != 0;
    plugin.unit.notchWarnInhibit = panel[kPanelNotchWarnInhibit] != 0;

    plugin.unit.runFrame();

    const Handles handles = decideHandles(plugin);
    writePanel(plugin.unit, panel);
    writeSound(plugin.unit, sound);
    return handles;
}

} // namespace vantor
