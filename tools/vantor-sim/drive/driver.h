// The automatic driver: follows the speed profile of the line, watches the pattern display,
// acknowledges alarms after a reaction delay, silences the alarm tone once no alarm stands, and
// after an emergency stop puts the brake handle to emergency and presses the release key.
// Scripted events can take the handles from him.
#pragma once

#include <optional>

#include "host/host_inputs.h"
#include "scenario/scenario.h"

namespace vantor::sim {

// What the driver saw in the last frame.
struct Observation {
    Handles returned{};
    bool powered = false;
    bool alarmLamp = false;
    bool alarmTone = false; // sound 1 loops
    std::optional<double> patternSpeed;
    bool patternLamp = false; // a pattern stands: the display shows a curve, not the overspeed
};

class Driver {
  public:
    Driver(const DriverPlan& config, const Vehicle& vehicle);

    // The handles at the start: reverser forward, power off, full service brake.
    void start(HostInputs& host);
    // The driver's work before the frame at time t (s), with the train at position (m) and
    // speed (km/h).
    void act(double t, double position, double speed, const Observation& last, HostInputs& host);

    // The speed the driver aims for at this position and speed. Cheap while the train moves
    // on: it looks only at the profile points near the front.
    double aim(double position, double speed, const Observation& last);

    void setAutomatic(bool on) { automatic_ = on; }
    void setAckDelay(std::optional<double> delay) { ackDelay_ = delay; }
    // The driver misses the pattern display and the warning until the unit brakes.
    void setIgnorePattern(bool on) { ignorePattern_ = on; }
    // From now on he aims at this speed (km/h), whatever the profile, the pattern display and
    // the warning say.
    void aimAt(double speed) {
        fixedAim_ = speed;
        automatic_ = true;
    }

  private:
    enum class Step { Idle, Waiting, Holding };
    enum class Mode { Accelerate, Coast, Brake };

    void moveAhead(double position);
    void acknowledge(double t, bool overridden, const Observation& last, HostInputs& host);
    void release(double t, double speed, bool overridden, HostInputs& host);
    void silence(double t, const Observation& last, HostInputs& host);
    void control(double t, double position, double speed, bool overridden, const Observation& last,
                 HostInputs& host);

    // Pointers, not references: a run saves and restores its driver by assignment.
    const DriverPlan* config_;
    const Vehicle* vehicle_;
    bool automatic_ = true;
    bool ignorePattern_ = false;
    std::optional<double> fixedAim_; // km/h
    std::optional<double> ackDelay_;
    Step ack_ = Step::Idle;
    double ackAt_ = 0.0;
    Step release_ = Step::Idle;
    double releaseAt_ = 0.0;
    Step silence_ = Step::Idle;
    double silenceAt_ = 0.0;
    Mode mode_ = Mode::Brake;
    // The first profile point beyond the front.
    size_t ahead_ = 0;
};

} // namespace vantor::sim
