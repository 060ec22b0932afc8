// The protection report's files, and its verdicts against figures worked out by hand from the
// braking curves.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "drive/simulation.h"
#include "host/pinned_random.h"
#include "host/plugin_library.h"
#include "protect/protect_command.h"
#include "scenario/scenario_parser.h"
#include "support/text_format.h"
#include "support/xml_check.h"

using namespace vantor::sim;
using vantor::sim::testing::xmlProblem;

namespace {

std::string contents(const std::filesystem::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A CSV row's fields, quotes taken off.
std::vector<std::string> fields(const std::string& row) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (size_t i = 0; i < row.size(); ++i) {
        const char c = row[i];
        if (c == '"' && quoted && i + 1 < row.size() && row[i + 1] == '"') {
            out.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return out;
}

} // namespace

// At the unit's maximum speed of 125 km/h the built-in line's 390 m stop pair brakes the train
// at once, at the pair (6010 m): at the train's 4.5 km/h/s it needs 125² / (7.2 × 4.5) = 482 m,
// less what its running resistance adds, so it stands between the signal (6400 m) and 6492 m.
// The restriction's curve brakes a train at 125 km/h in time for 100 km/h.
TEST(ProtectReport, WritesTheTableAndAPlotPerJudgement) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "vantor-sim-protect-test";
    std::filesystem::remove_all(folder);
    ProtectOptions options;
    options.library = VANTOR_LIBRARY;
    options.speed = "max";
    options.csv = (folder / "verdicts.csv").string();
    options.svgDir = (folder / "plots").string();
    options.maxFrames = 1'000'000;
    options.jobs = 2;
    std::filesystem::create_directories(folder);
    std::ostringstream out;
    std::ostringstream errors;
    EXPECT_EQ(runProtect(options, out, errors), 1) << out.str() << errors.str();

    std::istringstream csv(contents(folder / "verdicts.csv"));
    std::string line;
    std::vector<std::vector<std::string>> rows;
    while (std::getline(csv, line)) {
        rows.push_back(fields(line));
    }
    ASSERT_EQ(rows.size(), 4u) << contents(folder / "verdicts.csv");
    const auto& columns = rows[0];
    auto column = [&](const char* name) {
        return static_cast<size_t>(std::find(columns.begin(), columns.end(), name) -
                                   columns.begin());
    };
    const auto& signal = rows[1];
    EXPECT_EQ(signal[column("declared")], "signal S1 at 6400.0 m");
    EXPECT_EQ(signal[column("approach_kmh")], "125.0");
    EXPECT_NEAR(std::stod(signal[column("brake_m")]), 6010.0, 3.0);
    const double stood = std::stod(signal[column("stood_m")]);
    EXPECT_GT(stood, 6400.0);
    EXPECT_LE(stood, 6010.0 + 125.0 * 125.0 / (7.2 * 4.5) + 3.0);
    EXPECT_EQ(signal[column("verdict")], "UNPROTECTED");
    EXPECT_EQ(rows[2][column("declared")], "limit 100 km/h from 2062.0 to 3000.0 m");
    EXPECT_EQ(rows[2][column("verdict")], "protected");
    EXPECT_EQ(rows[3][column("declared")], "clear run");
    EXPECT_EQ(rows[3][column("verdict")], "protected");
    for (const char* plot : {"01-signal-S1.svg", "02-limit-2062.0m.svg", "03-clear-run.svg"}) {
        EXPECT_EQ(xmlProblem(contents(folder / "plots" / plot)), "") << plot;
    }
    std::filesystem::remove_all(folder);
}

// A restriction released before the train gets there is told of after the line's own run (a
// warning) and by the approach to its limit (the notes), two runs whose frames end at other
// places. Each tells it at the one place where the unit put it on the line's own run: the front
// at the frame before the pair's second coil, 555 m on.
TEST(ProtectReport, GivesEachPointAtOnePlace) {
    const std::string file = SCENARIO_DIR "/protect/restriction_cancelled.toml";
    const Scenario scenario = loadScenario(file);
    double origin = 0.0; // m: the front at the last frame before the second coil
    struct Frames : RunObserver {
        double& origin;
        double coil;
        explicit Frames(double& o, double c) : origin(o), coil(c) {}
        void onFrame(const FrameRecord& frame) override {
            if (frame.position < coil) {
                origin = frame.position;
            }
        }
        bool takesFacts() const override { return false; }
    };
    const Transponder& second = scenario.transponders.at(1);
    ASSERT_EQ(second.type, 70);
    {
        Frames frames(origin, second.position);
        pinRandom();
        PluginLibrary library(VANTOR_LIBRARY, scenario.settings);
        runScenario(scenario, library, {&frames});
    }
    const std::string expected = "restriction 45 km/h from " + fixed(origin + 555.0, 1) + " m";

    ProtectOptions options;
    options.library = VANTOR_LIBRARY;
    options.scenario = file;
    options.maxFrames = 1'000'000;
    options.jobs = 2;
    std::ostringstream out;
    std::ostringstream errors;
    runProtect(options, out, errors);
    const std::string report = errors.str() + out.str();
    const std::regex told("restriction (of )?45 km/h from ([0-9.]+) m");
    size_t times = 0;
    for (auto it = std::sregex_iterator(report.begin(), report.end(), told);
         it != std::sregex_iterator(); ++it, ++times) {
        EXPECT_EQ("restriction 45 km/h from " + (*it)[2].str() + " m", expected) << report;
    }
    // The warning, the note of the restriction set and that of its release.
    EXPECT_EQ(times, 3u) << report;
}
