// The trackside coding of coils and stop transponders, as data, and the lookups in it.
#pragma once

#include <cstdint>

namespace vantor::coils {

// The transponder types the unit acts on; it ignores any other.
constexpr bool isTransponderType(int32_t type) {
    switch (type) {
    case 0:
    case 1:
    case 50:
    case 55:
    case 60:
    case 61:
    case 65:
    case 70:
        return true;
    default:
        return false;
    }
}

// The frequency codes of the coils (the optional value of a type-70 transponder). A coil pair
// is a code-90 coil and a second coil of any of the first four codes, whose code picks the
// pair's slots and speeds.
inline constexpr uint32_t kStopPointCode = 80;     // alone: a stop curve or a stop point
inline constexpr uint32_t kStopInhibitCode = 85;   // the next stop pair sets no stop curve
inline constexpr uint32_t kPairOpeningCode = 90;   // opens a coil pair
inline constexpr uint32_t kSecondaryPairCode = 95; // the next stop pair is the secondary one
inline constexpr int32_t kReleaseCode = 103;       // with a signal not 0: releases a stop pair

// Coil-state values besides the frequency codes of the coils themselves.
inline constexpr uint32_t kNoCoil = 0;
inline constexpr uint32_t kAfterStopTransponder = 108;

// Spacing windows between two coils: both bounds exclusive, 1.3 m wide, not overlapping.
struct SpacingWindow {
    double lower;
    double upper;
    float nominal;
};
inline constexpr SpacingWindow kSpacingWindows[] = {
    {1.3, 2.6, 2.0f},    {3.4, 4.7, 4.0f},    {5.8, 7.1, 6.5f},    {8.4, 9.7, 9.0f},
    {11.3, 12.6, 12.0f}, {14.5, 15.8, 15.0f}, {18.0, 19.3, 18.5f}, {21.9, 23.2, 22.5f},
};

// What a coil of a given code does in a given coil state.
enum class CoilAction : uint8_t {
    None,
    StopPointPrimary,   // signal 0: slot 0 := 1 at kApproachDistance
    StopPointSecondary, // signal 0: slot 3 := 1 at kApproachDistance
    StopPointAhead,     // signal 0: slot 2 := 1 at kStopPointAheadDistance
    FillPair,           // second coil of a pair: a target speed by the spacing
    FixedCheck14,       // signal kFixedCheck14Signal: sets or clears slot 14 by the spacing
    FixedCheck13,       // slot 13 := 2 or 1 by the spacing
};

inline constexpr uint32_t kCoilCodes[] = {kStopPointCode, kStopInhibitCode, kPairOpeningCode,
                                          kSecondaryPairCode};
inline constexpr uint32_t kCoilStates[] = {kNoCoil, kPairOpeningCode, kSecondaryPairCode,
                                           kAfterStopTransponder};

// Rows: kCoilCodes; columns: kCoilStates. Coil states 80 and 85 do nothing for any code.
inline constexpr CoilAction kCoilActions[4][4] = {
    {CoilAction::StopPointPrimary, CoilAction::FillPair, CoilAction::StopPointSecondary,
     CoilAction::StopPointAhead},
    {CoilAction::None, CoilAction::FillPair, CoilAction::None, CoilAction::FixedCheck14},
    {CoilAction::None, CoilAction::FillPair, CoilAction::None, CoilAction::FixedCheck13},
    {CoilAction::None, CoilAction::FillPair, CoilAction::None, CoilAction::None},
};

// The row of a coil code in kCoilCodes, -1 for a code that no coil pair or action uses.
constexpr int coilCodeIndex(uint32_t code) {
    for (int i = 0; i < 4; ++i) {
        if (kCoilCodes[i] == code) {
            return i;
        }
    }
    return -1;
}

// The column of a coil state in kCoilStates, -1 for a state in which no coil acts.
constexpr int coilStateIndex(uint32_t state) {
    for (int i = 0; i < 4; ++i) {
        if (kCoilStates[i] == state) {
            return i;
        }
    }
    return -1;
}

// Where a code-80 coil puts its stop curve (slots 0 and 3) and, after a stop transponder, the
// stop point ahead (slot 2), m.
inline constexpr double kApproachDistance = 644.0;
inline constexpr double kStopPointAheadDistance = 89.0;

// The fixed checks after a stop transponder: a code-85 coil acts only with this signal value;
// at the high spacing slot 13 checks 50 km/h and slot 14 is set, at the low one slot 13 checks
// 30 km/h and slot 14 is cleared.
inline constexpr int32_t kFixedCheck14Signal = 111;
inline constexpr float kFixedCheckHighSpacing = 2.0f;
inline constexpr float kFixedCheckLowSpacing = 4.0f;

// A stop transponder this far after a code-90 coil cuts the unit out, m.
inline constexpr float kCutOutSpacing = 2.0f;

// Target speeds of coil pairs by spacing (rows) and second coil's code (columns, kCoilCodes).
// The columns are not evenly spaced; they are the trackside coding as laid.
inline constexpr float kPairSpacings[] = {4.0f, 6.5f, 9.0f, 12.0f, 15.0f, 18.5f, 22.5f};
inline constexpr uint32_t kPairSpeeds[7][4] = {
    {100, 110, 65, 70}, {95, 100, 60, 65}, {85, 90, 55, 60}, {75, 80, 50, 55},
    {65, 70, 45, 50},   {55, 60, 40, 45},  {45, 50, 35, 35},
};
struct SlotPair {
    int first;
    int second;
};
inline constexpr SlotPair kPairSlots[4] = {{9, 10}, {5, 6}, {11, 12}, {7, 8}};
inline constexpr double kPairDistance = 555.0;

// The target speed in km/h of a pair whose second coil has the code at codeIndex in
// kCoilCodes, at a nominal spacing; 0 where the spacing is no row of the table.
constexpr uint32_t pairSpeed(int codeIndex, float spacing) {
    uint32_t target = 0;
    for (int row = 0; row < 7; ++row) {
        if (kPairSpacings[row] == spacing) {
            target = kPairSpeeds[row][codeIndex];
        }
    }
    return target;
}

// Stop distances chosen by the spacing before a type-0 transponder.
inline constexpr double kStopDistances[4] = {390.0, 455.0, 560.0, 765.0};
// Selection codes by spacing: 2.0 m, 4.0 m and 6.5 m select 1, 2 and 3.
struct StopSelection {
    float spacing;
    uint32_t select;
};
inline constexpr StopSelection kStopSelections[] = {{2.0f, 1}, {4.0f, 2}, {6.5f, 3}};

// The selection code that a type-0 transponder at a nominal spacing picks; 0 for none.
constexpr uint32_t stopSelection(float spacing) {
    uint32_t selection = 0;
    for (const StopSelection& entry : kStopSelections) {
        if (entry.spacing == spacing) {
            selection = entry.select;
        }
    }
    return selection;
}

inline constexpr double kReleasedDistance = 900000.0;

} // namespace vantor::coils
