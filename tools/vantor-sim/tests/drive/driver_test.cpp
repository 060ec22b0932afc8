// The driver's aim along a profile: he brakes in time for every lower speed ahead, not only
// the nearest, and reads the profile right wherever he is asked about, also behind the last
// place he was.
#include <gtest/gtest.h>

#include <cmath>

#include "drive/driver.h"

using namespace vantor::sim;

TEST(Driver, AimsBelowEveryBrakingCurveAheadWhereverAsked) {
    DriverPlan plan;
    plan.deceleration = 2.0; // 7.2 * 2 = 14.4 (km/h)² per metre
    plan.profile = {{0.0, 100.0}, {1000.0, 90.0}, {1200.0, 30.0}, {5000.0, 100.0}};
    const Vehicle vehicle;
    Driver driver(plan, vehicle);
    const Observation none;

    EXPECT_DOUBLE_EQ(driver.aim(0.0, 0.0, none), 100.0);
    // The 30 km/h point behind the 90 km/h one is the lower curve here.
    EXPECT_DOUBLE_EQ(driver.aim(900.0, 0.0, none), std::sqrt(30.0 * 30.0 + 14.4 * 300.0));
    // At 36 km/h the driver allows 20 m of running before his brake takes hold.
    EXPECT_DOUBLE_EQ(driver.aim(900.0, 36.0, none), std::sqrt(30.0 * 30.0 + 14.4 * 280.0));
    EXPECT_DOUBLE_EQ(driver.aim(1100.0, 0.0, none), std::sqrt(30.0 * 30.0 + 14.4 * 100.0));
    EXPECT_DOUBLE_EQ(driver.aim(1200.0, 0.0, none), 30.0);
    EXPECT_DOUBLE_EQ(driver.aim(4990.0, 0.0, none), 30.0);
    EXPECT_DOUBLE_EQ(driver.aim(6000.0, 0.0, none), 100.0);
    // Asked again about places behind: the same answers as on the way out.
    EXPECT_DOUBLE_EQ(driver.aim(1100.0, 0.0, none), std::sqrt(30.0 * 30.0 + 14.4 * 100.0));
    EXPECT_DOUBLE_EQ(driver.aim(0.0, 0.0, none), 100.0);

    Observation pattern;
    pattern.patternSpeed = 50.0; // less the 5 km/h margin
    EXPECT_DOUBLE_EQ(driver.aim(0.0, 0.0, pattern), 45.0);
}
