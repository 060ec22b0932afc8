// The protection unit: every field of the train protection and the operations that work on
// them. The host layer writes the inputs and copies the outputs; everything that decides
// anything is a member operation here.
#pragma once

#include <cstdint>

namespace vantor {

// Sound commands handed to the host.
inline constexpr int32_t kSoundStop = -10000;
inline constexpr int32_t kSoundLoop = 0;
inline constexpr int32_t kSoundOnce = 1;
inline constexpr int32_t kSoundContinue = 2;

inline constexpr int kSlotCount = 17;
inline constexpr int kTimerCount = 6;

// What the pattern slots hold. Slots 15 and 16 are never filled.
enum PatternSlot : int {
    kPrimaryApproachSlot = 0,   // stop curve of a code-80 coil, 65 km/h floor
    kPrimaryStopSlot = 1,       // stop curve of a stop transponder pair, 10 km/h floor
    kStopPointSlot = 2,         // a stop point ahead, at which slot 1's curve then aims
    kSecondaryApproachSlot = 3, // slot 0's curve for the secondary pair
    kSecondaryStopSlot = 4,     // slot 1's curve for the secondary pair
    kFirstRestrictionSlot = 5,  // 5 to 12: target speeds of coil pairs (coils::kPairSlots)
    kLastRestrictionSlot = 12,
    kFixedCheckSlot = 13,   // a fixed check of 30 or 50 km/h
    kFixedCheck25Slot = 14, // a fixed check of 25 km/h
};

// Indices into timer[] and prevTimer[].
enum TimerIndex : int {
    kStartupTimer = 0,
    kConfirmTimer = 1,
    kCutOutTimer = 2,
    kType65Timer = 3,
    kType60Clock = 4,
    kAlternationTimer = 5,
};

// Reset modes.
enum ResetMode : uint32_t {
    kResetRunStart = 0,
    kResetCutOut = 1,
    kResetPowerOff = 2,
    kResetCutIn = 3,
    kResetPowerOn = 4,
};

// What a pattern pass with every slot empty and the stop points of slots 0, 3 and 4 far ahead
// gives. It depends on the settings alone (they are noted bit for bit), so that the passes after
// it, while the slots stay empty, only test that those stop points are still far enough ahead
// and whether the speed is within the warning margin.
struct RestingPass {
    bool inPlace; // noted, and the slots' brake patterns are in slotPatternSpeed
    uint64_t maxSpeedBits;
    uint64_t decelerationBits;
    uint64_t reactionTimeBits;
    uint64_t displayScaleBits;
    int32_t lowestPatternSpeed; // km/h
    int32_t patternDisplay;     // display steps
    double warningAbove;        // km/h: a speed above it lights the warning lamp
    double runPerKmh;           // metres per km/h of speed: at least either sweep's run-on
    double clearAhead;          // metres beyond the run-on: a stop point there changes nothing
};

// A unit is only ever value-initialised (static storage or `CVantor unit{}`), so every field
// starts at 0; the constructor sets nothing.
class CVantor {
  public:
    // Host layer: binds the unit to the host values it reads between calls.
    void attachHostValues(const int32_t* currentTimeRef, const int32_t* frameStepRef,
                          const float* speedRef, const int32_t* powerNotchRef,
                          const int32_t* reverserRef);

    // Reset modes 0 to 4; other modes change nothing.
    void reset(uint32_t mode);
    // Draws the alternation period and the start-up delay from the C library generator.
    void drawRandomPeriods(int localSeconds);

    // Frame cycle and power.
    void runFrame();
    void supervisePower();
    void superviseNotch(int32_t notch);

    // Alarm.
    void superviseAlarm();
    int32_t speedDisplayValue() const;
    // maxKmh km/h show as resolution steps on the speed and pattern displays.
    void setDisplayScale(int32_t resolution, int32_t maxKmh);

    // Patterns.
    void supervisePatterns(double distanceRun);
    double computePatternSpeed(uint32_t slot, int32_t value, double distance);
    int32_t updateLowestPattern();

    // Transponders.
    void dispatchBeacon(int32_t type, int32_t signal, int32_t optional);
    static float classifySpacing(double distance);
    void onBeacon0(int32_t signal, int32_t optional);
    void onBeacon1(int32_t signal, int32_t optional);
    void onBeacon50(int32_t signal, int32_t optional);
    void onBeacon60();
    void onBeacon61(int32_t signal, int32_t optional);
    void onBeacon65(int32_t optional);
    void onBeacon70(int32_t signal, int32_t code);

    // Key 14: the hold-off starts only while the unit is active.
    void startHoldOff();

    // --- the record ---
    bool ackKeyCopy;
    bool releaseKeyCopy;
    bool alarmSounding;
    bool bellOn;
    bool cutOutArmed;
    bool alternationPhase;
    bool alarmRequest;
    bool startupEnded;
    int32_t timer[kTimerCount];
    int32_t prevTimer[kTimerCount];
    int32_t alternationPeriod;
    int32_t startupDelay;
    int32_t bellStopSound;
    int32_t alternationSound21;
    int32_t alternationSound22;
    bool unitActive;
    bool slot1FixedLimit;
    bool slot4FixedLimit;
    bool holdOffActive;
    bool coilCutOut;
    bool stopInhibit;
    uint32_t slotValue[kSlotCount];
    uint32_t slotPrevValue[kSlotCount];
    int32_t lowestPatternSpeed;
    int32_t holdOffUntil;
    uint32_t coilCode;
    uint32_t primaryStopSelect;
    uint32_t secondaryStopSelect;
    uint32_t secondaryStopPending;
    int32_t rollbackTime;
    // Metres from the train to each slot's point. While every slot is empty, those of slots 1, 2
    // and 5 to 16 stay where they were: nothing reads them before a transponder sets them again.
    double slotDistance[kSlotCount];
    // Brake pattern of each slot as the last pass left it, km/h. Where the pass needed no more
    // than that a slot could not be the lowest, it holds a bound at or below the slot's exact
    // speed but above the lowest pattern; no later frame reads these.
    double slotPatternSpeed[kSlotCount];
    RestingPass resting;
    double distanceSinceCoil;
    int32_t patternStartSound;
    int32_t patternEndSound;
    int32_t warningSound;
    bool notchWarnEnabled;
    bool notchWarnActive;
    bool notchLeftZero;
    int32_t notchSound;
    const int32_t* currentTime;
    const int32_t* frameStep;
    const float* speed;
    const int32_t* powerNotch;
    const int32_t* reverser;
    bool powered;
    bool brakeLatch;
    bool initialised;
    bool powerSwitch;
    bool brakeAtEmergency;
    bool brakeAtAckNotch;
    bool ackKeyHeld;
    bool silenceKeyHeld;
    bool releaseKeyHeld;
    bool notchWarnInhibit;
    int32_t normalLamp;
    int32_t alarmLamp;
    int32_t bellSound;
    int32_t sound20Out;
    int32_t sound21Out;
    int32_t sound22Out;
    int32_t alarmLoopSound;
    bool cutOutSelected;
    bool holdOffKeyHeld;
    bool emergencyBrake;
    bool cutOut;
    int32_t patternLamp;
    int32_t warningLamp;
    int32_t holdOffLamp;
    int32_t emergencyLamp;
    int32_t spareLamp;
    int32_t speedDisplay;
    int32_t patternDisplay;
    int32_t displayMaxSpeed;
    int32_t displayResolution;
    // Display steps per km/h, set with the two above: 0 for a display scaled to 0 km/h, which
    // then shows 0 at any speed (NaN and infinities included, as the truncation gives 0).
    double displayScale;
    double deceleration;
    double reactionTime;
    double maxSpeed;
    int32_t sound10Out;
    int32_t sound12Out;
    int32_t sound11Out;
    int32_t sound13Out;

  private:
    void clearPatternState(double slotDistanceValue);
    void releaseStopPair();
    void fillCoilPair(uint32_t code, float spacing);
    double speedKmh() const { return static_cast<double>(*speed); }
};

} // namespace vantor
