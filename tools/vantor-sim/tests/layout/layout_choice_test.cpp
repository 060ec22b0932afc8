// What `vantor-sim layout` chooses, against figures worked out by hand. Above about 105 km/h the
// coil's curve (644 m, 65 km/h at its point, at 2.5 km/h/s) brakes a train at the coil itself,
// which the recipe lays D + 60 m before the signal; at the train's emergency deceleration of
// 4.5 km/h/s a train at v then stands v² / (7.2 × 4.5) m on, so a stop distance D holds up to
// √(32.4 × (D + 60)) km/h: 120.7 km/h for 390 m, 129.2 for 455, 141.7 for 560, 163.5 for 765.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "layout/layout_command.h"
#include "layout/layout_fixture.h"
#include "protect/protect_command.h"

using namespace vantor::sim;
using namespace vantor::sim::testing;

namespace {

constexpr double kStopDistances[] = {390.0, 455.0, 560.0, 765.0}; // m, the guide's
constexpr double kCoilBefore = 60.0;                              // m before the stop pair
constexpr double kTrainMetres = 7.2 * 4.5;                        // v² / this: braking metres

// Where a train braked at the coil stands, m after the signal (negative: before it).
double standsAfterSignal(double speed, double distance) {
    return speed * speed / kTrainMetres - (distance + kCoilBefore);
}

std::filesystem::path scratch(const std::string& name) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "vantor-sim-layout-test";
    std::filesystem::create_directories(folder);
    return folder / name;
}

LayoutOptions optionsFor(const std::string& scenario) {
    LayoutOptions options;
    options.library = VANTOR_LIBRARY;
    options.scenario = scenario;
    options.maxFrames = 1'000'000;
    options.jobs = 2;
    return options;
}

const Laid* laidAs(const Layout& layout, Role role, size_t owner) {
    for (const Laid& t : layout.laid) {
        if (t.role == role && t.owner.index == owner) {
            return &t;
        }
    }
    return nullptr;
}

} // namespace

// Each approach speed gets the shortest distance that stands its train before the signal, and
// the protection report passes the scenario written with it.
TEST(LayoutChoice, EachStopDistanceForTheSpeedThatNeedsIt) {
    const std::string text = fileText(layoutLine("one_signal"));
    for (const int speed : {115, 125, 135, 150}) {
        SCOPED_TRACE(speed);
        double expected = 0.0;
        for (const double d : kStopDistances) {
            if (standsAfterSignal(speed, d) < -2.0) {
                expected = d;
                break;
            }
        }
        const LaidLine line(withProfileSpeed(text, speed));
        const Layout layout = line.plan();
        ASSERT_EQ(layout.signals.size(), 1u);
        const SignalLayout& s = layout.signals[0];
        EXPECT_EQ(stopDistance(s.distance), expected);
        ASSERT_TRUE(s.holds);
        ASSERT_TRUE(s.judgement && s.judgement->stood);
        EXPECT_NEAR(s.judgement->stood->position - 3000.0, standsAfterSignal(speed, expected), 3.0);
        // The stop pair's second type 50 lies the stop distance before the signal.
        EXPECT_DOUBLE_EQ(laidAs(layout, Role::StopPairSecond, 0)->position, 3000.0 - expected);

        const std::filesystem::path written = scratch("one_signal_" + std::to_string(speed));
        std::ofstream(written, std::ios::binary) << line.written(layout).text;
        ProtectOptions protect;
        protect.library = VANTOR_LIBRARY;
        protect.scenario = written.string();
        protect.maxFrames = 1'000'000;
        protect.jobs = 2;
        std::ostringstream out;
        std::ostringstream errors;
        EXPECT_EQ(runProtect(protect, out, errors), 0) << out.str() << errors.str();
        EXPECT_EQ(errors.str(), "");
    }
}

// At 125 km/h 455 m stands the train 32.7 m before the signal: asked for 40 m, the layout takes
// 560 m, which leaves 137.7 m.
TEST(LayoutChoice, AMarginAskedForTakesALongerDistance) {
    LaidLine line(fileText(layoutLine("one_signal")));
    line.request.margin = 40.0;
    const Layout layout = line.plan();
    EXPECT_EQ(stopDistance(layout.signals[0].distance), 560.0);
    EXPECT_TRUE(layout.signals[0].holds);
    ASSERT_EQ(layout.signals[0].tried.size(), 2u);
    EXPECT_NE(layout.signals[0].tried[1].find("455 m: stood at"), std::string::npos);
    EXPECT_NE(layout.signals[0].tried[1].find("less than the 40 m asked"), std::string::npos);
}

// In 20 ms frames a train at 125 km/h runs 0.69 m, more than the 0.65 m the distance code's
// window leaves either side of its middle: frames of 0.65 × 3600 / 125 = 18.7 ms or less, so
// 18 ms, read it right.
TEST(LayoutChoice, AFrameStepTooLongForASpacingIsNamedWithOneThatHolds) {
    std::string text = fileText(layoutLine("one_signal"));
    text.replace(text.find("step_ms = 10"), 12, "step_ms = 20");
    const LaidLine line(text);
    const Layout layout = line.plan();
    EXPECT_EQ(stopDistance(layout.signals[0].distance), 455.0);
    EXPECT_NE(layout.signals[0].frameNote.find("a frame of 20 ms runs 0.69 m"), std::string::npos)
        << layout.signals[0].frameNote;
    EXPECT_NE(layout.signals[0].frameNote.find("frames of 18 ms or less read it right"),
              std::string::npos)
        << layout.signals[0].frameNote;
}

TEST(LayoutChoice, ASpeedBeyondTheLongestDistanceIsRefusedWithTheHighestItHolds) {
    const std::filesystem::path scenario = scratch("one_signal_168.toml");
    std::ofstream(scenario, std::ios::binary)
        << withProfileSpeed(fileText(layoutLine("one_signal")), 168);
    std::ostringstream out;
    std::ostringstream errors;
    EXPECT_EQ(runLayout(optionsFor(scenario.string()), out, errors), 1) << out.str();
    const double reach = std::sqrt(kTrainMetres * (765.0 + kCoilBefore));
    const std::string said = out.str();
    EXPECT_NE(said.find("signal S1 at 3000.0 m: NO stop distance holds it: 765 m, the longest "
                        "that fits, at 168.0 km/h: stood at"),
              std::string::npos)
        << said;
    // The highest whole speed it holds lies a frame's delay or so below the reach.
    const size_t at = said.find("it holds an approach of up to ");
    ASSERT_NE(at, std::string::npos) << said;
    const double held = std::stod(said.substr(at + 30));
    EXPECT_LE(held, reach);
    EXPECT_GE(held, reach - 2.0);
    EXPECT_NE(said.find("the layout FAILS"), std::string::npos);
}

// Two signals 800 m apart, a limit right after a signal at a speed the unit cannot code, one it
// codes, and a signal right after that one: all protected, nothing warned of, no needless
// brake. At 80 km/h a train braked at the stop pair (the stop curve allows 81 km/h there) stands
// 80² / 32.4 = 198 m on: 390 m for each signal.
TEST(LayoutChoice, NeighbouringSignalsAndLimitsAllHold) {
    const std::filesystem::path written = scratch("neighbours_laid_out.toml");
    LayoutOptions options = optionsFor(layoutLine("neighbours"));
    options.write = written.string();
    std::ostringstream out;
    std::ostringstream errors;
    EXPECT_EQ(runLayout(options, out, errors), 0) << out.str() << errors.str();
    EXPECT_EQ(errors.str(), "");
    EXPECT_NE(out.str().find("3 signals, 2 limits: 5 protected, 0 unprotected, 0 not judged; "
                             "clear run: protected"),
              std::string::npos)
        << out.str();

    const LaidLine line(fileText(layoutLine("neighbours")));
    const Layout layout = line.plan();
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(stopDistance(layout.signals[i].distance), 390.0);
        EXPECT_TRUE(layout.signals[i].holds);
    }
    // 47 km/h is no speed of the coil table: 45 km/h is the highest below it. 60 km/h is one.
    ASSERT_TRUE(layout.limits[0].coding && layout.limits[1].coding);
    EXPECT_EQ(layout.limits[0].coding->speed, 45.0);
    EXPECT_NE(layout.limits[0].note.find("no 47 km/h"), std::string::npos);
    EXPECT_EQ(layout.limits[1].coding->speed, 60.0);
    EXPECT_EQ(layout.limits[1].note, "");
    // Each restriction starts 555 m after its pair's second coil, at the limit; each ends at
    // the limit's end.
    EXPECT_DOUBLE_EQ(laidAs(layout, Role::RestrictionPair, 0)->last(), 2140.0 - 555.0);
    EXPECT_DOUBLE_EQ(laidAs(layout, Role::RestrictionEnd, 0)->last(), 2500.0);
    EXPECT_DOUBLE_EQ(laidAs(layout, Role::RestrictionPair, 1)->last(), 3000.0 - 555.0);
    EXPECT_DOUBLE_EQ(laidAs(layout, Role::RestrictionEnd, 1)->last(), 3300.0);
}

// A limit right after a fast signal: its coil pair falls where the signal's 560 m layout would
// lie, so the layout goes back until its last type 50 lies more than 25 m before the pair.
TEST(LayoutChoice, ASignalsLayoutGoesBackWhereALimitsCoilsLie) {
    const LaidLine line(fileText(layoutLine("limit_after_fast_signal")));
    const Layout layout = line.plan();
    const SignalLayout& s = layout.signals[0];
    EXPECT_EQ(stopDistance(s.distance), 560.0);
    EXPECT_TRUE(s.holds);
    EXPECT_GT(s.shift, 0.0);
    const double pairEnd = laidAs(layout, Role::StopPairSecond, 0)->position;
    const double coils = laidAs(layout, Role::RestrictionPair, 0)->position;
    EXPECT_GT(coils - pairEnd, 25.0);
    EXPECT_LT(coils - pairEnd, 27.0);
    EXPECT_EQ(pairEnd, 3000.0 - 560.0 - s.shift);
}

// Signals 600 m apart at 135 km/h: the second needs 560 m, whose coil would lie before the
// first signal's type 1, which releases the curves when that signal clears. 455 m is the
// longest that fits; it holds up to √(32.4 × 515) = 129.2 km/h.
TEST(LayoutChoice, ASignalCloseAfterAnotherGetsTheLongestDistanceThatFits) {
    const LaidLine line(fileText(layoutLine("close_signals")));
    const Layout layout = line.plan();
    EXPECT_EQ(stopDistance(layout.signals[0].distance), 560.0);
    EXPECT_TRUE(layout.signals[0].holds);
    const SignalLayout& b = layout.signals[1];
    EXPECT_EQ(stopDistance(b.distance), 455.0);
    EXPECT_FALSE(b.holds);
    EXPECT_NE(b.noRoom.find("560 m would not fit: type 1 of A at 3000.00 m lies within B's layout"),
              std::string::npos)
        << b.noRoom;
    ASSERT_TRUE(b.slower);
    EXPECT_GE(*b.slower, 127.0);
    EXPECT_LE(*b.slower, 129.0);
}

// Two 100 km/h limits whose restrictions would be in force at once get the two codings of
// 100 km/h, code 85 at 6.5 m and code 80 at 4.0 m: a pair that ends one code's restriction
// ends both of that code's.
TEST(LayoutChoice, RestrictionsInForceAtOnceTakeCodesOfTheirOwn) {
    const LaidLine line(fileText(layoutLine("two_limits")));
    const Layout layout = line.plan();
    ASSERT_TRUE(layout.limits[0].coding && layout.limits[1].coding);
    EXPECT_EQ(layout.limits[0].coding->speed, 100.0);
    EXPECT_EQ(layout.limits[1].coding->speed, 100.0);
    EXPECT_EQ(layout.limits[0].coding->code, 85);
    EXPECT_EQ(layout.limits[1].coding->code, 80);
    EXPECT_DOUBLE_EQ(layout.limits[0].coding->spacing, 6.45);
    EXPECT_DOUBLE_EQ(layout.limits[1].coding->spacing, 4.05);
}

// Below 35 km/h no coil pair codes a speed: the limit is named, nothing is laid for it, and the
// report finds it unprotected.
TEST(LayoutChoice, ALimitBelowEverySpeedTheUnitCodesIsNotLaid) {
    const std::filesystem::path scenario = scratch("slow_limit.toml");
    std::string text = fileText(layoutLine("two_limits"));
    text.replace(text.find("speed = 100"), 11, "speed = 30");
    std::ofstream(scenario, std::ios::binary) << text;
    std::ostringstream out;
    std::ostringstream errors;
    EXPECT_EQ(runLayout(optionsFor(scenario.string()), out, errors), 1);
    EXPECT_NE(out.str().find("limit 30 km/h from 1500.0 to 1700.0 m: NOT LAID: the unit codes no "
                             "speed as low as 30 km/h; the lowest is 35 km/h"),
              std::string::npos)
        << out.str();
}

// Laid out again, a written scenario comes out byte for byte the same: the earlier layout's
// block is replaced, not added to.
TEST(LayoutChoice, LayingOutAWrittenScenarioAgainWritesTheSame) {
    const std::filesystem::path first = scratch("again_1.toml");
    const std::filesystem::path second = scratch("again_2.toml");
    LayoutOptions options = optionsFor(layoutLine("neighbours"));
    options.write = first.string();
    std::ostringstream out;
    std::ostringstream errors;
    ASSERT_EQ(runLayout(options, out, errors), 0) << out.str() << errors.str();
    options.scenario = first.string();
    options.write = second.string();
    std::ostringstream again;
    ASSERT_EQ(runLayout(options, again, errors), 0) << again.str() << errors.str();
    EXPECT_EQ(fileText(first), fileText(second));
    EXPECT_NE(again.str().find("is laid anew"), std::string::npos);
}

// A signal whose transponders the scenario links to it is the author's: nothing is laid for it.
TEST(LayoutChoice, ASignalTheAuthorLaidOutIsKept) {
    const LaidLine line(fileText(SCENARIO_DIR "/protect/station_signal.toml"));
    const Layout layout = line.plan();
    ASSERT_EQ(layout.signals.size(), 1u);
    EXPECT_TRUE(layout.signals[0].byAuthor);
    EXPECT_TRUE(layout.laid.empty());
}
