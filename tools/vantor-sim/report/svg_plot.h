// A plot of the run over the line, for a browser: the train's speed, the lowest pattern speed
// read back from the pattern display, the driver's target, the stop points and restrictions the
// unit set, the lamps and the scripted events as rows below, and the transponders as marks with
// their authors' labels.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "drive/simulation.h"

namespace vantor::sim {

class SvgPlot : public RunObserver {
  public:
    explicit SvgPlot(const Scenario& scenario) : scenario_(scenario) {}

    void onNote(const Note& note) override;
    void onFact(const UnitFact& fact) override;
    void onFrame(const FrameRecord& frame) override;
    std::string render() const;

  private:
    struct Sample {
        double position;
        double speed;
        double target;
        // The pattern display as a speed: a pattern while the pattern lamp is lit, otherwise
        // only the overspeed brake.
        std::optional<double> pattern;
        bool patternLit;
        uint32_t rows; // bit i: row i of the rows below the plot lit
    };
    struct Mark {
        double position;
        std::string text;  // short, on the plot
        std::string title; // in full, on hover
    };
    // A point the unit set: a stop curve's stop point, or where a held speed begins.
    struct Point {
        double position;
        double speed; // km/h: the stop curve's floor, or the speed held
        bool stop;
        std::string label; // the thing's name, on the plot
        std::string title; // what the unit said of it, on hover
    };

    const Scenario& scenario_;
    std::vector<Sample> samples_;
    std::vector<Mark> marks_;
    std::vector<Mark> events_;
    std::vector<Point> points_;
};

} // namespace vantor::sim
