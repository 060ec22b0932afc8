// The coils: spacing windows, what each coil does in each coil state, the target speeds of coil
// pairs and how a pair fills and releases its two slots.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "unit_bytes.h"
#include "unit_fixture.h"

namespace {

using vantor::CVantor;
using vantor::kSlotCount;
using vantor::testing::UnitBytes;
using vantor::testing::UnitTest;

constexpr double kFar = 9e8; // where the start of a run parks every slot
constexpr double kReleased = 900000.0;

struct SlotWrite {
    int slot;
    uint32_t value;
    double distance;
};

class CoilDecoding : public UnitTest {
  protected:
    // A coil reached after the given distance since the last coil-like event.
    void coil(int32_t code, int32_t signal, uint32_t state, double spacing) {
        unit.coilCode = state;
        unit.distanceSinceCoil = spacing;
        unit.onBeacon70(signal, code);
    }

    // Every slot as the start of a run leaves it, except the ones written.
    void expectSlots(const std::vector<SlotWrite>& writes, const char* what) {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            uint32_t value = 0;
            double distance = kFar;
            for (const SlotWrite& write : writes) {
                if (write.slot == slot) {
                    value = write.value;
                    distance = write.distance;
                }
            }
            EXPECT_EQ(unit.slotValue[slot], value) << what << ", slot " << slot;
            EXPECT_EQ(unit.slotDistance[slot], distance) << what << ", slot " << slot;
        }
    }
};

TEST(SpacingWindows, BoundsAreExclusiveAndEachWindowGivesItsNominalSpacing) {
    struct Window {
        double lower;
        double upper;
        float nominal;
    };
    const Window windows[] = {
        {1.3, 2.6, 2.0f},    {3.4, 4.7, 4.0f},    {5.8, 7.1, 6.5f},    {8.4, 9.7, 9.0f},
        {11.3, 12.6, 12.0f}, {14.5, 15.8, 15.0f}, {18.0, 19.3, 18.5f}, {21.9, 23.2, 22.5f},
    };
    for (const Window& w : windows) {
        EXPECT_EQ(CVantor::classifySpacing(w.lower), 0.0f) << w.lower;
        EXPECT_EQ(CVantor::classifySpacing(w.upper), 0.0f) << w.upper;
        EXPECT_EQ(CVantor::classifySpacing(std::nextafter(w.lower, 100.0)), w.nominal) << w.lower;
        EXPECT_EQ(CVantor::classifySpacing(std::nextafter(w.upper, 0.0)), w.nominal) << w.upper;
        EXPECT_EQ(CVantor::classifySpacing(w.nominal), w.nominal);
    }
}

TEST(SpacingWindows, GapsNegativeAndNotANumberGiveNone) {
    for (double gap :
         {0.0, 1.0, 3.0, 5.0, 8.0, 10.0, 13.0, 17.0, 20.0, 23.5, 25.0, -2.0,
          std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(CVantor::classifySpacing(gap), 0.0f) << gap;
    }
}

// Each cell of the coil table, with the spacing and signal that would make a wrong cell act;
// single-coil stop points need signal 0.
TEST_F(CoilDecoding, EachCodeActsByTheCoilState) {
    struct Cell {
        int32_t code;
        uint32_t state;
        int32_t signal;
        double spacing;
        std::vector<SlotWrite> writes;
    };
    // clang-format off
    const Cell cells[] = {
        {80, 0, 0, 4.0, {{0, 1, 644.0}}},      {80, 0, 1, 4.0, {}},
        {80, 90, 0, 4.0, {{9, 100, 555.0}}},   {80, 95, 0, 4.0, {{3, 1, 644.0}}},
        {80, 95, 1, 4.0, {}},                  {80, 108, 0, 4.0, {{2, 1, 89.0}}},
        {80, 108, 1, 4.0, {}},                 {80, 80, 0, 4.0, {}},
        {80, 85, 0, 4.0, {}},                  {85, 0, 111, 2.0, {}},
        {85, 90, 0, 4.0, {{5, 110, 555.0}}},   {85, 95, 111, 2.0, {}},
        {85, 108, 111, 2.0, {{14, 1, kFar}}},  {85, 80, 111, 2.0, {}},
        {85, 85, 111, 2.0, {}},                {90, 0, 0, 2.0, {}},
        {90, 90, 0, 4.0, {{11, 65, 555.0}}},   {90, 95, 0, 2.0, {}},
        {90, 108, 0, 2.0, {{13, 2, kFar}}},    {90, 80, 0, 2.0, {}},
        {90, 85, 0, 2.0, {}},                  {95, 0, 0, 4.0, {}},
        {95, 90, 0, 4.0, {{7, 70, 555.0}}},    {95, 95, 0, 4.0, {}},
        {95, 108, 111, 2.0, {}},               {95, 80, 0, 4.0, {}},
        {95, 85, 0, 4.0, {}},
    };
    // clang-format on
    for (const Cell& cell : cells) {
        SetUp();
        coil(cell.code, cell.signal, cell.state, cell.spacing);
        const std::string what =
            "code " + std::to_string(cell.code) + " in state " + std::to_string(cell.state);
        expectSlots(cell.writes, what.c_str());
        EXPECT_EQ(unit.coilCode, static_cast<uint32_t>(cell.code)) << what;
        EXPECT_EQ(unit.distanceSinceCoil, 0.0) << what;
    }
}

TEST_F(CoilDecoding, FixedChecksAfterAStopTransponderFollowTheSpacing) {
    coil(90, 0, 108, 4.0);
    EXPECT_EQ(unit.slotValue[13], 1u);
    unit.slotValue[13] = 2;
    coil(90, 0, 108, 6.5);
    EXPECT_EQ(unit.slotValue[13], 2u) << "other spacings leave slot 13";

    coil(85, 110, 108, 2.0);
    EXPECT_EQ(unit.slotValue[14], 0u) << "only signal 111 counts";
    EXPECT_EQ(unit.coilCode, 85u);
    coil(85, 111, 108, 2.0);
    EXPECT_EQ(unit.slotValue[14], 1u);
    coil(85, 111, 108, 9.0);
    EXPECT_EQ(unit.slotValue[14], 1u) << "other spacings leave slot 14";
    coil(85, 111, 108, 4.0);
    EXPECT_EQ(unit.slotValue[14], 0u);
    EXPECT_EQ(unit.slotDistance[14], kFar) << "slot 14 has no distance of its own";
}

// Every row and column of the pair table, each spacing taken off its nominal value.
TEST_F(CoilDecoding, PairSpeedsBySpacingAndSecondCode) {
    const double spacings[] = {4.0, 6.5, 9.0, 12.0, 15.0, 18.5, 22.5};
    const int32_t codes[] = {80, 85, 90, 95};
    const int firstSlots[] = {9, 5, 11, 7};
    const uint32_t speeds[7][4] = {
        {100, 110, 65, 70}, {95, 100, 60, 65}, {85, 90, 55, 60}, {75, 80, 50, 55},
        {65, 70, 45, 50},   {55, 60, 40, 45},  {45, 50, 35, 35},
    };
    for (int row = 0; row < 7; ++row) {
        for (int column = 0; column < 4; ++column) {
            SetUp();
            coil(codes[column], 0, 90, spacings[row] + 0.5);
            const std::string what =
                std::to_string(codes[column]) + " at " + std::to_string(spacings[row] + 0.5) + " m";
            expectSlots({{firstSlots[column], speeds[row][column], 555.0}}, what.c_str());
        }
    }
}

TEST_F(CoilDecoding, PairFillsFirstThenSecondThenKeepsBoth) {
    coil(80, 0, 90, 4.0);
    EXPECT_EQ(unit.slotValue[9], 100u);
    EXPECT_EQ(unit.coilCode, 80u);
    EXPECT_EQ(unit.distanceSinceCoil, 0.0);

    unit.slotDistance[9] = 300.0; // the train has run on
    coil(80, 0, 90, 12.0);
    EXPECT_EQ(unit.slotValue[9], 100u);
    EXPECT_EQ(unit.slotDistance[9], 300.0);
    EXPECT_EQ(unit.slotValue[10], 75u);
    EXPECT_EQ(unit.slotDistance[10], 555.0);

    unit.slotDistance[10] = 200.0;
    coil(80, 0, 90, 22.5);
    expectSlots({{9, 100, 300.0}, {10, 75, 200.0}}, "both slots taken");

    unit.slotValue[9] = 0; // the first restriction has ended
    coil(80, 0, 90, 9.0);
    EXPECT_EQ(unit.slotValue[9], 85u);
    EXPECT_EQ(unit.slotDistance[9], 555.0);
    EXPECT_EQ(unit.slotValue[10], 75u);
}

TEST_F(CoilDecoding, PairWithNoSpeedReleasesOnlyItsOwnSlots) {
    for (double spacing : {2.0, 3.0, 0.0, 24.0}) {
        SetUp();
        coil(80, 0, 90, 4.0);
        coil(80, 0, 90, 12.0);
        coil(85, 0, 90, 4.0);
        unit.slotDistance[9] = 300.0;
        coil(80, 0, 90, spacing);
        expectSlots({{9, 0, 300.0}, {10, 0, 555.0}, {5, 110, 555.0}},
                    ("release at " + std::to_string(spacing)).c_str());
        EXPECT_EQ(unit.coilCode, 80u);
    }
}

// Code 103 frees the secondary pair after a code-95 coil, else the primary one; beside them an
// 89 m point and a restriction, which no release ends.
TEST_F(CoilDecoding, ReleaseCoilNeedsASignalAndFreesThePairOfTheCoilState) {
    for (uint32_t state : {95u, 0u, 80u, 85u, 90u, 108u}) {
        SetUp();
        std::vector<SlotWrite> slots;
        for (int slot : {0, 1, 2, 3, 4, 9}) {
            unit.slotValue[slot] = 1;
            unit.slotDistance[slot] = 300.0;
            const bool freed = state == 95 ? slot == 3 || slot == 4 : slot <= 1;
            slots.push_back(freed ? SlotWrite{slot, 0, kReleased} : SlotWrite{slot, 1, 300.0});
        }
        unit.coilCode = state;
        unit.distanceSinceCoil = 4.0;
        const UnitBytes before(unit);
        unit.onBeacon70(0, 103);
        EXPECT_TRUE(UnitBytes(unit) == before) << "signal 0 changes nothing";
        unit.onBeacon70(state == 95 ? 7 : -1, 103);
        expectSlots(slots, ("in state " + std::to_string(state)).c_str());
        EXPECT_EQ(unit.coilCode, state);
        EXPECT_EQ(unit.distanceSinceCoil, 4.0);
    }
}

TEST_F(CoilDecoding, OtherCodesAndCutOutUnitChangeNothing) {
    unit.coilCode = 90;
    unit.distanceSinceCoil = 4.0;
    for (int32_t code : {0, 79, 81, 100, 108, -80, std::numeric_limits<int32_t>::min()}) {
        const UnitBytes before(unit);
        unit.onBeacon70(0, code);
        EXPECT_TRUE(UnitBytes(unit) == before) << code;
    }

    unit.coilCutOut = true;
    frame(16, 0.0f); // the unit is cut out from this frame on
    ASSERT_FALSE(unit.unitActive);
    unit.coilCode = 90;
    unit.distanceSinceCoil = 4.0;
    for (int32_t code : {80, 85, 90, 95, 103}) {
        const UnitBytes before(unit);
        unit.onBeacon70(1, code);
        EXPECT_TRUE(UnitBytes(unit) == before) << "code " << code << " while cut out";
    }
}

// The coil state lapses when the frames have summed more than 25 m since the coil.
TEST_F(CoilDecoding, CoilStateLapsesBeyondTwentyFiveMetres) {
    speed = 90.0f;
    unit.coilCode = 90;
    unit.distanceSinceCoil = 0.0;
    frame(1000, 90.0f); // 25 m
    ASSERT_EQ(unit.distanceSinceCoil, 25.0);
    EXPECT_EQ(unit.coilCode, 90u) << "exactly 25 m keeps the state";
    unit.onBeacon70(0, 80);
    for (uint32_t value : unit.slotValue) {
        EXPECT_EQ(value, 0u) << "no window holds 25 m, so the pair decodes to no speed";
    }
    EXPECT_EQ(unit.coilCode, 80u);

    unit.coilCode = 90;
    unit.distanceSinceCoil = 0.0;
    frame(1000, 90.0f);
    frame(16, 90.0f);
    EXPECT_EQ(unit.coilCode, 0u);
    EXPECT_EQ(unit.distanceSinceCoil, 0.0);
    unit.onBeacon70(0, 80);
    EXPECT_EQ(unit.slotValue[0], 1u) << "acts as in state 0";
    EXPECT_EQ(unit.slotDistance[0], 644.0);
}

} // namespace
