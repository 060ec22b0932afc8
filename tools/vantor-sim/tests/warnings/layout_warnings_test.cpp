// Layouts that mislead the unit without a trace: each one in warnings/ is warned of, with the
// line of the transponder to change, and the right layout beside it is not. What the unit then
// does on the run, read from its own record and from the library's panel, is held to the hand
// calculation in each file's header.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "drive/simulation.h"
#include "host/plugin_library.h"
#include "scenario/scenario_parser.h"
#include "warnings/route_check.h"
#include "warnings/run_warnings.h"

using namespace vantor::sim;

namespace {

// What the run showed of the unit.
struct Seen : RunObserver {
    std::vector<UnitFact> facts;
    int transpondersPassed = 0;
    std::optional<double> lastPatternSpeed; // km/h, as the library's display reads
    double lastPosition = 0.0;              // m
    bool everPowered = false;

    void onNote(const Note& note) override { transpondersPassed += note.transponder ? 1 : 0; }
    void onFact(const UnitFact& fact) override { facts.push_back(fact); }
    void onFrame(const FrameRecord& frame) override {
        lastPatternSpeed = frame.patternSpeed;
        lastPosition = frame.position;
        everPowered = everPowered || frame.panel[vantor::kPanelPowered] != 0;
    }

    // The point of the first curve the unit set in a slot.
    std::optional<double> pointOf(int slot) const {
        for (const UnitFact& f : facts) {
            if (f.slot == slot && f.point &&
                (f.kind == FactKind::StopCurve || f.kind == FactKind::Restriction)) {
                return f.point;
            }
        }
        return std::nullopt;
    }
    int count(FactKind kind) const {
        int n = 0;
        for (const UnitFact& f : facts) {
            n += f.kind == kind ? 1 : 0;
        }
        return n;
    }
};

struct Expected {
    int line;
    std::vector<std::string> says; // fragments of its text
};

struct Case {
    const char* file; // in warnings/
    // Before the run, then after it, in the order the bench prints them.
    std::vector<Expected> warnings;
    std::function<void(const Seen&)> unitDid;
};

// m a train runs in one frame at 60 km/h in 20 ms frames: the unit counts a curve's distance
// from the frame before the transponder, so its point lies up to this much short.
constexpr double kFrameRun = 60.0 * 0.020 / 3.6;

void endsAt(const Seen& seen, int slot, double hand) {
    const std::optional<double> point = seen.pointOf(slot);
    ASSERT_TRUE(point.has_value());
    EXPECT_LE(*point, hand);
    EXPECT_GT(*point, hand - kFrameRun);
}

const std::vector<Case>& cases() {
    static const std::vector<Case> all = {
        // 3.0 m fits no distance-code window: 390 m, from the second type 50 at 2545 m.
        {"distance_code_off_window",
         {{43,
           {"type 0 3 m after the type 50 on line 36: no distance code, so the next stop "
            "curve keeps 390 m; lay it 2 m (1.3 to 2.6 m) for 455 m"}}},
         [](const Seen& s) { endsAt(s, 1, 2545.0 + 390.0); }},
        {"distance_code_in_window", {}, [](const Seen& s) { endsAt(s, 1, 2545.0 + 455.0); }},
        // 2546 + 455 = 3001 m, past S and its type 1 at 3000 m.
        {"stop_pair_late",
         {{56,
           {"sets the stop curve 455 m on, to 3001 m: 1 m past signal S at 3000 m",
            "lay this type 50 at 2545 m or before (455 m, picked by the type 0 on line 42)"}}},
         [](const Seen& s) { endsAt(s, 1, 3001.0); }},
        {"stop_pair_on_time", {}, [](const Seen& s) { endsAt(s, 1, 3000.0); }},
        {"stop_pair_late_type1",
         {{47,
           {"to 3001 m: 1 m past the type 1 on line 53, at 3000 m, which stops a train at "
            "danger"}}},
         [](const Seen& s) { endsAt(s, 1, 3001.0); }},
        {"stop_pair_on_time_type1", {}, [](const Seen& s) { endsAt(s, 1, 3000.0); }},
        // Code 80 first: its own curve to 1422.5 + 644 m and no restriction; in order, 45 km/h
        // from 1445 + 555 = 2000 m (10 ms frames at 80 km/h: 0.22 m a frame).
        {"reversed_coil_pair",
         {{24,
           {"code-80 coil, then a code-90 coil 22.5 m on: a coil pair begins with its code-90 "
            "coil, so the unit reads no pair here and the code-80 coil sets a stop curve with a "
            "65 km/h floor 644 m on; lay the code-90 coil first for 45 km/h"}}},
         [](const Seen& s) {
             EXPECT_EQ(s.count(FactKind::Restriction), 0);
             const std::optional<double> point = s.pointOf(0);
             ASSERT_TRUE(point.has_value());
             EXPECT_NEAR(*point, 1422.5 + 644.0, 0.23);
         }},
        {"coil_pair_in_order",
         {},
         [](const Seen& s) {
             ASSERT_EQ(s.count(FactKind::Restriction), 1);
             EXPECT_NEAR(*s.pointOf(9), 2000.0, 0.23);
             EXPECT_FALSE(s.pointOf(0).has_value());
         }},
        // 10 m after the coil: 15 km/h to the end of the run, far past the type 1; 26 m after
        // it, the first stop curve's 15 km/h ends 80 m on and the maximum speed's 135 km/h is
        // all that is left.
        {"type1_after_second_coil",
         {{33,
           {"type 1 10 m after the code-95 coil on line 26: at danger it holds the second stop "
            "curve at 15 km/h, and only switching the unit off or cutting it out ends that"}}},
         [](const Seen& s) {
             EXPECT_GT(s.lastPosition, 2009.0 + 300.0);
             EXPECT_EQ(s.lastPatternSpeed, 15.0);
         }},
        {"type1_clear_of_second_coil",
         {},
         [](const Seen& s) {
             EXPECT_GT(s.lastPosition, 2025.0 + 300.0);
             EXPECT_EQ(s.lastPatternSpeed, 135.0);
         }},
        // The second stop curve's floor to the end of the line: 65 km/h for a code-80 coil's,
        // 10 km/h for a stop pair's; the first stop curve is released where the signal clears.
        {"approach_curve_after_second_coil",
         {{37,
           {"this code-80 coil sets a second stop curve (after the code-95 coil on line 30), to "
            "1654 m, that no transponder after it releases",
            "so its 65 km/h floor holds for the rest of the line"}}},
         [](const Seen& s) {
             EXPECT_GT(s.lastPosition, 1654.0 + 300.0);
             EXPECT_EQ(s.lastPatternSpeed, 65.0);
         }},
        {"approach_curve_clear_of_second_coil",
         {},
         [](const Seen& s) {
             EXPECT_GT(s.lastPosition, 1669.0 + 300.0);
             EXPECT_EQ(s.lastPatternSpeed, 135.0);
         }},
        {"stop_pair_after_second_coil",
         {{65,
           {"this type 50 sets a second stop curve (after the code-95 coil on line 51), to "
            "3000 m, that no transponder after it releases",
            "so its 10 km/h floor holds for the rest of the line"}}},
         [](const Seen& s) {
             EXPECT_GT(s.lastPosition, 3000.0);
             EXPECT_EQ(s.lastPatternSpeed, 10.0);
         }},
        {"stop_pair_clear_of_second_coil",
         {},
         [](const Seen& s) {
             EXPECT_GT(s.lastPosition, 3000.0);
             EXPECT_GT(s.lastPatternSpeed, 10.0);
         }},
        // A release 10 m after a code-95 coil goes to the second stop pair: the stop curve to
        // 1610 + 390 = 2000 m stays, and its 10 km/h floor with it; 26 m after, it ends.
        {"release_after_second_coil",
         {{55,
           {"code-103 coil 10 m after the code-95 coil on line 49: it releases the second stop "
            "curve, and none stands; the stop curve to 2000 m stays"}}},
         [](const Seen& s) {
             EXPECT_GT(s.lastPosition, 2000.0 + 100.0);
             EXPECT_EQ(s.lastPatternSpeed, 10.0);
         }},
        {"release_clear_of_second_coil",
         {},
         [](const Seen& s) {
             EXPECT_GT(s.lastPosition, 2000.0 + 100.0);
             EXPECT_EQ(s.lastPatternSpeed, 135.0);
         }},
        // Off: every transponder ignored; on at 1200 m: the three before it.
        {"unit_never_switched_on",
         {{22,
           {"the unit is never switched on ([run] power_switch is false and no event "
            "switches it on), so it ignores this transponder and every one after it; set "
            "power_switch = true under [run]"}}},
         [](const Seen& s) {
             EXPECT_FALSE(s.everPowered);
             EXPECT_EQ(s.transpondersPassed, 4);
             EXPECT_EQ(s.count(FactKind::Ignored), 4);
         }},
        {"unit_switched_on",
         {},
         [](const Seen& s) {
             EXPECT_EQ(s.transpondersPassed, 4);
             EXPECT_EQ(s.count(FactKind::Ignored), 0);
         }},
        {"unit_switched_on_late",
         {{22,
           {"the unit was off when the train passed this transponder at 500 m and 2 more up "
            "to 996.5 m (line 28): it ignored them"}}},
         [](const Seen& s) {
             EXPECT_TRUE(s.everPowered);
             EXPECT_EQ(s.transpondersPassed, 4);
             EXPECT_EQ(s.count(FactKind::Ignored), 3);
         }},
    };
    return all;
}

class LayoutWarnings : public ::testing::TestWithParam<Case> {};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.file;
}

} // namespace

TEST_P(LayoutWarnings, NameTheTransponderAndHoldToWhatTheUnitDoes) {
    const Case& c = GetParam();
    const Scenario scenario =
        loadScenario(SCENARIO_DIR "/warnings/" + std::string(c.file) + ".toml");
    std::vector<RouteWarning> warnings = checkRoute(scenario);
    PluginLibrary library(VANTOR_LIBRARY, scenario.settings);
    Seen seen;
    RunWarnings afterRun;
    runScenario(scenario, library, {&seen, &afterRun});
    for (const RouteWarning& w : afterRun.warnings()) {
        warnings.push_back(w);
    }

    ASSERT_EQ(warnings.size(), c.warnings.size()) << ::testing::PrintToString(warnings.size());
    for (size_t i = 0; i < warnings.size(); ++i) {
        const std::string text = warningText(scenario, warnings[i]);
        EXPECT_NE(text.find(".toml:" + std::to_string(c.warnings[i].line) + ": warning: "),
                  std::string::npos)
            << text;
        for (const std::string& fragment : c.warnings[i].says) {
            EXPECT_NE(text.find(fragment), std::string::npos) << text;
        }
    }
    c.unitDid(seen);
}

INSTANTIATE_TEST_SUITE_P(Files, LayoutWarnings, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.file); });
