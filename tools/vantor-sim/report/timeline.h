// The readable account of a run: one line for each thing that changes, with time, position
// and speed, and for each thing the unit made of the line.
#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "drive/simulation.h"
#include "host/brake_override.h"

namespace vantor::sim {

class Timeline : public RunObserver {
  public:
    // write gets each finished line, newline included.
    Timeline(const Scenario& scenario, std::function<void(const std::string&)> write,
             bool allSounds);

    void header(int32_t pluginVersion, bool pinnedRandom);
    void onNote(const Note& note) override;
    void onFact(const UnitFact& fact) override;
    void onFrame(const FrameRecord& frame) override;
    void footer(const RunEnd& end);

  private:
    void line(double time, double position, float speed, const std::string& text);
    void patternDisplay(const FrameRecord& frame);

    const Scenario& scenario_;
    std::function<void(const std::string&)> write_;
    bool allSounds_;
    bool first_ = true;
    FrameRecord previous_;
    BrakeOverride override_;
    int32_t shownDisplay_ = 0;
    double displayChangedAt_ = 0.0; // s
    int64_t emergencyBrakes_ = 0;
    float topSpeed_ = 0.0f;
};

// How the run ended, without the newline: where, when, why and after how many frames.
std::string runEndText(const RunEnd& end);

} // namespace vantor::sim
