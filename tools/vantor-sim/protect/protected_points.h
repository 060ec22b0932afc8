// The points a line asks the unit to protect, as the bench's own unit set them up on a run:
// each stop curve's stop point, with the stop distance the transponders picked; each approach
// curve's point (65 km/h); each restriction's start and target speed; each 15 km/h hold and
// fixed check from where it holds.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "drive/simulation.h"

namespace vantor::sim {

struct ProtectedPoint {
    Setup setup = Setup::StopCurve;
    int slot = -1;
    const Transponder* setBy = nullptr;
    // A stop point's distance: the type 0 that picked it, if one did.
    const Transponder* pickedBy = nullptr;
    double setAt = 0.0;                 // m: the front when the unit set it
    double point = 0.0;                 // m: where the unit put it (see unit_names.h)
    double limit = 0.0;                 // km/h: the floor, target or held speed; 0 for a stop
    std::optional<double> stopDistance; // m ahead of the train at which a stop point was set
};

// What a fact sets up, as a protected point; nothing for the other facts.
std::optional<ProtectedPoint> protectedPoint(const UnitFact& fact);

// Whether the fact sets up this point again (on another run of the same line).
bool setsUp(const UnitFact& fact, const ProtectedPoint& point);

// Collects the points of a run, each once, in the order the unit set them up.
class PointFinder : public RunObserver {
  public:
    void onFact(const UnitFact& fact) override;
    void onFrame(const FrameRecord&) override {}

    const std::vector<ProtectedPoint>& points() const { return points_; }
    // Set when the loaded library went its own way, after which the unit explains nothing.
    bool differs() const { return differs_; }

  private:
    std::vector<ProtectedPoint> points_;
    bool differs_ = false;
};

// In the words of every report: "stop curve to 6399.9 m (390 m)", "restriction 100 km/h from
// 2061.3 m", "fixed check 30 km/h from 812.0 m".
std::string pointText(const ProtectedPoint& point);
// "type 50, line 94", "coil 85, line 48".
std::string setByText(const ProtectedPoint& point);

} // namespace vantor::sim
