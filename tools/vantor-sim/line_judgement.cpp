#include "line_judgement.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "judgement_watch.h"
#include "parallel_runs.h"
#include "svg_plot.h"
#include "text_format.h"
#include "train.h"
#include "transponders/coil_tables.h"

namespace vantor::sim {

namespace {

// From 220 km/h on the unit brakes every train.
constexpr double kTopSpeed = 220.0; // km/h
// An approach to a signal ends this far past it when nothing stands the train.
constexpr double kSignalRunOut = 200.0; // m
// The signal's first transponder must lie this far beyond where the bench takes the train over,
// so that every spacing the unit measures over its 25 m is run at the approach speed.
constexpr double kTakeOverLead = 30.0; // m
// The plot of an approach starts a little before the bench takes the train over.
constexpr double kPlotLead = 100.0; // m

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

struct Task {
    Judgement judgement;
    Play play;
    // The same approach again with the signal before this one at danger until the train draws
    // up to it: the unit may carry that signal's stop distance over.
    std::optional<Play> afterStop;
    std::string afterStopText; // "after signal S1 cleared only as the train drew up to it"
};

// The approach speed to a place, and where the bench takes the train over for it: far enough
// back that any layout the unit knows acts on the train, and 30 m before the first transponder
// linked to the signal.
void placeApproach(const Scenario& scenario, const JudgeOptions& options, double point,
                   std::optional<double> firstLinked, Task& task) {
    const double emergency = scenario.vehicle.emergencyDeceleration;
    auto speedFrom = [&](double from) {
        switch (options.speed.by) {
        case SpeedChoice::By::Given:
            return options.speed.given;
        case SpeedChoice::By::Max:
            return options.unitMaxSpeed;
        case SpeedChoice::By::Line:
            break;
        }
        return scenario.driver.profile.empty()
                   ? options.unitMaxSpeed
                   : highestProfileSpeed(scenario.driver, from, point);
    };
    const double speed = speedFrom(point - longestReach());
    double from = point - longestReach() - brakingDistance(speed, emergency);
    const double speedThere = speedFrom(from);
    from = point - longestReach() - brakingDistance(std::max(speed, speedThere), emergency);
    if (firstLinked) {
        from = std::min(from, *firstLinked - kTakeOverLead);
    }
    task.judgement.speed = std::max(speed, speedThere);
    task.judgement.takeOver = from;
    Approach approach;
    approach.from = from;
    approach.speed = task.judgement.speed;
    task.play.approach = approach;
}

std::vector<Task> plan(const Scenario& scenario, const JudgeOptions& options) {
    std::vector<Task> tasks;
    for (size_t i = 0; i < scenario.signals.size(); ++i) {
        const Signal& s = scenario.signals[i];
        Task task;
        task.judgement.kind = Judgement::Kind::Signal;
        task.judgement.index = i;
        task.judgement.line = s.line;
        task.judgement.subject = "signal " + s.name + " at " + fixed(s.position, 1) + " m";
        task.play.aspects = AspectRule{true, i};
        task.play.attentive = true;
        std::optional<double> firstLinked;
        for (const Transponder& t : scenario.transponders) {
            if (t.linkedSignal == i) {
                firstLinked = t.position;
                break;
            }
        }
        placeApproach(scenario, options, s.position, firstLinked, task);
        task.play.approach->until = s.position + kSignalRunOut;
        task.play.approach->driveOn = Approach::DriveOn::AfterRestriction;
        std::optional<size_t> before;
        for (size_t k = 0; k < scenario.signals.size(); ++k) {
            const double at = scenario.signals[k].position;
            if (at < s.position && (!before || at > scenario.signals[*before].position)) {
                before = k;
            }
        }
        if (before) {
            // Taken over past the signal before, once the train has drawn up to it and gone on.
            Play play = task.play;
            play.aspects.clearsNear = before;
            play.approach->from =
                std::max(play.approach->from, scenario.signals[*before].position);
            task.afterStop = play;
            task.afterStopText = "after signal " + scenario.signals[*before].name +
                                 " cleared only as the train drew up to it";
        }
        tasks.push_back(task);
    }
    for (size_t i = 0; i < scenario.limits.size(); ++i) {
        const SpeedLimit& l = scenario.limits[i];
        Task task;
        task.judgement.kind = Judgement::Kind::Limit;
        task.judgement.index = i;
        task.judgement.line = l.line;
        task.judgement.subject = "limit " + shortNumber(l.speed) + " km/h from " + fixed(l.from, 1) +
                                 " to " + fixed(l.to, 1) + " m";
        task.play.aspects = AspectRule{true, std::nullopt};
        task.play.attentive = true;
        placeApproach(scenario, options, l.from, std::nullopt, task);
        task.play.approach->until = l.to;
        task.play.approach->driveOn = Approach::DriveOn::Always;
        tasks.push_back(task);
    }
    Task clear;
    clear.judgement.kind = Judgement::Kind::ClearRun;
    clear.judgement.subject = "clear run";
    clear.play.aspects = AspectRule{true, std::nullopt};
    clear.play.attentive = true;
    tasks.push_back(clear);
    return tasks;
}

// A train this much below a curve's floor runs under it.
constexpr double kUnderFloor = 1.0; // km/h

Judgement playOnce(const Scenario& scenario, const JudgeOptions& options, const Task& task,
                   std::optional<double>& floor) {
    Judgement j = task.judgement;
    const std::optional<Approach>& approach = task.play.approach;
    if (approach && !(approach->speed > 0.0)) {
        j.outcome = Outcome::NotJudged;
        j.why = "the driver's profile is 0 km/h here: give --speed";
        return j;
    }
    const Train train(scenario.vehicle, scenario.gradients);
    const double tolerance = train.highestAcceleration() * scenario.run.stepMs / 1000.0;
    JudgementWatch watch(scenario, j, approach, tolerance);
    Scenario titled = scenario;
    titled.name = scenario.name + ": " + j.subject +
                  (approach ? ", approached at " + fixed(approach->speed, 1) + " km/h"
                            : std::string(", every signal cleared"));
    SvgPlot plot(titled);
    FromPlace plotted(plot, approach ? approach->from - kPlotLead : scenario.run.startPosition);
    std::vector<RunObserver*> observers{&watch};
    if (options.plots) {
        observers.push_back(&plotted);
    }
    const std::unique_ptr<PluginLibrary> plugin =
        loadLibraryCopy(options.library, options.settingsFile);
    const RunEnd end = runScenario(scenario, *plugin, observers, {}, &task.play);
    watch.finish(end);
    floor = watch.floorThatStoodIt();
    if (options.plots) {
        j.svg = plot.render();
    }
    return j;
}

// A danger approach that a curve with a floor stood is played again just under that floor: the
// slower train is the worse case then, and the report gives whichever of the two fails.
Judgement playUnderFloor(const Scenario& scenario, const JudgeOptions& options,
                         const Task& task) {
    std::optional<double> floor;
    Judgement j = playOnce(scenario, options, task, floor);
    if (!floor) {
        return j;
    }
    Task slower = task;
    slower.judgement.speed = *floor - kUnderFloor;
    slower.play.approach->speed = slower.judgement.speed;
    std::optional<double> again;
    Judgement under = playOnce(scenario, options, slower, again);
    const std::string why = "below the " + shortNumber(*floor) + " km/h floor of the curve that " +
                            "stood the train at " + fixed(j.speed, 1) + " km/h";
    if (under.outcome != Outcome::Protected) {
        under.why = why + (under.why.empty() ? "" : ": " + under.why);
        return under;
    }
    j.why += (j.why.empty() ? "" : "; ") + std::string("and at ") + fixed(under.speed, 1) +
             " km/h, " + why + ": " + under.result;
    return j;
}

// Each way of approaching: the report gives the first that fails, or the plain approach.
Judgement play(const Scenario& scenario, const JudgeOptions& options, const Task& task) {
    Judgement j = playUnderFloor(scenario, options, task);
    if (!task.afterStop || j.outcome != Outcome::Protected) {
        return j;
    }
    Task again = task;
    again.play = *task.afterStop;
    again.judgement.takeOver = again.play.approach->from;
    Judgement after = playUnderFloor(scenario, options, again);
    if (after.outcome != Outcome::Protected) {
        after.why = task.afterStopText + (after.why.empty() ? "" : ": " + after.why);
        return after;
    }
    j.why += (j.why.empty() ? "" : "; ") + std::string("and ") + task.afterStopText + ": " +
             after.result;
    return j;
}

} // namespace

const char* outcomeText(Outcome outcome) {
    switch (outcome) {
    case Outcome::Protected:
        return "protected";
    case Outcome::Unprotected:
        return "UNPROTECTED";
    case Outcome::NotJudged:
        return "NOT JUDGED";
    case Outcome::NeedlessBrake:
        return "NEEDLESS BRAKE";
    }
    return "";
}

SpeedChoice parseSpeedChoice(const std::string& text) {
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

double longestReach() {
    const auto& distances = coils::kStopDistances;
    return std::max(*std::max_element(std::begin(distances), std::end(distances)),
                    coils::kPairDistance);
}

double brakingDistance(double speed, double deceleration) {
    // v² = 7.2 a s with v in km/h, a in km/h/s and s in m.
    return deceleration > 0.0 ? speed * speed / (7.2 * deceleration)
                              : std::numeric_limits<double>::infinity();
}

std::vector<Judgement> judgeLine(const Scenario& scenario, const JudgeOptions& options) {
    const std::vector<Task> tasks = plan(scenario, options);
    std::vector<Judgement> judgements;
    runInOrder(
        tasks.size(), options.jobs, [&](size_t i) { return play(scenario, options, tasks[i]); },
        [&](size_t, const Judgement& j) { judgements.push_back(j); });
    return judgements;
}

bool linePasses(const std::vector<Judgement>& judgements) {
    return std::all_of(judgements.begin(), judgements.end(),
                       [](const Judgement& j) { return j.outcome == Outcome::Protected; });
}

} // namespace vantor::sim
