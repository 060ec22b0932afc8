#include "protect/protect_command.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "drive/parallel_runs.h"
#include "host/pinned_random.h"
#include "patterns/lowest_pattern.h"
#include "protect/line_judgement.h"
#include "protect/protected_points.h"
#include "protect/protection_table.h"
#include "report/svg_plot.h"
#include "scenario/run_settings.h"
#include "scenario/scenario_parser.h"
#include "support/text_format.h"
#include "support/utf8_path.h"
#include "warnings/route_check.h"
#include "warnings/run_warnings.h"

namespace vantor::sim {

namespace {

std::ofstream openOutput(const std::filesystem::path& path, const std::string& name) {
    std::ofstream out(path, std::ios::binary);
    if (!out) {
        throw std::runtime_error(name + ": cannot write");
    }
    return out;
}

// The points, from a run of the line as the scenario drives it, with its warnings, which are
// printed and added to `warned`; the book keeps where that run put the points.
std::vector<ProtectedPoint> findPoints(const Scenario& scenario, const std::string& library,
                                       const std::optional<std::string>& settingsFile,
                                       PointBook& book, std::ostream& errors,
                                       std::vector<RouteWarning>& warned) {
    for (const RouteWarning& warning : checkRoute(scenario)) {
        errors << warningText(scenario, warning) << '\n';
        warned.push_back(warning);
    }
    PointFinder finder;
    RunWarnings afterRun;
    PointBookKeeper keeper(book);
    {
        const std::unique_ptr<PluginLibrary> plugin = loadLibraryCopy(library, settingsFile);
        runScenario(scenario, *plugin, {&finder, &afterRun, &keeper});
    }
    for (const RouteWarning& warning : afterRun.warnings()) {
        errors << warningText(scenario, warning) << '\n';
        warned.push_back(warning);
    }
    if (finder.differs()) {
        throw std::runtime_error("the loaded library differs from the bench's own unit, which "
                                 "finds the points; build the library from these sources");
    }
    return finder.points();
}

// Whether a point the unit set up belongs to a declared signal or limit: set by a transponder
// linked to a signal, a stop point short of a signal within the longest stop distance, or a
// restriction or check not above a limit, from a little before it to its end.
bool declared(const Scenario& scenario, const ProtectedPoint& p) {
    if (p.setBy->linkedSignal || (p.pickedBy && p.pickedBy->linkedSignal)) {
        return true;
    }
    if (p.setup == Setup::StopCurve) {
        return std::any_of(scenario.signals.begin(), scenario.signals.end(), [&](const Signal& s) {
            return p.point <= s.position + 0.5 && s.position - p.point <= longestReach();
        });
    }
    // A restriction may begin a little before the limit: its curve then holds the train sooner.
    constexpr double kEarlyStart = 100.0; // m
    return std::any_of(scenario.limits.begin(), scenario.limits.end(), [&](const SpeedLimit& l) {
        return p.point >= l.from - kEarlyStart && p.point <= l.to && p.limit <= l.speed;
    });
}

void listPoints(const std::vector<ProtectedPoint>& points, std::ostream& out) {
    for (const ProtectedPoint& p : points) {
        out << "  " << pointText(p) << ", set by the " << setByText(p) << '\n';
    }
}

std::string headerText(const Scenario& scenario, const UnitSettings& unit,
                       const SpeedChoice& speed) {
    const std::string approach =
        speed.by == SpeedChoice::By::Given ? "at " + shortNumber(speed.given) + " km/h"
        : speed.by == SpeedChoice::By::Max || scenario.driver.profile.empty()
            ? "at the unit's maximum speed"
            : "at the highest speed of the driver's profile from where the bench takes the "
              "train over to the signal or limit";
    return "vantor-sim protect: " + scenario.name + "\nunit: Speed " + shortNumber(unit.maxSpeed) +
           " km/h, Deceleration " + shortNumber(unit.deceleration) + " km/h/s, Rtime " +
           shortNumber(unit.reactionTime) + " s; train: emergency deceleration " +
           shortNumber(scenario.vehicle.emergencyDeceleration) + " km/h/s\napproach: " + approach +
           "; the driver ignores the warning and the pattern display and brakes only when the "
           "unit does; every other signal shows clear\n\n";
}

} // namespace

void requireApproachSpeed(const Scenario& scenario, const SpeedChoice& speed) {
    const UnitSettings& unit = scenario.settings.file.unit();
    if ((speed.by == SpeedChoice::By::Max || scenario.driver.profile.empty()) &&
        !(unit.maxSpeed > 0.0 && unit.maxSpeed < LowestPattern::kCap)) {
        throw std::runtime_error("the unit's maximum speed of " + shortNumber(unit.maxSpeed) +
                                 " km/h is no speed to approach at; give --speed");
    }
}

int runProtect(const ProtectOptions& options, std::ostream& out, std::ostream& errors) {
    const SpeedChoice speed = parseSpeedChoice(options.speed);
    Scenario scenario = loadScenario(options.scenario);
    const std::optional<std::string> settingsFile =
        RunSettings(options.settings, errors).apply(scenario, errors);
    requireRunLength(scenario, options.maxFrames);
    requireApproachSpeed(scenario, speed);
    std::vector<RouteWarning> warned;
    return protectScenario(scenario, settingsFile, options, out, errors, warned);
}

int protectScenario(const Scenario& scenario, const std::optional<std::string>& settingsFile,
                    const ProtectOptions& options, std::ostream& out, std::ostream& errors,
                    std::vector<RouteWarning>& warned) {
    JudgeOptions judge;
    judge.speed = parseSpeedChoice(options.speed);
    const UnitSettings& unit = scenario.settings.file.unit();
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

    PointBook book;
    const std::vector<ProtectedPoint> points =
        findPoints(scenario, options.library, settingsFile, book, errors, warned);
    out << headerText(scenario, unit, judge.speed);
    if (scenario.signals.empty() && scenario.limits.empty()) {
        out << "nothing declared to judge: the scenario has no [[route.signals]] and no "
               "[[route.limits]]; declare what the line must protect\n";
        if (!points.empty()) {
            out << "\nthe unit set up, for information:\n";
            listPoints(points, out);
        }
        return 2;
    }
    judge.library = options.library;
    judge.settingsFile = settingsFile;
    judge.unitMaxSpeed = unit.maxSpeed;
    judge.plots = !options.svgDir.empty();
    judge.jobs = options.jobs;
    judge.points = &book;
    const std::vector<Judgement> judgements = judgeLine(scenario, judge);

    out << protectionTableHeader() << '\n';
    if (csv.is_open()) {
        csv << protectionCsvHeader() << '\n';
    }
    std::vector<std::string> notes;
    size_t counts[4] = {};
    for (size_t i = 0; i < judgements.size(); ++i) {
        const Judgement& j = judgements[i];
        const std::string number = std::to_string(i + 1);
        out << protectionTableRow(i + 1, j) << '\n';
        if (j.kind != Judgement::Kind::ClearRun) {
            ++counts[static_cast<int>(j.outcome)];
        }
        if (!j.why.empty()) {
            notes.push_back(number + ": " + j.why);
        }
        if (j.outcome != Outcome::Protected) {
            for (const std::string& said : j.unitSaid) {
                notes.push_back("   unit: " + said);
            }
        }
        if (csv.is_open()) {
            csv << protectionCsvRow(i + 1, j) << '\n';
        }
        if (!j.svg.empty()) {
            const std::string name = std::string(number.size() < 2 ? "0" : "") + number + "-" +
                                     judgementSlug(scenario, j) + ".svg";
            std::ofstream file = openOutput(svgDir / name, options.svgDir + "/" + name);
            if (!(file << j.svg).flush()) {
                throw std::runtime_error(options.svgDir + "/" + name + ": cannot write");
            }
        }
    }
    if (!notes.empty()) {
        out << '\n';
        for (const std::string& note : notes) {
            out << note << '\n';
        }
    }
    std::vector<ProtectedPoint> undeclared;
    for (const ProtectedPoint& p : points) {
        if (!declared(scenario, p)) {
            undeclared.push_back(p);
        }
    }
    if (!undeclared.empty()) {
        out << "\nset up by the unit, of no declared signal or limit:\n";
        listPoints(undeclared, out);
    }
    const bool passes = linePasses(judgements);
    out << '\n'
        << scenario.signals.size() << (scenario.signals.size() == 1 ? " signal, " : " signals, ")
        << scenario.limits.size() << (scenario.limits.size() == 1 ? " limit: " : " limits: ")
        << counts[static_cast<int>(Outcome::Protected)] << " protected, "
        << counts[static_cast<int>(Outcome::Unprotected)] << " unprotected, "
        << counts[static_cast<int>(Outcome::NotJudged)]
        << " not judged; clear run: " << outcomeText(judgements.back().outcome) << '\n'
        << (passes ? "the line passes\n" : "the line FAILS\n");
    if (csv.is_open() && !csv.flush()) {
        throw std::runtime_error(options.csv + ": cannot write");
    }
    return passes ? 0 : 1;
}

} // namespace vantor::sim
