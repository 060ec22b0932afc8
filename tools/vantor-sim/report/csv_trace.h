// The per-frame trace: one CSV row per frame with the handles, the unit's panel entries and
// sound commands.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "drive/simulation.h"

namespace vantor::sim {

class CsvTrace : public RunObserver {
  public:
    explicit CsvTrace(std::ostream& out);
    void onFrame(const FrameRecord& frame) override;
    bool takesFacts() const override { return false; }

  private:
    // Each adds a field and its comma to the row.
    void field(double value, int decimals);
    void field(int32_t value);

    std::ostream& out_;
    // Kept between frames so that a row costs no allocation.
    std::string row_;
};

} // namespace vantor::sim
