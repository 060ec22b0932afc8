// Reading a settings file held in memory, by the rules that the Windows profile functions
// follow, so that a settings file means the same on every platform:
//
// - Lines end at LF or CR, so CRLF and a lone CR end a line too. A UTF-8 byte-order mark at the
//   start is skipped. A file that starts with a UTF-16 byte-order mark (either byte order) is
//   UTF-16 text: decodeInPlace turns it into one byte per character first.
// - Leading and trailing blanks of a line are ignored.
// - A section header is a line that starts with '['; its name runs to the last ']' on the
//   line and is trimmed ("[ LED ]" is LED, "[LED] junk" is LED, "[SetSpec]]" is "SetSpec]").
//   A line starting with '[' without any ']' is no header: the current section goes on.
// - Only the first section of a given name is searched.
// - Key lines are "name=value"; the name is trimmed. Lines without '=' and keys before any
//   section are ignored. The first occurrence of a key in the section wins.
// - Section and key names compare without regard to ASCII case.
// - There is no comment syntax: ";x=1" is a key named ";x".
// - The value is trimmed; one pair of matching quotes (" or ') around it is removed; anything
//   after it (such as "; note") is part of the value.
// - Integers: a missing key or an empty value gives the default; otherwise blanks, an optional
//   sign, then digits up to the first other character, wrapped modulo 2^32: hexadecimal after
//   "0x", octal after "0o", binary after "0b" (lower-case prefixes only), else decimal ("010"
//   is 10). No digits give 0.
// - Text: a missing key gives the default, an empty value the empty text.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantor::ini {

struct Text {
    const char* data;
    size_t size;
};

// One line of the file as the rules above see it.
struct Line {
    enum class Kind { Blank, Section, Key, Other };
    Kind kind;
    size_t number; // counted from 1; CRLF ends one line, as an editor shows it
    Text text;     // the whole line, trimmed
    Text name;     // Section: its name; Key: the key's name
    Text value;    // Key: the value, trimmed and unquoted
};

// The lines of a file, in order, without copying anything.
class Lines {
  public:
    explicit Lines(Text file);
    bool next(Line& line);

  private:
    Text file_;
    size_t position_;
    size_t number_ = 0;
};

bool sameName(Text name, const char* wanted);

// Finds key in the first section named section; on success value holds the key's value.
bool findValue(Text file, const char* section, const char* key, Text& value);

// The integer that a profile integer read gives for a value that was found. When used is
// given, it receives how many characters of the value the number took up (blanks, sign,
// prefix and digits), or 0 when the value has no digits.
uint32_t parseInteger(Text value, uint32_t defaultValue, size_t* used = nullptr);

// UTF-16 files, as saved by editors that offer "Unicode": whether file is one, how many
// characters follow its byte-order mark, and those characters one byte each into out (which
// holds utf16Length(file) bytes and may be file.data itself). ASCII characters stay as they
// are; any other becomes a byte that no rule gives a meaning to, so it matches no name and
// ends a number.
bool isUtf16(Text file);
size_t utf16Length(Text file);
void narrowUtf16(Text file, char* out);

// The file's bytes as the rules above read them: a UTF-16 file narrowed in its own buffer.
Text decodeInPlace(char* data, size_t size);

} // namespace vantor::ini
