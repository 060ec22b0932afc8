// Reads the bench's own unit before and after each call and tells, as facts, what the call set
// up or cleared and why: which stop distance a stop curve took, which place a restriction took,
// what spacing a coil pair measured, why a stop pair set no curve.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "host/point_book.h"
#include "host/unit_facts.h"
#include "host/unit_names.h"
#include "unit/vantor.h"

namespace vantor::sim {

class UnitExplainer {
  public:
    using Emit = std::function<void(const UnitFact&)>;
    explicit UnitExplainer(Emit emit) : emit_(std::move(emit)) {}

    // Time, place and speed of the train for the facts that follow; origin is the front's
    // position at the last frame, from which the unit counts the distances it is given.
    void setPlace(double time, double position, float speed, double origin);
    // Points another run of the line put: the same transponder's are given at those places.
    void usePoints(const PointBook* book) { book_ = book; }

    void beforeCall(const CVantor& unit);
    // signal: the value the transponder reported (its own, or its linked signal's aspect).
    void afterBeacon(const CVantor& unit, const Transponder& transponder, int32_t signal);
    void afterKey(const CVantor& unit);
    // Cheap unless a slot or the coil state changed in the frame.
    void afterFrame(const CVantor& unit);

  private:
    struct Snapshot {
        std::array<uint32_t, kSlotCount> slotValue{};
        std::array<double, kSlotCount> slotDistance{};
        uint32_t coilCode = 0;
        double distanceSinceCoil = 0.0;
        uint32_t primaryStopSelect = 0;
        uint32_t secondaryStopSelect = 0;
        uint32_t secondaryStopPending = 0;
        bool stopInhibit = false;
        bool cutOutArmed = false;
        bool coilCutOut = false;
        bool cutOut = false;
        bool unitActive = false;
        bool powered = false;
        bool brakeLatch = false;
        bool holdOffActive = false;
        int32_t type60Clock = 0;
    };
    // Where a stop distance was picked: the type 0 and the spacing it measured.
    struct Selection {
        const Transponder* by = nullptr;
        double spacing = 0.0;
    };

    static Snapshot take(const CVantor& unit);
    UnitFact fact(FactKind kind, const Transponder* cause) const;
    void emit(UnitFact fact);

    void remember(const CVantor& unit);
    // The openers of coil states that have ended.
    void forgetOpeners(const CVantor& unit);
    void explainCoil(const CVantor& unit, const Transponder& t);
    void explainType0(const CVantor& unit, const Transponder& t);
    void explainType50(const CVantor& unit, const Transponder& t);
    void explainLatch(const CVantor& unit, const Transponder& t);
    // Slots set or cleared since the snapshot; why: text for clearings no transponder made.
    void explainSlots(const CVantor& unit, const Transponder* cause, const char* why);
    void slotSet(const CVantor& unit, int slot, const Transponder* cause);
    void slotReleased(const CVantor& unit, int slot, uint32_t value, const Transponder* cause,
                      const char* why);
    void explainEmergency(const CVantor& unit);
    // What a slot holds, in the words of every report, with its point.
    std::string named(int slot, Setup setup, uint32_t value) const;

    Emit emit_;
    const PointBook* book_ = nullptr;
    double time_ = 0.0;
    double position_ = 0.0;
    float speed_ = 0.0f;
    double origin_ = 0.0;
    Snapshot before_;
    int32_t reportedSignal_ = 0; // what the transponder being explained reported
    // What the last call left: the frame check compares only these.
    std::array<uint32_t, kSlotCount> lastValues_{};
    uint32_t lastCoilCode_ = 0;
    bool lastEmergency_ = false;
    // Per slot: where its point lies on the line, what set it, what it holds and, for a fixed
    // check, at what speed (km/h).
    std::array<double, kSlotCount> point_{};
    std::array<const Transponder*, kSlotCount> setBy_{};
    std::array<Setup, kSlotCount> setup_{};
    std::array<double, kSlotCount> limit_{};
    Selection primary_;
    Selection secondary_;
    // A stop transponder that began a stop pair and set no curve, and a code-90 coil that
    // began a coil pair: their coil state running out is worth a word.
    const Transponder* pairOpener_ = nullptr;
    const Transponder* coilOpener_ = nullptr;
};

} // namespace vantor::sim
