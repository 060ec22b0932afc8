#include "report/junit_report.h"

#include "support/text_format.h"
#include "support/xml_text.h"

namespace vantor::sim {

namespace {

std::string attribute(const char* name, const std::string& value) {
    return std::string(" ") + name + "=\"" + xmlText(value) + "\"";
}

} // namespace

std::string junitXml(const std::vector<JUnitSuite>& suites) {
    size_t tests = 0;
    size_t failures = 0;
    size_t errors = 0;
    std::string body;
    for (const JUnitSuite& suite : suites) {
        size_t suiteFailures = 0;
        std::string cases;
        for (const JUnitCase& c : suite.cases) {
            cases +=
                "    <testcase" + attribute("name", c.name) + attribute("classname", suite.name);
            if (c.failed) {
                ++suiteFailures;
                cases += ">\n      <failure" + attribute("message", c.message) + "/>\n" +
                         "    </testcase>\n";
            } else {
                cases += "/>\n";
            }
        }
        // A scenario that cannot be run is one test case in error.
        const bool error = !suite.error.empty();
        if (error) {
            cases += "    <testcase" + attribute("name", "scenario") +
                     attribute("classname", suite.name) + ">\n      <error" +
                     attribute("message", suite.error) + "/>\n    </testcase>\n";
        }
        const size_t suiteTests = suite.cases.size() + (error ? 1 : 0);
        body += "  <testsuite" + attribute("name", suite.name) +
                attribute("tests", std::to_string(suiteTests)) +
                attribute("failures", std::to_string(suiteFailures)) +
                attribute("errors", error ? "1" : "0") +
                attribute("time", fixed(suite.seconds, 3)) + ">\n" + cases + "  </testsuite>\n";
        tests += suiteTests;
        failures += suiteFailures;
        errors += error ? 1 : 0;
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites" +
           attribute("name", "vantor-sim check") + attribute("tests", std::to_string(tests)) +
           attribute("failures", std::to_string(failures)) +
           attribute("errors", std::to_string(errors)) + ">\n" + body + "</testsuites>\n";
}

} // namespace vantor::sim
