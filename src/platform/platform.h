// The few calls into the operating system. One source file per platform implements them;
// nothing else in the plug-in knows which platform it runs on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantor::platform {

// Paths in the system's own characters, so that any folder the library can be loaded from
// can be spelt: UTF-16 on Windows, bytes elsewhere. The capacity, with the terminator, is the
// longest path the system's calls take.
#if defined(_WIN32)
using PathChar = wchar_t;
inline constexpr size_t kPathCapacity = 32768;
#else
using PathChar = char;
inline constexpr size_t kPathCapacity = 4096;
#endif

// The plug-in library's own full path. False when it cannot be had or does not fit in size
// characters with its terminator.
bool libraryPath(PathChar* buffer, size_t size);

// Seconds field (0 to 60) of the current local time.
int localSeconds();

// A regular file opened for reading, closed with the object. Others may write, replace or
// delete it meanwhile; reads then see whatever the file holds at that moment.
class ReadOnlyFile {
  public:
    // Not open when there is no such file, or when it is a folder, a pipe or a device.
    explicit ReadOnlyFile(const PathChar* path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool isOpen() const { return open_; }
    // Up to size bytes from offset: how many were read, 0 at the end of the file, -1 on an
    // error.
    int64_t readAt(uint64_t offset, char* buffer, size_t size);

  private:
    intptr_t handle_ = -1;
    bool open_ = false;
};

} // namespace vantor::platform
