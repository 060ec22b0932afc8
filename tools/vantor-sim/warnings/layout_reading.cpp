#include "warnings/layout_reading.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace vantor::sim {

namespace {

// km/h: the unit takes no transponder at a stand; slow enough that the run-on it adds to its
// warning patterns is a few centimetres.
constexpr float kCrawl = 1.0f;
// m past the last transponder that the reading runs on where the line has no end: further than
// a stop curve reaches, so that what releases itself past its point has done so.
constexpr double kRunOn = 1000.0;

// The values the unit reads from the host between calls.
struct HostValues {
    int32_t time = 1;      // ms: past the end of the hold-off, which a unit switched on holds at 0
    int32_t frameStep = 0; // ms
    float speed = kCrawl;  // km/h
    int32_t powerNotch = 0;
    int32_t reverser = 1;
};

LayoutRecord take(const CVantor& unit) {
    LayoutRecord r;
    r.coilCode = unit.coilCode;
    r.distanceSinceCoil = unit.distanceSinceCoil;
    std::memcpy(r.slotValue.data(), unit.slotValue, sizeof unit.slotValue);
    std::memcpy(r.slotDistance.data(), unit.slotDistance, sizeof unit.slotDistance);
    r.primaryStopSelect = unit.primaryStopSelect;
    r.secondaryStopSelect = unit.secondaryStopSelect;
    r.slot4FixedLimit = unit.slot4FixedLimit;
    r.unitActive = unit.unitActive;
    return r;
}

bool setsCoilState(const Transponder& t) {
    return t.type == 70 || t.type == 50 || t.type == 55;
}

} // namespace

LayoutReading readLayout(const Scenario& scenario) {
    HostValues host;
    // Held apart from the run's own units; value-initialised, as the library's unit is at load.
    auto unit = std::make_unique<CVantor>();
    unit->attachHostValues(&host.time, &host.frameStep, &host.speed, &host.powerNotch,
                           &host.reverser);
    // Switched on, not started: the start of a run draws the unit's random periods, which are
    // the run's own.
    unit->reset(kResetPowerOn);
    unit->powerSwitch = true;
    unit->runFrame();

    LayoutReading reading;
    double at = scenario.run.startPosition;
    const Transponder* coilStateBy = nullptr;
    for (const Transponder& t : scenario.transponders) {
        if (t.position < scenario.run.startPosition ||
            (scenario.routeLength > 0.0 && t.position > scenario.routeLength)) {
            continue;
        }
        unit->supervisePatterns(t.position - at);
        at = t.position;
        LayoutStep step;
        step.transponder = &t;
        step.before = take(*unit);
        step.coilStateBy = step.before.coilCode != 0 ? coilStateBy : nullptr;
        if (t.linkedSignal) {
            const CVantor passed = *unit;
            unit->dispatchBeacon(t.type, scenario.signals[*t.linkedSignal].clear, t.optional);
            step.clear = take(*unit);
            *unit = passed;
            unit->dispatchBeacon(t.type, 0, t.optional);
            step.after = take(*unit);
        } else {
            unit->dispatchBeacon(t.type, t.signal, t.optional);
            step.after = take(*unit);
            step.clear = step.after;
        }
        if (setsCoilState(t) && step.after.distanceSinceCoil == 0.0) {
            coilStateBy = &t;
        }
        reading.steps.push_back(step);
    }
    const double end = scenario.routeLength > 0.0 ? scenario.routeLength : at + kRunOn;
    unit->supervisePatterns(std::max(0.0, end - at));
    reading.end = take(*unit);
    return reading;
}

} // namespace vantor::sim
