#include <windows.h>

#include <cstdint>
#include <cstring>

#include "host/pinned_random.h"
#include "host/random_imports.h"

namespace vantor::sim {

namespace {

// A function of the C runtime this program uses; through void (*)(), which stands for any
// function type.
template <typename Fn> Fn ownRuntime(const char* name) {
    return reinterpret_cast<Fn>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"msvcrt.dll"), name)));
}

// The DLL's own C runtime functions once its imports are redirected; until then, and for a DLL
// that has its runtime built in, those of this program's.
RuntimeRandom original{ownRuntime<void (*)(unsigned int)>("srand"), ownRuntime<int (*)()>("rand")};

// Writes one entry of the import address table, which the system loader may have left
// read-only.
bool redirect(ULONGLONG& entry, std::uintptr_t target) {
    DWORD protection = 0;
    if (!VirtualProtect(&entry, sizeof entry, PAGE_READWRITE, &protection)) {
        return false;
    }
    entry = target;
    VirtualProtect(&entry, sizeof entry, protection, &protection);
    return true;
}

} // namespace

const RuntimeRandom& runtimeRandom() {
    return original;
}

bool redirectRandomImports(void* module) {
    auto* base = static_cast<unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) {
        return false;
    }
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE ||
        nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        return false;
    }
    const IMAGE_DATA_DIRECTORY& table =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (table.VirtualAddress == 0) {
        return false;
    }
    bool randRedirected = false;
    for (auto* dll = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + table.VirtualAddress);
         dll->Name != 0; ++dll) {
        // The names are in the lookup table; the address table at the same positions holds
        // the functions the system loader bound them to. Without a lookup table the names
        // are gone once the DLL is bound.
        if (dll->OriginalFirstThunk == 0) {
            continue;
        }
        const auto* names =
            reinterpret_cast<const IMAGE_THUNK_DATA64*>(base + dll->OriginalFirstThunk);
        auto* bound = reinterpret_cast<IMAGE_THUNK_DATA64*>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++bound) {
            if (IMAGE_SNAP_BY_ORDINAL64(names->u1.Ordinal)) {
                continue;
            }
            const char* name = reinterpret_cast<const char*>(
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)
                    ->Name);
            ULONGLONG& entry = bound->u1.Function;
            if (std::strcmp(name, "srand") == 0) {
                original.srand = reinterpret_cast<void (*)(unsigned int)>(entry);
                redirect(entry, reinterpret_cast<std::uintptr_t>(&seedRandom));
            } else if (std::strcmp(name, "rand") == 0) {
                original.rand = reinterpret_cast<int (*)()>(entry);
                randRedirected = redirect(entry, reinterpret_cast<std::uintptr_t>(&drawRandom));
            }
        }
    }
    return randRedirected;
}

} // namespace vantor::sim

// The bench's own unit, built into this program, calls srand and rand by name: these take its
// calls before the C runtime's import does.
extern "C" {

void srand(unsigned int seed) {
    vantor::sim::seedRandom(seed);
}

int rand() {
    return vantor::sim::drawRandom();
}

} // extern "C"
