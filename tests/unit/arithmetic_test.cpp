// The integer helpers at the ends of their ranges: wrapping where the host's counters wrap,
// holding where a timer or a conversion must not turn over.
#include <cmath>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "unit/arithmetic.h"

namespace {

using vantor::countDown;
using vantor::roundToFloat;
using vantor::saturatingAdd;
using vantor::truncateToInt32;
using vantor::wrappingAdd;
using vantor::wrappingMul;
using vantor::wrappingSub;

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

// Through a volatile so that the checks run on the machine, not in the compiler.
template <typename T> T runtime(T value) {
    volatile T held = value;
    return held;
}

TEST(Arithmetic, WrappingOperationsTurnOverAtTheEnds) {
    EXPECT_EQ(wrappingAdd(runtime(kMax), 1), kMin);
    EXPECT_EQ(wrappingAdd(runtime(kMin), -1), kMax);
    EXPECT_EQ(wrappingAdd(runtime(kMax), kMax), -2);
    EXPECT_EQ(wrappingAdd(runtime(kMin), kMin), 0);
    EXPECT_EQ(wrappingAdd(runtime(86400000), 60000), 86460000);

    EXPECT_EQ(wrappingSub(runtime(kMin), 1), kMax);
    EXPECT_EQ(wrappingSub(runtime(kMax), -1), kMin);
    EXPECT_EQ(wrappingSub(runtime(0), kMin), kMin);
    EXPECT_EQ(wrappingSub(runtime(kMax), kMin), -1);
    EXPECT_EQ(wrappingSub(runtime(kMin), kMax), 1);

    EXPECT_EQ(wrappingMul(runtime(kMin), -1), kMin);
    EXPECT_EQ(wrappingMul(runtime(65536), 65536), 0);
    EXPECT_EQ(wrappingMul(runtime(46341), 46341), -2147479015);
    EXPECT_EQ(wrappingMul(runtime(kMax), kMax), 1);
    EXPECT_EQ(wrappingMul(runtime(-3), 7), -21);
}

TEST(Arithmetic, SaturatingAddHoldsAtTheEnds) {
    EXPECT_EQ(saturatingAdd(runtime(kMax), 1), kMax);
    EXPECT_EQ(saturatingAdd(runtime(kMax), kMax), kMax);
    EXPECT_EQ(saturatingAdd(runtime(kMin), -1), kMin);
    EXPECT_EQ(saturatingAdd(runtime(kMin), kMin), kMin);
    EXPECT_EQ(saturatingAdd(runtime(kMax), kMin), -1);
    EXPECT_EQ(saturatingAdd(runtime(kMax - 16), 16), kMax);
    EXPECT_EQ(saturatingAdd(runtime(5), -3), 2);
}

TEST(Arithmetic, CountDownStopsAtZeroAndNeverWraps) {
    EXPECT_EQ(countDown(runtime(10), 3), 7);
    EXPECT_EQ(countDown(runtime(3), 3), 0);
    EXPECT_EQ(countDown(runtime(3), 10), 0);
    EXPECT_EQ(countDown(runtime(0), 0), 0);
    EXPECT_EQ(countDown(runtime(kMin), kMax), 0);
    EXPECT_EQ(countDown(runtime(kMin), 0), 0);
    EXPECT_EQ(countDown(runtime(-5), 1), 0);
    EXPECT_EQ(countDown(runtime(kMax), 0), kMax);
    EXPECT_EQ(countDown(runtime(kMax), 1), kMax - 1);
    EXPECT_EQ(countDown(runtime(1), kMax), 0);
    // A negative step never reaches the timers, but if it did the timer would hold at the top.
    EXPECT_EQ(countDown(runtime(kMax), kMin), kMax);
}

TEST(Arithmetic, TruncationTowardZeroHoldsAtTheEnds) {
    EXPECT_EQ(truncateToInt32(runtime(1.9)), 1);
    EXPECT_EQ(truncateToInt32(runtime(-1.9)), -1);
    EXPECT_EQ(truncateToInt32(runtime(-0.5)), 0);
    EXPECT_EQ(truncateToInt32(runtime(-0.0)), 0);
    EXPECT_EQ(truncateToInt32(runtime(std::numeric_limits<double>::denorm_min())), 0);
    EXPECT_EQ(truncateToInt32(runtime(2147483647.0)), kMax);
    EXPECT_EQ(truncateToInt32(runtime(2147483647.5)), kMax);
    EXPECT_EQ(truncateToInt32(runtime(2147483647.999)), kMax);
    EXPECT_EQ(truncateToInt32(runtime(2147483648.0)), kMax);
    EXPECT_EQ(truncateToInt32(runtime(1e300)), kMax);
    EXPECT_EQ(truncateToInt32(runtime(-2147483648.0)), kMin);
    EXPECT_EQ(truncateToInt32(runtime(-2147483648.9)), kMin);
    EXPECT_EQ(truncateToInt32(runtime(-2147483649.0)), kMin);
    EXPECT_EQ(truncateToInt32(runtime(-1e300)), kMin);
    EXPECT_EQ(truncateToInt32(runtime(std::numeric_limits<double>::infinity())), kMax);
    EXPECT_EQ(truncateToInt32(runtime(-std::numeric_limits<double>::infinity())), kMin);
    EXPECT_EQ(truncateToInt32(runtime(std::numeric_limits<double>::quiet_NaN())), 0);
    EXPECT_EQ(truncateToInt32(runtime(-std::numeric_limits<double>::quiet_NaN())), 0);
    // A single-precision speed widened first, as the displays do.
    EXPECT_EQ(truncateToInt32(runtime(static_cast<double>(std::numeric_limits<float>::max()))),
              kMax);
}

TEST(Arithmetic, RoundingToFloatOverflowsToInfinityAsTheHardwareDoes) {
    const double floatMax = std::numeric_limits<float>::max();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(roundToFloat(runtime(2.7)), 2.7f);
    EXPECT_EQ(roundToFloat(runtime(floatMax)), std::numeric_limits<float>::max());
    EXPECT_EQ(roundToFloat(runtime(floatMax + 0x1p102)), std::numeric_limits<float>::max());
    EXPECT_EQ(roundToFloat(runtime(floatMax + 0x1p103)), inf) << "the tie goes to even: infinity";
    EXPECT_EQ(roundToFloat(runtime(1e39)), inf);
    EXPECT_EQ(roundToFloat(runtime(-1e39)), -inf);
    EXPECT_TRUE(std::isnan(roundToFloat(runtime(std::numeric_limits<double>::quiet_NaN()))));
}

} // namespace
