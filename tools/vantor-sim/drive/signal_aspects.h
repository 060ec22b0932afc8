// What each declared signal shows during a run, and so what the transponders linked to it
// report: as the file scripts it, or as the protection report plays the line (every signal
// cleared, one of them perhaps held at danger throughout).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "scenario/scenario.h"

namespace vantor::sim {

// A signal that clears as the train draws up to it does so this far before it: close enough
// that the train has passed the signal's whole layout at danger.
inline constexpr double kDrawnUp = 50.0; // m

struct AspectRule {
    bool allClear = false;          // every signal shows its clear aspect...
    std::optional<size_t> atDanger; // ...but this one danger, whatever the script says...
    // ...and this one danger until the train draws up to it, or stands from clearsFrom on,
    // when it clears.
    std::optional<size_t> clearsNear;
    double clearsFrom = 0.0; // m: the first transponder of that signal's layout
};

class SignalAspects {
  public:
    SignalAspects(const std::vector<Signal>& signals, const AspectRule& rule) : rule_(rule) {
        for (size_t i = 0; i < signals.size(); ++i) {
            const bool danger = rule.atDanger == i || rule.clearsNear == i;
            aspects_.push_back(danger ? 0 : rule.allClear ? signals[i].clear : signals[i].aspect);
        }
    }

    // The signal value a transponder reports as the train passes it now.
    int32_t reported(const Transponder& t) const {
        return t.linkedSignal ? aspects_[*t.linkedSignal] : t.signal;
    }
    // A scripted change; false when the rule holds the signals where they are.
    bool change(size_t signal, int32_t aspect) {
        if (rule_.allClear) {
            return false;
        }
        aspects_[signal] = aspect;
        return true;
    }

    // The front has reached position: the signal that clears as the train draws up to it or
    // stands before it, if it does so now.
    std::optional<size_t> trainAt(double position, bool standing,
                                  const std::vector<Signal>& signals) {
        if (!rule_.clearsNear || (position < signals[*rule_.clearsNear].position - kDrawnUp &&
                                  !(standing && position >= rule_.clearsFrom))) {
            return std::nullopt;
        }
        const size_t signal = *rule_.clearsNear;
        rule_.clearsNear.reset();
        aspects_[signal] = signals[signal].clear;
        return signal;
    }

  private:
    AspectRule rule_;
    std::vector<int32_t> aspects_;
};

} // namespace vantor::sim
