// Number formatting shared by the timeline, the trace and the plot: fixed decimals, no locale.
#pragma once

#include <cstdio>
#include <string>

namespace vantor::sim {

inline std::string fixed(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

// The shortest of %g's forms: 2 rather than 2.000000.
inline std::string shortNumber(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

} // namespace vantor::sim
