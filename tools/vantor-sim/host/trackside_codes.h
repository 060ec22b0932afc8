// What the unit reads from the trackside, for the bench's warnings and explanations: the
// transponder types and coil codes it acts on, and the windows in which it takes a measured
// spacing for a nominal one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "host/unit_facts.h"

namespace vantor::sim {

// The distance over which the unit remembers the last coil or stop transponder.
inline constexpr double kCoilMemory = 25.0; // m

bool knownTransponderType(int32_t type);
// The codes of coils that end a coil pair: 80, 85, 90 and 95.
bool pairCoilCode(int32_t code);

// The target speed (km/h) of a coil pair: a code-90 coil, then a coil of this code at this
// nominal spacing; 0 for none.
uint32_t pairTargetSpeed(int32_t secondCode, float nominal);
// The stop distance (m) that a type 0 at this nominal spacing after a stop transponder picks.
std::optional<double> distanceCodeDistance(float nominal);
// "2 m (1.3 to 2.6 m) for 455 m, 4 m (...) for 560 m or 6.5 m (...) for 765 m"
std::string distanceCodesText();

std::optional<SpacingWindowInfo> windowHolding(double spacing);
// The window nearest to a spacing, by the distance to its bounds.
SpacingWindowInfo nearestWindow(double spacing);
// "3.4 to 4.7 m, for 4 m"
std::string windowText(const SpacingWindowInfo& window);

} // namespace vantor::sim
