// A saved copy of a loaded library's writable image: everything it keeps in static storage,
// which for the plug-in, once Initialize has run, is its whole state. PluginModule saves and
// restores it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantor::loader {

class LibrarySnapshot {
  public:
    // Bytes held: the library's writable image once saved, none before.
    std::size_t size() const { return bytes_.size(); }

  private:
    friend class PluginModule;
    // The loaded instance saved from, 0 before the first save: pointers in the image are
    // absolute addresses into that instance.
    std::uint64_t instance_ = 0;
    std::vector<std::byte> bytes_;
};

} // namespace vantor::loader
