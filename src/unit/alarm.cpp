// Alarm supervision: the alarm request and its acknowledgement window, the brake latch and its
// release, the alarm sounds, and the speed display.
#include "arithmetic.h"
#include "vantor.h"

namespace vantor {

void CVantor::superviseAlarm() {
    speedDisplay = speedDisplayValue();

    const bool alarm = brakeLatch || alarmRequest;
    bellOn = alarm;
    if (alarm) {
        alarmSounding = true;
    }

    if (alarmSounding) {
        alarmLoopSound = kSoundLoop;
        if (timer[kAlternationTimer] <= 0) {
            if (alternationPhase) {
                alternationSound21 = kSoundOnce;
            } else {
                alternationSound22 = kSoundOnce;
            }
            alternationPhase = !alternationPhase;
            timer[kAlternationTimer] = alternationPeriod;
        }
    } else {
        alarmLoopSound = kSoundStop;
    }

    startupEnded = timer[kStartupTimer] <= 0 && prevTimer[kStartupTimer] > 0;
    ackKeyCopy = ackKeyHeld;
    releaseKeyCopy = releaseKeyHeld;
    if (silenceKeyHeld) {
        alarmSounding = false;
    }

    const bool acknowledged =
        ackKeyCopy && brakeAtAckNotch && timer[kConfirmTimer] > 0 && timer[kStartupTimer] == 0;
    if (alarmRequest && (startupEnded || acknowledged)) {
        bellOn = false;
        timer[kStartupTimer] = 0;
        timer[kConfirmTimer] = 0;
        alarmRequest = false;
    }
    if (releaseKeyCopy && brakeAtEmergency) {
        brakeLatch = false;
        emergencyBrake = false;
    }
    if (alarmRequest && timer[kConfirmTimer] <= 0 && timer[kStartupTimer] == 0) {
        alarmRequest = false;
        brakeLatch = true;
    }
}

int32_t CVantor::speedDisplayValue() const {
    return truncateToInt32(displayScale * speedKmh());
}

// Divided once here rather than in every frame. A scale of 0 km/h shows 0 rather than an
// undefined quotient.
void CVantor::setDisplayScale(int32_t resolution, int32_t maxKmh) {
    displayResolution = resolution;
    displayMaxSpeed = maxKmh;
    displayScale =
        maxKmh == 0 ? 0.0 : static_cast<double>(resolution) / static_cast<double>(maxKmh);
}

} // namespace vantor
