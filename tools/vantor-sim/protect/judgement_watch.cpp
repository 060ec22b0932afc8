#include "protect/judgement_watch.h"

#include <algorithm>
#include <cmath>

#include "support/text_format.h"

namespace vantor::sim {

namespace {

std::string at(const Sample& s) {
    return fixed(s.position, 1) + " m, " + fixed(s.speed, 1) + " km/h";
}

} // namespace

JudgementWatch::JudgementWatch(const Scenario& scenario, Judgement& judgement,
                               const std::optional<Approach>& approach, double tolerance)
    : scenario_(scenario), j_(judgement), approach_(approach), tolerance_(tolerance),
      override_(scenario.vehicle.emergencyNotch()) {
    if (j_.kind == Judgement::Kind::Signal) {
        if (const std::optional<double> first = firstLinked(scenario, j_.index)) {
            heldBy_ = *first - kTakeOverLead;
        }
    }
}

void JudgementWatch::continueFrom(const JudgementWatch& clearRun) {
    override_ = clearRun.override_;
    cause_ = clearRun.cause_;
    causeSlot_ = clearRun.causeSlot_;
    latchedAt_ = clearRun.latchedAt_;
    floors_ = clearRun.floors_;
    lastPosition_ = clearRun.lastPosition_;
    lastSpeed_ = clearRun.lastSpeed_;
    furthest_ = clearRun.furthest_;
}

bool JudgementWatch::concerns(const Transponder& t) const {
    switch (j_.kind) {
    case Judgement::Kind::Signal:
        return t.linkedSignal == j_.index || (began_ && t.position >= began_->position &&
                                              t.position <= scenario_.signals[j_.index].position);
    case Judgement::Kind::Limit:
        return began_ && t.position >= began_->position &&
               t.position <= scenario_.limits[j_.index].to;
    case Judgement::Kind::ClearRun:
        break;
    }
    return false;
}

void JudgementWatch::onFact(const UnitFact& fact) {
    // A transponder that latches the brake is the cause, though the unit's curves demand the
    // brake in the same frame too.
    if (fact.kind == FactKind::BrakeLatched) {
        cause_ = fact.text;
        causeSlot_ = -1;
        latchedAt_ = fact.time;
    } else if (fact.kind == FactKind::EmergencyBrake && fact.time != latchedAt_) {
        cause_ = fact.text;
        causeSlot_ = fact.slot;
    }
    if (fact.kind == FactKind::StopCurve && fact.slot >= 0 && fact.slot < kSlotCount) {
        floors_[fact.slot] = fact.speedLimit.value_or(0.0);
    }
    if (fact.transponder && concerns(*fact.transponder)) {
        j_.unitSaid.push_back(fixed(fact.transponder->position, 1) + " m" +
                              (fact.transponder->line > 0
                                   ? " (line " + std::to_string(fact.transponder->line) + ")"
                                   : std::string()) +
                              ": " + fact.text);
    }
}

void JudgementWatch::onFrame(const FrameRecord& frame) {
    const Sample here{frame.time, frame.position, frame.speed};
    const bool wasOn = override_.on();
    const bool braking = override_.update(frame);
    const double from = lastPosition_;
    lastPosition_ = frame.position;
    furthest_ = std::max(furthest_, frame.position);
    if (frame.held && !began_) {
        began_ = here;
        beganAfter_ = std::max(lastSpeed_, frame.speed);
    }
    const bool stopped = frame.speed == 0.0f && lastSpeed_ != 0.0f;
    lastSpeed_ = frame.speed;
    if (j_.kind == Judgement::Kind::ClearRun) {
        if (braking && !wasOn && brakes_++ == 0) {
            j_.brake = here;
            j_.why = cause_;
        }
        return;
    }
    if (!began_) {
        return;
    }
    if (heldBy_ && !heldThere_ && frame.position >= *heldBy_) {
        heldThere_ = frame.held || j_.brake.has_value();
    }
    if (!j_.warning && frame.panel[kPanelWarningLamp] != 0) {
        j_.warning = here;
    }
    if (braking && !wasOn) {
        // A limit is judged by the first brake; a signal by the one that stood the train,
        // after any the driver drove on from.
        if (!j_.brake || j_.kind == Judgement::Kind::Signal) {
            j_.brake = here;
            j_.why = cause_;
            if (causeSlot_ >= 0 && causeSlot_ < kSlotCount) {
                brakeFloor_ = floors_[causeSlot_];
            }
        }
    }
    if (braking && stopped) {
        j_.stood = here;
    }
    if (j_.kind == Judgement::Kind::Signal) {
        if (!passed_ && frame.position > scenario_.signals[j_.index].position) {
            passed_ = here;
        }
        return;
    }
    const SpeedLimit& limit = scenario_.limits[j_.index];
    // The train ran from the last frame's place to this one at this frame's speed.
    if (from <= limit.to && frame.position >= limit.from && frame.position > from) {
        inLimit_ = true;
        fastest_ = std::max(fastest_, static_cast<double>(frame.speed));
        if (!over_ && frame.speed > limit.speed + tolerance_) {
            over_ = Sample{frame.time, std::max(from, limit.from), frame.speed};
        }
    }
}

bool JudgementWatch::playedAsAsked(const RunEnd& end) {
    const std::string ended =
        "the run ended at " + fixed(end.position, 1) + " m (" + end.reason + ")";
    if (!began_) {
        j_.why = "the bench could not take the train over: " + ended +
                 " before the train got there at a speed it could hold";
        return false;
    }
    const double place = std::max(*j_.takeOver, scenario_.run.startPosition);
    // The frame that reached the place ran at the speed the train had before it was held, which
    // the approach may be below (just under a curve's floor).
    const double frameRun =
        std::max(approach_->speed, double(beganAfter_)) / 3.6 * scenario_.run.stepMs / 1000.0;
    if (began_->position > place + frameRun + 1e-6) {
        j_.why = "the bench could take the train over only at " + fixed(began_->position, 1) +
                 " m, not at " + fixed(place, 1) +
                 " m: the train was stopped, braked by the unit, or not yet started there";
        return false;
    }
    if (heldBy_ && began_->position > *heldBy_) {
        j_.why = "the bench took the train over at " + fixed(began_->position, 1) +
                 " m, less than 30 m before the signal's first transponder: start the run " +
                 "further back";
        return false;
    }
    if (heldThere_ == false) {
        j_.why = "the train was not back at " + fixed(approach_->speed, 1) + " km/h " +
                 fixed(*heldBy_, 1) + " m, 30 m before the signal's first transponder, after " +
                 "the unit stopped it for a restriction (" + cause_ + ")";
        return false;
    }
    return true;
}

void JudgementWatch::finish(const RunEnd& end) {
    switch (j_.kind) {
    case Judgement::Kind::Signal:
        judgeSignal(end);
        break;
    case Judgement::Kind::Limit:
        judgeLimit(end);
        break;
    case Judgement::Kind::ClearRun:
        judgeClearRun(end);
        break;
    }
    if (j_.outcome == Outcome::Protected) {
        j_.unitSaid.clear();
    }
}

std::optional<double> JudgementWatch::floorThatStoodIt() const {
    // Below this the type 1 at the signal is what stops a creeping train.
    constexpr double kCrawl = 15.0; // km/h
    if (j_.kind == Judgement::Kind::Signal && j_.outcome == Outcome::Protected && brakeFloor_ &&
        *brakeFloor_ > kCrawl && *brakeFloor_ < j_.speed) {
        return brakeFloor_;
    }
    return std::nullopt;
}

void JudgementWatch::judgeSignal(const RunEnd& end) {
    if (!playedAsAsked(end)) {
        j_.outcome = Outcome::NotJudged;
        return;
    }
    const double signal = scenario_.signals[j_.index].position;
    if (passed_) {
        j_.outcome = Outcome::Unprotected;
        j_.result = "passed it at " + fixed(passed_->speed, 1) + " km/h";
        if (j_.stood && j_.stood->time >= passed_->time) {
            j_.result = "stood at " + fixed(j_.stood->position, 1) + " m, " +
                        fixed(j_.stood->position - signal, 1) + " m past it";
            j_.margin = signal - j_.stood->position;
        }
        if (!j_.brake) {
            j_.why = "no brake";
        }
        return;
    }
    if (end.stood && j_.stood) {
        j_.outcome = Outcome::Protected;
        j_.result = "stood at " + fixed(j_.stood->position, 1) + " m";
        j_.margin = signal - j_.stood->position;
        return;
    }
    j_.outcome = Outcome::NotJudged;
    j_.why = "the run ended at " + fixed(end.position, 1) + " m (" + end.reason +
             "), before the train got to the signal";
}

void JudgementWatch::judgeLimit(const RunEnd& end) {
    const SpeedLimit& limit = scenario_.limits[j_.index];
    if (!playedAsAsked(end)) {
        j_.outcome = Outcome::NotJudged;
        return;
    }
    if (over_) {
        j_.outcome = Outcome::Unprotected;
        j_.result =
            "passed " + fixed(over_->position, 1) + " m at " + fixed(over_->speed, 1) + " km/h";
        j_.margin = limit.speed - fastest_;
        j_.marginInKmh = true;
        if (!j_.brake) {
            j_.why = "no brake";
        }
        return;
    }
    if (furthest_ > limit.to && inLimit_) {
        j_.outcome = Outcome::Protected;
        j_.result = "at most " + fixed(fastest_, 1) + " km/h within it";
        // Within the tolerance the margin is none, not a negative one.
        j_.margin = std::max(0.0, limit.speed - fastest_);
        j_.marginInKmh = true;
        return;
    }
    j_.outcome = Outcome::NotJudged;
    j_.why = "the run ended at " + fixed(end.position, 1) + " m (" + end.reason +
             "), before the train got past the limit's end";
}

void JudgementWatch::judgeClearRun(const RunEnd& end) {
    double needed = 0.0; // m: the furthest place the author declared
    std::string what;
    for (const Signal& s : scenario_.signals) {
        if (s.position > needed) {
            needed = s.position;
            what = "signal " + s.name;
        }
    }
    for (const SpeedLimit& l : scenario_.limits) {
        if (l.to > needed) {
            needed = l.to;
            what = "the end of the limit at " + fixed(l.to, 1) + " m";
        }
    }
    if (brakes_ > 0) {
        j_.outcome = Outcome::NeedlessBrake;
        j_.result = "the unit braked at " + at(*j_.brake) +
                    (brakes_ > 1 ? ", and " + std::to_string(brakes_ - 1) + " more time" +
                                       (brakes_ > 2 ? "s" : "")
                                 : std::string());
        return;
    }
    if (furthest_ <= needed) {
        j_.outcome = Outcome::NotJudged;
        j_.why = "the run ended at " + fixed(end.position, 1) + " m (" + end.reason + "), before " +
                 what + " at " + fixed(needed, 1) + " m";
        return;
    }
    j_.outcome = Outcome::Protected;
    j_.result = "no brake";
}

} // namespace vantor::sim
