// The train's motion under the handles that the plug-in hands back: one power or brake notch at
// a time, a little running resistance, and the line's gradients, which can roll it back. The
// reverser sets the direction of traction; at 0 the motors do not pull.
#pragma once

#include <vector>

#include "host_records.h"
#include "scenario/scenario.h"

namespace vantor::sim {

class Train {
  public:
    Train(const Vehicle& vehicle, const std::vector<Gradient>& gradients)
        : vehicle_(vehicle), gradients_(gradients) {}

    // Speed (km/h, negative backwards) after stepSeconds under these handles with the front at
    // position. Brakes and resistance slow the train down to a stand but never turn it round; at
    // a stand the brake holds it against whatever pulls no harder than the brake.
    double nextSpeed(double speedKmh, const Handles& handles, double stepSeconds,
                     double position) const;

    // km/h/s: the most the train can gain in speed anywhere on the line, at its strongest
    // power notch down the steepest falling gradient.
    double highestAcceleration() const;

    // Per mille at this position: the last gradient at or behind it, 0 before the first.
    double gradientAt(double position) const;

  private:
    const Vehicle& vehicle_;
    const std::vector<Gradient>& gradients_;
};

} // namespace vantor::sim
