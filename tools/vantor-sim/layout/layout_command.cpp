#include "layout/layout_command.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "host/pinned_random.h"
#include "layout/layout_planner.h"
#include "layout/layout_text.h"
#include "protect/protect_command.h"
#include "scenario/run_settings.h"
#include "scenario/scenario_parser.h"
#include "support/output_files.h"
#include "support/text_format.h"

namespace vantor::sim {

namespace {

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream file = openOutput(path);
    file << text;
    finishOutput(file, path);
}

std::string optionsText(const LayoutOptions& options) {
    return "laid out with --speed " + options.speed + " and --margin " +
           shortNumber(options.margin);
}

} // namespace

int runLayout(const LayoutOptions& options, std::ostream& out, std::ostream& errors) {
    const SpeedChoice speed = parseSpeedChoice(options.speed);
    if (!(options.margin >= 0.0) || !std::isfinite(options.margin)) {
        throw std::runtime_error("--margin " + shortNumber(options.margin) +
                                 ": expected metres, 0 or more");
    }
    requireOwnFiles({{"scenario", options.scenario},
                     {"--settings", options.settings},
                     {"--library", options.library}},
                    {{"--write", options.write}, {"--csv", options.csv}});
    AuthorText author;
    try {
        author = withoutLayout(scenarioFileText(options.scenario));
    } catch (const ScenarioError&) {
        throw;
    } catch (const std::runtime_error& error) {
        throw ScenarioError(options.scenario + ":" + error.what());
    }
    Scenario base = parseScenario(author.text, options.scenario);
    const RunSettings settings(options.settings, errors);
    const std::optional<std::string> settingsFile = settings.apply(base, errors);
    requireRunLength(base, options.maxFrames);
    requireApproachSpeed(base, speed);
    if (base.signals.empty() && base.limits.empty()) {
        throw std::runtime_error(options.scenario + ": nothing to lay out: the scenario declares "
                                                    "no [[route.signals]] and no [[route.limits]]");
    }
    // The outputs are opened before anything runs, so that a bad path stops the layout at once.
    for (const std::string& path : {options.write, options.csv}) {
        if (!path.empty()) {
            openOutput(path);
        }
    }
    // A layout comes out the same on every run: the unit's random periods are pinned.
    pinRandom();

    LayoutRequest request;
    request.judge.library = options.library;
    request.judge.settingsFile = settingsFile;
    request.judge.speed = speed;
    request.judge.unitMaxSpeed = base.settings.file.unit().maxSpeed;
    request.judge.jobs = options.jobs;
    request.margin = options.margin;
    const Layout layout = planLayout(base, request);

    const WrittenText written =
        writtenText(author, layoutBlock(base, layout, optionsText(options)));
    Scenario laidOut = parseScenario(
        written.text, options.write.empty() ? options.scenario + " (laid out)" : options.write);
    std::ostringstream again; // said once already, for the scenario as the author wrote it
    settings.apply(laidOut, again);

    out << "vantor-sim layout: " << base.name << "\n\n"
        << choicesText(base, layout, options.margin) << '\n'
        << layoutTable(base, layout) << '\n';
    if (author.earlierLayout) {
        out << "the layout written at line " << *author.earlierLayout << " of " << options.scenario
            << " is laid anew\n";
    }
    if (!options.write.empty()) {
        writeFile(options.write, written.text);
        out << "written with the scenario to " << options.write << '\n';
    }
    if (!options.csv.empty()) {
        writeFile(options.csv, layoutCsv(base, layout));
    }
    out << '\n';

    ProtectOptions protect;
    protect.library = options.library;
    protect.speed = options.speed;
    protect.maxFrames = options.maxFrames;
    protect.jobs = options.jobs;
    std::vector<RouteWarning> warned;
    const int status = protectScenario(laidOut, settingsFile, protect, out, errors, warned);

    const size_t ownWarnings =
        static_cast<size_t>(std::count_if(warned.begin(), warned.end(), [&](const RouteWarning& w) {
            return w.line >= written.firstLine;
        }));
    const bool short_ = std::any_of(layout.signals.begin(), layout.signals.end(),
                                    [](const SignalLayout& s) { return !s.byAuthor && !s.holds; });
    if (ownWarnings > 0) {
        out << "the laid transponders are warned of " << ownWarnings
            << (ownWarnings == 1 ? " time\n" : " times\n");
    }
    if (status != 0 || ownWarnings > 0 || short_) {
        out << "the layout FAILS\n";
        return std::max(status, 1);
    }
    out << "the layout holds\n";
    return 0;
}

} // namespace vantor::sim
