// Windows: the library's module path, the system's profile functions and the C runtime's
// local time.
#include <windows.h>

#include <ctime>

#include "platform.h"

namespace vantor::platform {

bool libraryPath(char* buffer, size_t size) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&libraryPath), &module)) {
        return false;
    }
    const DWORD length = GetModuleFileNameA(module, buffer, static_cast<DWORD>(size));
    // A path that filled the buffer may have been cut short.
    return length > 0 && length < size;
}

int localSeconds() {
    const __time64_t now = _time64(nullptr);
    std::tm local{};
    if (_localtime64_s(&local, &now) != 0) {
        return 0;
    }
    return local.tm_sec;
}

uint32_t readProfileInt(const char* path, const char* section, const char* key,
                        uint32_t defaultValue) {
    if (path == nullptr || path[0] == '\0') {
        return defaultValue;
    }
    return GetPrivateProfileIntA(section, key, static_cast<INT>(defaultValue), path);
}

void readProfileString(const char* path, const char* section, const char* key,
                       const char* defaultValue, char* out, size_t size) {
    if (size == 0) {
        return;
    }
    // Without a path the system would look in its own folder; the defaults apply instead.
    if (path == nullptr || path[0] == '\0') {
        lstrcpynA(out, defaultValue, static_cast<int>(size));
        return;
    }
    GetPrivateProfileStringA(section, key, defaultValue, out, static_cast<DWORD>(size), path);
}

} // namespace vantor::platform
