// vantor-sim: plays the host for the plug-in along a scenario's line and tells what the unit
// did. Here the command line is parsed and handed to its command.
#include <sstream>

#include "command_line.h"
#include "commands.h"
#include "support/console_text.h"
#include "support/stop_requests.h"
#include "support/terminal.h"
#include "support/utf8_path.h"

using namespace vantor::sim;

namespace {

// Whatever stops the bench before it could do what it was asked, from a misspelt option to a
// scenario it cannot run; 1 stays the verdict of a check that did not hold.
constexpr int kCannotRun = 2;

int failed(const std::string& message) {
    std::fflush(stdout);
    writeText(stderr, "vantor-sim: " + message + "\n");
    return kCannotRun;
}

int runCommandLine(const std::vector<std::string>& arguments) {
    catchStopSignals();
    CLI::App app{"Drives the train-protection plug-in along a line and shows what it does.",
                 "vantor-sim"};
    CommandLine line;
    const Commands commands = declareCommandLine(app, line);
    try {
        parseCommandLine(app, arguments);
    } catch (const CLI::Success& help) {
        std::ostringstream out, errors;
        const int status = app.exit(help, out, errors);
        writeText(stdout, out.str());
        writeText(stderr, errors.str());
        return status;
    } catch (const CLI::ParseError& error) {
        return failed("error: " + usageErrorText(app, error) +
                      "\nvantor-sim --help lists the options");
    }
    if (const std::string misplaced = runOptionsGivenToCommand(commands, line);
        !misplaced.empty()) {
        return failed("error: " + misplaced);
    }
    try {
        return runCommand(commands, line);
    } catch (const StopRequested&) {
        return failed("stopped");
    } catch (const std::exception& error) {
        return failed(std::string("error: ") + error.what());
    }
}

// A stop asked for ends the bench as the signal would, once everything has unwound.
int finish(int status) {
    if (stopRequested()) {
        endAsStopped();
    }
    return status;
}

} // namespace

#if defined(_WIN32)
// The wide command line, so that paths in any script reach the bench whatever the system's
// code page (linked with -municode).
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    try {
        arguments = utf8Arguments(argc, argv);
    } catch (const std::exception&) {
        return failed("error: the command line is not valid Unicode");
    }
    const int status = finish(runCommandLine(arguments));
    holdOwnConsoleWindow();
    return status;
}
#else
int main(int argc, char** argv) {
    return finish(runCommandLine({argv, argv + argc}));
}
#endif
