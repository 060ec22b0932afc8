// The train under the handles and the gradient: traction follows the reverser, the gradient
// rolls it back, and brakes stop it without turning it round.
#include <gtest/gtest.h>

#include "drive/train.h"

using namespace vantor::sim;

namespace {

struct Case {
    const char* name;
    double speed;    // km/h before the step
    Handles handles; // brake, power, reverser
    double perMille; // gradient from 0 m on
    double expected; // km/h after a step of 1 s
};

// 25 per mille pulls back at 0.8826 km/h/s; power notch 1 gives 1.0, brake notch 1 1.0 and
// notch 2 2.0 km/h/s; no running resistance.
const Case kCases[] = {
    {"ForwardTraction", 10.0, {0, 1, 1, 0}, 0.0, 11.0},
    {"ReverseTraction", -10.0, {0, 1, -1, 0}, 0.0, -11.0},
    {"NoTractionInNeutral", 10.0, {0, 1, 0, 0}, 0.0, 10.0},
    {"RollsBackFromAStandUphill", 0.0, {0, 0, 1, 0}, 25.0, -0.8826},
    {"TheBrakeHoldsItOnTheGradient", 0.0, {1, 0, 1, 0}, 25.0, 0.0},
    {"ClimbingLosesSpeed", 10.0, {0, 0, 1, 0}, 25.0, 9.1174},
    {"BrakingRollingBackSlowsIt", -10.0, {2, 0, 1, 0}, 25.0, -8.8826},
    {"BrakesStopButDoNotTurnIt", 1.0, {2, 0, 1, 0}, 0.0, 0.0},
    {"TractionBeatsTheGradient", 0.0, {0, 1, 1, 0}, 25.0, 0.1174},
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class TrainMotion : public ::testing::TestWithParam<Case> {};

} // namespace

TEST_P(TrainMotion, FollowsHandlesReverserAndGradient) {
    const Case& c = GetParam();
    Vehicle vehicle;
    vehicle.powerAcceleration = {1.0, 2.0, 3.0, 4.0, 5.0};
    vehicle.brakeDeceleration = {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0};
    const std::vector<Gradient> gradients{{0.0, c.perMille}};
    const Train train(vehicle, gradients);
    EXPECT_NEAR(train.nextSpeed(c.speed, c.handles, 1.0, 100.0), c.expected, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(Cases, TrainMotion, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TrainMotion, TakesTheGradientInForceAtThePosition) {
    const Vehicle vehicle;
    const std::vector<Gradient> gradients{{100.0, 10.0}, {200.0, -5.0}};
    const Train train(vehicle, gradients);
    EXPECT_EQ(train.gradientAt(50.0), 0.0);
    EXPECT_EQ(train.gradientAt(100.0), 10.0);
    EXPECT_EQ(train.gradientAt(199.0), 10.0);
    EXPECT_EQ(train.gradientAt(5000.0), -5.0);
}
