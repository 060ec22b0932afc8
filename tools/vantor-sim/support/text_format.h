// Number formatting shared by the timeline, the trace and the plot: fixed decimals, no locale;
// and the quoting of the bench's CSV tables.
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

// A CSV field, quoted where it holds a separator or a quote.
inline std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

} // namespace vantor::sim
