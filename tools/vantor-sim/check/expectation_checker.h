// Checks a scenario's expectations against its run as the frames come, keeping none of them, so
// that a run of any length is checked in the memory of one frame.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "drive/simulation.h"
#include "host/brake_override.h"

namespace vantor::sim {

struct ExpectationResult {
    int line = 0; // of the expectation in the scenario file
    std::string label;
    bool passed = false;
    std::string expected; // what it looks for and where, in words
    std::string happened; // what the run showed: where, when, how fast, what value
};

class ExpectationChecker : public RunObserver {
  public:
    explicit ExpectationChecker(const Scenario& scenario);

    void onFrame(const FrameRecord& frame) override;
    // Once the run is over, in the order of the file.
    std::vector<ExpectationResult> results(const RunEnd& end) const;

  private:
    // One frame as a result quotes it.
    struct Sample {
        double time = 0.0;
        double position = 0.0;
        float speed = 0.0f;
        std::string value; // lamp, pattern speed or display, in words
    };
    enum class Phase { Before, Inside, After };
    struct State {
        Phase phase = Phase::Before;
        std::optional<Sample> found;     // the frame that decides, if one did
        std::optional<Sample> elsewhere; // a brake or sound outside the window, for the message
        std::optional<Sample> first;     // the first frame inside the window
        std::optional<Sample> last;      // the last frame inside the window
        std::optional<Sample> passed;    // stop_before: the frame that passed the point
        std::optional<Sample> lastStand; // stop_before: the last stand outside the stretch
        double lowest = 0.0;             // pattern: the bounds of what was seen
        double highest = 0.0;
    };

    bool inside(const Expectation& e, State& state, const FrameRecord& frame) const;
    static std::string sampleText(const Sample& s);
    static void judgeStop(const Expectation& e, const State& s, const std::string& runEnded,
                          ExpectationResult& r);
    static void judgeEveryFrame(const Expectation& e, const State& s, ExpectationResult& r);
    static void judgeOneFrame(const Expectation& e, const State& s, ExpectationResult& r);
    void check(const Expectation& e, State& state, const FrameRecord& frame, bool started);
    void checkStop(const Expectation& e, State& state, const FrameRecord& frame);
    std::string nothingSeen(const ExpectWindow& w, const std::string& runEnded) const;

    // Where and when a frame was.
    struct Place {
        double time = 0.0;     // s
        double position = 0.0; // m
    };

    const Scenario& scenario_;
    std::vector<State> states_;
    BrakeOverride override_;
    bool moved_ = false;            // the train has left its first place
    bool standing_ = false;         // since it moved, it stood in the last frame
    std::optional<Place> previous_; // the last frame; none before the first
    double start_ = 0.0;            // m: the first frame's place
    double furthest_ = 0.0;         // m
    double hindmost_ = 0.0;         // m
};

// What the expectation looks for and where, in words: "stands before 1665 m", "lamp warning on
// from 1600 m to 1700 m".
std::string expectationText(const Expectation& expectation);

} // namespace vantor::sim
