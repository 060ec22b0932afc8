// The unit's brake override as the bench sees it: the handles Elapse returned differ from the
// driver's. While the driver's own brake handle is at the emergency notch the bench cannot tell
// an override from it, so an override is taken to last until the handle leaves that notch.
#pragma once

#include <cstdint>

#include "host/frame_record.h"

namespace vantor::sim {

class BrakeOverride {
  public:
    explicit BrakeOverride(int32_t emergencyNotch) : emergencyNotch_(emergencyNotch) {}

    // Whether the unit overrides the driver in this frame, frames given in order.
    bool update(const FrameRecord& frame) {
        const bool differs = frame.returned.brake != frame.driver.brake ||
                             frame.returned.power != frame.driver.power;
        on_ = frame.driver.brake == emergencyNotch_ ? on_ : differs;
        return on_;
    }
    bool on() const { return on_; }

  private:
    int32_t emergencyNotch_;
    bool on_ = false;
};

} // namespace vantor::sim
