// The unit's five settings as it uses them, and the values it takes where the settings file
// gives none.
#pragma once

#include <cstdint>

namespace vantor {

struct UnitSettings {
    double maxSpeed;           // km/h: Speed
    double deceleration;       // km/h per second: Deceleration
    double reactionTime;       // s: Rtime
    int32_t displayResolution; // display steps: Resolution
    int32_t displayMaxSpeed;   // km/h that show as displayResolution steps: MaxSpd
};

// What the unit takes for a key that the file does not hold, or when there is no file. An
// integer key with an empty value gives its default too; Deceleration and Rtime with an empty
// value give 0.
inline constexpr UnitSettings kDefaultSettings{125.0, 2.5, 1.0, 60, 140};

// Speed is a whole number, and Speed and Deceleration are held in single precision once read:
// so are their defaults.
static_assert(static_cast<uint32_t>(kDefaultSettings.maxSpeed) == kDefaultSettings.maxSpeed);
static_assert(static_cast<float>(kDefaultSettings.maxSpeed) == kDefaultSettings.maxSpeed);
static_assert(static_cast<float>(kDefaultSettings.deceleration) == kDefaultSettings.deceleration);

} // namespace vantor
