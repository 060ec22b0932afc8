// Whether an output stream is a terminal: the one call that differs between platforms.
#pragma once

#include <cstdio>

namespace vantor::sim {

bool isTerminal(std::FILE* stream);

} // namespace vantor::sim
