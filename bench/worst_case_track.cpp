#include "worst_case_track.h"

#include <cmath>

namespace vantor::bench {

namespace {

// Transponder types and the codes of the coils.
constexpr int32_t kAlarmTransponder = 0;
constexpr int32_t kStopTransponder = 50;
constexpr int32_t kCoil = 70;
constexpr int32_t kFixedCheckSignal = 111;

// 36 km/h in 16 ms frames: 0.16 m a frame.
constexpr float kFillKmh = 36.0f;
constexpr double kMetresPerFrame = 36.0 / 3.6 * kFrameMs / 1000.0;
// Beyond this the coil state is forgotten, so the next coil starts a new pair.
constexpr double kPastCoilWindow = 26.0;
constexpr double kTwoMetreSpacing = 2.0;
constexpr double kFourMetreSpacing = 4.0;
constexpr double kWidestSpacing = 22.5;

// Sound commands as the host reads them.
constexpr int32_t kSoundLoopCommand = 0;
constexpr int32_t kSoundOnceCommand = 1;

// 25 km/h, the check of slot 14, on the default display (60 steps for 140 km/h).
constexpr int32_t kDisplayOf25Kmh = 10;
// The alarm window runs out after 5 s; a little more to be sure. Rocking frames go in pairs.
constexpr int kRockingPairsPastAlarmWindow = 5200 / kFrameMs / 2;

class Track {
  public:
    explicit Track(PluginLibrary& plugin) : plugin_(plugin) {}

    void travel(double metres) {
        const long frames = std::lround(metres / kMetresPerFrame);
        for (long i = 0; i < frames; ++i) {
            plugin_.frame(kFillKmh);
        }
    }
    void coil(int32_t code, int32_t signal = 0) { plugin_.beacon(kCoil, signal, code); }
    void stopTransponder() { plugin_.beacon(kStopTransponder, 0, 1); }
    // A coil pair: a code-90 coil, then a coil of the pair's code at the given spacing.
    void coilPair(int32_t code, double spacing) {
        travel(kPastCoilWindow);
        coil(90);
        travel(spacing);
        coil(code);
    }

    int32_t panel(int index) const { return plugin_.panel[index]; }
    int32_t sound(int index) const { return plugin_.sound[index]; }

    // Runs a frame and keeps the pattern display it shows.
    void noteDisplay() {
        plugin_.frame(kFillKmh);
        lastDisplay_ = panel(kPanelPatternDisplay);
    }
    // Runs a frame: has the pattern display fallen since it was last noted? A lower pattern
    // came in.
    bool displayFell() {
        const int32_t before = lastDisplay_;
        noteDisplay();
        return lastDisplay_ < before;
    }

  private:
    PluginLibrary& plugin_;
    int32_t lastDisplay_ = 0;
};

} // namespace

std::string fillEverySlot(PluginLibrary& plugin) {
    plugin.start();
    Track track(plugin);
    // The first frame after Initialize has no step; transponders are read only while moving.
    track.travel(1.0);

    // Slot 0: a stop point 644 m ahead. The pattern lamp comes on with the start chime.
    track.coil(80);
    plugin.frame(kFillKmh);
    if (track.panel(kPanelPatternLamp) != 1 ||
        track.sound(kSoundPatternChime) != kSoundOnceCommand) {
        return "no pattern lamp or start chime after the first stop point";
    }

    // Slots 5 to 12: two coil pairs of each code fill both slots of the code's pair.
    for (const int32_t code : {80, 85, 90, 95}) {
        track.coilPair(code, kFourMetreSpacing);
        track.coilPair(code, kWidestSpacing);
    }

    // Slot 3: a stop point after a code-95 coil.
    track.travel(kPastCoilWindow);
    track.coil(95);
    track.travel(kTwoMetreSpacing);
    track.coil(80);
    track.noteDisplay();

    // Slot 4: a stop transponder after a code-95 coil announces the secondary stop, the next
    // one sets it 390 m ahead; the one after that sets the primary stop (slot 1).
    track.travel(kPastCoilWindow);
    track.coil(95);
    track.stopTransponder();
    track.stopTransponder();
    if (!track.displayFell()) {
        return "the secondary stop pattern did not lower the pattern display";
    }
    track.stopTransponder();

    // Slot 2: a code-80 coil right after the stop transponder, 89 m ahead; slot 1 follows it.
    track.coil(80);
    if (!track.displayFell()) {
        return "the stop point ahead did not lower the pattern display";
    }

    // Slot 13: a code-90 coil 4 m after a stop transponder, the 30 km/h check.
    track.stopTransponder();
    track.travel(kFourMetreSpacing);
    track.coil(90);
    if (!track.displayFell()) {
        return "the 30 km/h check did not lower the pattern display";
    }

    // Slot 14: a code-85 coil 2 m after a stop transponder, the 25 km/h check.
    track.travel(kPastCoilWindow);
    track.stopTransponder();
    track.travel(kTwoMetreSpacing);
    track.coil(85, kFixedCheckSignal);
    if (!track.displayFell() || track.panel(kPanelPatternDisplay) != kDisplayOf25Kmh) {
        return "the 25 km/h check is not the lowest pattern";
    }

    // An alarm nobody acknowledges: after its window the brake latches and the alarm rings on.
    plugin.beacon(kAlarmTransponder, 0, 0);
    for (int i = 0; i < kRockingPairsPastAlarmWindow; ++i) {
        plugin.frame(kRockingKmh);
        plugin.frame(-kRockingKmh);
    }

    const Handles handles = plugin.frame(kRockingKmh);
    if (handles.brake != 9 || track.panel(kPanelAlarmLamp) != 1 ||
        track.sound(kSoundAlarmTone) != kSoundLoopCommand) {
        return "the alarm is not ringing with the brake latched";
    }
    if (track.panel(kPanelPatternLamp) != 1 || track.panel(kPanelPatternLampRepeat) != 1 ||
        track.panel(kPanelPatternDisplay) != kDisplayOf25Kmh) {
        return "the patterns are gone";
    }
    const bool forwardWarns = track.panel(kPanelWarningLamp) == 1;
    const bool forwardChimes = track.sound(kSoundWarningChime) == kSoundOnceCommand;
    plugin.frame(-kRockingKmh);
    if (!forwardWarns || !forwardChimes || track.panel(kPanelWarningLamp) != 0 ||
        track.sound(kSoundWarningChime) != kSoundOnceCommand) {
        return "the warning lamp does not change every frame";
    }
    return {};
}

} // namespace vantor::bench
