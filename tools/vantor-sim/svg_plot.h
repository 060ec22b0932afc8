// A plot of the run over the line, for a browser: the train's speed, the lowest pattern speed
// read back from the pattern display, the driver's target, the lamps as bars below, and the
// transponders as marks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "simulation.h"

namespace vantor::sim {

class SvgPlot : public RunObserver {
  public:
    explicit SvgPlot(const Scenario& scenario) : scenario_(scenario) {}

    void onNote(const Note& note) override;
    void onFrame(const FrameRecord& frame) override;
    std::string render() const;

  private:
    struct Sample {
        double position;
        double speed;
        double target;
        std::optional<double> pattern;
        uint32_t lamps; // bit i: row i of the lamp rows lit
    };
    struct Mark {
        double position;
        std::string label;
    };

    const Scenario& scenario_;
    std::vector<Sample> samples_;
    std::vector<Mark> marks_;
};

} // namespace vantor::sim
