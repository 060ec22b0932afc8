// What a scenario expects of its run ([[expect]] in the file): where the train stands, where the
// unit brakes, what a lamp, the pattern display or a sound shows, at a place or time or over a
// stretch of the line or of the run.
#pragma once

#include <optional>
#include <string>

namespace vantor::sim {

enum class ExpectKind {
    StopBefore,     // the train comes to a stand short of a point, without passing it first
    Brake,          // the unit's brake override starts within the stretch, or is never in force
    Lamp,           // a lamp is on or off
    PatternSpeed,   // the lowest pattern speed the pattern display stands for lies within bounds
    PatternDisplay, // the pattern display lies within bounds
    Sound,          // a sound plays, or stays silent
};

// Where an expectation looks: a place or a time (the first frame that reaches it), a stretch
// from one to the other (either end may be open), or the whole run.
struct ExpectWindow {
    enum class By { Run, Position, Time };
    By by = By::Run;
    bool single = false;        // at a place or time: only the first frame that reaches it
    std::optional<double> from; // m or s; at a place or time, that place or time
    std::optional<double> to;   // m or s
};

struct Expectation {
    ExpectKind kind = ExpectKind::StopBefore;
    int line = 0; // of its table in the scenario file
    std::string label;
    ExpectWindow window;
    double stopBefore = 0.0; // m
    // The brake starts, the lamp is on, the sound plays; or the opposite.
    bool positive = true;
    int index = 0;    // panel entry of the lamp, or sound index
    std::string name; // of the lamp or sound, for messages
    double low = 0.0; // bounds of the pattern speed (km/h) or display (steps)
    double high = 0.0;
};

} // namespace vantor::sim
