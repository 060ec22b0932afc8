// Warnings about the line that only the run can tell: what later transponders released before
// the train got to it, transponders passed while the unit was off, and a loaded library that
// behaves otherwise than the bench's own unit.
#pragma once

#include <vector>

#include "drive/simulation.h"
#include "warnings/route_check.h"

namespace vantor::sim {

// Collects during the run what is worth a warning once it is over: the patterns that a
// transponder released before the train reached their point, transponders passed while the
// unit was off on a run that switches it on, and a loaded library that behaves otherwise than
// the bench's own unit.
class RunWarnings : public RunObserver {
  public:
    void onFact(const UnitFact& fact) override;
    void onFrame(const FrameRecord& frame) override;
    std::vector<RouteWarning> warnings() const;

  private:
    std::vector<RouteWarning> warnings_;
    bool powered_ = false; // in the last frame
    bool everPowered_ = false;
    std::vector<const Transponder*> passedOff_; // passed while the unit was off
};

} // namespace vantor::sim
