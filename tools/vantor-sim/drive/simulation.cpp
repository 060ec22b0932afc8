#include "drive/simulation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "drive/line_run.h"
#include "support/text_format.h"

namespace vantor::sim {

std::optional<double> patternSpeedFromDisplay(int32_t display, bool powered,
                                              const UnitSettings& settings) {
    const double resolution = static_cast<double>(settings.displayResolution);
    if (!powered || display == kPatternDisplayInactive || resolution == 0.0) {
        return std::nullopt;
    }
    return display * static_cast<double>(settings.displayMaxSpeed) / resolution;
}

void requireRunLength(const Scenario& scenario, int64_t maxFrames) {
    const double frames = framesInRun(scenario.run);
    if (frames <= static_cast<double>(maxFrames)) {
        return;
    }
    const std::string where =
        scenario.run.durationLine > 0
            ? scenario.source + ":" + std::to_string(scenario.run.durationLine)
            : scenario.source;
    throw std::runtime_error(where + ": the run would take " + shortNumber(frames) +
                             " frames (run.duration " + shortNumber(scenario.run.duration) +
                             " s in " + std::to_string(scenario.run.stepMs) +
                             " ms frames), more than the " + std::to_string(maxFrames) +
                             " the bench runs at most; shorten run.duration, or raise the "
                             "limit with --max-frames");
}

RunEnd runScenario(const Scenario& scenario, PluginLibrary& plugin,
                   const std::vector<RunObserver*>& observers,
                   const std::function<void(double)>& progress, const Play* play) {
    LineRun run(scenario, plugin, observers, play, progress);
    return run.finish();
}

} // namespace vantor::sim
