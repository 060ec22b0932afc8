// Which transponders reach a handler, and with which of their fields.
#include <cmath>
#include <limits>

#include "unit_bytes.h"
#include "unit_fixture.h"

namespace {

using vantor::kType60Clock;
using vantor::kType65Timer;
using vantor::testing::UnitBytes;
using vantor::testing::UnitTest;

constexpr int32_t kKnownTypes[] = {0, 1, 50, 55, 60, 61, 65, 70};

class BeaconDispatch : public UnitTest {
  protected:
    void SetUp() override {
        UnitTest::SetUp();
        frame(16, 40.0f);
        // A state in which every known type would leave a trace.
        unit.coilCode = 108;
        unit.distanceSinceCoil = 4.0;
        unit.slotValue[0] = 1;
        unit.slotDistance[0] = 300.0;
        unit.slotValue[13] = 1;
        unit.timer[kType60Clock] = 5000;
        unit.timer[kType65Timer] = 1000;
    }
    void expectDropped(int32_t type, const char* why) {
        for (int32_t field : {0, 1, 80}) {
            const UnitBytes before(unit);
            unit.dispatchBeacon(type, 0, field);
            unit.dispatchBeacon(type, field, 0);
            EXPECT_TRUE(UnitBytes(unit) == before) << "type " << type << " " << why;
        }
    }
};

TEST_F(BeaconDispatch, UnknownTypesAreIgnored) {
    for (int32_t type = -3; type <= 75; ++type) {
        bool known = false;
        for (int32_t k : kKnownTypes) {
            known = known || k == type;
        }
        if (!known) {
            expectDropped(type, "unknown");
        }
    }
    expectDropped(std::numeric_limits<int32_t>::min(), "unknown");
    expectDropped(std::numeric_limits<int32_t>::max(), "unknown");
}

TEST_F(BeaconDispatch, StandingTrainOrUnpoweredUnitReadsNoTransponder) {
    for (float standstill : {0.0f, -0.0f}) {
        speed = standstill;
        for (int32_t type : kKnownTypes) {
            expectDropped(type, "at a standstill");
        }
    }
    unit.powerSwitch = false;
    frame(16, 40.0f);
    ASSERT_FALSE(unit.powered);
    unit.coilCode = 108;
    unit.slotValue[0] = 1;
    unit.timer[kType60Clock] = 5000;
    for (int32_t type : kKnownTypes) {
        expectDropped(type, "while unpowered");
    }
}

TEST_F(BeaconDispatch, AnyMovingSpeedCountsNotANumberIncluded) {
    for (float moving : {std::numeric_limits<float>::quiet_NaN(), -0.01f, 1e-30f, 300.0f}) {
        speed = moving;
        unit.dispatchBeacon(65, 0, 777);
        EXPECT_EQ(unit.timer[kType65Timer], 777) << moving;
        unit.dispatchBeacon(65, 0, 0);
    }
}

// Asymmetric fields show that each handler gets signal and optional the right way round.
TEST_F(BeaconDispatch, HandlersGetTheirFieldsInOrder) {
    unit.dispatchBeacon(0, 7, 0); // signal 7, optional 0: no alarm while type 65 runs
    EXPECT_FALSE(unit.alarmRequest);
    unit.dispatchBeacon(0, 0, 7);
    EXPECT_TRUE(unit.alarmRequest);

    unit.dispatchBeacon(1, 5, 1); // selector 1 while type 65 runs: brake
    EXPECT_TRUE(unit.brakeLatch);
    EXPECT_EQ(unit.slotValue[0], 1u);
    unit.brakeLatch = false;

    unit.coilCode = 108;
    unit.dispatchBeacon(61, 1, 6000); // within the limit with a signal: nothing
    EXPECT_EQ(unit.slotValue[0], 1u);
    EXPECT_EQ(unit.coilCode, 108u);

    for (int32_t type : {50, 55}) {
        unit.coilCode = 108;
        unit.slotValue[1] = 0;
        unit.primaryStopSelect = 1;
        unit.dispatchBeacon(type, 1, 0); // signal 1, optional 0: no stop pattern
        EXPECT_EQ(unit.slotValue[1], 0u) << type;
        unit.coilCode = 108;
        unit.dispatchBeacon(type, 0, 1);
        EXPECT_EQ(unit.slotValue[1], 1u) << type;
        EXPECT_EQ(unit.slotDistance[1], 455.0) << type;
    }

    unit.coilCode = 0;
    unit.slotValue[0] = 0;
    unit.dispatchBeacon(70, 0, 80);
    EXPECT_EQ(unit.slotValue[0], 1u);
    EXPECT_EQ(unit.coilCode, 80u);

    unit.dispatchBeacon(60, 1, 1);
    EXPECT_EQ(unit.timer[kType60Clock], 0);
}

} // namespace
