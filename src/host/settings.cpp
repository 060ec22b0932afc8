// The settings file VantorConfig.ini beside the library: its path and its five settings.
#include <charconv>
#include <cstring>
#include <limits>

#include "../platform/platform.h"
#include "../unit/arithmetic.h"
#include "plugin.h"

namespace vantor {

namespace {

constexpr char kConfigName[] = "VantorConfig.ini";
constexpr size_t kDirectorySize = 256; // directory part, with its terminator
constexpr size_t kTextSize = 8;        // settings texts are cut to 7 characters

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

void buildConfigPath(const char* modulePath, char (&configPath)[kPathSize]) {
    configPath[0] = '\0';
    const size_t length = std::strlen(modulePath);
    if (length == 0 || length >= kPathSize) {
        return;
    }
    // Everything up to the last separator is drive and directory.
    size_t directoryEnd = 0;
    for (size_t i = 0; i < length; ++i) {
        if (modulePath[i] == '/' || modulePath[i] == '\\' || (i == 1 && modulePath[i] == ':')) {
            directoryEnd = i + 1;
        }
    }
    const size_t driveLength = (length >= 2 && modulePath[1] == ':') ? 2 : 0;
    const size_t directoryLength = directoryEnd - driveLength;
    // A path too long for the buffers leaves the path empty: the defaults apply.
    if (directoryLength + 1 > kDirectorySize ||
        directoryEnd + sizeof kConfigName > static_cast<size_t>(kPathSize)) {
        return;
    }
    std::memcpy(configPath, modulePath, directoryEnd);
    std::memcpy(configPath + directoryEnd, kConfigName, sizeof kConfigName);
}

// Like the C library's atof on decimal text, but independent of the host process's locale.
double decimalPrefix(const char* text) {
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

void loadSettings(CVantor& unit, const char* configPath) {
    const uint32_t speedSetting = platform::readProfileInt(configPath, "SetSpec", "Speed", 125);
    const float maxSpeed32 = static_cast<float>(speedSetting);
    char deceleration[kTextSize];
    char reactionTime[kTextSize];
    platform::readProfileString(configPath, "SetSpec", "Deceleration", "2.50", deceleration,
                                kTextSize);
    platform::readProfileString(configPath, "SetSpec", "Rtime", "1.00", reactionTime, kTextSize);
    unit.displayResolution =
        static_cast<int32_t>(platform::readProfileInt(configPath, "Disp", "Resolution", 60));
    unit.displayMaxSpeed =
        static_cast<int32_t>(platform::readProfileInt(configPath, "LED", "MaxSpd", 140));
    unit.deceleration = static_cast<double>(roundToFloat(decimalPrefix(deceleration)));
    unit.reactionTime = decimalPrefix(reactionTime);
    unit.maxSpeed = static_cast<double>(maxSpeed32);
}

} // namespace vantor
