// The heaviest frame the unit can be given: every pattern slot that a transponder can fill is
// filled, the alarm rings with the brake latched, and the warning lamp changes every frame.
#pragma once

#include <string>

#include "plugin_library.h"

namespace vantor::bench {

// The train rocks between these two speeds, one frame each: forwards it is over the 20 km/h
// check of slot 14 (warning lamp on), backwards it is not (lamp off), and as the two frames
// cancel out the slots stay where the transponders put them.
inline constexpr float kRockingKmh = 22.0f;

// Passes the transponders that fill slots 0 to 14 and lets the alarm run out into the brake
// latch. Returns an empty string, or what the panel showed that it should not have.
std::string fillEverySlot(PluginLibrary& plugin);

} // namespace vantor::bench
