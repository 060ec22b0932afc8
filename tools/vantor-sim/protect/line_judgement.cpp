#include "protect/line_judgement.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "drive/line_run.h"
#include "drive/parallel_runs.h"
#include "drive/train.h"
#include "patterns/lowest_pattern.h"
#include "protect/judgement_watch.h"
#include "report/svg_plot.h"
#include "support/text_format.h"
#include "transponders/coil_tables.h"

namespace vantor::sim {

namespace {

// From 220 km/h on the unit brakes every train.
constexpr double kTopSpeed = LowestPattern::kCap; // km/h
// An approach to a signal ends this far past it when nothing stands the train.
constexpr double kSignalRunOut = 200.0; // m
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

void placeApproach(const Scenario& scenario, const JudgeOptions& options, double point,
                   std::optional<double> first, Task& task) {
    const ApproachPlace place = approachTo(scenario, options, point, first);
    task.judgement.speed = place.speed;
    task.judgement.takeOver = place.from;
    Approach approach;
    approach.from = place.from;
    approach.speed = place.speed;
    task.play.approach = approach;
}

bool asked(const std::optional<std::vector<size_t>>& only, size_t index) {
    return !only || std::find(only->begin(), only->end(), index) != only->end();
}

std::vector<Task> plan(const Scenario& scenario, const JudgeOptions& options) {
    std::vector<Task> tasks;
    for (size_t i = 0; i < scenario.signals.size(); ++i) {
        if (!asked(options.signalsOnly, i)) {
            continue;
        }
        const Signal& s = scenario.signals[i];
        Task task;
        task.judgement.kind = Judgement::Kind::Signal;
        task.judgement.index = i;
        task.judgement.line = s.line;
        task.judgement.subject = "signal " + s.name + " at " + fixed(s.position, 1) + " m";
        task.play.aspects = AspectRule{true, i};
        task.play.attentive = true;
        task.play.followsProfile = true;
        placeApproach(scenario, options, s.position, firstLinked(scenario, i), task);
        task.play.approach->until = s.position + kSignalRunOut;
        task.play.approach->driveOn = Approach::DriveOn::AfterRestriction;
        std::optional<size_t> before;
        for (size_t k = 0; k < scenario.signals.size(); ++k) {
            const double at = scenario.signals[k].position;
            if (at < s.position && (!before || at > scenario.signals[*before].position)) {
                before = k;
            }
        }
        // Only a distance code in the layout of the signal before can leave a stop distance to
        // carry over; without one the approach is the plain one over again.
        const bool distanceCodeBefore =
            before &&
            std::any_of(scenario.transponders.begin(), scenario.transponders.end(),
                        [&](const Transponder& t) {
                            return t.type == 0 && t.position < s.position &&
                                   t.position >=
                                       firstLinked(scenario, *before)
                                           .value_or(scenario.signals[*before].position) &&
                                   t.position <= scenario.signals[*before].position;
                        });
        if (distanceCodeBefore) {
            // Taken over past the signal before, once the train has drawn up to it and gone on.
            Play play = task.play;
            play.aspects.clearsNear = before;
            play.aspects.clearsFrom =
                firstLinked(scenario, *before).value_or(scenario.signals[*before].position);
            // A driver stopped at a signal that clears goes on under the curve it left.
            play.watchesCurvesFrom = play.aspects.clearsFrom;
            play.approach->from = std::max(play.approach->from, scenario.signals[*before].position);
            task.afterStop = play;
            task.afterStopText = "after signal " + scenario.signals[*before].name +
                                 " cleared only as the train drew up to it";
        }
        tasks.push_back(task);
    }
    for (size_t i = 0; i < scenario.limits.size(); ++i) {
        if (!asked(options.limitsOnly, i)) {
            continue;
        }
        const SpeedLimit& l = scenario.limits[i];
        Task task;
        task.judgement.kind = Judgement::Kind::Limit;
        task.judgement.index = i;
        task.judgement.line = l.line;
        task.judgement.subject = "limit " + shortNumber(l.speed) + " km/h from " +
                                 fixed(l.from, 1) + " to " + fixed(l.to, 1) + " m";
        task.play.aspects = AspectRule{true, std::nullopt};
        task.play.attentive = true;
        task.play.followsProfile = true;
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
    clear.play.followsProfile = true;
    tasks.push_back(clear);
    for (Task& task : tasks) {
        task.play.points = options.points;
        if (task.afterStop) {
            task.afterStop->points = options.points;
        }
    }
    return tasks;
}

// A train this much below a curve's floor runs under it.
constexpr double kUnderFloor = 1.0; // km/h

// Plays a play watched by these observers, the judgement's watch among them, and says how the
// run ended: from the start of the line, or from a saved state of a run that drove there.
using Runner =
    std::function<RunEnd(const Play&, const std::vector<RunObserver*>&, JudgementWatch&)>;

Judgement playOnce(const Scenario& scenario, const JudgeOptions& options, const Judgement& base,
                   const Play& play, const Runner& run, std::optional<double>& floor) {
    Judgement j = base;
    const std::optional<Approach>& approach = play.approach;
    j.speed = approach ? approach->speed : 0.0;
    j.takeOver = approach ? std::optional<double>(approach->from) : std::nullopt;
    if (approach && !(approach->speed > 0.0)) {
        j.outcome = Outcome::NotJudged;
        j.why = "the driver's profile is 0 km/h here: give --speed";
        return j;
    }
    const Train train(scenario.vehicle, scenario.gradients);
    const double tolerance = train.highestAcceleration() * scenario.run.stepMs / 1000.0;
    JudgementWatch watch(scenario, j, approach, tolerance, play.aspects.clearsNear.has_value());
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
    watch.finish(run(play, observers, watch));
    j.leastMargin = j.margin;
    floor = watch.floorThatStoodIt();
    if (options.plots) {
        j.svg = plot.render();
    }
    return j;
}

std::optional<double> leastOf(std::optional<double> a, std::optional<double> b) {
    return a && b ? std::optional<double>(std::min(*a, *b)) : a ? a : b;
}

// The most a train can run at place, km/h, by the declared limits that hold there or end before
// it: at a limit's speed plus one frame's gain where it ends, then the train's strongest
// acceleration. Where no limit bounds it, no bound.
double reachableAfterLimits(const Scenario& scenario, double place) {
    const Train train(scenario.vehicle, scenario.gradients);
    const double acceleration = train.highestAcceleration();         // km/h/s
    const double gain = acceleration * scenario.run.stepMs / 1000.0; // km/h
    double most = std::numeric_limits<double>::infinity();
    for (const SpeedLimit& l : scenario.limits) {
        if (l.from > place) {
            continue;
        }
        const double atEnd = l.speed + gain;
        const double run = std::max(0.0, place - l.to); // m
        // v² = v0² + 2·a·d, with v in km/h, a in km/h/s and d in m.
        most = std::min(most, std::sqrt(atEnd * atEnd + 2.0 * acceleration * 3.6 * run));
    }
    return most;
}

// A danger approach that a curve with a floor stood is played again just under that floor: the
// slower train is the worse case then, and the report gives whichever of the two fails.
Judgement playUnderFloor(const Scenario& scenario, const JudgeOptions& options,
                         const Judgement& base, const Play& asPlaced, const Runner& run) {
    std::optional<double> floor;
    Play play = asPlaced;
    Judgement j = playOnce(scenario, options, base, play, run, floor);
    if (j.slowedBeforeLayout) {
        // A train that kept just to the restriction and then took full power reaches the
        // signal's layout faster than the one the unit braked. Taken over 30 m before the
        // layout's first transponder and held there at the approach speed, or at the most a
        // train can have at the signal itself, it runs through the layout at least as fast as
        // any train could.
        const std::string slowed = j.why;
        const double heldBy = *firstLinked(scenario, base.index) - kTakeOverLead;
        const double signal = scenario.signals[base.index].position;
        play.approach->speed =
            std::min(play.approach->speed, reachableAfterLimits(scenario, signal));
        const double frameRun = play.approach->speed * scenario.run.stepMs / 3600.0; // m
        play.approach->from = heldBy - frameRun;
        j = playOnce(scenario, options, base, play, run, floor);
        j.why = "taken over again at " + fixed(play.approach->from, 1) + " m, " +
                fixed(play.approach->speed, 1) + " km/h, as " + slowed +
                (j.why.empty() ? "" : "; " + j.why);
    }
    if (!floor) {
        return j;
    }
    Play slower = play;
    slower.approach->speed = *floor - kUnderFloor;
    std::optional<double> again;
    Judgement under = playOnce(scenario, options, base, slower, run, again);
    const std::string why = "below the " + shortNumber(*floor) + " km/h floor of the curve that " +
                            "stood the train at " + fixed(j.speed, 1) + " km/h";
    if (under.outcome != Outcome::Protected) {
        under.why = why + (under.why.empty() ? "" : ": " + under.why);
        return under;
    }
    j.why += (j.why.empty() ? "" : "; ") + std::string("and at ") + fixed(under.speed, 1) +
             " km/h, " + why + ": " + under.result;
    j.leastMargin = leastOf(j.leastMargin, under.leastMargin);
    return j;
}

// Of the ways of approaching, the report gives the first that fails, or the plain approach.
Judgement combined(const Task& task, Judgement plain, const std::optional<Judgement>& after) {
    if (!after || plain.outcome != Outcome::Protected) {
        return plain;
    }
    if (after->outcome != Outcome::Protected) {
        Judgement j = *after;
        j.why = task.afterStopText + (j.why.empty() ? "" : ": " + j.why);
        return j;
    }
    plain.why += (plain.why.empty() ? "" : "; ") + std::string("and ") + task.afterStopText + ": " +
                 after->result;
    plain.leastMargin = leastOf(plain.leastMargin, after->leastMargin);
    return plain;
}

// Where a play first differs from the clear run, less the lead of its plot: from there on it
// must be played on its own.
double branchPlace(const Scenario& scenario, const Play& play) {
    double place = play.approach->from;
    for (const std::optional<size_t>& signal : {play.aspects.atDanger, play.aspects.clearsNear}) {
        if (!signal) {
            continue;
        }
        place = std::min({place, firstLinked(scenario, *signal).value_or(place),
                          scenario.signals[*signal].position - kDrawnUp});
    }
    return place - kPlotLead - 1.0;
}

struct Played {
    size_t task = 0;
    bool afterStop = false; // the play of task.afterStop, not the plain one
    Judgement judgement;
};

// Each play from the start of the line, on a library copy of its own.
Judgement replayed(const Scenario& scenario, const JudgeOptions& options, const Task& task,
                   const Play& play) {
    const Runner fromStart = [&](const Play& p, const std::vector<RunObserver*>& observers,
                                 JudgementWatch&) {
        const std::unique_ptr<PluginLibrary> plugin =
            loadLibraryCopy(options.library, options.settingsFile);
        return runScenario(scenario, *plugin, observers, {}, &p);
    };
    return playUnderFloor(scenario, options, task.judgement, play, fromStart);
}

// One worker's share: it drives the clear run once and branches each of its plays off it where
// the play first differs, going back to the saved state after each. The clear run's judgement
// comes from worker 0.
std::vector<Played> driveAndBranch(const Scenario& scenario, const JudgeOptions& options,
                                   const std::vector<Task>& tasks, size_t worker, size_t workers) {
    std::vector<std::pair<double, Played>> branches;
    for (size_t i = 0; i + 1 < tasks.size(); ++i) {
        if (i % workers != worker) {
            continue;
        }
        branches.push_back({branchPlace(scenario, tasks[i].play), {i, false, {}}});
        if (tasks[i].afterStop) {
            branches.push_back({branchPlace(scenario, *tasks[i].afterStop), {i, true, {}}});
        }
    }
    std::stable_sort(branches.begin(), branches.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    const Task& clear = tasks.back();
    Played clearRun{tasks.size() - 1, false, clear.judgement};
    const Train train(scenario.vehicle, scenario.gradients);
    JudgementWatch clearWatch(scenario, clearRun.judgement, std::nullopt,
                              train.highestAcceleration() * scenario.run.stepMs / 1000.0);
    Scenario titled = scenario;
    titled.name = scenario.name + ": clear run, every signal cleared";
    SvgPlot clearPlot(titled);
    std::vector<RunObserver*> prefixObservers{&clearWatch};
    if (options.plots && worker == 0) {
        prefixObservers.push_back(&clearPlot);
    }
    const std::unique_ptr<PluginLibrary> plugin =
        loadLibraryCopy(options.library, options.settingsFile);
    LineRun prefix(scenario, *plugin, prefixObservers, &clear.play);
    LineRun::Checkpoint checkpoint;
    const Runner fromCheckpoint = [&](const Play& p, const std::vector<RunObserver*>& observers,
                                      JudgementWatch& watch) {
        prefix.restore(checkpoint);
        prefix.branch(p, observers);
        watch.continueFrom(clearWatch);
        return prefix.runOut();
    };
    std::vector<Played> results;
    bool driving = true; // the clear run has not ended yet
    for (auto& [place, played] : branches) {
        const Task& task = tasks[played.task];
        const Play& play = played.afterStop ? *task.afterStop : task.play;
        driving = driving && place > scenario.run.startPosition && prefix.runTo(place);
        if (!driving) {
            played.judgement = replayed(scenario, options, task, play);
        } else {
            prefix.save(checkpoint);
            played.judgement =
                playUnderFloor(scenario, options, task.judgement, play, fromCheckpoint);
            prefix.restore(checkpoint);
            prefix.branch(clear.play, prefixObservers);
        }
        results.push_back(std::move(played));
    }
    if (worker == 0) {
        clearWatch.finish(prefix.finish());
        if (options.plots) {
            clearRun.judgement.svg = clearPlot.render();
        }
        results.push_back(std::move(clearRun));
    }
    return results;
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
                                 ": expected line, max or a speed above 0 and below " +
                                 shortNumber(kTopSpeed) + " km/h");
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

ApproachPlace approachTo(const Scenario& scenario, const JudgeOptions& options, double point,
                         std::optional<double> first) {
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
        return scenario.driver.profile.empty() ? options.unitMaxSpeed
                                               : highestProfileSpeed(scenario.driver, from, point);
    };
    const double speed = speedFrom(point - longestReach());
    double from = point - longestReach() - brakingDistance(speed, emergency);
    const double speedThere = speedFrom(from);
    from = point - longestReach() - brakingDistance(std::max(speed, speedThere), emergency);
    if (first) {
        from = std::min(from, *first - kTakeOverLead);
    }
    return {from, std::max(speed, speedThere)};
}

std::vector<Judgement> judgeLine(const Scenario& scenario, const JudgeOptions& options) {
    const std::vector<Task> tasks = plan(scenario, options);
    std::vector<Judgement> plain(tasks.size());
    std::vector<std::optional<Judgement>> after(tasks.size());
    if (options.replayEach) {
        runInOrder(
            tasks.size(), options.jobs,
            [&](size_t i) {
                std::pair<Judgement, std::optional<Judgement>> both{
                    replayed(scenario, options, tasks[i], tasks[i].play), std::nullopt};
                if (tasks[i].afterStop) {
                    both.second = replayed(scenario, options, tasks[i], *tasks[i].afterStop);
                }
                return both;
            },
            [&](size_t i, const std::pair<Judgement, std::optional<Judgement>>& both) {
                plain[i] = both.first;
                after[i] = both.second;
            });
    } else {
        const size_t workers = std::max<size_t>(1, std::min<size_t>(options.jobs, tasks.size()));
        runInOrder(
            workers, options.jobs,
            [&](size_t w) { return driveAndBranch(scenario, options, tasks, w, workers); },
            [&](size_t, const std::vector<Played>& played) {
                for (const Played& p : played) {
                    if (p.afterStop) {
                        after[p.task] = p.judgement;
                    } else {
                        plain[p.task] = p.judgement;
                    }
                }
            });
    }
    std::vector<Judgement> judgements;
    for (size_t i = 0; i < tasks.size(); ++i) {
        judgements.push_back(combined(tasks[i], plain[i], after[i]));
    }
    return judgements;
}

bool linePasses(const std::vector<Judgement>& judgements) {
    return std::all_of(judgements.begin(), judgements.end(),
                       [](const Judgement& j) { return j.outcome == Outcome::Protected; });
}

} // namespace vantor::sim
