// Every field that each reset mode writes, and every field it must leave alone.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "unit/vantor.h"

namespace {

using vantor::CVantor;

constexpr double kKeep = std::numeric_limits<double>::quiet_NaN();
using Column = std::array<double, 5>; // after modes 0 to 4; kKeep where a mode leaves the field

// One field of the record: read as a number, and set to a value that no mode writes (7, 7.5 or
// true).
struct Row {
    std::string field;
    std::function<double(const CVantor&)> read;
    std::function<void(CVantor&)> dirty;
    Column expected;
};

template <typename T> void makeDirty(T& field) {
    field = static_cast<T>(7.5);
}

// clang-format off
#define ROW(field, ...)                                                                  \
    Row{#field, [](const CVantor& u) { return static_cast<double>(u.field); },          \
        [](CVantor& u) { makeDirty(u.field); }, Column{__VA_ARGS__}}
// clang-format on

// A row for each element of an array field.
template <typename T, size_t N>
void addElements(std::vector<Row>& rows, const char* name, T (CVantor::*array)[N],
                 const Column& expected) {
    for (size_t i = 0; i < N; ++i) {
        rows.push_back(Row{std::string(name) + "[" + std::to_string(i) + "]",
                           [=](const CVantor& u) { return static_cast<double>((u.*array)[i]); },
                           [=](CVantor& u) { makeDirty((u.*array)[i]); }, expected});
    }
}

std::vector<Row> resetTable() {
    const double k = kKeep;
    const double stop = -10000;
    // clang-format off
    std::vector<Row> rows = {
        ROW(ackKeyCopy, 0, k, 0, k, 0), ROW(releaseKeyCopy, 0, k, 0, k, 0),
        ROW(cutOutArmed, 0, k, 0, k, 0), ROW(alarmSounding, 0, k, 0, k, 1),
        ROW(bellOn, 0, k, k, k, 1), ROW(alarmRequest, 0, k, k, k, 1),
        ROW(bellStopSound, stop, k, k, k, stop), ROW(alternationSound21, stop, k, stop, k, k),
        ROW(alternationSound22, stop, k, stop, k, k), ROW(unitActive, 1, k, 0, k, 1),
        ROW(slot1FixedLimit, 0, 0, 0, 0, 0), ROW(slot4FixedLimit, 0, 0, 0, 0, 0),
        ROW(holdOffActive, 0, 0, 0, 0, 0), ROW(stopInhibit, 0, 0, 0, 0, 0),
        ROW(coilCutOut, 0, 0, 0, k, 0),
        // Modes 3 and 4 take the maximum speed as it stands (dirty: 7.5).
        ROW(lowestPatternSpeed, 125, 8000000, 8000000, 7, 7), ROW(holdOffUntil, 0, 0, 0, 0, 0),
        ROW(coilCode, 0, 0, 0, 0, 0), ROW(primaryStopSelect, 0, 0, 0, 0, 0),
        ROW(secondaryStopSelect, 0, 0, 0, 0, 0), ROW(secondaryStopPending, 0, 0, 0, 0, 0),
        ROW(distanceSinceCoil, 0, 0, 0, 0, 0), ROW(patternStartSound, stop, stop, stop, stop, stop),
        ROW(patternEndSound, stop, stop, stop, stop, stop),
        ROW(warningSound, stop, stop, stop, stop, stop),
        ROW(sound10Out, stop, stop, stop, stop, stop),
        ROW(sound11Out, stop, stop, stop, stop, stop),
        ROW(sound12Out, stop, stop, stop, stop, stop), ROW(notchWarnEnabled, 1, k, k, k, k),
        ROW(notchWarnActive, 1, k, k, k, k), ROW(notchLeftZero, 0, k, k, k, k),
        ROW(notchSound, stop, k, k, k, k), ROW(sound13Out, stop, k, k, k, k),
        ROW(powered, 1, k, k, k, k), ROW(brakeLatch, 0, k, 0, k, 0),
        ROW(brakeAtEmergency, 0, k, 0, k, 0), ROW(brakeAtAckNotch, 0, k, 0, k, 0),
        ROW(initialised, 1, k, k, k, 1), ROW(ackKeyHeld, 0, k, k, k, k),
        ROW(silenceKeyHeld, 0, k, k, k, k), ROW(releaseKeyHeld, 0, k, k, k, k),
        ROW(normalLamp, 1, k, 0, k, 0), ROW(alarmLamp, 0, k, 0, k, 1),
        ROW(bellSound, stop, k, k, k, k), ROW(sound20Out, stop, k, k, k, stop),
        ROW(sound21Out, stop, k, stop, k, k), ROW(sound22Out, stop, k, stop, k, k),
        ROW(alarmLoopSound, stop, k, stop, k, k), ROW(cutOutSelected, 0, k, 0, k, 0),
        ROW(holdOffKeyHeld, 0, k, 0, k, 0), ROW(emergencyBrake, 0, 0, 0, k, 0),
        ROW(cutOut, 0, k, k, k, k), ROW(patternLamp, 0, 0, 0, 0, 0),
        ROW(warningLamp, 0, 0, 0, 0, 0), ROW(holdOffLamp, 0, 0, 0, 0, 0),
        ROW(emergencyLamp, 0, 0, 0, 0, 0), ROW(spareLamp, 0, 0, 0, 0, 0),
        ROW(speedDisplay, 0, 0, 0, 0, 0), ROW(patternDisplay, 0, 0, 0, 0, 0),
        ROW(displayMaxSpeed, 140, k, k, k, k), ROW(displayResolution, 60, k, k, k, k),
        ROW(deceleration, 2.5, k, k, k, k), ROW(reactionTime, 0, k, k, k, k),
        ROW(maxSpeed, 125, k, k, k, k),
        // No mode touches these.
        ROW(alternationPhase, k, k, k, k, k), ROW(startupEnded, k, k, k, k, k),
        ROW(rollbackTime, k, k, k, k, k), ROW(powerSwitch, k, k, k, k, k),
        ROW(notchWarnInhibit, k, k, k, k, k),
    };
    // clang-format on
    addElements(rows, "timer", &CVantor::timer, {0, k, 0, k, 0});
    rows[rows.size() - vantor::kTimerCount + vantor::kStartupTimer].expected[4] = 7;
    addElements(rows, "prevTimer", &CVantor::prevTimer, {0, k, 0, k, 0});
    addElements(rows, "slotValue", &CVantor::slotValue, {0, 0, 0, 0, 0});
    addElements(rows, "slotPrevValue", &CVantor::slotPrevValue, {0, 0, 0, 0, 0});
    addElements(rows, "slotDistance", &CVantor::slotDistance, {9e8, 9e7, 9e7, 9e8, 9e8});
    addElements(rows, "slotPatternSpeed", &CVantor::slotPatternSpeed, {135, 800, 800, 7.5, 7.5});
    return rows;
}

// A mode outside the table changes nothing. Mode 0 draws the random periods, shown below.
TEST(ResetModes, EachModeWritesItsColumnAndLeavesTheRest) {
    const std::vector<Row> rows = resetTable();
    for (uint32_t mode : {0u, 1u, 2u, 3u, 4u, 5u, 0xFFFFFFFFu}) {
        CVantor unit{};
        for (const Row& row : rows) {
            row.dirty(unit);
        }
        unit.startupDelay = 7; // what mode 4 loads into the start-up timer
        const CVantor before = unit;
        unit.reset(mode);
        for (const Row& row : rows) {
            const double cell = mode <= 4 ? row.expected[mode] : kKeep;
            EXPECT_DOUBLE_EQ(row.read(unit), std::isnan(cell) ? row.read(before) : cell)
                << "mode " << mode << ", " << row.field;
        }
    }
}

TEST(ResetModes, HugeMaximumSpeedTruncatesToTheTopOfTheRange) {
    CVantor unit{};
    unit.maxSpeed = 4294967296.0;
    unit.reset(vantor::kResetPowerOn);
    EXPECT_EQ(unit.lowestPatternSpeed, std::numeric_limits<int32_t>::max());
}

// Each period comes from the product of three draws of the C library's generator, seeded with
// the second of the local time; these are the periods that glibc's draws give.
TEST(RandomPeriods, DrawnFromTheGeneratorSeededWithTheSecond) {
    const int32_t table[][3] = {{2, 282, 678}, {8, 262, 617}, {59, 294, 620}};
    for (const auto& [seconds, alternationPeriod, startupDelay] : table) {
        CVantor unit{};
        unit.drawRandomPeriods(seconds);
        EXPECT_EQ(unit.alternationPeriod, alternationPeriod) << seconds;
        EXPECT_EQ(unit.startupDelay, startupDelay) << seconds;
    }
}

} // namespace
