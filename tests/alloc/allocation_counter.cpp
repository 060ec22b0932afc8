// Replacements for the C allocator and the global operator new. They forward to the C
// library's own allocator; the dynamic linker binds every allocation in the process to them,
// the library's included.
#include "allocation_counter.h"

#include <cerrno>
#include <cstdlib>
#include <new>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* pointer);
}

namespace {

bool counting = false;
vantor::testing::AllocationCount count{};

void noteMalloc() {
    if (counting) {
        ++count.mallocCalls;
    }
}

void* newBytes(std::size_t size, std::size_t alignment) {
    if (counting) {
        ++count.operatorNewCalls;
    }
    const std::size_t bytes = size == 0 ? 1 : size;
    void* pointer = alignment <= alignof(std::max_align_t) ? __libc_malloc(bytes)
                                                           : __libc_memalign(alignment, bytes);
    if (pointer == nullptr) {
        throw std::bad_alloc();
    }
    return pointer;
}

} // namespace

namespace vantor::testing {

void startCountingAllocations() {
    count = AllocationCount{};
    counting = true;
}

AllocationCount stopCountingAllocations() {
    counting = false;
    return count;
}

} // namespace vantor::testing

extern "C" {

void* malloc(size_t size) {
    noteMalloc();
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
    noteMalloc();
    return __libc_calloc(count, size);
}

void* realloc(void* pointer, size_t size) {
    noteMalloc();
    return __libc_realloc(pointer, size);
}

void* memalign(size_t alignment, size_t size) {
    noteMalloc();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) {
    noteMalloc();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** out, size_t alignment, size_t size) {
    noteMalloc();
    void* pointer = __libc_memalign(alignment, size);
    if (pointer == nullptr) {
        return ENOMEM;
    }
    *out = pointer;
    return 0;
}

void free(void* pointer) {
    __libc_free(pointer);
}

} // extern "C"

void* operator new(std::size_t size) {
    return newBytes(size, 0);
}
void* operator new[](std::size_t size) {
    return newBytes(size, 0);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return newBytes(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return newBytes(size, static_cast<std::size_t>(alignment));
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return newBytes(size, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return newBytes(size, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete(void* pointer) noexcept {
    __libc_free(pointer);
}
void operator delete[](void* pointer) noexcept {
    __libc_free(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
    __libc_free(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    __libc_free(pointer);
}
void operator delete(void* pointer, std::align_val_t) noexcept {
    __libc_free(pointer);
}
void operator delete[](void* pointer, std::align_val_t) noexcept {
    __libc_free(pointer);
}
void operator delete(void* pointer, std::size_t, std::align_val_t) noexcept {
    __libc_free(pointer);
}
void operator delete[](void* pointer, std::size_t, std::align_val_t) noexcept {
    __libc_free(pointer);
}
