#include <windows.h>

#include <system_error>

#include "native_library.h"

namespace vantor::loader::native {

namespace {

std::string systemMessage(DWORD code) {
    // The system's text for it names a "Win32 application". A DLL for another processor gives
    // this too, but its header tells it apart first (library_header.h).
    if (code == ERROR_BAD_EXE_FORMAT) {
        return "not a Windows DLL, or one cut short or damaged";
    }
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = "error " + std::to_string(code);
    if (length > 0) {
        std::wstring wide(text, length);
        while (!wide.empty() &&
               (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' ')) {
            wide.pop_back();
        }
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                             nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<size_t>(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                            size, nullptr, nullptr);
        message += ": " + utf8;
    }
    LocalFree(text);
    return message;
}

} // namespace

void* open(const std::filesystem::path& path, std::string& why) {
    // A full path, so that Windows neither searches its DLL folders for the name nor guesses
    // where the library's own dependencies are: they are looked for beside it.
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    if (error) {
        why = error.message();
        return nullptr;
    }
    HMODULE module = LoadLibraryExW(full.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) {
        why = systemMessage(GetLastError());
    }
    return reinterpret_cast<void*>(module);
}

AnyFunction find(void* handle, const char* name) {
    return reinterpret_cast<AnyFunction>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void close(void* handle) {
    FreeLibrary(static_cast<HMODULE>(handle));
}

} // namespace vantor::loader::native
