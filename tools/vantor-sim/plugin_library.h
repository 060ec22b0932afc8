// The plug-in as the host sees it: a library loaded at run time from a folder of its own, with
// the sixteen exports resolved by name and the settings file written beside it.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "exports.h"
#include "scenario.h"

namespace vantor::sim {

class LibraryError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The library is copied into a fresh temporary folder, so that the unit reads the settings
// file of the scenario and no stray one left next to the original. The folder goes with the
// object.
class PluginLibrary {
  public:
    PluginLibrary(const std::string& libraryPath, const Settings& settings);
    // With a settings file of these very bytes beside it, or with none.
    PluginLibrary(const std::string& libraryPath, const std::optional<std::string>& settingsFile);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // The private copy that is loaded; its settings file lies beside it.
    const std::filesystem::path& path() const { return copy_; }

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

  private:
    void resolveExports(const std::string& libraryPath);

    // Members, so that a constructor that throws half way still cleans up: the library is
    // closed before its folder goes.
    struct TempFolder {
        std::filesystem::path path;
        ~TempFolder();
    };
    struct Handle {
        void* value = nullptr;
        ~Handle();
    };
    TempFolder folder_;
    std::filesystem::path copy_;
    Handle handle_;
};

// The settings file's text for the keys the scenario gives.
std::string settingsFileText(const Settings& settings);

} // namespace vantor::sim
