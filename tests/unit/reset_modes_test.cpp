// Every field that each reset mode writes, and every field it must leave alone.
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "unit_fixture.h"

namespace {

using vantor::CVantor;

constexpr double kKeep = std::numeric_limits<double>::quiet_NaN();

template <typename T> T dirtyValue() {
    if constexpr (std::is_same_v<T, bool>) {
        return true;
    } else if constexpr (std::is_floating_point_v<T>) {
        return T(7.5);
    } else {
        return T(7);
    }
}

// Every field a reset may touch, set to a value no mode writes.
void dirty(CVantor& u) {
#define DIRTY(field) u.field = dirtyValue<std::remove_cvref_t<decltype(u.field)>>();
    DIRTY(ackKeyCopy) DIRTY(releaseKeyCopy) DIRTY(alarmSounding) DIRTY(bellOn) DIRTY(cutOutArmed)
    DIRTY(alternationPhase) DIRTY(alarmRequest) DIRTY(startupEnded) DIRTY(alternationPeriod)
    DIRTY(startupDelay) DIRTY(bellStopSound) DIRTY(alternationSound21) DIRTY(alternationSound22)
    DIRTY(unitActive) DIRTY(slot1FixedLimit) DIRTY(slot4FixedLimit) DIRTY(holdOffActive)
    DIRTY(coilCutOut) DIRTY(stopInhibit) DIRTY(lowestPatternSpeed) DIRTY(holdOffUntil)
    DIRTY(coilCode) DIRTY(primaryStopSelect) DIRTY(secondaryStopSelect)
    DIRTY(secondaryStopPending) DIRTY(rollbackTime) DIRTY(distanceSinceCoil)
    DIRTY(patternStartSound) DIRTY(patternEndSound) DIRTY(warningSound) DIRTY(notchWarnEnabled)
    DIRTY(notchWarnActive) DIRTY(notchLeftZero) DIRTY(notchSound) DIRTY(powered)
    DIRTY(brakeLatch) DIRTY(initialised) DIRTY(powerSwitch) DIRTY(brakeAtEmergency)
    DIRTY(brakeAtAckNotch) DIRTY(ackKeyHeld) DIRTY(silenceKeyHeld) DIRTY(releaseKeyHeld)
    DIRTY(notchWarnInhibit) DIRTY(normalLamp) DIRTY(alarmLamp) DIRTY(bellSound)
    DIRTY(sound20Out) DIRTY(sound21Out) DIRTY(sound22Out) DIRTY(alarmLoopSound)
    DIRTY(cutOutSelected) DIRTY(holdOffKeyHeld) DIRTY(emergencyBrake) DIRTY(cutOut)
    DIRTY(patternLamp) DIRTY(warningLamp) DIRTY(holdOffLamp) DIRTY(emergencyLamp)
    DIRTY(spareLamp) DIRTY(speedDisplay) DIRTY(patternDisplay) DIRTY(displayMaxSpeed)
    DIRTY(displayResolution) DIRTY(deceleration) DIRTY(reactionTime) DIRTY(maxSpeed)
    DIRTY(sound10Out) DIRTY(sound12Out) DIRTY(sound11Out) DIRTY(sound13Out)
#undef DIRTY
    for (int i = 0; i < vantor::kTimerCount; ++i) {
        u.timer[i] = 7;
        u.prevTimer[i] = 7;
    }
    for (int i = 0; i < vantor::kSlotCount; ++i) {
        u.slotValue[i] = 7;
        u.slotPrevValue[i] = 7;
        u.slotDistance[i] = 7.5;
        u.slotPatternSpeed[i] = 7.5;
    }
}

struct Row {
    std::string field;
    std::function<double(const CVantor&)> read;
    double dirty;
    double expected[5];
};

#define ROW(field, m0, m1, m2, m3, m4)                                                           \
    Row {                                                                                        \
        #field, [](const CVantor& u) { return static_cast<double>(u.field); }, 7.0,              \
        { m0, m1, m2, m3, m4 }                                                                   \
    }

std::vector<Row> resetTable() {
    const double k = kKeep;
    const double stop = -10000;
    std::vector<Row> rows = {
        ROW(ackKeyCopy, 0, k, 0, k, 0), ROW(releaseKeyCopy, 0, k, 0, k, 0),
        ROW(cutOutArmed, 0, k, 0, k, 0), ROW(alarmSounding, 0, k, 0, k, 1),
        ROW(bellOn, 0, k, k, k, 1), ROW(alarmRequest, 0, k, k, k, 1),
        ROW(timer[0], 0, k, 0, k, 7), // mode 4 loads the start-up delay (dirty: 7)
        ROW(bellStopSound, stop, k, k, k, stop), ROW(alternationSound21, stop, k, stop, k, k),
        ROW(alternationSound22, stop, k, stop, k, k), ROW(unitActive, 1, k, 0, k, 1),
        ROW(slot1FixedLimit, 0, 0, 0, 0, 0), ROW(slot4FixedLimit, 0, 0, 0, 0, 0),
        ROW(holdOffActive, 0, 0, 0, 0, 0), ROW(stopInhibit, 0, 0, 0, 0, 0),
        ROW(coilCutOut, 0, 0, 0, k, 0), ROW(slotDistance[0], 9e8, 9e7, 9e7, 9e8, 9e8),
        ROW(slotDistance[16], 9e8, 9e7, 9e7, 9e8, 9e8),
        // Modes 3 and 4 take the maximum speed as it stands (dirty: 7.5).
        ROW(slotPatternSpeed[0], 135, 800, 800, 7.5, 7.5),
        ROW(slotPatternSpeed[16], 135, 800, 800, 7.5, 7.5),
        ROW(lowestPatternSpeed, 125, 8000000, 8000000, 7, 7), ROW(holdOffUntil, 0, 0, 0, 0, 0),
        ROW(coilCode, 0, 0, 0, 0, 0), ROW(primaryStopSelect, 0, 0, 0, 0, 0),
        ROW(secondaryStopSelect, 0, 0, 0, 0, 0), ROW(secondaryStopPending, 0, 0, 0, 0, 0),
        ROW(distanceSinceCoil, 0, 0, 0, 0, 0), ROW(patternStartSound, stop, stop, stop, stop, stop),
        ROW(patternEndSound, stop, stop, stop, stop, stop),
        ROW(warningSound, stop, stop, stop, stop, stop), ROW(sound10Out, stop, stop, stop, stop, stop),
        ROW(sound11Out, stop, stop, stop, stop, stop), ROW(sound12Out, stop, stop, stop, stop, stop),
        ROW(notchWarnEnabled, 1, k, k, k, k), ROW(notchWarnActive, 1, k, k, k, k),
        ROW(notchLeftZero, 0, k, k, k, k), ROW(notchSound, stop, k, k, k, k),
        ROW(sound13Out, stop, k, k, k, k), ROW(powered, 1, k, k, k, k),
        ROW(brakeLatch, 0, k, 0, k, 0), ROW(brakeAtEmergency, 0, k, 0, k, 0),
        ROW(brakeAtAckNotch, 0, k, 0, k, 0), ROW(initialised, 1, k, k, k, 1),
        ROW(ackKeyHeld, 0, k, k, k, k), ROW(silenceKeyHeld, 0, k, k, k, k),
        ROW(releaseKeyHeld, 0, k, k, k, k), ROW(normalLamp, 1, k, 0, k, 0),
        ROW(alarmLamp, 0, k, 0, k, 1), ROW(bellSound, stop, k, k, k, k),
        ROW(sound20Out, stop, k, k, k, stop), ROW(sound21Out, stop, k, stop, k, k),
        ROW(sound22Out, stop, k, stop, k, k), ROW(alarmLoopSound, stop, k, stop, k, k),
        ROW(cutOutSelected, 0, k, 0, k, 0), ROW(holdOffKeyHeld, 0, k, 0, k, 0),
        ROW(emergencyBrake, 0, 0, 0, k, 0), ROW(cutOut, 0, k, k, k, k),
        ROW(patternLamp, 0, 0, 0, 0, 0), ROW(warningLamp, 0, 0, 0, 0, 0),
        ROW(holdOffLamp, 0, 0, 0, 0, 0), ROW(emergencyLamp, 0, 0, 0, 0, 0),
        ROW(spareLamp, 0, 0, 0, 0, 0), ROW(speedDisplay, 0, 0, 0, 0, 0),
        ROW(patternDisplay, 0, 0, 0, 0, 0), ROW(displayMaxSpeed, 140, k, k, k, k),
        ROW(displayResolution, 60, k, k, k, k), ROW(deceleration, 2.5, k, k, k, k),
        ROW(reactionTime, 0, k, k, k, k), ROW(maxSpeed, 125, k, k, k, k),
        // No mode touches these.
        ROW(alternationPhase, k, k, k, k, k), ROW(startupEnded, k, k, k, k, k),
        ROW(rollbackTime, k, k, k, k, k), ROW(powerSwitch, k, k, k, k, k),
        ROW(notchWarnInhibit, k, k, k, k, k),
    };
    for (int i = 0; i < vantor::kTimerCount; ++i) {
        if (i != vantor::kStartupTimer) {
            rows.push_back(Row{"timer[" + std::to_string(i) + "]",
                               [i](const CVantor& u) { return double(u.timer[i]); }, 7.0,
                               {0, k, 0, k, 0}});
        }
        rows.push_back(Row{"prevTimer[" + std::to_string(i) + "]",
                           [i](const CVantor& u) { return double(u.prevTimer[i]); }, 7.0,
                           {0, k, 0, k, 0}});
    }
    for (int i = 0; i < vantor::kSlotCount; ++i) {
        rows.push_back(Row{"slotValue[" + std::to_string(i) + "]",
                           [i](const CVantor& u) { return double(u.slotValue[i]); }, 7.0,
                           {0, 0, 0, 0, 0}});
        rows.push_back(Row{"slotPrevValue[" + std::to_string(i) + "]",
                           [i](const CVantor& u) { return double(u.slotPrevValue[i]); }, 7.0,
                           {0, 0, 0, 0, 0}});
    }
    return rows;
}

// A mode outside the table changes nothing.
TEST(ResetModes, EachModeWritesItsColumnAndLeavesTheRest) {
    for (uint32_t mode : {0u, 1u, 2u, 3u, 4u, 5u, 0xFFFFFFFFu}) {
        for (const Row& row : resetTable()) {
            CVantor unit{};
            dirty(unit);
            const double before = row.read(unit);
            unit.reset(mode);
            const double cell = mode <= 4 ? row.expected[mode] : kKeep;
            EXPECT_DOUBLE_EQ(row.read(unit), std::isnan(cell) ? before : cell)
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

TEST(RandomPeriods, DrawnInTheirRangesAndRepeatableWithinASecond) {
    for (int seconds = 0; seconds <= 60; ++seconds) {
        CVantor first{};
        CVantor second{};
        first.drawRandomPeriods(seconds);
        second.drawRandomPeriods(seconds);
        EXPECT_GE(first.alternationPeriod, 250);
        EXPECT_LE(first.alternationPeriod, 349);
        EXPECT_GE(first.startupDelay, 500);
        EXPECT_LE(first.startupDelay, 799);
        EXPECT_EQ(first.alternationPeriod, second.alternationPeriod);
        EXPECT_EQ(first.startupDelay, second.startupDelay);
    }
}

} // namespace
