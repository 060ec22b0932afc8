// What the bench keeps of one frame, and the notes it makes between frames: everything the
// timeline, the trace and the plot are drawn from.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "host_records.h"
#include "unit/vantor.h"

namespace vantor::sim {

// The pattern display of a unit that supervises nothing.
inline constexpr int32_t kPatternDisplayInactive = 999;

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
