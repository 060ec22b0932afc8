// The plain run: the line played once, with its timeline, trace and plot.
#pragma once

#include <cstdint>
#include <string>

#include "drive/simulation.h"

namespace vantor::sim {

struct RunOptions {
    std::string library;
    std::string scenario; // empty: the built-in line
    std::string csv;      // where to write the per-frame trace, or empty
    std::string svg;      // where to write the plot, or empty
    std::string settings; // a settings file to run with, in place of [settings], or empty
    bool pinRandom = false;
    bool allSounds = false;
    bool quiet = false;
    int64_t maxFrames = kDefaultMaxFrames;
};

// Returns the exit status: 0 once the run is over, whatever the unit did; errors throw.
int runLine(const RunOptions& options);

} // namespace vantor::sim
