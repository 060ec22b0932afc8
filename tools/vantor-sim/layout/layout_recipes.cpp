#include "layout/layout_recipes.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <stdexcept>

#include "host/unit_names.h"
#include "patterns/slot_curves.h"
#include "support/text_format.h"
#include "transponders/coil_tables.h"

namespace vantor::sim {

namespace {

// The recipe's own distances before the stop pair's second type 50, m. The type 50 that a
// distance code is measured from lies more than the unit's coil memory (25 m) before the stop
// pair's first, so that the two never form a pair when the coil's curve is missing (a signal
// that turned to danger after the train passed its coil).
constexpr double kPairFirst = 10.0;
constexpr double kDistanceStart = 50.0;
constexpr double kStopCoil = 60.0;
// The 390 m distance code lies after the coil and before any type 50.
constexpr double kShortDistanceCode = 55.0;
// The last release coil lies this far before the signal.
constexpr double kLastRelease = 20.0;

constexpr int32_t kDistanceCodeType = 0;
constexpr int32_t kStopPointType = 1;
constexpr int32_t kStopType = 50;
constexpr int32_t kCoilType = 70;
// A type 0 or type 50 of a layout rings no alarm and counts as a stop transponder.
constexpr int32_t kQuietOptional = 1;

double centimetres(double m) {
    return std::round(m * 100.0) / 100.0;
}
// Rounded toward the line's start, so that a point set from there does not move past the place.
double centimetresBefore(double m) {
    return std::floor(m * 100.0 + 1e-6) / 100.0;
}
double centimetresAfter(double m) {
    return std::ceil(m * 100.0 - 1e-6) / 100.0;
}

// The middle of the spacing window whose nominal spacing is this, m.
double middleOf(float nominal) {
    for (const coils::SpacingWindow& w : coils::kSpacingWindows) {
        if (w.nominal == nominal) {
            return centimetres((w.lower + w.upper) / 2.0);
        }
    }
    throw std::logic_error("no spacing window for a nominal spacing of the tables");
}

// The code of the coil that, in no coil state, sets the curve of a stop signal's coil.
int32_t stopCoilCode() {
    for (size_t code = 0; code < std::size(coils::kCoilCodes); ++code) {
        for (size_t state = 0; state < std::size(coils::kCoilStates); ++state) {
            if (coils::kCoilStates[state] == coils::kNoCoil &&
                coils::kCoilActions[code][state] == coils::CoilAction::StopPointPrimary) {
                return static_cast<int32_t>(coils::kCoilCodes[code]);
            }
        }
    }
    throw std::logic_error("no coil sets a stop signal's curve");
}

// The code of a coil pair's first coil: the coil state in which a second coil fills a pair.
int32_t pairFirstCode() {
    for (size_t state = 0; state < std::size(coils::kCoilStates); ++state) {
        if (coils::kCoilActions[0][state] == coils::CoilAction::FillPair) {
            return static_cast<int32_t>(coils::kCoilStates[state]);
        }
    }
    throw std::logic_error("no coil state fills a coil pair");
}

// A pair laid at the spacing of the one window that codes no speed ends its code's
// restrictions.
double releaseSpacing() {
    for (const coils::SpacingWindow& w : coils::kSpacingWindows) {
        if (std::find(std::begin(coils::kPairSpacings), std::end(coils::kPairSpacings),
                      w.nominal) == std::end(coils::kPairSpacings)) {
            return middleOf(w.nominal);
        }
    }
    throw std::logic_error("every spacing window codes a speed");
}

// The spacing after a type 50 at which a type 0 picks that stop distance.
double distanceCodeSpacing(size_t distance) {
    for (const coils::StopSelection& s : coils::kStopSelections) {
        if (s.select == distance) {
            return middleOf(s.spacing);
        }
    }
    throw std::logic_error("no spacing picks that stop distance");
}

std::string metres(double m) {
    return fixed(m, m == std::round(m) ? 0 : 2) + " m";
}

Laid single(double position, int32_t type, int32_t optional, size_t signal, Role role,
            std::string purpose, std::string label) {
    Laid t;
    t.position = position;
    t.type = type;
    t.optional = optional;
    t.signal = signal;
    t.role = role;
    t.owner = {Owner::Kind::Signal, signal};
    t.purpose = std::move(purpose);
    t.label = std::move(label);
    return t;
}

} // namespace

std::vector<PairCoding> codingsOf(double speed) {
    std::vector<PairCoding> codings;
    for (size_t code = 0; code < std::size(coils::kCoilCodes); ++code) {
        for (size_t row = 0; row < std::size(coils::kPairSpacings); ++row) {
            if (coils::kPairSpeeds[row][code] == speed) {
                codings.push_back({speed, static_cast<int32_t>(coils::kCoilCodes[code]),
                                   middleOf(coils::kPairSpacings[row])});
            }
        }
    }
    return codings;
}

std::vector<double> codableSpeedsUpTo(double limit) {
    std::vector<double> speeds;
    for (const auto& row : coils::kPairSpeeds) {
        for (const uint32_t speed : row) {
            if (speed <= limit &&
                std::find(speeds.begin(), speeds.end(), double(speed)) == speeds.end()) {
                speeds.push_back(speed);
            }
        }
    }
    std::sort(speeds.rbegin(), speeds.rend());
    return speeds;
}

size_t stopDistanceCount() {
    return std::size(coils::kStopDistances);
}

double stopDistance(size_t index) {
    return coils::kStopDistances[index];
}

std::vector<Laid> stopSignalCore(const Scenario& scenario, size_t signal, size_t distance,
                                 double shift) {
    const Signal& s = scenario.signals[signal];
    const double d = stopDistance(distance);
    const double end = centimetresBefore(s.position - shift - d);
    const std::string dText = shortNumber(d) + " m";
    std::vector<Laid> laid;
    laid.push_back(
        single(centimetres(end - kStopCoil), kCoilType, stopCoilCode(), signal, Role::StopCoil,
               s.name + ", " + dText + ": at danger, its " + setupName(Setup::ApproachCurve) +
                   " to " + shortNumber(curves::kStopPointFloor) +
                   " km/h, by which the type 0 picks the stop distance",
               "layout: " + s.name + " coil"));
    if (distance == 0) {
        laid.push_back(single(centimetres(end - kShortDistanceCode), kDistanceCodeType,
                              kQuietOptional, signal, Role::DistanceCode,
                              s.name + ": a type 0 after no type 50 picks " + dText +
                                  "; optional 1 rings no alarm",
                              "layout: " + s.name + " stop distance " + dText));
    } else {
        const double spacing = distanceCodeSpacing(distance);
        laid.push_back(single(centimetres(end - kDistanceStart), kStopType, kQuietOptional, signal,
                              Role::DistanceStart,
                              s.name + ": the type 0's spacing is measured from here",
                              "layout: " + s.name + " distance code start"));
        laid.push_back(single(centimetres(end - kDistanceStart + spacing), kDistanceCodeType,
                              kQuietOptional, signal, Role::DistanceCode,
                              s.name + ": " + metres(spacing) + " after the type 50 picks " +
                                  dText + "; optional 1 rings no alarm",
                              "layout: " + s.name + " stop distance " + dText));
    }
    laid.push_back(single(centimetres(end - kPairFirst), kStopType, kQuietOptional, signal,
                          Role::StopPairFirst, s.name + ": the stop pair's first",
                          "layout: " + s.name + " stop pair"));
    const double point = end + d;
    laid.push_back(
        single(end, kStopType, kQuietOptional, signal, Role::StopPairSecond,
               s.name + ": at danger, the " + setupText(Setup::StopCurve, -1, point, 0.0) +
                   (shift > 0.0 ? ", " + metres(s.position - point) + " short of " + s.name
                                : std::string()),
               "layout: " + s.name + " stop curve " + dText));
    laid.push_back(single(s.position, kStopPointType, 0, signal, Role::StopPoint,
                          s.name +
                              ": at danger, latches the brake of a train that passes; "
                              "clear, releases the " +
                              setupName(Setup::StopCurve),
                          "layout: " + s.name + " type 1"));
    return laid;
}

std::vector<Laid> releaseCoils(const Scenario& scenario, size_t signal, double pairEnd) {
    const Signal& s = scenario.signals[signal];
    std::vector<Laid> laid;
    for (const double at :
         {centimetres((pairEnd + s.position) / 2.0), centimetres(s.position - kLastRelease)}) {
        laid.push_back(single(at, kCoilType, coils::kReleaseCode, signal, Role::Release,
                              s.name + ": once " + s.name + " clears, releases its " +
                                  setupName(Setup::StopCurve),
                              "layout: " + s.name + " release"));
    }
    return laid;
}

std::vector<Laid> limitLayout(const Scenario& scenario, size_t limit, const PairCoding& coding) {
    const SpeedLimit& l = scenario.limits[limit];
    const std::string subject = "limit " + shortNumber(l.speed) + " km/h";
    const std::string code = "code " + std::to_string(coding.code);
    Laid pair;
    const double second = centimetresBefore(l.from - coils::kPairDistance);
    pair.position = centimetres(second - coding.spacing);
    pair.type = kCoilType;
    pair.optional = pairFirstCode();
    pair.second = coding.code;
    pair.spacing = coding.spacing;
    pair.role = Role::RestrictionPair;
    pair.owner = {Owner::Kind::Limit, limit};
    pair.purpose = subject + ": the " +
                   setupText(Setup::Restriction, -1, second + coils::kPairDistance, coding.speed) +
                   " (" + code + ", " + metres(coding.spacing) + ")";
    pair.label = "layout: " + shortNumber(coding.speed) + " km/h from " + fixed(l.from, 1) + " m";
    Laid end = pair;
    end.spacing = releaseSpacing();
    end.position = centimetres(centimetresAfter(l.to) - end.spacing);
    end.role = Role::RestrictionEnd;
    end.purpose = subject + ": ends the " + code + " " + setupName(Setup::Restriction) + "s at " +
                  placeText(end.last());
    end.label = "layout: end of " + shortNumber(coding.speed) + " km/h";
    return {pair, end};
}

} // namespace vantor::sim
