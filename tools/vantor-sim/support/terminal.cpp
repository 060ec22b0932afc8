#include "support/terminal.h"

#if defined(_WIN32)
#include <io.h>
#include <windows.h>

#include "support/console_text.h"
#else
#include <unistd.h>
#endif

namespace vantor::sim {

bool isTerminal(std::FILE* stream) {
#if defined(_WIN32)
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

#if defined(_WIN32)

void holdOwnConsoleWindow() {
    DWORD processes[2] = {};
    DWORD mode = 0;
    // A command prompt shares its console with the bench; a pipe or a file has no window.
    if (GetConsoleProcessList(processes, 2) != 1 ||
        !GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode)) {
        return;
    }
    std::fflush(stdout);
    writeText(stderr, "\nPress Enter to close this window.\n");
    int c = 0;
    do {
        c = std::getchar();
    } while (c != '\n' && c != EOF);
}

#endif

} // namespace vantor::sim
