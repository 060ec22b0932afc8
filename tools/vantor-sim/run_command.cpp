#include "run_command.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

#include "host/pinned_random.h"
#include "host/plugin_library.h"
#include "report/csv_trace.h"
#include "report/svg_plot.h"
#include "report/timeline.h"
#include "scenario/run_settings.h"
#include "scenario/scenario_parser.h"
#include "support/console_stream.h"
#include "support/console_text.h"
#include "support/output_files.h"
#include "support/progress_bar.h"
#include "warnings/route_check.h"
#include "warnings/run_warnings.h"

namespace vantor::sim {

int runLine(const RunOptions& options) {
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

} // namespace vantor::sim
