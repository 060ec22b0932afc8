#include "scenario/expectation_parser.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <span>

#include "scenario/panel_names.h"
#include "scenario/table_reader.h"
#include "support/text_format.h"

namespace vantor::sim {

namespace {

constexpr std::array<const char*, 6> kWhatKeys = {"stop_before",   "brake",           "lamp",
                                                  "pattern_speed", "pattern_display", "sound"};
constexpr std::array<const char*, 3> kPlaceKeys = {"at", "from", "to"};
constexpr std::array<const char*, 3> kTimeKeys = {"at_time", "from_time", "to_time"};

// Panel 13 repeats the pattern lamp and panel 17 is the spare lamp: taken by index.
constexpr NamedIndex kOtherLamps[] = {{13, "panel 13"}, {17, "panel 17"}};

template <size_t N> bool hasAny(const TableReader& reader, const std::array<const char*, N>& keys) {
    return std::any_of(keys.begin(), keys.end(), [&](const char* key) { return reader.has(key); });
}

ExpectWindow readWindow(TableReader& reader) {
    ExpectWindow w;
    const bool places = hasAny(reader, kPlaceKeys);
    const bool times = hasAny(reader, kTimeKeys);
    if (places && times) {
        reader.failTable("give places (at, from, to) or times (at_time, from_time, to_time), "
                         "not both");
    }
    if (!places && !times) {
        return w;
    }
    w.by = places ? ExpectWindow::By::Position : ExpectWindow::By::Time;
    const auto& keys = places ? kPlaceKeys : kTimeKeys;
    auto read = [&](const char* key) -> std::optional<double> {
        if (!reader.has(key)) {
            return std::nullopt;
        }
        const double value = reader.number(key, 0.0);
        if (times) {
            requireNonNegative(reader, key, value);
        } else {
            requireWithin(reader, key, value, kPositionBounds);
        }
        return value;
    };
    if (reader.has(keys[0])) {
        if (reader.has(keys[1]) || reader.has(keys[2])) {
            reader.failTable(std::string("'") + keys[0] + "' stands alone: give '" + keys[0] +
                             "', or '" + keys[1] + "' and '" + keys[2] + "'");
        }
        w.single = true;
        w.from = read(keys[0]);
        return w;
    }
    w.from = read(keys[1]);
    w.to = read(keys[2]);
    if (w.from && w.to && *w.to < *w.from) {
        reader.fail(*reader.find(keys[2]), keys[2],
                    std::string("must not lie before '") + keys[1] + "'");
    }
    return w;
}

// A lamp or a sound by its name or its index, from any of the lists.
void readNamed(TableReader& reader, const char* key,
               std::initializer_list<std::span<const NamedIndex>> lists, const std::string& choices,
               Expectation& e) {
    const toml::node& node = *reader.find(key);
    for (const std::span<const NamedIndex> list : lists) {
        for (const NamedIndex& named : list) {
            if ((node.is_string() && node.as_string()->get() == named.name) ||
                (node.is_integer() && node.as_integer()->get() == named.index)) {
                e.index = named.index;
                e.name = named.name;
                return;
            }
        }
    }
    reader.fail(node, key, "expected " + choices);
}

// "starts"/"none", "on"/"off", "plays"/"silent": which of the two.
bool readChoice(TableReader& reader, const char* key, const char* yes, const char* no,
                bool fallback) {
    const toml::node* node = reader.find(key);
    if (!node) {
        return fallback;
    }
    if (node->is_string() && node->as_string()->get() == yes) {
        return true;
    }
    if (node->is_string() && node->as_string()->get() == no) {
        return false;
    }
    reader.fail(*node, key, std::string("expected \"") + yes + "\" or \"" + no + "\"");
}

void readBounds(TableReader& reader, const char* key, Expectation& e) {
    const toml::node& node = *reader.find(key);
    const toml::array* array = node.as_array();
    if (!array || array->size() != 2) {
        reader.fail(node, key, "expected [lowest, highest]");
    }
    e.low = reader.asNumber(*array->get(0), key);
    e.high = reader.asNumber(*array->get(1), key);
    if (e.high < e.low) {
        reader.fail(node, key, "the highest must not lie below the lowest");
    }
}

} // namespace

Expectation readExpectation(TableReader& reader) {
    Expectation e;
    e.line = reader.line();
    const auto given = std::count_if(kWhatKeys.begin(), kWhatKeys.end(),
                                     [&](const char* key) { return reader.has(key); });
    const std::string oneOf = "each expectation needs exactly one of stop_before, brake, lamp, "
                              "pattern_speed, pattern_display and sound";
    if (given == 0) {
        reader.missing({kWhatKeys.begin(), kWhatKeys.end()}, oneOf);
    }
    if (given != 1) {
        reader.failTable(oneOf);
    }
    e.label = reader.text("label", "");
    e.window = readWindow(reader);
    const bool stretch = !e.window.single;
    if (reader.has("stop_before")) {
        e.kind = ExpectKind::StopBefore;
        e.stopBefore = reader.number("stop_before", 0.0);
        requireWithin(reader, "stop_before", e.stopBefore, kPositionBounds);
        if (e.window.by == ExpectWindow::By::Time || e.window.single || e.window.to) {
            reader.failTable("with stop_before only 'from' may be given: the place from which "
                             "the stand may come");
        }
        if (e.window.from && *e.window.from > e.stopBefore) {
            reader.failKey("from", "must not lie beyond stop_before (" + shortNumber(e.stopBefore) +
                                       " m): no stand could count");
        }
    } else if (reader.has("brake")) {
        e.kind = ExpectKind::Brake;
        e.positive = readChoice(reader, "brake", "starts", "none", true);
    } else if (reader.has("lamp")) {
        e.kind = ExpectKind::Lamp;
        readNamed(reader, "lamp", {kLampNames, kOtherLamps},
                  "a lamp (power, normal, alarm, pattern, warning, emergency, hold-off) or its "
                  "panel entry (0, 1, 11 to 17)",
                  e);
        e.positive = readChoice(reader, "state", "on", "off", true);
    } else if (reader.has("pattern_speed")) {
        e.kind = ExpectKind::PatternSpeed;
        readBounds(reader, "pattern_speed", e);
    } else if (reader.has("pattern_display")) {
        e.kind = ExpectKind::PatternDisplay;
        readBounds(reader, "pattern_display", e);
    } else {
        e.kind = ExpectKind::Sound;
        readNamed(reader, "sound", {kLoopSoundNames, kOnceSoundNames, kAlternatingSoundNames},
                  "a sound (bell, alarm tone, pattern chime, warning chime, pattern end chime, "
                  "notch warning, bell stop, alternating tone 1, alternating tone 2) or its "
                  "index (0, 1, 10 to 13, 20 to 22)",
                  e);
        e.positive = readChoice(reader, "state", "plays", "silent", true);
    }
    if (!stretch && (e.kind == ExpectKind::Brake || e.kind == ExpectKind::Sound)) {
        reader.failTable(std::string("a ") + (e.kind == ExpectKind::Brake ? "brake" : "sound") +
                         " is looked for over a stretch: give 'from' and 'to' (or their _time "
                         "forms), or neither for the whole run");
    }
    reader.finish();
    return e;
}

Reach reachOf(const Scenario& scenario) {
    Reach reach;
    reach.start = scenario.run.startPosition;
    reach.lineEnd = scenario.routeLength;
    reach.lastTime = lastFrameTime(scenario.run);
    reach.movesBack = std::any_of(scenario.gradients.begin(), scenario.gradients.end(),
                                  [](const Gradient& g) { return g.perMille > 0.0; }) ||
                      std::any_of(scenario.events.begin(), scenario.events.end(),
                                  [](const Event& e) { return e.reverser && *e.reverser < 0; });
    return reach;
}

void requireReachable(TableReader& reader, const Expectation& e, const Reach& reach) {
    const ExpectWindow& w = e.window;
    auto require = [&](const char* key, double value, bool lineEnds) {
        if (w.by == ExpectWindow::By::Time) {
            if (value > reach.lastTime + kFrameTimeTolerance) {
                reader.failKey(key, "lies after the run's last frame, at " +
                                        shortNumber(reach.lastTime) + " s");
            }
        } else if (value < reach.start && !reach.movesBack) {
            reader.failKey(key, "lies behind the train's start at " + shortNumber(reach.start) +
                                    " m, and nothing takes the train back (no rising gradient, "
                                    "no reverser at -1)");
        } else if (lineEnds && reach.lineEnd > 0.0 && value > reach.lineEnd) {
            reader.failKey(key, "lies beyond the end of the line at " + shortNumber(reach.lineEnd) +
                                    " m (route.length)");
        }
    };
    const bool times = w.by == ExpectWindow::By::Time;
    if (e.kind == ExpectKind::StopBefore) {
        // A stand may be looked for beyond the line's end: the run ends there.
        require("stop_before", e.stopBefore, false);
    }
    if (w.from) {
        require(w.single ? (times ? "at_time" : "at") : (times ? "from_time" : "from"), *w.from,
                true);
    }
    if (w.to) {
        require(times ? "to_time" : "to", *w.to, true);
    }
}

} // namespace vantor::sim
