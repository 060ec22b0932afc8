// Watches one worst-case approach to a protected point and judges it: where the warning came,
// where the unit braked and how fast the train was, where it stood or how fast it passed the
// point, and whether that keeps within what the point asks.
#pragma once

#include <optional>
#include <string>

#include "brake_override.h"
#include "protected_points.h"

namespace vantor::sim {

struct ApproachSample {
    double time = 0.0;
    double position = 0.0;
    float speed = 0.0f;
};

struct ApproachResult {
    bool played = false; // the bench took the train over before the point
    bool isProtected = false;
    double speed = 0.0;                    // km/h the train was held at
    std::optional<ApproachSample> set;     // where the unit set the point up again
    std::optional<ApproachSample> warning; // the warning lamp, from the point's setting on
    std::optional<ApproachSample> brake;   // the unit's brake
    std::optional<ApproachSample> stood;   // the stand after it
    std::optional<ApproachSample> atPoint; // the front reaching the point
    std::optional<double> margin;          // m short of a stop point, km/h under a limit
    bool marginInKmh = false;
    std::string note; // what else is worth a word
};

class ApproachWatch : public RunObserver {
  public:
    ApproachWatch(const ProtectedPoint& point, int32_t emergencyNotch, double speed);

    void onFact(const UnitFact& fact) override;
    void onFrame(const FrameRecord& frame) override;
    ApproachResult result() const;

  private:
    const ProtectedPoint& point_;
    BrakeOverride override_;
    ApproachResult r_;
    std::optional<ApproachSample> began_;
    std::optional<double> setPoint_; // where the approach put the point, if elsewhere
    bool brakedAtOnce_ = false;      // a fixed check: the unit braked in the frame after it
    bool frameAfterSet_ = false;     // the next frame is the first after the setting
    std::string brakeCause_;
    std::string released_; // how the line cancelled the point before the train got there
    double furthest_ = 0.0;
};

} // namespace vantor::sim
