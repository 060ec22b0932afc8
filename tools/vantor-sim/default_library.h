// The plug-in the bench runs when no --library is given: the one beside the bench, as the
// release package has them, or else the one of the build the bench comes from.
#pragma once

#include <string>

namespace vantor::sim {

// The library's path as UTF-8 text; throws std::runtime_error when neither place has one.
std::string defaultLibraryPath();

} // namespace vantor::sim
