#include "library_header.h"

#include <cstdint>
#include <cstdio>
#include <fstream>

namespace vantor::loader {

namespace {

// The machine field of a Windows image's file header.
constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kMachineAmd64 = 0x8664;
// Where the DOS header keeps the offset of the "PE\0\0" signature.
constexpr std::streamoff kPeOffsetAt = 0x3C;

uint32_t littleEndian(const unsigned char* bytes, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

} // namespace

std::string otherMachineReason(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    unsigned char dos[2] = {};
    unsigned char offset[4] = {};
    unsigned char pe[6] = {};
    if (!file.read(reinterpret_cast<char*>(dos), sizeof dos) || dos[0] != 'M' || dos[1] != 'Z' ||
        !file.seekg(kPeOffsetAt) || !file.read(reinterpret_cast<char*>(offset), sizeof offset) ||
        !file.seekg(littleEndian(offset, 4)) ||
        !file.read(reinterpret_cast<char*>(pe), sizeof pe) || pe[0] != 'P' || pe[1] != 'E' ||
        pe[2] != 0 || pe[3] != 0) {
        return "";
    }
    const auto machine = static_cast<uint16_t>(littleEndian(pe + 4, 2));
    if (machine == kMachineI386) {
        return "a 32-bit Windows DLL (machine i386): a 64-bit program loads 64-bit (x64) DLLs "
               "only";
    }
    if (machine != kMachineAmd64) {
        char code[8];
        std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(machine));
        return "a Windows DLL for another processor (machine " + std::string(code) +
               "): a 64-bit program loads 64-bit (x64) DLLs only";
    }
#if defined(_WIN32)
    return "";
#else
    return "a Windows DLL, which only the Windows build loads; here the plug-in is its .so";
#endif
}

} // namespace vantor::loader
