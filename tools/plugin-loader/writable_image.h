// The operating system's part of saving a loaded library's state: where in memory the library
// keeps what it can still change once loaded.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vantor::loader::native {

struct MemoryRange {
    std::byte* start;
    std::size_t size; // bytes
};

// Appends to ranges every stretch of the loaded library's image that it can write to: its
// data and zero-initialised data, as the system loader mapped them, less what the loader left
// read-only. False, with the reason in why, when the image cannot be found.
bool findWritableImage(void* handle, std::vector<MemoryRange>& ranges, std::string& why);

} // namespace vantor::loader::native
