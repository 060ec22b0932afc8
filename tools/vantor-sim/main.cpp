// vantor-sim: plays the host for the plug-in along a scenario's line and tells what the unit
// did.
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <vector>

#include <CLI/CLI.hpp>

#include "check/check_command.h"
#include "command_line.h"
#include "default_library.h"
#include "drive/parallel_runs.h"
#include "drive/simulation.h"
#include "host/pinned_random.h"
#include "host/plugin_library.h"
#include "protect/protect_command.h"
#include "report/csv_trace.h"
#include "report/svg_plot.h"
#include "report/timeline.h"
#include "scenario/default_scenario.h"
#include "scenario/run_settings.h"
#include "scenario/scenario_parser.h"
#include "settings/settings_check.h"
#include "support/console_stream.h"
#include "support/console_text.h"
#include "support/output_files.h"
#include "support/progress_bar.h"
#include "support/stop_requests.h"
#include "support/terminal.h"
#include "support/utf8_path.h"
#include "warnings/route_check.h"

using namespace vantor::sim;

namespace {

// Whatever stops the bench before it could do what it was asked, from a misspelt option to a
// scenario it cannot run; 1 stays the verdict of a check that did not hold.
constexpr int kCannotRun = 2;

struct Options {
    std::string library;
    std::string scenario;
    std::string csv;
    std::string svg;
    std::string settings;      // a settings file to run with, in place of [settings]
    std::string settingsCheck; // the file the settings command checks
    bool pinRandom = false;
    bool allSounds = false;
    bool quiet = false;
    bool printDefault = false;
    int64_t maxFrames = kDefaultMaxFrames;
};

int run(const Options& options) {
    Scenario scenario = loadScenario(options.scenario);
    ConsoleStream errors(stderr);
    const std::optional<std::string> settingsFile =
        RunSettings(options.settings, errors).apply(scenario, errors);
    requireRunLength(scenario, options.maxFrames);
    requireOwnFiles({{"--scenario", options.scenario},
                     {"--settings", options.settings},
                     {"--library", options.library}},
                    {{"--csv", options.csv}, {"--svg", options.svg}});
    // Output files are opened before anything runs, so a bad path stops the run at once.
    std::ofstream csvFile;
    if (!options.csv.empty()) {
        csvFile = openOutput(options.csv);
    }
    std::ofstream svgFile;
    if (!options.svg.empty()) {
        svgFile = openOutput(options.svg);
    }
    if (options.pinRandom) {
        pinRandom();
    }
    PluginLibrary plugin(options.library, settingsFile);
    for (const RouteWarning& warning : checkRoute(scenario)) {
        writeText(stderr, warningText(scenario, warning) + "\n");
    }

    ProgressBar bar(stdout, stderr);
    Timeline timeline(
        scenario, [&](const std::string& text) { bar.write(text); }, options.allSounds);
    RunWarnings afterRun;
    std::vector<RunObserver*> observers;
    // Quiet without a plot, nothing reads the own unit's explanations: the run goes without it,
    // and so without the warnings after the run.
    if (!options.quiet || !options.svg.empty()) {
        observers.push_back(&afterRun);
    }
    if (!options.quiet) {
        observers.push_back(&timeline);
    }
    std::unique_ptr<CsvTrace> csv;
    if (csvFile.is_open()) {
        csv = std::make_unique<CsvTrace>(csvFile);
        observers.push_back(csv.get());
    }
    std::unique_ptr<SvgPlot> plot;
    if (svgFile.is_open()) {
        plot = std::make_unique<SvgPlot>(scenario);
        observers.push_back(plot.get());
    }

    if (!options.quiet) {
        timeline.header(plugin.getPluginVersion(), options.pinRandom);
    }
    const RunEnd end =
        runScenario(scenario, plugin, observers, [&](double done) { bar.update(done); });
    if (options.quiet) {
        bar.write(runEndText(end) + "\n");
    } else {
        timeline.footer(end);
    }
    std::fflush(stdout);
    for (const RouteWarning& warning : afterRun.warnings()) {
        writeText(stderr, warningText(scenario, warning) + "\n");
    }
    if (plot) {
        svgFile << plot->render();
    }
    if (csvFile.is_open()) {
        finishOutput(csvFile, options.csv);
    }
    if (svgFile.is_open()) {
        finishOutput(svgFile, options.svg);
    }
    return 0;
}

// argv as UTF-8 text on every platform.
int runCommandLine(int argc, const char* const* argv) {
    catchStopSignals();
    Options options;
    CLI::App app{"Drives the train-protection plug-in along a line and shows what it does.",
                 "vantor-sim"};
    app.footer("A scenario file given as the only argument runs as with --scenario.");
    app.add_option("--library", options.library,
                   "the plug-in library to load; without it the one beside vantor-sim, or the "
                   "one of its build");
    app.add_option("--scenario", options.scenario,
                   "scenario file (TOML); without it the built-in line runs");
    app.add_option("--csv", options.csv, "write a per-frame trace to this CSV file");
    app.add_option("--svg", options.svg, "write a plot of the run to this SVG file");
    app.add_flag("--pin-random", options.pinRandom,
                 "fix the unit's random periods: start-up 650 ms, alternation 300 ms");
    app.add_flag("--all-sounds", options.allSounds,
                 "also list every alternating alarm tone on the timeline");
    app.add_flag("--quiet", options.quiet,
                 "no timeline, only the line that ends the run; --csv and --svg still write. "
                 "Without --svg the bench's own unit stays out, for speed: no comparison with "
                 "it and no warnings after the run");
    app.add_option("--max-frames", options.maxFrames,
                   "the longest run to start, in frames (default 10000000)")
        ->check(atLeastOne<int64_t>());
    app.add_flag("--print-default", options.printDefault,
                 "print the built-in scenario, a start for your own, and stop");
    app.add_option("--settings", options.settings,
                   "run with this VantorConfig.ini, byte for byte, in place of the scenario's "
                   "[settings]");
    CLI::App* settingsCommand = app.add_subcommand(
        "settings", "check a VantorConfig.ini: each setting as the unit reads it, and warnings; "
                    "exit status 0 when clean, 1 with warnings, 2 when unreadable");
    settingsCommand->add_option("FILE", options.settingsCheck, "the settings file")->required();
    // --library, --settings and --max-frames may also follow the commands below.
    app.fallthrough();
    CheckOptions check;
    check.jobs = defaultJobs();
    CLI::App* checkCommand = app.add_subcommand(
        "check", "run scenarios side by side and check their [[expect]] entries; exit status 0 "
                 "when all hold, 1 when one does not, 2 when a scenario cannot be run");
    checkCommand->add_option("SCENARIO", check.scenarios,
                             "scenario files; without them the built-in line");
    checkCommand->add_option("--junit", check.junit, "also write a JUnit XML report here");
    checkCommand->add_option("--jobs", check.jobs, "runs side by side (default: one per core)")
        ->check(atLeastOne<unsigned>());
    ProtectOptions protect;
    protect.jobs = defaultJobs();
    CLI::App* protectCommand = app.add_subcommand(
        "protect", "approach every point the unit protects on a line at the line speed, ignoring "
                   "the warning until the unit brakes; exit status 1 when one is unprotected");
    protectCommand->add_option("SCENARIO", protect.scenario,
                               "scenario file; without it the built-in line");
    protectCommand->add_option("--speed", protect.speed,
                               "line (default: the driver's profile), max (the unit's maximum "
                               "speed) or a speed in km/h");
    protectCommand->add_option("--csv", protect.csv, "also write the table to this CSV file");
    protectCommand->add_option("--svg-dir", protect.svgDir,
                               "write a plot of each approach into this folder");
    protectCommand
        ->add_option("--jobs", protect.jobs, "approaches side by side (default: one per core)")
        ->check(atLeastOne<unsigned>());
    std::vector<const char*> arguments(argv, argv + argc);
    if (argc == 2 && scenarioAlone(app, argv[1])) {
        arguments = {argv[0], "--scenario", argv[1]};
    }
    try {
        app.parse(static_cast<int>(arguments.size()), arguments.data());
    } catch (const CLI::Success& help) {
        std::ostringstream out;
        std::ostringstream errors;
        const int status = app.exit(help, out, errors);
        writeText(stdout, out.str());
        writeText(stderr, errors.str());
        return status;
    } catch (const CLI::ParseError& error) {
        writeText(stderr, "vantor-sim: error: " + usageErrorText(app, error) +
                              "\nvantor-sim --help lists the options\n");
        return kCannotRun;
    }

    if (options.printDefault) {
        writeText(stdout, defaultScenarioText());
        return 0;
    }
    const bool command = *checkCommand || *protectCommand;
    if (command && !(options.scenario.empty() && options.csv.empty() && options.svg.empty())) {
        writeText(stderr, "vantor-sim: error: --scenario, --csv and --svg are a run's; give "
                          "the scenarios after the command, and its own --csv or --svg-dir\n");
        return kCannotRun;
    }
    try {
        if (*settingsCommand) {
            std::ostringstream out;
            std::ostringstream errors;
            const int status = printSettingsCheck(options.settingsCheck, out, errors);
            writeText(stdout, out.str());
            writeText(stderr, errors.str());
            return status;
        }
        if (options.library.empty()) {
            options.library = defaultLibraryPath();
        }
        if (command) {
            ConsoleStream out(stdout);
            ConsoleStream errors(stderr);
            if (*checkCommand) {
                check.library = options.library;
                check.settings = options.settings;
                check.maxFrames = options.maxFrames;
                return runChecks(check, out, errors);
            }
            protect.library = options.library;
            protect.settings = options.settings;
            protect.maxFrames = options.maxFrames;
            return runProtect(protect, out, errors);
        }
        return run(options);
    } catch (const StopRequested&) {
        std::fflush(stdout);
        writeText(stderr, "vantor-sim: stopped\n");
        return kCannotRun;
    } catch (const std::exception& error) {
        std::fflush(stdout);
        writeText(stderr, std::string("vantor-sim: error: ") + error.what() + "\n");
        return kCannotRun;
    }
}

} // namespace

#if defined(_WIN32)
// The wide command line, so that paths in any script reach the bench whatever the system's
// code page (linked with -municode).
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> texts;
    try {
        for (int i = 0; i < argc; ++i) {
            texts.push_back(utf8FromPath(argv[i]));
        }
    } catch (const std::exception&) {
        writeText(stderr, "vantor-sim: error: the command line is not valid Unicode\n");
        return kCannotRun;
    }
    std::vector<const char*> args;
    for (const std::string& text : texts) {
        args.push_back(text.c_str());
    }
    const int status = runCommandLine(argc, args.data());
    if (stopRequested()) {
        endAsStopped();
    }
    holdOwnConsoleWindow();
    return status;
}
#else
int main(int argc, char** argv) {
    const int status = runCommandLine(argc, argv);
    if (stopRequested()) {
        endAsStopped();
    }
    return status;
}
#endif
