// How `vantor-sim layout` chooses: for each declared signal the shortest stop distance whose
// danger approach, as the protection report plays it, stands the train far enough before it;
// for each declared limit the highest speed the unit codes up to it; each layout where it
// disturbs no other, the release coils where they disturb nothing.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "layout/layout_recipes.h"
#include "protect/line_judgement.h"

namespace vantor::sim {

struct LayoutRequest {
    JudgeOptions judge;  // the library, the settings, the approach speed, the jobs
    double margin = 0.0; // m each signal's train must stand before it, at the least
};

struct SignalLayout {
    size_t signal = 0;
    bool byAuthor = false; // transponders of the scenario are linked to it: nothing is laid
    size_t distance = 0;   // index of the stop distance
    double shift = 0.0;    // m its layout lies before its recipe's place
    // What each shorter stop distance did: "390 m: stood at 2003.1 m, 3.1 m past it".
    std::vector<std::string> tried;
    std::optional<Judgement> judgement; // of its danger approach with the chosen layout
    bool holds = false;                 // protected, with the margin asked for
    std::optional<double> slower;       // km/h: the highest approach it holds, when it fails
    bool slowerChecked = false;         // the slower approaches were played
    // What its layout could not be laid without disturbing, or where it would leave the line.
    std::string problem;
    std::string noRoom;    // why the next longer stop distance would not fit
    std::string shiftWhy;  // what it would disturb at its place, when shifted
    std::string frameNote; // where the frames may misread its distance code
};

struct LimitLayout {
    size_t limit = 0;
    std::optional<PairCoding> coding; // none: the unit codes no speed so low
    std::string note;                 // why the speed is not the limit's
    std::string problem;
    std::string frameNote; // where the frames may misread its coil pairs
};

struct Layout {
    std::vector<SignalLayout> signals; // in the scenario's order
    std::vector<LimitLayout> limits;   // in the scenario's order
    std::vector<Laid> laid;            // sorted by position
};

// `base`: the scenario without any transponders an earlier layout laid; its settings applied.
Layout planLayout(const Scenario& base, const LayoutRequest& request);

// The scenario with the laid transponders added among its own.
Scenario withLaid(const Scenario& base, const std::vector<Laid>& laid);

} // namespace vantor::sim
