// The per-frame pattern supervision: chimes, lamps, warnings, rollback, hold-off and the brake.
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

TEST_F(PatternSupervision, OverspeedWarnsAboveMaximumAndBrakesTenAbove) {
    frame(16, 125.0f);
    EXPECT_EQ(unit.warningLamp, 0);
    EXPECT_EQ(unit.sound11Out, kSoundContinue);

    frame(16, 125.01f);
    EXPECT_EQ(unit.warningLamp, 1);
    EXPECT_EQ(unit.sound11Out, kSoundOnce);
    frame(16, 134.9f);
    EXPECT_EQ(unit.sound11Out, kSoundContinue) << "the chime rings once";
    EXPECT_FALSE(unit.emergencyBrake);

    frame(16, 135.0f);
    EXPECT_TRUE(unit.emergencyBrake);
    EXPECT_EQ(unit.lowestPatternSpeed, 135);
    EXPECT_EQ(unit.patternDisplay, 57);
    EXPECT_EQ(unit.emergencyLamp, 1) << "lamp follows in the same pass";
}

TEST_F(PatternSupervision, StopPatternWarnsAndBrakesWithTheReactionRunOn) {
    unit.slotValue[1] = 1;
    unit.slotDistance[1] = 390.0;
    const auto check = [&](float kmh, bool warning, bool brake) {
        unit.emergencyBrake = false;
        unit.warningLamp = 0;
        frame(0, kmh); // no distance run: the slot stays at 390 m
        EXPECT_EQ(unit.warningLamp, warning ? 1 : 0) << kmh;
        EXPECT_EQ(unit.emergencyBrake, brake) << kmh;
        EXPECT_EQ(unit.lowestPatternSpeed, 81) << kmh;
    };
    check(60.0f, false, false); // warning pattern 72.25
    check(70.0f, true, false);  // warning pattern 70.14
    check(80.0f, true, false);  // brake pattern 81.36
    check(85.0f, true, true);   // brake pattern 81.21
}

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

TEST_F(PatternSupervision, CoilStateLastsTwentyFiveMetres) {
    unit.coilCode = 90;
    unit.distanceSinceCoil = 24.5;
    unit.supervisePatterns(0.5);
    EXPECT_DOUBLE_EQ(unit.distanceSinceCoil, 25.0);
    EXPECT_EQ(unit.coilCode, 90u);

    unit.distanceSinceCoil = 24.9;
    unit.supervisePatterns(0.2);
    EXPECT_DOUBLE_EQ(unit.distanceSinceCoil, 0.0);
    EXPECT_EQ(unit.coilCode, 0u);
}

TEST_F(PatternSupervision, RollbackBrakesOnTheThirtyFirstPass) {
    reverser = 0;
    for (int pass = 1; pass <= 30; ++pass) {
        frame(100, -8.0f);
        ASSERT_FALSE(unit.emergencyBrake) << pass;
    }
    EXPECT_EQ(unit.rollbackTime, 3000);
    frame(100, -8.0f);
    EXPECT_TRUE(unit.emergencyBrake);
}

TEST_F(PatternSupervision, RollbackNeedsSpeedReverserAndNoHoldOff) {
    const auto rollback = [&](float kmh) {
        for (int pass = 0; pass < 40; ++pass) {
            frame(100, kmh);
        }
    };
    reverser = 0;
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

TEST_F(PatternSupervision, HoldOffSuspendsTheBrakeFromTheSecondPassForSixtySeconds) {
    currentTime = 10000;
    unit.startHoldOff();
    EXPECT_EQ(unit.holdOffUntil, 70000);

    frame(100, 100.0f); // still under the earlier hold-off state
    EXPECT_EQ(unit.holdOffLamp, 0);
    while (currentTime < 70100) {
        frame(100, 140.0f);
        ASSERT_FALSE(unit.emergencyBrake) << currentTime;
        ASSERT_EQ(unit.holdOffLamp, 1) << currentTime;
    }
    frame(100, 140.0f); // the pass at 70100 ended the hold-off
    EXPECT_TRUE(unit.emergencyBrake);
    EXPECT_EQ(unit.holdOffLamp, 0);
}

TEST_F(PatternSupervision, ReleaseOverThePatternIsUndoneInTheSameFrame) {
    unit.brakeAtEmergency = true;
    unit.releaseKeyHeld = true;
    frame(16, 140.0f);
    EXPECT_TRUE(unit.emergencyBrake);
    frame(16, 100.0f);
    EXPECT_FALSE(unit.emergencyBrake);
}

TEST_F(PatternSupervision, FixedChecksWarnAndBrake) {
    struct Case {
        int slot;
        uint32_t value;
        float warnAt;
        float brakeAt;
    };
    for (const Case& c : {Case{13, 1, 25.0f, 30.0f}, Case{13, 2, 45.0f, 50.0f},
                          Case{14, 1, 20.0f, 25.0f}}) {
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
