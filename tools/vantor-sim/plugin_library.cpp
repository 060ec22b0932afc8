// Loading the plug-in from a private copy and resolving its exports.
#include "plugin_library.h"

#include <dlfcn.h>
#include <stdlib.h>

#include <fstream>
#include <system_error>
#include <vector>

namespace vantor::sim {

namespace fs = std::filesystem;

std::string settingsFileText(const Settings& settings) {
    std::string text;
    if (settings.speed || settings.deceleration || settings.rtime) {
        text += "[SetSpec]\n";
        if (settings.speed) {
            text += "Speed=" + std::to_string(*settings.speed) + "\n";
        }
        if (settings.deceleration) {
            text += "Deceleration=" + *settings.deceleration + "\n";
        }
        if (settings.rtime) {
            text += "Rtime=" + *settings.rtime + "\n";
        }
    }
    if (settings.resolution) {
        text += "[Disp]\nResolution=" + std::to_string(*settings.resolution) + "\n";
    }
    if (settings.maxSpd) {
        text += "[LED]\nMaxSpd=" + std::to_string(*settings.maxSpd) + "\n";
    }
    return text;
}

PluginLibrary::PluginLibrary(const std::string& libraryPath, const Settings& settings)
    : PluginLibrary(libraryPath,
                    settings.any() ? std::optional(settingsFileText(settings)) : std::nullopt) {}

PluginLibrary::PluginLibrary(const std::string& libraryPath,
                             const std::optional<std::string>& settingsFile) {
    const fs::path original(libraryPath);
    std::error_code error;
    if (!fs::is_regular_file(original, error)) {
        throw LibraryError(libraryPath + ": no such library");
    }
    std::string pattern = (fs::temp_directory_path() / "vantor-sim-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw LibraryError("cannot create a temporary folder for the library");
    }
    folder_.path = pattern;
    copy_ = folder_.path / original.filename();
    fs::copy_file(original, copy_, error);
    if (error) {
        throw LibraryError(libraryPath + ": cannot copy the library: " + error.message());
    }
    if (settingsFile) {
        std::ofstream file(folder_.path / "VantorConfig.ini", std::ios::binary);
        file.write(settingsFile->data(), static_cast<std::streamsize>(settingsFile->size()));
        if (!file.flush()) {
            throw LibraryError("cannot write the settings file beside the library");
        }
    }
    handle_.value = dlopen(copy_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_.value == nullptr) {
        const char* why = dlerror();
        throw LibraryError(libraryPath + ": cannot load the library: " + (why ? why : "unknown"));
    }
    resolveExports(libraryPath);
}

PluginLibrary::~PluginLibrary() = default;

PluginLibrary::TempFolder::~TempFolder() {
    if (!path.empty()) {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
}

PluginLibrary::Handle::~Handle() {
    if (value != nullptr) {
        dlclose(value);
    }
}

void PluginLibrary::resolveExports(const std::string& libraryPath) {
    void* symbols[16];
    std::vector<std::string> missing;
    for (int i = 0; i < 16; ++i) {
        symbols[i] = dlsym(handle_.value, kExportNames[i]);
        if (symbols[i] == nullptr) {
            missing.push_back(kExportNames[i]);
        }
    }
    if (!missing.empty()) {
        std::string list;
        for (const std::string& name : missing) {
            list += (list.empty() ? "" : ", ") + name;
        }
        throw LibraryError(libraryPath + ": not a plug-in: missing export" +
                           (missing.size() > 1 ? "s " : " ") + list);
    }
    load = reinterpret_cast<LoadFn>(symbols[0]);
    dispose = reinterpret_cast<DisposeFn>(symbols[1]);
    getPluginVersion = reinterpret_cast<GetPluginVersionFn>(symbols[2]);
    setVehicleSpec = reinterpret_cast<SetVehicleSpecFn>(symbols[3]);
    initialize = reinterpret_cast<InitializeFn>(symbols[4]);
    elapse = reinterpret_cast<ElapseFn>(symbols[5]);
    setPower = reinterpret_cast<SetInt32Fn>(symbols[6]);
    setBrake = reinterpret_cast<SetInt32Fn>(symbols[7]);
    setReverser = reinterpret_cast<SetInt32Fn>(symbols[8]);
    keyDown = reinterpret_cast<SetInt32Fn>(symbols[9]);
    keyUp = reinterpret_cast<SetInt32Fn>(symbols[10]);
    hornBlow = reinterpret_cast<SetInt32Fn>(symbols[11]);
    doorOpen = reinterpret_cast<VoidFn>(symbols[12]);
    doorClose = reinterpret_cast<VoidFn>(symbols[13]);
    setSignal = reinterpret_cast<SetInt32Fn>(symbols[14]);
    setBeaconData = reinterpret_cast<SetBeaconDataFn>(symbols[15]);
}

} // namespace vantor::sim
