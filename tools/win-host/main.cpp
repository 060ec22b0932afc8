// vantor-session-host: loads the plug-in library from its folder, as the host simulator does,
// plays one scripted session and writes the per-frame trace.
//
//   vantor-session-host [--mask-random] LIBRARY SESSION TRACE
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "plugin_library.h"
#include "session_runner.h"

int main(int argc, char** argv) {
    vantor::sessions::TraceOptions options;
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "--mask-random") == 0) {
        options.maskRandomSounds = true;
        first = 2;
    }
    if (argc - first != 3) {
        std::fprintf(stderr, "usage: %s [--mask-random] LIBRARY SESSION TRACE\n", argv[0]);
        return 2;
    }
    std::ifstream script(argv[first + 1], std::ios::binary);
    if (!script) {
        std::fprintf(stderr, "cannot read %s\n", argv[first + 1]);
        return 2;
    }
    // Binary mode: the C runtime on Windows would otherwise write CR LF and the traces of
    // the two platforms would differ in every line.
    std::FILE* trace = std::fopen(argv[first + 2], "wb");
    if (trace == nullptr) {
        std::fprintf(stderr, "cannot write %s\n", argv[first + 2]);
        return 2;
    }
    int status = 0;
    try {
        const vantor::sessions::PluginLibrary library(argv[first]);
        vantor::sessions::runSession(library.exports(), script, trace, options);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "%s: %s\n", argv[first + 1], error.what());
        status = 1;
    }
    if (std::fclose(trace) != 0) {
        status = 1;
    }
    return status;
}
