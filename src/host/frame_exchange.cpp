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
    panel[kPanelNormalLamp] = unit.normalLamp;
    panel[kPanelAlarmLamp] = unit.alarmLamp;
    panel[kPanelPowered] = unit.powered ? 1 : 0;
    panel[kPanelPatternLamp] = unit.patternLamp;
    panel[kPanelPatternLampRepeat] = unit.patternLamp;
    panel[kPanelWarningLamp] = unit.warningLamp;
    panel[kPanelEmergencyLamp] = unit.emergencyLamp;
    panel[kPanelHoldOffLamp] = unit.holdOffLamp;
    panel[kPanelSpareLamp] = unit.spareLamp;
    panel[kPanelSpeedDisplay] = unit.speedDisplay;
    panel[kPanelPatternDisplay] = unit.patternDisplay;
    panel[kPanelNotchWarnInhibit] = 0;
}

void writeSound(const CVantor& unit, int32_t* sound) {
    sound[kSoundBell] = unit.bellSound;
    sound[kSoundAlarmTone] = unit.alarmLoopSound;
    sound[kSoundPatternChime] = unit.sound10Out;
    sound[kSoundWarningChime] = unit.sound11Out;
    sound[kSoundPatternEndChime] = unit.sound12Out;
    sound[kSoundNotchWarning] = unit.sound13Out;
    sound[kSoundBellStop] = unit.sound20Out;
    sound[kSoundAlternatingTone1] = unit.sound21Out;
    sound[kSoundAlternatingTone2] = unit.sound22Out;
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
