// A scenario file's bytes as UTF-8 text. Windows tools often save text as UTF-16 with a
// byte-order mark: Windows PowerShell's ">" (so "vantor-sim --print-default > line.toml") and
// Notepad's "Unicode". Such a file is converted, an unpaired surrogate or a lone last byte
// becoming U+FFFD; anything else is taken as it stands.
#pragma once

#include <string>
#include <string_view>

namespace vantor::sim {

std::string utf8FileText(std::string_view bytes);

// "little-endian" or "big-endian" for bytes that are UTF-16 text without a byte-order mark,
// which would read as a stream of NUL characters; nullptr for any other bytes.
const char* unmarkedUtf16(std::string_view bytes);

} // namespace vantor::sim
