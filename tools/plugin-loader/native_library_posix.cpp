#include <dlfcn.h>

#include "native_library.h"

namespace vantor::loader::native {

void* open(const std::filesystem::path& path, std::string& why) {
    // A bare file name would send dlopen searching the system's library folders; the library
    // meant is the one in the working folder.
    const std::filesystem::path file = path.has_parent_path() ? path : "." / path;
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = dlerror();
        why = error != nullptr ? error : "unknown error";
    }
    return handle;
}

AnyFunction find(void* handle, const char* name) {
    return reinterpret_cast<AnyFunction>(dlsym(handle, name));
}

void close(void* handle) {
    dlclose(handle);
}

} // namespace vantor::loader::native
