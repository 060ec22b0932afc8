// Windows: the library's module path and its settings file through the wide-character calls,
// so that a folder name outside the system's ANSI code page works too, and the C runtime's
// local time.
#include <windows.h>

#include <ctime>

#include "platform.h"

namespace vantor::platform {

bool libraryPath(wchar_t* buffer, size_t size) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&libraryPath), &module)) {
        return false;
    }
    const DWORD length = GetModuleFileNameW(module, buffer, static_cast<DWORD>(size));
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

ReadOnlyFile::ReadOnlyFile(const wchar_t* path) {
    // Sharing everything lets an editor save the file while the unit reads it. A folder of
    // that name fails to open here, as it is no file.
    HANDLE file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    handle_ = reinterpret_cast<intptr_t>(file);
    open_ = GetFileType(file) == FILE_TYPE_DISK;
}

ReadOnlyFile::~ReadOnlyFile() {
    if (handle_ != -1) {
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
    }
}

int64_t ReadOnlyFile::readAt(uint64_t offset, char* buffer, size_t size) {
    if (!open_) {
        return -1;
    }
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD wanted = size < (DWORD{1} << 30) ? static_cast<DWORD>(size) : DWORD{1} << 30;
    DWORD read = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, wanted, &read, &at)) {
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    }
    return read;
}

} // namespace vantor::platform
