#include "unit_fixture.h"
using vantor::testing::UnitTest;
TEST_F(UnitTest, IdleUnitShowsNormalLamp) {
    frame(16, 0.0f);
    EXPECT_EQ(unit.normalLamp, 1);
}
