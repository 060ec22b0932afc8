// Route warnings from the unit's own reading of the layout: stop distances and stop points
// that miss what the layout is for, coil pairs laid the wrong way round, and second stop
// curves that hold the train for the rest of the line.
#pragma once

#include <vector>

#include "warnings/layout_reading.h"
#include "warnings/route_check.h"

namespace vantor::sim {

void checkLayout(const Scenario& scenario, const LayoutReading& reading,
                 std::vector<RouteWarning>& out);

} // namespace vantor::sim
