// The trackside coding of coils and stop transponders, as data.
#pragma once

#include <cstdint>

namespace vantor::coils {

// Coil-state values besides the frequency codes of the coils themselves.
inline constexpr uint32_t kNoCoil = 0;
inline constexpr uint32_t kAfterStopTransponder = 108;
inline constexpr int32_t kReleaseCode = 103;
inline constexpr uint32_t kSecondaryPairCode = 95;

// Spacing windows between two coils: both bounds exclusive, 1.3 m wide, not overlapping.
struct SpacingWindow {
    double lower;
    double upper;
    float nominal;
};
inline constexpr SpacingWindow kSpacingWindows[] = {
    {1.3, 2.6, 2.0f},     {3.4, 4.7, 4.0f},     {5.8, 7.1, 6.5f},     {8.4, 9.7, 9.0f},
    {11.3, 12.6, 12.0f},  {14.5, 15.8, 15.0f},  {18.0, 19.3, 18.5f},  {21.9, 23.2, 22.5f},
};

// What a coil of a given code does in a given coil state.
enum class CoilAction : uint8_t {
    None,
    StopPointPrimary,   // signal 0: slot 0 := 1 at 644 m
    StopPointSecondary, // signal 0: slot 3 := 1 at 644 m
    StopPointAhead,     // signal 0: slot 2 := 1 at 89 m
    FillPair,           // second coil of a pair: a target speed by the spacing
    FixedCheck14,       // signal 111: 2.0 m sets slot 14, 4.0 m clears it
    FixedCheck13,       // 2.0 m: slot 13 := 2, 4.0 m: slot 13 := 1
};

inline constexpr uint32_t kCoilCodes[] = {80, 85, 90, 95};
inline constexpr uint32_t kCoilStates[] = {kNoCoil, 90, 95, kAfterStopTransponder};

// Rows: kCoilCodes; columns: kCoilStates. Coil states 80 and 85 do nothing for any code.
inline constexpr CoilAction kCoilActions[4][4] = {
    {CoilAction::StopPointPrimary, CoilAction::FillPair, CoilAction::StopPointSecondary,
     CoilAction::StopPointAhead},
    {CoilAction::None, CoilAction::FillPair, CoilAction::None, CoilAction::FixedCheck14},
    {CoilAction::None, CoilAction::FillPair, CoilAction::None, CoilAction::FixedCheck13},
    {CoilAction::None, CoilAction::FillPair, CoilAction::None, CoilAction::None},
};

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

// Stop distances chosen by the spacing before a type-0 transponder.
inline constexpr double kStopDistances[4] = {390.0, 455.0, 560.0, 765.0};
// Selection codes by spacing: 2.0 m, 4.0 m and 6.5 m select 1, 2 and 3.
struct StopSelection {
    float spacing;
    uint32_t select;
};
inline constexpr StopSelection kStopSelections[] = {{2.0f, 1}, {4.0f, 2}, {6.5f, 3}};

inline constexpr double kReleasedDistance = 900000.0;

} // namespace vantor::coils
