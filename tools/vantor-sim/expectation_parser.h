// Reads one [[expect]] table of a scenario file, with the same errors as the rest of the file:
// the file, the line, the column and the key, and what is wrong.
#pragma once

#include "expectation.h"

namespace vantor::sim {

class TableReader;

Expectation readExpectation(TableReader& reader);

} // namespace vantor::sim
