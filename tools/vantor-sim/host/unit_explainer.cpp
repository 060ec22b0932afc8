#include "host/unit_explainer.h"

#include <cmath>
#include <cstring>

#include "host/trackside_codes.h"
#include "host/unit_names.h"
#include "patterns/pattern_supervision.h"
#include "patterns/slot_curves.h"
#include "support/text_format.h"
#include "transponders/coil_tables.h"

namespace vantor::sim {

namespace {

using coils::kAfterStopTransponder;
using coils::kPairOpeningCode;
using coils::kSecondaryPairCode;
using coils::kStopInhibitCode;

std::string metres(double value) {
    return placeText(value);
}

std::string spacing(double value) {
    return fixed(value, 2) + " m";
}

// The coil code whose pairs fill a restriction slot, and whether it is the first place.
void restrictionPlace(int slot, int& code, bool& first) {
    for (int i = 0; i < 4; ++i) {
        if (coils::kPairSlots[i].first == slot || coils::kPairSlots[i].second == slot) {
            code = static_cast<int>(coils::kCoilCodes[i]);
            first = coils::kPairSlots[i].first == slot;
        }
    }
}

// The speed a fixed check holds the train to, as the unit's curve gives it.
double fixedCheckSpeed(const CVantor& unit, int slot, uint32_t value) {
    return curves::slotCurve(unit, static_cast<uint32_t>(slot), static_cast<int32_t>(value), 0.0,
                             curves::kEveryRoot);
}

// Only a reset clears the type 1's hold flags.
constexpr const char* kUntilReset = "until the unit is cut out or switched off";

// How long a hold lasts: the flag of slot 4 outlives its stop pair.
const char* holdLasts(int slot) {
    return slot == kSecondaryStopSlot ? kUntilReset : "until its stop pair is released";
}

double stopDistance(uint32_t select) {
    return coils::kStopDistances[select & 3u];
}

// The stop distance a type 0 picks by the spacing it measured: 0 for none.
uint32_t distanceCode(double measured) {
    return coils::stopSelection(CVantor::classifySpacing(measured));
}

} // namespace

void UnitExplainer::setPlace(double time, double position, float speed, double origin) {
    time_ = time;
    position_ = position;
    speed_ = speed;
    origin_ = origin;
}

UnitExplainer::Snapshot UnitExplainer::take(const CVantor& unit) {
    Snapshot s;
    std::memcpy(s.slotValue.data(), unit.slotValue, sizeof unit.slotValue);
    std::memcpy(s.slotDistance.data(), unit.slotDistance, sizeof unit.slotDistance);
    s.coilCode = unit.coilCode;
    s.distanceSinceCoil = unit.distanceSinceCoil;
    s.primaryStopSelect = unit.primaryStopSelect;
    s.secondaryStopSelect = unit.secondaryStopSelect;
    s.secondaryStopPending = unit.secondaryStopPending;
    s.stopInhibit = unit.stopInhibit;
    s.cutOutArmed = unit.cutOutArmed;
    s.coilCutOut = unit.coilCutOut;
    s.cutOut = unit.cutOut;
    s.unitActive = unit.unitActive;
    s.powered = unit.powered;
    s.brakeLatch = unit.brakeLatch;
    s.holdOffActive = unit.holdOffActive;
    s.type60Clock = unit.timer[kType60Clock];
    return s;
}

UnitFact UnitExplainer::fact(FactKind kind, const Transponder* cause) const {
    UnitFact f;
    f.kind = kind;
    f.time = time_;
    f.position = position_;
    f.speed = speed_;
    f.transponder = cause;
    return f;
}

void UnitExplainer::emit(UnitFact f) {
    emit_(f);
}

void UnitExplainer::beforeCall(const CVantor& unit) {
    before_ = take(unit);
}

void UnitExplainer::afterBeacon(const CVantor& unit, const Transponder& t, int32_t signal) {
    reportedSignal_ = signal;
    const Snapshot& b = before_;
    if (!knownTransponderType(t.type)) {
        UnitFact f = fact(FactKind::Ignored, &t);
        f.text = "ignored: the unit knows no transponder type " + std::to_string(t.type);
        emit(std::move(f));
    } else if (!b.powered || *unit.speed == 0.0f) {
        UnitFact f = fact(FactKind::Ignored, &t);
        f.text = !b.powered ? "ignored: the unit is off" : "ignored: the train stands";
        emit(std::move(f));
    } else if (t.type == 70) {
        explainCoil(unit, t);
    } else if (t.type == 0) {
        explainType0(unit, t);
    } else if (t.type == 50 || t.type == 55) {
        explainType50(unit, t);
    } else if (t.type == 1 && t.optional == 0 && reportedSignal_ == 0 && b.holdOffActive) {
        UnitFact f = fact(FactKind::Ignored, &t);
        f.text = "the hold-off keeps this type 1 from latching the brake";
        emit(std::move(f));
    }
    explainSlots(unit, &t, nullptr);
    explainLatch(unit, t);
    forgetOpeners(unit);
    remember(unit);
}

void UnitExplainer::afterKey(const CVantor& unit) {
    // Of the keys, only the cut-out key changes the patterns and the coil state.
    explainSlots(unit, nullptr, unit.cutOutSelected ? "cut-out key" : "cut-in key");
    forgetOpeners(unit);
    remember(unit);
}

void UnitExplainer::afterFrame(const CVantor& unit) {
    if (unit.emergencyBrake != lastEmergency_) {
        lastEmergency_ = unit.emergencyBrake;
        if (unit.emergencyBrake) {
            explainEmergency(unit);
        }
    }
    if (unit.coilCode == lastCoilCode_ &&
        std::memcmp(lastValues_.data(), unit.slotValue, sizeof unit.slotValue) == 0) {
        return;
    }
    for (int i = 0; i < kSlotCount; ++i) {
        if (lastValues_[i] != 0 && unit.slotValue[i] == 0) {
            slotReleased(unit, i, lastValues_[i], nullptr,
                         !unit.powered      ? "the unit is off"
                         : !unit.unitActive ? "the unit is cut out"
                                            : "re-armed 80 m past its stop point");
        }
    }
    // The coil state runs out 25 m after the coil or stop transponder that set it.
    if (unit.coilCode == coils::kNoCoil && unit.unitActive) {
        if (lastCoilCode_ == kAfterStopTransponder && pairOpener_ != nullptr) {
            UnitFact f = fact(FactKind::CoilState, pairOpener_);
            f.text = "no stop curve set: no second type 50/55 came within 25 m of the stop "
                     "transponder at " +
                     metres(pairOpener_->position);
            emit(std::move(f));
        } else if (lastCoilCode_ == kPairOpeningCode && coilOpener_ != nullptr) {
            UnitFact f = fact(FactKind::CoilState, coilOpener_);
            f.text = "no restriction: no second coil came within 25 m of the code-90 coil at " +
                     metres(coilOpener_->position);
            emit(std::move(f));
        }
    }
    forgetOpeners(unit);
    remember(unit);
}

void UnitExplainer::forgetOpeners(const CVantor& unit) {
    if (unit.coilCode != coils::kAfterStopTransponder) {
        pairOpener_ = nullptr;
    }
    if (unit.coilCode != 90) {
        coilOpener_ = nullptr;
    }
}

void UnitExplainer::remember(const CVantor& unit) {
    std::memcpy(lastValues_.data(), unit.slotValue, sizeof unit.slotValue);
    lastCoilCode_ = unit.coilCode;
}

void UnitExplainer::explainCoil(const CVantor& unit, const Transponder& t) {
    const Snapshot& b = before_;
    const int32_t code = t.optional;
    if (!b.unitActive) {
        UnitFact f = fact(FactKind::Ignored, &t);
        f.text = "coil ignored: the unit is cut out";
        emit(std::move(f));
        return;
    }
    if (code == coils::kReleaseCode) {
        if (reportedSignal_ == 0) {
            UnitFact f = fact(FactKind::Ignored, &t);
            f.text = "a code-103 coil with signal 0 releases nothing";
            emit(std::move(f));
        }
        return;
    }
    const auto ucode = static_cast<uint32_t>(code);
    const int index = coils::coilCodeIndex(ucode);
    if (index < 0) {
        UnitFact f = fact(FactKind::Ignored, &t);
        f.text = "ignored: the unit knows no coil code " + std::to_string(code);
        emit(std::move(f));
        return;
    }
    const double measured = b.distanceSinceCoil;
    const float nominal = CVantor::classifySpacing(measured);
    if (b.coilCode == kPairOpeningCode) {
        const uint32_t target = coils::pairSpeed(index, nominal);
        const coils::SlotPair pair = coils::kPairSlots[index];
        const std::string places = "the code-" + std::to_string(code) + " places";
        if (target != 0 && unit.slotValue[pair.first] == b.slotValue[pair.first] &&
            unit.slotValue[pair.second] == b.slotValue[pair.second]) {
            UnitFact f = fact(FactKind::Ignored, &t);
            f.spacing = measured;
            f.speedLimit = target;
            f.text = "coil pair decodes to " + std::to_string(target) + " km/h (measured " +
                     spacing(measured) + "), but both of " + places + " hold restrictions: ignored";
            emit(std::move(f));
        } else if (target == 0 && nominal != 0.0f) {
            UnitFact f = fact(FactKind::CoilState, &t);
            f.spacing = measured;
            f.text = "coil pair at " + fixed(nominal, 1) + " m (measured " + spacing(measured) +
                     "): ends the restrictions of " + places;
            emit(std::move(f));
        } else if (target == 0) {
            UnitFact f = fact(FactKind::NoCode, &t);
            f.spacing = measured;
            f.nearestWindow = nearestWindow(measured);
            f.text = "no code: the coil pair's measured spacing " + spacing(measured) +
                     " fits no window (nearest " + windowText(*f.nearestWindow) + "); it clears " +
                     places;
            emit(std::move(f));
        }
    } else if (b.coilCode == kAfterStopTransponder &&
               (ucode == kPairOpeningCode ||
                (ucode == kStopInhibitCode && reportedSignal_ == coils::kFixedCheck14Signal)) &&
               nominal != coils::kFixedCheckHighSpacing &&
               nominal != coils::kFixedCheckLowSpacing) {
        UnitFact f = fact(FactKind::NoCode, &t);
        f.spacing = measured;
        f.nearestWindow = nearestWindow(measured);
        f.text = "no code: measured " + spacing(measured) +
                 " after the stop transponder, neither 2.0 nor 4.0 m: no fixed check";
        emit(std::move(f));
    }
    // A second coil ends its pair, whatever its code: told above or by its restriction. Only a
    // code-90 coil that begins a pair can lapse.
    if (b.coilCode == kPairOpeningCode) {
        coilOpener_ = nullptr;
    } else if (ucode == kPairOpeningCode && b.coilCode != kAfterStopTransponder) {
        coilOpener_ = &t;
    }
}

void UnitExplainer::explainType0(const CVantor& unit, const Transponder& t) {
    const Snapshot& b = before_;
    const double measured = b.distanceSinceCoil;
    const uint32_t code = distanceCode(measured);
    auto distanceCodeFact = [&](Selection& selection, uint32_t selected, const char* curve) {
        UnitFact f = fact(FactKind::CoilState, &t);
        f.spacing = measured;
        f.stopDistance = stopDistance(selected);
        if (code != 0) {
            selection = Selection{&t, measured};
            f.text = std::string("distance code: measured ") + spacing(measured) +
                     " after the stop transponder, so the " + curve + " lies " +
                     shortNumber(*f.stopDistance) + " m ahead";
        } else {
            f.text = std::string("no distance code: measured ") + spacing(measured) +
                     " after the stop transponder, none of 2.0, 4.0 and 6.5 m, so the " + curve +
                     " stays at " + shortNumber(*f.stopDistance) + " m";
        }
        f.text += "; the coil state is cleared, so the next type 50/55 begins a new stop pair";
        emit(std::move(f));
    };
    if (b.coilCode == kAfterStopTransponder && b.unitActive &&
        b.slotValue[kPrimaryApproachSlot] != 0) {
        distanceCodeFact(primary_, unit.primaryStopSelect, "next stop curve");
        return;
    }
    if (b.coilCode == kAfterStopTransponder && b.unitActive) {
        UnitFact f = fact(FactKind::CoilState, &t);
        f.spacing = measured;
        f.text = "no distance code: without an approach curve (code-80 coil) a type 0 after a "
                 "stop transponder picks nothing; the stop distance is 390 m";
        emit(std::move(f));
    } else if (b.primaryStopSelect != 0) {
        UnitFact f = fact(FactKind::CoilState, &t);
        f.text = "the stop distance falls back to 390 m: this type 0 is no distance code";
        emit(std::move(f));
    }
    primary_ = Selection{};
    if (b.coilCode == kSecondaryPairCode && b.unitActive &&
        b.slotValue[kSecondaryApproachSlot] != 0) {
        distanceCodeFact(secondary_, unit.secondaryStopSelect, "next second stop curve");
        return;
    }
    if (b.secondaryStopSelect != 0) {
        UnitFact f = fact(FactKind::CoilState, &t);
        f.text = "the second stop distance falls back to 390 m: this type 0 is no distance code";
        emit(std::move(f));
    }
    secondary_ = Selection{};
}

void UnitExplainer::explainType50(const CVantor& unit, const Transponder& t) {
    const Snapshot& b = before_;
    if (!b.cutOutArmed && unit.cutOutArmed) {
        UnitFact f = fact(FactKind::CutOutWatch, &t);
        f.text = "cut-out watch armed: while the unit is cut out, the next type 50/55 with "
                 "optional 0 latches the brake";
        emit(std::move(f));
    }
    const bool secondary = b.secondaryStopPending == 1;
    const int slot = secondary ? kSecondaryStopSlot : kPrimaryStopSlot;
    const bool curveSet = unit.slotValue[slot] != b.slotValue[slot] ||
                          unit.slotDistance[slot] != b.slotDistance[slot];
    switch (b.coilCode) {
    case kAfterStopTransponder:
        if (!curveSet) {
            const char* why = (secondary ? !b.unitActive : b.cutOut) ? "the unit is cut out"
                              : b.stopInhibit ? "a code-85 coil before the stop pair suppresses it"
                              : reportedSignal_ != 0 ? "its signal is not 0"
                                                     : "its optional is 0";
            UnitFact f = fact(FactKind::StopSuppressed, &t);
            f.slot = slot;
            f.text = std::string("no ") + (secondary ? "second " : "") +
                     "stop curve from this stop pair: " + why;
            emit(std::move(f));
        }
        break;
    case kSecondaryPairCode: {
        UnitFact f = fact(FactKind::CoilState, &t);
        f.text = "after a code-95 coil: the next stop curve is the second one";
        emit(std::move(f));
        break;
    }
    case kStopInhibitCode: {
        UnitFact f = fact(FactKind::CoilState, &t);
        f.text = "after a code-85 coil: the next stop pair sets no stop curve";
        emit(std::move(f));
        break;
    }
    case kPairOpeningCode:
        if (!b.coilCutOut && unit.coilCutOut) {
            UnitFact f = fact(FactKind::CoilCutOut, &t);
            f.spacing = b.distanceSinceCoil;
            f.text = "coil cut-out: measured " + spacing(b.distanceSinceCoil) +
                     " after a code-90 coil; the unit supervises nothing until its power is "
                     "switched off";
            emit(std::move(f));
        }
        break;
    default:
        break;
    }
    // The second of a pair set its curve or was told why not; a first one begins a pair.
    pairOpener_ = nullptr;
    if (b.coilCode != kAfterStopTransponder && unit.coilCode == kAfterStopTransponder) {
        pairOpener_ = &t;
        UnitFact f = fact(FactKind::CoilState, &t);
        const bool toSecond = unit.secondaryStopPending == 1;
        f.stopDistance = stopDistance(toSecond ? unit.secondaryStopSelect : unit.primaryStopSelect);
        f.text = std::string("stop transponder: a second type 50/55 within 25 m sets a ") +
                 (toSecond ? "second " : "") + "stop curve " + shortNumber(*f.stopDistance) +
                 " m ahead";
        if (unit.slotValue[toSecond ? kSecondaryApproachSlot : kPrimaryApproachSlot] != 0) {
            f.text += "; a type 0 at 2.0, 4.0 or 6.5 m picks another distance first";
        }
        emit(std::move(f));
    }
}

void UnitExplainer::explainLatch(const CVantor& unit, const Transponder& t) {
    if (before_.brakeLatch || !unit.brakeLatch) {
        return;
    }
    UnitFact f = fact(FactKind::BrakeLatched, &t);
    switch (t.type) {
    case 1:
        f.text = t.optional == 0 && reportedSignal_ == 0
                     ? "brake latched: type 1 at danger"
                     : "brake latched: type 1 while a type-65 window runs";
        break;
    case 61:
        f.text = "brake latched: time check, " + shortNumber(before_.type60Clock / 1000.0) +
                 " s since the type 60 (or the power-on), more than the " +
                 shortNumber(t.optional / 1000.0) + " s allowed";
        break;
    default:
        f.text = "brake latched: the cut-out watch, a type 50/55 with optional 0 while the "
                 "unit is cut out";
        break;
    }
    emit(std::move(f));
}

void UnitExplainer::explainSlots(const CVantor& unit, const Transponder* cause, const char* why) {
    for (int i = 0; i < kSlotCount; ++i) {
        const uint32_t was = before_.slotValue[i];
        const uint32_t now = unit.slotValue[i];
        if (now != 0 && (now != was || unit.slotDistance[i] != before_.slotDistance[i])) {
            slotSet(unit, i, cause);
        } else if (now == 0 && was != 0) {
            slotReleased(unit, i, was, cause, why);
        }
    }
}

void UnitExplainer::slotSet(const CVantor& unit, int slot, const Transponder* cause) {
    const uint32_t value = unit.slotValue[slot];
    const double ahead = unit.slotDistance[slot];
    const Setup setup = setupInSlot(unit, slot, value);
    // Where the unit puts the point: the distance it was given, from where it counts it; or
    // where it put it on the run the report gives the points of.
    const std::optional<double> known = book_ ? book_->find(cause, setup, slot) : std::nullopt;
    const double here = known.value_or(origin_ + ahead);
    point_[slot] = here;
    setBy_[slot] = cause;
    setup_[slot] = setup;
    UnitFact f = fact(FactKind::StopCurve, cause);
    f.slot = slot;
    f.setup = setup;
    f.stopDistance = ahead;
    f.point = point_[slot];
    const std::string away = ", " + shortNumber(ahead) + " m ahead";
    switch (setup) {
    case Setup::ApproachCurve:
        f.speedLimit = curves::kStopPointFloor;
        f.text = setupText(setup, slot, f.point, *f.speedLimit) + away;
        break;
    case Setup::NearStopPoint:
        f.text = setupText(setup, slot, f.point, 0.0) + away +
                 ": a stop curve aims at it rather than at its own stop point";
        break;
    case Setup::Hold: {
        // A held curve allows 15 km/h from here, whatever its distance.
        point_[slot] = known.value_or(origin_);
        f.kind = FactKind::FixedCheck;
        f.point = point_[slot];
        f.speedLimit = curves::kFixedStopLimit;
        f.stopDistance.reset();
        const std::string hold = setupText(setup, slot, f.point, *f.speedLimit);
        f.text = value == 2 ? hold + ": a type 1 at danger holds the train to 15 km/h " +
                                  holdLasts(slot)
                            : hold + ", in place of the " +
                                  setupText(Setup::StopCurve, slot, origin_ + ahead, 0.0) + away +
                                  ": an earlier type 1 at danger holds every stop curve of this "
                                  "pair to 15 km/h " +
                                  kUntilReset;
        break;
    }
    case Setup::StopCurve: {
        f.speedLimit = curves::kStopFloor;
        const Selection& selection = slot == kSecondaryStopSlot ? secondary_ : primary_;
        std::string reason;
        if (slot == kPrimaryStopSlot && unit.slotValue[kStopPointSlot] != 0) {
            point_[slot] = point_[kStopPointSlot];
            f.point = point_[slot];
            reason = "it aims at the " + setupName(Setup::NearStopPoint) + " rather than " +
                     shortNumber(ahead) + " m ahead";
        } else if (selection.by != nullptr) {
            f.pickedBy = selection.by;
            reason = shortNumber(ahead) + " m picked by the type 0 at " +
                     metres(selection.by->position) + ", " + spacing(selection.spacing) +
                     " after the stop transponder";
        } else {
            reason = shortNumber(ahead) + " m, as no distance code picked another";
        }
        f.text = setupText(setup, slot, f.point, *f.speedLimit) +
                 (f.point == here ? away : std::string()) + ", " + shortNumber(*f.speedLimit) +
                 " km/h floor: " + reason;
        break;
    }
    case Setup::Restriction: {
        int code = 0;
        bool first = true;
        restrictionPlace(slot, code, first);
        f.kind = FactKind::Restriction;
        f.speedLimit = value;
        f.spacing = before_.distanceSinceCoil;
        f.text = setupText(setup, slot, f.point, value) + away + ", " +
                 (first ? "first" : "second") + " place of the code-" + std::to_string(code) +
                 " pairs; measured spacing " + spacing(*f.spacing);
        break;
    }
    case Setup::FixedCheck:
    case Setup::OverspeedBrake: {
        // A fixed check holds from where the unit takes it; it has no distance.
        point_[slot] = position_;
        f.kind = FactKind::FixedCheck;
        f.point = position_;
        f.stopDistance.reset();
        f.spacing = before_.distanceSinceCoil;
        const double limit = fixedCheckSpeed(unit, slot, value);
        limit_[slot] = limit;
        f.speedLimit = limit;
        f.text = setupText(Setup::FixedCheck, slot, f.point, limit) + " (warning from " +
                 shortNumber(limit - curves::kFixedCheckWarningMargin) +
                 " km/h); measured spacing " + spacing(*f.spacing);
        break;
    }
    }
    emit(std::move(f));
}

std::string UnitExplainer::named(int slot, Setup setup, uint32_t value) const {
    switch (setup) {
    case Setup::ApproachCurve:
        return setupText(setup, slot, point_[slot], curves::kStopPointFloor);
    case Setup::Hold:
        return setupText(setup, slot, point_[slot], curves::kFixedStopLimit);
    case Setup::Restriction:
        return setupText(setup, slot, point_[slot], value);
    case Setup::FixedCheck:
        return setupText(setup, slot, point_[slot], limit_[slot]);
    default:
        return setupText(setup, slot, point_[slot], 0.0);
    }
}

void UnitExplainer::slotReleased(const CVantor& unit, int slot, uint32_t value,
                                 const Transponder* cause, const char* why) {
    const Setup setup = setup_[slot];
    UnitFact f = fact(FactKind::Released, cause);
    f.slot = slot;
    f.setup = setup;
    f.setBy = setBy_[slot];
    // Curves and restrictions have a point the train may yet have to reach.
    if (setup == Setup::StopCurve || setup == Setup::ApproachCurve || setup == Setup::Restriction) {
        f.point = point_[slot];
    }
    if (setup == Setup::Restriction) {
        f.speedLimit = value;
    }
    f.beforeReached = f.point && position_ < *f.point;
    f.text = named(slot, setup, value);
    if (setup == Setup::Hold && slot == kSecondaryStopSlot && unit.slot4FixedLimit) {
        f.text += ": its stop pair is released, but the hold stays " +
                  std::string(holdLasts(kSecondaryStopSlot));
    } else {
        f.text += " released";
    }
    if (f.beforeReached) {
        f.text += " before the train reached it";
    }
    if (why != nullptr) {
        f.text += std::string(" (") + why + ")";
    }
    if (setup == Setup::Hold && slot == kPrimaryStopSlot && unit.slot1FixedLimit) {
        f.text += std::string("; a stop curve set later is held to 15 km/h ") + kUntilReset;
    }
    setBy_[slot] = nullptr;
    emit(std::move(f));
}

void UnitExplainer::explainEmergency(const CVantor& unit) {
    UnitFact f = fact(FactKind::EmergencyBrake, nullptr);
    if (unit.rollbackTime >= supervision::kRollbackTime &&
        *unit.speed <= supervision::kRollbackSpeed) {
        f.text = "emergency brake: rolling back at 7 km/h or more for 3 s";
        emit(std::move(f));
        return;
    }
    // The slot whose brake pattern is the lowest, the first of equals as the unit takes it.
    int lowest = 0;
    for (int i = 1; i < kSlotCount; ++i) {
        const double here = unit.slotPatternSpeed[i];
        const double best = unit.slotPatternSpeed[lowest];
        if (!std::isnan(here) && (std::isnan(best) || here < best)) {
            lowest = i;
        }
    }
    f.slot = lowest;
    f.speedLimit = unit.lowestPatternSpeed;
    // The 89 m stop point's own pattern is the overspeed brake; it acts through slot 1.
    const Setup setup = lowest == kStopPointSlot
                            ? Setup::OverspeedBrake
                            : setupInSlot(unit, lowest, unit.slotValue[lowest]);
    const std::string what = setup == Setup::OverspeedBrake
                                 ? setupName(setup)
                                 : named(lowest, setup, unit.slotValue[lowest]);
    f.setup = setup;
    f.text = "emergency brake: " + fixed(*unit.speed, 1) + " km/h reached the brake pattern of " +
             std::to_string(unit.lowestPatternSpeed) + " km/h of the " + what;
    emit(std::move(f));
}

} // namespace vantor::sim
