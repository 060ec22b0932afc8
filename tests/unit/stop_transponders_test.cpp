// Stop transponders: the stop distance chosen by type 0, the fixed limits and releases of
// type 1, and types 50/55 with their stop patterns, coil cut-out and cut-out watch.
#include <string>
#include <utility>

#include "unit_fixture.h"

namespace {

using vantor::kConfirmTimer;
using vantor::kCutOutTimer;
using vantor::kType65Timer;
using vantor::testing::UnitTest;

constexpr double kReleased = 900000.0;

class StopTransponders : public UnitTest {
  protected:
    void SetUp() override {
        UnitTest::SetUp();
        frame(16, 40.0f);
    }
    void occupy(int slot) {
        unit.slotValue[slot] = 1;
        unit.slotDistance[slot] = 300.0;
    }
    // Cut out by the coils, as the next frame sees it.
    void cutOutByCoils() {
        unit.coilCutOut = true;
        frame(16, 40.0f);
        ASSERT_TRUE(unit.cutOut);
        ASSERT_FALSE(unit.unitActive);
    }
};

// --- type 0 ---

TEST_F(StopTransponders, TypeZeroSelectsStopDistanceBySpacing) {
    struct Case {
        uint32_t state;
        bool slot0;
        bool slot3;
        double spacing;
        uint32_t primary;
        uint32_t secondary;
        uint32_t stateAfter;
        bool cutOut = false;
    };
    // Selections start at primary 3 and secondary 3, so that kept and cleared ones show.
    const Case cases[] = {
        {108, true, false, 2.0, 1, 0, 0},        {108, true, false, 4.0, 2, 0, 0},
        {108, true, false, 6.5, 3, 0, 0},        {108, true, true, 4.0, 2, 0, 0},
        {108, true, false, 9.0, 3, 0, 0},        {108, true, false, 0.0, 3, 0, 0},
        {108, false, false, 4.0, 0, 0, 108},     {108, false, true, 4.0, 0, 0, 108},
        {95, false, true, 2.0, 0, 1, 0},         {95, false, true, 4.0, 0, 2, 0},
        {95, true, true, 6.5, 0, 3, 0},          {95, false, true, 12.0, 0, 3, 0},
        {95, false, false, 4.0, 0, 0, 95},       {95, true, false, 4.0, 0, 0, 95},
        {0, true, true, 4.0, 0, 0, 0},           {90, true, true, 4.0, 0, 0, 90},
        {108, true, true, 4.0, 0, 0, 108, true}, {95, true, true, 4.0, 0, 0, 95, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "state " << c.state << " at " << c.spacing << " m, slots 0/3 " << c.slot0
                     << c.slot3 << (c.cutOut ? ", cut out" : ""));
        SetUp();
        if (c.slot0) {
            occupy(0);
        }
        if (c.slot3) {
            occupy(3);
        }
        if (c.cutOut) {
            cutOutByCoils();
        }
        unit.coilCode = c.state;
        unit.distanceSinceCoil = c.spacing;
        unit.primaryStopSelect = 3;
        unit.secondaryStopSelect = 3;
        unit.onBeacon0(1, 0);
        EXPECT_EQ(unit.primaryStopSelect, c.primary);
        EXPECT_EQ(unit.secondaryStopSelect, c.secondary);
        EXPECT_EQ(unit.coilCode, c.stateAfter);
        EXPECT_EQ(unit.distanceSinceCoil, c.spacing);
        EXPECT_FALSE(unit.alarmRequest);
    }
}

TEST_F(StopTransponders, TypeZeroRaisesTheAlarm) {
    struct Case {
        int32_t signal;
        int32_t optional;
        int32_t type65Timer;
        bool alarm;
    };
    const Case cases[] = {
        {0, 0, 0, true},  {0, 0, 500, true}, {1, 0, 0, false},   {1, 0, 500, false},
        {0, 1, 0, false}, {0, 1, 500, true}, {1, -1, 500, true}, {0, 1, -500, false},
    };
    for (const Case& c : cases) {
        SetUp();
        unit.timer[kType65Timer] = c.type65Timer;
        unit.onBeacon0(c.signal, c.optional);
        EXPECT_EQ(unit.alarmRequest, c.alarm)
            << c.signal << "/" << c.optional << " with type 65 at " << c.type65Timer;
        EXPECT_EQ(unit.timer[kConfirmTimer], c.alarm ? 5000 : 0);
    }
    cutOutByCoils();
    unit.onBeacon0(0, 0);
    EXPECT_TRUE(unit.alarmRequest) << "a cut-out unit rings too";
}

// --- type 1 ---

TEST_F(StopTransponders, TypeOneBySelectorTimerAndHoldOff) {
    enum Pair { kNone, kPrimary, kSecondary };
    struct Case {
        int32_t optional;
        int32_t signal;
        uint32_t state;
        int32_t type65Timer;
        bool holdOff;
        bool latch; // the brake latches
        Pair released;
        Pair fixed;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0, 1, kNone, kPrimary},    {0, 0, 0, 0, 1, 0, kNone, kPrimary},
        {0, 0, 0, 800, 0, 1, kNone, kPrimary},  {0, 0, 95, 0, 0, 1, kNone, kSecondary},
        {0, 0, 95, 0, 1, 0, kNone, kSecondary}, {0, 3, 0, 0, 0, 0, kPrimary, kNone},
        {0, 3, 95, 0, 0, 0, kSecondary, kNone}, {0, 3, 0, 800, 0, 0, kPrimary, kNone},
        {1, 0, 0, 0, 0, 0, kPrimary, kNone},    {1, 3, 95, 0, 0, 0, kSecondary, kNone},
        {1, 0, 0, -5, 0, 0, kPrimary, kNone},   {1, 0, 0, 800, 0, 1, kNone, kNone},
        {1, 0, 0, 1, 0, 1, kNone, kNone},       {1, 3, 0, 800, 1, 1, kNone, kNone},
        {2, 0, 0, 0, 0, 0, kPrimary, kNone},    {2, 3, 95, 0, 0, 0, kSecondary, kNone},
        {2, 0, 0, 800, 0, 1, kNone, kNone},     {2, 0, 0, 800, 1, 1, kNone, kNone},
        {2, 3, 0, 800, 0, 0, kNone, kNone},     {3, 0, 0, 0, 0, 0, kNone, kNone},
        {3, 0, 95, 800, 0, 0, kNone, kNone},    {-1, 0, 0, 0, 0, 0, kNone, kNone}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "selector " << c.optional << ", signal " << c.signal << ", state "
                     << c.state << ", type 65 at " << c.type65Timer << ", hold-off " << c.holdOff);
        SetUp();
        for (int slot : {0, 1, 2, 3, 4, 9, 13}) {
            occupy(slot);
        }
        unit.coilCode = c.state;
        unit.timer[kType65Timer] = c.type65Timer;
        unit.holdOffActive = c.holdOff;
        unit.onBeacon1(c.signal, c.optional);
        EXPECT_EQ(unit.brakeLatch, c.latch);
        EXPECT_EQ(unit.slotValue[13], 0u);
        EXPECT_EQ(unit.slotDistance[13], kReleased);
        EXPECT_EQ(unit.slot1FixedLimit, c.fixed == kPrimary);
        EXPECT_EQ(unit.slot4FixedLimit, c.fixed == kSecondary);
        // Each pair's stop slot and fixed-limit slot: kept, released or holding the limit.
        using Slot = std::pair<uint32_t, double>;
        const Slot kept{1, 300.0}, released{0, kReleased}, limit{2, 0.0};
        for (Pair pair : {kPrimary, kSecondary}) {
            const int stop = pair == kPrimary ? 0 : 3;
            const Slot stopSlot{unit.slotValue[stop], unit.slotDistance[stop]};
            const Slot fixedSlot{unit.slotValue[stop + 1], unit.slotDistance[stop + 1]};
            const bool freed = c.released == pair || c.fixed == pair;
            EXPECT_EQ(stopSlot, freed ? released : kept) << "slot " << stop;
            EXPECT_EQ(fixedSlot, c.fixed == pair ? limit : freed ? released : kept);
        }
        // An 89 m point and a restriction are no stop pair: nothing here ends them.
        EXPECT_EQ(unit.slotValue[2], 1u);
        EXPECT_EQ(unit.slotValue[9], 1u);
        // Only the fixed limit at the secondary pair ends the coil state.
        EXPECT_EQ(unit.coilCode, c.fixed == kSecondary ? 0u : c.state);
    }
}

// --- types 50 and 55: stop patterns ---

// The primary pattern in slot 1 with the primary selection, or, pending after a code-95 coil,
// the secondary one in slot 4 with the secondary selection.
TEST_F(StopTransponders, StopPatternDistanceFollowsTheSelection) {
    const double distances[] = {390.0, 455.0, 560.0, 765.0};
    for (uint32_t pending : {0u, 1u}) {
        const int slot = pending == 0 ? 1 : 4;
        for (uint32_t select = 0; select < 4; ++select) {
            SetUp();
            unit.coilCode = 108;
            unit.distanceSinceCoil = 10.0;
            unit.secondaryStopPending = pending;
            unit.primaryStopSelect = pending == 0 ? select : 3 - select;
            unit.secondaryStopSelect = pending == 0 ? 3 - select : select;
            unit.onBeacon50(0, pending == 0 ? 1 : -4);
            EXPECT_EQ(unit.slotValue[slot], 1u) << pending;
            EXPECT_EQ(unit.slotDistance[slot], distances[select]) << pending;
            EXPECT_EQ(unit.slotValue[5 - slot], 0u) << pending;
            EXPECT_EQ(unit.secondaryStopPending, 0u);
            EXPECT_EQ(unit.coilCode, 108u);
            EXPECT_EQ(unit.distanceSinceCoil, 0.0);
        }
    }
}

TEST_F(StopTransponders, StopPatternNeedsSignalZeroOptionalSetAndNoInhibit) {
    struct Case {
        int32_t signal;
        int32_t optional;
        bool inhibit;
    };
    for (uint32_t pending : {0u, 1u}) {
        for (const Case& c : {Case{0, 0, false}, Case{1, 1, false}, Case{0, 1, true}}) {
            SetUp();
            unit.coilCode = 108;
            unit.secondaryStopPending = pending;
            unit.stopInhibit = c.inhibit;
            unit.onBeacon50(c.signal, c.optional);
            EXPECT_EQ(unit.slotValue[1], 0u) << pending;
            EXPECT_EQ(unit.slotValue[4], 0u) << pending;
            EXPECT_EQ(unit.secondaryStopPending, pending);
            EXPECT_FALSE(unit.stopInhibit) << "cleared in state 108 in any case";
        }
    }
}

TEST_F(StopTransponders, CoilStatesBeforeTheStopTransponder) {
    unit.coilCode = 95;
    unit.onBeacon50(0, 1);
    EXPECT_EQ(unit.secondaryStopPending, 1u);
    EXPECT_EQ(unit.coilCode, 108u);
    EXPECT_EQ(unit.slotValue[4], 0u) << "the pattern comes with the next one";

    unit.coilCode = 85;
    unit.onBeacon50(0, 1);
    EXPECT_TRUE(unit.stopInhibit);
    unit.onBeacon50(0, 1);
    EXPECT_EQ(unit.slotValue[4], 0u) << "inhibited";
    EXPECT_FALSE(unit.stopInhibit);
    EXPECT_EQ(unit.secondaryStopPending, 1u);

    for (uint32_t state : {0u, 80u}) {
        SetUp();
        unit.coilCode = state;
        unit.distanceSinceCoil = 2.0;
        unit.onBeacon50(0, 1);
        EXPECT_EQ(unit.coilCode, 108u);
        EXPECT_EQ(unit.slotValue[1], 0u);
        EXPECT_FALSE(unit.coilCutOut);
        EXPECT_FALSE(unit.stopInhibit);
        EXPECT_EQ(unit.secondaryStopPending, 0u);
    }
}

TEST_F(StopTransponders, TwoMetresAfterCodeNinetyCutsOutFromTheNextFrameAndStopsPatterns) {
    for (double spacing : {4.0, 1.3, 2.6}) {
        unit.coilCode = 90;
        unit.distanceSinceCoil = spacing;
        unit.onBeacon50(0, 0);
        EXPECT_FALSE(unit.coilCutOut) << spacing;
    }
    unit.coilCode = 90;
    unit.distanceSinceCoil = 2.0;
    unit.onBeacon50(0, 0);
    EXPECT_TRUE(unit.coilCutOut);
    EXPECT_TRUE(unit.unitActive) << "the frame decides";
    EXPECT_EQ(unit.coilCode, 108u);
    EXPECT_EQ(unit.distanceSinceCoil, 0.0);

    frame(16, 40.0f);
    EXPECT_FALSE(unit.unitActive);
    EXPECT_EQ(unit.patternDisplay, 999);
    unit.coilCode = 0;
    unit.distanceSinceCoil = 5.0;
    unit.onBeacon50(0, 1);
    EXPECT_EQ(unit.coilCode, 0u) << "a cut-out unit keeps its coil state";
    EXPECT_EQ(unit.distanceSinceCoil, 5.0);
    for (uint32_t pending : {0u, 1u}) {
        unit.coilCode = 108;
        unit.secondaryStopPending = pending;
        unit.onBeacon50(0, 1);
        EXPECT_EQ(unit.slotValue[1] + unit.slotValue[4], 0u) << "no stop pattern while cut out";
        EXPECT_EQ(unit.secondaryStopPending, pending);
    }
}

// --- types 50 and 55: the cut-out watch ---

TEST_F(StopTransponders, WatchArmsLatchesOnOptionalZeroThenDisarmsAndReArms) {
    cutOutByCoils();
    unit.onBeacon50(0, 0);
    EXPECT_TRUE(unit.cutOutArmed);
    EXPECT_EQ(unit.timer[kCutOutTimer], 500);
    EXPECT_FALSE(unit.brakeLatch) << "the first one only arms";

    frame(100, 40.0f);
    unit.onBeacon50(0, 7);
    EXPECT_FALSE(unit.brakeLatch) << "optional not 0 never latches";
    unit.onBeacon50(1, 0);
    EXPECT_TRUE(unit.brakeLatch);
    EXPECT_TRUE(unit.cutOutArmed);
    EXPECT_EQ(unit.timer[kCutOutTimer], 400) << "not reloaded while it runs";

    unit.brakeLatch = false;
    for (int i = 0; i < 4; ++i) {
        frame(100, 40.0f);
    }
    ASSERT_EQ(unit.timer[kCutOutTimer], 0);
    unit.onBeacon50(0, 3);
    EXPECT_TRUE(unit.cutOutArmed) << "optional not 0 leaves the watch";
    EXPECT_EQ(unit.timer[kCutOutTimer], 0);
    EXPECT_FALSE(unit.brakeLatch);
    unit.onBeacon50(0, 0);
    EXPECT_TRUE(unit.brakeLatch);
    EXPECT_TRUE(unit.cutOutArmed) << "disarmed and at once armed again";
    EXPECT_EQ(unit.timer[kCutOutTimer], 500);
}

TEST_F(StopTransponders, WatchStaysDisarmedUnderStopInhibit) {
    cutOutByCoils();
    unit.onBeacon50(0, 0);
    frame(500, 40.0f);
    unit.stopInhibit = true;
    unit.coilCode = 108; // where the inhibit is used up
    unit.onBeacon50(0, 0);
    EXPECT_TRUE(unit.brakeLatch);
    EXPECT_FALSE(unit.cutOutArmed);
    EXPECT_EQ(unit.timer[kCutOutTimer], 0);

    unit.brakeLatch = false;
    unit.onBeacon50(0, 0);
    EXPECT_FALSE(unit.brakeLatch);
    EXPECT_TRUE(unit.cutOutArmed) << "the inhibit is used up";
}

TEST_F(StopTransponders, WatchNeedsACutOutUnit) {
    unit.onBeacon50(0, 0);
    unit.onBeacon50(0, 0);
    EXPECT_FALSE(unit.cutOutArmed);
    EXPECT_FALSE(unit.brakeLatch);

    unit.stopInhibit = true;
    cutOutByCoils();
    unit.onBeacon50(0, 0);
    EXPECT_FALSE(unit.cutOutArmed) << "an inhibited one does not arm";
}

TEST_F(StopTransponders, WatchLeftArmedAfterCutInDoesNotBrake) {
    unit.cutOutSelected = true;
    frame(16, 40.0f);
    unit.onBeacon50(0, 0);
    ASSERT_TRUE(unit.cutOutArmed);
    unit.reset(vantor::kResetCutIn); // key 13 again: the cut-in keeps the watch latch
    unit.cutOutSelected = false;
    frame(600, 40.0f);
    ASSERT_TRUE(unit.unitActive);
    unit.onBeacon50(0, 0);
    EXPECT_FALSE(unit.brakeLatch);
    EXPECT_TRUE(unit.cutOutArmed);
    EXPECT_EQ(unit.coilCode, 108u);
}

} // namespace
