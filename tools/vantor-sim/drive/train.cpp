#include "drive/train.h"

#include <algorithm>
#include <cmath>

namespace vantor::sim {

namespace {

// Gravity in km/h per second, so that 1 per mille of gradient is 0.0353 km/h/s.
constexpr double kGravity = 9.80665 * 3.6;

} // namespace

double Train::highestAcceleration() const {
    double steepestFall = 0.0; // per mille
    for (const Gradient& g : gradients_) {
        steepestFall = std::max(steepestFall, -g.perMille);
    }
    const auto& power = vehicle_.powerAcceleration;
    const double strongest = power.empty() ? 0.0 : *std::max_element(power.begin(), power.end());
    return strongest + kGravity * steepestFall / 1000.0;
}

double Train::gradientAt(double position) const {
    const auto after =
        std::upper_bound(gradients_.begin(), gradients_.end(), position,
                         [](double at, const Gradient& g) { return at < g.position; });
    return after == gradients_.begin() ? 0.0 : std::prev(after)->perMille;
}

double Train::nextSpeed(double speedKmh, const Handles& handles, double stepSeconds,
                        double position) const {
    // What pulls along the track: traction in the reverser's direction and the gradient.
    double pull = -kGravity * gradientAt(position) / 1000.0;
    // Traction is cut while any brake is applied, as on most trains.
    if (handles.brake == 0 && handles.power > 0 && handles.reverser != 0) {
        const double traction =
            vehicle_.powerAcceleration[std::min(handles.power, vehicle_.powerNotches) - 1];
        pull += handles.reverser > 0 ? traction : -traction;
    }
    double brake = 0.0;
    if (handles.brake > vehicle_.brakeNotches) {
        brake = vehicle_.emergencyDeceleration;
    } else if (handles.brake > 0) {
        brake = vehicle_.brakeDeceleration[handles.brake - 1];
    }
    if (speedKmh == 0.0) {
        if (std::abs(pull) <= brake) {
            return 0.0;
        }
        return (pull > 0.0 ? pull - brake : pull + brake) * stepSeconds;
    }
    const double relative = speedKmh / 100.0;
    const double against =
        brake + vehicle_.resistanceConstant + vehicle_.resistanceAt100 * relative * relative;
    const double next = speedKmh + (pull - std::copysign(against, speedKmh)) * stepSeconds;
    // Brakes and resistance stop the train; only a pull turns it round, from a stand.
    return (next > 0.0) == (speedKmh > 0.0) ? next : 0.0;
}

} // namespace vantor::sim
