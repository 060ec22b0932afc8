// The points a line asks the unit to protect, as the bench's own unit set them up on a run:
// each stop point of a stop curve, with the stop distance the transponders picked; the point
// of each approach curve of a code-80 coil (65 km/h); each coil-pair restriction's start and
// target speed; each fixed speed check.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "drive/simulation.h"

namespace vantor::sim {

enum class PointKind {
    Stop,        // the train must stand before the point
    Restriction, // the train must pass the point at no more than the limit
    FixedCheck,  // the limit holds from where the check is set
};

struct ProtectedPoint {
    PointKind kind = PointKind::Stop;
    int slot = -1;
    const Transponder* setBy = nullptr;
    // A stop point's distance: the type 0 that picked it, if one did.
    const Transponder* pickedBy = nullptr;
    double setAt = 0.0;                 // m: the front when the unit set it
    double point = 0.0;                 // m: stop point, start of the restriction, or setAt
    double limit = 0.0;                 // km/h: the target or check speed; 0 for a stop point
    std::optional<double> stopDistance; // m ahead of the train at which a stop point was set
    bool approachCurve = false;         // a code-80 coil's curve down to 65 km/h
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

// "stop point at 6399.9 m (390 m)", "restriction 100 km/h at 2061.3 m", "check 30 km/h at 812.0 m".
std::string pointText(const ProtectedPoint& point);
// "type 50, line 94", "coil 85, line 48".
std::string setByText(const ProtectedPoint& point);

} // namespace vantor::sim
