// Any bytes as the settings file: through the in-memory reader and the number parsers, and
// through the real file, whose five settings must come out as the in-memory reading says. The
// same bytes also stand for the library's path, from which the settings file's path is built.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "settings/ini_profile.h"
#include "settings/settings.h"
#include "unit/vantor.h"

namespace {

using vantor::ini::Text;

struct Setting {
    const char* section;
    const char* key;
};

constexpr Setting kSettings[] = {{"SetSpec", "Speed"},
                                 {"SetSpec", "Deceleration"},
                                 {"SetSpec", "Rtime"},
                                 {"Disp", "Resolution"},
                                 {"LED", "MaxSpd"},
                                 {"setspec", "SPEED"},
                                 {"", ""},
                                 {"LED", ""}};

void check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

// The value as the reader copies it: at most seven characters, terminated.
std::string cut(Text value) {
    return std::string(value.data, value.size < 7 ? value.size : 7);
}

uint32_t expectedInteger(Text file, const char* section, const char* key, uint32_t fallback) {
    Text value{};
    return vantor::ini::findValue(file, section, key, value)
               ? vantor::ini::parseInteger(value, fallback)
               : fallback;
}

double expectedDecimal(Text file, const char* section, const char* key, double fallback) {
    Text value{};
    if (!vantor::ini::findValue(file, section, key, value)) {
        return fallback;
    }
    return vantor::decimalPrefix(cut(value).c_str());
}

bool same(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

// One file, rewritten for every input, in the fuzzer's temporary directory and removed when
// the fuzzer exits.
class SettingsFile {
  public:
    SettingsFile() {
        const char* dir = std::getenv("TMPDIR");
        path_ = std::string(dir && *dir ? dir : "/tmp") + "/vantor-settings-XXXXXX";
        const int fd = ::mkstemp(path_.data());
        check(fd >= 0);
        ::close(fd);
    }
    ~SettingsFile() { ::unlink(path_.c_str()); }
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    const char* path() const { return path_.c_str(); }

  private:
    std::string path_;
};

void writeFile(const char* path, const uint8_t* data, size_t size) {
    const int fd = ::open(path, O_WRONLY | O_TRUNC | O_CLOEXEC);
    check(fd >= 0);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        check(n > 0);
        done += static_cast<size_t>(n);
    }
    ::close(fd);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Text file{reinterpret_cast<const char*>(data), size};

    for (const Setting& setting : kSettings) {
        Text value{};
        if (vantor::ini::findValue(file, setting.section, setting.key, value)) {
            check(value.data >= file.data && value.data + value.size <= file.data + file.size);
            vantor::ini::parseInteger(value, 7);
            const double number =
                vantor::decimalPrefix(std::string(value.data, value.size).c_str());
            check(!std::isnan(number));
        }
    }
    const std::string whole(file.data, file.size);
    check(!std::isnan(vantor::decimalPrefix(whole.c_str())));

    // The same bytes as the library's own path: the settings path beside it, or none.
    char configPath[vantor::platform::kPathCapacity];
    const size_t copied = std::min(whole.size() + 1, sizeof configPath);
    std::memcpy(configPath, whole.c_str(), copied);
    vantor::configPathBeside(configPath, sizeof configPath);
    const size_t pathLength = strnlen(configPath, sizeof configPath);
    check(pathLength < sizeof configPath);
    constexpr char kName[] = "VantorConfig.ini";
    check(pathLength == 0 ||
          (pathLength >= sizeof kName - 1 &&
           std::strcmp(configPath + pathLength - (sizeof kName - 1), kName) == 0));

    static const SettingsFile settingsFile;
    const char* path = settingsFile.path();
    writeFile(path, data, size);
    vantor::CVantor unit{};
    vantor::loadSettings(unit, path);

    // A file with a UTF-16 byte-order mark is read through its narrowed text.
    std::string narrowed;
    const Text read = [&] {
        if (!vantor::ini::isUtf16(file)) {
            return file;
        }
        narrowed.resize(vantor::ini::utf16Length(file));
        vantor::ini::narrowUtf16(file, narrowed.data());
        return Text{narrowed.data(), narrowed.size()};
    }();

    const vantor::UnitSettings& defaults = vantor::kDefaultSettings;
    check(unit.maxSpeed ==
          static_cast<double>(static_cast<float>(expectedInteger(
              read, "SetSpec", "Speed", static_cast<uint32_t>(defaults.maxSpeed)))));
    check(same(unit.deceleration, static_cast<double>(static_cast<float>(expectedDecimal(
                                      read, "SetSpec", "Deceleration", defaults.deceleration)))));
    check(
        same(unit.reactionTime, expectedDecimal(read, "SetSpec", "Rtime", defaults.reactionTime)));
    check(unit.displayResolution ==
          static_cast<int32_t>(expectedInteger(read, "Disp", "Resolution",
                                               static_cast<uint32_t>(defaults.displayResolution))));
    check(unit.displayMaxSpeed ==
          static_cast<int32_t>(expectedInteger(read, "LED", "MaxSpd",
                                               static_cast<uint32_t>(defaults.displayMaxSpeed))));
    return 0;
}
