// vantor-session-host: loads the plug-in library from its folder, as the host simulator does,
// plays a scripted session and writes the per-frame trace.
//
//   vantor-session-host [--mask-random] LIBRARY SESSION TRACE
//   vantor-session-host [--mask-random] --batch LIST
//
// A LIST has one run per line: LIBRARY, SESSION and TRACE separated by tabs. Each library
// path is loaded in turn; copies of the library in different folders are separate modules,
// each with its own settings file, so a whole set of cases needs only one process start.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>

#include "plugin_module.h"
#include "session_runner.h"

namespace {

int play(const std::string& libraryPath, const std::string& sessionPath,
         const std::string& tracePath, const vantor::sessions::TraceOptions& options) {
    std::ifstream script(sessionPath, std::ios::binary);
    if (!script) {
        std::fprintf(stderr, "cannot read %s\n", sessionPath.c_str());
        return 2;
    }
    // Binary mode: the C runtime on Windows would otherwise write CR LF and the traces of
    // the two platforms would differ in every line.
    std::FILE* trace = std::fopen(tracePath.c_str(), "wb");
    if (trace == nullptr) {
        std::fprintf(stderr, "cannot write %s\n", tracePath.c_str());
        return 2;
    }
    int status = 0;
    try {
        const vantor::loader::PluginModule library(libraryPath);
        vantor::sessions::runSession(library, script, trace, options);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "%s: %s\n", sessionPath.c_str(), error.what());
        status = 1;
    }
    if (std::fclose(trace) != 0) {
        status = 1;
    }
    return status;
}

int playList(const char* listPath, const vantor::sessions::TraceOptions& options) {
    std::ifstream list(listPath, std::ios::binary);
    if (!list) {
        std::fprintf(stderr, "cannot read %s\n", listPath);
        return 2;
    }
    int status = 0;
    std::string line;
    while (std::getline(list, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        const size_t first = line.find('\t');
        const size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
        if (second == std::string::npos) {
            std::fprintf(stderr, "%s: not LIBRARY<tab>SESSION<tab>TRACE: %s\n", listPath,
                         line.c_str());
            return 2;
        }
        const int result = play(line.substr(0, first), line.substr(first + 1, second - first - 1),
                                line.substr(second + 1), options);
        status = result > status ? result : status;
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    vantor::sessions::TraceOptions options;
    int first = 1;
    if (argc > first && std::strcmp(argv[first], "--mask-random") == 0) {
        options.maskRandomSounds = true;
        ++first;
    }
    if (argc - first == 2 && std::strcmp(argv[first], "--batch") == 0) {
        return playList(argv[first + 1], options);
    }
    if (argc - first == 3) {
        return play(argv[first], argv[first + 1], argv[first + 2], options);
    }
    std::fprintf(stderr,
                 "usage: %s [--mask-random] LIBRARY SESSION TRACE\n"
                 "       %s [--mask-random] --batch LIST\n",
                 argv[0], argv[0]);
    return 2;
}
