// The scenario's scripted events, fired when their time comes or the train's front reaches
// their position, and the key releases they leave pending.
#pragma once

#include <vector>

#include "driver.h"
#include "host_inputs.h"
#include "scenario.h"

namespace vantor::sim {

class EventScript {
  public:
    explicit EventScript(const std::vector<Event>& events);

    // Fires, in file order, every event due before the frame at time t with the front at
    // position, and lets go of keys whose hold has run out.
    void fireDue(double t, double position, Driver& driver, HostInputs& host);

  private:
    struct PendingKeyUp {
        double time;
        int32_t key;
    };
    void fire(const Event& event, double t, Driver& driver, HostInputs& host);

    const std::vector<Event>& events_;
    std::vector<bool> fired_;
    std::vector<PendingKeyUp> keyUps_;
};

} // namespace vantor::sim
