#include "approach_watch.h"

#include <cmath>

#include "text_format.h"

namespace vantor::sim {

ApproachWatch::ApproachWatch(const ProtectedPoint& point, int32_t emergencyNotch, double speed)
    : point_(point), override_(emergencyNotch) {
    r_.speed = speed;
}

void ApproachWatch::onFact(const UnitFact& fact) {
    if (!r_.set && setsUp(fact, point_)) {
        r_.set = ApproachSample{fact.time, fact.position, fact.speed};
        frameAfterSet_ = true;
        if (fact.point && point_.kind != PointKind::FixedCheck &&
            std::abs(*fact.point - point_.point) > 0.5) {
            setPoint_ = fact.point;
        }
    }
    if (fact.kind == FactKind::EmergencyBrake && began_ && !r_.brake) {
        brakeCause_ = fact.text;
    }
    if (fact.kind == FactKind::Released && fact.beforeReached && fact.setBy == point_.setBy &&
        fact.transponder != nullptr && released_.empty() && !r_.stood) {
        const Transponder& by = *fact.transponder;
        released_ = "released at " + fixed(fact.position, 1) + " m, before the train got there, " +
                    "by the " +
                    (by.type == 70 ? "coil " + std::to_string(by.optional)
                                   : "type " + std::to_string(by.type)) +
                    (by.line > 0 ? " on line " + std::to_string(by.line) : std::string());
    }
}

void ApproachWatch::onFrame(const FrameRecord& frame) {
    const ApproachSample here{frame.time, frame.position, frame.speed};
    const bool wasOn = override_.on();
    const bool on = override_.update(frame);
    if (frame.held && !began_) {
        began_ = here;
    }
    if (frameAfterSet_) {
        frameAfterSet_ = false;
        brakedAtOnce_ = on;
    }
    if (!began_) {
        return;
    }
    if (r_.set && !r_.warning && frame.panel[kPanelWarningLamp] != 0) {
        r_.warning = here;
    }
    if (on && !wasOn && !r_.brake) {
        r_.brake = here;
    }
    if (r_.brake && !r_.stood && frame.speed == 0.0f) {
        r_.stood = here;
    }
    if (!r_.atPoint && frame.position >= point_.point) {
        r_.atPoint = here;
    }
    furthest_ = std::max(furthest_, frame.position);
}

ApproachResult ApproachWatch::result() const {
    ApproachResult r = r_;
    r.played = began_ && began_->position <= point_.setAt;
    if (!r.played) {
        r.note = began_ ? "the bench could take the train over only at " +
                              fixed(began_->position, 1) + " m, after the point was set"
                        : "the bench could not take the train over: the unit braked it, or the "
                          "run ended, before it got there";
        return r;
    }
    // The stand counts only where the train stood before it passed the point.
    const bool stoodShort = r.stood && (!r.atPoint || r.stood->time <= r.atPoint->time) &&
                            r.stood->position <= point_.point;
    switch (point_.kind) {
    case PointKind::Stop:
        r.isProtected = stoodShort;
        if (r.stood) {
            r.margin = point_.point - r.stood->position;
        }
        break;
    case PointKind::Restriction:
        if (stoodShort) {
            r.isProtected = true;
            r.margin = point_.point - r.stood->position;
        } else if (r.atPoint) {
            r.isProtected = r.atPoint->speed <= point_.limit;
            r.margin = point_.limit - r.atPoint->speed;
            r.marginInKmh = true;
        }
        break;
    case PointKind::FixedCheck:
        if (!r.set || r.set->speed <= point_.limit) {
            r.isProtected = r.set ? true : stoodShort;
            if (r.set) {
                r.margin = point_.limit - r.set->speed;
                r.marginInKmh = true;
            }
        } else {
            // The train is over the check where it learns of it: the unit must brake at once.
            r.isProtected = brakedAtOnce_;
        }
        break;
    }
    std::string note;
    auto add = [&](const std::string& text) { note += (note.empty() ? "" : "; ") + text; };
    if (!r.set && !stoodShort) {
        add("not set up on this approach");
    } else if (setPoint_) {
        add("set up for " + fixed(*setPoint_, 1) + " m on this approach");
    }
    if (!released_.empty()) {
        add(released_);
    }
    if (!brakeCause_.empty()) {
        add(brakeCause_);
    }
    if (!r.brake && furthest_ > point_.point) {
        add("no brake");
    }
    r.note = note;
    return r;
}

} // namespace vantor::sim
