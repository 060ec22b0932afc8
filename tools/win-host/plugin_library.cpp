#include "plugin_library.h"

#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace vantor::sessions {

namespace {

using AnyFn = void (*)();

#if defined(_WIN32)
void* openLibrary(const std::string& path, std::string& error) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) {
        error = "LoadLibrary failed with error " + std::to_string(GetLastError());
    }
    return reinterpret_cast<void*>(module);
}
AnyFn findSymbol(void* handle, const char* name) {
    return reinterpret_cast<AnyFn>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void closeLibrary(void* handle) {
    FreeLibrary(static_cast<HMODULE>(handle));
}
#else
void* openLibrary(const std::string& path, std::string& error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        error = dlerror();
    }
    return handle;
}
AnyFn findSymbol(void* handle, const char* name) {
    return reinterpret_cast<AnyFn>(dlsym(handle, name));
}
void closeLibrary(void* handle) {
    dlclose(handle);
}
#endif

template <typename Fn> void bind(Fn& target, AnyFn symbol) {
    target = reinterpret_cast<Fn>(symbol);
}

} // namespace

PluginLibrary::PluginLibrary(const std::string& path) {
    std::string error;
    handle_ = openLibrary(path, error);
    if (handle_ == nullptr) {
        throw std::runtime_error("cannot load " + path + ": " + error);
    }
    AnyFn symbols[16];
    for (int i = 0; i < 16; ++i) {
        symbols[i] = findSymbol(handle_, kExportNames[i]);
        if (symbols[i] == nullptr) {
            closeLibrary(handle_);
            throw std::runtime_error(std::string("missing export ") + kExportNames[i]);
        }
    }
    // Same order as kExportNames.
    bind(exports_.load, symbols[0]);
    bind(exports_.dispose, symbols[1]);
    bind(exports_.getPluginVersion, symbols[2]);
    bind(exports_.setVehicleSpec, symbols[3]);
    bind(exports_.initialize, symbols[4]);
    bind(exports_.elapse, symbols[5]);
    bind(exports_.setPower, symbols[6]);
    bind(exports_.setBrake, symbols[7]);
    bind(exports_.setReverser, symbols[8]);
    bind(exports_.keyDown, symbols[9]);
    bind(exports_.keyUp, symbols[10]);
    bind(exports_.hornBlow, symbols[11]);
    bind(exports_.doorOpen, symbols[12]);
    bind(exports_.doorClose, symbols[13]);
    bind(exports_.setSignal, symbols[14]);
    bind(exports_.setBeaconData, symbols[15]);
}

PluginLibrary::~PluginLibrary() {
    closeLibrary(handle_);
}

} // namespace vantor::sessions
