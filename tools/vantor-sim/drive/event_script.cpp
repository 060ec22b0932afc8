#include "drive/event_script.h"

#include <algorithm>

#include "support/text_format.h"

namespace vantor::sim {

EventScript::EventScript(const std::vector<Event>& events, const std::vector<Signal>& signals,
                         SignalAspects& aspects, bool attentive)
    : events_(&events), signals_(&signals), aspects_(&aspects), attentive_(attentive) {
    for (size_t i = 0; i < events.size(); ++i) {
        (events[i].time ? byTime_ : byPosition_).push_back(i);
    }
    std::stable_sort(byTime_.begin(), byTime_.end(),
                     [&](size_t a, size_t b) { return *events[a].time < *events[b].time; });
    std::stable_sort(byPosition_.begin(), byPosition_.end(),
                     [&](size_t a, size_t b) { return *events[a].position < *events[b].position; });
}

void EventScript::letGoDue(double t, HostInputs& host) {
    for (auto it = keyUps_.begin(); it != keyUps_.end();) {
        if (t >= it->time - kFrameTimeTolerance) {
            host.keyUp(it->key);
            it = keyUps_.erase(it);
        } else {
            ++it;
        }
    }
}

void EventScript::fireAllDue(double t, double position, Driver& driver, HostInputs& host) {
    letGoDue(t, host);
    due_.clear();
    while (timedDue(t)) {
        due_.push_back(byTime_[nextTimed_++]);
    }
    while (placedDue(position)) {
        due_.push_back(byPosition_[nextPlaced_++]);
    }
    std::sort(due_.begin(), due_.end()); // file order
    for (size_t i : due_) {
        fire((*events_)[i], t, driver, host);
    }
}

void EventScript::fire(const Event& event, double t, Driver& driver, HostInputs& host) {
    host.beginEvent();
    fireActions(event, t, driver, host);
    host.endEvent();
}

void EventScript::fireActions(const Event& event, double t, Driver& driver, HostInputs& host) {
    if (!event.label.empty()) {
        host.note("» " + event.label);
    }
    if (event.powerSwitch) {
        host.setPowerSwitch(*event.powerSwitch);
    }
    if (event.brake || event.power) {
        // The handles are the script's now, until an event hands them back.
        driver.setAutomatic(false);
    }
    if (event.brake) {
        host.setBrake(*event.brake, true);
    }
    if (event.power) {
        host.setPower(*event.power, true);
    }
    if (event.reverser) {
        host.setReverser(*event.reverser, true);
    }
    if (event.automatic) {
        driver.setAutomatic(*event.automatic);
        host.note(*event.automatic ? "driver: drives by the profile again"
                                   : "driver: leaves the handles to the script");
    }
    if (event.ackDelay && !attentive_) {
        driver.setAckDelay(*event.ackDelay);
        host.note(*event.ackDelay
                      ? "driver: acknowledges alarms after " + shortNumber(**event.ackDelay) + " s"
                      : "driver: will not acknowledge alarms");
    }
    if (event.ignorePattern && !attentive_) {
        driver.setIgnorePattern(*event.ignorePattern);
        host.note(*event.ignorePattern ? "driver: misses the pattern display and the warning"
                                       : "driver: watches the pattern display");
    }
    if (event.keyDown) {
        host.keyDown(*event.keyDown);
    }
    if (event.keyUp) {
        host.keyUp(*event.keyUp);
    }
    if (event.key) {
        host.keyDown(*event.key);
        keyUps_.push_back(PendingKeyUp{t + event.hold, *event.key});
    }
    if (event.signal && aspects_->change(*event.signal, event.aspect)) {
        host.note("signal " + (*signals_)[*event.signal].name + " shows " +
                  std::to_string(event.aspect));
    }
}

} // namespace vantor::sim
