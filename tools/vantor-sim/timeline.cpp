#include "timeline.h"

#include <cmath>
#include <cstdlib>

#include "text_format.h"

namespace vantor::sim {

namespace {

struct Named {
    int index;
    const char* name;
};

// Panel 13 repeats panel 12 and panel 17 is never lit; neither is worth a line.
constexpr Named kLamps[] = {{kPanelPowered, "power"},       {kPanelNormalLamp, "normal"},
                            {kPanelAlarmLamp, "alarm"},     {kPanelPatternLamp, "pattern"},
                            {kPanelWarningLamp, "warning"}, {kPanelEmergencyLamp, "emergency"},
                            {kPanelHoldOffLamp, "hold-off"}};

constexpr Named kLoopSounds[] = {{0, "bell"}, {1, "alarm tone"}};
constexpr Named kOnceSounds[] = {{10, "pattern chime"},
                                 {11, "warning chime"},
                                 {12, "pattern end chime"},
                                 {13, "notch warning"},
                                 {20, "bell stop"}};
// The two alternating tones play every few hundred milliseconds while the alarm tone loops.
constexpr Named kAlternatingSounds[] = {{21, "alternating tone 1"}, {22, "alternating tone 2"}};

// A pattern display that moves by at least this many steps since it was last shown gets a
// line; smaller moves would print a line for every few metres of a braking curve.
constexpr int32_t kDisplayStepsShown = 5;
// A display that has held still this long has settled, and its value is shown (s).
constexpr double kDisplaySettled = 2.0;

} // namespace

Timeline::Timeline(const Scenario& scenario, std::function<void(const std::string&)> write,
                   bool allSounds)
    : scenario_(scenario), write_(std::move(write)), allSounds_(allSounds) {}

void Timeline::header(int32_t pluginVersion, bool pinnedRandom) {
    char version[32];
    std::snprintf(version, sizeof version, "0x%X", static_cast<unsigned>(pluginVersion));
    write_("scenario: " + scenario_.name + "\n");
    write_("plug-in version " + std::string(version) + ", frame step " +
           std::to_string(scenario_.run.stepMs) + " ms, " +
           (pinnedRandom ? "random periods pinned (start-up 650 ms, alternation 300 ms)"
                         : "random periods as the plug-in draws them") +
           "\n\n");
    write_("     time    position      speed  what\n");
}

void Timeline::line(double time, double position, float speed, const std::string& text) {
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "%9.3f s %9.1f m %6.1f km/h  ", time, position,
                  static_cast<double>(speed));
    write_(prefix + text + "\n");
}

void Timeline::onNote(const Note& note) {
    line(note.time, note.position, note.speed, note.text);
}

void Timeline::onFact(const UnitFact& fact) {
    line(fact.time, fact.position, fact.speed,
         (fact.kind == FactKind::Differs ? "bench: " : "unit: ") + fact.text);
}

void Timeline::onFrame(const FrameRecord& frame) {
    const auto& panel = frame.panel;
    const auto& sound = frame.sound;
    const auto& before = previous_.panel;
    const auto& soundBefore = previous_.sound;
    auto say = [&](const std::string& text) {
        line(frame.time, frame.position, frame.speed, text);
    };

    for (const Named& lamp : kLamps) {
        if (first_ ? panel[lamp.index] != 0 : panel[lamp.index] != before[lamp.index]) {
            say(std::string("lamp ") + lamp.name + (panel[lamp.index] ? " on" : " off"));
        }
    }
    for (const Named& s : kLoopSounds) {
        const bool looping = sound[s.index] == kSoundLoop;
        const bool was = !first_ && soundBefore[s.index] == kSoundLoop;
        if (looping != was) {
            say(std::string("sound ") + s.name + (looping ? " starts" : " stops"));
        }
    }
    for (const Named& s : kOnceSounds) {
        if (sound[s.index] == kSoundPlayOnce) {
            say(std::string("sound ") + s.name);
        }
    }
    if (allSounds_) {
        for (const Named& s : kAlternatingSounds) {
            if (sound[s.index] == kSoundPlayOnce) {
                say(std::string("sound ") + s.name);
            }
        }
    }

    // The bench cannot tell an override from the driver's own handle while that handle is
    // at the emergency notch, so the override is taken to last until the handle leaves it.
    const bool differs =
        frame.returned.brake != frame.driver.brake || frame.returned.power != frame.driver.power;
    const bool overridden =
        frame.driver.brake == scenario_.vehicle.emergencyNotch() ? overridden_ : differs;
    if (overridden && !overridden_) {
        ++emergencyBrakes_;
        say("brake override: brake notch " + std::to_string(frame.returned.brake) +
            (frame.returned.brake == scenario_.vehicle.emergencyNotch() ? " (emergency)" : "") +
            ", power " + std::to_string(frame.returned.power));
    } else if (!overridden && overridden_) {
        say("brake override ends");
    }
    overridden_ = overridden;

    patternDisplay(frame);
    if (frame.speed > topSpeed_) {
        topSpeed_ = frame.speed;
    }
    previous_ = frame;
    first_ = false;
}

void Timeline::patternDisplay(const FrameRecord& frame) {
    const int32_t display = frame.panel[kPanelPatternDisplay];
    const int32_t before =
        first_ ? display + kDisplayStepsShown : previous_.panel[kPanelPatternDisplay];
    if (display == before) {
        // Gradual moves are shown every few steps; where they stop, the value they settle at.
        if (display == shownDisplay_ || frame.time - displayChangedAt_ < kDisplaySettled) {
            return;
        }
    } else {
        displayChangedAt_ = frame.time;
        // Jumps come from patterns appearing or going.
        const bool jump = std::abs(display - before) > 1 || display == kPatternDisplayInactive ||
                          before == kPatternDisplayInactive;
        if (!jump && std::abs(display - shownDisplay_) < kDisplayStepsShown) {
            return;
        }
    }
    shownDisplay_ = display;
    std::string text = "pattern display " + std::to_string(display);
    if (frame.patternSpeed) {
        text += " (" + fixed(*frame.patternSpeed, 1) + " km/h)";
    } else if (display == kPatternDisplayInactive) {
        text += " (unit not supervising)";
    }
    line(frame.time, frame.position, frame.speed, text);
}

std::string runEndText(const RunEnd& end) {
    return "run ends at " + fixed(end.time, 3) + " s, " + fixed(end.position, 1) + " m (" +
           end.reason + ") after " + std::to_string(end.frames) + " frames";
}

void Timeline::footer(const RunEnd& end) {
    write_("\n" + runEndText(end) + "; top speed " + fixed(topSpeed_, 1) + " km/h, " +
           std::to_string(emergencyBrakes_) + " brake override(s)\n");
}

} // namespace vantor::sim
