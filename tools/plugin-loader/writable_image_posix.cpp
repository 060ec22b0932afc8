// The writable image of an ELF library: its writable PT_LOAD segments in full, the
// zero-initialised tail of each included, less the PT_GNU_RELRO part, which the loader makes
// read-only once it has relocated the library.
#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstdint>

#include "writable_image.h"

namespace vantor::loader::native {

namespace {

struct Search {
    ElfW(Addr) loadAddress;
    std::vector<MemoryRange>& ranges;
    bool found = false;
};

// [start, end) less the hole [holeStart, holeEnd).
void addAround(std::vector<MemoryRange>& ranges, std::uintptr_t start, std::uintptr_t end,
               std::uintptr_t holeStart, std::uintptr_t holeEnd) {
    const auto add = [&](std::uintptr_t from, std::uintptr_t to) {
        if (from < to) {
            ranges.push_back({reinterpret_cast<std::byte*>(from), to - from});
        }
    };
    add(start, std::min(end, holeStart));
    add(std::max(start, holeEnd), end);
}

int visitLoadedObject(dl_phdr_info* object, size_t, void* data) {
    auto& search = *static_cast<Search*>(data);
    // No two loaded objects share a load address.
    if (object->dlpi_addr != search.loadAddress) {
        return 0;
    }
    std::uintptr_t relroStart = 0;
    std::uintptr_t relroEnd = 0;
    for (ElfW(Half) i = 0; i < object->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = object->dlpi_phdr[i];
        if (segment.p_type == PT_GNU_RELRO) {
            relroStart = object->dlpi_addr + segment.p_vaddr;
            relroEnd = relroStart + segment.p_memsz;
        }
    }
    for (ElfW(Half) i = 0; i < object->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = object->dlpi_phdr[i];
        if (segment.p_type == PT_LOAD && (segment.p_flags & PF_W) != 0) {
            const std::uintptr_t start = object->dlpi_addr + segment.p_vaddr;
            addAround(search.ranges, start, start + segment.p_memsz, relroStart, relroEnd);
        }
    }
    search.found = true;
    return 1;
}

} // namespace

bool findWritableImage(void* handle, std::vector<MemoryRange>& ranges, std::string& why) {
    link_map* library = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &library) != 0) {
        const char* error = dlerror();
        why = error != nullptr ? error : "unknown error";
        return false;
    }
    Search search{library->l_addr, ranges};
    dl_iterate_phdr(visitLoadedObject, &search);
    if (!search.found) {
        why = "not among the loaded objects";
    }
    return search.found;
}

} // namespace vantor::loader::native
