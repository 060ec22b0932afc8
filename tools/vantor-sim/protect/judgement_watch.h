// Watches one run of the protection report and judges it against what the author declared: a
// danger approach to a signal, an approach to a limit, or the clear run.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "host/brake_override.h"
#include "protect/line_judgement.h"
#include "unit/vantor.h"

namespace vantor::sim {

class JudgementWatch : public RunObserver {
  public:
    // approach: how the bench plays it (none for the clear run); tolerance: km/h a limit may be
    // passed above its speed (one frame's gain, before the unit's brake can act).
    JudgementWatch(const Scenario& scenario, Judgement& judgement,
                   const std::optional<Approach>& approach, double tolerance);

    // The watch of a run that goes on from a saved state of the clear run: what that one saw
    // of the run so far, as if this one had watched from the start.
    void continueFrom(const JudgementWatch& clearRun);

    void onFact(const UnitFact& fact) override;
    void onFrame(const FrameRecord& frame) override;
    // Fills in the judgement once the run has ended.
    void finish(const RunEnd& end);
    // A signal held by a curve that ends above a crawl (a code-80 coil's 65 km/h) does not stop
    // a train that runs below that curve's floor: the floor, to try just under it, when the
    // curve's brake is what stood the train.
    std::optional<double> floorThatStoodIt() const;

  private:
    void judgeSignal(const RunEnd& end);
    void judgeLimit(const RunEnd& end);
    void judgeClearRun(const RunEnd& end);
    // False, with the judgement's reason set, where the bench could not play the approach.
    bool playedAsAsked(const RunEnd& end);
    // Whether a transponder's fact tells about what this judgement is of.
    bool concerns(const Transponder& t) const;

    const Scenario& scenario_;
    Judgement& j_;
    std::optional<Approach> approach_;
    double tolerance_; // km/h
    BrakeOverride override_;
    std::optional<Sample> began_;  // where the bench first held the train
    float beganAfter_ = 0.0f;      // km/h the train ran at into that frame
    std::optional<Sample> passed_; // the front beyond the signal
    std::optional<Sample> over_;   // the first place of the limit passed too fast
    double fastest_ = 0.0;         // km/h within the limit
    bool inLimit_ = false;         // the train ran within the limit after the take-over
    // Where the train was due to be held at the approach speed (30 m before the signal's first
    // transponder), and whether it was when it got there.
    std::optional<double> heldBy_;
    std::optional<bool> heldThere_;
    double lastPosition_ = 0.0;
    float lastSpeed_ = 0.0f;
    std::string cause_;                       // the unit's own word for its last brake
    int causeSlot_ = -1;                      // the slot whose pattern the last brake reached
    double latchedAt_ = -1.0;                 // s: when a transponder last latched the brake
    std::array<double, kSlotCount> floors_{}; // km/h: each slot's floor, as last set
    std::optional<double> brakeFloor_;        // km/h: that of the first brake after the take-over
    size_t brakes_ = 0;                       // clear run: how many times the unit braked
    double furthest_ = 0.0;
};

} // namespace vantor::sim
