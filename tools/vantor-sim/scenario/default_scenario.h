// The built-in line that runs when no scenario file is given.
#pragma once

#include <string_view>

namespace vantor::sim {

// The text of default_scenario.toml, compiled in.
std::string_view defaultScenarioText();

inline constexpr const char* kDefaultScenarioName = "<built-in default scenario>";

} // namespace vantor::sim
