// Braking curves of each slot, with the default deceleration 2.5 km/h/s and maximum 125 km/h.
#include <cmath>

#include "unit_fixture.h"

namespace {

using vantor::testing::UnitTest;

class PatternCurves : public UnitTest {};

TEST_F(PatternCurves, StopPointsHaveAFloorButBehindThePointConstrainNothing) {
    EXPECT_NEAR(unit.computePatternSpeed(0, 1, 644.0), 107.666, 0.0005);
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(0, 1, 0.0), 65.0);
    EXPECT_GT(unit.computePatternSpeed(0, 0, 9e8), 100000.0);
    EXPECT_TRUE(std::isnan(unit.computePatternSpeed(0, 1, -1.0)));
    EXPECT_TRUE(std::isnan(unit.computePatternSpeed(3, 1, -1.0)));
}

TEST_F(PatternCurves, PrimaryStopFollowsItsValueFixedLimitAndAuxiliaryPoint) {
    EXPECT_NEAR(unit.computePatternSpeed(1, 1, 390.0), 83.785, 0.0005);
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(1, 1, 0.0), 10.0);
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(1, 0, 390.0), 135.0);
    unit.slotValue[2] = 1;
    unit.slotDistance[2] = 89.0;
    EXPECT_NEAR(unit.computePatternSpeed(1, 1, 390.0), 40.025, 0.0005);
    EXPECT_NEAR(unit.computePatternSpeed(1, 1, 5.0), 40.025, 0.0005);
    unit.slot1FixedLimit = true;
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(1, 1, 390.0), 15.0);
}

TEST_F(PatternCurves, PrimaryStopRearmsOnlyStrictlyBeyondEightyMetres) {
    unit.slotValue[0] = 1;
    unit.slotValue[1] = 2;
    unit.slotValue[2] = 1;
    unit.computePatternSpeed(1, 2, -80.0);
    EXPECT_EQ(unit.slotValue[0], 1u) << "not re-armed at exactly -80 m";
    EXPECT_EQ(unit.slotValue[1], 2u);

    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(1, 2, -80.5), 135.0);
    for (int slot = 0; slot <= 2; ++slot) {
        EXPECT_EQ(unit.slotValue[slot], 0u) << slot;
        EXPECT_DOUBLE_EQ(unit.slotDistance[slot], 800000.0) << slot;
    }
}

TEST_F(PatternCurves, RearmKeepsTheFixedLimitForTheNextStop) {
    unit.slot1FixedLimit = true;
    unit.slotValue[1] = 2;
    unit.computePatternSpeed(1, 2, -81.0);
    unit.slotValue[1] = 1;
    unit.slotDistance[1] = 390.0;
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(1, 1, 390.0), 15.0);
}

TEST_F(PatternCurves, SecondaryStopRearmsTheSecondaryPointAndKeepsItsOwnValue) {
    unit.slotValue[3] = 1;
    unit.slotValue[4] = 2;
    unit.slot4FixedLimit = true;
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(4, 2, -81.0), 15.0);
    EXPECT_EQ(unit.slotValue[3], 0u);
    EXPECT_DOUBLE_EQ(unit.slotDistance[3], 800000.0);
    EXPECT_EQ(unit.slotValue[4], 2u);

    unit.slot4FixedLimit = false;
    EXPECT_NEAR(unit.computePatternSpeed(4, 0, 100.0), 42.426, 0.0005) << "value not consulted";
}

TEST_F(PatternCurves, TargetSpeedsNeverFallBelowTheTarget) {
    EXPECT_NEAR(unit.computePatternSpeed(5, 110, 555.0), 148.627, 0.0005);
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(5, 110, 0.0), 110.0);
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(5, 110, -300.0), 110.0);
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(5, 0, 555.0), 80000.0);
    for (uint32_t slot : {6u, 9u, 10u, 11u, 12u}) {
        EXPECT_DOUBLE_EQ(unit.computePatternSpeed(slot, 60, -1000.0), 60.0) << slot;
    }
}

TEST_F(PatternCurves, ReleasedTargetsEndFiftyFiveMetresBehindThePoint) {
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(7, 45, -55.0), 45.0);
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(7, 45, -55.01), 80000.0);
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(8, 45, -55.01), 80000.0);
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(8, 0, 100.0), 80000.0);
}

TEST_F(PatternCurves, FixedChecksAndMaximumSpeedSlots) {
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(13, 1, 0.0), 30.0);
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(13, 2, 0.0), 50.0);
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(13, 3, 0.0), 80000.0);
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(14, 7, 0.0), 25.0);
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(14, 0, 0.0), 80000.0);
    for (uint32_t slot : {2u, 15u, 16u, 17u, 4000000000u}) {
        EXPECT_DOUBLE_EQ(unit.computePatternSpeed(slot, 1, 0.0), 135.0) << slot;
    }
}

TEST_F(PatternCurves, ZeroDecelerationCollapsesEveryCurveToItsFloor) {
    unit.deceleration = 0.0;
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(0, 1, 644.0), 65.0);
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(4, 1, 644.0), 10.0);
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(9, 75, 555.0), 75.0);
}

TEST_F(PatternCurves, LowestPatternTruncatesAndIgnoresNaN) {
    for (double& pattern : unit.slotPatternSpeed) {
        pattern = 135.0;
    }
    EXPECT_EQ(unit.updateLowestPattern(), 57);
    EXPECT_EQ(unit.lowestPatternSpeed, 135);

    unit.slotPatternSpeed[3] = 65.9;
    unit.slotPatternSpeed[8] = 65.5;
    unit.slotPatternSpeed[0] = std::nan("");
    unit.updateLowestPattern();
    EXPECT_EQ(unit.lowestPatternSpeed, 65);
}

TEST_F(PatternCurves, LowestPatternIsCappedAt220) {
    unit.maxSpeed = 215.0;
    for (uint32_t slot = 0; slot < 17; ++slot) {
        unit.slotPatternSpeed[slot] = unit.computePatternSpeed(slot, 0, 9e8);
    }
    EXPECT_EQ(unit.updateLowestPattern(), 94);
    EXPECT_EQ(unit.lowestPatternSpeed, 220);
}

TEST_F(PatternCurves, DisplayScaledToZeroShowsZero) {
    unit.displayMaxSpeed = 0;
    for (double& pattern : unit.slotPatternSpeed) {
        pattern = 135.0;
    }
    EXPECT_EQ(unit.updateLowestPattern(), 0);
    unit.displayResolution = 2000000000;
    unit.displayMaxSpeed = 1;
    EXPECT_EQ(unit.updateLowestPattern(), 2147483647) << "held at the top of the range";
}

} // namespace
