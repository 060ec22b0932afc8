// Warnings about the line: before the run, what in the scenario the unit will ignore or may
// misread; after it, stop curves and restrictions that later transponders released before the
// train got to them. Each names the line of the scenario file that says it.
#pragma once

#include <string>
#include <vector>

#include "drive/simulation.h"

namespace vantor::sim {

struct RouteWarning {
    int line = 0; // in the scenario file; 0 when the scenario was not read from one
    std::string text;
};

std::vector<RouteWarning> checkRoute(const Scenario& scenario);

// "file:line: warning: text", as compilers write them.
std::string warningText(const Scenario& scenario, const RouteWarning& warning);

// Collects during the run what is worth a warning once it is over: the patterns that a
// transponder released before the train reached their point, and a loaded library that
// behaves otherwise than the bench's own unit.
class RunWarnings : public RunObserver {
  public:
    void onFact(const UnitFact& fact) override;
    void onFrame(const FrameRecord&) override {}
    const std::vector<RouteWarning>& warnings() const { return warnings_; }

  private:
    std::vector<RouteWarning> warnings_;
};

} // namespace vantor::sim
