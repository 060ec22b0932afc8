// The plug-in loaded into this process as the host loads it: by path, with the sixteen exports
// resolved by name. Every program here that drives the plug-in loads it through this class.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "exports.h"

namespace vantor::loader {

class LibraryError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The sixteen exports, each resolved once the library is loaded.
struct PluginExports {
    LoadFn load = nullptr;
    DisposeFn dispose = nullptr;
    GetPluginVersionFn getPluginVersion = nullptr;
    SetVehicleSpecFn setVehicleSpec = nullptr;
    InitializeFn initialize = nullptr;
    ElapseFn elapse = nullptr;
    SetInt32Fn setPower = nullptr;
    SetInt32Fn setBrake = nullptr;
    SetInt32Fn setReverser = nullptr;
    SetInt32Fn keyDown = nullptr;
    SetInt32Fn keyUp = nullptr;
    SetInt32Fn hornBlow = nullptr;
    VoidFn doorOpen = nullptr;
    VoidFn doorClose = nullptr;
    SetInt32Fn setSignal = nullptr;
    SetBeaconDataFn setBeaconData = nullptr;
};

class PluginModule : public PluginExports {
  public:
    // Loads the library at path and resolves its exports. Throws LibraryError when it cannot be
    // loaded or lacks exports (naming every one it lacks); the message starts with shownAs, or
    // with the path when shownAs is empty.
    explicit PluginModule(const std::filesystem::path& path, const std::string& shownAs = {});
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // The operating system's handle of the loaded library (an HMODULE on Windows).
    void* nativeHandle() const { return handle_; }

  private:
    void* handle_;
};

} // namespace vantor::loader
