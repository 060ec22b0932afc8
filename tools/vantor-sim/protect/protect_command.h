// `vantor-sim protect`: every point the unit protects on a line, each approached in the worst
// way (at the line speed, the driver ignoring the warning and the pattern display until the
// unit brakes, the train then braking at its emergency deceleration), and whether the unit
// holds the train to it.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "protect/line_judgement.h"
#include "warnings/route_check.h"

namespace vantor::sim {

struct ProtectOptions {
    std::string library;
    std::string scenario; // empty: the built-in line
    std::string settings; // a settings file in place of the scenario's [settings], or empty
    std::string csv;      // where to write the table, or empty
    std::string svgDir;   // where to put one plot per approach, or empty
    // "line": the speed of the driver's profile from where the point is set to the point;
    // "max": the unit's maximum speed; or a speed in km/h.
    std::string speed = "line";
    int64_t maxFrames = 0;
    unsigned jobs = 1;
};

// Returns the exit status: 0 when the unit protects every point, 1 when it leaves one
// unprotected, 2 when the line cannot be run.
int runProtect(const ProtectOptions& options, std::ostream& out, std::ostream& errors);

// Throws where the approach speed would be the unit's maximum speed and that is none to
// approach at.
void requireApproachSpeed(const Scenario& scenario, const SpeedChoice& speed);

// The report on a scenario already read, its settings applied (options.scenario and
// options.settings are not read); the route warnings it printed go into `warned`.
int protectScenario(const Scenario& scenario, const std::optional<std::string>& settingsFile,
                    const ProtectOptions& options, std::ostream& out, std::ostream& errors,
                    std::vector<RouteWarning>& warned);

} // namespace vantor::sim
