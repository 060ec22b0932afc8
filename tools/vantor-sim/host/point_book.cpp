#include "host/point_book.h"

namespace vantor::sim {

namespace {

bool secondPair(Setup setup, int slot) {
    // A coil pair's restriction may take either place of its code on another run.
    return setup != Setup::Restriction &&
           (slot == kSecondaryApproachSlot || slot == kSecondaryStopSlot);
}

} // namespace

void PointBook::record(const UnitFact& fact) {
    const bool setUp = fact.kind == FactKind::StopCurve || fact.kind == FactKind::Restriction ||
                       fact.kind == FactKind::FixedCheck;
    if (!setUp || fact.transponder == nullptr || !fact.setup || !fact.point ||
        find(fact.transponder, *fact.setup, fact.slot)) {
        return;
    }
    entries_.push_back(
        Entry{fact.transponder, *fact.setup, secondPair(*fact.setup, fact.slot), *fact.point});
}

std::optional<double> PointBook::find(const Transponder* by, Setup setup, int slot) const {
    for (const Entry& e : entries_) {
        if (e.by == by && e.setup == setup && e.secondPair == secondPair(setup, slot)) {
            return e.point;
        }
    }
    return std::nullopt;
}

} // namespace vantor::sim
