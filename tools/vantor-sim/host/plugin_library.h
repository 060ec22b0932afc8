// The plug-in as the host sees it: a library loaded at run time from a folder of its own, with
// the sixteen exports resolved by name and the settings file written beside it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "plugin_module.h"
#include "scenario/scenario.h"
#include "support/stop_requests.h"

namespace vantor::sim {

using loader::LibraryError;

// A fresh temporary folder holding a copy of the library and, when there is one, the settings
// file, so that the unit reads those settings and no stray file left next to the original.
// The folder goes with the object, also when a stop signal ends the bench.
class PrivateLibraryCopy {
  public:
    PrivateLibraryCopy(const std::string& libraryPath,
                       const std::optional<std::string>& settingsFile);
    ~PrivateLibraryCopy();
    PrivateLibraryCopy(const PrivateLibraryCopy&) = delete;
    PrivateLibraryCopy& operator=(const PrivateLibraryCopy&) = delete;

    // The copy that is loaded; its settings file lies beside it.
    const std::filesystem::path& path() const { return library_; }

  private:
    // First, so that a stop waits from before the folder is made until after it is gone.
    UnwindOnStop unwindOnStop_;
    std::filesystem::path folder_;
    std::filesystem::path library_;
};

// The copy comes first among the bases, so the library is loaded from it and unloaded before
// its folder goes. Paths are UTF-8; errors name the library as given.
class PluginLibrary : private PrivateLibraryCopy, public loader::PluginModule {
  public:
    // With the settings' file beside it.
    PluginLibrary(const std::string& libraryPath, const Settings& settings);
    // With a settings file of these very bytes beside it, or with none.
    PluginLibrary(const std::string& libraryPath, const std::optional<std::string>& settingsFile);

    using PrivateLibraryCopy::path;
};

} // namespace vantor::sim
