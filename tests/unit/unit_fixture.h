// A unit of its own for each test, bound to host values the test sets directly.
#pragma once

#include <gtest/gtest.h>

#include "unit/vantor.h"

namespace vantor::testing {

class UnitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        unit.attachHostValues(&currentTime, &frameStep, &speed, &powerNotch, &reverser);
        unit.reset(kResetRunStart);
        // The settings as the file's defaults give them.
        unit.maxSpeed = 125.0;
        unit.deceleration = 2.5;
        unit.reactionTime = 1.0;
        unit.setDisplayScale(60, 140);
        unit.alternationPeriod = 300;
        unit.startupDelay = 600;
        unit.powerSwitch = true;
    }

    // One frame of the given length at the given speed, as the host layer runs it.
    void frame(int32_t stepMs, float kmh) {
        frameStep = stepMs;
        currentTime += stepMs;
        speed = kmh;
        unit.runFrame();
    }

    CVantor unit{};
    int32_t currentTime = 100000;
    int32_t frameStep = 0;
    float speed = 0.0f;
    int32_t powerNotch = 0;
    int32_t reverser = 1;
};

} // namespace vantor::testing
