#include "check/expectation_checker.h"

#include <algorithm>

#include "support/text_format.h"

namespace vantor::sim {

namespace {

std::string placeText(const ExpectWindow& w) {
    if (w.by == ExpectWindow::By::Run) {
        return " over the whole run";
    }
    const std::string unit = w.by == ExpectWindow::By::Time ? " s" : " m";
    if (w.single) {
        return " at " + shortNumber(*w.from) + unit;
    }
    if (w.from && w.to) {
        return " from " + shortNumber(*w.from) + unit + " to " + shortNumber(*w.to) + unit;
    }
    return w.from ? " from " + shortNumber(*w.from) + unit + " on"
                  : " up to " + shortNumber(*w.to) + unit;
}

bool soundPlays(int32_t command) {
    return command == kSoundLoop || command == kSoundOnce;
}

} // namespace

std::string expectationText(const Expectation& e) {
    switch (e.kind) {
    case ExpectKind::StopBefore:
        return (e.window.from
                    ? "comes to a stand between " + shortNumber(*e.window.from) + " m and "
                    : std::string("comes to a stand before ")) +
               shortNumber(e.stopBefore) + " m";
    case ExpectKind::Brake:
        return (e.positive ? "brake override starts" : "no brake override") + placeText(e.window);
    case ExpectKind::Lamp:
        return "lamp " + e.name + (e.positive ? " on" : " off") + placeText(e.window);
    case ExpectKind::PatternSpeed:
        return "pattern speed " + shortNumber(e.low) + " to " + shortNumber(e.high) + " km/h" +
               placeText(e.window);
    case ExpectKind::PatternDisplay:
        return "pattern display " + shortNumber(e.low) + " to " + shortNumber(e.high) +
               placeText(e.window);
    case ExpectKind::Sound:
        return "sound " + e.name + (e.positive ? " plays" : " silent") + placeText(e.window);
    }
    return "";
}

ExpectationChecker::ExpectationChecker(const Scenario& scenario)
    : scenario_(scenario), states_(scenario.expectations.size()),
      override_(scenario.vehicle.emergencyNotch()) {}

bool ExpectationChecker::inside(const Expectation& e, State& state,
                                const FrameRecord& frame) const {
    const ExpectWindow& w = e.window;
    if (state.phase == Phase::After) {
        return false;
    }
    if (w.by == ExpectWindow::By::Run) {
        state.phase = Phase::Inside;
        return true;
    }
    const bool byTime = w.by == ExpectWindow::By::Time;
    const double here = byTime ? frame.time : frame.position;
    const double tolerance = byTime ? kFrameTimeTolerance : 0.0;
    if (state.phase == Phase::Before) {
        if (w.from && here < *w.from - tolerance) {
            return false;
        }
        // The frame that reaches the start counts even if it also runs past a short stretch;
        // one beyond the stretch that did not come from before it, as the first frame of a
        // train that starts beyond, has not seen it.
        const std::optional<double> end = w.single ? w.from : w.to;
        if (end && here > *end + tolerance) {
            const double before =
                previous_ ? (byTime ? previous_->time : previous_->position) : here;
            if (!w.from || before >= *w.from - tolerance) {
                return false;
            }
        }
        state.phase = Phase::Inside;
        return true;
    }
    if (w.single || (w.to && here > *w.to + tolerance)) {
        state.phase = Phase::After;
        return false;
    }
    return true;
}

void ExpectationChecker::onFrame(const FrameRecord& frame) {
    const bool was = override_.on();
    const bool started = override_.update(frame) && !was;
    for (size_t i = 0; i < states_.size(); ++i) {
        const Expectation& e = scenario_.expectations[i];
        if (e.kind == ExpectKind::StopBefore) {
            checkStop(e, states_[i], frame);
        } else {
            check(e, states_[i], frame, started);
        }
    }
    if (!previous_) {
        start_ = furthest_ = hindmost_ = frame.position;
    }
    furthest_ = std::max(furthest_, frame.position);
    hindmost_ = std::min(hindmost_, frame.position);
    previous_ = Place{frame.time, frame.position};
    moved_ = moved_ || frame.speed != 0.0f;
    standing_ = moved_ && frame.speed == 0.0f;
}

void ExpectationChecker::check(const Expectation& e, State& state, const FrameRecord& frame,
                               bool started) {
    const bool in = inside(e, state, frame);
    auto sample = [&](std::string value) {
        return Sample{frame.time, frame.position, frame.speed, std::move(value)};
    };
    auto firstOf = [&](std::optional<Sample>& slot, std::string value = {}) {
        if (!slot) {
            slot = sample(std::move(value));
        }
    };
    switch (e.kind) {
    case ExpectKind::Brake:
        if (e.positive && started) {
            firstOf(in ? state.found : state.elsewhere);
        } else if (!e.positive && in && override_.on()) {
            firstOf(state.found);
        }
        return;
    case ExpectKind::Sound:
        if (soundPlays(frame.sound[e.index])) {
            firstOf(in ? state.found : state.elsewhere);
        }
        return;
    case ExpectKind::Lamp: {
        if (!in) {
            return;
        }
        const bool on = frame.panel[e.index] != 0;
        const std::string value = on ? "on" : "off";
        firstOf(state.first, value);
        state.last = sample(value);
        if (on != e.positive) {
            firstOf(state.found, value);
        }
        return;
    }
    case ExpectKind::PatternSpeed:
    case ExpectKind::PatternDisplay: {
        if (!in) {
            return;
        }
        const int32_t display = frame.panel[kPanelPatternDisplay];
        std::optional<double> value;
        std::string text = "display " + std::to_string(display);
        if (e.kind == ExpectKind::PatternDisplay) {
            value = display;
        } else if (frame.patternSpeed) {
            value = *frame.patternSpeed;
            text = fixed(*value, 1) + " km/h (" + text + ")";
        } else {
            text = "no pattern (" + text + ")";
        }
        if (value) {
            state.lowest = state.first ? std::min(state.lowest, *value) : *value;
            state.highest = state.first ? std::max(state.highest, *value) : *value;
        }
        firstOf(state.first, text);
        state.last = sample(text);
        if (!value || *value < e.low || *value > e.high) {
            firstOf(state.found, text);
        }
        return;
    }
    case ExpectKind::StopBefore:
        return;
    }
}

void ExpectationChecker::checkStop(const Expectation& e, State& state, const FrameRecord& frame) {
    // What the train does once it has stood there (drives on when the signal clears) does not
    // count.
    if (state.found || state.passed) {
        return;
    }
    const Sample here{frame.time, frame.position, frame.speed, {}};
    if (frame.position > e.stopBefore) {
        state.passed = here;
        return;
    }
    // A stand counts once the train has moved: it stands at its first place before it starts.
    if (!moved_ || frame.speed != 0.0f) {
        return;
    }
    if (!e.window.from || frame.position >= *e.window.from) {
        state.found = here;
    } else if (!standing_) {
        // A stand is told by when it began, not by its last frame.
        state.lastStand = here;
    }
}

namespace {

std::string at(double time, double position, float speed) {
    return fixed(position, 1) + " m, " + fixed(time, 3) + " s, " + fixed(speed, 1) + " km/h";
}

std::string stoodAt(double time, double position) {
    return fixed(position, 1) + " m, " + fixed(time, 3) + " s";
}

} // namespace

std::string ExpectationChecker::sampleText(const Sample& s) {
    return at(s.time, s.position, s.speed);
}

// stop_before: whether the train stood in the stretch before it passed the point.
void ExpectationChecker::judgeStop(const Expectation& e, const State& s,
                                   const std::string& runEnded, ExpectationResult& r) {
    r.passed = s.found.has_value();
    if (s.passed) {
        r.happened = "passed " + shortNumber(e.stopBefore) + " m at " + sampleText(*s.passed) +
                     (s.lastStand ? ", having stood only at " +
                                        stoodAt(s.lastStand->time, s.lastStand->position)
                                  : std::string(" before it stood"));
    } else if (s.found) {
        r.happened = "stood at " + stoodAt(s.found->time, s.found->position);
    } else {
        r.happened =
            "never stood there" +
            (s.lastStand ? "; it last stood at " + stoodAt(s.lastStand->time, s.lastStand->position)
                         : std::string()) +
            "; " + runEnded;
    }
}

// Lamps, the pattern, and what must not happen: every frame of the window must do.
void ExpectationChecker::judgeEveryFrame(const Expectation& e, const State& s,
                                         ExpectationResult& r) {
    r.passed = !s.found;
    if (s.found) {
        const std::string what = e.kind == ExpectKind::Brake   ? "in force"
                                 : e.kind == ExpectKind::Sound ? "played"
                                                               : s.found->value;
        r.happened = what + " at " + sampleText(*s.found);
    } else if (e.kind == ExpectKind::Brake || e.kind == ExpectKind::Sound) {
        r.happened = e.kind == ExpectKind::Brake ? "none" : "silent";
    } else if (e.window.single) {
        r.happened = s.first->value + " at " + sampleText(*s.first);
    } else {
        auto range = [](const std::string& low, const std::string& high) {
            return low == high ? low : low + " to " + high;
        };
        const std::string seen =
            e.kind == ExpectKind::Lamp ? s.first->value
            : e.kind == ExpectKind::PatternSpeed
                ? range(fixed(s.lowest, 1), fixed(s.highest, 1)) + " km/h"
                : "display " + range(shortNumber(s.lowest), shortNumber(s.highest));
        r.happened = seen + " all along, from " + fixed(s.first->position, 1) + " m to " +
                     fixed(s.last->position, 1) + " m";
    }
}

// A brake that must start, a sound that must play: one frame of the window must do.
void ExpectationChecker::judgeOneFrame(const Expectation& e, const State& s, ExpectationResult& r) {
    r.passed = s.found.has_value();
    const std::string what = e.kind == ExpectKind::Brake ? "started" : "played";
    if (s.found) {
        r.happened = what + " at " + sampleText(*s.found);
    } else {
        r.happened =
            "none there" + (s.elsewhere ? "; the first " + what + " at " + sampleText(*s.elsewhere)
                                        : std::string("; none in the whole run"));
    }
}

// A place or time the run never gets to proves nothing: why it never got there.
std::string ExpectationChecker::nothingSeen(const ExpectWindow& w,
                                            const std::string& runEnded) const {
    if (w.by == ExpectWindow::By::Time) {
        return runEnded + ", before " + shortNumber(*w.from) + " s";
    }
    if (w.from && furthest_ < *w.from) {
        return "the train never got to " + shortNumber(*w.from) + " m; it got as far as " +
               fixed(furthest_, 1) + " m";
    }
    // Behind the start, and never rolled back to.
    return "the train started at " + fixed(start_, 1) + " m, beyond " +
           shortNumber(w.single ? *w.from : *w.to) + " m, and got back only to " +
           fixed(hindmost_, 1) + " m";
}

std::vector<ExpectationResult> ExpectationChecker::results(const RunEnd& end) const {
    const std::string runEnded = "the run ended at " + stoodAt(end.time, end.position);
    std::vector<ExpectationResult> out;
    for (size_t i = 0; i < states_.size(); ++i) {
        const Expectation& e = scenario_.expectations[i];
        const State& s = states_[i];
        ExpectationResult r;
        r.line = e.line;
        r.label = e.label;
        r.expected = expectationText(e);
        if (e.kind == ExpectKind::StopBefore) {
            judgeStop(e, s, runEnded, r);
        } else if (s.phase == Phase::Before) {
            r.happened = "looked at nothing: " + nothingSeen(e.window, runEnded);
        } else if (e.kind == ExpectKind::Lamp || e.kind == ExpectKind::PatternSpeed ||
                   e.kind == ExpectKind::PatternDisplay || !e.positive) {
            judgeEveryFrame(e, s, r);
        } else {
            judgeOneFrame(e, s, r);
        }
        out.push_back(std::move(r));
    }
    return out;
}

} // namespace vantor::sim
