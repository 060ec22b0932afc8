// Expectations: each kind passes and fails where it should on a run made up frame by frame, and
// bad [[expect]] tables are refused with the file, the line and the key.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "check/expectation_checker.h"
#include "scenario/scenario_parser.h"
#include "support/text_format.h"

using namespace vantor;
using namespace vantor::sim;

namespace {

std::string errorOf(const std::string& expect) {
    try {
        parseScenario("[[expect]]\n" + expect, "line.toml");
    } catch (const ScenarioError& error) {
        return error.what();
    }
    return "";
}

// A made-up run in 1 s frames: the train runs at 36 km/h (10 m per frame) from 0 m, the unit
// brakes it at 300 m and it stands at 350 m from frame 35 on, until the run ends at frame 45.
// The warning lamp is lit from 200 m to 300 m, the pattern display falls by one step a frame
// (60 at the start, 999 once the train stands), and the warning chime plays at 200 m.
std::vector<FrameRecord> madeUpRun() {
    std::vector<FrameRecord> frames;
    for (int i = 0; i <= 45; ++i) {
        FrameRecord f;
        f.index = i;
        f.time = i;
        f.position = std::min(10.0 * i, 350.0);
        f.speed = i < 35 ? 36.0f : 0.0f;
        f.driver.brake = 0;
        f.returned.brake = f.position >= 300.0 ? 9 : 0;
        f.panel[kPanelWarningLamp] = f.position >= 200.0 && f.position <= 300.0 ? 1 : 0;
        f.panel[kPanelPatternDisplay] = f.speed > 0.0f ? 60 - i : kPatternDisplayInactive;
        if (f.panel[kPanelPatternDisplay] != kPatternDisplayInactive) {
            f.patternSpeed = f.panel[kPanelPatternDisplay] * 140.0 / 60.0;
        }
        f.sound.fill(2);
        f.sound[11] = f.position == 200.0 ? 1 : 2;
        frames.push_back(f);
    }
    return frames;
}

ExpectationResult checked(const std::string& expect) {
    const Scenario scenario =
        parseScenario("[vehicle]\nbrake_notches = 8\n[[expect]]\n" + expect, "line.toml");
    ExpectationChecker checker(scenario);
    const std::vector<FrameRecord> frames = madeUpRun();
    for (const FrameRecord& f : frames) {
        checker.onFrame(f);
    }
    return checker.results(RunEnd{frames.back().time, frames.back().position, 46, "end"}).at(0);
}

// A rising gradient far ahead: the file no longer tells that the train stays ahead of its start.
#define MAY_ROLL_BACK "\n[[route.gradients]]\nposition = 1000\nper_mille = 1\n"

struct Case {
    const char* expect;
    bool passes;
    const char* happened; // what the result says happened
};

} // namespace

TEST(Expectations, EachKindPassesAndFailsOnTheRun) {
    const Case cases[] = {
        {"stop_before = 360", true, "stood at 350.0 m, 35.000 s"},
        {"stop_before = 360\nfrom = 340", true, "stood at 350.0 m"},
        {"stop_before = 335", false,
         "passed 335 m at 340.0 m, 34.000 s, 36.0 km/h before it stood"},
        {"stop_before = 360\nfrom = 355", false, "never stood there; it last stood at 350.0 m"},
        {"brake = \"starts\"\nfrom = 290\nto = 310", true, "started at 300.0 m, 30.000 s"},
        {"brake = \"starts\"\nfrom = 100\nto = 200", false,
         "none there; the first started at 300.0 m"},
        {"brake = \"none\"\nto = 290", true, "none"},
        {"brake = \"none\"\nfrom_time = 32", false, "in force at 320.0 m, 32.000 s"},
        {"lamp = \"warning\"\nfrom = 200\nto = 300", true, "on all along, from 200.0 m to 300.0 m"},
        {"lamp = 14\nstate = \"off\"\nfrom = 150\nto = 250", false, "on at 200.0 m, 20.000 s"},
        {"lamp = \"warning\"\nat_time = 25", true, "on at 250.0 m, 25.000 s, 36.0 km/h"},
        {"pattern_speed = [100, 110]\nat = 150", true, "105.0 km/h (display 45) at 150.0 m"},
        {"pattern_speed = [0, 200]\nfrom = 100", false, "no pattern (display 999) at 350.0 m"},
        {"pattern_display = [40, 60]\nto = 200", true, "display 40 to 60 all along"},
        {"pattern_display = [40, 60]\nat = 250", false, "display 35 at 250.0 m"},
        {"sound = \"warning chime\"\nfrom = 150\nto = 250", true, "played at 200.0 m, 20.000 s"},
        {"sound = 11\nfrom = 250", false, "none there; the first played at 200.0 m"},
        {"sound = \"warning chime\"\nstate = \"silent\"\nfrom = 210", true, "silent"},
        {"sound = \"bell\"\nstate = \"plays\"", false, "none there; none in the whole run"},
        // A frame that runs past a short stretch from before it has seen it.
        {"lamp = \"warning\"\nfrom = 201\nto = 205", true, "on all along, from 210.0 m to 210.0 m"},
        // A place the train never gets to, or a time the run never gets to, proves nothing.
        {"lamp = \"warning\"\nstate = \"off\"\nat = 500", false,
         "looked at nothing: the train never got to 500 m; it got as far as 350.0 m"},
        {"brake = \"none\"\nfrom_time = 60", false,
         "looked at nothing: the run ended at 350.0 m, 45.000 s, before 60 s"},
        // Nor does a stretch behind the start, where a rising gradient might have rolled the
        // train back to, but did not.
        {"lamp = \"emergency\"\nstate = \"off\"\nfrom = -500\nto = -100" MAY_ROLL_BACK, false,
         "looked at nothing: the train started at 0.0 m, beyond -100 m, and got back only to "
         "0.0 m"},
        {"lamp = \"warning\"\nstate = \"off\"\nat = -5" MAY_ROLL_BACK, false,
         "looked at nothing: the train started at 0.0 m, beyond -5 m"},
        {"pattern_display = [0, 999]\nto = -1" MAY_ROLL_BACK, false, "beyond -1 m"},
    };
    for (const Case& c : cases) {
        const ExpectationResult r = checked(c.expect);
        EXPECT_EQ(r.passed, c.passes) << c.expect << "\n" << r.happened;
        EXPECT_NE(r.happened.find(c.happened), std::string::npos) << c.expect << "\n" << r.happened;
    }
}

// A stand outside the stretch is told by when it began, as the frames show it: the first frame
// at a stand, not the last one before the run ended.
TEST(Expectations, AStandIsToldByWhenItBegan) {
    const std::vector<FrameRecord> frames = madeUpRun();
    const auto first = std::find_if(frames.begin(), frames.end(),
                                    [](const FrameRecord& f) { return f.speed == 0.0f; });
    ASSERT_NE(first, frames.end());
    ASSERT_LT(first->time, frames.back().time);
    const ExpectationResult r = checked("stop_before = 360\nfrom = 355");
    EXPECT_FALSE(r.passed);
    EXPECT_NE(r.happened.find("it last stood at " + fixed(first->position, 1) + " m, " +
                              fixed(first->time, 3) + " s;"),
              std::string::npos)
        << r.happened;
}

// Where the file tells that the run cannot get to a place or time, the expectation is refused
// before the run; a file that does not tell leaves it to the check.
TEST(Expectations, PlacesAndTimesTheRunCannotReachAreRefused) {
    const std::pair<const char*, const char*> cases[] = {
        {"lamp = \"emergency\"\nstate = \"off\"\nfrom = -500\nto = -100\n",
         "line.toml:4:8: key 'expect.from': lies behind the train's start at 0 m, and nothing "
         "takes the train back (no rising gradient, no reverser at -1)"},
        {"lamp = 1\nto = -100\n", "line.toml:3:6: key 'expect.to': lies behind the train's "
                                  "start at 0 m"},
        {"stop_before = -10\n", "key 'expect.stop_before': lies behind the train's start at 0 m"},
        {"lamp = 1\nat = 500\n[run]\nstart_position = 1000\n",
         "key 'expect.at': lies behind the train's start at 1000 m"},
        {"lamp = 1\nto = 2500\n[route]\nlength = 2000\n",
         "line.toml:3:6: key 'expect.to': lies beyond the end of the line at 2000 m "
         "(route.length)"},
        {"lamp = 1\nto_time = 400\n", "line.toml:3:11: key 'expect.to_time': lies after the "
                                      "run's last frame, at 300 s"},
        {"lamp = 1\nat_time = 10.01\n[run]\nduration = 10.01\n",
         "key 'expect.at_time': lies after the run's last frame, at 10 s"},
        // What the file allows: the train may roll back or be driven backwards, the stand may
        // be looked for beyond the line's end, where the run ends.
        {"lamp = 1\nto = -100\n[[route.gradients]]\nposition = 50\nper_mille = 2\n", ""},
        {"lamp = 1\nto = -100\n[[events]]\ntime = 5\nreverser = -1\n", ""},
        {"stop_before = 2500\n[route]\nlength = 2000\n", ""},
        {"lamp = 1\nfrom = 0\nto = 2000\n[route]\nlength = 2000\n", ""},
        {"lamp = 1\nto_time = 300\n", ""},
    };
    for (const auto& [expect, error] : cases) {
        const std::string got = errorOf(expect);
        if (*error == '\0') {
            EXPECT_EQ(got, "") << expect;
        } else {
            EXPECT_NE(got.find(error), std::string::npos) << expect << "\n" << got;
        }
    }
}

TEST(Expectations, BadOnesAreNamedWithTheirLineAndKey) {
    const std::pair<const char*, const char*> cases[] = {
        {"label = \"x\"\n", "line.toml:1:1: [expect]: each expectation needs exactly one of "
                            "stop_before, brake, lamp, pattern_speed, pattern_display and sound"},
        {"lamp = \"warning\"\nsound = \"bell\"\n", "each expectation needs exactly one of"},
        {"lamp = \"warnin\"\n", "line.toml:2:8: key 'expect.lamp': expected a lamp (power, "},
        {"lamp = 18\n", "key 'expect.lamp': expected a lamp"},
        {"lamp = 0\nstate = \"lit\"\n", "line.toml:3:9: key 'expect.state': expected \"on\" or "
                                        "\"off\""},
        {"sound = 2\n", "key 'expect.sound': expected a sound (bell, "},
        {"brake = \"yes\"\n", "key 'expect.brake': expected \"starts\" or \"none\""},
        {"brake = \"starts\"\nat = 100\n", "[expect]: a brake is looked for over a stretch"},
        {"sound = \"bell\"\nat_time = 1\n", "[expect]: a sound is looked for over a stretch"},
        {"stop_before = 100\nto = 50\n", "[expect]: with stop_before only 'from' may be given"},
        {"pattern_speed = [90, 80]\n", "key 'expect.pattern_speed': the highest must not lie "
                                       "below the lowest"},
        {"pattern_display = 40\n", "key 'expect.pattern_display': expected [lowest, highest]"},
        {"lamp = 1\nfrom = 100\nto = 50\n", "line.toml:4:6: key 'expect.to': must not lie "
                                            "before 'from'"},
        {"lamp = 1\nat = 5\nfrom_time = 3\n", "give places (at, from, to) or times"},
        {"lamp = 1\nat = 5\nto = 7\n", "'at' stands alone"},
        {"lamp = 1\nfrom_time = -1\n", "key 'expect.from_time': must not be negative"},
        {"lamp = 1\nfrm = 3\n", "line.toml:3:1: unknown key 'expect.frm'"},
        {"brake = \"none\"\nstate = \"on\"\n", "unknown key 'expect.state'"},
        {"stop_before = 400\nfrom = 500\n", "line.toml:3:8: key 'expect.from': must not lie "
                                            "beyond stop_before (400 m): no stand could count"},
        {"lamp = 1\nat = 1e8\n", "line.toml:3:6: key 'expect.at': must lie between -10000000 "
                                 "and 10000000 m"},
        {"stop_before = 1e300\n", "key 'expect.stop_before': must lie between -10000000"},
    };
    for (const auto& [expect, error] : cases) {
        EXPECT_NE(errorOf(expect).find(error), std::string::npos) << expect << "\n"
                                                                  << errorOf(expect);
    }
}
