// What `vantor-sim layout` writes: the table an author transcribes into the host's route, the
// same as CSV, and the scenario with the laid transponders added as one block that a later
// layout replaces.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "layout/layout_planner.h"

namespace vantor::sim {

// A scenario's text without the block an earlier layout wrote, if it holds one.
struct AuthorText {
    std::string text;                 // ending with a line break unless empty
    std::optional<int> earlierLayout; // the line the earlier block began on
};
// Throws, with "LINE: why", for a block whose end line is missing.
AuthorText withoutLayout(std::string_view text);

// The block of TOML tables that adds the laid transponders to a scenario, with a comment that
// says what was chosen.
std::string layoutBlock(const Scenario& base, const Layout& layout, const std::string& command);

// The author's text with the block after it; the block's lines are those from firstLine on.
struct WrittenText {
    std::string text;
    int firstLine = 0;
};
WrittenText writtenText(const AuthorText& author, const std::string& block);

std::string layoutTable(const Scenario& base, const Layout& layout);
std::string layoutCsv(const Scenario& base, const Layout& layout);

// What was chosen for each signal and limit, and why: a paragraph each.
std::string choicesText(const Scenario& base, const Layout& layout, double margin);

} // namespace vantor::sim
