// Host calls at the ends of what the interface can carry: notch counts and host times that
// wrap, and speeds that are not numbers or not finite.
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "host/plugin.h"

namespace {

using vantor::Plugin;

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

class HostExtremes : public ::testing::Test {
  protected:
    void SetUp() override {
        vantor::attachPlugin(plugin);
        plugin.configPath[0] = '\0';
        vantor::setVehicleSpec(plugin, VehicleSpec{8, 5, 2, 0, 0});
        vantor::initialize(plugin);
        plugin.unit.alternationPeriod = 300;
        plugin.unit.startupDelay = 600;
        panel[vantor::kPanelPowerSwitch] = 1;
    }

    Handles frame(int32_t time, float kmh) {
        VehicleState state{};
        state.time = time;
        state.speed = kmh;
        return vantor::elapse(plugin, state, panel.data(), sound.data());
    }

    std::unique_ptr<Plugin> owner = std::make_unique<Plugin>();
    Plugin& plugin = *owner;
    std::vector<int32_t> panel = std::vector<int32_t>(vantor::kPanelSize);
    std::vector<int32_t> sound = std::vector<int32_t>(vantor::kSoundSize);
};

TEST_F(HostExtremes, EmergencyNotchAboveTheLargestServiceNotchWraps) {
    vantor::setVehicleSpec(plugin, VehicleSpec{kMax, 0, kMin, 0, 0});
    EXPECT_EQ(plugin.emergencyBrakeNotch, kMin);
    vantor::setBrake(plugin, kMin);
    EXPECT_TRUE(plugin.unit.brakeAtEmergency);
    EXPECT_TRUE(plugin.unit.brakeAtAckNotch);
    vantor::setBrake(plugin, kMax);
    EXPECT_FALSE(plugin.unit.brakeAtEmergency);

    vantor::setVehicleSpec(plugin, VehicleSpec{-1, 0, 0, 0, 0});
    EXPECT_EQ(plugin.emergencyBrakeNotch, 0);
}

TEST_F(HostExtremes, FrameStepWrapsWithTheHostClock) {
    frame(kMax - 10, 0.0f);
    EXPECT_EQ(plugin.frameStep, kMax - 10 - 86400000);
    frame(kMin + 5, 0.0f);
    EXPECT_EQ(plugin.frameStep, 16) << "the clock turned over between two frames";
    frame(kMax, 0.0f);
    EXPECT_EQ(plugin.frameStep, 0) << "a jump of more than half the range reads as going back";
    frame(kMin, 0.0f);
    EXPECT_EQ(plugin.frameStep, 1);
}

TEST_F(HostExtremes, SpeedsThatAreNoNumberOrNotFiniteKeepTheOutputsInRange) {
    const float speeds[] = {
        std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
        -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::max(),
        std::numeric_limits<float>::lowest(),    std::numeric_limits<float>::denorm_min()};
    int32_t time = 86400000;
    for (int round = 0; round < 3; ++round) {
        for (float kmh : speeds) {
            time += round == 2 ? 1000000 : 16;
            const Handles handles = frame(time, kmh);
            EXPECT_EQ(handles.constantSpeed, 0);
            for (int lamp : {0, 1, 11, 12, 13, 14, 15, 16, 17}) {
                EXPECT_TRUE(panel[lamp] == 0 || panel[lamp] == 1) << "panel " << lamp;
            }
        }
    }
    // An infinite speed is at or above any pattern: the demand stands until it is released.
    EXPECT_TRUE(plugin.unit.emergencyBrake);
    EXPECT_EQ(frame(time + 16, 0.0f).brake, 9);
}

} // namespace
