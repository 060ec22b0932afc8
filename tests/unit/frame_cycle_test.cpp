// The frame cycle: timers, power on and off, the power-notch warning and the staged sounds.
#include "unit_fixture.h"

namespace {

using vantor::kSoundContinue;
using vantor::kSoundLoop;
using vantor::kSoundOnce;
using vantor::kSoundStop;
using vantor::testing::UnitTest;

class FrameCycle : public UnitTest {};

TEST_F(FrameCycle, FirstFrameStopsEverySoundThenContinues) {
    frame(16, 0.0f);
    EXPECT_EQ(unit.normalLamp, 1);
    EXPECT_EQ(unit.alarmLamp, 0);
    EXPECT_EQ(unit.bellSound, kSoundStop);
    for (int32_t out : {unit.sound10Out, unit.sound11Out, unit.sound12Out, unit.sound13Out,
                        unit.sound20Out, unit.sound21Out, unit.sound22Out}) {
        EXPECT_EQ(out, kSoundStop);
    }
    frame(16, 0.0f);
    for (int32_t out : {unit.sound10Out, unit.sound11Out, unit.sound12Out, unit.sound13Out,
                        unit.sound20Out, unit.sound21Out, unit.sound22Out}) {
        EXPECT_EQ(out, kSoundContinue);
    }
}

TEST_F(FrameCycle, UnitNeverInitialisedStaysUnpowered) {
    vantor::CVantor fresh{};
    fresh.attachHostValues(&currentTime, &frameStep, &speed, &powerNotch, &reverser);
    fresh.powerSwitch = true;
    frameStep = 16;
    fresh.runFrame();
    fresh.runFrame();
    EXPECT_FALSE(fresh.powered);
    EXPECT_EQ(fresh.normalLamp, 0);
}

TEST_F(FrameCycle, DistanceRunIsComputedInSinglePrecision) {
    frame(16, 100.0f);
    EXPECT_EQ(unit.distanceSinceCoil, static_cast<double>(0.44444445f));
    unit.distanceSinceCoil = 0.0;
    frame(1000, 72.0f);
    EXPECT_EQ(unit.distanceSinceCoil, 20.0);
}

TEST_F(FrameCycle, TimersCountDownToZeroAndTheSectionClockCountsUp) {
    unit.timer[vantor::kCutOutTimer] = 500;
    unit.timer[vantor::kType65Timer] = 1000;
    frame(0, 0.0f);
    EXPECT_EQ(unit.timer[vantor::kCutOutTimer], 500) << "a step of 0 moves nothing";
    frame(300, 0.0f);
    EXPECT_EQ(unit.prevTimer[vantor::kCutOutTimer], 500);
    EXPECT_EQ(unit.timer[vantor::kCutOutTimer], 200);
    EXPECT_EQ(unit.timer[vantor::kType60Clock], 300);
    frame(100000, 0.0f);
    EXPECT_EQ(unit.timer[vantor::kCutOutTimer], 0);
    EXPECT_EQ(unit.timer[vantor::kType65Timer], 0);
    EXPECT_EQ(unit.timer[vantor::kType60Clock], 100300);
}

// The alarm starts in the power-on frame and ends in the frame that completes the delay; each
// lamp follows one frame after the one before it.
TEST_F(FrameCycle, StartupAlarmFromPowerOnUntilTheDelayHasRun) {
    unit.powerSwitch = false;
    frame(16, 0.0f);
    EXPECT_FALSE(unit.powered);
    EXPECT_EQ(unit.normalLamp, 0);

    unit.powerSwitch = true;
    frame(16, 0.0f);
    EXPECT_TRUE(unit.powered);
    EXPECT_EQ(unit.alarmLamp, 1);
    EXPECT_EQ(unit.normalLamp, 0);
    EXPECT_EQ(unit.bellSound, kSoundLoop);
    EXPECT_EQ(unit.alarmLoopSound, kSoundLoop);
    EXPECT_EQ(unit.sound22Out, kSoundOnce) << "first alternation since load";
    EXPECT_EQ(unit.timer[vantor::kStartupTimer], 600) << "counted down from the next frame";
    for (int i = 1; i <= 5; ++i) {
        frame(100, 0.0f);
        ASSERT_TRUE(unit.alarmRequest) << i;
    }
    frame(100, 0.0f); // 600 ms after the power-on frame
    EXPECT_FALSE(unit.alarmRequest);
    EXPECT_EQ(unit.alarmLamp, 1);
    EXPECT_EQ(unit.bellSound, kSoundLoop);

    frame(100, 0.0f);
    EXPECT_EQ(unit.alarmLamp, 0);
    EXPECT_EQ(unit.bellSound, kSoundStop);
    EXPECT_EQ(unit.sound20Out, kSoundOnce);
    EXPECT_EQ(unit.normalLamp, 0);

    frame(100, 0.0f);
    EXPECT_EQ(unit.normalLamp, 1);
    EXPECT_EQ(unit.sound20Out, kSoundContinue);
    EXPECT_EQ(unit.alarmLoopSound, kSoundLoop) << "until the silence key";
}

TEST_F(FrameCycle, PowerHandleWarningOfAnUnpoweredUnit) {
    unit.powerSwitch = false;
    frame(16, 0.0f);
    const auto hold = [&](int32_t notch, int frames) {
        powerNotch = notch;
        for (int i = 0; i < frames; ++i) {
            frame(16, 0.0f);
        }
    };
    powerNotch = 1;
    frame(16, 0.0f);
    EXPECT_EQ(unit.sound13Out, kSoundOnce);
    hold(1, 3);
    EXPECT_EQ(unit.sound13Out, kSoundContinue);

    powerNotch = 3;
    frame(16, 0.0f);
    EXPECT_EQ(unit.bellSound, kSoundStop) << "the bell follows one frame later";
    frame(16, 0.0f);
    EXPECT_EQ(unit.bellSound, kSoundLoop);
    hold(3, 3);

    powerNotch = 1;
    frame(16, 0.0f);
    EXPECT_EQ(unit.bellSound, kSoundLoop);
    EXPECT_EQ(unit.sound13Out, kSoundContinue) << "still away from notch 0";
    frame(16, 0.0f);
    EXPECT_EQ(unit.bellSound, kSoundStop);
    EXPECT_EQ(unit.sound20Out, kSoundOnce);

    hold(0, 2);
    powerNotch = 2;
    frame(16, 0.0f);
    EXPECT_EQ(unit.sound13Out, kSoundOnce) << "back at 0 re-arms the warning";
}

TEST_F(FrameCycle, PowerLostWhileTheBellRings) {
    unit.alarmRequest = true;
    unit.timer[vantor::kConfirmTimer] = 5000;
    frame(16, 80.0f);
    frame(16, 80.0f);
    ASSERT_EQ(unit.bellSound, kSoundLoop);

    unit.powerSwitch = false;
    frame(16, 80.0f);
    EXPECT_EQ(unit.alarmLamp, 0);
    EXPECT_EQ(unit.normalLamp, 0);
    EXPECT_EQ(unit.speedDisplay, 0);
    EXPECT_EQ(unit.alarmLoopSound, kSoundStop);
    EXPECT_EQ(unit.sound21Out, kSoundStop);
    EXPECT_EQ(unit.sound22Out, kSoundStop);
    EXPECT_EQ(unit.bellSound, kSoundLoop) << "the bell flag of the last powered frame";
    EXPECT_FALSE(unit.brakeLatch);
    EXPECT_EQ(unit.timer[vantor::kConfirmTimer], 0);
    EXPECT_TRUE(unit.alarmRequest) << "kept, and raised again at power-on";

    frame(16, 80.0f);
    EXPECT_EQ(unit.bellSound, kSoundStop) << "now it follows the power handle";
    EXPECT_EQ(unit.sound20Out, kSoundOnce);
}

} // namespace
