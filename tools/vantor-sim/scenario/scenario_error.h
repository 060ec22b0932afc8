// What the bench throws for a scenario it cannot take: the message names the file, the line and
// the key.
#pragma once

#include <stdexcept>

namespace vantor::sim {

class ScenarioError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace vantor::sim
