// The unit's own reading of the line before the run: a unit of this build, just switched on, is
// passed over every transponder at its place on the line, the spacings exactly as laid, every
// linked signal at danger. What its record holds before and after each transponder tells the
// route checks what the layout sets up, whatever the driver and the frames later do.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "scenario/scenario.h"
#include "unit/vantor.h"

namespace vantor::sim {

// The part of the unit's record that the layout decides.
struct LayoutRecord {
    uint32_t coilCode = 0;
    double distanceSinceCoil = 0.0; // m
    std::array<uint32_t, kSlotCount> slotValue{};
    std::array<double, kSlotCount> slotDistance{}; // m ahead of the train
    uint32_t primaryStopSelect = 0;
    uint32_t secondaryStopSelect = 0;
    bool slot4FixedLimit = false;
    bool unitActive = false;

    // Whether a transponder wrote the slot between this record and the later one.
    bool slotWritten(const LayoutRecord& later, int slot) const {
        return later.slotValue[slot] != slotValue[slot] ||
               later.slotDistance[slot] != slotDistance[slot];
    }
};

struct LayoutStep {
    const Transponder* transponder = nullptr;
    LayoutRecord before; // as the train reaches it
    LayoutRecord after;  // once passed, reporting danger when linked to a signal
    LayoutRecord clear;  // had its signal shown clear; as after when it is linked to none
    // The coil or type 50/55 that left the coil state this one finds, if one did.
    const Transponder* coilStateBy = nullptr;
};

struct LayoutReading {
    std::vector<LayoutStep> steps; // the transponders the train passes, in order
    LayoutRecord end;              // at the end of the line, or 1000 m past the last one
};

LayoutReading readLayout(const Scenario& scenario);

} // namespace vantor::sim
