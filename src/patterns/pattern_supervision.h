// The rules of the pattern supervision besides the patterns: how long a coil state lasts, when
// rolling back brakes, and how long the hold-off lasts.
#pragma once

#include <cstdint>

namespace vantor::supervision {

// A coil state ends once the train has run this far from its coil, m.
inline constexpr double kCoilWindow = 25.0;

// Rolling back at this speed or faster (km/h, negative backward) for this long (ms of host time)
// brakes, unless the hold-off is in force or the reverser is set backward.
inline constexpr float kRollbackSpeed = -7.0f;
inline constexpr int32_t kRollbackTime = 3000;
inline constexpr int32_t kReverserBackward = -1;

// The hold-off of key 14 lasts this long from the last frame's host time, ms.
inline constexpr int32_t kHoldOffDuration = 60000;

} // namespace vantor::supervision
