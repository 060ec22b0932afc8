#include "console_text.h"

#if defined(_WIN32)
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>
#endif

namespace vantor::sim {

#if defined(_WIN32)

namespace {

// The console behind the stream, or nullptr when the stream goes to a file, a pipe or NUL.
HANDLE consoleOf(std::FILE* stream) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

// Older consoles refuse long writes, so the text goes in pieces, never splitting a surrogate
// pair.
void writeConsole(HANDLE console, const std::wstring& text) {
    constexpr size_t kPiece = 8192;
    size_t done = 0;
    while (done < text.size()) {
        size_t count = std::min(kPiece, text.size() - done);
        if (done + count < text.size() && IS_HIGH_SURROGATE(text[done + count - 1])) {
            --count;
        }
        DWORD written = 0;
        if (!WriteConsoleW(console, text.data() + done, static_cast<DWORD>(count), &written,
                           nullptr) ||
            written == 0) {
            return;
        }
        done += written;
    }
}

} // namespace

void writeText(std::FILE* stream, std::string_view utf8) {
    HANDLE console = consoleOf(stream);
    if (console == nullptr || utf8.size() > INT_MAX) {
        std::fwrite(utf8.data(), 1, utf8.size(), stream);
        return;
    }
    // What the C runtime still holds must come out first.
    std::fflush(stream);
    const int length = static_cast<int>(utf8.size());
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), wideLength);
    writeConsole(console, wide);
}

#else

void writeText(std::FILE* stream, std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

#endif

} // namespace vantor::sim
