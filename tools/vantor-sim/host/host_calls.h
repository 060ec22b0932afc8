// Every call the host makes goes to the loaded library and to the bench's own unit, built from
// this repository's sources, which replays the library's random draws. After each frame their
// outputs must agree: while they do, the own unit's record explains the library's behaviour;
// the first difference means the library is another version, and the explanations stop.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "host/plugin_library.h"
#include "host/shadow_unit.h"
#include "host/unit_explainer.h"
#include "host_records.h"
#include "scenario/scenario.h"

namespace vantor::sim {

class HostCalls {
  public:
    // emit gets the explanations, and the difference if one comes. Without explain the own
    // unit is left out: nothing is explained or compared.
    HostCalls(PluginLibrary& library, bool explain, UnitExplainer::Emit emit);

    // Time, place and speed of the train for the explanations of the calls that follow.
    void setPlace(double time, double position, float speed) {
        if (agrees()) {
            place(time, position, speed);
        }
    }

    // Points another run of the line put, to give the same transponder's at those places.
    void usePoints(const PointBook* book) { explainer_.usePoints(book); }

    void load();
    void dispose();
    void setVehicleSpec(const VehicleSpec& vehicle);
    void initialize(int32_t brake);
    Handles elapse(const VehicleState& state, int32_t* panel, int32_t* sound);
    void setPower(int32_t notch);
    void setBrake(int32_t notch);
    void setReverser(int32_t position);
    void keyDown(int32_t key);
    void keyUp(int32_t key);
    // signal: what the transponder reports as the train passes it.
    void setBeaconData(const Transponder& transponder, int32_t signal);

    // False once the library did something else than the bench's own unit.
    bool agrees() const { return shadow_ != nullptr && agrees_; }

    // What a run saves of the calls besides the library's own image: the own unit and what
    // the explanations remember.
    struct State {
        std::unique_ptr<ShadowUnit::State> shadow;
        bool agrees = true;
        UnitExplainer explainer{nullptr};
        double time = 0.0;
        double position = 0.0;
        float speed = 0.0f;
        double origin = 0.0;
    };
    void save(State& state) const;
    void restore(const State& state);

  private:
    // The library's call draws from the random generator as usual and its draws are kept; the
    // own unit's call then gets the same numbers.
    template <typename LibraryCall, typename ShadowCall>
    void both(LibraryCall libraryCall, ShadowCall shadowCall);
    void place(double time, double position, float speed);
    // A frame of the library and of the own unit, compared and explained.
    Handles elapseBoth(const VehicleState& state, int32_t* panel, int32_t* sound);
    // What differs between the library's outputs and the own unit's, or "".
    std::string difference(const Handles& returned, const Handles& own, const int32_t* panel,
                           const int32_t* sound) const;

    PluginLibrary& library_;
    UnitExplainer::Emit emit_;
    std::unique_ptr<ShadowUnit> shadow_;
    bool agrees_ = true; // the own unit explains until the library first does otherwise
    UnitExplainer explainer_;
    double time_ = 0.0;
    double position_ = 0.0;
    float speed_ = 0.0f;
    // The front's position at the last frame: the unit counts distances from there.
    double origin_ = 0.0;
};

} // namespace vantor::sim
