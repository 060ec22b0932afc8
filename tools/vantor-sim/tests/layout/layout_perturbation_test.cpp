// The places `vantor-sim layout` lays are exact where the unit needs them so: one transponder of
// the layout moved by 1 m, and the protection report fails or the route warnings name a
// transponder of the layout. Where the unit leaves room (a coil before its layout, the first of
// a stop pair, a release coil), 1 m changes nothing, and nothing is said.
#include <gtest/gtest.h>

#include <sstream>

#include "layout/layout_fixture.h"
#include "protect/protect_command.h"

using namespace vantor::sim;
using namespace vantor::sim::testing;

namespace {

struct Move {
    Role role;
    double by;       // m
    bool secondCoil; // a coil pair's second coil, not its first
    bool caught;     // the report fails or a warning names the layout
    const char* what;
};

// Moves the first transponder of that role; a pair's coils one at a time.
Layout moved(Layout layout, const Move& move) {
    for (Laid& t : layout.laid) {
        if (t.role != move.role) {
            continue;
        }
        if (t.pair() && move.secondCoil) {
            t.spacing += move.by;
        } else if (t.pair()) {
            t.position += move.by;
            t.spacing -= move.by;
        } else {
            t.position += move.by;
        }
        return layout;
    }
    ADD_FAILURE() << "nothing laid as " << move.what;
    return layout;
}

// Whether the report on the scenario written with this layout fails, or warns of a line of the
// layout; what it said.
bool caught(const LaidLine& line, const Layout& layout, std::string& said) {
    const WrittenText written = line.written(layout);
    Scenario scenario = parseScenario(written.text, "laid.toml");
    std::ostringstream ignored;
    const std::optional<std::string> settings = RunSettings("", ignored).apply(scenario, ignored);
    ProtectOptions options;
    options.library = VANTOR_LIBRARY;
    options.maxFrames = 1'000'000;
    options.jobs = 2;
    std::ostringstream out;
    std::ostringstream errors;
    std::vector<RouteWarning> warned;
    const int status = protectScenario(scenario, settings, options, out, errors, warned);
    said = out.str() + errors.str();
    return status != 0 || std::any_of(warned.begin(), warned.end(), [&](const RouteWarning& w) {
               return w.line >= written.firstLine;
           });
}

} // namespace

TEST(LayoutPerturbation, OneMetreOffIsCaughtWhereThePlaceIsExact) {
    const LaidLine line(fileText(layoutLine("perturbed")));
    const Layout layout = line.plan();
    ASSERT_TRUE(layout.signals[0].holds);
    ASSERT_EQ(stopDistance(layout.signals[0].distance), 455.0);
    std::string said;
    ASSERT_FALSE(caught(line, layout, said)) << said;

    const Move moves[] = {
        // The stop curve ends 1 m past the signal.
        {Role::StopPairSecond, 1.0, false, true, "the stop pair's second type 50, late"},
        // The distance code out of its window: the stop distance picked before stays.
        {Role::DistanceCode, 1.0, false, true, "the distance code, late"},
        {Role::DistanceCode, -1.0, false, true, "the distance code, early"},
        {Role::DistanceStart, 1.0, false, true, "the type 50 of the distance code, late"},
        {Role::DistanceStart, -1.0, false, true, "the type 50 of the distance code, early"},
        // The coil pair out of its window: no restriction.
        {Role::RestrictionPair, 1.0, true, true, "the restriction's second coil, late"},
        {Role::RestrictionPair, -1.0, true, true, "the restriction's second coil, early"},
        {Role::RestrictionPair, 1.0, false, true, "the restriction's first coil, late"},
        {Role::RestrictionPair, -1.0, false, true, "the restriction's first coil, early"},
        // The end pair out of its window.
        {Role::RestrictionEnd, 1.0, true, true, "the end's second coil, late"},
        {Role::RestrictionEnd, -1.0, true, true, "the end's second coil, early"},
        // The type 1 past the signal it stops trains at.
        {Role::StopPoint, 1.0, false, true, "the type 1, late"},
        // Room the unit leaves.
        {Role::StopCoil, 1.0, false, false, "the coil, late"},
        {Role::StopCoil, -1.0, false, false, "the coil, early"},
        {Role::StopPairFirst, 1.0, false, false, "the stop pair's first type 50, late"},
        {Role::StopPairFirst, -1.0, false, false, "the stop pair's first type 50, early"},
        {Role::Release, 1.0, false, false, "a release coil, late"},
        {Role::Release, -1.0, false, false, "a release coil, early"},
    };
    for (const Move& move : moves) {
        SCOPED_TRACE(move.what);
        EXPECT_EQ(caught(line, moved(layout, move), said), move.caught) << said;
    }
}
