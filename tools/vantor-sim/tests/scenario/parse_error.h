// What the tests of the scenario reader ask of a text: the error it raises.
#pragma once

#include <string>

#include "scenario/scenario_parser.h"

namespace vantor::sim::testing {

// The message of the error that parsing this text as line.toml raises, or "" if it parses.
inline std::string errorOf(const std::string& text) {
    try {
        parseScenario(text, "line.toml");
    } catch (const ScenarioError& error) {
        return error.what();
    }
    return "";
}

} // namespace vantor::sim::testing
