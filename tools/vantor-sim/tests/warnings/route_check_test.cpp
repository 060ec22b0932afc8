// Route warnings before the run: each thing the unit would ignore or may misread, with the
// line of the scenario file that says it.
#include <gtest/gtest.h>

#include <string>

#include "scenario/scenario_parser.h"
#include "warnings/route_check.h"

using namespace vantor::sim;

namespace {

struct Case {
    const char* name;
    // Appended to a line 2000 m long, driven at 90 km/h in 20 ms frames, at 120 km/h from 1000 m.
    const char* route;
    int line; // of the one warning expected; 0 for none
    const char* says;
};

constexpr const char* kLine =
    "[driver]\nprofile = [[0, 90], [1000, 120]]\n[route]\nlength = 2000\n";

const Case kCases[] = {
    {"ACleanPairGivesNone",
     "[[route.coil_pairs]]\nposition = 100\nsecond = 85\nspacing = 6.5\n[[route.transponders]]\n"
     "position = 300\ntype = 61\noptional = 9000\n",
     0, ""},
    {"UnknownType", "[[route.transponders]]\nposition = 100\ntype = 42\n", 5,
     "the unit ignores transponder type 42"},
    {"LinkedToASignalBehindIt",
     "[[route.signals]]\nname = \"S\"\nposition = 150\n[[route.transponders]]\nposition = 100\n"
     "type = 1\nsignal = \"S\"\n[[route.transponders]]\nposition = 200\ntype = 1\nsignal = \"S\"\n",
     12, "linked to signal S at 150 m, which lies behind it"},
    {"UnknownCoilCode", "[[route.transponders]]\nposition = 100\ntype = 70\noptional = 77\n", 5,
     "the unit ignores coil code 77"},
    {"BehindTheStart", "[[route.transponders]]\nposition = -5\ntype = 0\n", 5,
     "transponder type 0 at -5 m lies behind the train's start at 0 m"},
    {"BeyondTheEnd", "[[route.transponders]]\nposition = 2500\ntype = 70\noptional = 90\n", 5,
     "coil at 2500 m lies beyond the end of the line at 2000 m"},
    {"PairTooFarApart", "[[route.coil_pairs]]\nposition = 100\nsecond = 85\nspacing = 30\n", 5,
     "the two coils are 30 m apart: the unit forgets a coil after 25 m"},
    {"PairBetweenWindows", "[[route.coil_pairs]]\nposition = 100\nsecond = 85\nspacing = 8\n", 5,
     "8 m apart, in no spacing window (nearest 8.4 to 9.7 m, for 9 m)"},
    {"PairTooFastForItsWindow",
     "[[route.coil_pairs]]\nposition = 1100\nsecond = 80\nspacing = 4.0\n", 5,
     "at 120 km/h (the driver's profile here) in 20 ms frames the unit measures these 4 m to "
     "within 0.67 m, which may leave the window 3.4 to 4.7 m"},
    {"DistanceCodeTooFast",
     "[[route.transponders]]\nposition = 1100\ntype = 50\noptional = 1\n[[route.transponders]]\n"
     "position = 1106.5\ntype = 0\n",
     5, "these 6.5 m to within 0.67 m, which may leave the window 5.8 to 7.1 m"},
    {"StopPointNothingReleases",
     "[[route.transponders]]\nposition = 100\ntype = 50\n[[route.transponders]]\n"
     "position = 110\ntype = 70\noptional = 80\n",
     8, "a code-80 coil 10 m after a type 50/55 sets a stop point 89 m on"},
    {"Type61WithoutTime", "[[route.transponders]]\nposition = 100\ntype = 61\n", 5,
     "type 61 without a time (optional)"},
    {"UnknownKey", "[[events]]\ntime = 3\nkey = 5\n", 5,
     "the unit knows no key 5; it knows 0, 1, 3, 13 and 14"},
    {"EventBeyondTheEnd", "[[events]]\nposition = 2100\nlabel = \"x\"\n", 5,
     "event at 2100 m lies beyond the end of the line at 2000 m: it never fires"},
    {"EventBehindTheStart", "[[events]]\nposition = -50\nlabel = \"x\"\n", 5,
     "event at -50 m lies behind the train's start at 0 m: it fires in the first frame"},
    {"EventAfterTheRun", "[[events]]\ntime = 300.5\nlabel = \"x\"\n", 5,
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
