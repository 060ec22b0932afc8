// Reads one [[expect]] table of a scenario file, with the same errors as the rest of the file:
// the file, the line, the column and the key, and what is wrong.
#pragma once

#include "scenario/expectation.h"
#include "scenario/scenario.h"

namespace vantor::sim {

class TableReader;

Expectation readExpectation(TableReader& reader);

// What a run of the scenario can reach, as far as its file tells before the run.
struct Reach {
    double start = 0.0;    // m
    double lineEnd = 0.0;  // m; 0: the line has no end
    double lastTime = 0.0; // s of the run's last frame
    // A rising gradient or a reverser at -1 may take the train behind its start.
    bool movesBack = false;
};
Reach reachOf(const Scenario& scenario);

// Refuses a place or time of the expectation that the run cannot reach: behind the start of a
// train that nothing takes back, beyond the end of the line, after the run's last frame.
void requireReachable(TableReader& reader, const Expectation& expectation, const Reach& reach);

} // namespace vantor::sim
