// The settings file VantorConfig.ini beside the library: where it is, how it is read, and the
// five settings of the unit that it gives. Each step is a function of its own, so that a file
// can be read, and what the unit would make of it told, without loading the library.
#pragma once

#include <cstddef>
#include <cstdint>

#include "../platform/platform.h"
#include "ini_profile.h"
#include "unit_settings.h"

namespace vantor {

class CVantor;

// A settings file is read up to this size; the rest of a larger one is ignored, from the line
// that the limit cuts through on. No sane settings file comes near it.
inline constexpr size_t kSettingsFileLimit = size_t{1} << 20;
// Deceleration and Rtime are read as texts cut to this many characters.
inline constexpr size_t kSettingTextLength = 7;

struct SettingKey {
    const char* section;
    const char* name;
};
inline constexpr SettingKey kSpeedKey{"SetSpec", "Speed"};
inline constexpr SettingKey kDecelerationKey{"SetSpec", "Deceleration"};
inline constexpr SettingKey kRtimeKey{"SetSpec", "Rtime"};
inline constexpr SettingKey kResolutionKey{"Disp", "Resolution"};
inline constexpr SettingKey kMaxSpdKey{"LED", "MaxSpd"};

// The settings that the text of a settings file gives (an empty text gives the defaults).
UnitSettings readSettings(ini::Text file);

// The leading decimal number of a settings text, 0.0 if there is none. When end is given, it
// receives where the number ends (text itself when there is none).
double decimalPrefix(const char* text, const char** end = nullptr);

// Turns the library's own path in path into the settings file's path beside it, or into the
// empty path when that would not fit in capacity characters with its terminator.
void configPathBeside(platform::PathChar* path, size_t capacity);

// The text that the first length bytes of a settings file give: a UTF-16 file narrowed in
// place, and when the file goes on past them (next points to the byte that follows), without
// the line they cut through, so that no number is read cut short.
ini::Text settingsText(char* bytes, size_t length, const char* next);

// Reads the settings file into buffer (a UTF-16 file is narrowed there) and returns its text;
// an empty text when there is no file to read. A file that changes while it is read is read
// again, so that the text is what the file held at one moment.
ini::Text readSettingsFile(const platform::PathChar* path, char* buffer, size_t capacity);

// Reads the file at configPath once and sets the unit's five settings from it.
void loadSettings(CVantor& unit, const platform::PathChar* configPath);

} // namespace vantor
