// The plug-in driven through its exports, frame by frame, as the host drives it.
#include <gtest/gtest.h>

#include "loaded_plugin.h"

namespace {

using vantor::loader::LoadedPlugin;

constexpr int32_t kEmergencyNotch = 9; // eight service notches
constexpr int32_t kStop = -10000;

class HostFrames : public ::testing::Test {
  protected:
    void SetUp() override {
        plugin.start();
        plugin.frame(1000, 0.0f);
    }
    // A type-0 transponder that asks for an acknowledgement.
    void passAlarmTransponder() { plugin.beacon(0, 0, 0); }

    LoadedPlugin plugin;
};

TEST_F(HostFrames, PowerOnRunsTheSelfTest) {
    plugin.panel[vantor::kPanelPowerSwitch] = 0;
    plugin.step(16, 0.0f);
    EXPECT_EQ(plugin.panel[11], 0);
    EXPECT_EQ(plugin.panel[0], 0);

    plugin.panel[vantor::kPanelPowerSwitch] = 1;
    plugin.step(16, 0.0f);
    const int32_t poweredAt = plugin.time;
    EXPECT_EQ(plugin.panel[11], 1);
    EXPECT_EQ(plugin.panel[1], 1);
    EXPECT_EQ(plugin.panel[0], 0);
    EXPECT_EQ(plugin.sound[0], 0) << "the bell loops";
    EXPECT_EQ(plugin.sound[1], 0);
    EXPECT_EQ(plugin.sound[20], kStop);
    EXPECT_EQ((plugin.sound[21] == 1) + (plugin.sound[22] == 1), 1) << "one alternating sound";

    while (plugin.panel[1] == 1 && plugin.time - poweredAt < 2000) {
        plugin.step(16, 0.0f);
    }
    // The request ends in the frame that completes the start-up delay; the lamp a frame later.
    const int32_t endedAfter = plugin.time - poweredAt - 16;
    EXPECT_GE(endedAfter, 500);
    EXPECT_LT(endedAfter, 800 + 16);
    EXPECT_EQ(plugin.sound[0], kStop);
    EXPECT_EQ(plugin.sound[1], 0) << "the alarm sound loops until silenced";
    plugin.keyDown(1);
    plugin.step(16, 0.0f);
    plugin.keyUp(1);
    plugin.step(16, 0.0f);
    EXPECT_EQ(plugin.sound[1], kStop);
}

TEST_F(HostFrames, AcknowledgedInTimeNoBrake) {
    plugin.step(100, 60.0f);
    passAlarmTransponder();
    for (int i = 0; i < 30; ++i) {
        plugin.step(100, 60.0f);
    }
    EXPECT_EQ(plugin.panel[1], 1);
    plugin.setBrake(2);
    plugin.keyDown(0);
    plugin.step(100, 60.0f);
    plugin.keyUp(0);
    for (int i = 0; i < 40; ++i) {
        plugin.step(100, 60.0f);
        ASSERT_EQ(plugin.handles.brake, 2) << i;
    }
    EXPECT_EQ(plugin.panel[1], 0);
}

// The acknowledgement key held with the brake below the acknowledgement notch does not count:
// the emergency brake comes in the frame that completes 5000 ms, and only the release key
// with the brake handle at emergency ends it.
TEST_F(HostFrames, AcknowledgementBelowTheNotchTimesOutAndOnlyEmergencyReleases) {
    plugin.step(100, 60.0f);
    passAlarmTransponder();
    plugin.setBrake(1);
    plugin.setPower(2);
    plugin.keyDown(0);
    for (int i = 1; i < 50; ++i) {
        plugin.step(100, 60.0f);
        ASSERT_EQ(plugin.handles.brake, 1) << i;
    }
    plugin.step(100, 60.0f);
    EXPECT_EQ(plugin.handles.brake, kEmergencyNotch);
    EXPECT_EQ(plugin.handles.power, 0);
    EXPECT_EQ(plugin.handles.constantSpeed, 0);

    plugin.keyUp(0);
    plugin.setPower(3);
    plugin.setBrake(8);
    plugin.keyDown(3);
    plugin.step(100, 0.0f);
    EXPECT_EQ(plugin.handles.brake, kEmergencyNotch);
    EXPECT_EQ(plugin.handles.power, 0);

    plugin.setBrake(kEmergencyNotch);
    plugin.step(100, 0.0f);
    EXPECT_EQ(plugin.handles.power, 3) << "released in the same frame";
    plugin.keyUp(3);
    plugin.setBrake(0);
    plugin.step(100, 0.0f);
    EXPECT_EQ(plugin.handles.brake, 0);
}

TEST_F(HostFrames, OverrideHoldsTheReverserTheHostLastGot) {
    plugin.setReverser(1);
    plugin.setBrake(0);
    plugin.setPower(4);
    plugin.step(16, 100.0f);
    EXPECT_EQ(plugin.handles.reverser, 1);
    EXPECT_EQ(plugin.handles.power, 4);

    plugin.step(16, 140.0f);
    plugin.setReverser(-1);
    plugin.step(16, 140.0f);
    EXPECT_EQ(plugin.handles.brake, kEmergencyNotch);
    EXPECT_EQ(plugin.handles.power, 0);
    EXPECT_EQ(plugin.handles.reverser, 1);
    EXPECT_EQ(plugin.handles.constantSpeed, 0);

    plugin.setBrake(kEmergencyNotch);
    plugin.keyDown(3);
    plugin.step(16, 50.0f);
    plugin.keyUp(3);
    EXPECT_EQ(plugin.handles.reverser, -1);
    EXPECT_EQ(plugin.handles.power, 4);
}

TEST_F(HostFrames, LatchOfAnUnpoweredUnitDoesNotBrake) {
    plugin.step(100, 60.0f);
    passAlarmTransponder();
    plugin.setBrake(3);
    plugin.panel[vantor::kPanelPowerSwitch] = 0;
    for (int i = 0; i < 60; ++i) {
        plugin.step(100, 60.0f);
        ASSERT_EQ(plugin.handles.brake, 3) << i;
    }
}

TEST_F(HostFrames, NotchWarningInhibitActsForOneFrame) {
    plugin.panel[vantor::kPanelPowerSwitch] = 0;
    plugin.step(16, 0.0f);
    plugin.setPower(1);
    plugin.panel[249] = 5;
    plugin.step(16, 0.0f);
    EXPECT_EQ(plugin.panel[249], 0);
    EXPECT_EQ(plugin.sound[13], kStop);
    EXPECT_EQ(plugin.sound[0], kStop);
    plugin.step(16, 0.0f);
    EXPECT_EQ(plugin.sound[13], 1) << "the next frame warns again";
}

TEST_F(HostFrames, TimeGoingBackwardsGivesAFrameStepOfZero) {
    plugin.step(16, 60.0f);
    const int32_t start = plugin.time;
    passAlarmTransponder();
    plugin.frame(start + 4000, 60.0f);
    plugin.frame(start - 1000, 60.0f);
    EXPECT_NE(plugin.handles.brake, kEmergencyNotch) << "a backwards frame counts 0 ms";
    plugin.frame(start - 16, 60.0f);
    EXPECT_NE(plugin.handles.brake, kEmergencyNotch);
    plugin.frame(start, 60.0f);
    EXPECT_EQ(plugin.handles.brake, kEmergencyNotch) << "4000 + 0 + 984 + 16 ms";
}

TEST_F(HostFrames, CutOutKeyTogglesAtOnceAndTwicePressedCancels) {
    plugin.step(16, 0.0f);
    EXPECT_EQ(plugin.panel[19], 57);
    plugin.keyDown(13);
    plugin.keyUp(13);
    plugin.step(16, 0.0f);
    EXPECT_EQ(plugin.panel[19], 999);
    plugin.step(16, 150.0f);
    EXPECT_EQ(plugin.handles.brake, 0) << "no pattern brake while cut out";

    plugin.keyDown(13);
    plugin.step(16, 0.0f);
    EXPECT_EQ(plugin.panel[19], 57);

    plugin.keyDown(13);
    plugin.keyDown(13);
    plugin.step(16, 0.0f);
    EXPECT_EQ(plugin.panel[19], 57);
}

TEST_F(HostFrames, UnknownKeysChangeNothing) {
    plugin.keyDown(2);
    plugin.keyDown(15);
    plugin.keyUp(13);
    plugin.keyDown(-1);
    plugin.step(16, 0.0f);
    EXPECT_EQ(plugin.panel[19], 57);
    EXPECT_EQ(plugin.panel[0], 1);
}

} // namespace
