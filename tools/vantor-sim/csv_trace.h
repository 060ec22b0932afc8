// The per-frame trace: one CSV row per frame with the handles, the unit's panel entries and
// sound commands.
#pragma once

#include <ostream>

#include "simulation.h"

namespace vantor::sim {

class CsvTrace : public RunObserver {
  public:
    explicit CsvTrace(std::ostream& out);
    void onFrame(const FrameRecord& frame) override;

  private:
    std::ostream& out_;
};

} // namespace vantor::sim
