// Reads a scenario from TOML text. Every problem is an error that names the file, the line and
// the key, so that nothing runs on a scenario that says something other than what was meant.
#pragma once

#include <string>
#include <string_view>

#include "scenario/scenario.h"
#include "scenario/scenario_error.h"

namespace vantor::sim {

// sourceName names the text in messages, and is the scenario's name when it gives none.
Scenario parseScenario(std::string_view text, const std::string& sourceName);
// A scenario file's text as UTF-8, refused as loadScenarioFile refuses it.
std::string scenarioFileText(const std::string& path);
Scenario loadScenarioFile(const std::string& path);
// The scenario file, or the built-in line when path is empty.
Scenario loadScenario(const std::string& path);

} // namespace vantor::sim
