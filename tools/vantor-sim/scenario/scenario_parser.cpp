// The scenario format, key by key, each table read through a TableReader.
#include "scenario/scenario_parser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "plugin.h"
#include "scenario/default_scenario.h"
#include "scenario/expectation_parser.h"
#include "scenario/settings_table.h"
#include "scenario/table_reader.h"
#include "support/file_text.h"
#include "support/utf8_path.h"

namespace vantor::sim {

namespace {

// Shortest text that reads back as the same double.
std::string numberText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// The characters of a line, without its line break.
size_t charactersOfLine(std::string_view text, size_t number) {
    size_t start = 0;
    for (size_t line = 1; line < number && start != std::string_view::npos; ++line) {
        start = text.find('\n', start);
        start = start == std::string_view::npos ? start : start + 1;
    }
    if (start == std::string_view::npos) {
        return 0;
    }
    std::string_view line = text.substr(start, text.find('\n', start) - start);
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    // Columns count characters, not bytes.
    return static_cast<size_t>(std::count_if(line.begin(), line.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The parser's words, but a string without its closing quote named as such: the parser sees
// only the line break or the end of the file that comes in its place.
std::string syntaxError(std::string_view text, const toml::parse_error& error) {
    const std::string_view description = error.description();
    const bool inString = description.starts_with("Error while parsing string") ||
                          description.starts_with("Error while parsing literal string");
    if (inString && description.find("end-of-file") != std::string_view::npos) {
        return "unterminated string: the file ends before its closing quote";
    }
    const toml::source_position at = error.source().begin;
    if (inString && at.column > charactersOfLine(text, at.line)) {
        return "unterminated string: the line ends before its closing quote";
    }
    return std::string(description);
}

Vehicle readVehicle(TableReader& reader) {
    Vehicle v;
    const std::string notches = "must lie between 1 and " + std::to_string(kMostNotches);
    v.brakeNotches = reader.int32("brake_notches", v.brakeNotches);
    if (v.brakeNotches < 1 || v.brakeNotches > kMostNotches) {
        reader.fail(*reader.find("brake_notches"), "brake_notches", notches);
    }
    v.powerNotches = reader.int32("power_notches", v.powerNotches);
    if (v.powerNotches < 1 || v.powerNotches > kMostNotches) {
        reader.fail(*reader.find("power_notches"), "power_notches", notches);
    }
    v.ackBrakeNotch = reader.int32("ack_brake_notch", v.ackBrakeNotch);
    if (v.ackBrakeNotch < 1 || v.ackBrakeNotch > v.emergencyNotch()) {
        reader.failKey("ack_brake_notch", "must lie between 1 and brake_notches + 1");
    }
    v.cars = reader.int32("cars", v.cars);
    if (v.cars < 1 || v.cars > kMostCars) {
        reader.failKey("cars", "must lie between 1 and " + std::to_string(kMostCars));
    }

    v.powerAcceleration = reader.numbers("power_acceleration");
    if (v.powerAcceleration.empty()) {
        for (int32_t n = 1; n <= v.powerNotches; ++n) {
            v.powerAcceleration.push_back(3.0 * n / v.powerNotches);
        }
    } else if (static_cast<int32_t>(v.powerAcceleration.size()) != v.powerNotches) {
        reader.fail(*reader.find("power_acceleration"), "power_acceleration",
                    "needs one value per power notch (" + std::to_string(v.powerNotches) + ")");
    }
    v.brakeDeceleration = reader.numbers("brake_deceleration");
    if (v.brakeDeceleration.empty()) {
        for (int32_t n = 1; n <= v.brakeNotches; ++n) {
            v.brakeDeceleration.push_back(4.0 * n / v.brakeNotches);
        }
    } else if (static_cast<int32_t>(v.brakeDeceleration.size()) != v.brakeNotches) {
        reader.fail(*reader.find("brake_deceleration"), "brake_deceleration",
                    "needs one value per brake notch (" + std::to_string(v.brakeNotches) + ")");
    }
    for (const char* key : {"power_acceleration", "brake_deceleration"}) {
        const auto& list =
            std::string(key) == "power_acceleration" ? v.powerAcceleration : v.brakeDeceleration;
        if (std::any_of(list.begin(), list.end(),
                        [](double x) { return !within(x, kAccelerationBounds); }) &&
            reader.has(key)) {
            reader.fail(*reader.find(key), key, "values " + boundsText(kAccelerationBounds));
        }
    }
    v.emergencyDeceleration = reader.number("emergency_deceleration", v.emergencyDeceleration);
    requireWithin(reader, "emergency_deceleration", v.emergencyDeceleration, kAccelerationBounds);
    v.resistanceConstant = reader.number("resistance_constant", v.resistanceConstant);
    requireWithin(reader, "resistance_constant", v.resistanceConstant, kAccelerationBounds);
    v.resistanceAt100 = reader.number("resistance_at_100", v.resistanceAt100);
    requireWithin(reader, "resistance_at_100", v.resistanceAt100, kAccelerationBounds);
    reader.finish();
    return v;
}

// The index of the signal a name stands for.
size_t signalNamed(TableReader& reader, const toml::node& node, const std::string& key,
                   const std::vector<Signal>& signals) {
    const std::string name = node.as_string()->get();
    for (size_t i = 0; i < signals.size(); ++i) {
        if (signals[i].name == name) {
            return i;
        }
    }
    reader.fail(node, key, "no signal named \"" + name + "\" in [[route.signals]]");
}

// A transponder's signal value, or the signal whose aspect it reports.
void readSignalLink(TableReader& reader, const std::vector<Signal>& signals, int32_t& value,
                    std::optional<size_t>& linked) {
    const toml::node* node = reader.find("signal");
    if (node && node->is_string()) {
        linked = signalNamed(reader, *node, "signal", signals);
    } else if (node) {
        value = reader.asInt32(*node, "signal");
    }
}

Transponder readTransponder(TableReader& reader, const std::vector<Signal>& signals) {
    Transponder t;
    t.position = reader.requiredNumber("position");
    requireWithin(reader, "position", t.position, kPositionBounds);
    if (!reader.has("type")) {
        reader.missing("type");
    }
    t.type = reader.int32("type", 0);
    readSignalLink(reader, signals, t.signal, t.linkedSignal);
    t.optionalGiven = reader.has("optional");
    t.optional = reader.int32("optional", 0);
    t.label = reader.text("label", "");
    t.line = reader.line();
    reader.finish();
    return t;
}

// A coil pair: a code-90 coil and, spacing metres further on, a second coil.
void readCoilPair(TableReader& reader, const std::vector<Signal>& signals,
                  std::vector<Transponder>& out) {
    const double position = reader.requiredNumber("position");
    requireWithin(reader, "position", position, kPositionBounds);
    const double spacing = reader.requiredNumber("spacing");
    requirePositive(reader, "spacing", spacing);
    if (!within(position + spacing, kPositionBounds)) {
        reader.failKey("spacing", "puts the second coil at " + numberText(position + spacing) +
                                      " m, where positions " + boundsText(kPositionBounds));
    }
    const int32_t first = reader.int32("first", 90);
    if (!reader.has("second")) {
        reader.missing("second");
    }
    const int32_t second = reader.int32("second", 0);
    int32_t signal = 0;
    std::optional<size_t> linked;
    readSignalLink(reader, signals, signal, linked);
    const std::string label = reader.text("label", "");
    reader.finish();
    out.push_back(Transponder{position, 70, signal, first, label, reader.line(), true, linked});
    out.push_back(
        Transponder{position + spacing, 70, signal, second, "", reader.line(), true, linked});
}

Signal readSignal(TableReader& reader, const std::vector<Signal>& earlier) {
    Signal s;
    s.line = reader.line();
    if (!reader.has("name")) {
        reader.missing("name");
    }
    s.name = reader.text("name", "");
    if (s.name.empty()) {
        reader.fail(*reader.find("name"), "name", "must not be empty");
    }
    for (const Signal& other : earlier) {
        if (other.name == s.name) {
            reader.fail(*reader.find("name"), "name",
                        "a second signal named \"" + s.name + "\" (the first is on line " +
                            std::to_string(other.line) + ")");
        }
    }
    s.position = reader.requiredNumber("position");
    requireWithin(reader, "position", s.position, kPositionBounds);
    s.aspect = reader.int32("aspect", s.aspect);
    s.clear = reader.int32("clear", s.clear);
    if (s.clear == 0) {
        reader.fail(*reader.find("clear"), "clear",
                    "0 is danger: a cleared signal shows another value");
    }
    reader.finish();
    return s;
}

SpeedLimit readLimit(TableReader& reader) {
    SpeedLimit l;
    l.line = reader.line();
    l.from = reader.requiredNumber("from");
    requireWithin(reader, "from", l.from, kPositionBounds);
    l.to = reader.requiredNumber("to");
    requireWithin(reader, "to", l.to, kPositionBounds);
    l.speed = reader.requiredNumber("speed");
    if (l.to <= l.from) {
        reader.fail(*reader.find("to"), "to", "must lie beyond from");
    }
    requirePositive(reader, "speed", l.speed);
    requireWithin(reader, "speed", l.speed, kSpeedBounds);
    reader.finish();
    return l;
}

Gradient readGradient(TableReader& reader) {
    Gradient g;
    g.position = reader.requiredNumber("position");
    requireWithin(reader, "position", g.position, kPositionBounds);
    g.perMille = reader.requiredNumber("per_mille");
    requireWithin(reader, "per_mille", g.perMille, kGradientBounds);
    reader.finish();
    return g;
}

// The weakest service notch that brakes at least as hard as the unit's curves assume, so that
// a driver who brakes on a curve keeps below it; the strongest when none does.
int32_t matchingBrakeNotch(const Vehicle& vehicle, const Settings& settings) {
    const double wanted = settings.file.unit().deceleration;
    for (int32_t notch = 1; notch <= vehicle.brakeNotches; ++notch) {
        if (vehicle.brakeDeceleration[notch - 1] >= wanted) {
            return notch;
        }
    }
    return vehicle.brakeNotches;
}

std::vector<ProfilePoint> readProfile(TableReader& reader) {
    std::vector<ProfilePoint> profile;
    const toml::node* node = reader.find("profile");
    if (!node) {
        return profile;
    }
    const toml::array* array = node->as_array();
    if (!array) {
        reader.fail(*node, "profile",
                    "expected an array of [position, speed] pairs, got " + typeName(*node));
    }
    for (const toml::node& item : *array) {
        const toml::array* pair = item.as_array();
        if (!pair || pair->size() != 2) {
            reader.fail(item, "profile", "each entry must be [position, speed]");
        }
        const ProfilePoint point{reader.asNumber(*pair->get(0), "profile"),
                                 reader.asNumber(*pair->get(1), "profile")};
        requireWithin(reader, *pair->get(0), "profile", point.position, kPositionBounds);
        requireWithin(reader, *pair->get(1), "profile", point.speed, kSpeedBounds);
        if (!profile.empty() && point.position <= profile.back().position) {
            reader.fail(item, "profile", "positions must increase");
        }
        profile.push_back(point);
    }
    return profile;
}

DriverPlan readDriver(TableReader& reader, const Vehicle& vehicle, const Settings& settings) {
    DriverPlan d;
    d.startTime = reader.number("start_time", d.startTime);
    requireNonNegative(reader, "start_time", d.startTime);
    d.profile = readProfile(reader);
    d.deceleration = reader.number("deceleration", d.deceleration);
    requirePositive(reader, "deceleration", d.deceleration);
    requireWithin(reader, "deceleration", d.deceleration, kAccelerationBounds);
    d.brakeNotch = reader.int32("brake_notch", matchingBrakeNotch(vehicle, settings));
    if (d.brakeNotch < 1 || d.brakeNotch > vehicle.brakeNotches) {
        reader.fail(*reader.find("brake_notch"), "brake_notch",
                    "must lie between 1 and the vehicle's brake_notches");
    }
    d.powerNotch = reader.int32("power_notch", vehicle.powerNotches);
    if (d.powerNotch < 1 || d.powerNotch > vehicle.powerNotches) {
        reader.fail(*reader.find("power_notch"), "power_notch",
                    "must lie between 1 and the vehicle's power_notches");
    }
    if (const toml::node* node = reader.find("ack_delay")) {
        d.ackDelay = reader.delay(*node, "ack_delay");
    }
    d.ackHold = reader.number("ack_hold", d.ackHold);
    requirePositive(reader, "ack_hold", d.ackHold);
    if (const toml::node* node = reader.find("release_delay")) {
        d.releaseDelay = reader.delay(*node, "release_delay");
    }
    d.watchPattern = reader.boolean("watch_pattern", d.watchPattern);
    d.patternMargin = reader.number("pattern_margin", d.patternMargin);
    requireWithin(reader, "pattern_margin", d.patternMargin, kSpeedBounds);
    reader.finish();
    return d;
}

int32_t readKey(TableReader& reader, const std::string& key) {
    const int32_t value = reader.int32(key, 0);
    if (value < 0) {
        reader.fail(*reader.find(key), key, "key codes are not negative");
    }
    return value;
}

Event readEvent(TableReader& reader, const Vehicle& vehicle, const std::vector<Signal>& signals) {
    Event e;
    e.line = reader.line();
    const std::string oneOf = "each event needs exactly one of 'time' and 'position'";
    if (!reader.has("time") && !reader.has("position")) {
        reader.missing({"time", "position"}, oneOf);
    }
    if (reader.has("time") == reader.has("position")) {
        reader.failTable(oneOf);
    }
    if (reader.has("time")) {
        e.time = reader.number("time", 0.0);
        requireNonNegative(reader, "time", *e.time);
    } else {
        e.position = reader.number("position", 0.0);
        requireWithin(reader, "position", *e.position, kPositionBounds);
    }
    e.label = reader.text("label", "");
    if (reader.has("power_switch")) {
        e.powerSwitch = reader.boolean("power_switch", false);
    }
    if (const toml::node* node = reader.find("brake")) {
        if (node->is_string() && node->as_string()->get() == "emergency") {
            e.brake = vehicle.emergencyNotch();
        } else if (node->is_integer()) {
            e.brake = reader.asInt32(*node, "brake");
            if (*e.brake < 0 || *e.brake > vehicle.emergencyNotch()) {
                reader.fail(*node, "brake", "must lie between 0 and brake_notches + 1");
            }
        } else {
            reader.fail(*node, "brake",
                        "expected a notch or \"emergency\", got " + typeName(*node));
        }
    }
    if (reader.has("power")) {
        e.power = reader.int32("power", 0);
        if (*e.power < 0 || *e.power > vehicle.powerNotches) {
            reader.fail(*reader.find("power"), "power", "must lie between 0 and power_notches");
        }
    }
    if (reader.has("reverser")) {
        e.reverser = reader.int32("reverser", 0);
        if (*e.reverser < -1 || *e.reverser > 1) {
            reader.fail(*reader.find("reverser"), "reverser",
                        "must be 1 (forward), 0 or -1 (backward)");
        }
    }
    if (reader.has("auto")) {
        e.automatic = reader.boolean("auto", true);
    }
    if (const toml::node* node = reader.find("ack_delay")) {
        e.ackDelay = reader.delay(*node, "ack_delay");
    }
    if (reader.has("ignore_pattern")) {
        e.ignorePattern = reader.boolean("ignore_pattern", false);
    }
    if (reader.has("key_down")) {
        e.keyDown = readKey(reader, "key_down");
    }
    if (reader.has("key_up")) {
        e.keyUp = readKey(reader, "key_up");
    }
    if (reader.has("key")) {
        e.key = readKey(reader, "key");
    }
    if (reader.has("signal") != reader.has("aspect")) {
        reader.failTable("a signal's change needs both 'signal' and 'aspect'");
    }
    if (const toml::node* node = reader.find("signal")) {
        if (!node->is_string()) {
            reader.fail(*node, "signal", "expected the name of a signal, got " + typeName(*node));
        }
        e.signal = signalNamed(reader, *node, "signal", signals);
        e.aspect = reader.int32("aspect", 0);
    }
    e.hold = reader.number("hold", e.hold);
    requirePositive(reader, "hold", e.hold);
    reader.finish();
    return e;
}

Run readRun(TableReader& reader) {
    Run r;
    r.stepMs = reader.int32("step_ms", r.stepMs);
    if (r.stepMs <= 0) {
        reader.fail(*reader.find("step_ms"), "step_ms", "must be greater than 0");
    }
    if (r.stepMs > kLongestStepMs) {
        reader.fail(*reader.find("step_ms"), "step_ms",
                    "must be at most " + std::to_string(kLongestStepMs));
    }
    r.duration = reader.number("duration", r.duration);
    requirePositive(reader, "duration", r.duration);
    r.durationLine = reader.lineOfKey("duration");
    r.startPosition = reader.number("start_position", r.startPosition);
    requireWithin(reader, "start_position", r.startPosition, kPositionBounds);
    r.powerSwitch = reader.boolean("power_switch", r.powerSwitch);
    reader.finish();
    return r;
}

} // namespace

Scenario parseScenario(std::string_view text, const std::string& sourceName) {
    toml::table root;
    try {
        root = toml::parse(text, sourceName);
    } catch (const toml::parse_error& error) {
        throw ScenarioError(lineOf(sourceName, error.source()) + ": " + syntaxError(text, error));
    }

    if (root.empty()) {
        throw ScenarioError(sourceName + ": the scenario is empty: it sets nothing to run");
    }
    Scenario scenario;
    scenario.source = sourceName;
    TableReader top(root, "", sourceName);
    scenario.name = top.text("name", sourceName);

    // The vehicle first: the driver's and the events' notches are checked against it.
    if (const toml::table* table = top.table("vehicle")) {
        TableReader reader(*table, "vehicle", sourceName);
        scenario.vehicle = readVehicle(reader);
    } else {
        const toml::table empty;
        TableReader reader(empty, "vehicle", sourceName);
        scenario.vehicle = readVehicle(reader);
    }
    if (const toml::table* table = top.table("settings")) {
        TableReader reader(*table, "settings", sourceName);
        scenario.settings = readSettingsTable(reader);
    }
    if (const toml::table* table = top.table("route")) {
        TableReader reader(*table, "route", sourceName);
        scenario.routeLength = reader.number("length", 0.0);
        requireWithin(reader, "length", scenario.routeLength,
                      Bounds{0.0, kPositionBounds.high, kPositionBounds.unit});
        // Signals first: transponders name them.
        for (const toml::table* item : reader.tables("signals")) {
            TableReader itemReader(*item, "route.signals", sourceName);
            scenario.signals.push_back(readSignal(itemReader, scenario.signals));
        }
        for (const toml::table* item : reader.tables("limits")) {
            TableReader itemReader(*item, "route.limits", sourceName);
            scenario.limits.push_back(readLimit(itemReader));
        }
        for (const toml::table* item : reader.tables("transponders")) {
            TableReader itemReader(*item, "route.transponders", sourceName);
            scenario.transponders.push_back(readTransponder(itemReader, scenario.signals));
        }
        for (const toml::table* item : reader.tables("coil_pairs")) {
            TableReader itemReader(*item, "route.coil_pairs", sourceName);
            readCoilPair(itemReader, scenario.signals, scenario.transponders);
        }
        for (const toml::table* item : reader.tables("gradients")) {
            TableReader itemReader(*item, "route.gradients", sourceName);
            const Gradient gradient = readGradient(itemReader);
            for (const Gradient& other : scenario.gradients) {
                if (other.position == gradient.position) {
                    itemReader.failTable("a second gradient at " + numberText(gradient.position) +
                                         " m");
                }
            }
            scenario.gradients.push_back(gradient);
        }
        reader.finish();
        std::sort(scenario.gradients.begin(), scenario.gradients.end(),
                  [](const Gradient& a, const Gradient& b) { return a.position < b.position; });
        std::stable_sort(
            scenario.transponders.begin(), scenario.transponders.end(),
            [](const Transponder& a, const Transponder& b) { return a.position < b.position; });
    }
    {
        const toml::table* table = top.table("driver");
        const toml::table empty;
        TableReader reader(table ? *table : empty, "driver", sourceName);
        scenario.driver = readDriver(reader, scenario.vehicle, scenario.settings);
    }
    for (const toml::table* item : top.tables("events")) {
        TableReader reader(*item, "events", sourceName);
        scenario.events.push_back(readEvent(reader, scenario.vehicle, scenario.signals));
    }
    if (const toml::table* table = top.table("run")) {
        TableReader reader(*table, "run", sourceName);
        scenario.run = readRun(reader);
        if (scenario.routeLength > 0.0 && scenario.run.startPosition >= scenario.routeLength) {
            reader.failKey("start_position", "must lie before the end of the line at " +
                                                 numberText(scenario.routeLength) +
                                                 " m (route.length)");
        }
    }
    const Reach reach = reachOf(scenario);
    for (const toml::table* item : top.tables("expect")) {
        TableReader reader(*item, "expect", sourceName);
        scenario.expectations.push_back(readExpectation(reader));
        requireReachable(reader, scenario.expectations.back(), reach);
    }
    top.finish();
    return scenario;
}

std::string scenarioFileText(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(pathFromUtf8(path), error)) {
        throw ScenarioError(path + ": is a folder, not a scenario file");
    }
    std::ifstream in(pathFromUtf8(path), std::ios::binary);
    if (!in) {
        throw ScenarioError(path + ": cannot read the scenario file");
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (const char* order = unmarkedUtf16(text.str())) {
        throw ScenarioError(path + ": the file is UTF-16 (" + order +
                            ") without a byte-order mark; save it as UTF-8, or as UTF-16 with "
                            "a byte-order mark");
    }
    return utf8FileText(text.str());
}

Scenario loadScenarioFile(const std::string& path) {
    return parseScenario(scenarioFileText(path), path);
}

Scenario loadScenario(const std::string& path) {
    return path.empty() ? parseScenario(defaultScenarioText(), kDefaultScenarioName)
                        : loadScenarioFile(path);
}

} // namespace vantor::sim
