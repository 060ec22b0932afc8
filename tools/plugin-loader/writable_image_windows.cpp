// The writable image of a PE32+ DLL: the sections marked writable, each for the size the
// loader mapped, on the pages it left writable.
#include <windows.h>

#include <algorithm>

#include "writable_image.h"

namespace vantor::loader::native {

namespace {

bool writable(const MEMORY_BASIC_INFORMATION& region) {
    constexpr DWORD kWritable =
        PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    return region.State == MEM_COMMIT && (region.Protect & kWritable) != 0 &&
           (region.Protect & PAGE_GUARD) == 0;
}

// The pages of [start, start + size) that the loader left writable: the library cannot have
// changed the others, such as an import table made read-only once bound.
bool addWritablePages(std::vector<MemoryRange>& ranges, std::byte* start, std::size_t size,
                      std::string& why) {
    std::byte* const end = start + size;
    for (std::byte* at = start; at < end;) {
        MEMORY_BASIC_INFORMATION region{};
        if (VirtualQuery(at, &region, sizeof region) == 0) {
            why = "cannot query its memory: error " + std::to_string(GetLastError());
            return false;
        }
        std::byte* const regionEnd =
            static_cast<std::byte*>(region.BaseAddress) + region.RegionSize;
        std::byte* const to = std::min(regionEnd, end);
        if (writable(region)) {
            ranges.push_back({at, static_cast<std::size_t>(to - at)});
        }
        at = to;
    }
    return true;
}

} // namespace

bool findWritableImage(void* handle, std::vector<MemoryRange>& ranges, std::string& why) {
    auto* const base = static_cast<std::byte*>(handle);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = dos->e_magic == IMAGE_DOS_SIGNATURE
                         ? reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew)
                         : nullptr;
    if (nt == nullptr || nt->Signature != IMAGE_NT_SIGNATURE ||
        nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        why = "not a 64-bit Windows image in memory";
        return false;
    }
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        if ((section->Characteristics & IMAGE_SCN_MEM_WRITE) == 0) {
            continue;
        }
        // The loader maps VirtualSize bytes, zero beyond the file's data; a linker that leaves
        // VirtualSize empty means the file's size.
        const std::size_t size =
            section->Misc.VirtualSize != 0 ? section->Misc.VirtualSize : section->SizeOfRawData;
        if (!addWritablePages(ranges, base + section->VirtualAddress, size, why)) {
            return false;
        }
    }
    return true;
}

} // namespace vantor::loader::native
