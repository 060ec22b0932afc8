#include "commands.h"

#include <sstream>

#include "command_line.h"
#include "default_library.h"
#include "drive/parallel_runs.h"
#include "scenario/default_scenario.h"
#include "settings/settings_check.h"
#include "support/console_stream.h"
#include "support/console_text.h"

namespace vantor::sim {

Commands declareCommandLine(CLI::App& app, CommandLine& line) {
    app.footer("A scenario file given as the only argument runs as with --scenario.");
    app.add_option("--library", line.run.library,
                   "the plug-in library to load; without it the one beside vantor-sim, or the "
                   "one of its build");
    app.add_option("--scenario", line.run.scenario,
                   "scenario file (TOML); without it the built-in line runs");
    app.add_option("--csv", line.run.csv, "write a per-frame trace to this CSV file");
    app.add_option("--svg", line.run.svg, "write a plot of the run to this SVG file");
    app.add_flag("--pin-random", line.run.pinRandom,
                 "fix the unit's random periods: start-up 650 ms, alternation 300 ms");
    app.add_flag("--all-sounds", line.run.allSounds,
                 "also list every alternating alarm tone on the timeline");
    app.add_flag("--quiet", line.run.quiet,
                 "no timeline, only the line that ends the run; --csv and --svg still write. "
                 "Without --svg the bench's own unit stays out, for speed: no comparison with "
                 "it and no warnings after the run");
    app.add_option("--max-frames", line.run.maxFrames,
                   "the longest run to start, in frames (default 10000000)")
        ->check(atLeastOne<int64_t>());
    app.add_flag("--print-default", line.printDefault,
                 "print the built-in scenario, a start for your own, and stop");
    app.add_option("--settings", line.run.settings,
                   "run with this VantorConfig.ini, byte for byte, in place of the scenario's "
                   "[settings]");
    CLI::App* settingsCommand = app.add_subcommand(
        "settings", "check a VantorConfig.ini: each setting as the unit reads it, and warnings; "
                    "exit status 0 when clean, 1 with warnings, 2 when unreadable");
    settingsCommand->add_option("FILE", line.settingsFile, "the settings file")->required();
    // --library, --settings and --max-frames may also follow the commands below.
    app.fallthrough();
    line.check.jobs = defaultJobs();
    CLI::App* checkCommand = app.add_subcommand(
        "check", "run scenarios side by side and check their [[expect]] entries; exit status 0 "
                 "when all hold, 1 when one does not, 2 when a scenario cannot be run");
    checkCommand->add_option("SCENARIO", line.check.scenarios,
                             "scenario files; without them the built-in line");
    checkCommand->add_option("--junit", line.check.junit, "also write a JUnit XML report here");
    checkCommand->add_option("--jobs", line.check.jobs, "runs side by side (default: one per core)")
        ->check(atLeastOne<unsigned>());
    line.protect.jobs = defaultJobs();
    CLI::App* protectCommand = app.add_subcommand(
        "protect", "approach every point the unit protects on a line at the line speed, ignoring "
                   "the warning until the unit brakes; exit status 1 when one is unprotected");
    protectCommand->add_option("SCENARIO", line.protect.scenario,
                               "scenario file; without it the built-in line");
    protectCommand->add_option("--speed", line.protect.speed,
                               "line (default: the driver's profile), max (the unit's maximum "
                               "speed) or a speed in km/h");
    protectCommand->add_option("--csv", line.protect.csv, "also write the table to this CSV file");
    protectCommand->add_option("--svg-dir", line.protect.svgDir,
                               "write a plot of each approach into this folder");
    protectCommand
        ->add_option("--jobs", line.protect.jobs, "approaches side by side (default: one per core)")
        ->check(atLeastOne<unsigned>());
    line.layout.jobs = defaultJobs();
    CLI::App* layoutCommand = app.add_subcommand(
        "layout", "lay out the transponders of the signals and limits a scenario declares, and "
                  "play the protection report on the result; exit status 1 when it fails");
    layoutCommand->add_option("SCENARIO", line.layout.scenario, "the scenario file")->required();
    layoutCommand->add_option("--speed", line.layout.speed,
                              "line (default: the driver's profile), max (the unit's maximum "
                              "speed) or a speed in km/h, as for protect");
    layoutCommand->add_option("--margin", line.layout.margin,
                              "metres each signal's train must stand before it (default 0)");
    layoutCommand->add_option("--write", line.layout.write,
                              "write the scenario with the laid transponders to this file");
    layoutCommand->add_option("--csv", line.layout.csv, "also write the table to this CSV file");
    layoutCommand
        ->add_option("--jobs", line.layout.jobs, "approaches side by side (default: one per core)")
        ->check(atLeastOne<unsigned>());
    return Commands{settingsCommand, checkCommand, protectCommand, layoutCommand};
}

std::string runOptionsGivenToCommand(const Commands& commands, const CommandLine& line) {
    const RunOptions& run = line.run;
    if ((*commands.check || *commands.protect || *commands.layout) &&
        !(run.scenario.empty() && run.csv.empty() && run.svg.empty())) {
        return "--scenario, --csv and --svg are a run's; give the scenarios after the command, "
               "and its own --csv or --svg-dir";
    }
    return "";
}

int runCommand(const Commands& commands, CommandLine& line) {
    if (line.printDefault) {
        writeText(stdout, defaultScenarioText());
        return 0;
    }
    if (*commands.settings) {
        std::ostringstream out, errors;
        const int status = printSettingsCheck(line.settingsFile, out, errors);
        writeText(stdout, out.str());
        writeText(stderr, errors.str());
        return status;
    }
    RunOptions& run = line.run;
    if (run.library.empty()) {
        run.library = defaultLibraryPath();
    }
    ConsoleStream out(stdout), errors(stderr);
    if (*commands.check) {
        line.check.library = run.library;
        line.check.settings = run.settings;
        line.check.maxFrames = run.maxFrames;
        return runChecks(line.check, out, errors);
    }
    if (*commands.layout) {
        line.layout.library = run.library;
        line.layout.settings = run.settings;
        line.layout.maxFrames = run.maxFrames;
        return runLayout(line.layout, out, errors);
    }
    if (*commands.protect) {
        line.protect.library = run.library;
        line.protect.settings = run.settings;
        line.protect.maxFrames = run.maxFrames;
        return runProtect(line.protect, out, errors);
    }
    return runLine(run);
}

} // namespace vantor::sim
