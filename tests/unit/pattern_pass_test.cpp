// The supervision pass evaluates each curve only as far as the brake and the warning need it.
// Here it meets every curve evaluated in full (computePatternSpeed, updateLowestPattern) on
// slots placed where their curves cross a whole km/h, give or take a few units in the last
// place, for the brake and for the warning projection alike.
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "unit_fixture.h"

namespace {

using vantor::CVantor;
using vantor::kSlotCount;
using vantor::testing::UnitTest;

class PatternPass : public UnitTest {
  protected:
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    double nudged(double x) {
        for (int steps = below(7) - 3; steps != 0; steps += steps > 0 ? -1 : 1) {
            x = std::nextafter(x, steps > 0 ? HUGE_VAL : -HUGE_VAL);
        }
        return x;
    }

    // A slot whose curve meets `kmh` at the brake or the warning projection, or one far away,
    // behind, or around the re-arm and release distances.
    double distanceFor(int slot, double kmh, double v) {
        const double run = (unit.reactionTime + (below(2) == 0 ? 0.0 : 5.0)) * v / 3.6;
        const double target = slot >= 5 ? unit.slotValue[slot] : 0.0;
        switch (below(6)) {
        case 0:
            return 9e8;
        case 1:
            return nudged(-80.0 + run);
        case 2:
            return nudged(-55.0 + run);
        default:
            return nudged((kmh * kmh - target * target) / (7.2 * unit.deceleration) + run);
        }
    }

    // A whole km/h where a curve decides something: near the speed plus the margin, or near a
    // pattern that another slot gives.
    double criticalKmh(float v) {
        switch (below(4)) {
        case 0:
            return std::trunc(v) + 10.0 + below(2);
        case 1:
            return 25.0 + 5.0 * below(2);
        case 2:
            return unit.maxSpeed + 10.0;
        default:
            return below(221);
        }
    }

    void drawSlots(float v) {
        // How many values each slot draws from: flags, targets up to 120 km/h, check codes.
        constexpr int kValues[kSlotCount] = {2,   3,   2,   2,   3, 121, 121, 121, 121,
                                             121, 121, 121, 121, 4, 3,   1,   1};
        for (int i = 0; i < kSlotCount; ++i) {
            unit.slotValue[i] = static_cast<uint32_t>(below(kValues[i]));
            unit.slotPrevValue[i] = unit.slotValue[i];
            unit.slotDistance[i] = distanceFor(i, criticalKmh(v), v);
        }
        unit.slot1FixedLimit = below(4) == 0;
        unit.slot4FixedLimit = below(4) == 0;
    }

    // Every brake and warning pattern taken in full on a copy of the unit before the pass.
    static void evaluateInFull(CVantor& full, double v) {
        for (int i = 0; i < kSlotCount; ++i) {
            const double ahead = full.slotDistance[i] - v * full.reactionTime / 3.6;
            full.slotPatternSpeed[i] =
                full.computePatternSpeed(i, full.slotValue[i], ahead > 0.0 ? ahead : 0.0);
        }
        full.patternDisplay = full.updateLowestPattern();
        bool over = (full.slotValue[13] == 1 && v >= 25.0) ||
                    (full.slotValue[13] == 2 && v >= 45.0) ||
                    (full.slotValue[14] == 1 && v >= 20.0);
        for (int i = 0; i <= 12; ++i) {
            const double w = (full.reactionTime + 5.0) * v / 3.6;
            over = v > full.computePatternSpeed(i, full.slotValue[i], full.slotDistance[i] - w) -
                           10.0 ||
                   over;
        }
        full.warningLamp = over ? 1 : 0;
    }

    // The slot whose brake pattern is the lowest, the first of equals, as the bench's
    // explanations name it from the stored patterns.
    static int lowestSlot(const CVantor& unit) {
        int lowest = 0;
        for (int i = 1; i < kSlotCount; ++i) {
            const double here = unit.slotPatternSpeed[i];
            const double best = unit.slotPatternSpeed[lowest];
            if (!std::isnan(here) && (std::isnan(best) || here < best)) {
                lowest = i;
            }
        }
        return lowest;
    }

    std::mt19937 random_{2024};
};

TEST_F(PatternPass, DecidesAsEveryCurveTakenInFull) {
    struct Settings {
        double deceleration;
        double reactionTime;
        double maxSpeed;
    };
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const Settings table[] = {{2.5, 1.0, 125.0},  {0.7, 0.0, 90.0},  {4.5, 2.5, 215.0},
                              {3.0, 1.0, 300.0},  {0.0, 1.0, 125.0}, {-1.5, 1.0, 125.0},
                              {kInf, 1.0, 125.0}, {2.5, -3.0, -40.0}};
    for (const Settings& settings : table) {
        unit.deceleration = settings.deceleration;
        unit.reactionTime = settings.reactionTime;
        unit.maxSpeed = settings.maxSpeed;
        for (int trial = 0; trial < 3000; ++trial) {
            // Whole, eighths, or one unit in the last place off either.
            speed = static_cast<float>(below(181) - 20) + 0.125f * static_cast<float>(below(8));
            if (below(2) == 0) {
                speed = std::nextafter(speed, below(2) == 0 ? 1000.0f : -1000.0f);
            }
            drawSlots(speed);
            CVantor full = unit;
            evaluateInFull(full, speed);
            unit.supervisePatterns(0.0);
            ASSERT_EQ(unit.lowestPatternSpeed, full.lowestPatternSpeed) << trial;
            ASSERT_EQ(unit.patternDisplay, full.patternDisplay) << trial;
            ASSERT_EQ(unit.warningLamp, full.warningLamp) << trial << " at " << speed;
            ASSERT_EQ(lowestSlot(unit), lowestSlot(full)) << trial;
            ASSERT_EQ(std::memcmp(unit.slotValue, full.slotValue, sizeof unit.slotValue), 0);
            ASSERT_EQ(std::memcmp(unit.slotDistance, full.slotDistance, sizeof unit.slotDistance),
                      0);
        }
    }
}

// While every slot stays empty their patterns are written once, for the maximum speed of the
// time: a new maximum speed, or a pass with a restriction in between, has them written again.
TEST_F(PatternPass, EmptySlotsPatternsFollowTheMaximumSpeed) {
    const auto expectEmptySlots = [&](double maxSpeed, const char* when) {
        const double maxPattern = maxSpeed + 10.0;
        EXPECT_EQ(unit.slotPatternSpeed[0], maxPattern + 1.0) << when;
        EXPECT_EQ(unit.slotPatternSpeed[2], maxPattern) << when;
        EXPECT_EQ(unit.slotPatternSpeed[5], 80000.0) << when;
        EXPECT_EQ(unit.lowestPatternSpeed, static_cast<int32_t>(maxPattern)) << when;
    };
    frame(16, 60.0f);
    frame(16, 60.0f);
    expectEmptySlots(125.0, "after the run's start");
    unit.maxSpeed = 90.0;
    frame(16, 60.0f);
    expectEmptySlots(90.0, "with a lower maximum speed");
    unit.slotValue[5] = 60;
    unit.slotDistance[5] = 100.0;
    frame(16, 60.0f);
    EXPECT_LT(unit.slotPatternSpeed[5], 100.0) << "a restriction ahead";
    unit.slotValue[5] = 0;
    frame(16, 60.0f);
    expectEmptySlots(90.0, "once the restriction is gone");
}

// With every slot empty, the pass is taken once and then repeated while the stop points of
// slots 0, 3 and 4 lie far enough ahead (frames of 0 ms keep them where they are placed). A
// point that comes near, and each setting the pass depends on, bring back what it gives in full.
TEST_F(PatternPass, RestingPassGivesWayToAStopPointWithinTheRunOn) {
    frame(0, 60.0f);
    frame(0, 60.0f);
    ASSERT_EQ(unit.lowestPatternSpeed, 135);
    // 1028 m lies beyond where the stop curve crosses 136 km/h (1027.6 m), but not once the
    // 16.7 m run in the reaction time at 60 km/h are taken off: 134.9 km/h.
    unit.slotDistance[0] = 1028.0;
    frame(0, 60.0f);
    EXPECT_EQ(unit.lowestPatternSpeed, 134) << "slot 0";
    unit.slotDistance[0] = 9e8;
    frame(0, 60.0f);
    ASSERT_EQ(unit.lowestPatternSpeed, 135);
    EXPECT_EQ(unit.slotPatternSpeed[0], 136.0) << "the bound again, not the curve of the sweep";
    unit.slotDistance[4] = 1028.0;
    frame(0, 60.0f);
    EXPECT_EQ(unit.lowestPatternSpeed, 134) << "slot 4";
    unit.slotDistance[4] = 9e8;
    frame(0, 60.0f);
    ASSERT_EQ(unit.lowestPatternSpeed, 135);
    unit.slot4FixedLimit = true;
    frame(0, 60.0f);
    EXPECT_EQ(unit.lowestPatternSpeed, 15) << "slot 4's fixed limit";
}

TEST_F(PatternPass, RestingPassGivesWayToTheWarningsLongerRunOn) {
    frame(0, 124.0f);
    frame(0, 124.0f);
    ASSERT_EQ(unit.warningLamp, 0);
    // At 124 km/h a point 1100 m ahead gives 138.5 km/h to the brake (34.4 m run on), but to the
    // warning, 172 m further on, 126.8 km/h: within 10 km/h of the speed.
    unit.slotDistance[3] = 1100.0;
    frame(0, 124.0f);
    EXPECT_EQ(unit.lowestPatternSpeed, 135);
    EXPECT_EQ(unit.warningLamp, 1);
}

TEST_F(PatternPass, RestingPassFollowsEverySettingItDependsOn) {
    unit.slotDistance[4] = 2000.0;
    frame(0, 60.0f);
    frame(0, 60.0f);
    ASSERT_EQ(unit.lowestPatternSpeed, 135);
    ASSERT_EQ(unit.patternDisplay, 57);

    unit.deceleration = 1.2;
    frame(0, 60.0f);
    EXPECT_EQ(unit.lowestPatternSpeed, 130) << "a gentler brake: 130.9 km/h at 1983 m";
    unit.deceleration = 2.5;
    frame(0, 60.0f);
    EXPECT_EQ(unit.lowestPatternSpeed, 135);

    unit.reactionTime = 60.0;
    frame(0, 60.0f);
    EXPECT_EQ(unit.lowestPatternSpeed, 134) << "a minute's reaction: 1000 m run on";
    unit.reactionTime = 1.0;
    frame(0, 60.0f);
    EXPECT_EQ(unit.lowestPatternSpeed, 135);

    unit.setDisplayScale(120, 140);
    frame(0, 60.0f);
    EXPECT_EQ(unit.patternDisplay, 115);
}

} // namespace
