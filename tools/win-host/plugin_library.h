// The plug-in library loaded as the host loads it: by file path, with all sixteen exports
// resolved by name. The same source loads vantor.dll on Windows and libvantor.so on Linux.
#pragma once

#include <string>

#include "exports.h"

namespace vantor::sessions {

struct PluginExports {
    LoadFn load;
    DisposeFn dispose;
    GetPluginVersionFn getPluginVersion;
    SetVehicleSpecFn setVehicleSpec;
    InitializeFn initialize;
    ElapseFn elapse;
    SetInt32Fn setPower;
    SetInt32Fn setBrake;
    SetInt32Fn setReverser;
    SetInt32Fn keyDown;
    SetInt32Fn keyUp;
    SetInt32Fn hornBlow;
    VoidFn doorOpen;
    VoidFn doorClose;
    SetInt32Fn setSignal;
    SetBeaconDataFn setBeaconData;
};

class PluginLibrary {
  public:
    // Throws std::runtime_error when the library cannot be loaded or an export is missing.
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    const PluginExports& exports() const { return exports_; }

  private:
    void* handle_ = nullptr;
    PluginExports exports_{};
};

} // namespace vantor::sessions
