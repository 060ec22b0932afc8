// The five settings that the text of a settings file gives, each read as its own kind of
// number.
#include "settings.h"

#include <charconv>
#include <cstring>
#include <limits>

#include "../unit/arithmetic.h"

namespace vantor {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The key's whole number, wrapped modulo 2^32, or fallback for a missing key or an empty value.
uint32_t readInteger(ini::Text file, const SettingKey& key, uint32_t fallback) {
    ini::Text value{};
    if (!ini::findValue(file, key.section, key.name, value)) {
        return fallback;
    }
    return ini::parseInteger(value, fallback);
}

// The key's text, cut as the unit cuts it, as a decimal number, or fallback for a missing key.
double readDecimal(ini::Text file, const SettingKey& key, double fallback) {
    ini::Text value{};
    if (!ini::findValue(file, key.section, key.name, value)) {
        return fallback;
    }
    char text[kSettingTextLength + 1];
    const size_t length = value.size < kSettingTextLength ? value.size : kSettingTextLength;
    std::memcpy(text, value.data, length);
    text[length] = '\0';
    return decimalPrefix(text);
}

} // namespace

// Like the C library's atof on decimal text, but independent of the host process's locale.
double decimalPrefix(const char* text, const char** end) {
    if (end != nullptr) {
        *end = text;
    }
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) {
        ++p;
    }
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') {
        ++p;
    }
    const char* start = p;
    bool digits = false;
    while (isDigit(*p)) {
        ++p;
        digits = true;
    }
    if (*p == '.') {
        ++p;
        while (isDigit(*p)) {
            ++p;
            digits = true;
        }
    }
    if (!digits) {
        return 0.0;
    }
    if (*p == 'e' || *p == 'E') {
        const char* exponent = p + 1;
        if (*exponent == '+' || *exponent == '-') {
            ++exponent;
        }
        if (isDigit(*exponent)) {
            p = exponent;
            while (isDigit(*p)) {
                ++p;
            }
        }
    }
    if (end != nullptr) {
        *end = p;
    }
    double value = 0.0;
    const auto result = std::from_chars(start, p, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large overflows to infinity, too small underflows to zero, as atof does.
        const char* e = start;
        while (e < p && *e != 'e' && *e != 'E') {
            ++e;
        }
        value = (e + 1 < p && e[1] == '-') ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

UnitSettings readSettings(ini::Text file) {
    const UnitSettings& defaults = kDefaultSettings;
    // Speed is held in single precision, as is Deceleration once read; Rtime is not.
    const float maxSpeed =
        static_cast<float>(readInteger(file, kSpeedKey, static_cast<uint32_t>(defaults.maxSpeed)));
    return UnitSettings{
        static_cast<double>(maxSpeed),
        static_cast<double>(
            roundToFloat(readDecimal(file, kDecelerationKey, defaults.deceleration))),
        readDecimal(file, kRtimeKey, defaults.reactionTime),
        static_cast<int32_t>(
            readInteger(file, kResolutionKey, static_cast<uint32_t>(defaults.displayResolution))),
        static_cast<int32_t>(
            readInteger(file, kMaxSpdKey, static_cast<uint32_t>(defaults.displayMaxSpeed))),
    };
}

} // namespace vantor
