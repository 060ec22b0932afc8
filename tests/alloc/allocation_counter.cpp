// Replacements for the C allocator. They forward to the C library's own allocator; the dynamic
// linker binds every allocation in the process to them, the library's included, and the C++
// library's operator new allocates through them too.
#include "allocation_counter.h"

#include <cerrno>
#include <cstdlib>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* pointer);
}

namespace {

bool counting = false;
std::size_t count = 0;

void note() {
    if (counting) {
        ++count;
    }
}

} // namespace

namespace vantor::testing {

void startCountingAllocations() {
    count = 0;
    counting = true;
}

std::size_t stopCountingAllocations() {
    counting = false;
    return count;
}

} // namespace vantor::testing

extern "C" {

void* malloc(size_t size) {
    note();
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
    note();
    return __libc_calloc(count, size);
}

void* realloc(void* pointer, size_t size) {
    note();
    return __libc_realloc(pointer, size);
}

void* memalign(size_t alignment, size_t size) {
    note();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) {
    note();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** out, size_t alignment, size_t size) {
    note();
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
