// `vantor-sim check`: runs scenarios side by side and checks what each expects of its run,
// with a line per expectation, the totals, and if asked a JUnit report for CI.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace vantor::sim {

struct CheckOptions {
    std::string library;
    std::vector<std::string> scenarios; // none: the built-in line
    std::string settings;               // a settings file for every scenario, or empty
    std::string junit;                  // where to write the JUnit report, or empty
    int64_t maxFrames = 0;
    unsigned jobs = 1;
};

// Returns the exit status: 0 when every expectation of every scenario holds, 1 when one does
// not, 2 when a scenario cannot be read or run.
int runChecks(const CheckOptions& options, std::ostream& out, std::ostream& errors);

} // namespace vantor::sim
