// Where laid transponders would disturb one another: a transponder within the unit's coil memory
// after a coil or a stop transponder that changes what it means, a transponder inside a stop
// signal's layout that breaks it or releases its curves, and two restrictions of one code that
// end each other.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "layout/layout_recipes.h"

namespace vantor::sim {

// What in `candidate` (the transponders of one signal's layout, or one coil pair) disturbs, or is
// disturbed by, the transponders already laid or the author's own; none when nothing does.
std::optional<std::string> conflictOf(const Scenario& scenario, const std::vector<Laid>& candidate,
                                      const std::vector<Laid>& laid);

} // namespace vantor::sim
