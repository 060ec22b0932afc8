// Safety properties over long seeded random drives through the host layer: the emergency brake
// at or above the lowest pattern, the same calls giving the same outputs, and the release key
// at the emergency notch below the pattern.
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "host_fixture.h"

namespace {

using vantor::Plugin;
using vantor::testing::FrameOutput;
using vantor::testing::Host;

constexpr int32_t kEmergencyNotch = 9; // the host fixture's eight service notches

// A driver and a line drawn from a seed: transponders of every type, brake and power handles,
// the acknowledge, silence and release keys, and speeds around the lowest pattern.
class RandomDrive {
  public:
    explicit RandomDrive(uint32_t seed) : random_(seed) {}

    // Everything the host may call between two frames.
    void betweenFrames(Host& host) {
        Plugin& plugin = host.plugin();
        const int calls = below(4);
        for (int i = 0; i < calls; ++i) {
            switch (below(8)) {
            case 0:
            case 1: {
                constexpr int32_t kTypes[] = {0, 1, 50, 55, 60, 61, 65, 70};
                constexpr int32_t kOptionals[] = {0, 1, 2, 3, 80, 85, 90, 95, 500, 5000};
                BeaconData beacon{};
                beacon.type = kTypes[below(8)];
                beacon.signal = below(6);
                beacon.optional = below(4) == 0 ? below(20000) : kOptionals[below(10)];
                vantor::setBeaconData(plugin, beacon);
                break;
            }
            case 2:
                vantor::setBrake(plugin,
                                 below(3) == 0 ? kEmergencyNotch : below(kEmergencyNotch + 1));
                break;
            case 3:
                plugin.powerNotch = below(6);
                break;
            case 4:
                plugin.reverser = below(3) - 1;
                break;
            case 5: {
                constexpr int32_t kKeys[] = {0, 1, 3};
                const int32_t key = kKeys[below(3)];
                if (below(2) == 0) {
                    vantor::keyDown(plugin, key);
                } else {
                    vantor::keyUp(plugin, key);
                }
                break;
            }
            default:
                break;
            }
        }
    }

    int32_t step() { return below(5) == 0 ? 0 : 1 + below(200); }

    // Mostly ordinary speeds; often exactly the last lowest pattern or just under it.
    float speed(const vantor::CVantor& unit) {
        const float pattern = static_cast<float>(unit.lowestPatternSpeed);
        switch (below(6)) {
        case 0:
            return pattern;
        case 1:
            return std::nextafter(pattern, 0.0f);
        case 2:
            return -static_cast<float>(below(12));
        default:
            return std::uniform_real_distribution<float>(0.0f, 160.0f)(random_);
        }
    }

    bool chance(int outOf) { return below(outOf) == 0; }

  private:
    int32_t below(int32_t n) { return std::uniform_int_distribution<int32_t>(0, n - 1)(random_); }

    std::mt19937 random_;
};

constexpr uint32_t kSeeds[] = {1, 2, 3, 5, 8, 13, 21, 34, 55, 89, 144, 233};
constexpr int kFrames = 3000;

bool overridden(const Handles& handles) {
    return handles.brake == kEmergencyNotch && handles.power == 0;
}

// Each drive runs twice: the same calls must give the same outputs, and in every frame of a
// powered, active unit not held off, a speed at or above the lowest pattern brakes in that
// frame.
TEST(SafetyProperties, AtOrAboveTheLowestPatternTheSameFrameBrakesAndRunsRepeat) {
    int checked = 0;
    for (uint32_t seed : kSeeds) {
        std::vector<FrameOutput> runs[2];
        for (std::vector<FrameOutput>& outputs : runs) {
            Host host;
            RandomDrive drive(seed);
            for (int i = 0; i < kFrames; ++i) {
                drive.betweenFrames(host);
                if (drive.chance(300)) {
                    host.power(false);
                } else if (drive.chance(20)) {
                    host.power(true);
                }
                if (drive.chance(500)) {
                    vantor::keyDown(host.plugin(), 13);
                }
                if (drive.chance(300)) {
                    vantor::keyDown(host.plugin(), 14);
                }
                const bool heldOff = host.unit().holdOffActive;
                const float kmh = drive.speed(host.unit());
                outputs.push_back(host.frame(drive.step(), kmh));
                const vantor::CVantor& unit = host.unit();
                if (unit.powered && unit.unitActive && !heldOff &&
                    kmh >= static_cast<float>(unit.lowestPatternSpeed)) {
                    ++checked;
                    ASSERT_TRUE(unit.emergencyBrake) << "seed " << seed << " frame " << i;
                    ASSERT_TRUE(overridden(outputs.back().handles))
                        << "seed " << seed << " frame " << i << " speed " << kmh << " pattern "
                        << unit.lowestPatternSpeed;
                    ASSERT_EQ(outputs.back().panel[15], 1);
                }
            }
        }
        ASSERT_TRUE(runs[0] == runs[1]) << "seed " << seed;
    }
    EXPECT_GT(checked, 2000);
}

TEST(SafetyProperties, ReleaseAtTheEmergencyNotchBelowThePatternEndsTheOverrideAtOnce) {
    int released = 0;
    for (uint32_t seed : kSeeds) {
        Host host;
        RandomDrive drive(seed);
        Plugin& plugin = host.plugin();
        for (int i = 0; i < kFrames; ++i) {
            drive.betweenFrames(host);
            const bool releasing = drive.chance(8);
            if (releasing) {
                vantor::setBrake(plugin, kEmergencyNotch);
                // Power left in notch tells the driver's handles from the override.
                plugin.powerNotch = 3;
                vantor::keyDown(plugin, 3);
            }
            const bool demanded = host.unit().brakeLatch || host.unit().emergencyBrake;
            // An alarm still waiting for acknowledgement latches the brake again in this frame.
            const bool alarmPending = host.unit().alarmRequest;
            const bool wasPowered = host.unit().powered;
            const float kmh = drive.speed(host.unit());
            const FrameOutput out = host.frame(drive.step(), kmh);
            const vantor::CVantor& unit = host.unit();
            if (releasing && wasPowered && unit.powered && !alarmPending && kmh >= 0.0f &&
                (!unit.unitActive || kmh < static_cast<float>(unit.lowestPatternSpeed))) {
                released += demanded ? 1 : 0;
                ASSERT_FALSE(unit.brakeLatch) << "seed " << seed << " frame " << i;
                ASSERT_FALSE(unit.emergencyBrake) << "seed " << seed << " frame " << i;
                ASSERT_EQ(out.handles.brake, kEmergencyNotch);
                ASSERT_EQ(out.handles.power, 3);
                ASSERT_EQ(out.handles.reverser, plugin.reverser);
            }
            if (releasing) {
                vantor::keyUp(plugin, 3);
            }
        }
    }
    EXPECT_GT(released, 100);
}

} // namespace
