// The unit's integer arithmetic in one place. Host times and frame steps are signed 32-bit
// milliseconds that wrap like the host's own counters; conversions from floating point take
// any value the host or the settings file can produce, NaN and infinities included.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace vantor {

// a + b in 32-bit two's complement.
constexpr int32_t wrappingAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

// a - b in 32-bit two's complement.
constexpr int32_t wrappingSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// a * b in 32-bit two's complement.
constexpr int32_t wrappingMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

// a + b, held at the ends of the 32-bit range instead of wrapping.
constexpr int32_t saturatingAdd(int32_t a, int32_t b) {
    const int64_t sum = int64_t{a} + int64_t{b};
    if (sum > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (sum < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(sum);
}

// A down-counting timer after a step: it stops at 0 and never wraps, whatever it was loaded with.
// In 32 bits, so that the frame's timers count down side by side.
constexpr int32_t countDown(int32_t timer, int32_t step) {
    if (step >= 0) {
        return timer > step ? timer - step : 0;
    }
    // A step back in time counts up, held at the top of the range.
    return timer > std::numeric_limits<int32_t>::max() + step ? std::numeric_limits<int32_t>::max()
                                                              : timer - step;
}

// Truncation toward zero to a signed 32-bit value; NaN gives 0 and values beyond the range
// stay at its ends.
inline int32_t truncateToInt32(double value) {
    // Strictly between the two, the truncated value is in the range; NaN fails both tests.
    if (value > -2147483649.0 && value < 2147483648.0) [[likely]] {
        return static_cast<int32_t>(value);
    }
    if (std::isnan(value)) {
        return 0;
    }
    return value > 0.0 ? std::numeric_limits<int32_t>::max() : std::numeric_limits<int32_t>::min();
}

// Rounding to single precision as the hardware does it, also for values beyond the float range
// (which then become infinite) rather than leaving them to the compiler.
inline float roundToFloat(double value) {
    // FLT_MAX plus half a unit in its last place: from here on the nearest float is infinity.
    constexpr double kOverflow = 0x1.fffffep127 + 0x1p103;
    if (value >= kOverflow) {
        return std::numeric_limits<float>::infinity();
    }
    if (value <= -kOverflow) {
        return -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

} // namespace vantor
