// What the bench keeps of one frame, and the notes it makes between frames: everything the
// timeline, the trace and the plot are drawn from.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "host_records.h"

namespace vantor::sim {

// Panel entries and sound indices the unit writes.
inline constexpr std::array<int, 11> kPanelIndices = {0, 1, 11, 12, 13, 14, 15, 16, 17, 18, 19};
inline constexpr std::array<int, 9> kSoundIndices = {0, 1, 10, 11, 12, 13, 20, 21, 22};

inline constexpr int kPanelNormalLamp = 0;
inline constexpr int kPanelAlarmLamp = 1;
inline constexpr int kPanelPowered = 11;
inline constexpr int kPanelPatternLamp = 12;
inline constexpr int kPanelWarningLamp = 14;
inline constexpr int kPanelEmergencyLamp = 15;
inline constexpr int kPanelHoldOffLamp = 16;
inline constexpr int kPanelPatternDisplay = 19;
// The pattern display of a unit that supervises nothing.
inline constexpr int32_t kPatternDisplayInactive = 999;

// Frame times are sums of whole milliseconds; a time given in seconds may differ from them by
// rounding.
inline constexpr double kFrameTimeTolerance = 1e-9;

inline constexpr int32_t kSoundStop = -10000;
inline constexpr int32_t kSoundLoop = 0;
inline constexpr int32_t kSoundPlayOnce = 1;

struct FrameRecord {
    int64_t index = 0;
    double time = 0.0; // s since the start of the run
    int32_t hostTime = 0;
    double position = 0.0;
    float speed = 0.0f;
    bool powerSwitch = false;
    Handles driver{};   // the driver's handles
    Handles returned{}; // what Elapse handed back
    std::array<int32_t, 250> panel{};
    std::array<int32_t, 23> sound{};
    // The lowest pattern speed read back from the pattern display; empty while the display
    // shows no pattern (unit off or inactive).
    std::optional<double> patternSpeed;
    // The speed the driver is aiming for.
    double targetSpeed = 0.0;
    // On a worst-case approach: the bench held the train at the approach speed.
    bool held = false;
};

// Something that happened between frames: a transponder passed, a driver's action or a
// scripted event.
struct Note {
    double time = 0.0;
    double position = 0.0;
    float speed = 0.0f;
    std::string text;
    bool transponder = false;
    int32_t transponderType = 0;
    int32_t transponderOptional = 0;
    std::string label;  // the author's label of the transponder
    bool event = false; // part of a scripted event
};

} // namespace vantor::sim
