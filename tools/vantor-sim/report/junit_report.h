// The check's results as a JUnit XML report, the form in which CI systems take test results:
// one test suite per scenario, one test case per expectation.
#pragma once

#include <string>
#include <vector>

namespace vantor::sim {

struct JUnitCase {
    std::string name;
    bool failed = false;
    std::string message; // what happened, for a failure
};

struct JUnitSuite {
    std::string name; // the scenario file
    double seconds = 0.0;
    std::vector<JUnitCase> cases;
    std::string error; // why the scenario could not be run, if it could not
};

// The whole document. Any text goes in, however odd: markup is escaped, and characters that
// XML cannot hold (control characters, bytes that are not UTF-8) become '?'.
std::string junitXml(const std::vector<JUnitSuite>& suites);

} // namespace vantor::sim
