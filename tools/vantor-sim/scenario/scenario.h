// A run of the test bench as the scenario file describes it: the vehicle, the unit's settings,
// the line with its transponders, the driver, the length of the run and what it should show.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "scenario/expectation.h"
#include "settings/settings_file.h"

namespace vantor::sim {

struct Vehicle {
    int32_t brakeNotches = 8;
    int32_t powerNotches = 5;
    int32_t ackBrakeNotch = 2;
    int32_t cars = 4;
    // km/h/s for power notches 1..powerNotches and brake notches 1..brakeNotches
    std::vector<double> powerAcceleration{0.6, 1.2, 1.8, 2.4, 3.0};
    std::vector<double> brakeDeceleration{0.5, 1.0, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0};
    double emergencyDeceleration = 4.5; // km/h/s at brakeNotches + 1
    double resistanceConstant = 0.0;    // km/h/s whenever the train moves
    double resistanceAt100 = 0.0;       // km/h/s added at 100 km/h, growing with speed squared

    int32_t emergencyNotch() const { return brakeNotches + 1; }
};

// A key of [settings]: the text the unit's settings file gets for it.
struct SettingText {
    std::string value;
    int line = 0; // of the key in the scenario file
};

// The unit's settings: the keys of [settings], in the order of kSettings (keys left out are
// not written, so the unit uses its defaults), and the file the unit gets in a run, written
// from them or given with --settings in their place.
struct Settings {
    std::array<std::optional<SettingText>, kSettingCount> keys;
    SettingsFile file;

    bool anyKey() const {
        return std::any_of(keys.begin(), keys.end(),
                           [](const auto& key) { return key.has_value(); });
    }
};

struct Transponder {
    double position = 0.0; // m along the line
    int32_t type = 0;
    int32_t signal = 0; // reported as it is, unless the transponder is linked to a signal
    int32_t optional = 0;
    std::string label;
    int line = 0;               // of its table in the scenario file; 0 when not from a file
    bool optionalGiven = false; // the file gives an optional value
    // Index into Scenario::signals: the transponder reports that signal's aspect when passed.
    std::optional<size_t> linkedSignal;
};

// A signal of the line as the author means it: at danger, the front of the train must stand at
// or before it.
struct Signal {
    std::string name;
    double position = 0.0; // m
    int32_t aspect = 0;    // what its transponders report at the start: 0 danger, else proceed
    int32_t clear = 1;     // what they report when it is cleared
    int line = 0;          // of its table in the scenario file
};

// A speed limit of the line as the author means it: the front never passes any place of
// [from, to] faster than speed.
struct SpeedLimit {
    double from = 0.0;  // m
    double to = 0.0;    // m
    double speed = 0.0; // km/h
    int line = 0;       // of its table in the scenario file
};

// The line's gradient from a position on, until the next one.
struct Gradient {
    double position = 0.0; // m
    double perMille = 0.0; // rising in the direction of travel when positive
};

struct ProfilePoint {
    double position = 0.0; // m
    double speed = 0.0;    // km/h from this position on
};

// One scripted step: at a time or when the train's front reaches a position, any of the
// actions below, applied in the order listed.
struct Event {
    std::optional<double> time;     // s since the start of the run
    std::optional<double> position; // m
    std::string label;
    std::optional<bool> powerSwitch;
    std::optional<int32_t> brake;
    std::optional<int32_t> power;
    std::optional<int32_t> reverser;
    std::optional<bool> automatic;
    std::optional<std::optional<double>> ackDelay; // inner empty: the driver never acknowledges
    std::optional<bool> ignorePattern;
    std::optional<int32_t> keyDown;
    std::optional<int32_t> keyUp;
    std::optional<int32_t> key;   // pressed, then let go after hold
    std::optional<size_t> signal; // index into Scenario::signals: it changes to aspect
    int32_t aspect = 0;
    double hold = 0.5; // s
    int line = 0;      // of its table in the scenario file
};

struct DriverPlan {
    double startTime = 2.0; // s; until then the brake is held at full service
    std::vector<ProfilePoint> profile;
    double deceleration = 2.0;                // km/h/s the driver plans his braking with
    int32_t brakeNotch = 0;                   // service notch for ordinary braking
    int32_t powerNotch = 0;                   // notch for accelerating; 0: the highest
    std::optional<double> ackDelay = 2.0;     // s; empty: never acknowledges
    double ackHold = 0.5;                     // s the acknowledge and silence keys are held
    std::optional<double> releaseDelay = 3.0; // s after the stop; empty: never releases
    bool watchPattern = true;                 // keeps below the pattern display less patternMargin
    // Watches the pattern display only while it shows the overspeed brake (no pattern stands):
    // he keeps to the unit's maximum speed, and a curve in his way brakes him.
    bool watchOverspeedOnly = false;
    double patternMargin = 5.0; // km/h
};

struct Run {
    int32_t stepMs = 20;
    double duration = 300.0; // s
    double startPosition = 0.0;
    bool powerSwitch = false; // the unit's power switch at the start
    int durationLine = 0;     // of the duration key in the scenario file, 0 when not given
};

// How many frames the run takes at most (it may end sooner at the end of the line), as a
// number that may lie beyond any integer's range.
inline double framesInRun(const Run& run) {
    return std::floor(std::floor(run.duration * 1000.0) / run.stepMs) + 1.0;
}
// The time of the run's last frame, should it run to its end (s).
inline double lastFrameTime(const Run& run) {
    return (framesInRun(run) - 1.0) * run.stepMs / 1000.0;
}

// Frame times are sums of whole milliseconds; a time given in seconds may differ from them by
// rounding.
inline constexpr double kFrameTimeTolerance = 1e-9;

struct Scenario {
    std::string name;
    std::string source; // the file, or the built-in line's name, for messages
    Vehicle vehicle;
    Settings settings;
    double routeLength = 0.0;              // m; the run ends when the front reaches it (0: no end)
    std::vector<Signal> signals;           // in file order
    std::vector<SpeedLimit> limits;        // in file order
    std::vector<Transponder> transponders; // sorted by position
    std::vector<Gradient> gradients;       // sorted by position; level before the first
    DriverPlan driver;
    std::vector<Event> events;
    Run run;
    std::vector<Expectation> expectations;
};

// Where the first transponder linked to a signal lies, if one is: transponders are sorted.
inline std::optional<double> firstLinked(const Scenario& scenario, size_t signal) {
    for (const Transponder& t : scenario.transponders) {
        if (t.linkedSignal == signal) {
            return t.position;
        }
    }
    return std::nullopt;
}

} // namespace vantor::sim
