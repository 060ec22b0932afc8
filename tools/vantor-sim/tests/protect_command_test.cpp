// The protection report's files: the table as CSV, one row per point, and a well-formed plot of
// each approach.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "protect_command.h"
#include "xml_check.h"

using namespace vantor::sim;
using vantor::sim::testing::xmlProblem;

namespace {

std::string contents(const std::filesystem::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

// At the unit's maximum speed the built-in line's 390 m stop distance is too short: the
// restriction holds, the stop point does not.
TEST(ProtectReport, WritesTheTableAndAPlotPerApproach) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "vantor-sim-protect-test";
    std::filesystem::remove_all(folder);
    ProtectOptions options;
    options.library = VANTOR_LIBRARY;
    options.speed = "max";
    options.csv = (folder / "points.csv").string();
    options.svgDir = (folder / "plots").string();
    options.maxFrames = 1'000'000;
    options.jobs = 2;
    std::filesystem::create_directories(folder);
    std::ostringstream out;
    std::ostringstream errors;
    EXPECT_EQ(runProtect(options, out, errors), 1) << out.str() << errors.str();

    std::istringstream csv(contents(folder / "points.csv"));
    std::string line;
    std::vector<std::string> rows;
    while (std::getline(csv, line)) {
        rows.push_back(line);
    }
    ASSERT_EQ(rows.size(), 3u) << contents(folder / "points.csv");
    EXPECT_EQ(rows[1].rfind("1,restriction,2061.3,100,555,coil 85,", 0), 0u) << rows[1];
    EXPECT_NE(rows[1].find(",125.0,"), std::string::npos) << rows[1];
    EXPECT_EQ(rows[1].substr(rows[1].rfind(',') + 1), "protected");
    EXPECT_EQ(rows[2].rfind("2,stop,6399.9,0,390,type 50,", 0), 0u) << rows[2];
    EXPECT_EQ(rows[2].substr(rows[2].rfind(',') + 1), "unprotected");
    for (const char* plot : {"01-restriction-2061.3m.svg", "02-stop-6399.9m.svg"}) {
        EXPECT_EQ(xmlProblem(contents(folder / "plots" / plot)), "") << plot;
    }
    std::filesystem::remove_all(folder);
}
