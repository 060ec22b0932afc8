#include "report/timeline.h"

#include <cmath>
#include <cstdlib>

#include "scenario/panel_names.h"
#include "support/console_text.h"
#include "support/text_format.h"

namespace vantor::sim {

namespace {

// A pattern display that moves by at least this many steps since it was last shown gets a
// line; smaller moves would print a line for every few metres of a braking curve.
constexpr int32_t kDisplayStepsShown = 5;
// A display that has held still this long has settled, and its value is shown (s).
constexpr double kDisplaySettled = 2.0;

} // namespace

Timeline::Timeline(const Scenario& scenario, std::function<void(const std::string&)> write,
                   bool allSounds)
    : scenario_(scenario), write_(std::move(write)), allSounds_(allSounds),
      override_(scenario.vehicle.emergencyNotch()) {}

void Timeline::header(int32_t pluginVersion, bool pinnedRandom) {
    char version[32];
    std::snprintf(version, sizeof version, "0x%X", static_cast<unsigned>(pluginVersion));
    write_("scenario: " + visibleText(scenario_.name) + "\n");
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
    // Labels come within the text; one with a newline would show as a line of its own.
    write_(prefix + visibleText(text) + "\n");
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

    for (const NamedIndex& lamp : kLampNames) {
        if (first_ ? panel[lamp.index] != 0 : panel[lamp.index] != before[lamp.index]) {
            say(std::string("lamp ") + lamp.name + (panel[lamp.index] ? " on" : " off"));
        }
    }
    for (const NamedIndex& s : kLoopSoundNames) {
        const bool looping = sound[s.index] == kSoundLoop;
        const bool was = !first_ && soundBefore[s.index] == kSoundLoop;
        if (looping != was) {
            say(std::string("sound ") + s.name + (looping ? " starts" : " stops"));
        }
    }
    for (const NamedIndex& s : kOnceSoundNames) {
        if (sound[s.index] == kSoundOnce) {
            say(std::string("sound ") + s.name);
        }
    }
    if (allSounds_) {
        for (const NamedIndex& s : kAlternatingSoundNames) {
            if (sound[s.index] == kSoundOnce) {
                say(std::string("sound ") + s.name);
            }
        }
    }

    const bool was = override_.on();
    const bool overridden = override_.update(frame);
    if (overridden && !was) {
        ++emergencyBrakes_;
        say("brake override: brake notch " + std::to_string(frame.returned.brake) +
            (frame.returned.brake == scenario_.vehicle.emergencyNotch() ? " (emergency)" : "") +
            ", power " + std::to_string(frame.returned.power));
    } else if (!overridden && was) {
        say("brake override ends");
    }

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
