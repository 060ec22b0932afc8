// The unit's reset modes: start of a run, cut-out, power-off, cut-in and power-on.
#include <cstdlib>

#include "../patterns/slot_curves.h"
#include "../platform/platform.h"
#include "../settings/unit_settings.h"
#include "arithmetic.h"
#include "vantor.h"

namespace vantor {

namespace {

// Where the modes park the empty slots, m: too far away to constrain anything.
constexpr double kFarAway = 9e8;
constexpr double kFarAwayCutOff = 9e7;

// The brake patterns and the lowest pattern that modes 0, 1 and 2 leave, km/h. No supervision
// pass reads them before it has computed them again. Mode 0 leaves those of the default
// maximum speed: the maximum speed's pattern in every slot, and the speed itself as the lowest.
constexpr double kRunStartPattern = kDefaultSettings.maxSpeed + curves::kMaxSpeedMargin;
constexpr int32_t kRunStartLowestPattern = static_cast<int32_t>(kDefaultSettings.maxSpeed);
constexpr double kCutOutPattern = 800.0;
constexpr int32_t kCutOutLowestPattern = 8000000;

// Mode 0's reaction time, s, until Initialize reads the settings right after it.
constexpr double kRunStartReactionTime = 0.0;

// The random periods, ms: a base and the spread of the drawn part.
constexpr int32_t kAlternationPeriodBase = 250;
constexpr int32_t kAlternationPeriodSpread = 100;
constexpr int32_t kStartupDelayBase = 500;
constexpr int32_t kStartupDelaySpread = 300;

} // namespace

void CVantor::attachHostValues(const int32_t* currentTimeRef, const int32_t* frameStepRef,
                               const float* speedRef, const int32_t* powerNotchRef,
                               const int32_t* reverserRef) {
    currentTime = currentTimeRef;
    frameStep = frameStepRef;
    speed = speedRef;
    powerNotch = powerNotchRef;
    reverser = reverserRef;
}

void CVantor::drawRandomPeriods(int localSeconds) {
    std::srand(static_cast<unsigned>(localSeconds));
    const int32_t r1 = std::rand();
    const int32_t r2 = std::rand();
    const int32_t r3 = std::rand();
    alternationPeriod = std::abs(wrappingMul(wrappingMul(r1, r2), r3) % kAlternationPeriodSpread) +
                        kAlternationPeriodBase;
    const int32_t r4 = std::rand();
    const int32_t r5 = std::rand();
    const int32_t r6 = std::rand();
    startupDelay =
        std::abs(wrappingMul(wrappingMul(r4, r5), r6) % kStartupDelaySpread) + kStartupDelayBase;
}

// The pattern and transponder state that every mode empties; the modes differ only in how far
// away they park the empty slots and in what they leave of the cut-out.
void CVantor::clearPatternState(double slotDistanceValue) {
    slot1FixedLimit = false;
    slot4FixedLimit = false;
    holdOffActive = false;
    stopInhibit = false;
    for (int i = 0; i < kSlotCount; ++i) {
        slotValue[i] = 0;
        slotPrevValue[i] = 0;
        slotDistance[i] = slotDistanceValue;
    }
    holdOffUntil = 0;
    coilCode = 0;
    primaryStopSelect = 0;
    secondaryStopSelect = 0;
    secondaryStopPending = 0;
    distanceSinceCoil = 0.0;
    patternStartSound = kSoundStop;
    patternEndSound = kSoundStop;
    warningSound = kSoundStop;
    sound10Out = kSoundStop;
    sound11Out = kSoundStop;
    sound12Out = kSoundStop;
    patternLamp = 0;
    warningLamp = 0;
    holdOffLamp = 0;
    emergencyLamp = 0;
    spareLamp = 0;
    speedDisplay = 0;
    patternDisplay = 0;
}

void CVantor::reset(uint32_t mode) {
    if (mode > kResetPowerOn) {
        return;
    }
    const bool runStart = mode == kResetRunStart;
    const bool powerOff = mode == kResetPowerOff;
    const bool powerOn = mode == kResetPowerOn;
    const bool clearsAlarm = runStart || powerOff || powerOn;

    if (clearsAlarm) {
        ackKeyCopy = false;
        releaseKeyCopy = false;
        cutOutArmed = false;
        alarmSounding = powerOn;
        for (int i = 0; i < kTimerCount; ++i) {
            timer[i] = 0;
            prevTimer[i] = 0;
        }
        if (powerOn) {
            timer[kStartupTimer] = startupDelay;
        }
        brakeLatch = false;
        brakeAtEmergency = false;
        brakeAtAckNotch = false;
        cutOutSelected = false;
        holdOffKeyHeld = false;
        unitActive = !powerOff;
        normalLamp = runStart ? 1 : 0;
        alarmLamp = powerOn ? 1 : 0;
    }
    if (runStart || powerOn) {
        bellOn = powerOn;
        alarmRequest = powerOn;
        bellStopSound = kSoundStop;
        sound20Out = kSoundStop;
        initialised = true;
    }
    if (runStart || powerOff) {
        alternationSound21 = kSoundStop;
        alternationSound22 = kSoundStop;
        sound21Out = kSoundStop;
        sound22Out = kSoundStop;
        alarmLoopSound = kSoundStop;
    }

    const bool far = runStart || mode == kResetCutIn || powerOn;
    clearPatternState(far ? kFarAway : kFarAwayCutOff);
    if (mode != kResetCutIn) {
        coilCutOut = false;
        emergencyBrake = false;
    }
    switch (mode) {
    case kResetRunStart:
        for (double& pattern : slotPatternSpeed) {
            pattern = kRunStartPattern;
        }
        lowestPatternSpeed = kRunStartLowestPattern;
        break;
    case kResetCutOut:
    case kResetPowerOff:
        for (double& pattern : slotPatternSpeed) {
            pattern = kCutOutPattern;
        }
        lowestPatternSpeed = kCutOutLowestPattern;
        break;
    default:
        for (double& pattern : slotPatternSpeed) {
            pattern = maxSpeed;
        }
        lowestPatternSpeed = truncateToInt32(maxSpeed);
        break;
    }
    resting.inPlace = false;

    if (runStart) {
        drawRandomPeriods(platform::localSeconds());
        notchWarnEnabled = true;
        notchWarnActive = true;
        notchLeftZero = false;
        notchSound = kSoundStop;
        sound13Out = kSoundStop;
        powered = true;
        ackKeyHeld = false;
        silenceKeyHeld = false;
        releaseKeyHeld = false;
        bellSound = kSoundStop;
        cutOut = false;
        setDisplayScale(kDefaultSettings.displayResolution, kDefaultSettings.displayMaxSpeed);
        deceleration = kDefaultSettings.deceleration;
        reactionTime = kRunStartReactionTime;
        maxSpeed = kDefaultSettings.maxSpeed;
    }
}

} // namespace vantor
