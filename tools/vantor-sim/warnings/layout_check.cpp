#include "warnings/layout_check.h"

#include <optional>
#include <string>

#include "host/trackside_codes.h"
#include "patterns/slot_curves.h"
#include "support/text_format.h"
#include "transponders/coil_tables.h"

namespace vantor::sim {

namespace {

constexpr int kFirstStopCurve = 1;
constexpr int kStopPointAhead = 2;
constexpr int kSecondApproachCurve = 3;
constexpr int kSecondStopCurve = 4;

std::string what(const Transponder& t) {
    return t.type == 70 ? "code-" + std::to_string(t.optional) + " coil"
                        : "type " + std::to_string(t.type);
}

// "the type 50 on line 27", or by its place where it has no line.
std::string named(const Transponder& t) {
    return "the " + what(t) +
           (t.line > 0 ? " on line " + std::to_string(t.line)
                       : " at " + shortNumber(t.position) + " m");
}

bool coil(const Transponder& t, int32_t code) {
    return t.type == 70 && t.optional == code;
}

// Where a stop curve set by this transponder must end: its declared signal, or else the first
// type 1 after it that stops a train at danger.
struct StopPlace {
    double position = 0.0; // m
    std::string text;
};

std::optional<StopPlace> stopPlace(const Scenario& scenario, const LayoutReading& reading,
                                   size_t index) {
    const Transponder& t = *reading.steps[index].transponder;
    if (t.linkedSignal) {
        const Signal& s = scenario.signals[*t.linkedSignal];
        return StopPlace{s.position, "signal " + s.name + " at " + shortNumber(s.position) + " m"};
    }
    for (size_t j = index + 1; j < reading.steps.size(); ++j) {
        const Transponder& next = *reading.steps[j].transponder;
        if (next.type == 1 && next.optional == 0 && (next.linkedSignal || next.signal == 0)) {
            return StopPlace{next.position, named(next) + ", at " + shortNumber(next.position) +
                                                " m, which stops a train at danger"};
        }
    }
    return std::nullopt;
}

// How the unit read a type 0 after a stop transponder or a code-95 coil.
struct DistanceCode {
    // As a distance code: the unit clears the coil state then, and only then, which it does
    // only where a stop curve of the pair stands.
    bool read = false;
    bool second = false;         // for the second stop pair, after a code-95 coil
    std::optional<double> picks; // m: the stop distance its spacing picks
};

DistanceCode distanceCode(const LayoutStep& step) {
    DistanceCode code;
    code.read = step.before.coilCode != coils::kNoCoil && step.after.coilCode == coils::kNoCoil;
    code.second = step.before.coilCode == coils::kSecondaryPairCode;
    code.picks = distanceCodeDistance(CVantor::classifySpacing(step.before.distanceSinceCoil));
    return code;
}

void checkDistanceCode(const LayoutStep& step, std::vector<RouteWarning>& out) {
    const Transponder& t = *step.transponder;
    if (t.type != 0 || step.coilStateBy == nullptr) {
        return;
    }
    const DistanceCode code = distanceCode(step);
    const std::string opener = what(*step.coilStateBy);
    const std::string here = "type 0 " + shortNumber(step.before.distanceSinceCoil) + " m after " +
                             named(*step.coilStateBy);
    if (code.read && !code.picks) {
        const uint32_t kept =
            code.second ? step.after.secondaryStopSelect : step.after.primaryStopSelect;
        const std::string curve = code.second ? "second stop curve" : "stop curve";
        const std::string keeps = shortNumber(coils::kStopDistances[kept & 3u]) + " m";
        out.push_back({t.line, here + ": no distance code, so the next " + curve + " keeps " +
                                   keeps + "; lay it " + distanceCodesText() + " after that " +
                                   opener});
    } else if (!code.read && code.picks && step.before.coilCode == coils::kAfterStopTransponder) {
        const std::string ends = shortNumber(coils::kStopDistances[0]) + " m";
        out.push_back({t.line, here + " would pick " + shortNumber(*code.picks) +
                                   " m, but no code-80 coil's stop curve stands before it, so "
                                   "the unit reads no distance code and the next stop curve ends " +
                                   ends + " on; lay a code-80 coil before that " + opener});
    }
}

// A stop pair's curve must end at or before the signal it is for.
void checkStopPoint(const Scenario& scenario, const LayoutReading& reading, size_t index,
                    const Transponder* pickedBy, std::vector<RouteWarning>& out) {
    const LayoutStep& step = reading.steps[index];
    const Transponder& t = *step.transponder;
    if (t.type != 50 && t.type != 55) {
        return;
    }
    for (const int slot : {kFirstStopCurve, kSecondStopCurve}) {
        const bool set =
            step.before.slotWritten(step.after, slot) && step.after.slotValue[slot] == 1;
        // A stop curve that aims at the stop point of a code-80 coil has a warning of its own.
        if (!set || (slot == kFirstStopCurve && step.after.slotValue[kStopPointAhead] != 0)) {
            continue;
        }
        const std::optional<StopPlace> place = stopPlace(scenario, reading, index);
        const double distance = step.after.slotDistance[slot];
        const double end = t.position + distance;
        if (!place || end <= place->position) {
            continue;
        }
        const std::string curve = slot == kSecondStopCurve ? "second stop curve" : "stop curve";
        const std::string why = pickedBy != nullptr ? ", picked by " + named(*pickedBy)
                                                    : ": no distance code picked another";
        const std::string past = shortNumber(end - place->position) + " m past " + place->text;
        const std::string layAt = shortNumber(place->position - distance) + " m or before (" +
                                  shortNumber(distance) + " m" + why + ")";
        out.push_back({t.line, "this " + what(t) + " sets the " + curve + " " +
                                   shortNumber(distance) + " m on, to " + shortNumber(end) +
                                   " m: " + past +
                                   ", so a train that keeps to the curve runs "
                                   "past it; lay this " +
                                   what(t) + " at " + layAt});
    }
}

// A coil of a pair code and then a code-90 coil at a spacing that pair would have decoded.
void checkReversedPair(const LayoutReading& reading, size_t index, std::vector<RouteWarning>& out) {
    const LayoutStep& step = reading.steps[index];
    const Transponder& t = *step.transponder;
    if (t.type != 70 || !pairCoilCode(t.optional) || t.optional == 90 ||
        step.before.coilCode == 90 || step.before.coilCode == coils::kAfterStopTransponder ||
        step.after.coilCode != static_cast<uint32_t>(t.optional)) {
        return;
    }
    for (size_t j = index + 1; j < reading.steps.size() && reading.steps[j].coilStateBy == &t;
         ++j) {
        const LayoutStep& next = reading.steps[j];
        if (!coil(*next.transponder, 90)) {
            continue;
        }
        const double spacing = next.before.distanceSinceCoil;
        const uint32_t meant = pairTargetSpeed(t.optional, CVantor::classifySpacing(spacing));
        if (meant == 0) {
            return;
        }
        std::string instead = "the " + what(t) + " alone sets nothing";
        for (const int slot : {0, kSecondApproachCurve}) {
            if (step.before.slotWritten(step.after, slot) && step.after.slotValue[slot] != 0) {
                instead = "the " + what(t) + " sets a stop curve with a " +
                          shortNumber(curves::kStopPointFloor) + " km/h floor " +
                          shortNumber(step.after.slotDistance[slot]) + " m on";
            }
        }
        const Transponder& second = *next.transponder;
        const std::string secondLine = second.line != t.line && second.line > 0
                                           ? " (line " + std::to_string(second.line) + ")"
                                           : "";
        out.push_back({t.line, what(t) + ", then a code-90 coil " + shortNumber(spacing) + " m on" +
                                   secondLine +
                                   ": a coil pair begins with its code-90 "
                                   "coil, so the unit reads no pair here and " +
                                   instead + "; lay the code-90 coil first for " +
                                   std::to_string(meant) + " km/h"});
        return;
    }
}

// A type 1 at danger in the coil state of a code-95 coil holds the second stop curve at its
// fixed limit, and only the unit's resets end that.
void checkFixedSecondCurve(const LayoutStep& step, std::vector<RouteWarning>& out) {
    const Transponder& t = *step.transponder;
    if (step.before.slot4FixedLimit || !step.after.slot4FixedLimit || step.coilStateBy == nullptr) {
        return;
    }
    const std::string limit = shortNumber(curves::kFixedStopLimit) + " km/h";
    const std::string after = "type 1 " + shortNumber(step.before.distanceSinceCoil) + " m after " +
                              named(*step.coilStateBy);
    const std::string ends = "only switching the unit off or cutting it out ends that";
    out.push_back({t.line, after + ": at danger it holds the second stop curve at " + limit +
                               ", and " + ends + ", so the train is held to " + limit +
                               " for the rest of the line; lay it more than 25 m after that coil"});
}

// A release within 25 m after a code-95 coil acts on the second stop pair: where only a first
// stop curve stands, it releases nothing, and the curve the author meant it for stays.
void checkMisdirectedRelease(const LayoutStep& step, std::vector<RouteWarning>& out) {
    const LayoutRecord& b = step.before;
    const LayoutRecord& c = step.clear;
    if (step.coilStateBy == nullptr || b.coilCode != coils::kSecondaryPairCode) {
        return;
    }
    // What a release of the pair writes, at clear: the type 1 that holds 15 km/h at danger
    // is warned of for that, and moving it away mends both.
    const bool releases = c.slotDistance[kSecondApproachCurve] == coils::kReleasedDistance &&
                          c.slotDistance[kSecondStopCurve] == coils::kReleasedDistance &&
                          c.slotValue[kSecondApproachCurve] == 0 &&
                          c.slotValue[kSecondStopCurve] == 0 &&
                          !(!b.slot4FixedLimit && step.after.slot4FixedLimit);
    const bool secondStands =
        b.slotValue[kSecondApproachCurve] != 0 || b.slotValue[kSecondStopCurve] != 0;
    const int first = b.slotValue[kFirstStopCurve] != 0 ? kFirstStopCurve : 0;
    if (!releases || secondStands || b.slotValue[first] == 0) {
        return;
    }
    const Transponder& t = *step.transponder;
    const double floor = first == kFirstStopCurve ? curves::kStopFloor : curves::kStopPointFloor;
    const std::string curve =
        "the stop curve to " + shortNumber(t.position + b.slotDistance[first]) + " m";
    out.push_back({t.line, what(t) + " " + shortNumber(b.distanceSinceCoil) + " m after " +
                               named(*step.coilStateBy) +
                               ": it releases the second stop curve, "
                               "and none stands; " +
                               curve + " stays, and its " + shortNumber(floor) +
                               " km/h floor holds past it; lay it more than 25 m after that coil"});
}

// Whether anything after the transponder at index ends the second stop curve it set in slot:
// a release at danger or at clear, or another curve in its place, which is judged itself.
bool endedLater(const LayoutReading& reading, size_t index, int slot) {
    for (size_t j = index + 1; j < reading.steps.size(); ++j) {
        const LayoutStep& s = reading.steps[j];
        if (s.before.slotValue[slot] == 0 || s.after.slotValue[slot] == 0 ||
            s.clear.slotValue[slot] == 0 || s.before.slotWritten(s.after, slot)) {
            return true;
        }
    }
    return reading.end.slotValue[slot] == 0;
}

// A second stop curve is released only by a release within 25 m after a code-95 coil.
void checkSecondCurveReleased(const LayoutReading& reading, size_t index,
                              const Transponder* lastSecondCoil, std::vector<RouteWarning>& out) {
    const LayoutStep& step = reading.steps[index];
    const Transponder& t = *step.transponder;
    for (const int slot : {kSecondApproachCurve, kSecondStopCurve}) {
        if (!step.before.slotWritten(step.after, slot) || step.after.slotValue[slot] != 1 ||
            endedLater(reading, index, slot)) {
            continue;
        }
        const double floor =
            slot == kSecondApproachCurve ? curves::kStopPointFloor : curves::kStopFloor;
        const std::string because =
            lastSecondCoil != nullptr ? " (after " + named(*lastSecondCoil) + ")" : "";
        const std::string to = shortNumber(t.position + step.after.slotDistance[slot]) + " m";
        const std::string releases = "only a code-103 coil, a type 1 or a type 61 within 25 m "
                                     "after a code-95 coil does";
        out.push_back({t.line, "this " + what(t) + " sets a second stop curve" + because + ", to " +
                                   to + ", that no transponder after it releases: " + releases +
                                   ", so its " + shortNumber(floor) +
                                   " km/h floor holds for the rest of the line; lay no code-95 "
                                   "coil before it, or such a release where its signal clears"});
    }
}

} // namespace

void checkLayout(const Scenario& scenario, const LayoutReading& reading,
                 std::vector<RouteWarning>& out) {
    // The type 0 whose distance code each stop pair takes, first and second.
    const Transponder* pickedBy[2] = {nullptr, nullptr};
    const Transponder* lastSecondCoil = nullptr;
    for (size_t i = 0; i < reading.steps.size(); ++i) {
        const LayoutStep& step = reading.steps[i];
        const Transponder& t = *step.transponder;
        checkDistanceCode(step, out);
        if (t.type == 0) {
            const DistanceCode code = distanceCode(step);
            if (code.read && code.picks) {
                pickedBy[code.second ? 1 : 0] = &t;
            }
            pickedBy[0] = step.after.primaryStopSelect == 0 ? nullptr : pickedBy[0];
            pickedBy[1] = step.after.secondaryStopSelect == 0 ? nullptr : pickedBy[1];
        }
        checkStopPoint(scenario, reading, i,
                       pickedBy[step.before.slotWritten(step.after, kSecondStopCurve) ? 1 : 0],
                       out);
        checkReversedPair(reading, i, out);
        checkFixedSecondCurve(step, out);
        checkMisdirectedRelease(step, out);
        if (coil(t, static_cast<int32_t>(coils::kSecondaryPairCode))) {
            lastSecondCoil = &t;
        }
        checkSecondCurveReleased(reading, i, lastSecondCoil, out);
    }
}

} // namespace vantor::sim
