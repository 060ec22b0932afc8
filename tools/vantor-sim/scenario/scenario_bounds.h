// How far a scenario's values may go: further than any train or line an author means, and near
// enough that every run stays finite, whatever its length. docs/scenarios.md lists them.
#pragma once

#include <cstdint>

namespace vantor::sim {

struct Bounds {
    double low;
    double high;
    const char* unit; // after the numbers in a message, with its space: " m"; "" for none
};

constexpr int32_t kMostNotches = 255; // brake and power notches each; emergency is one more
constexpr int32_t kMostCars = 1000;
constexpr int32_t kLongestStepMs = 1000;
constexpr Bounds kPositionBounds{-1e7, 1e7, " m"};
constexpr Bounds kSpeedBounds{0.0, 1000.0, " km/h"};
constexpr Bounds kGradientBounds{-1000.0, 1000.0, " per mille"};
// 36 km/h/s is 10 m/s², as hard as gravity pulls: no train on rails speeds up or brakes harder.
constexpr Bounds kAccelerationBounds{0.0, 36.0, " km/h/s"};

} // namespace vantor::sim
