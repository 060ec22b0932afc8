#include "default_library.h"

#include <stdexcept>
#include <system_error>

#include "support/utf8_path.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace vantor::sim {

namespace fs = std::filesystem;

namespace {

fs::path executablePath() {
#if defined(_WIN32)
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
#else
    std::error_code error;
    return fs::read_symlink("/proc/self/exe", error);
#endif
}

} // namespace

std::string defaultLibraryPath() {
    const fs::path executable = executablePath();
    if (executable.has_parent_path()) {
        const fs::path folder = executable.parent_path();
        std::error_code error;
        const fs::path beside = folder / VANTOR_LIBRARY_NAME;
        if (fs::is_regular_file(beside, error)) {
            return utf8FromPath(beside);
        }
        // Only a build folder, known by its cache, so that a stray library some folders above
        // an installed bench is never taken for its own.
        const fs::path build = folder / VANTOR_BUILD_FOLDER;
        if (fs::is_regular_file(build / "CMakeCache.txt", error) &&
            fs::is_regular_file(build / VANTOR_LIBRARY_NAME, error)) {
            return utf8FromPath((build / VANTOR_LIBRARY_NAME).lexically_normal());
        }
    }
    throw std::runtime_error(std::string("no ") + VANTOR_LIBRARY_NAME +
                             " beside vantor-sim or in its build folder: give the plug-in with "
                             "--library");
}

} // namespace vantor::sim
