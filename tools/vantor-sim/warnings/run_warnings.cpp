#include "warnings/run_warnings.h"

#include "host/unit_names.h"
#include "patterns/slot_curves.h"
#include "support/text_format.h"

namespace vantor::sim {

void RunWarnings::onFrame(const FrameRecord& frame) {
    powered_ = frame.panel[kPanelPowered] != 0;
    everPowered_ = everPowered_ || powered_;
}

std::vector<RouteWarning> RunWarnings::warnings() const {
    std::vector<RouteWarning> all = warnings_;
    // A unit never switched on is warned of before the run.
    if (!everPowered_ || passedOff_.empty()) {
        return all;
    }
    const Transponder& first = *passedOff_.front();
    const Transponder& last = *passedOff_.back();
    std::string text = "the unit was off when the train passed this transponder at " +
                       shortNumber(first.position) + " m";
    if (passedOff_.size() > 1) {
        text += " and " + std::to_string(passedOff_.size() - 1) + " more up to " +
                shortNumber(last.position) + " m" +
                (last.line > 0 ? " (line " + std::to_string(last.line) + ")" : "");
    }
    all.push_back({first.line, text + ": it ignored " + (passedOff_.size() > 1 ? "them" : "it") +
                                   "; switch it on before the train gets here"});
    return all;
}

void RunWarnings::onFact(const UnitFact& fact) {
    if (fact.kind == FactKind::Ignored && !powered_ && fact.transponder != nullptr) {
        passedOff_.push_back(fact.transponder);
        return;
    }
    if (fact.kind == FactKind::Differs) {
        warnings_.push_back({0, "at " + fixed(fact.time, 3) + " s, " + fixed(fact.position, 1) +
                                    " m " + fact.text});
        return;
    }
    if (fact.kind != FactKind::Released || !fact.beforeReached || fact.transponder == nullptr ||
        fact.setBy == nullptr) {
        return;
    }
    const Transponder& by = *fact.transponder;
    // A signal's own transponders releasing what its layout set is the layout working.
    if (by.linkedSignal && by.linkedSignal == fact.setBy->linkedSignal) {
        return;
    }
    // An approach curve's release carries no speed: its floor is the curve's own.
    const Setup setup = fact.setup.value_or(Setup::StopCurve);
    const double speed =
        fact.speedLimit.value_or(setup == Setup::ApproachCurve ? curves::kStopPointFloor : 0.0);
    warnings_.push_back(
        {fact.setBy->line,
         "the " + setupText(setup, fact.slot, fact.point, speed) + " set here was released at " +
             fixed(fact.position, 1) + " m, before the train got there, by the " +
             (by.type == 70 ? "coil " + std::to_string(by.optional)
                            : "type " + std::to_string(by.type)) +
             (by.line > 0 ? " on line " + std::to_string(by.line) : std::string())});
}

} // namespace vantor::sim
