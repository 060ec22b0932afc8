#include "layout/layout_planner.h"

#include <algorithm>
#include <cmath>

#include "host/trackside_codes.h"
#include "layout/layout_conflicts.h"
#include "support/text_format.h"

namespace vantor::sim {

namespace {

// A stop signal's layout may lie this far before its place, its stop curve then ending as far
// short of the signal, where another layout leaves it no room at its place. Further back it
// would stand for another signal.
constexpr double kMostShift = 100.0; // m
constexpr double kShiftStep = 1.0;   // m

// The codes of a restriction's second coil, by preference. Codes 85 and 90 alone do nothing
// when the unit has missed the first coil; a lone code-80 coil sets a stop curve at danger; and
// a code-95 restriction stops warning 55 m past its start.
constexpr int32_t kCodePreference[] = {85, 90, 80, 95};

// The codings of a speed, the preferred first.
std::vector<PairCoding> preferredCodings(double speed) {
    std::vector<PairCoding> codings = codingsOf(speed);
    auto rank = [](int32_t code) {
        return std::find(std::begin(kCodePreference), std::end(kCodePreference), code) -
               std::begin(kCodePreference);
    };
    std::stable_sort(codings.begin(), codings.end(), [&](const PairCoding& a, const PairCoding& b) {
        return rank(a.code) < rank(b.code);
    });
    return codings;
}

bool laidByAuthor(const Scenario& scenario, size_t signal) {
    return firstLinked(scenario, signal).has_value();
}

std::vector<size_t> generatedSignals(const Layout& layout) {
    std::vector<size_t> signals;
    for (const SignalLayout& s : layout.signals) {
        if (!s.byAuthor) {
            signals.push_back(s.signal);
        }
    }
    return signals;
}

// The type 1 of each signal to be laid out: it stands at the signal whatever the layout.
std::vector<Laid> stopPoints(const Scenario& base, const Layout& layout) {
    std::vector<Laid> points;
    for (const size_t i : generatedSignals(layout)) {
        for (const Laid& t : stopSignalCore(base, i, 0, 0.0)) {
            if (t.role == Role::StopPoint) {
                points.push_back(t);
            }
        }
    }
    return points;
}

void placeLimits(const Scenario& base, Layout& layout, std::vector<Laid>& laid) {
    std::vector<size_t> order;
    for (size_t i = 0; i < base.limits.size(); ++i) {
        order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return base.limits[a].from < base.limits[b].from; });
    for (const size_t i : order) {
        LimitLayout& limit = layout.limits[i];
        const double speed = base.limits[i].speed;
        const std::vector<double> speeds = codableSpeedsUpTo(speed);
        if (speeds.empty()) {
            const std::vector<double> any = codableSpeedsUpTo(1e9);
            limit.problem = "the unit codes no speed as low as " + shortNumber(speed) +
                            " km/h; the lowest is " + shortNumber(any.back()) + " km/h";
            continue;
        }
        std::optional<std::vector<Laid>> chosen;
        std::string firstConflict;
        for (const double s : speeds) {
            for (const PairCoding& coding : preferredCodings(s)) {
                std::vector<Laid> candidate = limitLayout(base, i, coding);
                const std::optional<std::string> conflict = conflictOf(base, candidate, laid);
                if (!conflict) {
                    chosen = candidate;
                    limit.coding = coding;
                    break;
                }
                if (firstConflict.empty()) {
                    firstConflict = *conflict;
                }
            }
            if (chosen) {
                break;
            }
        }
        if (!chosen) {
            limit.coding = preferredCodings(speeds.front()).front();
            chosen = limitLayout(base, i, *limit.coding);
            limit.problem = firstConflict;
        }
        if (limit.coding->speed < speed) {
            limit.note = limit.coding->speed < speeds.front()
                             ? "each coding of " + shortNumber(speeds.front()) +
                                   " km/h would disturb another layout: " + firstConflict
                             : "the unit codes no " + shortNumber(speed) + " km/h; " +
                                   shortNumber(limit.coding->speed) +
                                   " km/h is the highest it codes below";
        }
        if (chosen->front().position < base.run.startPosition) {
            limit.problem = "its coil pair at " + fixed(chosen->front().position, 2) +
                            " m lies behind the train's start at " +
                            fixed(base.run.startPosition, 1) + " m";
        }
        laid.insert(laid.end(), chosen->begin(), chosen->end());
    }
}

struct Placement {
    std::vector<Laid> laid;
    std::vector<bool> fits; // by signal: its layout found a place
};

// Each signal's layout at its stop distance, in the order of the line, where it disturbs
// nothing laid before it; then the release coils where they disturb nothing.
Placement placeSignals(const Scenario& base, Layout& layout, const std::vector<size_t>& distances,
                       const std::vector<Laid>& fixedLaid) {
    Placement p;
    p.laid = fixedLaid;
    p.fits.assign(base.signals.size(), true);
    std::vector<size_t> order = generatedSignals(layout);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return base.signals[a].position < base.signals[b].position;
    });
    const double earliest = base.run.startPosition + kTakeOverLead;
    std::vector<double> pairEnds(base.signals.size());
    for (const size_t i : order) {
        SignalLayout& signal = layout.signals[i];
        signal.problem.clear();
        std::optional<std::vector<Laid>> chosen;
        std::string firstConflict;
        for (double shift = 0.0; shift <= kMostShift; shift += kShiftStep) {
            std::vector<Laid> core = stopSignalCore(base, i, distances[i], shift);
            if (core.front().position < earliest) {
                if (firstConflict.empty()) {
                    firstConflict = "its layout would begin at " + fixed(core.front().position, 2) +
                                    " m, less than " + shortNumber(kTakeOverLead) +
                                    " m after the train's start";
                }
                break;
            }
            const std::optional<std::string> conflict = conflictOf(base, core, p.laid);
            if (!conflict) {
                chosen = core;
                signal.shift = shift;
                signal.shiftWhy = shift > 0.0 ? firstConflict : "";
                break;
            }
            if (firstConflict.empty()) {
                firstConflict = *conflict;
            }
        }
        if (!chosen) {
            p.fits[i] = false;
            signal.problem = firstConflict;
            signal.shift = 0.0;
            signal.shiftWhy.clear();
            chosen = stopSignalCore(base, i, distances[i], 0.0);
        }
        for (const Laid& t : *chosen) {
            if (t.role == Role::StopPairSecond) {
                pairEnds[i] = t.position;
            }
            if (t.role != Role::StopPoint) {
                p.laid.push_back(t);
            }
        }
    }
    for (const size_t i : order) {
        for (const Laid& coil : releaseCoils(base, i, pairEnds[i])) {
            if (!conflictOf(base, {coil}, p.laid)) {
                p.laid.push_back(coil);
            }
        }
    }
    std::stable_sort(p.laid.begin(), p.laid.end(),
                     [](const Laid& a, const Laid& b) { return a.position < b.position; });
    return p;
}

bool holds(const Judgement& j, double margin) {
    return j.outcome == Outcome::Protected && j.leastMargin && *j.leastMargin >= margin;
}

// Each of these signals' danger approaches on the line as laid.
std::vector<Judgement> judgeSignals(const Scenario& base, const std::vector<Laid>& laid,
                                    const JudgeOptions& options, std::vector<size_t> signals) {
    const Scenario line = withLaid(base, laid);
    JudgeOptions judge = options;
    judge.signalsOnly = std::move(signals);
    judge.limitsOnly = std::vector<size_t>{};
    judge.plots = false;
    std::vector<Judgement> judged = judgeLine(line, judge);
    judged.pop_back(); // the clear run
    return judged;
}

std::string triedText(double distance, const Judgement& j, double margin) {
    std::string text = shortNumber(distance) + " m: " + (j.result.empty() ? j.why : j.result);
    if (j.outcome == Outcome::Protected) {
        text += ", " + fixed(j.leastMargin.value_or(0.0), 1) + " m before it, less than the " +
                shortNumber(margin) + " m asked";
    }
    return text;
}

// The highest whole approach speed below the one that failed at which the signal's layout
// holds, played as the report plays it; none if it holds at none.
std::optional<double> highestHeld(const Scenario& base, const std::vector<Laid>& laid,
                                  const LayoutRequest& request, size_t signal, double failed) {
    int held = 0;
    int fails = static_cast<int>(std::ceil(failed));
    while (fails - held > 1) {
        const int mid = held + (fails - held) / 2;
        JudgeOptions options = request.judge;
        options.speed = {SpeedChoice::By::Given, double(mid)};
        const Judgement j = judgeSignals(base, laid, options, {signal}).front();
        (holds(j, request.margin) ? held : fails) = mid;
    }
    return held > 0 ? std::optional<double>(held) : std::nullopt;
}

// What to say where the frames, at this speed, may measure a spacing laid at the middle of its
// window outside the window: the unit adds up whole frames' runs, up to one frame either way.
std::string frameNote(const Scenario& base, double speed, double spacing, const std::string& what) {
    const std::optional<SpacingWindowInfo> window = windowHolding(spacing);
    if (!window || !(speed > 0.0)) {
        return "";
    }
    const double room = std::min(spacing - window->lower, window->upper - spacing);
    const double run = speed * base.run.stepMs / 3600.0;
    if (run < room) {
        return "";
    }
    const int holding = static_cast<int>(std::ceil(room * 3600.0 / speed)) - 1;
    return "at " + fixed(speed, 1) + " km/h a frame of " + std::to_string(base.run.stepMs) +
           " ms runs " + fixed(run, 2) + " m, and the unit may measure " + what +
           " that much off, beyond the " + fixed(room, 2) + " m its window leaves: frames of " +
           std::to_string(holding) + " ms or less read it right";
}

const Laid* find(const std::vector<Laid>& laid, const Owner& owner, Role role) {
    for (const Laid& t : laid) {
        if (t.owner == owner && t.role == role) {
            return &t;
        }
    }
    return nullptr;
}

void noteFrames(const Scenario& base, const LayoutRequest& request, Layout& layout) {
    for (SignalLayout& s : layout.signals) {
        const Owner owner{Owner::Kind::Signal, s.signal};
        const Laid* coil = find(layout.laid, owner, Role::StopCoil);
        const Laid* start = find(layout.laid, owner, Role::DistanceStart);
        const Laid* code = find(layout.laid, owner, Role::DistanceCode);
        if (coil && start && code) {
            const double speed =
                approachTo(base, request.judge, base.signals[s.signal].position, coil->position)
                    .speed;
            s.frameNote = frameNote(base, speed, code->position - start->position,
                                    "the distance code's spacing");
        }
    }
    for (LimitLayout& l : layout.limits) {
        const Owner owner{Owner::Kind::Limit, l.limit};
        const SpeedLimit& limit = base.limits[l.limit];
        if (const Laid* pair = find(layout.laid, owner, Role::RestrictionPair)) {
            l.frameNote =
                frameNote(base, approachTo(base, request.judge, limit.from, std::nullopt).speed,
                          pair->spacing, "the coil pair's spacing");
        }
        const Laid* end = find(layout.laid, owner, Role::RestrictionEnd);
        if (end && l.frameNote.empty()) {
            l.frameNote =
                frameNote(base, limit.speed, end->spacing, "the spacing of the pair that ends it");
        }
    }
}

} // namespace

Scenario withLaid(const Scenario& base, const std::vector<Laid>& laid) {
    Scenario line = base;
    for (const Laid& l : laid) {
        Transponder t;
        t.position = l.position;
        t.type = l.type;
        t.optional = l.optional;
        t.optionalGiven = true;
        t.label = l.label;
        t.linkedSignal = l.signal;
        line.transponders.push_back(t);
        if (l.pair()) {
            t.position = l.last();
            t.optional = *l.second;
            line.transponders.push_back(t);
        }
    }
    std::stable_sort(
        line.transponders.begin(), line.transponders.end(),
        [](const Transponder& a, const Transponder& b) { return a.position < b.position; });
    return line;
}

Layout planLayout(const Scenario& base, const LayoutRequest& request) {
    Layout layout;
    for (size_t i = 0; i < base.signals.size(); ++i) {
        SignalLayout s;
        s.signal = i;
        s.byAuthor = laidByAuthor(base, i);
        layout.signals.push_back(s);
    }
    for (size_t i = 0; i < base.limits.size(); ++i) {
        layout.limits.push_back({i, std::nullopt, "", ""});
    }
    std::vector<Laid> fixedLaid = stopPoints(base, layout);
    placeLimits(base, layout, fixedLaid);

    const std::vector<size_t> generated = generatedSignals(layout);
    std::vector<size_t> distances(base.signals.size(), 0);
    std::vector<size_t> longest(base.signals.size(), stopDistanceCount() - 1);
    Placement placement;
    for (;;) {
        placement = placeSignals(base, layout, distances, fixedLaid);
        // A longer stop distance that finds no place: the one before is the longest that fits.
        bool back = false;
        for (const size_t i : generated) {
            if (!placement.fits[i] && distances[i] > 0) {
                SignalLayout& s = layout.signals[i];
                s.noRoom =
                    shortNumber(stopDistance(distances[i])) + " m would not fit: " + s.problem;
                --distances[i];
                longest[i] = distances[i];
                s.tried.pop_back();
                back = true;
            }
        }
        if (back) {
            continue;
        }
        if (generated.empty()) {
            break;
        }
        bool longer = false;
        for (const Judgement& j : judgeSignals(base, placement.laid, request.judge, generated)) {
            SignalLayout& s = layout.signals[j.index];
            s.judgement = j;
            s.holds = holds(j, request.margin);
            if (!s.holds && j.outcome != Outcome::NotJudged &&
                distances[j.index] < longest[j.index]) {
                s.tried.push_back(triedText(stopDistance(distances[j.index]), j, request.margin));
                ++distances[j.index];
                longer = true;
            }
        }
        if (!longer) {
            break;
        }
    }
    for (const size_t i : generated) {
        SignalLayout& s = layout.signals[i];
        s.distance = distances[i];
        if (!s.holds && s.judgement && s.judgement->outcome != Outcome::NotJudged) {
            s.slower = highestHeld(base, placement.laid, request, i, s.judgement->speed);
            s.slowerChecked = true;
        }
    }
    layout.laid = placement.laid;
    noteFrames(base, request, layout);
    return layout;
}

} // namespace vantor::sim
