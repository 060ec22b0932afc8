// The protection report's table, for the terminal and as CSV: a row per point with what its
// worst-case approach showed.
#pragma once

#include <cstddef>
#include <string>

#include "approach_watch.h"
#include "protected_points.h"

namespace vantor::sim {

struct ProtectionRow {
    ProtectedPoint point;
    double speed = 0.0; // km/h; 0: the line speed there is 0, nothing to approach at
    ApproachResult result;
    std::string svg; // the plot of the approach, when asked for
};

std::string protectionTableHeader();
std::string protectionTableRow(size_t number, const ProtectionRow& row);
std::string protectionCsvHeader();
std::string protectionCsvRow(size_t number, const ProtectionRow& row);

// "stop", "approach-curve", "restriction" or "check": for file names and the CSV.
const char* pointKindSlug(const ProtectedPoint& point);

} // namespace vantor::sim
