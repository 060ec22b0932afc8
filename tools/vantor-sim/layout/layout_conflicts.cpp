#include "layout/layout_conflicts.h"

#include <algorithm>

#include "host/trackside_codes.h"
#include "support/text_format.h"
#include "transponders/coil_tables.h"

namespace vantor::sim {

namespace {

// One transponder as the unit meets it: a coil pair is two.
struct Met {
    double position = 0.0; // m
    int32_t type = 0;
    int32_t code = 0; // the optional value: a coil's code
    // Which layout it belongs to: a signal's, a limit's restriction or its end; none for the
    // author's own, which the author answers for among themselves.
    std::optional<Owner> owner;
    bool end = false;
    bool candidate = false;
    const Laid* laid = nullptr; // none for the author's
    int line = 0;               // the author's, in the file

    bool coil(int32_t c) const { return type == 70 && code == c; }
    bool anyCoil() const { return type == 70; }
    bool stop() const { return type == 50 || type == 55; }
    // Releases the stop curves of the coil state: a type 1 or 61, a code-103 coil.
    bool release() const { return type == 1 || type == 61 || coil(coils::kReleaseCode); }
    bool sameLayout(const Met& other) const {
        return owner && other.owner && *owner == *other.owner && end == other.end;
    }
};

std::string nameOf(const Scenario& scenario, const Met& m) {
    const std::string what =
        m.type == 70 ? "coil " + std::to_string(m.code) : "type " + std::to_string(m.type);
    std::string whose;
    if (m.owner && m.owner->kind == Owner::Kind::Signal) {
        whose = " of " + scenario.signals[m.owner->index].name;
    } else if (m.owner) {
        whose = " of the limit from " + fixed(scenario.limits[m.owner->index].from, 1) + " m";
    } else {
        whose = " on line " + std::to_string(m.line);
    }
    return what + whose + " at " + fixed(m.position, 2) + " m";
}

void meet(const Laid& t, bool candidate, std::vector<Met>& out) {
    Met m;
    m.position = t.position;
    m.type = t.type;
    m.code = t.optional;
    m.owner = t.owner;
    m.end = t.role == Role::RestrictionEnd;
    m.candidate = candidate;
    m.laid = &t;
    out.push_back(m);
    if (t.pair()) {
        m.position = t.last();
        m.code = *t.second;
        out.push_back(m);
    }
}

// What b, met within the coil memory after a, would do other than its layout means; empty when
// nothing.
std::string within(const Met& a, const Met& b) {
    const bool pairCode = b.anyCoil() && pairCoilCode(b.code);
    if (a.coil(90) && (pairCode || b.stop())) {
        return pairCode ? "would pair with the code-90 coil"
                        : "would read the code-90 coil's spacing (a coil cut-out at 2 m)";
    }
    if (a.coil(coils::kSecondaryPairCode) &&
        (b.coil(80) || b.release() || b.type == 0 || b.stop())) {
        return "would act on the second stop curve of the code-95 coil";
    }
    if (a.coil(85) && b.stop()) {
        return "would have its stop curve suppressed by the code-85 coil";
    }
    if (a.stop() && (b.coil(80) || b.coil(85) || b.coil(90) || b.type == 0 || b.stop())) {
        return "would read the type 50 before it (a stop pair, a distance code, a fixed check or "
               "the code-80 coil's 89 m point)";
    }
    return "";
}

} // namespace

std::optional<std::string> conflictOf(const Scenario& scenario, const std::vector<Laid>& candidate,
                                      const std::vector<Laid>& laid) {
    std::vector<Met> met;
    for (const Laid& t : candidate) {
        meet(t, true, met);
    }
    for (const Laid& t : laid) {
        meet(t, false, met);
    }
    for (const Transponder& t : scenario.transponders) {
        Met m;
        m.position = t.position;
        m.type = t.type;
        m.code = t.optional;
        m.line = t.line;
        met.push_back(m);
    }
    std::stable_sort(met.begin(), met.end(),
                     [](const Met& a, const Met& b) { return a.position < b.position; });
    auto concerns = [](const Met& a, const Met& b) {
        return (a.candidate || b.candidate) && (a.owner || b.owner) && !a.sameLayout(b);
    };
    for (size_t i = 0; i < met.size(); ++i) {
        for (size_t k = i + 1; k < met.size() && met[k].position - met[i].position <= kCoilMemory;
             ++k) {
            if (!concerns(met[i], met[k])) {
                continue;
            }
            const std::string what = within(met[i], met[k]);
            if (!what.empty()) {
                return nameOf(scenario, met[k]) + " " + what + ": " + nameOf(scenario, met[i]);
            }
        }
    }
    // Within a stop signal's layout, from its coil to its stop pair, a transponder of another
    // breaks the stop distance or the pair; from its coil to the signal, a release frees its
    // curves when the other signal clears.
    struct Span {
        const Met* coil = nullptr;
        double pairEnd = 0.0; // m
        double signal = 0.0;  // m
    };
    std::vector<Span> spans;
    for (const Met& m : met) {
        if (m.laid && m.laid->role == Role::StopCoil) {
            spans.push_back({&m, m.position, scenario.signals[m.owner->index].position});
        }
    }
    for (const Met& m : met) {
        for (Span& span : spans) {
            if (m.laid && m.laid->role == Role::StopPairSecond && m.owner == span.coil->owner) {
                span.pairEnd = m.position;
            }
        }
    }
    for (const Span& span : spans) {
        const Met& x = *span.coil;
        const double last = std::max(span.pairEnd, span.signal);
        for (auto m = std::lower_bound(met.begin(), met.end(), x.position,
                                       [](const Met&a, double at) { return a.position < at; });
             m != met.end() && m->position <= last; ++m) {
            if (!concerns(x, *m)) {
                continue;
            }
            const bool inside = m->position <= span.pairEnd &&
                                (m->type == 0 || m->stop() || m->anyCoil() || m->release());
            if (inside || (m->release() && m->position < span.signal)) {
                return nameOf(scenario, *m) + " lies within " +
                       scenario.signals[x.owner->index].name + "'s layout, from its coil at " +
                       fixed(x.position, 2) + " m to the signal" +
                       (inside ? "" : ", and would release its curves");
            }
        }
    }
    // A coil pair of one code ends both of that code's restrictions: two restrictions of one
    // code must not be in force at once.
    struct Restriction {
        Owner owner;
        int32_t code = 0;
        double from = 0.0; // m: its pair's first coil
        double to = 0.0;   // m: its end's last coil
        bool candidate = false;
    };
    std::vector<Restriction> restrictions;
    for (const Met& m : met) {
        if (m.laid && m.laid->role == Role::RestrictionPair && m.position == m.laid->position) {
            Restriction r{*m.owner, *m.laid->second, m.position, m.position, m.candidate};
            for (const Met& e : met) {
                if (e.laid && e.owner == m.owner && e.laid->role == Role::RestrictionEnd) {
                    r.to = std::max(r.to, e.position);
                }
            }
            restrictions.push_back(r);
        }
    }
    for (const Restriction& a : restrictions) {
        for (const Restriction& b : restrictions) {
            if (!(a.owner == b.owner) && (a.candidate || b.candidate) && a.code == b.code &&
                a.from <= b.from && b.from <= a.to + kCoilMemory) {
                return "the code-" + std::to_string(a.code) + " restrictions of the limits from " +
                       fixed(scenario.limits[a.owner.index].from, 1) + " m and from " +
                       fixed(scenario.limits[b.owner.index].from, 1) +
                       " m would be in force at once, and the end of one ends both";
            }
        }
    }
    return std::nullopt;
}

} // namespace vantor::sim
