// Records exchanged with the host simulator. Their layout belongs to the host and is fixed
// byte by byte; the plug-in reads and writes only the fields named here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

extern "C" {

struct VehicleSpec {
    int32_t brakeNotches;  // highest service brake notch
    int32_t powerNotches;  // not read
    int32_t ackBrakeNotch; // brake notch from which the acknowledge key counts
    int32_t atsNotch;      // not read
    int32_t cars;          // not read
};

struct VehicleState {
    double location;  // not read
    float speed;      // km/h, negative while rolling back
    int32_t time;     // host time of the frame, ms
    float bcPressure; // the six pressures and current below are not read
    float mrPressure;
    float erPressure;
    float bpPressure;
    float sapPressure;
    float current;
};

struct BeaconData {
    int32_t type;
    int32_t signal;
    float distance; // not read
    int32_t optional;
};

struct Handles {
    int32_t brake;
    int32_t power;
    int32_t reverser;
    int32_t constantSpeed; // always 0
};

} // extern "C"

static_assert(sizeof(VehicleSpec) == 20 && alignof(VehicleSpec) == 4);
static_assert(offsetof(VehicleSpec, ackBrakeNotch) == 8);
static_assert(sizeof(VehicleState) == 40);
static_assert(offsetof(VehicleState, speed) == 8 && offsetof(VehicleState, time) == 12);
static_assert(sizeof(BeaconData) == 16);
static_assert(offsetof(BeaconData, signal) == 4 && offsetof(BeaconData, optional) == 12);
static_assert(sizeof(Handles) == 16);
static_assert(offsetof(Handles, reverser) == 8 && offsetof(Handles, constantSpeed) == 12);

namespace vantor {

// The host must hand over arrays at least this long; the plug-in does not check.
inline constexpr int kPanelSize = 250;
inline constexpr int kSoundSize = 23;

// Panel entries the plug-in reads.
inline constexpr int kPanelPowerSwitch = 247;
inline constexpr int kPanelNotchWarnInhibit = 249;

// Panel entries the plug-in writes: lamps are 0 or 1, displays in the units named.
inline constexpr int kPanelNormalLamp = 0;
inline constexpr int kPanelAlarmLamp = 1;
inline constexpr int kPanelPowered = 11;
inline constexpr int kPanelPatternLamp = 12;
inline constexpr int kPanelPatternLampRepeat = 13; // the pattern lamp again, for a second cab lamp
inline constexpr int kPanelWarningLamp = 14;
inline constexpr int kPanelEmergencyLamp = 15;
inline constexpr int kPanelHoldOffLamp = 16;
inline constexpr int kPanelSpareLamp = 17;      // never lit
inline constexpr int kPanelSpeedDisplay = 18;   // display steps of the speed needle
inline constexpr int kPanelPatternDisplay = 19; // display steps of the pattern needle
inline constexpr std::array<int, 11> kPanelWritten = {
    kPanelNormalLamp,        kPanelAlarmLamp,    kPanelPowered,       kPanelPatternLamp,
    kPanelPatternLampRepeat, kPanelWarningLamp,  kPanelEmergencyLamp, kPanelHoldOffLamp,
    kPanelSpareLamp,         kPanelSpeedDisplay, kPanelPatternDisplay};

// Sound indices the plug-in writes, each with a command of the unit's record.
inline constexpr int kSoundBell = 0;
inline constexpr int kSoundAlarmTone = 1;
inline constexpr int kSoundPatternChime = 10;
inline constexpr int kSoundWarningChime = 11;
inline constexpr int kSoundPatternEndChime = 12;
inline constexpr int kSoundNotchWarning = 13;
inline constexpr int kSoundBellStop = 20;
inline constexpr int kSoundAlternatingTone1 = 21;
inline constexpr int kSoundAlternatingTone2 = 22;
inline constexpr std::array<int, 9> kSoundWritten = {
    kSoundBell,         kSoundAlarmTone,        kSoundPatternChime,
    kSoundWarningChime, kSoundPatternEndChime,  kSoundNotchWarning,
    kSoundBellStop,     kSoundAlternatingTone1, kSoundAlternatingTone2};

inline constexpr int32_t kPluginVersion = 0x20000;

} // namespace vantor
