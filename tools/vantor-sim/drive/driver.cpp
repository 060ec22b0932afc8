#include "drive/driver.h"

#include <algorithm>
#include <cmath>

namespace vantor::sim {

namespace {

// How long the driver holds the release key.
constexpr double kReleaseHold = 0.5;
// How long the driver takes to notice that the alarm tone goes on with no alarm standing.
constexpr double kSilenceDelay = 1.0;
// An aim below this (km/h) at a stand means stop.
constexpr double kStopAim = 2.0;
// Seconds of running the driver allows for before his brake takes hold.
constexpr double kBrakeLead = 2.0;

} // namespace

Driver::Driver(const DriverPlan& config, const Vehicle& vehicle)
    : config_(&config), vehicle_(&vehicle), ackDelay_(config.ackDelay) {}

void Driver::start(HostInputs& host) {
    host.setReverser(1, false);
    host.setPower(0, false);
    host.setBrake(vehicle_->brakeNotches, false);
}

void Driver::moveAhead(double position) {
    const auto& profile = config_->profile;
    while (ahead_ < profile.size() && profile[ahead_].position <= position) {
        ++ahead_;
    }
    while (ahead_ > 0 && profile[ahead_ - 1].position > position) {
        --ahead_;
    }
}

double Driver::aim(double position, double speed, const Observation& last) {
    if (fixedAim_) {
        return *fixedAim_;
    }
    const auto& profile = config_->profile;
    moveAhead(position);
    double aim = 0.0;
    if (!profile.empty()) {
        aim = profile[ahead_ == 0 ? 0 : ahead_ - 1].speed;
    }
    // Brake in time for every lower speed ahead, at the driver's own planned deceleration.
    // A point whose braking curve, even down to a stand, lies above the present limit here
    // cannot lower the aim, nor can any point beyond it.
    const double limit = aim;
    const double lead = speed * kBrakeLead / 3.6;
    for (size_t i = ahead_; i < profile.size(); ++i) {
        const ProfilePoint& point = profile[i];
        const double runIn = std::max(0.0, point.position - position - lead);
        if (std::sqrt(7.2 * config_->deceleration * runIn) >= limit) {
            break;
        }
        if (point.speed < aim) {
            aim = std::min(
                aim, std::sqrt(point.speed * point.speed + 7.2 * config_->deceleration * runIn));
        }
    }
    if (config_->watchPattern && !ignorePattern_ && last.patternSpeed &&
        !(config_->watchOverspeedOnly && last.patternLamp)) {
        aim = std::min(aim, std::max(0.0, *last.patternSpeed - config_->patternMargin));
    }
    return aim;
}

void Driver::act(double t, double position, double speed, const Observation& last,
                 HostInputs& host) {
    const int32_t emergency = vehicle_->emergencyNotch();
    // The unit brakes harder than the driver asked: an emergency brake of the unit.
    const bool overridden = last.returned.brake == emergency && host.brake() != emergency;
    if (overridden) {
        ignorePattern_ = false;
        host.setPower(0, false);
    }
    release(t, speed, overridden, host);
    acknowledge(t, overridden, last, host);
    silence(t, last, host);
    if (automatic_ && release_ == Step::Idle) {
        control(t, position, speed, overridden, last, host);
    }
}

void Driver::release(double t, double speed, bool overridden, HostInputs& host) {
    switch (release_) {
    case Step::Idle:
        if (overridden && automatic_ && config_->releaseDelay && speed == 0.0) {
            release_ = Step::Waiting;
            releaseAt_ = t + *config_->releaseDelay;
        }
        break;
    case Step::Waiting:
        if (t >= releaseAt_ - 1e-9) {
            host.setBrake(vehicle_->emergencyNotch(), true);
            host.keyDown(3);
            release_ = Step::Holding;
            releaseAt_ = t + kReleaseHold;
        }
        break;
    case Step::Holding:
        if (t >= releaseAt_ - 1e-9) {
            host.keyUp(3);
            release_ = Step::Idle;
        }
        break;
    }
}

void Driver::acknowledge(double t, bool overridden, const Observation& last, HostInputs& host) {
    switch (ack_) {
    case Step::Idle:
        if (last.powered && last.alarmLamp && ackDelay_ && !overridden && release_ == Step::Idle) {
            ack_ = Step::Waiting;
            ackAt_ = t + *ackDelay_;
        }
        break;
    case Step::Waiting:
        if (t < ackAt_ - 1e-9) {
            break;
        }
        if (last.alarmLamp && !overridden) {
            if (automatic_) {
                host.setBrake(std::max(host.brake(), vehicle_->ackBrakeNotch), true);
                host.setPower(0, false);
            }
            host.keyDown(0);
            ack_ = Step::Holding;
            ackAt_ = t + config_->ackHold;
        } else {
            ack_ = Step::Idle;
        }
        break;
    case Step::Holding:
        if (t >= ackAt_ - 1e-9) {
            host.keyUp(0);
            ack_ = Step::Idle;
        }
        break;
    }
}

// The silence key stops the tone only once no alarm stands: pressed while one does, the unit
// sets the tone going again in the next frame.
void Driver::silence(double t, const Observation& last, HostInputs& host) {
    const bool quietAlarm = last.powered && last.alarmTone && !last.alarmLamp;
    switch (silence_) {
    case Step::Idle:
        if (quietAlarm) {
            silence_ = Step::Waiting;
            silenceAt_ = t + kSilenceDelay;
        }
        break;
    case Step::Waiting:
        if (!quietAlarm) {
            silence_ = Step::Idle;
        } else if (t >= silenceAt_ - 1e-9) {
            host.keyDown(1);
            silence_ = Step::Holding;
            silenceAt_ = t + config_->ackHold;
        }
        break;
    case Step::Holding:
        if (t >= silenceAt_ - 1e-9) {
            host.keyUp(1);
            silence_ = Step::Idle;
        }
        break;
    }
}

void Driver::control(double t, double position, double speed, bool overridden,
                     const Observation& last, HostInputs& host) {
    if (ack_ == Step::Holding) {
        return; // the brake stays where the acknowledgement put it
    }
    int32_t brake = 0;
    int32_t power = 0;
    if (t < config_->startTime) {
        brake = vehicle_->brakeNotches;
    } else {
        const double target = aim(position, speed, last);
        // Stopping, he holds the train on the brake rather than creep the last few centimetres,
        // which on a rising gradient would roll it back and forth.
        if (target < kStopAim && speed < 0.5) {
            mode_ = Mode::Brake;
        } else {
            switch (mode_) {
            case Mode::Accelerate:
                if (speed > target + 1.0) {
                    mode_ = Mode::Brake;
                } else if (speed >= target - 0.5) {
                    mode_ = Mode::Coast;
                }
                break;
            case Mode::Coast:
                if (speed > target + 1.0) {
                    mode_ = Mode::Brake;
                } else if (speed < target - 2.0) {
                    mode_ = Mode::Accelerate;
                }
                break;
            case Mode::Brake:
                if (speed <= target - 0.5) {
                    mode_ = speed < target - 2.0 ? Mode::Accelerate : Mode::Coast;
                }
                break;
            }
        }
        switch (mode_) {
        case Mode::Accelerate:
            power = config_->powerNotch;
            break;
        case Mode::Coast:
            break;
        case Mode::Brake:
            brake = speed > target + 5.0 ? vehicle_->brakeNotches : config_->brakeNotch;
            break;
        }
    }
    if (overridden) {
        power = 0;
    }
    host.setPower(power, false);
    host.setBrake(brake, false);
}

} // namespace vantor::sim
