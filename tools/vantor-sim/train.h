// The train's motion under the handles that the plug-in hands back: one power or brake
// notch at a time, a little running resistance, no grades and no rolling back.
#pragma once

#include "host_records.h"
#include "scenario.h"

namespace vantor::sim {

class Train {
  public:
    explicit Train(const Vehicle& vehicle) : vehicle_(vehicle) {}

    // km/h/s the train gains (negative: loses) at speed v under these handles.
    double acceleration(double speedKmh, const Handles& handles) const;
    // Speed after stepSeconds under these handles; never below 0.
    double nextSpeed(double speedKmh, const Handles& handles, double stepSeconds) const;

  private:
    const Vehicle& vehicle_;
};

} // namespace vantor::sim
