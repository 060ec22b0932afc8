// Warnings about the line before the run: what in the scenario the unit will ignore or may
// misread. Each names the line of the scenario file that says it.
#pragma once

#include <string>
#include <vector>

#include "scenario/scenario.h"

namespace vantor::sim {

struct RouteWarning {
    int line = 0; // in the scenario file; 0 when the scenario was not read from one
    std::string text;
};

std::vector<RouteWarning> checkRoute(const Scenario& scenario);

// "file:line: warning: text", as compilers write them.
std::string warningText(const Scenario& scenario, const RouteWarning& warning);

} // namespace vantor::sim
