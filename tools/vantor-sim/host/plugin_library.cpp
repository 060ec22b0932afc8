// Loading the plug-in from a private copy, with the scenario's settings beside it.
#include "host/plugin_library.h"

#include <fstream>
#include <random>
#include <system_error>

#include "support/utf8_path.h"
#if defined(_WIN32)
#include "host/pinned_random.h"
#include "host/random_imports.h"
#endif

namespace vantor::sim {

namespace fs = std::filesystem;

namespace {

// A new folder that only this user may enter, so that nobody can swap the library in it
// between the copy and the load.
fs::path makePrivateFolder() {
    const fs::path base = fs::temp_directory_path();
    std::random_device random;
    std::error_code error;
    for (int attempt = 0; attempt < 100 && !error; ++attempt) {
        const fs::path folder = base / ("vantor-sim-" + std::to_string(random()));
        if (fs::create_directory(folder, error)) {
            fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
            return folder;
        }
    }
    throw LibraryError("cannot create a temporary folder in " + utf8FromPath(base) +
                       (error ? ": " + error.message() : ""));
}

void removeFolder(const fs::path& folder) {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

} // namespace

PrivateLibraryCopy::PrivateLibraryCopy(const std::string& libraryPath,
                                       const std::optional<std::string>& settingsFile) {
    const fs::path original = pathFromUtf8(libraryPath);
    std::error_code error;
    if (!fs::is_regular_file(original, error)) {
        throw LibraryError(libraryPath + ": no such library");
    }
    folder_ = makePrivateFolder();
    // The destructor does not run for a constructor that throws.
    try {
        library_ = folder_ / original.filename();
        fs::copy_file(original, library_, error);
        if (error) {
            throw LibraryError(libraryPath + ": cannot copy the library: " + error.message());
        }
        if (settingsFile) {
            std::ofstream file(folder_ / "VantorConfig.ini", std::ios::binary);
            file.write(settingsFile->data(), static_cast<std::streamsize>(settingsFile->size()));
            if (!file.flush()) {
                throw LibraryError("cannot write the settings file beside the library");
            }
        }
    } catch (...) {
        removeFolder(folder_);
        throw;
    }
}

PrivateLibraryCopy::~PrivateLibraryCopy() {
    removeFolder(folder_);
}

PluginLibrary::PluginLibrary(const std::string& libraryPath, const Settings& settings)
    : PluginLibrary(libraryPath, settings.file.bytes()) {}

PluginLibrary::PluginLibrary(const std::string& libraryPath,
                             const std::optional<std::string>& settingsFile)
    : PrivateLibraryCopy(libraryPath, settingsFile), PluginModule(path(), libraryPath) {
#if defined(_WIN32)
    if (!redirectRandomImports(nativeHandle()) && randomPinned()) {
        throw LibraryError(libraryPath +
                           ": cannot pin its random periods: it takes rand from no DLL");
    }
#endif
}

} // namespace vantor::sim
