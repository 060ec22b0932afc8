#include "protect/protected_points.h"

#include <algorithm>

#include "support/text_format.h"

namespace vantor::sim {

namespace {

constexpr int kStopPointSlot = 2; // slot 1's stop point; slot 1 carries it

} // namespace

std::optional<ProtectedPoint> protectedPoint(const UnitFact& fact) {
    if (fact.transponder == nullptr || !fact.speedLimit) {
        return std::nullopt;
    }
    ProtectedPoint p;
    p.slot = fact.slot;
    p.setBy = fact.transponder;
    p.pickedBy = fact.pickedBy;
    p.setAt = fact.position;
    p.point = fact.point.value_or(fact.position);
    p.stopDistance = fact.stopDistance;
    switch (fact.kind) {
    case FactKind::StopCurve:
        if (fact.slot == kStopPointSlot || !fact.point) {
            return std::nullopt;
        }
        p.approachCurve = fact.slot == 0 || fact.slot == 3;
        p.kind = p.approachCurve ? PointKind::Restriction : PointKind::Stop;
        p.limit = p.approachCurve ? *fact.speedLimit : 0.0;
        return p;
    case FactKind::Restriction:
        p.kind = PointKind::Restriction;
        p.limit = *fact.speedLimit;
        return p;
    case FactKind::FixedCheck:
        p.kind = PointKind::FixedCheck;
        p.limit = *fact.speedLimit;
        p.point = fact.position;
        p.stopDistance.reset();
        return p;
    default:
        return std::nullopt;
    }
}

bool setsUp(const UnitFact& fact, const ProtectedPoint& point) {
    const std::optional<ProtectedPoint> other = protectedPoint(fact);
    // A restriction may take the other place of its code's pair on another run.
    return other && other->setBy == point.setBy && other->kind == point.kind &&
           other->approachCurve == point.approachCurve &&
           (other->kind == PointKind::Restriction || other->slot == point.slot);
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
    const std::string at = " at " + fixed(p.point, 1) + " m";
    switch (p.kind) {
    case PointKind::Stop:
        return "stop point" + at +
               (p.stopDistance ? " (" + shortNumber(*p.stopDistance) + " m)" : std::string());
    case PointKind::Restriction:
        return (p.approachCurve ? "approach curve " : "restriction ") + shortNumber(p.limit) +
               " km/h" + at;
    case PointKind::FixedCheck:
        return "check " + shortNumber(p.limit) + " km/h" + at;
    }
    return "";
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
