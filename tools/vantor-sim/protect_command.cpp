#include "protect_command.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "approach_watch.h"
#include "parallel_runs.h"
#include "pinned_random.h"
#include "protection_table.h"
#include "route_check.h"
#include "run_settings.h"
#include "scenario_parser.h"
#include "svg_plot.h"
#include "text_format.h"
#include "utf8_path.h"

namespace vantor::sim {

namespace {

// The unit measures spacings over at most 25 m: taken over this far before the transponders
// that set a point up, the train runs every spacing that does so at the approach speed.
constexpr double kApproachLead = 30.0; // m
// The plot of an approach starts a little before the bench takes the train over.
constexpr double kPlotLead = 100.0; // m
// From 220 km/h on the unit brakes every train.
constexpr double kTopSpeed = 220.0; // km/h

// The highest speed of the driver's profile from one place to another; 0 without a profile.
double highestProfileSpeed(const DriverPlan& driver, double from, double to) {
    const auto& profile = driver.profile;
    if (profile.empty()) {
        return 0.0;
    }
    // In force at `from`: the last point at or behind it, the first before them all.
    double highest = profile.front().speed;
    for (const ProfilePoint& p : profile) {
        if (p.position <= from) {
            highest = p.speed;
        }
    }
    for (const ProfilePoint& p : profile) {
        if (p.position > from && p.position <= to) {
            highest = std::max(highest, p.speed);
        }
    }
    return highest;
}

struct SpeedChoice {
    enum class By { Line, Max, Given } by = By::Line;
    double given = 0.0;
};

SpeedChoice parseSpeed(const std::string& text) {
    if (text == "line") {
        return {};
    }
    if (text == "max") {
        return {SpeedChoice::By::Max, 0.0};
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !(value > 0.0) ||
        value >= kTopSpeed) {
        throw std::runtime_error("--speed " + text +
                                 ": expected line, max or a speed above 0 and below 220 km/h");
    }
    return {SpeedChoice::By::Given, value};
}

// Passes on to the plot only what happens from a place on, so that the plot shows the
// approach and not the whole line before it.
class FromPlace : public RunObserver {
  public:
    FromPlace(RunObserver& to, double from) : to_(to), from_(from) {}
    void onNote(const Note& note) override {
        if (note.position >= from_) {
            to_.onNote(note);
        }
    }
    void onFact(const UnitFact& fact) override {
        if (fact.position >= from_) {
            to_.onFact(fact);
        }
    }
    void onFrame(const FrameRecord& frame) override {
        if (frame.position >= from_) {
            to_.onFrame(frame);
        }
    }

  private:
    RunObserver& to_;
    double from_;
};

std::ofstream openOutput(const std::filesystem::path& path, const std::string& name) {
    std::ofstream out(path, std::ios::binary);
    if (!out) {
        throw std::runtime_error(name + ": cannot write");
    }
    return out;
}

// The points, from a run of the line as the scenario drives it, with its warnings.
std::vector<ProtectedPoint> findPoints(const Scenario& scenario, const std::string& library,
                                       const std::optional<std::string>& settingsFile,
                                       std::ostream& errors) {
    for (const RouteWarning& warning : checkRoute(scenario)) {
        errors << warningText(scenario, warning) << '\n';
    }
    PointFinder finder;
    RunWarnings afterRun;
    {
        const std::unique_ptr<PluginLibrary> plugin = loadLibraryCopy(library, settingsFile);
        runScenario(scenario, *plugin, {&finder, &afterRun});
    }
    for (const RouteWarning& warning : afterRun.warnings()) {
        errors << warningText(scenario, warning) << '\n';
    }
    if (finder.differs()) {
        throw std::runtime_error("the loaded library differs from the bench's own unit, which "
                                 "finds the points; build the library from these sources");
    }
    return finder.points();
}

// One approach, played on the calling thread with a library copy of its own.
ProtectionRow approach(const Scenario& scenario, const ProtectedPoint& p, double speed,
                       const ProtectOptions& options,
                       const std::optional<std::string>& settingsFile) {
    ProtectionRow row;
    row.point = p;
    row.speed = speed;
    if (speed <= 0.0) {
        row.result.note = "the driver's profile is 0 km/h here; try --speed max";
        return row;
    }
    Approach approach;
    approach.from =
        std::min(p.setBy->position, p.pickedBy ? p.pickedBy->position : p.setBy->position) -
        kApproachLead;
    approach.speed = speed;
    approach.point = p.point;
    ApproachWatch watch(p, scenario.vehicle.emergencyNotch(), speed);
    Scenario titled = scenario;
    titled.name =
        scenario.name + ": " + pointText(p) + ", approached at " + fixed(speed, 1) + " km/h";
    SvgPlot plot(titled);
    FromPlace plotted(plot, approach.from - kPlotLead);
    std::vector<RunObserver*> observers{&watch};
    if (!options.svgDir.empty()) {
        observers.push_back(&plotted);
    }
    const std::unique_ptr<PluginLibrary> plugin = loadLibraryCopy(options.library, settingsFile);
    runScenario(scenario, *plugin, observers, {}, &approach);
    row.result = watch.result();
    if (!options.svgDir.empty()) {
        row.svg = plot.render();
    }
    return row;
}

std::string headerText(const Scenario& scenario, const UnitSettings& unit,
                       const SpeedChoice& speed) {
    const std::string approach =
        speed.by == SpeedChoice::By::Given ? "at " + shortNumber(speed.given) + " km/h"
        : speed.by == SpeedChoice::By::Max || scenario.driver.profile.empty()
            ? "at the unit's maximum speed"
            : "at the highest speed of the driver's profile from where the unit learns of a "
              "point to the point";
    return "vantor-sim protect: " + scenario.name + "\nunit: Speed " + shortNumber(unit.maxSpeed) +
           " km/h, Deceleration " + shortNumber(unit.deceleration) + " km/h/s, Rtime " +
           shortNumber(unit.reactionTime) + " s; train: emergency deceleration " +
           shortNumber(scenario.vehicle.emergencyDeceleration) + " km/h/s\napproach: " + approach +
           "; the driver ignores the warning and the pattern display until the unit brakes\n\n";
}

} // namespace

int runProtect(const ProtectOptions& options, std::ostream& out, std::ostream& errors) {
    const SpeedChoice speedChoice = parseSpeed(options.speed);
    Scenario scenario = loadScenario(options.scenario);
    const std::optional<std::string> settingsFile =
        RunSettings(options.settings, errors).apply(scenario, errors);
    requireRunLength(scenario, options.maxFrames);
    const UnitSettings& unit = scenario.settings.file.unit();
    if ((speedChoice.by == SpeedChoice::By::Max || scenario.driver.profile.empty()) &&
        !(unit.maxSpeed > 0.0 && unit.maxSpeed < kTopSpeed)) {
        throw std::runtime_error("the unit's maximum speed of " + shortNumber(unit.maxSpeed) +
                                 " km/h is no speed to approach at; give --speed");
    }
    // Output files and folders first, so that a bad path stops the report before it runs.
    std::ofstream csv;
    if (!options.csv.empty()) {
        csv = openOutput(pathFromUtf8(options.csv), options.csv);
    }
    const std::filesystem::path svgDir = pathFromUtf8(options.svgDir);
    if (!options.svgDir.empty()) {
        std::error_code error;
        std::filesystem::create_directories(svgDir, error);
        if (!std::filesystem::is_directory(svgDir, error)) {
            throw std::runtime_error(options.svgDir + ": cannot make the folder");
        }
    }
    // A report gives the same result on every run: the unit's random periods are pinned.
    pinRandom();

    const std::vector<ProtectedPoint> points =
        findPoints(scenario, options.library, settingsFile, errors);
    out << headerText(scenario, unit, speedChoice);
    if (points.empty()) {
        out << "no points: the unit set up no stop point, restriction or speed check on this "
               "line\n";
        return 0;
    }
    out << protectionTableHeader() << '\n';
    if (csv.is_open()) {
        csv << protectionCsvHeader() << '\n';
    }
    size_t protectedCount = 0;
    size_t unprotected = 0;
    size_t notPlayed = 0;
    std::vector<std::string> notes;
    runInOrder(
        points.size(), options.jobs,
        [&](size_t i) {
            const ProtectedPoint& p = points[i];
            const double speed =
                speedChoice.by == SpeedChoice::By::Given ? speedChoice.given
                : speedChoice.by == SpeedChoice::By::Max || scenario.driver.profile.empty()
                    ? unit.maxSpeed
                    : highestProfileSpeed(scenario.driver, p.setAt, p.point);
            return approach(scenario, p, speed, options, settingsFile);
        },
        [&](size_t i, const ProtectionRow& row) {
            const std::string number = std::to_string(i + 1);
            out << protectionTableRow(i + 1, row) << '\n';
            if (!row.result.note.empty()) {
                notes.push_back(number + ": " + row.result.note);
            }
            if (csv.is_open()) {
                csv << protectionCsvRow(i + 1, row) << '\n';
            }
            if (!row.svg.empty()) {
                const std::string name = std::string(number.size() < 2 ? "0" : "") + number + "-" +
                                         pointKindSlug(row.point) + "-" +
                                         fixed(row.point.point, 1) + "m.svg";
                std::ofstream file = openOutput(svgDir / name, options.svgDir + "/" + name);
                if (!(file << row.svg).flush()) {
                    throw std::runtime_error(options.svgDir + "/" + name + ": cannot write");
                }
            }
            ++(!row.result.played       ? notPlayed
               : row.result.isProtected ? protectedCount
                                        : unprotected);
        });
    if (!notes.empty()) {
        out << '\n';
        for (const std::string& note : notes) {
            out << note << '\n';
        }
    }
    out << '\n'
        << points.size() << (points.size() == 1 ? " point: " : " points: ") << protectedCount
        << " protected, " << unprotected << " unprotected";
    if (notPlayed > 0) {
        out << ", " << notPlayed << " not played";
    }
    out << '\n';
    if (csv.is_open() && !csv.flush()) {
        throw std::runtime_error(options.csv + ": cannot write");
    }
    return unprotected > 0 ? 1 : 0;
}

} // namespace vantor::sim
