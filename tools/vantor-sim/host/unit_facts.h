// What the bench's own unit made of the line: each thing that a transponder, a key or a frame
// set up or cleared, read from the unit's record. The timeline prints the text, the plot marks
// the points, and checks can read the fields.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "host/unit_names.h"
#include "scenario/scenario.h"

namespace vantor::sim {

enum class FactKind {
    StopCurve,      // a stop curve, an approach curve or the 89 m stop point: slots 0 to 4
    Restriction,    // a target speed from a coil pair: slots 5 to 12
    FixedCheck,     // a fixed speed check (slots 13 and 14) or the 15 km/h hold (1 and 4)
    Released,       // a pattern cleared or released
    NoCode,         // a spacing that decodes to nothing
    StopSuppressed, // a stop transponder that would have set a stop curve but did not
    CoilState,      // how the coil state moved: pairs begun, cleared, forgotten
    CutOutWatch,    // the cut-out watch armed
    CoilCutOut,     // the coils cut the unit out
    BrakeLatched,   // a transponder latched the brake
    EmergencyBrake, // the unit demands the emergency brake: a curve reached, or rollback
    Ignored,        // something the unit dropped without acting on it
    Differs,        // the loaded library does something else; no facts follow
};

// A spacing window of the coil decoding, metres; both bounds exclusive.
struct SpacingWindowInfo {
    double lower = 0.0;
    double upper = 0.0;
    double nominal = 0.0;
};

struct UnitFact {
    FactKind kind = FactKind::CoilState;
    double time = 0.0;     // s since the start of the run
    double position = 0.0; // m, the front of the train
    float speed = 0.0f;    // km/h
    // The transponder that caused it, if one did.
    const Transponder* transponder = nullptr;
    int slot = -1;                      // the pattern slot concerned
    std::optional<Setup> setup;         // what the slot holds, by its one name
    std::optional<double> point;        // m along the line: stop point or start of restriction
    std::optional<double> speedLimit;   // km/h: target speed, floor or fixed check
    std::optional<double> stopDistance; // m ahead of the train at which the point was set
    std::optional<double> spacing;      // m the unit measured since the last coil
    std::optional<SpacingWindowInfo> nearestWindow;
    // StopCurve: the type 0 whose measured spacing picked the stop distance, if one did.
    const Transponder* pickedBy = nullptr;
    // Released: what had set the pattern, and whether the train had yet to reach its point.
    const Transponder* setBy = nullptr;
    bool beforeReached = false;
    std::string text;
};

} // namespace vantor::sim
