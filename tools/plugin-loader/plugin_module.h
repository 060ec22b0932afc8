// The plug-in loaded into this process as the host loads it: by path, with the sixteen exports
// resolved by name. Every program here that drives the plug-in loads it through this class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "exports.h"
#include "library_snapshot.h"
#include "writable_image.h"

namespace vantor::loader {

class LibraryError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The sixteen exports, each resolved once the library is loaded: load for Load, elapse for
// Elapse, and so on.
struct PluginExports {
#define VANTOR_EXPORT_POINTER(name, callerName, result, parameters)                                \
    decltype(&::name) callerName = nullptr;
    VANTOR_EXPORTS(VANTOR_EXPORT_POINTER)
#undef VANTOR_EXPORT_POINTER
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

    // The library's writable image: its data and zero-initialised data as loaded, less what
    // the loader made read-only. For the plug-in about 1.00 MiB as libvantor.so (x86-64 Linux,
    // gcc) and 1.07 MiB as vantor.dll, whose C and C++ runtimes are built in: all but 5 KiB
    // (Linux) or 72 KiB (Windows) of it is the buffer Initialize reads the settings file into.
    // The snapshot tests print the exact size.
    std::size_t writableImageSize() const { return writableSize_; }

    // Copies the writable image into snapshot; a snapshot saved before from this instance is
    // overwritten without allocating. Save between calls into the library, after Initialize:
    // the plug-in then holds nothing on the heap, and what it keeps in the C runtime (the
    // random generator) it seeds afresh before each use.
    void save(LibrarySnapshot& snapshot) const;
    // Puts the image saved in snapshot back, without allocating, so that the library carries
    // on from the call after the save. Throws LibraryError when snapshot holds nothing or was
    // saved by another PluginModule: each counts as an instance of its own, even where the
    // system shares one image between two loads of the same path.
    void restore(const LibrarySnapshot& snapshot);

  private:
    void* handle_;
    std::uint64_t instance_; // unique among the instances this process loads
    std::vector<native::MemoryRange> writable_;
    std::size_t writableSize_ = 0; // bytes
};

} // namespace vantor::loader
