// Route warnings before the run: each thing the unit would ignore or may misread, with the
// line of the scenario file that says it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scenario/scenario_parser.h"
#include "warnings/route_check.h"

using namespace vantor::sim;

namespace {

struct Case {
    const char* name;
    // Appended to a line 2000 m long, driven at 90 km/h in 20 ms frames, at 120 km/h from 1000 m,
    // with the unit switched on.
    const char* route;
    int line; // of the one warning expected; 0 for none
    const char* says;
};

constexpr const char* kLine = "[run]\npower_switch = true\n[driver]\n"
                              "profile = [[0, 90], [1000, 120]]\n[route]\nlength = 2000\n";

const Case kCases[] = {
    {"ACleanPairGivesNone",
     "[[route.coil_pairs]]\nposition = 100\nsecond = 85\nspacing = 6.5\n[[route.transponders]]\n"
     "position = 300\ntype = 61\noptional = 9000\n",
     0, ""},
    {"UnknownType", "[[route.transponders]]\nposition = 100\ntype = 42\n", 7,
     "the unit ignores transponder type 42"},
    {"LinkedToASignalBehindIt",
     "[[route.signals]]\nname = \"S\"\nposition = 150\n[[route.transponders]]\nposition = 100\n"
     "type = 1\nsignal = \"S\"\n[[route.transponders]]\nposition = 200\ntype = 1\nsignal = \"S\"\n",
     14, "linked to signal S at 150 m, which lies behind it"},
    {"UnknownCoilCode", "[[route.transponders]]\nposition = 100\ntype = 70\noptional = 77\n", 7,
     "the unit ignores coil code 77"},
    {"BehindTheStart", "[[route.transponders]]\nposition = -5\ntype = 0\n", 7,
     "transponder type 0 at -5 m lies behind the train's start at 0 m"},
    {"BeyondTheEnd", "[[route.transponders]]\nposition = 2500\ntype = 70\noptional = 90\n", 7,
     "coil at 2500 m lies beyond the end of the line at 2000 m"},
    {"PairTooFarApart", "[[route.coil_pairs]]\nposition = 100\nsecond = 85\nspacing = 30\n", 7,
     "the two coils are 30 m apart: the unit forgets a coil after 25 m"},
    {"PairBetweenWindows", "[[route.coil_pairs]]\nposition = 100\nsecond = 85\nspacing = 8\n", 7,
     "8 m apart, in no spacing window (nearest 8.4 to 9.7 m, for 9 m)"},
    {"PairTooFastForItsWindow",
     "[[route.coil_pairs]]\nposition = 1100\nsecond = 80\nspacing = 4.0\n", 7,
     "at 120 km/h (the driver's profile here) in 20 ms frames the unit measures these 4 m to "
     "within 0.67 m, which may leave the window 3.4 to 4.7 m"},
    {"DistanceCodeTooFast",
     "[[route.transponders]]\nposition = 1090\ntype = 70\noptional = 80\n"
     "[[route.transponders]]\nposition = 1100\ntype = 50\noptional = 1\n[[route.transponders]]\n"
     "position = 1106.5\ntype = 0\n",
     11, "these 6.5 m to within 0.67 m, which may leave the window 5.8 to 7.1 m"},
    {"StopPointNothingReleases",
     "[[route.transponders]]\nposition = 100\ntype = 50\n[[route.transponders]]\n"
     "position = 110\ntype = 70\noptional = 80\n",
     10, "a code-80 coil 10 m after a type 50/55 sets a stop point 89 m on"},
    {"Type61WithoutTime", "[[route.transponders]]\nposition = 100\ntype = 61\n", 7,
     "type 61 without a time (optional)"},
    {"UnknownKey", "[[events]]\ntime = 3\nkey = 5\n", 7,
     "the unit knows no key 5; it knows 0, 1, 3, 13 and 14"},
    {"EventBeyondTheEnd", "[[events]]\nposition = 2100\nlabel = \"x\"\n", 7,
     "event at 2100 m lies beyond the end of the line at 2000 m: it never fires"},
    {"EventBehindTheStart", "[[events]]\nposition = -50\nlabel = \"x\"\n", 7,
     "event at -50 m lies behind the train's start at 0 m: it fires in the first frame"},
    {"EventAfterTheRun", "[[events]]\ntime = 300.5\nlabel = \"x\"\n", 7,
     "event at 300.5 s comes after the run's last frame, at 300 s: it never fires"},
    {"EventInTheLastFrame", "[[events]]\ntime = 300\nlabel = \"x\"\n", 0, ""},
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class RouteCheck : public ::testing::TestWithParam<Case> {};

} // namespace

TEST_P(RouteCheck, WarnsOfWhatTheUnitIgnoresOrMayMisread) {
    const Case& c = GetParam();
    const Scenario scenario = parseScenario(std::string(kLine) + c.route, "line.toml");
    const std::vector<RouteWarning> warnings = checkRoute(scenario);
    if (c.line == 0) {
        EXPECT_TRUE(warnings.empty()) << warningText(scenario, warnings.front());
        return;
    }
    ASSERT_EQ(warnings.size(), 1u);
    const std::string text = warningText(scenario, warnings.front());
    EXPECT_EQ(text.rfind("line.toml:" + std::to_string(c.line) + ": warning: ", 0), 0u) << text;
    EXPECT_NE(text.find(c.says), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(Cases, RouteCheck, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

// A transponder laid at some spacing after another, and whether the check must warn: the
// answers come from the windows and the 25 m the unit remembers a coil, worked out by hand.
struct Spacing {
    double spacing; // m
    bool warns;
};

// The route before the spacing, the transponder laid at the spacing (its position is the
// spacing itself: the one before lies at 0 m, so the difference is exact), and the warning.
struct Layout {
    const char* name;
    const char* before;
    const char* after;
    const char* says;
    std::vector<Spacing> spacings;
};

std::string transponder(double position, const char* rest) {
    return "[[route.transponders]]\nposition = " + std::to_string(position) + "\n" + rest;
}

const Layout kLayouts[] = {
    // A type 0 after a type 50 behind a code-80 coil's curve: a code only within 1.3 to 2.6,
    // 3.4 to 4.7 and 5.8 to 7.1 m (bounds outside); beyond 25 m the coil state is gone and the
    // type 0 is no distance code at all.
    {"DistanceCode",
     "[[route.transponders]]\nposition = -10\ntype = 70\noptional = 80\n"
     "[[route.transponders]]\nposition = 0\ntype = 50\noptional = 1\n",
     "type = 0\noptional = 1\n",
     "no distance code",
     {{1.3, true},
      {1.31, false},
      {2.0, false},
      {2.59, false},
      {2.6, true},
      {3.0, true},
      {3.4, true},
      {3.41, false},
      {4.69, false},
      {4.7, true},
      {5.0, true},
      {5.8, true},
      {5.81, false},
      {7.09, false},
      {7.1, true},
      {9.0, true},
      {25.0, true},
      {25.01, false}}},
    // A code-80 coil, then a code-90 coil: a reversed pair where code 90, then code 80 at that
    // spacing gives a speed (the windows of 4.0 to 22.5 m), not at 2.0 m nor between windows.
    {"ReversedPair",
     "[[route.transponders]]\nposition = 0\ntype = 70\noptional = 80\n",
     "type = 70\noptional = 90\n",
     "a coil pair begins with its code-90 coil",
     {{2.0, false},
      {3.41, true},
      {4.0, true},
      {8.0, false},
      {21.9, false},
      {21.95, true},
      {22.5, true},
      {23.19, true},
      {23.2, false}}},
    // A type 1 at danger after a code-95 coil: in its coil state up to 25 m, 25 m included.
    {"Type1AfterCode95",
     "[[route.transponders]]\nposition = 0\ntype = 70\noptional = 95\n",
     "type = 1\n",
     "holds the second stop curve at 15 km/h",
     {{0.0, true}, {10.0, true}, {25.0, true}, {25.01, false}, {40.0, false}}},
    // A code-80 coil after a code-95 coil sets the second stop curve up to 25 m after it; a
    // type 1 at 500 m releases only the first.
    {"Code80AfterCode95",
     "[[route.transponders]]\nposition = 0\ntype = 70\noptional = 95\n"
     "[[route.transponders]]\nposition = 500\ntype = 1\noptional = 1\n",
     "type = 70\noptional = 80\n",
     "that no transponder after it releases",
     {{5.0, true}, {25.0, true}, {25.01, false}}},
    // A code-103 coil reporting clear after a code-95 coil, where only a first stop curve
    // stands (a stop pair at -60 and -50 m): misdirected to the second stop pair up to 25 m.
    {"ReleaseAfterCode95",
     "[[route.transponders]]\nposition = -60\ntype = 50\noptional = 1\n"
     "[[route.transponders]]\nposition = -50\ntype = 50\noptional = 1\n"
     "[[route.transponders]]\nposition = 0\ntype = 70\noptional = 95\n",
     "type = 70\nsignal = 1\noptional = 103\n",
     "it releases the second stop curve, and none stands",
     {{5.0, true}, {25.0, true}, {25.01, false}}},
};

void PrintTo(const Layout& l, std::ostream* out) {
    *out << l.name;
}

class SpacingBounds : public ::testing::TestWithParam<Layout> {};

} // namespace

TEST_P(SpacingBounds, WarnExactlyWhereTheUnitReadsTheLayoutOtherwise) {
    const Layout& layout = GetParam();
    // Slow and in 1 ms frames: no spacing comes near a window's bound by the frames alone.
    const std::string line = "[run]\nstep_ms = 1\nstart_position = -100\n[driver]\n"
                             "profile = [[-100, 5]]\n[route]\nlength = 2000\n";
    for (const Spacing& s : layout.spacings) {
        const Scenario scenario =
            parseScenario(line + layout.before + transponder(s.spacing, layout.after), "line.toml");
        int warned = 0;
        for (const RouteWarning& w : checkRoute(scenario)) {
            warned += w.text.find(layout.says) != std::string::npos ? 1 : 0;
        }
        EXPECT_EQ(warned, s.warns ? 1 : 0) << s.spacing << " m";
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, SpacingBounds, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.name); });
