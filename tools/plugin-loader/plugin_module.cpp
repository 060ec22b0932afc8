#include "plugin_module.h"

#include <atomic>
#include <type_traits>

#include "library_header.h"
#include "native_library.h"

namespace vantor::loader {

namespace {

// The name messages give the library: the path as UTF-8 text unless the caller names it.
std::string shownName(const std::filesystem::path& path, const std::string& shownAs) {
    if (!shownAs.empty()) {
        return shownAs;
    }
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

void* openOrThrow(const std::filesystem::path& path, const std::string& name) {
    std::string why;
    void* handle = native::open(path, why);
    if (handle == nullptr) {
        const std::string machine = otherMachineReason(path);
        throw LibraryError(name +
                           ": cannot load the library: " + (machine.empty() ? why : machine));
    }
    return handle;
}

std::atomic<std::uint64_t> instancesLoaded{0};

} // namespace

PluginModule::PluginModule(const std::filesystem::path& path, const std::string& shownAs)
    : handle_(openOrThrow(path, shownName(path, shownAs))), instance_(++instancesLoaded) {
    std::string missing;
    int missingCount = 0;
    auto resolve = [&](auto& slot, const char* name) {
        const native::AnyFunction function = native::find(handle_, name);
        if (function == nullptr) {
            missing += (missingCount++ == 0 ? "" : ", ") + std::string(name);
        }
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(function);
    };
#define VANTOR_RESOLVE_EXPORT(name, callerName, result, parameters) resolve(callerName, #name);
    VANTOR_EXPORTS(VANTOR_RESOLVE_EXPORT)
#undef VANTOR_RESOLVE_EXPORT
    if (missingCount > 0) {
        // The destructor does not run for a constructor that throws.
        native::close(handle_);
        throw LibraryError(shownName(path, shownAs) + ": not a plug-in: missing export" +
                           (missingCount > 1 ? "s " : " ") + missing);
    }
    std::string why;
    if (!native::findWritableImage(handle_, writable_, why)) {
        native::close(handle_);
        throw LibraryError(shownName(path, shownAs) + ": cannot find its writable image: " + why);
    }
    for (const native::MemoryRange& range : writable_) {
        writableSize_ += range.size;
    }
}

PluginModule::~PluginModule() {
    native::close(handle_);
}

} // namespace vantor::loader
