// Timed transponders: the section clock of types 60 and 61 and the window of type 65.
#include <limits>
#include <string>

#include "unit_fixture.h"

namespace {

using vantor::kConfirmTimer;
using vantor::kType60Clock;
using vantor::kType65Timer;
using vantor::testing::UnitTest;

constexpr double kReleased = 900000.0;
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

class TimedTransponders : public UnitTest {
  protected:
    void SetUp() override {
        UnitTest::SetUp();
        frame(16, 40.0f);
    }
    // Stop pairs, slot 13 and a coil state, so that a release shows.
    void occupy() {
        for (int slot : {0, 1, 3, 4, 13}) {
            unit.slotValue[slot] = 1;
            unit.slotDistance[slot] = 300.0;
        }
        unit.coilCode = 90;
    }
    bool released() const {
        return unit.slotValue[0] == 0 && unit.slotDistance[0] == kReleased &&
               unit.slotValue[1] == 0 && unit.slotDistance[1] == kReleased &&
               unit.slotValue[13] == 0 && unit.slotDistance[13] == kReleased && unit.coilCode == 0;
    }
    bool untouched() const {
        return unit.slotValue[0] == 1 && unit.slotValue[1] == 1 && unit.slotValue[13] == 1 &&
               unit.coilCode == 90;
    }
};

TEST_F(TimedTransponders, SectionCheckAgainstTheClockOfTypeSixty) {
    struct Case {
        int32_t elapsed; // ms run since the type-60 transponder
        int32_t limit;
        int32_t signal;
        bool holdOffKey;
        bool latch;
        bool release;
    };
    const Case cases[] = {
        {3000, 2999, 0, false, true, true},  {3000, 2999, 0, true, false, true},
        {3000, 2999, 5, false, false, true}, {3000, 3000, 5, false, false, false},
        {3000, 3000, 0, false, false, true}, {3000, 10000, -1, false, false, false},
        {3000, 10000, 0, true, false, true}, {0, -1, 0, false, true, true},
        {0, kMin, 5, false, false, true},    {3000, kMax, 0, false, false, true},
    };
    for (const Case& c : cases) {
        SetUp();
        unit.onBeacon60();
        for (int32_t left = c.elapsed; left > 0; left -= 1000) {
            frame(left < 1000 ? left : 1000, 40.0f);
        }
        ASSERT_EQ(unit.timer[kType60Clock], c.elapsed);
        occupy();
        unit.holdOffKeyHeld = c.holdOffKey;
        unit.onBeacon61(c.signal, c.limit);
        const std::string what = std::to_string(c.elapsed) + " ms against " +
                                 std::to_string(c.limit) + ", signal " + std::to_string(c.signal) +
                                 ", key " + std::to_string(c.holdOffKey);
        EXPECT_EQ(unit.brakeLatch, c.latch) << what;
        EXPECT_TRUE(c.release ? released() : untouched()) << what;
    }
}

TEST_F(TimedTransponders, SectionCheckReleasesThePairOfTheCoilState) {
    occupy();
    unit.coilCode = 95;
    unit.onBeacon61(0, 1000);
    EXPECT_EQ(unit.slotValue[3], 0u);
    EXPECT_EQ(unit.slotValue[4], 0u);
    EXPECT_EQ(unit.slotValue[0], 1u);
    EXPECT_EQ(unit.slotValue[13], 0u);
    EXPECT_EQ(unit.coilCode, 0u);
}

TEST_F(TimedTransponders, WithoutTypeSixtyTheClockRunsFromPowerOn) {
    unit.timer[kType60Clock] = 90000;
    unit.powerSwitch = false;
    frame(16, 40.0f);
    unit.powerSwitch = true;
    frame(16, 40.0f); // powered on: the clock starts again
    frame(1000, 40.0f);
    EXPECT_EQ(unit.timer[kType60Clock], 1000);
    unit.onBeacon61(0, 1500);
    EXPECT_FALSE(unit.brakeLatch);
}

// One enormous frame cannot turn the clock negative and so pass a late train.
TEST_F(TimedTransponders, SectionClockHoldsAtItsTop) {
    unit.timer[kType60Clock] = kMax - 10;
    frame(2000000000, 40.0f);
    EXPECT_EQ(unit.timer[kType60Clock], kMax);
    frame(1000, 40.0f);
    EXPECT_EQ(unit.timer[kType60Clock], kMax);
    EXPECT_EQ(unit.prevTimer[kType60Clock], kMax);

    for (int32_t limit : {kMin, -1, 0, 60000, kMax - 1}) {
        occupy();
        unit.brakeLatch = false;
        unit.onBeacon61(0, limit);
        EXPECT_TRUE(unit.brakeLatch) << limit;
        EXPECT_TRUE(released()) << limit;
    }
    unit.onBeacon60();
    EXPECT_EQ(unit.timer[kType60Clock], 0);
}

TEST_F(TimedTransponders, AlarmWindowOfTypeSixtyFive) {
    unit.onBeacon65(300);
    EXPECT_EQ(unit.timer[kType65Timer], 300);
    frame(200, 40.0f);
    unit.onBeacon0(1, 1);
    EXPECT_TRUE(unit.alarmRequest) << "100 ms left";
    EXPECT_EQ(unit.timer[kConfirmTimer], 5000);

    SetUp();
    unit.onBeacon65(300);
    frame(300, 40.0f);
    unit.onBeacon0(1, 1);
    EXPECT_FALSE(unit.alarmRequest) << "the window has closed";
}

// A negative window is closed and stopped at 0 by the next frame, even one of 0 ms; the most
// negative time must not wrap round to a long-open window in the countdown.
TEST_F(TimedTransponders, NegativeTimeClosesTheWindowAndStopsAtTheNextFrame) {
    unit.onBeacon65(-20);
    EXPECT_EQ(unit.timer[kType65Timer], -20);
    unit.onBeacon0(1, 1);
    EXPECT_FALSE(unit.alarmRequest);
    frame(0, 40.0f);
    EXPECT_EQ(unit.timer[kType65Timer], 0);

    unit.onBeacon65(kMin);
    frame(16, 40.0f);
    EXPECT_EQ(unit.timer[kType65Timer], 0);
    unit.onBeacon0(3, 9);
    EXPECT_FALSE(unit.alarmRequest);
    EXPECT_EQ(unit.timer[kConfirmTimer], 0);
    unit.onBeacon1(3, 1);
    EXPECT_FALSE(unit.brakeLatch) << "type 1 sees the window closed too";
}

} // namespace
