// The check's JUnit report: well-formed XML whatever the scenarios hold, with one test case per
// expectation, grouped by scenario.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "check/check_command.h"
#include "report/junit_report.h"
#include "scenario/scenario_files.h"
#include "support/xml_check.h"

using namespace vantor::sim;
using vantor::sim::testing::occurrences;
using vantor::sim::testing::xmlProblem;

TEST(JUnitReport, HoldsOneTestCasePerExpectation) {
    const std::filesystem::path report =
        std::filesystem::temp_directory_path() / "vantor-sim-check-report.xml";
    CheckOptions options;
    options.library = VANTOR_LIBRARY;
    options.scenarios = {SCENARIO_DIR "/check/late_brake.toml", EXAMPLES_DIR "/stop_sequence.toml",
                         SCENARIO_DIR "/scenario/bad/unknown_key.toml"};
    options.junit = report.string();
    options.maxFrames = 1'000'000;
    options.jobs = 2;
    std::ostringstream out;
    std::ostringstream errors;
    EXPECT_EQ(runChecks(options, out, errors), 2) << out.str();
    EXPECT_NE(out.str().find("\n8 passed, 1 failed, 1 scenario not run\n"), std::string::npos)
        << out.str();

    std::ifstream in(report);
    const std::string xml{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::filesystem::remove(report);
    EXPECT_EQ(xmlProblem(xml), "");
    EXPECT_EQ(occurrences(xml, "<testsuite "), 3u);
    // 2 expectations; 5 and the verdicts on the signal and the clear run; and the scenario that
    // could not run.
    EXPECT_EQ(occurrences(xml, "<testcase "), 10u);
    EXPECT_EQ(occurrences(xml, "<failure "), 1u);
    EXPECT_EQ(occurrences(xml, "<error "), 1u);
    EXPECT_NE(xml.find("tests=\"10\" failures=\"1\" errors=\"1\""), std::string::npos);
    EXPECT_NE(xml.find("late_brake.toml:27: FAILED"), std::string::npos);
}

// Labels and paths are the authors': markup, control characters and bytes that are not UTF-8
// must not break the report.
TEST(JUnitReport, StaysWellFormedWhateverTheText) {
    const std::string odd = "a<b & \"c\" 'd'>\x01\x1f\xff\xc3(\xe2\x82 \xc3\xa9 \xed\xa0\x80";
    const std::string xml = junitXml(
        {JUnitSuite{odd, 0.5, {JUnitCase{odd, true, odd}, JUnitCase{odd, false, ""}}, odd}});
    // Control characters and bytes that are no UTF-8 would make it ill-formed; the é stays.
    EXPECT_EQ(xmlProblem(xml), "");
    EXPECT_NE(xml.find("\xc3\xa9"), std::string::npos);
    EXPECT_NE(xml.find("a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;"), std::string::npos);
}

// cmd.exe and PowerShell hand "checks\*.toml" over as it is: the check expands it itself.
TEST(ScenarioFiles, PatternsStandForTheFilesTheyMatch) {
    const std::pair<const char*, const char*> matches[] = {
        {"*.toml", "a.toml"}, {"a*", "a.toml"},   {"?.toml", "a.toml"},
        {"*a*b*", "xaxxb"},   {"a*b*c", "abxbc"}, {"*", ""},
    };
    for (const auto& [pattern, name] : matches) {
        EXPECT_TRUE(wildcardMatch(pattern, name)) << pattern << " " << name;
    }
    const std::pair<const char*, const char*> misses[] = {
        {"*.toml", "a.tom"},
        {"?.toml", "ab.toml"},
        {"a*b*c", "abxbcd"},
        {"b*", "ab"},
    };
    for (const auto& [pattern, name] : misses) {
        EXPECT_FALSE(wildcardMatch(pattern, name)) << pattern << " " << name;
    }
    const std::string folder = EXAMPLES_DIR;
    EXPECT_EQ(
        scenarioFiles({folder + "/no_ack*.toml", folder + "/rollback.toml"}),
        (std::vector<std::string>{folder + "/no_acknowledgement.toml", folder + "/rollback.toml"}));
    // A pattern that matches nothing stays, so that the error names it.
    EXPECT_EQ(scenarioFiles({folder + "/nothing*.toml"}),
              std::vector<std::string>{folder + "/nothing*.toml"});
}
