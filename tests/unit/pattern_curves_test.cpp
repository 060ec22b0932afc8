// Braking curves of each slot, with the default deceleration 2.5 km/h/s and maximum 125 km/h.
#include <cmath>

#include "unit_fixture.h"

namespace {

using vantor::testing::UnitTest;

constexpr double kNone = NAN; // behind its point a stop curve constrains nothing

class PatternCurves : public UnitTest {};

TEST_F(PatternCurves, EachSlotsCurveWithItsFloorAndTarget) {
    struct Curve {
        uint32_t slot;
        int32_t value;
        double distance;
        double kmh;
    };
    // Stop points with a floor of 65 km/h, stop patterns with one of 10 km/h (the value of slot
    // 4 is not consulted), targets never below the target and released 55 m behind their point,
    // fixed checks, and every other slot at the maximum speed and its margin.
    const Curve curves[] = {
        {0, 1, 644.0, 107.666},   {0, 1, 0.0, 65.0},           {0, 0, 9e8, 127279.221},
        {0, 1, -1.0, kNone},      {3, 1, -1.0, kNone},         {1, 1, 390.0, 83.785},
        {1, 1, 0.0, 10.0},        {1, 0, 390.0, 135.0},        {4, 0, 100.0, 42.426},
        {5, 110, 555.0, 148.627}, {5, 110, 0.0, 110.0},        {5, 110, -300.0, 110.0},
        {5, 0, 555.0, 80000.0},   {6, 60, -1000.0, 60.0},      {9, 60, -1000.0, 60.0},
        {10, 60, -1000.0, 60.0},  {11, 60, -1000.0, 60.0},     {12, 60, -1000.0, 60.0},
        {7, 45, -55.0, 45.0},     {7, 45, -55.01, 80000.0},    {8, 45, -55.01, 80000.0},
        {8, 0, 100.0, 80000.0},   {13, 1, 0.0, 30.0},          {13, 2, 0.0, 50.0},
        {13, 3, 0.0, 80000.0},    {14, 7, 0.0, 25.0},          {14, 0, 0.0, 80000.0},
        {2, 1, 0.0, 135.0},       {15, 1, 0.0, 135.0},         {16, 1, 0.0, 135.0},
        {17, 1, 0.0, 135.0},      {4000000000u, 1, 0.0, 135.0}};
    for (const Curve& c : curves) {
        const double kmh = unit.computePatternSpeed(c.slot, c.value, c.distance);
        if (std::isnan(c.kmh)) {
            EXPECT_TRUE(std::isnan(kmh)) << c.slot << " at " << c.distance;
        } else {
            EXPECT_NEAR(kmh, c.kmh, 0.0005) << c.slot << "/" << c.value << " at " << c.distance;
        }
    }
}

TEST_F(PatternCurves, PrimaryStopFollowsItsAuxiliaryPointAndFixedLimit) {
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
    unit.computePatternSpeed(4, 2, -80.0);
    EXPECT_EQ(unit.slotValue[3], 1u) << "not re-armed at exactly -80 m";
    EXPECT_DOUBLE_EQ(unit.computePatternSpeed(4, 2, -81.0), 15.0);
    EXPECT_EQ(unit.slotValue[3], 0u);
    EXPECT_DOUBLE_EQ(unit.slotDistance[3], 800000.0);
    EXPECT_EQ(unit.slotValue[4], 2u);
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
    unit.setDisplayScale(60, 0);
    for (double& pattern : unit.slotPatternSpeed) {
        pattern = 135.0;
    }
    EXPECT_EQ(unit.updateLowestPattern(), 0);
    unit.setDisplayScale(2000000000, 1);
    EXPECT_EQ(unit.updateLowestPattern(), 2147483647) << "held at the top of the range";
}

} // namespace
