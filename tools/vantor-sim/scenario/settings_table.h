// The scenario's [settings]: each key checked to reach the unit as its author wrote it, and the
// unit's settings file written from them.
#pragma once

#include <ostream>
#include <string>

#include "scenario/scenario.h"
#include "scenario/table_reader.h"

namespace vantor::sim {

// Reads [settings] and writes the file. Refused, at the key's line: a number that the unit
// would read otherwise than it is (the bench writes it, and nothing shows the author what it
// became), and a text with a control character (a line break would write another key). Any
// other text goes to the unit as it is, for printTableWarnings to say how it reads.
Settings readSettingsTable(TableReader& reader);

// The settings file's text for the keys given.
std::string settingsFileText(const Settings& settings);

// What the settings checker says of the file written from [settings], each warning at its
// key's line in the scenario file.
void printTableWarnings(const Scenario& scenario, std::ostream& errors);

} // namespace vantor::sim
