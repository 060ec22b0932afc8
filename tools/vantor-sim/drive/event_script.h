// The scenario's scripted events, fired when their time comes or the train's front reaches
// their position, and the key releases they leave pending.
#pragma once

#include <cstddef>
#include <vector>

#include "drive/driver.h"
#include "drive/signal_aspects.h"
#include "host/frame_record.h"
#include "host/host_inputs.h"
#include "scenario/scenario.h"

namespace vantor::sim {

class EventScript {
  public:
    // attentive: the script's inattention (ack_delay, ignore_pattern) has no effect on the
    // driver.
    EventScript(const std::vector<Event>& events, const std::vector<Signal>& signals,
                SignalAspects& aspects, bool attentive = false);

    // Fires, in file order, every event due before the frame at time t with the front at
    // position, and lets go of keys whose hold has run out. Mostly nothing is due: that is told
    // here, before a call.
    void fireDue(double t, double position, Driver& driver, HostInputs& host) {
        if (!keyUps_.empty() || timedDue(t) || placedDue(position)) {
            fireAllDue(t, position, driver, host);
        }
    }
    // Only lets go of keys whose hold has run out: the script has fallen silent.
    void letGoDue(double t, HostInputs& host);

  private:
    bool timedDue(double t) const {
        return nextTimed_ < byTime_.size() &&
               t >= *(*events_)[byTime_[nextTimed_]].time - kFrameTimeTolerance;
    }
    bool placedDue(double position) const {
        return nextPlaced_ < byPosition_.size() &&
               position >= *(*events_)[byPosition_[nextPlaced_]].position;
    }
    void fireAllDue(double t, double position, Driver& driver, HostInputs& host);

    struct PendingKeyUp {
        double time;
        int32_t key;
    };
    void fire(const Event& event, double t, Driver& driver, HostInputs& host);
    void fireActions(const Event& event, double t, Driver& driver, HostInputs& host);

    // Pointers, not references: a run saves and restores its script by assignment.
    const std::vector<Event>* events_;
    const std::vector<Signal>* signals_;
    SignalAspects* aspects_;
    bool attentive_;
    // The timed events in order of time and the placed ones in order of position, as indices
    // into events_, with the next of each to fall due: time and the front only move on.
    std::vector<size_t> byTime_;
    std::vector<size_t> byPosition_;
    size_t nextTimed_ = 0;
    size_t nextPlaced_ = 0;
    std::vector<size_t> due_;
    std::vector<PendingKeyUp> keyUps_;
};

} // namespace vantor::sim
