// Where the unit put each point on one run of a line, by the transponder that set it up: a
// report of several runs of the line gives each point at the one place its first run put it,
// though on another run the unit counts from where that run's frame ended.
#pragma once

#include <optional>
#include <vector>

#include "host/unit_facts.h"

namespace vantor::sim {

class PointBook {
  public:
    // Keeps the point of a fact that sets something up, unless one is kept for it already.
    void record(const UnitFact& fact);
    // The point the transponder set up in this slot, as kept; a restriction in either place
    // of its code's pair.
    std::optional<double> find(const Transponder* by, Setup setup, int slot) const;

  private:
    struct Entry {
        const Transponder* by;
        Setup setup;
        bool secondPair;
        double point; // m
    };
    std::vector<Entry> entries_;
};

} // namespace vantor::sim
