// The operating system's part of loading a library: open it by path, find a function by name,
// close it again.
#pragma once

#include <filesystem>
#include <string>

namespace vantor::loader::native {

using AnyFunction = void (*)();

// The library's handle, or nullptr with the system's reason in why.
void* open(const std::filesystem::path& path, std::string& why);
// nullptr when the library exports no function of that name.
AnyFunction find(void* handle, const char* name);
void close(void* handle);

} // namespace vantor::loader::native
