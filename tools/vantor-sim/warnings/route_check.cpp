#include "warnings/route_check.h"

#include <algorithm>

#include "host/trackside_codes.h"
#include "support/text_format.h"
#include "transponders/coil_tables.h"
#include "warnings/layout_check.h"
#include "warnings/layout_reading.h"

namespace vantor::sim {

namespace {

bool knownKey(int32_t key) {
    return key == 0 || key == 1 || key == 3 || key == 13 || key == 14;
}

// The speed of the driver's profile at a position: the last point at or behind it, the first
// point before them all; 0 without a profile.
double profileSpeed(const DriverPlan& driver, double position) {
    const auto& profile = driver.profile;
    if (profile.empty()) {
        return 0.0;
    }
    const auto after =
        std::upper_bound(profile.begin(), profile.end(), position,
                         [](double at, const ProfilePoint& p) { return at < p.position; });
    return after == profile.begin() ? profile.front().speed : std::prev(after)->speed;
}

void checkPlace(const Scenario& scenario, int line, double position, const std::string& what,
                std::vector<RouteWarning>& out) {
    if (position < scenario.run.startPosition) {
        out.push_back({line, what + " at " + shortNumber(position) +
                                 " m lies behind the train's start at " +
                                 shortNumber(scenario.run.startPosition) + " m"});
    } else if (scenario.routeLength > 0.0 && position > scenario.routeLength) {
        out.push_back({line, what + " at " + shortNumber(position) +
                                 " m lies beyond the end of the line at " +
                                 shortNumber(scenario.routeLength) + " m"});
    }
}

bool stopTransponder(const Transponder& t) {
    return t.type == 50 || t.type == 55;
}

bool coil(const Transponder& t, int32_t code) {
    return t.type == 70 && t.optional == code;
}

// Two transponders in a row whose spacing the unit measures and reads as a code: a coil pair
// (a code-90 coil, then a coil of a pair code), a distance code (a stop transponder, then a
// type 0), a fixed check (a stop transponder, then a code-85 or code-90 coil) or a coil cut-out
// (a code-90 coil, then a stop transponder); and a code-80 coil close after a stop transponder,
// whose stop point nothing releases.
void checkSpacing(const Scenario& scenario, const Transponder& first, const Transponder& second,
                  std::vector<RouteWarning>& out) {
    const bool pair = coil(first, 90) && second.type == 70 && pairCoilCode(second.optional);
    const bool distanceCode = stopTransponder(first) && second.type == 0;
    const bool fixedCheck = stopTransponder(first) && (coil(second, 85) || coil(second, 90));
    const bool cutOut = coil(first, 90) && stopTransponder(second);
    const bool stopPoint = stopTransponder(first) && coil(second, 80);
    if (!pair && !distanceCode && !fixedCheck && !cutOut && !stopPoint) {
        return;
    }
    const double spacing = second.position - first.position;
    if (stopPoint && spacing <= kCoilMemory) {
        out.push_back({second.line, "a code-80 coil " + shortNumber(spacing) +
                                        " m after a type 50/55 sets a stop point 89 m on, which "
                                        "no transponder releases; keep it more than 25 m away"});
        return;
    }
    const std::optional<SpacingWindowInfo> window = windowHolding(spacing);
    if (pair && spacing > kCoilMemory) {
        if (first.line == second.line) { // one [[route.coil_pairs]] table
            out.push_back({first.line, "the two coils are " + shortNumber(spacing) +
                                           " m apart: the unit forgets a coil after 25 m, so "
                                           "they form no pair"});
        }
        return;
    }
    if (pair && !window) {
        out.push_back({first.line, "the coils are " + shortNumber(spacing) +
                                       " m apart, in no spacing window (nearest " +
                                       windowText(nearestWindow(spacing)) +
                                       "): the pair decodes to no speed and clears the code-" +
                                       std::to_string(second.optional) + " places"});
        return;
    }
    const double nominal = window ? window->nominal : 0.0;
    const bool code =
        pair || (distanceCode && (nominal == 2.0 || nominal == 4.0 || nominal == 6.5)) ||
        (fixedCheck && (nominal == 2.0 || nominal == 4.0)) || (cutOut && nominal == 2.0);
    if (!code) {
        return;
    }
    // The unit measures a spacing in whole frames: up to one frame's run either way.
    const double speed = std::max(profileSpeed(scenario.driver, first.position),
                                  profileSpeed(scenario.driver, second.position));
    const double error = speed * scenario.run.stepMs / 3600.0;
    if (spacing - error <= window->lower || spacing + error >= window->upper) {
        out.push_back(
            {first.line, "at " + shortNumber(speed) + " km/h (the driver's profile here) in " +
                             std::to_string(scenario.run.stepMs) +
                             " ms frames the unit measures these " + shortNumber(spacing) +
                             " m to within " + fixed(error, 2) + " m, which may leave the window " +
                             windowText(*window) + " and read no code"});
    }
}

bool passed(const Scenario& scenario, const Transponder& t) {
    return t.position >= scenario.run.startPosition &&
           (scenario.routeLength <= 0.0 || t.position <= scenario.routeLength);
}

// A unit that is never switched on drops every transponder without a trace.
void checkSwitchedOn(const Scenario& scenario, std::vector<RouteWarning>& out) {
    const bool switchedOn =
        scenario.run.powerSwitch ||
        std::any_of(scenario.events.begin(), scenario.events.end(),
                    [](const Event& e) { return e.powerSwitch.value_or(false); });
    const auto& transponders = scenario.transponders;
    const auto first = std::find_if(transponders.begin(), transponders.end(),
                                    [&](const Transponder& t) { return passed(scenario, t); });
    if (switchedOn || first == transponders.end()) {
        return;
    }
    out.push_back({first->line, "the unit is never switched on ([run] power_switch is false and "
                                "no event switches it on), so it ignores this transponder and "
                                "every one after it; set power_switch = true under [run]"});
}

} // namespace

std::vector<RouteWarning> checkRoute(const Scenario& scenario) {
    std::vector<RouteWarning> out;
    const auto& transponders = scenario.transponders;
    for (size_t i = 0; i < transponders.size(); ++i) {
        const Transponder& t = transponders[i];
        if (!knownTransponderType(t.type)) {
            out.push_back({t.line, "the unit ignores transponder type " + std::to_string(t.type)});
        } else if (t.type == 70 && !pairCoilCode(t.optional) && t.optional != coils::kReleaseCode) {
            out.push_back({t.line, "the unit ignores coil code " + std::to_string(t.optional) +
                                       "; it knows 80, 85, 90, 95 and 103"});
        } else if (t.type == 61 && !t.optionalGiven) {
            out.push_back({t.line, "type 61 without a time (optional): it allows 0 ms since the "
                                   "type 60, so its time check always fails"});
        }
        checkPlace(scenario, t.line, t.position,
                   t.type == 70 ? "coil" : "transponder type " + std::to_string(t.type), out);
        if (t.linkedSignal && scenario.signals[*t.linkedSignal].position < t.position) {
            const Signal& s = scenario.signals[*t.linkedSignal];
            out.push_back({t.line, "linked to signal " + s.name + " at " + shortNumber(s.position) +
                                       " m, which lies behind it: the train passes it after the "
                                       "signal, so it cannot protect it"});
        }
        if (i + 1 < transponders.size()) {
            checkSpacing(scenario, t, transponders[i + 1], out);
        }
    }
    checkSwitchedOn(scenario, out);
    checkLayout(scenario, readLayout(scenario), out);
    for (const Event& e : scenario.events) {
        for (const auto& key : {e.keyDown, e.keyUp, e.key}) {
            if (key && !knownKey(*key)) {
                out.push_back({e.line, "the unit knows no key " + std::to_string(*key) +
                                           "; it knows 0, 1, 3, 13 and 14"});
            }
        }
        if (e.position && scenario.routeLength > 0.0 && *e.position > scenario.routeLength) {
            out.push_back({e.line, "event at " + shortNumber(*e.position) +
                                       " m lies beyond the end of the line at " +
                                       shortNumber(scenario.routeLength) + " m: it never fires"});
        }
        if (e.position && *e.position < scenario.run.startPosition) {
            out.push_back({e.line, "event at " + shortNumber(*e.position) +
                                       " m lies behind the train's start at " +
                                       shortNumber(scenario.run.startPosition) +
                                       " m: it fires in the first frame"});
        }
        const double lastTime = lastFrameTime(scenario.run);
        if (e.time && *e.time > lastTime + kFrameTimeTolerance) {
            out.push_back({e.line, "event at " + shortNumber(*e.time) +
                                       " s comes after the run's last frame, at " +
                                       shortNumber(lastTime) + " s: it never fires"});
        }
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const RouteWarning& a, const RouteWarning& b) { return a.line < b.line; });
    return out;
}

std::string warningText(const Scenario& scenario, const RouteWarning& warning) {
    const std::string where =
        warning.line > 0 ? scenario.source + ":" + std::to_string(warning.line) : scenario.source;
    return where + ": warning: " + warning.text;
}

} // namespace vantor::sim
