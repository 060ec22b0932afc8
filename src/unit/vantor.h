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

    // --- Inputs from the host ---
    // The host layer writes them before a frame cycle or between frames; the reset modes clear
    // the flags of the keys and the brake handle. The references are bound when the library is
    // loaded.
    const int32_t* currentTime; // host time of the last frame, ms
    const int32_t* frameStep;   // ms of host time since the previous frame
    const float* speed;         // km/h, negative while rolling back
    const int32_t* powerNotch;  // the driver's power notch
    const int32_t* reverser;    // the driver's reverser position, -1 backward
    bool powerSwitch;           // the unit's power switch (panel 247), before every frame
    bool notchWarnInhibit;      // panel 249: no power-notch warning in this frame
    bool brakeAtEmergency;      // the brake handle at the emergency notch
    bool brakeAtAckNotch;       // the brake handle at or beyond the acknowledging notch
    bool ackKeyHeld;            // key 0 down
    bool silenceKeyHeld;        // key 1 down
    bool releaseKeyHeld;        // key 3 down
    bool cutOutSelected;        // the cut-out switch, toggled by key 13
    bool holdOffKeyHeld;        // key 14 down

    // --- Settings ---
    // From the settings file at every Initialize (mode 0 sets them first).
    double maxSpeed;           // km/h: the line's maximum speed (Speed)
    double deceleration;       // km/h per second: the braking curves' rate (Deceleration)
    double reactionTime;       // s: the driver's reaction time before braking (Rtime)
    int32_t displayResolution; // display steps that displayMaxSpeed shows as (Resolution)
    int32_t displayMaxSpeed;   // km/h shown as displayResolution steps (MaxSpd)
    // Display steps per km/h, set with the two above: 0 for a display scaled to 0 km/h, which
    // then shows 0 at any speed (NaN and infinities included, as the truncation gives 0).
    double displayScale;

    // --- State ---
    // Power and activity.
    bool initialised; // set by modes 0 and 4 and never cleared: the unit can be powered
    bool powered;     // the unit has power
    bool cutOut;      // cut out by the coils or by the switch
    bool unitActive;  // powered and not cut out: the patterns are supervised
    // The alarm, and the watch over stop transponders passed while cut out: what the power-off
    // clears, side by side.
    bool ackKeyCopy;       // ackKeyHeld as the last alarm step saw it
    bool releaseKeyCopy;   // releaseKeyHeld as the last alarm step saw it
    bool alarmSounding;    // sound 1 loops and sounds 21 and 22 alternate
    bool bellOn;           // the bell (sound 0) rings
    bool cutOutArmed;      // the watch is armed: the next stop transponder latches the brake
    bool alternationPhase; // sound 21 plays next, else sound 22
    bool alarmRequest;     // an alarm waits for acknowledgement
    bool startupEnded;     // the start-up delay ran out in this frame
    bool brakeLatch;       // the latched emergency brake, until released
    // Timers, in ms of host time, by TimerIndex: five count down to 0, the type-60 clock up.
    int32_t timer[kTimerCount];
    int32_t prevTimer[kTimerCount]; // each timer before this frame's update
    int32_t alternationPeriod;      // ms: reload of the alternation timer, drawn by mode 0
    int32_t startupDelay;           // ms: length of the power-on alarm, drawn by mode 0
    // The power-notch warning of an unpowered unit.
    bool notchWarnEnabled; // the warning exists (set by mode 0 only)
    bool notchWarnActive;  // enabled and not inhibited in this frame
    bool notchLeftZero;    // the power handle was seen away from notch 0
    // Patterns and transponders: what every reset mode clears, side by side. A slot, by
    // PatternSlot, is empty while its value is 0, else its value is a flag (1 or 2) or a target
    // speed in km/h.
    bool slot1FixedLimit; // slot 1 holds the fixed 15 km/h
    bool slot4FixedLimit; // slot 4 holds the fixed 15 km/h
    bool holdOffActive;   // the hold-off of key 14 is in force
    bool coilCutOut;      // the coils have cut the unit out
    bool stopInhibit;     // the next stop pair sets no stop curve
    bool emergencyBrake;  // the supervision demands the emergency brake
    uint32_t slotValue[kSlotCount];
    uint32_t slotPrevValue[kSlotCount]; // the values as the previous supervision pass left them
    int32_t lowestPatternSpeed;    // km/h from which the unit brakes; a pass keeps it at most 220
    int32_t holdOffUntil;          // host time until which the hold-off lasts, ms
    uint32_t coilCode;             // 0, the last coil's code, or 108 after a stop transponder
    uint32_t primaryStopSelect;    // 0 to 3: the stop distance of slot 1's next curve
    uint32_t secondaryStopSelect;  // 0 to 3: the stop distance of slot 4's next curve
    uint32_t secondaryStopPending; // 1: the next stop curve goes to slot 4
    int32_t rollbackTime;          // ms of host time the train has been rolling back
    // m from the train to each slot's point. While every slot is empty, those of slots 1, 2 and
    // 5 to 16 stay where they were: nothing reads them before a transponder sets them again.
    double slotDistance[kSlotCount];
    // Brake pattern of each slot as the last pass left it, km/h. Where the pass needed no more
    // than that a slot could not be the lowest, it holds a bound at or below the slot's exact
    // speed but above the lowest pattern; no later frame reads these.
    double slotPatternSpeed[kSlotCount];
    RestingPass resting;      // the pass with every slot empty, noted for the passes after it
    double distanceSinceCoil; // m run since the last coil or stop transponder
    // Staged sound commands: events write them, the frame cycle hands them to the outputs
    // below at its end and sets them back to kSoundContinue. Side by side as the reset modes
    // stop them.
    int32_t bellStopSound;      // sound 20
    int32_t alternationSound21; // sound 21
    int32_t alternationSound22; // sound 22
    int32_t patternStartSound;  // sound 10
    int32_t patternEndSound;    // sound 12
    int32_t warningSound;       // sound 11
    int32_t notchSound;         // sound 13

    // --- Outputs ---
    // Copied into the host's panel and sound arrays after every frame cycle; side by side as
    // the frame cycle and the reset modes write them.
    int32_t normalLamp;     // panel 0
    int32_t alarmLamp;      // panel 1
    int32_t bellSound;      // sound 0
    int32_t sound20Out;     // sound 20
    int32_t sound21Out;     // sound 21
    int32_t sound22Out;     // sound 22
    int32_t alarmLoopSound; // sound 1
    int32_t patternLamp;    // panels 12 and 13
    int32_t warningLamp;    // panel 14
    int32_t holdOffLamp;    // panel 16
    int32_t emergencyLamp;  // panel 15
    int32_t spareLamp;      // panel 17: only the reset modes write it, so it stays 0
    int32_t speedDisplay;   // panel 18: the speed in display steps
    int32_t patternDisplay; // panel 19: the lowest pattern in display steps
    int32_t sound10Out;     // sound 10
    int32_t sound12Out;     // sound 12
    int32_t sound11Out;     // sound 11
    int32_t sound13Out;     // sound 13

  private:
    void clearPatternState(double slotDistanceValue);
    void releaseStopPair();
    void fillCoilPair(uint32_t code, float spacing);
    double speedKmh() const { return static_cast<double>(*speed); }
};

} // namespace vantor
