// The per-frame pattern supervision: chimes, lamps, fixed checks, rollback and the cut-out.
// Overspeed, the stop-pattern onsets, the rollback time, the hold-off and the undone release
// are shown through the loaded library.
#include <limits>

#include "unit_fixture.h"

namespace {

using vantor::kSoundContinue;
using vantor::kSoundOnce;
using vantor::testing::UnitTest;

class PatternSupervision : public UnitTest {
  protected:
    void SetUp() override {
        UnitTest::SetUp();
        frame(16, 0.0f); // settle the first frame's stop commands
    }
};

TEST_F(PatternSupervision, ChimesRingOncePerPatternStartAndEnd) {
    unit.slotValue[5] = 100;
    unit.slotDistance[5] = 555.0;
    unit.slotValue[9] = 75;
    unit.slotDistance[9] = 555.0;
    frame(16, 50.0f);
    EXPECT_EQ(unit.patternLamp, 1);
    EXPECT_EQ(unit.sound10Out, kSoundOnce) << "two slots, one chime";
    frame(16, 50.0f);
    EXPECT_EQ(unit.sound10Out, kSoundContinue);

    unit.slotValue[5] = 0;
    frame(16, 50.0f);
    EXPECT_EQ(unit.patternLamp, 1);
    EXPECT_EQ(unit.sound12Out, kSoundContinue);

    unit.slotValue[9] = 0;
    frame(16, 50.0f);
    EXPECT_EQ(unit.patternLamp, 0);
    EXPECT_EQ(unit.sound12Out, kSoundOnce);
    frame(16, 50.0f);
    EXPECT_EQ(unit.sound12Out, kSoundContinue);
}

TEST_F(PatternSupervision, RollbackFromMinusSevenUnlessTheReverserIsBackwards) {
    const auto rollback = [&](float kmh) {
        for (int pass = 0; pass < 40; ++pass) {
            frame(100, kmh);
        }
    };
    reverser = 0;
    frame(100, -7.0f);
    EXPECT_EQ(unit.rollbackTime, 100) << "-7 km/h itself is rolling back";
    rollback(-6.9f);
    EXPECT_EQ(unit.rollbackTime, 0);
    reverser = -1;
    rollback(-8.0f);
    EXPECT_EQ(unit.rollbackTime, 0);
    EXPECT_FALSE(unit.emergencyBrake);
}

TEST_F(PatternSupervision, RollbackTimeHoldsAtTheTopOnAHugeFrame) {
    unit.rollbackTime = 2999;
    currentTime = -2000000000; // so that the host time stays in range and no hold-off applies
    unit.holdOffUntil = std::numeric_limits<int32_t>::min();
    frame(std::numeric_limits<int32_t>::max(), -8.0f);
    EXPECT_EQ(unit.rollbackTime, std::numeric_limits<int32_t>::max());
    frame(100, -8.0f);
    EXPECT_TRUE(unit.emergencyBrake) << "the rollback check goes on";
}

TEST_F(PatternSupervision, FixedChecksWarnAndBrake) {
    struct Case {
        int slot;
        uint32_t value;
        float warnAt;
        float brakeAt;
    };
    for (const Case& c :
         {Case{13, 1, 25.0f, 30.0f}, Case{13, 2, 45.0f, 50.0f}, Case{14, 1, 20.0f, 25.0f}}) {
        SetUp();
        unit.slotValue[c.slot] = c.value;
        frame(0, c.warnAt - 0.01f);
        EXPECT_EQ(unit.warningLamp, 0) << c.slot << "/" << c.value;
        frame(0, c.warnAt);
        EXPECT_EQ(unit.warningLamp, 1) << c.slot << "/" << c.value;
        frame(0, c.brakeAt - 0.01f);
        EXPECT_FALSE(unit.emergencyBrake) << c.slot << "/" << c.value;
        frame(0, c.brakeAt);
        EXPECT_TRUE(unit.emergencyBrake) << c.slot << "/" << c.value;
    }
    SetUp();
    unit.slotValue[14] = 2;
    frame(0, 24.0f);
    EXPECT_EQ(unit.warningLamp, 0) << "value 2 brakes at 25 but does not warn";
    frame(0, 25.0f);
    EXPECT_TRUE(unit.emergencyBrake);
}

TEST_F(PatternSupervision, FixedStopRearmsFromTheWarningProjection) {
    unit.slot1FixedLimit = true;
    unit.slotValue[1] = 2;
    unit.slotDistance[1] = -59.0;
    frame(0, 12.0f); // projection 20 m: -79 m
    EXPECT_EQ(unit.slotValue[1], 2u);
    unit.slotDistance[1] = -60.5;
    frame(0, 12.0f);
    EXPECT_EQ(unit.slotValue[1], 0u);
    EXPECT_EQ(unit.patternLamp, 1) << "the re-arm is seen by the next pass";
    frame(0, 12.0f);
    EXPECT_EQ(unit.patternLamp, 0);
    EXPECT_EQ(unit.sound12Out, kSoundOnce);
}

TEST_F(PatternSupervision, CutOutUnitShowsNoPatternAndStopsPatternSounds) {
    unit.cutOutSelected = true;
    unit.slotValue[5] = 100;
    frame(16, 140.0f);
    EXPECT_EQ(unit.patternDisplay, 999);
    EXPECT_FALSE(unit.emergencyBrake);
    EXPECT_EQ(unit.sound10Out, vantor::kSoundStop);
    EXPECT_EQ(unit.sound11Out, vantor::kSoundStop);
    EXPECT_EQ(unit.sound12Out, vantor::kSoundStop);
    EXPECT_EQ(unit.speedDisplay, 60) << "the alarm side still works";
}

} // namespace
