// The alarm: acknowledgement window, timeout, release, silence and the speed display.
#include <cmath>

#include "unit_fixture.h"

namespace {

using vantor::kSoundLoop;
using vantor::kSoundOnce;
using vantor::kSoundStop;
using vantor::testing::UnitTest;

class Alarm : public UnitTest {
  protected:
    void SetUp() override {
        UnitTest::SetUp();
        frame(16, 0.0f);
    }
    // What a type-0 transponder does to the alarm.
    void raiseAlarm() {
        unit.alarmRequest = true;
        unit.timer[vantor::kConfirmTimer] = 5000;
    }
};

// A second request restarts the 5000 ms; an acknowledgement in the frame that completes them
// comes too late.
TEST_F(Alarm, SecondRequestRestartsTheWindowAndTheTimeoutFrameIsTooLate) {
    raiseAlarm();
    for (int i = 0; i < 40; ++i) {
        frame(100, 60.0f);
    }
    raiseAlarm();
    for (int i = 1; i < 50; ++i) {
        frame(100, 60.0f);
        ASSERT_FALSE(unit.brakeLatch) << i;
    }
    unit.ackKeyHeld = true;
    unit.brakeAtAckNotch = true;
    frame(100, 60.0f);
    EXPECT_TRUE(unit.brakeLatch);
    EXPECT_FALSE(unit.alarmRequest);
}

TEST_F(Alarm, StartupEndsAWindowRaisedDuringIt) {
    unit.powerSwitch = false;
    frame(16, 0.0f);
    unit.powerSwitch = true;
    frame(16, 0.0f);
    raiseAlarm();
    unit.ackKeyHeld = true;
    unit.brakeAtAckNotch = true;
    frame(100, 60.0f);
    EXPECT_TRUE(unit.alarmRequest) << "no acknowledgement during the start-up";
    for (int i = 0; i < 5; ++i) {
        frame(100, 60.0f);
    }
    EXPECT_FALSE(unit.alarmRequest);
    for (int i = 0; i < 60; ++i) {
        frame(100, 60.0f);
    }
    EXPECT_FALSE(unit.brakeLatch);
}

TEST_F(Alarm, ReleaseLeavesAPendingRequest) {
    unit.brakeLatch = true;
    raiseAlarm();
    unit.releaseKeyHeld = true;
    unit.brakeAtEmergency = true;
    frame(16, 0.0f);
    EXPECT_FALSE(unit.brakeLatch);
    EXPECT_TRUE(unit.alarmRequest);
}

TEST_F(Alarm, SilenceOnlyAfterTheAlarmHasEnded) {
    unit.brakeLatch = true;
    unit.silenceKeyHeld = true;
    frame(16, 0.0f);
    frame(16, 0.0f);
    EXPECT_EQ(unit.alarmLoopSound, kSoundLoop) << "the standing alarm sets it again";
    unit.silenceKeyHeld = false;
    frame(16, 0.0f);

    unit.brakeLatch = false;
    frame(16, 0.0f);
    EXPECT_EQ(unit.alarmLoopSound, kSoundLoop);
    unit.silenceKeyHeld = true;
    frame(16, 0.0f);
    EXPECT_EQ(unit.alarmLoopSound, kSoundLoop) << "silenced from the next frame";
    frame(16, 0.0f);
    EXPECT_EQ(unit.alarmLoopSound, kSoundStop);
}

TEST_F(Alarm, TwoSoundsAlternateEachPeriod) {
    raiseAlarm();
    unit.alternationPeriod = 300;
    std::vector<int> played;
    for (int i = 0; i < 10; ++i) {
        frame(100, 0.0f);
        if (unit.sound21Out == kSoundOnce) {
            played.push_back(21);
        }
        if (unit.sound22Out == kSoundOnce) {
            played.push_back(22);
        }
    }
    EXPECT_EQ(played, (std::vector<int>{22, 21, 22, 21}));
}

// The acknowledgement window and the tones' period run out on their last millisecond, not
// one before it.
TEST_F(Alarm, WindowAndTonePeriodEndOnTheirLastMillisecond) {
    raiseAlarm();
    unit.alternationPeriod = 300;
    frame(4999, 60.0f);
    EXPECT_EQ(unit.sound22Out, kSoundOnce) << "the first tone";
    EXPECT_FALSE(unit.brakeLatch) << "1 ms of the window left";
    frame(1, 60.0f);
    EXPECT_TRUE(unit.brakeLatch);
    frame(298, 60.0f);
    EXPECT_NE(unit.sound21Out, kSoundOnce) << "1 ms of the period left";
    frame(1, 60.0f);
    EXPECT_EQ(unit.sound21Out, kSoundOnce);
}

TEST_F(Alarm, SpeedDisplayScalesAndTruncates) {
    const auto shown = [&](float kmh) {
        frame(16, kmh);
        return unit.speedDisplay;
    };
    EXPECT_EQ(shown(70.0f), 30);
    EXPECT_EQ(shown(100.0f), 42);
    EXPECT_EQ(shown(140.0f), 60);
    EXPECT_EQ(shown(-10.0f), -4);
    unit.setDisplayScale(60, 120);
    EXPECT_EQ(shown(50.0f), 25);
    EXPECT_EQ(shown(std::nanf("")), 0);
    EXPECT_EQ(shown(3e38f), 2147483647);
    unit.setDisplayScale(60, 0);
    EXPECT_EQ(shown(50.0f), 0);
}

} // namespace
