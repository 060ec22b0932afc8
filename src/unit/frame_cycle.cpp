// One frame of the unit: timers, power, the power-notch warning, the alarm and pattern
// supervision, and the hand-over of the staged sounds.
#include "arithmetic.h"
#include "vantor.h"

namespace vantor {

namespace {

// What the pattern display shows while the unit is not active.
constexpr int32_t kInactivePatternDisplay = 999;
// An unpowered unit rings the bell while the power handle is beyond this notch.
constexpr int32_t kBellNotch = 2;

constexpr float kSecondsPerHour = 3600.0f;
constexpr float kMetresPerKilometre = 1000.0f;
constexpr float kMillisecondsPerSecond = 1000.0f;

// Distance run in the frame, in single precision and in this order, as the cab unit does it.
double distanceRunInFrame(float speedKmh, int32_t frameStepMs) {
    float metres = speedKmh / kSecondsPerHour;
    metres = metres * kMetresPerKilometre;
    metres = metres * static_cast<float>(frameStepMs);
    metres = metres / kMillisecondsPerSecond;
    return static_cast<double>(metres);
}

// Sets a staged sound command back to continue once it has gone out. Mostly it holds continue
// already, and it is written only where it changes: a quiet frame spends its time on its
// stores, not on the comparisons.
void rearmStage(int32_t& staged) {
    if (staged != kSoundContinue) {
        staged = kSoundContinue;
    }
}

} // namespace

// The power supervision and the power-notch warning are inlined here, their only caller.
[[gnu::flatten]] void CVantor::runFrame() {
    const int32_t bellAtStart = bellSound;

    const int32_t step = *frameStep;
    // All six count down side by side; the section clock then counts up instead, and holds at
    // its top rather than turning negative.
    for (int i = 0; i < kTimerCount; ++i) {
        prevTimer[i] = timer[i];
        timer[i] = countDown(timer[i], step);
    }
    timer[kType60Clock] = saturatingAdd(prevTimer[kType60Clock], step);

    supervisePower();
    if (!powered && notchWarnActive) {
        superviseNotch(*powerNotch);
    }

    const double distanceRun = distanceRunInFrame(*speed, step);

    if (powered) {
        superviseAlarm();
    } else {
        speedDisplay = 0;
    }

    if (unitActive) {
        supervisePatterns(distanceRun);
    } else {
        patternDisplay = kInactivePatternDisplay;
        emergencyBrake = false;
    }

    if (!powered) {
        alternationSound21 = kSoundStop;
        alternationSound22 = kSoundStop;
        alarmLoopSound = kSoundStop;
        if (!notchWarnActive) {
            notchSound = kSoundStop;
            bellSound = kSoundStop;
        }
    }
    if (!unitActive) {
        patternStartSound = kSoundStop;
        warningSound = kSoundStop;
        patternEndSound = kSoundStop;
    }
    if (bellAtStart == kSoundLoop && bellSound == kSoundStop) {
        bellStopSound = kSoundOnce;
    }

    sound13Out = notchSound;
    sound11Out = warningSound;
    sound12Out = patternEndSound;
    sound10Out = patternStartSound;
    sound20Out = bellStopSound;
    sound21Out = alternationSound21;
    sound22Out = alternationSound22;

    rearmStage(notchSound);
    rearmStage(warningSound);
    rearmStage(patternEndSound);
    rearmStage(patternStartSound);
    rearmStage(bellStopSound);
    rearmStage(alternationSound21);
    rearmStage(alternationSound22);
}

void CVantor::supervisePower() {
    if (powerSwitch && initialised) {
        if (!powered) {
            reset(kResetPowerOn);
        }
        powered = true;
    } else {
        powered = false;
        reset(kResetPowerOff);
    }
    cutOut = coilCutOut || cutOutSelected;
    notchWarnActive = notchWarnEnabled && !notchWarnInhibit;
    unitActive = powered && !cutOut;
    normalLamp = (powered && !ackKeyCopy && alarmLamp == 0) ? 1 : 0;
    alarmLamp = (powered && (brakeLatch || alarmRequest)) ? 1 : 0;
    bellSound = bellOn ? kSoundLoop : kSoundStop;
}

void CVantor::superviseNotch(int32_t notch) {
    if (notch == 0) {
        notchLeftZero = false;
    } else if (!notchLeftZero) {
        notchSound = kSoundOnce;
        notchLeftZero = true;
    }
    bellOn = notch > kBellNotch;
}

} // namespace vantor
