// Where the settings file is and how it is read: beside the library, once per Initialize, into
// a buffer of the plug-in's own.
#include <cstring>

#include "../unit/vantor.h"
#include "settings.h"

namespace vantor {

namespace {

constexpr char kConfigName[] = "VantorConfig.ini";
constexpr size_t kAttempts = 3;

// The whole file, or its first capacity bytes; -1 when it cannot be read.
int64_t readFrom(platform::ReadOnlyFile& file, char* buffer, size_t capacity) {
    size_t done = 0;
    while (done < capacity) {
        const int64_t read = file.readAt(done, buffer + done, capacity - done);
        if (read < 0) {
            return -1;
        }
        if (read == 0) {
            break;
        }
        done += static_cast<size_t>(read);
    }
    return static_cast<int64_t>(done);
}

// Whether the file still holds exactly those length bytes (as far as capacity reaches).
bool stillHolds(platform::ReadOnlyFile& file, const char* bytes, size_t length, size_t capacity) {
    char chunk[4096];
    size_t done = 0;
    while (done < capacity) {
        const size_t wanted = capacity - done < sizeof chunk ? capacity - done : sizeof chunk;
        const int64_t read = file.readAt(done, chunk, wanted);
        if (read <= 0) {
            return read == 0 && done == length;
        }
        const auto count = static_cast<size_t>(read);
        if (count > length - done || std::memcmp(chunk, bytes + done, count) != 0) {
            return false;
        }
        done += count;
    }
    return done == length;
}

} // namespace

void configPathBeside(platform::PathChar* path, size_t capacity) {
    size_t length = 0;
    while (length < capacity && path[length] != 0) {
        ++length;
    }
    // Everything up to the last separator is drive and directory.
    size_t directoryEnd = 0;
    for (size_t i = 0; i < length; ++i) {
        if (path[i] == '/' || path[i] == '\\' || (i == 1 && path[i] == ':')) {
            directoryEnd = i + 1;
        }
    }
    // No library path, or none that the file's path would fit beside: the defaults apply.
    if (length == 0 || length == capacity || directoryEnd + sizeof kConfigName > capacity) {
        if (capacity > 0) {
            path[0] = 0;
        }
        return;
    }
    for (size_t i = 0; i < sizeof kConfigName; ++i) {
        path[directoryEnd + i] = static_cast<platform::PathChar>(kConfigName[i]);
    }
}

ini::Text settingsText(char* bytes, size_t length, const char* next) {
    ini::Text text = ini::decodeInPlace(bytes, length);
    if (next != nullptr && *next != '\n' && *next != '\r') {
        while (text.size > 0 && text.data[text.size - 1] != '\n' &&
               text.data[text.size - 1] != '\r') {
            --text.size;
        }
    }
    return text;
}

ini::Text readSettingsFile(const platform::PathChar* path, char* buffer, size_t capacity) {
    if (path[0] == 0) {
        return ini::Text{buffer, 0};
    }
    platform::ReadOnlyFile file(path);
    if (!file.isOpen()) {
        return ini::Text{buffer, 0};
    }
    // An editor saving the file while it is read could leave a mix of the old and the new
    // text, with numbers that neither holds. The read counts once a second reading agrees
    // with it; a file that never holds still gives the defaults.
    for (size_t attempt = 0; attempt < kAttempts; ++attempt) {
        const int64_t length = readFrom(file, buffer, capacity);
        if (length < 0) {
            break;
        }
        if (stillHolds(file, buffer, static_cast<size_t>(length), capacity)) {
            char next = 0;
            const bool goesOn =
                static_cast<size_t>(length) == capacity && file.readAt(capacity, &next, 1) > 0;
            return settingsText(buffer, static_cast<size_t>(length), goesOn ? &next : nullptr);
        }
    }
    return ini::Text{buffer, 0};
}

void loadSettings(CVantor& unit, const platform::PathChar* configPath) {
    // Static, so that Initialize takes nothing from the heap and keeps the host's stack small;
    // the host calls the plug-in from one thread only.
    static char fileBuffer[kSettingsFileLimit];
    const UnitSettings settings =
        readSettings(readSettingsFile(configPath, fileBuffer, sizeof fileBuffer));
    unit.maxSpeed = settings.maxSpeed;
    unit.deceleration = settings.deceleration;
    unit.reactionTime = settings.reactionTime;
    unit.setDisplayScale(settings.displayResolution, settings.displayMaxSpeed);
}

} // namespace vantor
