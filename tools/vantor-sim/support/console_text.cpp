#include "support/console_text.h"

#include "support/utf8_text.h"

#if defined(_WIN32)
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>
#endif

namespace vantor::sim {

std::string visibleText(std::string_view utf8, bool keepNewlines) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const Utf8Char c = utf8CharAt(utf8, i);
        char escape[16];
        if (c.length == 0) {
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(utf8[i]));
            out += escape;
            ++i;
            continue;
        }
        const bool control = c.code < 0x20 || (c.code >= 0x7F && c.code < 0xA0);
        if (!control || c.code == '\t' || (keepNewlines && c.code == '\n')) {
            out.append(utf8, i, c.length);
        } else if (c.code == '\n') {
            out += "\\n";
        } else if (c.code == '\r') {
            out += "\\r";
        } else {
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c.code));
            out += escape;
        }
        i += c.length;
    }
    return out;
}

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

void writeCursorText(std::FILE* stream, std::string_view utf8) {
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

void writeCursorText(std::FILE* stream, std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

#endif

void writeText(std::FILE* stream, std::string_view utf8) {
    writeCursorText(stream, visibleText(utf8, true));
}

} // namespace vantor::sim
