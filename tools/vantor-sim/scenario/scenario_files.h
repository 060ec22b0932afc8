// The scenario files a command's arguments name. A Unix shell expands "checks/*.toml" before
// the bench sees it; cmd.exe and PowerShell hand the pattern over as it is, so the bench
// expands it itself.
#pragma once

#include <string>
#include <vector>

namespace vantor::sim {

// Each argument as it is, unless the last part of it holds * or ? and no file has that very
// name: then the files of its folder whose names match, in name order. A pattern that matches
// nothing stays as it is, so that the error names it.
std::vector<std::string> scenarioFiles(const std::vector<std::string>& arguments);

// Whether name matches pattern: * stands for any run of characters, ? for any one byte.
bool wildcardMatch(const std::string& pattern, const std::string& name);

} // namespace vantor::sim
