// The host's side of a frame: the train obeys the handles Elapse returns, transponders reach
// the plug-in once as the front passes them, and the plug-in measures the same distances the
// bench runs.
#include <gtest/gtest.h>

#include <vector>

#include "drive/simulation.h"
#include "host/plugin_library.h"

using namespace vantor;
using namespace vantor::sim;

namespace {

struct Recorder : RunObserver {
    std::vector<FrameRecord> frames;
    std::vector<Note> notes;
    void onNote(const Note& note) override { notes.push_back(note); }
    void onFrame(const FrameRecord& frame) override { frames.push_back(frame); }
    std::vector<std::pair<double, std::string>> noteTexts() const {
        std::vector<std::pair<double, std::string>> texts;
        for (const Note& note : notes) {
            texts.emplace_back(note.time, note.text);
        }
        return texts;
    }
};

// The scenario run with the built library.
Recorder run(const Scenario& s) {
    PluginLibrary library(VANTOR_LIBRARY, s.settings);
    Recorder recorder;
    runScenario(s, library, {&recorder});
    return recorder;
}

Scenario cruising(double speed) {
    Scenario s;
    s.vehicle.powerAcceleration = {1, 2, 3, 4, 5};
    s.vehicle.brakeDeceleration = {0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4};
    s.run.powerSwitch = true;
    s.run.duration = 120.0;
    s.driver.startTime = 1.0;
    s.driver.brakeNotch = 4;
    s.driver.powerNotch = 5;
    s.driver.profile = {{0.0, speed}};
    return s;
}

} // namespace

// The unit's overspeed brake comes back as the emergency notch, and the train stops under it
// although the driver keeps asking for power.
TEST(Simulation, TheEmergencyBrakeOfTheUnitStopsTheTrain) {
    Scenario s = cruising(150.0);
    s.driver.watchPattern = false;
    s.driver.releaseDelay.reset();
    const Recorder recorded = run(s);

    size_t braked = 0;
    while (braked < recorded.frames.size() && recorded.frames[braked].returned.brake != 9) {
        ++braked;
    }
    ASSERT_LT(braked, recorded.frames.size());
    EXPECT_GE(recorded.frames[braked].speed, 135.0f);
    EXPECT_EQ(recorded.frames[braked].driver.brake, 0);
    // One frame later the train is slower by the emergency deceleration of one step.
    EXPECT_NEAR(recorded.frames[braked + 1].speed, recorded.frames[braked].speed - 4.5 * 0.02,
                1e-3);
    EXPECT_EQ(recorded.frames.back().speed, 0.0f);
    EXPECT_EQ(recorded.frames.back().returned.brake, 9);
}

// A coil pair decodes only if the plug-in's own distance between the two calls matches the
// spacing: 100 km/h from 555 m on shows on the pattern display as a lower pattern.
TEST(Simulation, CoilPairsAreReportedAtTheirSpacing) {
    Scenario s = cruising(120.0);
    s.driver.watchPattern = false;
    s.routeLength = 2000.0;
    s.transponders = {{1000.0, 70, 0, 90, ""}, {1006.5, 70, 0, 85, ""}};
    const Recorder recorded = run(s);

    // Each is reported once, between the frame before the front reaches it and the frame
    // after: the first frame whose position lies at or beyond it carries its time.
    int reported = 0;
    for (const Note& note : recorded.notes) {
        if (!note.transponder) {
            continue;
        }
        ++reported;
        size_t i = 0;
        while (i < recorded.frames.size() && recorded.frames[i].position < note.position) {
            ++i;
        }
        ASSERT_LT(i, recorded.frames.size());
        EXPECT_EQ(recorded.frames[i].time, note.time);
        EXPECT_LT(recorded.frames[i - 1].position, note.position);
    }
    EXPECT_EQ(reported, 2);
    bool patternLit = false;
    for (const FrameRecord& frame : recorded.frames) {
        patternLit = patternLit || frame.panel[kPanelPatternLamp] != 0;
    }
    EXPECT_TRUE(patternLit);
}

// Events fire once, in order, when their time comes; a pressed key is let go after its hold.
TEST(Simulation, ScriptedEventsFireOnceAtTheirTime) {
    Scenario s = cruising(0.0);
    s.run.duration = 3.0;
    Event press;
    press.time = 1.0;
    press.key = 14;
    press.hold = 0.5;
    Event off;
    off.time = 2.0;
    off.powerSwitch = false;
    s.events = {press, off};
    const Recorder recorded = run(s);

    const std::vector<std::pair<double, std::string>> expected = {
        {0.0, "power switch on"},
        {1.0, "driver: key 14 (hold-off) down"},
        {1.5, "driver: key 14 (hold-off) up"},
        {2.0, "power switch off"}};
    EXPECT_EQ(recorded.noteTexts(), expected);
    EXPECT_EQ(recorded.frames[99].panel[kPanelPowered], 1);
    EXPECT_EQ(recorded.frames[100].panel[kPanelPowered], 0);
}

// Timed and placed events due in the same frame fire in the order of the file, whatever the
// order of their times.
TEST(Simulation, EventsDueTogetherFireInFileOrder) {
    Scenario s = cruising(0.0);
    s.run.duration = 1.5;
    auto timed = [](double time, const char* label) {
        Event e;
        e.time = time;
        e.label = label;
        return e;
    };
    auto placed = [](double position, const char* label) {
        Event e;
        e.position = position;
        e.label = label;
        return e;
    };
    s.events = {timed(1.0, "a"),  placed(0.0, "b"), timed(0.0, "c"),
                placed(0.0, "d"), timed(0.2, "e"),  placed(10.0, "never")};
    const Recorder recorded = run(s);

    const std::vector<std::pair<double, std::string>> expected = {{0.0, "power switch on"},
                                                                  {0.0, "» b"},
                                                                  {0.0, "» c"},
                                                                  {0.0, "» d"},
                                                                  {0.2, "» e"},
                                                                  {1.0, "» a"}};
    EXPECT_EQ(recorded.noteTexts(), expected);
}
