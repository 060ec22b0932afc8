// Host calls at the ends of what the interface can carry: notch counts and host times that
// wrap, and speeds that are not numbers or not finite.
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "host_fixture.h"

namespace {

using vantor::Plugin;

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

class HostExtremes : public ::testing::Test {
  protected:
    vantor::testing::Host host;
    Plugin& plugin = host.plugin();
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
    host.frameAt(kMax - 10, 0.0f);
    EXPECT_EQ(plugin.frameStep, kMax - 10 - 86400000);
    host.frameAt(kMin + 5, 0.0f);
    EXPECT_EQ(plugin.frameStep, 16) << "the clock turned over between two frames";
    host.frameAt(kMax, 0.0f);
    EXPECT_EQ(plugin.frameStep, 0) << "a jump of more than half the range reads as going back";
    host.frameAt(kMin, 0.0f);
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
            const vantor::testing::FrameOutput out = host.frameAt(time, kmh);
            EXPECT_EQ(out.handles.constantSpeed, 0);
            for (int lamp : {0, 1, 11, 12, 13, 14, 15, 16, 17}) {
                EXPECT_TRUE(out.panel[lamp] == 0 || out.panel[lamp] == 1) << "panel " << lamp;
            }
        }
    }
    // An infinite speed is at or above any pattern: the demand stands until it is released.
    EXPECT_TRUE(plugin.unit.emergencyBrake);
    EXPECT_EQ(host.frameAt(time + 16, 0.0f).handles.brake, 9);
}

} // namespace
