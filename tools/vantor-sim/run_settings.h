// The settings file a run gives the library: the author's own file, byte for byte, when
// --settings names one, else one written from the scenario's [settings], else none at all.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "host/settings.h"
#include "scenario.h"

namespace vantor::sim {

class RunSettings {
  public:
    // path: the file --settings names, or empty. Its warnings go to errors, once.
    RunSettings(const std::string& path, std::ostream& errors);

    // The file for this scenario, whose settings become those the unit reads from it; nothing
    // when the unit is to run on its defaults.
    std::optional<std::string> apply(Scenario& scenario, std::ostream& errors) const;

  private:
    std::string path_;
    std::string bytes_;
    Settings settings_;
};

// The settings as the unit will use them in a run of this scenario.
UnitSettings unitSettings(const Scenario& scenario);

} // namespace vantor::sim
