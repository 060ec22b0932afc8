// What each declared signal shows during a run, and so what the transponders linked to it
// report: as the file scripts it, or as the protection report plays the line (every signal
// cleared, one of them perhaps held at danger throughout).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "scenario.h"

namespace vantor::sim {

struct AspectRule {
    bool allClear = false;             // every signal shows its clear aspect...
    std::optional<size_t> atDanger;    // ...but this one danger, whatever the script says
};

class SignalAspects {
  public:
    SignalAspects(const std::vector<Signal>& signals, const AspectRule& rule) : rule_(rule) {
        for (size_t i = 0; i < signals.size(); ++i) {
            aspects_.push_back(rule.atDanger == i ? 0
                               : rule.allClear    ? signals[i].clear
                                                  : signals[i].aspect);
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

  private:
    AspectRule rule_;
    std::vector<int32_t> aspects_;
};

} // namespace vantor::sim
