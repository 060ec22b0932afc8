// The few calls into the operating system. One source file per platform implements them;
// nothing else in the plug-in knows which platform it runs on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantor::platform {

// The plug-in library's own full path. False when it cannot be had or does not fit in size
// characters with its terminator.
bool libraryPath(char* buffer, size_t size);

// Seconds field (0 to 60) of the current local time.
int localSeconds();

// Settings file access with the rules of the system's profile functions: the key's value from
// the first section of that name, or the default when the file, the section or the key is
// missing.
uint32_t readProfileInt(const char* path, const char* section, const char* key,
                        uint32_t defaultValue);
// Copies at most size - 1 characters of the value (or of the default) and terminates it.
void readProfileString(const char* path, const char* section, const char* key,
                       const char* defaultValue, char* out, size_t size);

} // namespace vantor::platform
