// What the bench's own unit tells about each kind of transponder sequence, read from its record
// while it runs beside the library.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drive/simulation.h"
#include "host/plugin_library.h"
#include "scenario/scenario_parser.h"

using namespace vantor::sim;

namespace {

struct Facts : RunObserver {
    std::vector<UnitFact> facts;
    void onFact(const UnitFact& fact) override { facts.push_back(fact); }
    void onFrame(const FrameRecord&) override {}
};

struct Case {
    const char* name;
    const char* route; // transponders on a line driven at 60 km/h in 20 ms frames
    FactKind kind;
    const char* says;
};

std::string transponder(double position, int type, int optional, int signal = 0) {
    return "[[route.transponders]]\nposition = " + std::to_string(position) +
           "\ntype = " + std::to_string(type) + "\noptional = " + std::to_string(optional) +
           "\nsignal = " + std::to_string(signal) + "\n";
}

const std::string kCoilPair = "[[route.coil_pairs]]\nsecond = 85\nspacing = 6.5\nposition = ";

// The stop pairs that lapse or are held by type 1, the coil cut-out and its watch and the
// timed section are told in the example timelines.
const Case kCases[] = {
    {"FixedCheck", "50 1 400; 70 90 402", FactKind::FixedCheck,
     "fixed check 50 km/h (warning from 45 km/h)"},
    {"FixedCheckWithoutCode", "50 1 400; 70 90 403", FactKind::NoCode,
     "after the stop transponder, neither 2.0 nor 4.0 m: no fixed check"},
    {"StopSuppressed", "70 85 400; 50 1 410; 50 1 420", FactKind::StopSuppressed,
     "no stop curve from this stop pair: a code-85 coil before the stop pair suppresses it"},
    {"CoilLapses", "70 90 400", FactKind::CoilState,
     "no restriction: no second coil came within 25 m of the code-90 coil at 400"},
    {"UnknownType", "42 0 400", FactKind::Ignored,
     "ignored: the unit knows no transponder type 42"},
    {"BothPlacesHeld", "pair 400; pair 450; pair 500", FactKind::Ignored,
     "coil pair decodes to 100 km/h (measured 6."},
};

// "type optional position; ..." or "pair position; ..." as scenario text.
std::string routeText(const std::string& layout) {
    std::string text;
    size_t at = 0;
    while (at < layout.size()) {
        const size_t end = std::min(layout.find(';', at), layout.size());
        const std::string item = layout.substr(at, end - at);
        if (item.find("pair") != std::string::npos) {
            text += kCoilPair + item.substr(item.find("pair") + 5) + "\n";
        } else {
            int type = 0;
            int optional = 0;
            double position = 0.0;
            std::sscanf(item.c_str(), "%d %d %lf", &type, &optional, &position);
            text += transponder(position, type, optional);
        }
        at = end + 1;
    }
    return text;
}

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class UnitExplains : public ::testing::TestWithParam<Case> {};

} // namespace

TEST_P(UnitExplains, WhatTheTranspondersSetUp) {
    const Case& c = GetParam();
    const Scenario scenario =
        parseScenario("[run]\npower_switch = true\nduration = 80\n[driver]\nstart_time = 1\n"
                      "profile = [[0, 60]]\nwatch_pattern = false\n" +
                          routeText(c.route),
                      "line.toml");
    PluginLibrary library(VANTOR_LIBRARY, scenario.settings);
    Facts run;
    runScenario(scenario, library, {&run});
    std::string seen;
    for (const UnitFact& fact : run.facts) {
        ASSERT_NE(fact.kind, FactKind::Differs) << fact.text;
        if (fact.kind == c.kind && fact.text.find(c.says) != std::string::npos) {
            return;
        }
        seen += "\n" + fact.text;
    }
    ADD_FAILURE() << "no fact saying '" << c.says << "' among:" << seen;
}

INSTANTIATE_TEST_SUITE_P(Cases, UnitExplains, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A library that is not the one the bench's own unit is built from: the difference is told
// once, in the frame where the outputs part, and nothing is explained after it.
TEST(UnitExplains, NothingOnceTheLibraryDiffers) {
    const Scenario scenario =
        parseScenario("[run]\npower_switch = true\nduration = 60\n[driver]\nstart_time = 1\n"
                      "profile = [[0, 60]]\n" +
                          routeText("pair 300; 50 1 800; 50 1 810"),
                      "line.toml");
    PluginLibrary library(OTHER_VERSION, scenario.settings);
    Facts run;
    runScenario(scenario, library, {&run});
    ASSERT_FALSE(run.facts.empty());
    EXPECT_EQ(run.facts.back().kind, FactKind::Differs);
    EXPECT_NE(run.facts.back().text.find("panel 19"), std::string::npos) << run.facts.back().text;
    EXPECT_EQ(run.facts.front().kind, FactKind::Restriction);
    EXPECT_EQ(run.facts.size(), 2u);
}
