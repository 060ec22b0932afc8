#include "train.h"

#include <algorithm>

namespace vantor::sim {

double Train::acceleration(double speedKmh, const Handles& handles) const {
    double a = 0.0;
    if (handles.brake > vehicle_.brakeNotches) {
        a = -vehicle_.emergencyDeceleration;
    } else if (handles.brake > 0) {
        a = -vehicle_.brakeDeceleration[handles.brake - 1];
    } else if (handles.power > 0 && handles.reverser != 0) {
        // Traction is cut while any brake is applied, as on most trains.
        a = vehicle_.powerAcceleration[std::min(handles.power, vehicle_.powerNotches) - 1];
    }
    if (speedKmh > 0.0) {
        const double relative = speedKmh / 100.0;
        a -= vehicle_.resistanceConstant + vehicle_.resistanceAt100 * relative * relative;
    }
    return a;
}

double Train::nextSpeed(double speedKmh, const Handles& handles, double stepSeconds) const {
    return std::max(0.0, speedKmh + acceleration(speedKmh, handles) * stepSeconds);
}

} // namespace vantor::sim
