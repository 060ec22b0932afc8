// The transponders `vantor-sim layout` lays for a declared stop signal and for a declared speed
// limit, after the guide's recipes, each spacing the unit measures laid at the middle of its
// window, where the frames may misjudge it most before it reads another code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "scenario/scenario.h"

namespace vantor::sim {

// What a laid transponder is for.
enum class Role {
    StopCoil,        // code-80 coil: at danger, the curve the distance code picks by
    DistanceStart,   // type 50 the distance code's spacing is measured from
    DistanceCode,    // type 0: picks the stop distance
    StopPairFirst,   // type 50
    StopPairSecond,  // type 50: at danger, the stop curve to the signal
    Release,         // code-103 coil: releases the stop curve once the signal clears
    StopPoint,       // type 1 at the signal
    RestrictionPair, // coil pair: the restriction
    RestrictionEnd,  // coil pair: ends it
};

// Whose a laid transponder is: a declared signal's or a declared limit's, by index.
struct Owner {
    enum class Kind { Signal, Limit } kind = Kind::Signal;
    size_t index = 0;
    bool operator==(const Owner&) const = default;
};

struct Laid {
    double position = 0.0; // m; of the first coil for a coil pair
    int32_t type = 0;
    int32_t optional = 0;          // the value, or the (first) coil's code
    std::optional<int32_t> second; // a coil pair: the second coil's code
    double spacing = 0.0;          // m between a coil pair's coils
    std::optional<size_t> signal;  // the declared signal it reports
    Role role = Role::StopCoil;
    Owner owner;
    std::string purpose; // what it is for, in the table
    std::string label;   // in the scenario file

    bool pair() const { return second.has_value(); }
    double last() const { return position + spacing; } // m: its last coil
};

// A target speed the unit reads from a coil pair: the second coil's code and the spacing.
struct PairCoding {
    double speed = 0.0;   // km/h
    int32_t code = 0;     // the second coil's
    double spacing = 0.0; // m, the middle of its window
};

// Every coding of the speed, in the order of the unit's coil codes; none if it codes no pair.
std::vector<PairCoding> codingsOf(double speed);
// The speeds the unit codes, highest first, from the highest not above limit; empty when it
// codes none so low.
std::vector<double> codableSpeedsUpTo(double limit);

// The unit's stop distances, shortest first (m).
size_t stopDistanceCount();
double stopDistance(size_t index);

// A stop signal's layout for the stop distance of that index, laid `shift` metres before its
// place (its stop curve then ends that far short of the signal), without the release coils; the
// type 1 stays at the signal.
std::vector<Laid> stopSignalCore(const Scenario& scenario, size_t signal, size_t distance,
                                 double shift);
// Where the release coils of a stop signal whose stop pair ends at pairEnd go, by preference.
std::vector<Laid> releaseCoils(const Scenario& scenario, size_t signal, double pairEnd);

// A limit's coil pair, its restriction beginning at the limit's start, and the pair that ends
// it at the limit's end.
std::vector<Laid> limitLayout(const Scenario& scenario, size_t limit, const PairCoding& coding);

} // namespace vantor::sim
