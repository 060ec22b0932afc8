#include "host/host_calls.h"

#include <mutex>

#include "host/frame_record.h"
#include "host/pinned_random.h"

namespace vantor::sim {

HostCalls::HostCalls(PluginLibrary& library, bool explain, UnitExplainer::Emit emit)
    : library_(library), emit_(emit),
      shadow_(explain ? std::make_unique<ShadowUnit>(library.path()) : nullptr),
      explainer_(std::move(emit)) {}

void HostCalls::place(double time, double position, float speed) {
    time_ = time;
    position_ = position;
    speed_ = speed;
    explainer_.setPlace(time, position, speed, origin_);
}

void HostCalls::save(State& state) const {
    if (shadow_) {
        if (!state.shadow) {
            state.shadow = std::make_unique<ShadowUnit::State>();
        }
        shadow_->save(*state.shadow);
    }
    state.agrees = agrees_;
    state.explainer = explainer_;
    state.time = time_;
    state.position = position_;
    state.speed = speed_;
    state.origin = origin_;
}

void HostCalls::restore(const State& state) {
    if (shadow_) {
        shadow_->restore(*state.shadow);
    }
    agrees_ = state.agrees;
    explainer_ = state.explainer;
    time_ = state.time;
    position_ = state.position;
    speed_ = state.speed;
    origin_ = state.origin;
}

template <typename LibraryCall, typename ShadowCall>
void HostCalls::both(LibraryCall libraryCall, ShadowCall shadowCall) {
    if (!agrees()) {
        libraryCall();
        return;
    }
    setRandomTape(RandomTape::Record);
    libraryCall();
    setRandomTape(RandomTape::Replay);
    shadowCall(*shadow_);
    setRandomTape(RandomTape::Pass);
}

void HostCalls::load() {
    library_.load();
}

void HostCalls::dispose() {
    library_.dispose();
}

void HostCalls::setVehicleSpec(const VehicleSpec& vehicle) {
    both([&] { library_.setVehicleSpec(vehicle); },
         [&](ShadowUnit& own) { own.setVehicleSpec(vehicle); });
}

void HostCalls::initialize(int32_t brake) {
    // The bench's own units read their settings files into one buffer of the process, so
    // runs side by side initialise one at a time.
    static std::mutex settingsBuffer;
    const std::lock_guard<std::mutex> lock(settingsBuffer);
    both([&] { library_.initialize(brake); }, [](ShadowUnit& own) { own.initialize(); });
}

Handles HostCalls::elapse(const VehicleState& state, int32_t* panel, int32_t* sound) {
    origin_ = state.location;
    if (!agrees()) {
        return library_.elapse(state, panel, sound);
    }
    return elapseBoth(state, panel, sound);
}

Handles HostCalls::elapseBoth(const VehicleState& state, int32_t* panel, int32_t* sound) {
    Handles returned{};
    Handles own{};
    // The own unit reads the host's panel inputs as they were before the library's frame.
    const int32_t powerSwitch = panel[kPanelPowerSwitch];
    const int32_t inhibit = panel[kPanelNotchWarnInhibit];
    both([&] { returned = library_.elapse(state, panel, sound); },
         [&](ShadowUnit& unit) { own = unit.elapse(state, powerSwitch, inhibit); });
    const std::string what = difference(returned, own, panel, sound);
    if (!what.empty()) {
        UnitFact f;
        f.kind = FactKind::Differs;
        f.time = time_;
        f.position = position_;
        f.speed = speed_;
        f.text = "the loaded library differs from the bench's own unit (" + what +
                 "): it is another version, so nothing more is explained";
        agrees_ = false;
        emit_(f);
        return returned;
    }
    explainer_.setPlace(time_, position_, speed_, origin_);
    explainer_.afterFrame(shadow_->unit());
    return returned;
}

std::string HostCalls::difference(const Handles& returned, const Handles& own, const int32_t* panel,
                                  const int32_t* sound) const {
    // Mostly they agree: tell so without building any text.
    bool same = returned.brake == own.brake && returned.power == own.power &&
                returned.reverser == own.reverser && returned.constantSpeed == own.constantSpeed;
    const int32_t* ownPanel = shadow_->panel().data();
    const int32_t* ownSound = shadow_->sound().data();
    for (int index : kPanelWritten) {
        same &= panel[index] == ownPanel[index];
    }
    for (int index : kSoundWritten) {
        same &= sound[index] == ownSound[index];
    }
    if (same) {
        return {};
    }
    auto pair = [](const char* what, int32_t library, int32_t bench) {
        return std::string(what) + " " + std::to_string(library) + " against " +
               std::to_string(bench);
    };
    if (returned.brake != own.brake) {
        return pair("brake notch", returned.brake, own.brake);
    }
    if (returned.power != own.power) {
        return pair("power notch", returned.power, own.power);
    }
    if (returned.reverser != own.reverser) {
        return pair("reverser", returned.reverser, own.reverser);
    }
    if (returned.constantSpeed != own.constantSpeed) {
        return pair("constant speed", returned.constantSpeed, own.constantSpeed);
    }
    for (int index : kPanelWritten) {
        if (panel[index] != shadow_->panel()[index]) {
            return pair(("panel " + std::to_string(index)).c_str(), panel[index],
                        shadow_->panel()[index]);
        }
    }
    for (int index : kSoundWritten) {
        if (sound[index] != shadow_->sound()[index]) {
            return pair(("sound " + std::to_string(index)).c_str(), sound[index],
                        shadow_->sound()[index]);
        }
    }
    return "";
}

void HostCalls::setPower(int32_t notch) {
    both([&] { library_.setPower(notch); }, [&](ShadowUnit& own) { own.setPower(notch); });
}

void HostCalls::setBrake(int32_t notch) {
    both([&] { library_.setBrake(notch); }, [&](ShadowUnit& own) { own.setBrake(notch); });
}

void HostCalls::setReverser(int32_t position) {
    both([&] { library_.setReverser(position); },
         [&](ShadowUnit& own) { own.setReverser(position); });
}

void HostCalls::keyDown(int32_t key) {
    both([&] { library_.keyDown(key); },
         [&](ShadowUnit& own) {
             explainer_.beforeCall(own.unit());
             own.keyDown(key);
             explainer_.afterKey(own.unit());
         });
}

void HostCalls::keyUp(int32_t key) {
    both([&] { library_.keyUp(key); }, [&](ShadowUnit& own) { own.keyUp(key); });
}

void HostCalls::setBeaconData(const Transponder& t, int32_t signal) {
    const BeaconData beacon{t.type, signal, 0.0f, t.optional};
    both([&] { library_.setBeaconData(beacon); },
         [&](ShadowUnit& own) {
             explainer_.beforeCall(own.unit());
             own.setBeaconData(beacon);
             explainer_.afterBeacon(own.unit(), t, signal);
         });
}

} // namespace vantor::sim
