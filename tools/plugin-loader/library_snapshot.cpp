// Saving and restoring a loaded library's writable image.
#include <cstring>

#include "plugin_module.h"

namespace vantor::loader {

namespace {

#if defined(__SANITIZE_ADDRESS__)
#define VANTOR_IMAGE_UNDER_ASAN
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTOR_IMAGE_UNDER_ASAN
#endif
#endif

#if defined(VANTOR_IMAGE_UNDER_ASAN)
// Under AddressSanitizer the library's globals lie between poisoned fences, which memcpy's
// checks would report. The image is copied, fences and all, past the checks, a byte at a time
// so that the compiler cannot turn the loop back into memcpy.
__attribute__((no_sanitize("address"))) void copyImage(std::byte* to, const std::byte* from,
                                                       std::size_t size) {
    volatile std::byte* target = to;
    const volatile std::byte* source = from;
    for (std::size_t i = 0; i < size; ++i) {
        target[i] = source[i];
    }
}
#else
void copyImage(std::byte* to, const std::byte* from, std::size_t size) {
    std::memcpy(to, from, size);
}
#endif

} // namespace

void PluginModule::save(LibrarySnapshot& snapshot) const {
    snapshot.bytes_.resize(writableSize_);
    std::byte* to = snapshot.bytes_.data();
    for (const native::MemoryRange& range : writable_) {
        copyImage(to, range.start, range.size);
        to += range.size;
    }
    snapshot.instance_ = instance_;
}

void PluginModule::restore(const LibrarySnapshot& snapshot) {
    if (snapshot.instance_ == 0) {
        throw LibraryError("cannot restore the library from a snapshot that holds nothing");
    }
    if (snapshot.instance_ != instance_) {
        throw LibraryError("cannot restore the library from a snapshot of another loaded "
                           "instance: the addresses inside it are that instance's");
    }
    const std::byte* from = snapshot.bytes_.data();
    for (const native::MemoryRange& range : writable_) {
        copyImage(range.start, from, range.size);
        from += range.size;
    }
}

} // namespace vantor::loader
