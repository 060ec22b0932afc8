// The protection report's table, for the terminal and as CSV: a row per declared signal and
// limit and one for the clear run, with what its run showed and the verdict.
#pragma once

#include <cstddef>
#include <string>

#include "protect/line_judgement.h"

namespace vantor::sim {

std::string protectionTableHeader();
std::string protectionTableRow(size_t number, const Judgement& j);
std::string protectionCsvHeader();
std::string protectionCsvRow(size_t number, const Judgement& j);

// "signal-S2", "limit-3000.0m", "clear-run": for file names.
std::string judgementSlug(const Scenario& scenario, const Judgement& j);

} // namespace vantor::sim
