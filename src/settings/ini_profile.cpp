#include "ini_profile.h"

#include <cstring>

namespace vantor::ini {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

Text trim(Text text) {
    while (text.size > 0 && isBlank(text.data[0])) {
        ++text.data;
        --text.size;
    }
    while (text.size > 0 && isBlank(text.data[text.size - 1])) {
        --text.size;
    }
    return text;
}

const char* lastOf(Text text, char c) {
    for (size_t i = text.size; i > 0; --i) {
        if (text.data[i - 1] == c) {
            return text.data + i - 1;
        }
    }
    return nullptr;
}

const char* firstOf(Text text, char c) {
    return static_cast<const char*>(std::memchr(text.data, c, text.size));
}

Text unquote(Text value) {
    if (value.size >= 2) {
        const char first = value.data[0];
        if ((first == '"' || first == '\'') && value.data[value.size - 1] == first) {
            return Text{value.data + 1, value.size - 2};
        }
    }
    return value;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char l = lower(c);
    return (l >= 'a' && l <= 'f') ? l - 'a' + 10 : -1;
}

} // namespace

Lines::Lines(Text file) : file_(file), position_(0) {
    if (file.size >= 3 && std::memcmp(file.data, "\xEF\xBB\xBF", 3) == 0) {
        position_ = 3;
    }
}

bool Lines::next(Line& line) {
    if (position_ >= file_.size) {
        return false;
    }
    const char* start = file_.data + position_;
    size_t length = 0;
    while (position_ + length < file_.size && start[length] != '\n' && start[length] != '\r') {
        ++length;
    }
    position_ += length + 1;
    // The empty line between CR and LF would be blank anyway; skipping it keeps the count.
    if (position_ < file_.size && start[length] == '\r' && start[length + 1] == '\n') {
        ++position_;
    }
    line = Line{Line::Kind::Blank, ++number_, trim(Text{start, length}), {}, {}};
    const Text text = line.text;
    if (text.size == 0) {
        return true;
    }
    if (text.data[0] == '[') {
        if (const char* close = lastOf(text, ']')) {
            line.kind = Line::Kind::Section;
            line.name = trim(Text{text.data + 1, static_cast<size_t>(close - text.data - 1)});
            return true;
        }
    }
    const char* equals = firstOf(text, '=');
    if (!equals) {
        line.kind = Line::Kind::Other;
        return true;
    }
    const char* valueStart = equals + 1;
    line.kind = Line::Kind::Key;
    line.name = trim(Text{text.data, static_cast<size_t>(equals - text.data)});
    line.value =
        unquote(trim(Text{valueStart, static_cast<size_t>(text.data + text.size - valueStart)}));
    return true;
}

bool sameName(Text name, const char* wanted) {
    const size_t length = std::strlen(wanted);
    if (name.size != length) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (lower(name.data[i]) != lower(wanted[i])) {
            return false;
        }
    }
    return true;
}

bool findValue(Text file, const char* section, const char* key, Text& value) {
    // Before the first header no section is current; once the wanted section has ended, later
    // sections of the same name are not searched.
    bool inside = false;
    Lines lines(file);
    Line line{};
    while (lines.next(line)) {
        if (line.kind == Line::Kind::Section) {
            if (inside) {
                return false;
            }
            inside = sameName(line.name, section);
        } else if (inside && line.kind == Line::Kind::Key && sameName(line.name, key)) {
            value = line.value;
            return true;
        }
    }
    return false;
}

bool isUtf16(Text file) {
    if (file.size < 2) {
        return false;
    }
    const auto first = static_cast<unsigned char>(file.data[0]);
    const auto second = static_cast<unsigned char>(file.data[1]);
    return (first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF);
}

size_t utf16Length(Text file) {
    return isUtf16(file) ? (file.size - 2) / 2 : 0;
}

void narrowUtf16(Text file, char* out) {
    const bool bigEndian = static_cast<unsigned char>(file.data[0]) == 0xFE;
    const auto* bytes = reinterpret_cast<const unsigned char*>(file.data) + 2;
    const size_t length = utf16Length(file);
    for (size_t i = 0; i < length; ++i) {
        const unsigned high = bytes[2 * i + (bigEndian ? 0 : 1)];
        const unsigned low = bytes[2 * i + (bigEndian ? 1 : 0)];
        out[i] = (high == 0 && low < 0x80) ? static_cast<char>(low) : '\x80';
    }
}

Text decodeInPlace(char* data, size_t size) {
    const Text file{data, size};
    if (!isUtf16(file)) {
        return file;
    }
    // The length first: narrowing overwrites the byte-order mark.
    const size_t length = utf16Length(file);
    narrowUtf16(file, data);
    return Text{data, length};
}

uint32_t parseInteger(Text value, uint32_t defaultValue, size_t* used) {
    if (used != nullptr) {
        *used = 0;
    }
    if (value.size == 0) {
        return defaultValue;
    }
    size_t i = 0;
    while (i < value.size && isBlank(value.data[i])) {
        ++i;
    }
    bool negative = false;
    if (i < value.size && (value.data[i] == '+' || value.data[i] == '-')) {
        negative = value.data[i] == '-';
        ++i;
    }
    // The base prefixes of the Windows profile functions, in lower case only: "0X10" is 0.
    uint32_t base = 10;
    if (i + 1 < value.size && value.data[i] == '0') {
        const char prefix = value.data[i + 1];
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10) {
            i += 2;
        }
    }
    uint32_t result = 0;
    const size_t digitsStart = i;
    for (; i < value.size; ++i) {
        const int digit = hexDigit(value.data[i]);
        if (digit < 0 || static_cast<uint32_t>(digit) >= base) {
            break;
        }
        result = result * base + static_cast<uint32_t>(digit);
    }
    if (used != nullptr) {
        *used = i > digitsStart ? i : 0;
    }
    return negative ? 0u - result : result;
}

} // namespace vantor::ini
