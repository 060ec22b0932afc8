// The bench's command line beyond what CLI11 does: a scenario given alone (what dropping a file
// on vantor-sim.exe does), and what the bench says of a command line it cannot take: the option
// or command an author misspelt with the one he likely meant, and counts in words.
#pragma once

#include <charconv>
#include <limits>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace vantor::sim {

// A count of 1 or more. CLI11's own range check would print the largest double in full.
template <typename T> CLI::Validator atLeastOne() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            T value{};
            const char* end = text.data() + text.size();
            const auto [stop, error] = std::from_chars(text.data(), end, value);
            if (error == std::errc::result_out_of_range && text.front() != '-') {
                return "at most " + std::to_string(std::numeric_limits<T>::max()) + ", not " + text;
            }
            if (error != std::errc() || stop != end || value < 1) {
                return "expected a whole number, 1 or more, not " + text;
            }
            return "";
        },
        "N");
}

// Whether the only argument is a scenario to run as with --scenario: no option, no command,
// and, unless such a file exists, no misspelt command either.
bool scenarioAlone(const CLI::App& app, const std::string& argument);

// Parses the arguments (UTF-8, the program's name first), a scenario given alone as with
// --scenario. Throws CLI11's errors, its calls for help among them.
void parseCommandLine(CLI::App& app, std::vector<std::string> arguments);

// The message for a parse error other than a call for help, without the program's name.
std::string usageErrorText(const CLI::App& app, const CLI::ParseError& error);

} // namespace vantor::sim
