// `vantor-sim layout`: the transponders for the signals and limits a scenario declares, laid out
// after the guide's recipes with the stop distances and codes the line needs, as a table for the
// host's route and, on request, as the scenario with them added; then the protection report on
// the result.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace vantor::sim {

struct LayoutOptions {
    std::string library;
    std::string scenario;
    std::string settings;       // a settings file in place of the scenario's [settings], or empty
    std::string speed = "line"; // as the protection report's --speed
    double margin = 0.0;        // m each signal's train must stand before it, at the least
    std::string write;          // where to write the scenario laid out, or empty
    std::string csv;            // where to write the table, or empty
    int64_t maxFrames = 0;
    unsigned jobs = 1;
};

// Returns the exit status: 0 when the layout protects every signal and limit (each signal with
// the margin asked for) and its clear run brakes nowhere, 1 when not, 2 when the scenario cannot
// be laid out or run.
int runLayout(const LayoutOptions& options, std::ostream& out, std::ostream& errors);

} // namespace vantor::sim
