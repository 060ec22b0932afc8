// The protection report's judgement of a line against what its author declares: each signal
// approached at danger, each limit approached too fast, and a clear run with every signal
// cleared. Each approach is played from the start of the line with the signals cleared and an
// attentive driver, until the bench takes the train over.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "drive/simulation.h"

namespace vantor::sim {

enum class Outcome { Protected, Unprotected, NotJudged, NeedlessBrake };

// A signal's first transponder must lie this far beyond where the bench takes the train over,
// so that every spacing the unit measures over its 25 m is run at the approach speed.
inline constexpr double kTakeOverLead = 30.0; // m

// "protected", "UNPROTECTED", "NOT JUDGED", "NEEDLESS BRAKE".
const char* outcomeText(Outcome outcome);

struct Sample {
    double time = 0.0;     // s
    double position = 0.0; // m
    float speed = 0.0f;    // km/h
};

struct Judgement {
    enum class Kind { Signal, Limit, ClearRun } kind = Kind::Signal;
    size_t index = 0; // of the signal or limit in the scenario
    std::string
        subject;  // "signal S2 at 3000.0 m", "limit 45 km/h from 3000.0 to 3400.0 m", "clear run"
    int line = 0; // of the signal's or limit's table in the file; 0 for the clear run
    Outcome outcome = Outcome::NotJudged;
    double speed = 0.0;             // km/h the train was taken over at
    std::optional<double> takeOver; // m: where the bench was to take the train over
    std::optional<Sample> warning;  // the warning lamp, after the take-over
    std::optional<Sample> brake;    // the unit's first brake after the take-over
    std::optional<Sample> stood;    // the stand after it
    std::optional<double> margin;   // m short of a signal, km/h under a limit
    bool marginInKmh = false;
    // The least margin of every play of this signal or limit (just under a curve's floor, after
    // the signal before it), when each was played through.
    std::optional<double> leastMargin;
    std::string result;                // what the train did: "stood at 2950.0 m", ...
    std::string why;                   // the cause of the brake, or why it was not judged
    std::vector<std::string> unitSaid; // what the unit made of the transponders, for a failure
    std::string svg;                   // the plot of the approach, when asked for
};

// How the approach speed is chosen.
struct SpeedChoice {
    enum class By { Line, Max, Given } by = By::Line;
    double given = 0.0; // km/h
};
// "line", "max" or a speed in km/h; throws on anything else.
SpeedChoice parseSpeedChoice(const std::string& text);

// The unit's brake can act on a train from this far before a signal or limit, plus the
// train's braking distance: the longest distance at which a transponder sets up a point.
double longestReach();
// m the train runs braking at the emergency deceleration (km/h/s) from speed (km/h).
double brakingDistance(double speed, double deceleration);

struct JudgeOptions {
    std::string library;
    std::optional<std::string> settingsFile; // its bytes go beside each library copy
    SpeedChoice speed;
    double unitMaxSpeed = 0.0; // km/h: the Speed setting, for By::Max
    bool plots = false;
    unsigned jobs = 1;
    // Each approach played from the start of the line, instead of branched off one clear run:
    // slower, and the same result.
    bool replayEach = false;
    // Only these declared signals and limits are judged, by index; all when not given. The
    // clear run always is.
    std::optional<std::vector<size_t>> signalsOnly;
    std::optional<std::vector<size_t>> limitsOnly;
    // Where the line's own run put the points the approaches come upon again.
    const PointBook* points = nullptr;
};

// Where the bench takes the train over for an approach to a point (m), and at what speed: far
// enough back that any layout the unit knows acts on the train, and 30 m before the first
// transponder linked to the signal, if one is.
struct ApproachPlace {
    double from = 0.0;  // m
    double speed = 0.0; // km/h
};
ApproachPlace approachTo(const Scenario& scenario, const JudgeOptions& options, double point,
                         std::optional<double> first);

// Every declared signal, every declared limit (or those asked for), then the clear run, in that
// order. Runs in parallel; the result does not depend on how many jobs.
std::vector<Judgement> judgeLine(const Scenario& scenario, const JudgeOptions& options);

// Whether the whole line passes: everything protected and a clear run without a brake.
bool linePasses(const std::vector<Judgement>& judgements);

} // namespace vantor::sim
