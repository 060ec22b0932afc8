// Text for the person at the terminal. The bench's text is UTF-8: its own "»", the scenario's
// names and labels, paths in messages. A Windows console is handed that text as UTF-16, so
// that it shows right whatever the console's code page; a file or a pipe gets the UTF-8 bytes
// on every platform, so that a saved timeline is the same file everywhere (on Windows with
// CR LF line ends, as its text files have).
#pragma once

#include <cstdio>
#include <string_view>

namespace vantor::sim {

void writeText(std::FILE* stream, std::string_view utf8);

} // namespace vantor::sim
