// The settings file a run gives the library: the author's own file, as far as the unit reads it,
// when --settings names one, else the one written from the scenario's [settings], else none at
// all.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "scenario/scenario.h"

namespace vantor::sim {

class RunSettings {
  public:
    // path: the file --settings names, or empty. Its warnings go to errors, once.
    RunSettings(const std::string& path, std::ostream& errors);

    // The file for this scenario, which becomes the scenario's settings file, with the warnings
    // of the [settings] it is written from; nothing when the unit is to run on its defaults.
    std::optional<std::string> apply(Scenario& scenario, std::ostream& errors) const;

  private:
    std::string path_;
    SettingsFile file_;
};

} // namespace vantor::sim
