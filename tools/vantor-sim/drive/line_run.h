// One run of the host's frame loop over a line, which can stop at a place, be saved there and
// go on from the saved state again, or go on as another play with other observers. The
// protection report drives the line once and branches each approach off it.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "drive/driver.h"
#include "drive/event_script.h"
#include "drive/simulation.h"
#include "drive/train.h"
#include "host/brake_override.h"
#include "host/host_calls.h"
#include "host/host_inputs.h"
#include "host/plugin_library.h"

namespace vantor::sim {

class LineRun {
  public:
    // Loads, sets up and initialises the plug-in; the first frame has not run yet.
    LineRun(const Scenario& scenario, PluginLibrary& plugin, std::vector<RunObserver*> observers,
            const Play* play = nullptr, std::function<void(double)> progress = {});
    LineRun(const LineRun&) = delete;
    LineRun& operator=(const LineRun&) = delete;

    // Runs on until the run ends, or until the front first reaches `place` in a frame's move,
    // before the transponders passed in that move go to the plug-in. True if it stopped there.
    bool runTo(double place);
    // Runs on to the end, and lets the plug-in go.
    RunEnd finish();
    // Runs on to the end, keeping the plug-in for a saved state to go back to.
    RunEnd runOut();

    // From here on, the run is played as `play` says and watched by these observers.
    void branch(const Play& play, std::vector<RunObserver*> observers);
    // The run's own view of the unit's brake override so far.
    const BrakeOverride& unitBrakes() const { return unitBrakes_; }

    // Everything the run will go on from, the library's own image included. A checkpoint goes
    // back only into the run, and the library, it was taken from.
    struct Checkpoint;
    void save(Checkpoint& checkpoint) const;
    void restore(const Checkpoint& checkpoint);

  private:
    // Driven by the script and the driver; held at the approach speed; braked by the unit;
    // driven on after the stand, at the approach speed.
    enum class Phase { Driven, Held, Braked, DrivenOn };

    // One frame: the driver and the script act, Elapse runs, the observers look, and the train
    // moves. False once the run has ended.
    bool frame();
    // The transponders the front passed in the last move go to the plug-in.
    void reportPassed();
    void note(const std::string& text, bool event);
    void applyPlay(const Play* play);
    // The driver's plan: an attentive driver watches, acknowledges and releases.
    static DriverPlan planFor(const Scenario& scenario, const Play* play);
    static std::vector<ProfilePoint> keptToLimits(const std::vector<ProfilePoint>& profile,
                                                  const std::vector<SpeedLimit>& limits,
                                                  double margin);

    const Scenario& scenario_;
    PluginLibrary& plugin_;
    std::vector<RunObserver*> observers_;
    std::function<void(double)> progress_;
    std::optional<Play> play_;
    const Approach* approach_ = nullptr; // in play_
    DriverPlan plan_; // the driver holds it; it changes where he starts to watch the curves
    const Train train_;
    int64_t lastFrame_ = 0;
    int64_t progressEvery_ = 1;

    // What a checkpoint holds.
    struct State {
        FrameRecord frame;
        double speed = 0.0; // km/h of the coming frame
        double from = 0.0;  // m: the front before the last move
        Observation last;
        size_t ahead = 0; // the first transponder ahead of the front
        int64_t index = 0;
        int64_t nextProgress = 0;
        Phase phase = Phase::Driven;
        int lastBrakeSlot = -1; // the slot whose pattern the unit's last emergency brake reached
        std::optional<double> patternSpeed; // km/h read back from the display
        int32_t patternDisplay = 0;
        bool patternPowered = false;
        bool passedPending = false; // a move whose transponders are not yet reported
        bool watchesCurves = false; // the driver has started to watch the unit's curves
        std::optional<RunEnd> end;
    };
    State s_;
    BrakeOverride unitBrakes_;
    HostCalls calls_;
    HostInputs host_;
    Driver driver_;
    SignalAspects aspects_;
    EventScript script_;
};

struct LineRun::Checkpoint {
    State run;
    BrakeOverride unitBrakes{0};
    HostCalls::State calls;
    HostInputs::State host;
    std::optional<Driver> driver;
    std::optional<SignalAspects> aspects;
    std::optional<EventScript> script;
    loader::LibrarySnapshot library;
};

} // namespace vantor::sim
