// The host's side of the handles, keys and power switch: every change goes to the plug-in at
// once, and those worth showing are noted on the timeline.
#pragma once

#include <functional>
#include <string>

#include "host/host_calls.h"
#include "host_records.h"

namespace vantor::sim {

class HostInputs {
  public:
    // event: the note is part of a scripted event.
    using NoteFn = std::function<void(const std::string&, bool event)>;

    HostInputs(HostCalls& plugin, int32_t emergencyNotch, NoteFn note)
        : plugin_(plugin), emergencyNotch_(emergencyNotch), note_(std::move(note)) {}

    // announce: the change goes on the timeline (the automatic driver's ordinary handle work
    // does not, there would be too much of it).
    void setBrake(int32_t notch, bool announce);
    void setPower(int32_t notch, bool announce);
    void setReverser(int32_t position, bool announce);
    void keyDown(int32_t key);
    void keyUp(int32_t key);
    void setPowerSwitch(bool on);

    int32_t brake() const { return handles_.brake; }
    int32_t power() const { return handles_.power; }
    const Handles& handles() const { return handles_; }
    bool powerSwitch() const { return powerSwitch_; }
    void note(const std::string& text) const { note_(text, inEvent_); }
    // Notes between these two calls belong to a scripted event.
    void beginEvent() { inEvent_ = true; }
    void endEvent() { inEvent_ = false; }

    // What a run saves of the host's inputs, to go on from there again.
    struct State {
        Handles handles{};
        bool powerSwitch = false;
        bool inEvent = false;
    };
    State state() const { return {handles_, powerSwitch_, inEvent_}; }
    void restore(const State& state) {
        handles_ = state.handles;
        powerSwitch_ = state.powerSwitch;
        inEvent_ = state.inEvent;
    }

  private:
    HostCalls& plugin_;
    int32_t emergencyNotch_;
    NoteFn note_;
    Handles handles_{};
    bool powerSwitch_ = false;
    bool inEvent_ = false;
};

// The name of a key code on the unit's panel, for the timeline.
std::string keyName(int32_t key);

} // namespace vantor::sim
