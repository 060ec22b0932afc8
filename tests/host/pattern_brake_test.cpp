// Warnings, chimes and the pattern brake as the host sees them.
#include <gtest/gtest.h>

#include "loaded_plugin.h"

namespace {

using vantor::loader::LoadedPlugin;

constexpr int32_t kEmergencyNotch = 9;

class HostPatterns : public ::testing::Test {
  protected:
    void SetUp() override {
        plugin.start();
        plugin.frame(1000, 0.0f);
    }
    // A stop transponder pair: the first sets the coil state, the second puts the stop
    // pattern 390 m ahead.
    void setStopPattern() {
        plugin.step(16, 30.0f);
        plugin.beacon(50, 0, 0);
        plugin.beacon(50, 0, 1);
    }
    bool braking() const { return plugin.handles.brake == kEmergencyNotch; }

    LoadedPlugin plugin;
};

TEST_F(HostPatterns, OverspeedWarningAndBrake) {
    plugin.step(16, 125.0f);
    EXPECT_EQ(plugin.panel[14], 0);
    plugin.step(16, 125.1f);
    EXPECT_EQ(plugin.panel[14], 1);
    EXPECT_EQ(plugin.sound[11], 1);
    plugin.step(16, 134.9f);
    EXPECT_EQ(plugin.sound[11], 2);
    EXPECT_FALSE(braking());
    plugin.step(16, 135.0f);
    EXPECT_TRUE(braking());
    EXPECT_EQ(plugin.panel[15], 1);
    EXPECT_EQ(plugin.panel[19], 57);
}

TEST_F(HostPatterns, StopPatternWarnsAndBrakesWhereTheCurveSays) {
    setStopPattern();
    const int32_t at = plugin.time + 16;
    plugin.frame(at, 60.0f); // the pattern comes 390 m ahead: 16 ms at 30 km/h already run
    EXPECT_EQ(plugin.panel[12], 1);
    EXPECT_EQ(plugin.panel[13], 1);
    EXPECT_EQ(plugin.sound[10], 1);
    EXPECT_EQ(plugin.panel[14], 0);
    EXPECT_EQ(plugin.panel[19], 34) << "81 km/h on the pattern display";
    plugin.frame(at, 70.0f);
    EXPECT_EQ(plugin.panel[14], 1);
    EXPECT_EQ(plugin.sound[10], 2) << "one start chime";
    plugin.frame(at, 80.0f);
    EXPECT_FALSE(braking());
    plugin.frame(at, 85.0f);
    EXPECT_TRUE(braking());
}

TEST_F(HostPatterns, RollbackBrakesOnTheThirtyFirstFrame) {
    plugin.setReverser(0);
    for (int pass = 1; pass <= 30; ++pass) {
        plugin.step(100, -8.0f);
        ASSERT_FALSE(braking()) << pass;
    }
    plugin.step(100, -8.0f);
    EXPECT_TRUE(braking());
}

// The key at 10000 ms holds the pattern brake off until 70000 ms: the frame after that finds
// the hold-off over, and the next one brakes.
TEST_F(HostPatterns, HoldOffFromTheSecondFrameForSixtySecondsAfterTheKey) {
    plugin.frame(10000, 100.0f);
    plugin.keyDown(14);
    plugin.keyUp(14);
    plugin.frame(10100, 100.0f);
    EXPECT_EQ(plugin.panel[16], 0) << "lit from the second frame after the key";
    for (int32_t time = 10200; time <= 70001; time += time < 70000 ? 100 : 1) {
        plugin.frame(time, 140.0f);
        ASSERT_FALSE(braking()) << time;
        ASSERT_EQ(plugin.panel[16], 1) << time;
    }
    plugin.frame(70002, 140.0f);
    EXPECT_TRUE(braking());
}

TEST_F(HostPatterns, ReleaseOverThePatternIsUndone) {
    plugin.step(16, 140.0f);
    ASSERT_TRUE(braking());
    plugin.setBrake(kEmergencyNotch);
    plugin.keyDown(3);
    plugin.setPower(2);
    plugin.step(16, 136.0f);
    EXPECT_EQ(plugin.handles.power, 0) << "still over the pattern";
    plugin.step(16, 120.0f);
    EXPECT_EQ(plugin.handles.power, 2);
}

} // namespace
