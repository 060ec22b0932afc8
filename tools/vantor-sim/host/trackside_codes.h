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

std::optional<SpacingWindowInfo> windowHolding(double spacing);
// The window nearest to a spacing, by the distance to its bounds.
SpacingWindowInfo nearestWindow(double spacing);
// "3.4 to 4.7 m, for 4 m"
std::string windowText(const SpacingWindowInfo& window);

// The stop distance a type 0 picks at this spacing after a stop transponder, while a code-80
// coil's curve is set; none at a spacing in no distance-code window (m).
std::optional<double> pickedStopDistance(double spacing);
// The stop distance a type 0 anywhere else picks (m).
double plainStopDistance();
// "1.3 to 2.6 m for 455 m, 3.4 to 4.7 m for 560 m, 5.8 to 7.1 m for 765 m"
std::string distanceCodeWindowsText();

} // namespace vantor::sim
