// Plays a scripted host session against a loaded plug-in and writes one trace line per frame.
//
// A session is a text file, one command per line; '#' starts a comment line.
//   vehicle B A          SetVehicleSpec: B service brake notches, acknowledgement from notch A
//   initialize           Initialize
//   brake N | power N | reverser N       the driver's handles
//   keydown K | keyup K  keys
//   panel I V            sets panel entry I before the next frame (247: power switch)
//   beacon T S O         SetBeaconData with type T, signal S, optional O
//   horn N | signal N | doors open | doors close     calls the plug-in ignores
//   clock T              host time of the last frame; the next frame is measured from it
//   frame STEP V         one frame STEP ms after the last, at V km/h
//   frames N STEP V      N such frames
//   ramp N STEP V0 V1    N frames whose speed goes in equal steps from V0 to V1 (reached last)
//   note TEXT            copies TEXT into the trace
#pragma once

#include <cstdio>
#include <istream>
#include <string>

#include "plugin_module.h"

namespace vantor::sessions {

struct TraceOptions {
    // Sounds 21 and 22 alternate at a period drawn from the C runtime's generator, which
    // differs between runtimes; masked traces show them as '*'.
    bool maskRandomSounds = false;
};

// Runs the whole session; throws std::runtime_error naming the line of a bad command.
void runSession(const loader::PluginExports& plugin, std::istream& script, std::FILE* trace,
                const TraceOptions& options);

} // namespace vantor::sessions
