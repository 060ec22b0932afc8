#include "drive/parallel_runs.h"

namespace vantor::sim {

unsigned defaultJobs() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? cores : 1;
}

std::unique_ptr<PluginLibrary> loadLibraryCopy(const std::string& libraryPath,
                                               const std::optional<std::string>& settingsFile) {
    static std::mutex loading;
    const std::lock_guard<std::mutex> lock(loading);
    return std::make_unique<PluginLibrary>(libraryPath, settingsFile);
}

} // namespace vantor::sim
