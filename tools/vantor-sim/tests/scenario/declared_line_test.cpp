// What an author declares of his line: signals and limits as the file states them, bad ones
// refused with their line, and transponders linked to a signal reporting its aspect at the
// moment the train passes them, as the file scripts it or as the protection report plays it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drive/simulation.h"
#include "host/plugin_library.h"
#include "scenario/parse_error.h"
#include "scenario/scenario_parser.h"

using namespace vantor::sim;
using vantor::sim::testing::errorOf;

namespace {

// The signal value each transponder reported, in the order the train passed them.
struct Reports : RunObserver {
    std::vector<std::string> texts;
    void onNote(const Note& note) override {
        if (note.transponder) {
            texts.push_back(note.text);
        }
    }
    void onFrame(const FrameRecord&) override {}
    bool takesFacts() const override { return false; }
};

std::vector<std::string> reports(const Scenario& s, const Play* play = nullptr) {
    PluginLibrary library(VANTOR_LIBRARY, s.settings);
    Reports r;
    runScenario(s, library, {&r}, {}, play);
    return r.texts;
}

// A line of three type-0 transponders, at 100, 200 and 300 m, the first two linked to S1 and
// S2, the third reporting 7 as written; S1 clears (to 3) by an event at 150 m.
const char* const kLinkedLine = R"(
[run]
power_switch = true
duration = 60.0

[driver]
start_time = 1.0
profile = [[0, 60]]

[route]
length = 400

[[route.signals]]
name = "S1"
position = 1000
clear = 3

[[route.signals]]
name = "S2"
position = 1000
aspect = 5

[[route.transponders]]
position = 250
type = 0
signal = "S1"
optional = 1

[[route.transponders]]
position = 100
type = 0
signal = "S1"
optional = 1

[[route.transponders]]
position = 200
type = 0
signal = "S2"
optional = 1

[[route.transponders]]
position = 300
type = 0
signal = 7
optional = 1

[[events]]
position = 150
signal = "S1"
aspect = 3
)";

} // namespace

TEST(DeclaredLine, SignalsAndLimitsAreReadAsWritten) {
    const Scenario s = parseScenario(kLinkedLine, "line.toml");
    ASSERT_EQ(s.signals.size(), 2u);
    EXPECT_EQ(s.signals[0].name, "S1");
    EXPECT_EQ(s.signals[0].aspect, 0);
    EXPECT_EQ(s.signals[0].clear, 3);
    EXPECT_EQ(s.signals[1].aspect, 5);
    EXPECT_EQ(s.signals[1].clear, 1);
    ASSERT_EQ(s.transponders.size(), 4u);
    EXPECT_EQ(s.transponders[0].linkedSignal, 0u); // sorted: 100 m first
    EXPECT_EQ(s.transponders[1].linkedSignal, 1u);
    EXPECT_EQ(s.transponders[3].linkedSignal, std::nullopt);
    EXPECT_EQ(s.transponders[3].signal, 7);
    ASSERT_EQ(s.events.size(), 1u);
    EXPECT_EQ(s.events[0].signal, 0u);

    const Scenario pair = parseScenario(R"(
[[route.signals]]
name = "A"
position = 900
[[route.coil_pairs]]
position = 100
second = 85
spacing = 6.5
signal = "A"
[[route.limits]]
from = 300
to = 400.5
speed = 45
)",
                                        "line.toml");
    ASSERT_EQ(pair.transponders.size(), 2u);
    EXPECT_EQ(pair.transponders[0].linkedSignal, 0u);
    EXPECT_EQ(pair.transponders[1].linkedSignal, 0u);
    ASSERT_EQ(pair.limits.size(), 1u);
    EXPECT_EQ(pair.limits[0].to, 400.5);
    EXPECT_EQ(pair.limits[0].line, 10);
}

TEST(DeclaredLine, BadDeclarationsAreNamedWithTheirLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"[[route.signals]]\nposition = 5\n",
         "1:1: [route.signals]: missing key 'route.signals.name'"},
        {"[[route.signals]]\nname = \"S\"\n", "missing key 'route.signals.position'"},
        {"[[route.signals]]\nname = \"\"\nposition = 5\n",
         "2:8: key 'route.signals.name': must not be empty"},
        {"[[route.signals]]\nname = \"S\"\nposition = 5\n[[route.signals]]\nname = \"S\"\nposition "
         "= 9\n",
         "5:8: key 'route.signals.name': a second signal named \"S\" (the first is on line 1)"},
        {"[[route.signals]]\nname = \"S\"\nposition = 5\nclear = 0\n",
         "4:9: key 'route.signals.clear': 0 is danger"},
        {"[[route.transponders]]\nposition = 5\ntype = 1\nsignal = \"S9\"\n",
         "4:10: key 'route.transponders.signal': no signal named \"S9\" in [[route.signals]]"},
        {"[[route.coil_pairs]]\nposition = 5\nsecond = 85\nspacing = 6.5\nsignal = \"S9\"\n",
         "5:10: key 'route.coil_pairs.signal': no signal named \"S9\""},
        {"[[route.limits]]\nfrom = 10\nto = 10\nspeed = 45\n",
         "3:6: key 'route.limits.to': must lie beyond from"},
        {"[[route.limits]]\nfrom = 10\nto = 20\nspeed = 0\n",
         "key 'route.limits.speed': must be greater than 0"},
        {"[[route.limits]]\nfrom = 10\nspeed = 45\n", "missing key 'route.limits.to'"},
        {"[[route.signals]]\nname = \"S\"\nposition = 5\n[[events]]\ntime = 1\nsignal = \"S\"\n",
         "4:1: [events]: a signal's change needs both 'signal' and 'aspect'"},
        {"[[events]]\ntime = 1\nsignal = 3\naspect = 1\n",
         "3:10: key 'events.signal': expected the name of a signal, got an integer"},
    };
    for (const auto& [text, error] : cases) {
        EXPECT_NE(errorOf(text).find(error), std::string::npos)
            << text << "\ngave: " << errorOf(text);
    }
}

// As the file scripts it: S1 reports its aspect 0 at 100 m and its cleared 3 at 250 m, after the
// event; S2 its 5; the unlinked transponder its own 7.
TEST(DeclaredLine, LinkedTranspondersReportTheAspectWhenPassed) {
    const Scenario s = parseScenario(kLinkedLine, "line.toml");
    const std::vector<std::string> asWritten = reports(s);
    ASSERT_EQ(asWritten.size(), 4u);
    EXPECT_NE(asWritten[0].find("(signal 0 of S1,"), std::string::npos) << asWritten[0];
    EXPECT_NE(asWritten[1].find("(signal 5 of S2,"), std::string::npos) << asWritten[1];
    EXPECT_NE(asWritten[2].find("(signal 3 of S1,"), std::string::npos) << asWritten[2];
    EXPECT_NE(asWritten[3].find("(signal 7,"), std::string::npos) << asWritten[3];

    // As the protection report plays it: every signal cleared, S2 at danger whatever the
    // script says; the script's aspects do nothing.
    Play play;
    play.aspects = AspectRule{true, 1u, std::nullopt};
    const std::vector<std::string> played = reports(s, &play);
    ASSERT_EQ(played.size(), 4u);
    EXPECT_NE(played[0].find("(signal 3 of S1,"), std::string::npos) << played[0];
    EXPECT_NE(played[1].find("(signal 0 of S2,"), std::string::npos) << played[1];
    EXPECT_NE(played[3].find("(signal 7,"), std::string::npos) << played[3];

    // S1 at danger until the train draws up to it, 50 m before its place.
    Scenario near = s;
    near.signals[0].position = 240;
    play.aspects = AspectRule{true, std::nullopt, 0u, 100.0};
    const std::vector<std::string> drawnUp = reports(near, &play);
    ASSERT_EQ(drawnUp.size(), 4u);
    EXPECT_NE(drawnUp[0].find("(signal 0 of S1,"), std::string::npos) << drawnUp[0];
    EXPECT_NE(drawnUp[2].find("(signal 3 of S1,"), std::string::npos) << drawnUp[2];
}
