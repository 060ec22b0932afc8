// The settings checker: a VantorConfig.ini read by the plug-in's own reader, shown as the unit
// will use it, with everything in it that the unit ignores or reads otherwise than its author
// may think.
#pragma once

#include <array>
#include <cstddef>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "settings/settings.h"

namespace vantor::sim {

class SettingsFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct SettingsWarning {
    size_t line; // counted from 1; 0 for the file as a whole
    std::string message;
};

struct SettingsReport {
    UnitSettings settings;
    std::array<size_t, 5> lines{}; // where Speed, Deceleration, Rtime, Resolution and MaxSpd
                                   // came from; 0 for the default
    std::vector<SettingsWarning> warnings; // in the order of the file
};

// What the unit makes of a settings file with these bytes.
SettingsReport checkSettings(std::string bytes);

// The file's bytes as far as the unit reads them, and the one after (see unitFileText);
// SettingsFileError saying why when it cannot be read.
std::string readSettingsBytes(const std::string& path);

// `vantor-sim settings FILE`: prints each setting and each warning. Returns the exit status:
// 0 when the file reads cleanly, 1 with warnings, 2 when it cannot be read.
int printSettingsCheck(const std::string& path, std::ostream& out, std::ostream& errors);

// The warnings alone, as "FILE:LINE: warning: ..." lines, for a run that uses the file.
void printSettingsWarnings(const std::string& path, const SettingsReport& report,
                           std::ostream& errors);

} // namespace vantor::sim
