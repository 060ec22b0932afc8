// The protection report branches each approach off one clear run of the line, going back to the
// saved state of the library and of the bench after each. Whatever it judges must come out the
// same as when each approach is played from the start of the line on a library of its own.
#include <gtest/gtest.h>

#include <sstream>

#include "host/pinned_random.h"
#include "protect/line_judgement.h"
#include "protect/protection_table.h"
#include "scenario/run_settings.h"
#include "scenario/scenario_files.h"
#include "scenario/scenario_parser.h"

using namespace vantor::sim;

namespace {

std::string report(const std::vector<Judgement>& judgements) {
    std::string text;
    for (size_t i = 0; i < judgements.size(); ++i) {
        const Judgement& j = judgements[i];
        text += protectionCsvRow(i + 1, j) + "\n";
        for (const std::string& said : j.unitSaid) {
            text += "  " + said + "\n";
        }
        text += j.svg;
    }
    return text;
}

} // namespace

TEST(LineJudgement, BranchedApproachesJudgeAsApproachesFromTheStart) {
    pinRandom();
    const std::vector<std::string> files =
        scenarioFiles({EXAMPLES_DIR "/*.toml", SCENARIO_DIR "/protect/*.toml"});
    size_t judged = 0;
    for (const std::string& file : files) {
        Scenario scenario = loadScenario(file);
        if (scenario.signals.empty() && scenario.limits.empty()) {
            continue;
        }
        JudgeOptions options;
        options.library = VANTOR_LIBRARY;
        std::ostringstream warnings;
        options.settingsFile = RunSettings("", warnings).apply(scenario, warnings);
        options.unitMaxSpeed = scenario.settings.file.unit().maxSpeed;
        options.plots = true;
        const std::string branched = report(judgeLine(scenario, options));
        options.replayEach = true;
        const std::string replayed = report(judgeLine(scenario, options));
        EXPECT_EQ(branched, replayed) << file;
        ++judged;
    }
    EXPECT_GE(judged, 10u);
}
