// Reading UTF-8 one character at a time, for the writers that must show or drop what their
// reader cannot take: XML (control characters) and the terminal (those that move its cursor).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantor::sim {

struct Utf8Char {
    uint32_t code = 0;
    size_t length = 0; // bytes; 0 where text[i] starts no well-formed sequence
};

// The character at text[i]. Overlong forms, surrogates, code points beyond U+10FFFF and
// sequences cut short are not well-formed.
Utf8Char utf8CharAt(std::string_view text, size_t i);

} // namespace vantor::sim
