// The calls about the terminal that differ between platforms: whether an output stream is one,
// and on Windows, the console window the bench may have to itself.
#pragma once

#include <cstdio>

namespace vantor::sim {

bool isTerminal(std::FILE* stream);

#if defined(_WIN32)
// When the bench alone has its console window (Explorer started it, for a file dropped on it or
// a double click), the window would close with it before anyone read what it said: it waits
// for Enter first. In a window of its own a command prompt keeps, it returns at once.
void holdOwnConsoleWindow();
#endif

} // namespace vantor::sim
