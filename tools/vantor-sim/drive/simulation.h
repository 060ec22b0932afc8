// The host's frame loop: the scripted events and the driver act, Elapse runs, the train moves
// under the handles it returned, and the transponders the front passed are reported before
// the next frame. The bench's own unit runs beside the library and explains what it does.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "drive/signal_aspects.h"
#include "host/frame_record.h"
#include "host/plugin_library.h"
#include "host/point_book.h"
#include "host/unit_facts.h"
#include "scenario/scenario.h"

namespace vantor::sim {

// Receives the run as it happens.
class RunObserver {
  public:
    virtual ~RunObserver() = default;
    virtual void onNote(const Note& note) { (void)note; }
    // What the bench's own unit made of a call, just after the call (for a transponder, after
    // its note); a fact of kind Differs is the last one.
    virtual void onFact(const UnitFact& fact) { (void)fact; }
    // False for an observer that takes no facts: when no observer of a run takes them, the
    // bench runs without its own unit.
    virtual bool takesFacts() const { return true; }
    virtual void onFrame(const FrameRecord& frame) = 0;
};

struct RunEnd {
    double time = 0.0;
    double position = 0.0;
    int64_t frames = 0;
    std::string reason;
    bool stood = false; // an approach ended with the train standing after the unit's brake
};

// Host time of the first frame: 08:00, below the unit's start value, so that the first
// frame runs with a step of 0 as in a host that starts a run in the morning.
inline constexpr int32_t kHostStartTime = 8 * 3600 * 1000;

// The pattern speed (km/h) that a pattern display value stands for: the lower end of the
// display step, since the display truncates. The scale is the one the unit read.
std::optional<double> patternSpeedFromDisplay(int32_t display, bool powered,
                                              const UnitSettings& settings);

// The longest run the bench starts unless told otherwise: at 20 ms frames, 55 hours.
inline constexpr int64_t kDefaultMaxFrames = 10'000'000;
// Throws, saying what the limit is and how to raise it, when the run would take more frames.
void requireRunLength(const Scenario& scenario, int64_t maxFrames);

// An approach of the protection report. From the first frame in which the front has reached
// `from`, the driver has started and the unit does not brake, the bench holds the train at
// `speed`: the driver ignores the warning and the pattern display, and the script falls silent.
// Once the unit brakes, the train brakes as the unit commands until it stands. Then, as driveOn
// says, the run ends, or the driver releases and drives on, aiming at `speed` and still
// ignoring the warning, and the bench holds the train again once it is back at `speed`. The run
// ends, at the latest, when the front has passed `until`.
struct Approach {
    enum class DriveOn {
        Never,
        AfterRestriction, // only after the brake of a coil pair's restriction
        Always,
    };
    double from = 0.0;  // m
    double speed = 0.0; // km/h
    double until = 0.0; // m
    DriveOn driveOn = DriveOn::Never;
};

// Whether a pattern slot holds a coil pair's restriction.
inline bool isRestrictionSlot(int slot) {
    return slot >= 5 && slot <= 12;
}

// How the line is played when not as the file scripts it.
struct Play {
    AspectRule aspects;
    // The driver watches the pattern display, acknowledges and releases, whatever the script
    // and [driver] say of his inattention.
    bool attentive = false;
    // ...but of the pattern display only the overspeed: he follows his profile, kept to the
    // line's declared limits, through any curve the unit sets, so that a curve in the way of a
    // train on a clear line brakes it...
    bool followsProfile = false;
    // ...until here (m), from where he watches the curves as well.
    std::optional<double> watchesCurvesFrom;
    std::optional<Approach> approach;
    // Where the line's own run put the points: the same transponders' are given there.
    const PointBook* points = nullptr;
};

// Keeps in a book where the unit put the points of a run.
class PointBookKeeper : public RunObserver {
  public:
    explicit PointBookKeeper(PointBook& book) : book_(book) {}
    void onFact(const UnitFact& fact) override { book_.record(fact); }
    void onFrame(const FrameRecord&) override {}

  private:
    PointBook& book_;
};

// progress gets the fraction of the run done, now and then.
RunEnd runScenario(const Scenario& scenario, PluginLibrary& plugin,
                   const std::vector<RunObserver*>& observers,
                   const std::function<void(double)>& progress = {}, const Play* play = nullptr);

} // namespace vantor::sim
