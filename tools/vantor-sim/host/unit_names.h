// One name for each thing the unit sets up, the same on the timeline, in check and protect and
// on the plot: what each pattern slot of the unit's record holds, in the line author's words.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "unit/vantor.h"

namespace vantor::sim {

enum class Setup {
    StopCurve,      // slots 1 and 4: a curve down to 10 km/h at its stop point
    ApproachCurve,  // slots 0 and 3: a code-80 coil's curve down to 65 km/h at its point
    NearStopPoint,  // slot 2: a code-80 coil after a stop transponder; the stop curve aims at it
    Hold,           // slots 1 and 4 held at 15 km/h by a type 1 at danger
    Restriction,    // slots 5 to 12: a coil pair's target speed from its point on
    FixedCheck,     // slots 13 and 14: 30, 50 or 25 km/h from where it is set
    OverspeedBrake, // what the unit brakes at with no pattern: its maximum speed and 10 km/h
};

// "stop curve", and for slots 3 and 4, the second stop pair's, "second stop curve".
std::string setupName(Setup setup, int slot = -1);

// What a slot with this value holds, by the unit's record: the type 1's hold flags decide
// between a stop curve and the hold.
Setup setupInSlot(const CVantor& unit, int slot, uint32_t value);

// A place on the line: "1499.7 m". Every point of every report is written so.
std::string placeText(double position);

// A thing with its point and speed, as every report gives it: "stop curve to 1499.7 m",
// "approach curve to 65 km/h at 1643.9 m", "restriction 100 km/h from 2061.3 m", "15 km/h hold
// from 2000.0 m", "fixed check 30 km/h from 812.0 m", "overspeed brake".
std::string setupText(Setup setup, int slot, std::optional<double> point, double speed);

// The same, short, for a mark on the plot: "stop curve", "approach curve 65 km/h".
std::string setupLabel(Setup setup, int slot, double speed);

} // namespace vantor::sim
