// Text for XML reports and plots: markup characters as entities, and whatever XML cannot hold
// (control characters, malformed UTF-8) as '?', so that what the bench writes always parses.
#pragma once

#include <string>

namespace vantor::sim {

std::string xmlText(const std::string& text);

} // namespace vantor::sim
