#include "check/check_command.h"

#include <chrono>
#include <fstream>
#include <sstream>

#include "check/expectation_checker.h"
#include "drive/parallel_runs.h"
#include "host/pinned_random.h"
#include "protect/line_judgement.h"
#include "report/junit_report.h"
#include "scenario/default_scenario.h"
#include "scenario/run_settings.h"
#include "scenario/scenario_files.h"
#include "scenario/scenario_parser.h"
#include "support/utf8_path.h"
#include "warnings/route_check.h"
#include "warnings/run_warnings.h"

namespace vantor::sim {

namespace {

struct ScenarioCheck {
    std::string source;
    std::vector<ExpectationResult> results;
    std::string error;    // why it could not be run
    std::string warnings; // route and run warnings, ready to print
    double seconds = 0.0;
};

// A verdict of the protection report as a result of the check.
ExpectationResult judgementResult(const Judgement& j) {
    ExpectationResult r;
    r.line = j.line;
    r.passed = j.outcome == Outcome::Protected;
    switch (j.kind) {
    case Judgement::Kind::Signal:
        r.expected = j.subject + " at danger: the train stands at or before it";
        break;
    case Judgement::Kind::Limit:
        r.expected = j.subject + ": the train is held to it";
        break;
    case Judgement::Kind::ClearRun:
        r.expected = "every signal cleared: the unit never brakes";
        break;
    }
    r.happened = std::string(outcomeText(j.outcome)) + (j.result.empty() ? "" : ", " + j.result) +
                 (j.why.empty() ? "" : " (" + j.why + ")");
    return r;
}

ScenarioCheck checkScenario(const std::string& path, const CheckOptions& options,
                            const RunSettings& settings) {
    ScenarioCheck check;
    check.source = path.empty() ? kDefaultScenarioName : path;
    const auto begin = std::chrono::steady_clock::now();
    std::ostringstream warnings;
    try {
        Scenario scenario = loadScenario(path);
        const std::optional<std::string> settingsFile = settings.apply(scenario, warnings);
        requireRunLength(scenario, options.maxFrames);
        const std::unique_ptr<PluginLibrary> plugin =
            loadLibraryCopy(options.library, settingsFile);
        for (const RouteWarning& warning : checkRoute(scenario)) {
            warnings << warningText(scenario, warning) << '\n';
        }
        RunWarnings afterRun;
        ExpectationChecker checker(scenario);
        PointBook points;
        PointBookKeeper keeper(points);
        const RunEnd end = runScenario(scenario, *plugin, {&afterRun, &checker, &keeper});
        for (const RouteWarning& warning : afterRun.warnings()) {
            warnings << warningText(scenario, warning) << '\n';
        }
        check.results = checker.results(end);
        if (!scenario.signals.empty() || !scenario.limits.empty()) {
            JudgeOptions judge;
            judge.library = options.library;
            judge.settingsFile = settingsFile;
            judge.unitMaxSpeed = scenario.settings.file.unit().maxSpeed;
            judge.points = &points;
            for (const Judgement& j : judgeLine(scenario, judge)) {
                check.results.push_back(judgementResult(j));
            }
        } else if (check.results.empty()) {
            check.error = "nothing to check: no [[expect]], no [[route.signals]] and no "
                          "[[route.limits]]; a check that looks at nothing proves nothing";
        }
    } catch (const std::exception& error) {
        check.error = error.what();
    }
    check.warnings = warnings.str();
    check.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    return check;
}

std::string resultLine(const std::string& source, const ExpectationResult& r) {
    return source + (r.line > 0 ? ":" + std::to_string(r.line) : std::string()) + ": " +
           (r.passed ? "passed" : "FAILED") + ": " + (r.label.empty() ? "" : r.label + ": ") +
           r.expected + ": " + r.happened;
}

JUnitSuite junitSuite(const ScenarioCheck& check) {
    JUnitSuite suite;
    suite.name = check.source;
    suite.seconds = check.seconds;
    suite.error = check.error;
    for (const ExpectationResult& r : check.results) {
        suite.cases.push_back(
            JUnitCase{(r.line > 0 ? "line " + std::to_string(r.line) + ": " : std::string()) +
                          (r.label.empty() ? r.expected : r.label),
                      !r.passed, resultLine(check.source, r)});
    }
    return suite;
}

} // namespace

int runChecks(const CheckOptions& options, std::ostream& out, std::ostream& errors) {
    // Opened before anything runs, so that a bad path stops the check at once.
    std::ofstream junitFile;
    if (!options.junit.empty()) {
        junitFile.open(pathFromUtf8(options.junit), std::ios::binary);
        if (!junitFile) {
            throw std::runtime_error(options.junit + ": cannot write");
        }
    }
    const RunSettings settings(options.settings, errors);
    // A check gives the same result on every run: the unit's random periods are pinned.
    pinRandom();
    std::vector<std::string> paths = scenarioFiles(options.scenarios);
    if (paths.empty()) {
        paths.emplace_back(); // the built-in line
    }
    size_t passed = 0;
    size_t failed = 0;
    size_t broken = 0;
    std::vector<JUnitSuite> suites;
    runInOrder(
        paths.size(), options.jobs,
        [&](size_t i) { return checkScenario(paths[i], options, settings); },
        [&](size_t, const ScenarioCheck& check) {
            out.flush();
            errors << check.warnings;
            errors.flush();
            if (!check.error.empty()) {
                ++broken;
                out << "vantor-sim: error: " << check.error << '\n';
            }
            for (const ExpectationResult& r : check.results) {
                ++(r.passed ? passed : failed);
                out << resultLine(check.source, r) << '\n';
            }
            suites.push_back(junitSuite(check));
        });
    out << passed << " passed, " << failed << " failed";
    if (broken > 0) {
        out << ", " << broken << (broken == 1 ? " scenario" : " scenarios") << " not run";
    }
    out << '\n';
    if (junitFile.is_open() && !(junitFile << junitXml(suites)).flush()) {
        throw std::runtime_error(options.junit + ": cannot write");
    }
    return broken > 0 ? 2 : failed > 0 ? 1 : 0;
}

} // namespace vantor::sim
