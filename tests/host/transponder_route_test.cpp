// Transponders along a line, driven as the host drives the library: frames with the train's
// speed, transponders handed over between them, the result read from the panel and handles.
#include <cmath>
#include <gtest/gtest.h>

#include "loaded_plugin.h"

namespace {

using vantor::loader::LoadedPlugin;

constexpr int32_t kRunStart = 86400000; // the host time at which Initialize starts a run
constexpr int32_t kStepMs = 20;
constexpr int32_t kEmergencyNotch = 9; // eight service notches
constexpr int kPanelPatternLamp = 12;
constexpr int kPanelEmergencyLamp = 15;
constexpr int kPanelPatternDisplay = 19;
constexpr int kPatternDisplayIdle = 57; // 135 km/h with the default display scaling
constexpr int kPatternDisplayCutOut = 999;

enum Type : int32_t {
    kStopAlarm = 0,
    kStop = 50,
    kCoil = 70,
};

class TransponderRoute : public ::testing::Test {
  protected:
    void SetUp() override {
        plugin.start();
        plugin.frame(kRunStart, 0.0f);
    }

    // Frames at a steady speed until the train has run the given distance.
    void drive(double metres, float kmh) {
        const double perFrame = kmh / 3.6 * kStepMs / 1000.0;
        for (double run = 0.0; run + perFrame / 2 < metres; run += perFrame) {
            plugin.step(kStepMs, kmh);
        }
    }

    // Frames at a steady speed until the emergency brake comes; the metres run until then.
    double driveUntilBraked(float kmh, double giveUpAfter) {
        const double perFrame = kmh / 3.6 * kStepMs / 1000.0;
        double run = 0.0;
        while (run < giveUpAfter) {
            run += perFrame;
            if (plugin.step(kStepMs, kmh).brake == kEmergencyNotch) {
                return run;
            }
        }
        return -1.0;
    }

    LoadedPlugin plugin;
};

// Where the speed meets the target curve of a restriction: the last whole km/h of the pattern
// is the speed, so the curve must have fallen below speed + 1.
double brakeOnset(double pointAhead, double targetKmh, float kmh, double deceleration = 2.5) {
    const double reactionRun = kmh / 3.6; // one second
    const double limit = (kmh + 1.0) * (kmh + 1.0) - targetKmh * targetKmh;
    return pointAhead - reactionRun - limit / (7.2 * deceleration);
}

// The brake comes in the first frame that has run past the onset. A millimetre allows for the
// single-precision distances of the frames.
void expectBrakeInTheFrameAfter(double braked, double onset, float kmh) {
    EXPECT_GT(braked, onset - 1e-3) << kmh << " km/h";
    EXPECT_LE(braked, onset + kmh / 3.6 * kStepMs / 1000.0 + 1e-3) << kmh << " km/h";
}

int displayFor(int kmh) {
    return static_cast<int>(60.0 / 140.0 * kmh);
}

struct CoilPair {
    double spacing;
    float kmh;
    double targetKmh;
};
class CoilPairRoute : public TransponderRoute, public ::testing::WithParamInterface<CoilPair> {};

TEST_P(CoilPairRoute, BrakesWhereTheTargetCurveMeetsTheSpeed) {
    const auto [spacing, kmh, targetKmh] = GetParam();
    drive(50.0, kmh);
    plugin.beacon(kCoil, 0, 90);
    drive(spacing, kmh);
    plugin.beacon(kCoil, 0, 85);

    const double braked = driveUntilBraked(kmh, 600.0);
    expectBrakeInTheFrameAfter(braked, brakeOnset(555.0, targetKmh, kmh), kmh);
    EXPECT_EQ(plugin.panel[kPanelPatternDisplay], displayFor(static_cast<int>(kmh)));
    EXPECT_EQ(plugin.panel[kPanelEmergencyLamp], 1);
    EXPECT_EQ(plugin.handles.power, 0);
}

// 6.5 m gives 100 km/h, braked at 395.5 m; 12 m gives 80 km/h, which 90 km/h is over long
// before the point, braked at 425.5 m.
INSTANTIATE_TEST_SUITE_P(TransponderRoute, CoilPairRoute,
                         ::testing::Values(CoilPair{6.5, 110.0f, 100.0},
                                           CoilPair{12.0, 90.0f, 80.0}));

// Code-80 coil, stop transponder, type 0 four metres on, stop transponder, and the stop
// transponder that sets the pattern: a stop at 560 m.
class StopSequence : public TransponderRoute, public ::testing::WithParamInterface<float> {};

TEST_P(StopSequence, BrakesWhereTheStopCurveMeetsTheSpeed) {
    const float kmh = GetParam();
    drive(30.0, kmh);
    plugin.beacon(kCoil, 0, 80);
    drive(8.0, kmh);
    plugin.beacon(kStop, 0, 0);
    drive(4.0, kmh);
    plugin.beacon(kStopAlarm, 1, 0); // with a signal: no alarm to acknowledge
    drive(10.0, kmh);
    plugin.beacon(kStop, 0, 0);
    drive(10.0, kmh);
    plugin.beacon(kStop, 0, 1);

    const double braked = driveUntilBraked(kmh, 600.0);
    expectBrakeInTheFrameAfter(braked, brakeOnset(560.0, 0.0, kmh), kmh);
    EXPECT_EQ(plugin.panel[kPanelPatternDisplay], displayFor(static_cast<int>(kmh)));
    EXPECT_EQ(plugin.panel[1], 0) << "the pattern brakes, not an alarm";
}

INSTANTIATE_TEST_SUITE_P(TransponderRoute, StopSequence, ::testing::Values(60.0f, 80.0f));

TEST_F(TransponderRoute, StopTransponderTwoMetresAfterCodeNinetyCutsTheUnitOutUntilPowerOff) {
    drive(30.0, 40.0f);
    ASSERT_EQ(plugin.panel[kPanelPatternDisplay], kPatternDisplayIdle);
    plugin.beacon(kCoil, 0, 90);
    drive(2.0, 40.0f);
    plugin.beacon(kStop, 0, 0);
    ASSERT_EQ(plugin.panel[kPanelPatternDisplay], kPatternDisplayIdle);
    plugin.step(kStepMs, 40.0f);
    EXPECT_EQ(plugin.panel[kPanelPatternDisplay], kPatternDisplayCutOut);

    // A coil passed while cut out sets no pattern; overspeed brings no brake.
    plugin.beacon(kCoil, 0, 80);
    for (int frame = 0; frame < 50; ++frame) {
        EXPECT_NE(plugin.step(kStepMs, 140.0f).brake, kEmergencyNotch);
        EXPECT_EQ(plugin.panel[kPanelPatternLamp], 0);
    }

    // Power off and on: the unit comes back active, and coils count again.
    plugin.panel[vantor::kPanelPowerSwitch] = 0;
    plugin.step(kStepMs, 40.0f);
    EXPECT_EQ(plugin.panel[11], 0);
    plugin.panel[vantor::kPanelPowerSwitch] = 1;
    plugin.step(kStepMs, 40.0f);
    EXPECT_EQ(plugin.panel[kPanelPatternDisplay], kPatternDisplayIdle);
    drive(20.0, 40.0f); // past the start-up alarm
    plugin.beacon(kCoil, 0, 80);
    plugin.step(kStepMs, 40.0f);
    EXPECT_EQ(plugin.panel[kPanelPatternLamp], 1);
}

TEST_F(TransponderRoute, StandingTrainPassesNoTransponder) {
    plugin.start(); // before the first frame of a run the speed is 0
    plugin.beacon(kCoil, 0, 80);
    plugin.frame(kRunStart, 0.0f);
    plugin.beacon(kCoil, 0, 80);
    plugin.step(kStepMs, -0.0f);
    plugin.beacon(kCoil, 0, 80);
    plugin.step(kStepMs, 20.0f);
    EXPECT_EQ(plugin.panel[kPanelPatternLamp], 0);
    plugin.beacon(kCoil, 0, 80);
    plugin.step(kStepMs, 20.0f);
    EXPECT_EQ(plugin.panel[kPanelPatternLamp], 1);
}

} // namespace
