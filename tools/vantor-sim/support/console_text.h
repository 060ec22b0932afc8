// Text for the person at the terminal. The bench's text is UTF-8: its own "»", the scenario's
// names and labels, paths in messages. A Windows console is handed that text as UTF-16, so
// that it shows right whatever the console's code page; a file or a pipe gets the UTF-8 bytes
// on every platform, so that a saved timeline is the same file everywhere (on Windows with
// CR LF line ends, as its text files have). Either way control characters in the text are
// shown as escapes, so that a name or label in a scenario cannot drive the terminal.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vantor::sim {

// The text with whatever would move a terminal's cursor or change its state shown instead, as
// a scenario would write it: control characters but the tab (and, with keepNewlines, the
// newline) as \r, \n or \u001B, and bytes that are no UTF-8 as \xFF. A name or label is
// shown so on one line; any text the bench prints keeps its newlines.
std::string visibleText(std::string_view utf8, bool keepNewlines = false);

// Writes the visible text, newlines kept.
void writeText(std::FILE* stream, std::string_view utf8);
// Writes the bench's own cursor moves (the progress bar's carriage returns) as they are.
void writeCursorText(std::FILE* stream, std::string_view utf8);

} // namespace vantor::sim
