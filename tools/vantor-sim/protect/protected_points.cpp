#include "protect/protected_points.h"

#include <algorithm>

#include "support/text_format.h"

namespace vantor::sim {

std::optional<ProtectedPoint> protectedPoint(const UnitFact& fact) {
    if (fact.transponder == nullptr || !fact.setup || !fact.point ||
        (fact.kind != FactKind::StopCurve && fact.kind != FactKind::Restriction &&
         fact.kind != FactKind::FixedCheck)) {
        return std::nullopt;
    }
    ProtectedPoint p;
    p.setup = *fact.setup;
    p.slot = fact.slot;
    p.setBy = fact.transponder;
    p.pickedBy = fact.pickedBy;
    p.setAt = fact.position;
    p.point = *fact.point;
    p.stopDistance = fact.stopDistance;
    switch (p.setup) {
    case Setup::StopCurve:
        return p;
    case Setup::ApproachCurve:
    case Setup::Restriction:
    case Setup::Hold:
    case Setup::FixedCheck:
        p.limit = fact.speedLimit.value_or(0.0);
        p.stopDistance.reset();
        return p;
    default:
        // The 89 m stop point acts through the stop curve that aims at it.
        return std::nullopt;
    }
}

bool setsUp(const UnitFact& fact, const ProtectedPoint& point) {
    const std::optional<ProtectedPoint> other = protectedPoint(fact);
    // A restriction may take the other place of its code's pair on another run.
    return other && other->setBy == point.setBy && other->setup == point.setup &&
           (other->setup == Setup::Restriction || other->slot == point.slot);
}

void PointFinder::onFact(const UnitFact& fact) {
    if (fact.kind == FactKind::Differs) {
        differs_ = true;
        return;
    }
    const std::optional<ProtectedPoint> point = protectedPoint(fact);
    if (!point || std::any_of(points_.begin(), points_.end(),
                              [&](const ProtectedPoint& known) { return setsUp(fact, known); })) {
        return;
    }
    points_.push_back(*point);
}

std::string pointText(const ProtectedPoint& p) {
    return setupText(p.setup, p.slot, p.point, p.limit) +
           (p.stopDistance ? " (" + shortNumber(*p.stopDistance) + " m)" : std::string());
}

std::string setByText(const ProtectedPoint& p) {
    const Transponder& t = *p.setBy;
    std::string text =
        t.type == 70 ? "coil " + std::to_string(t.optional) : "type " + std::to_string(t.type);
    if (t.line > 0) {
        text += ", line " + std::to_string(t.line);
    }
    return text;
}

} // namespace vantor::sim
