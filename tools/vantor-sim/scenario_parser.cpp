// The scenario format, key by key, each table read through a TableReader.
#include "scenario_parser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "default_scenario.h"
#include "expectation_parser.h"
#include "file_text.h"
#include "plugin.h"
#include "settings_table.h"
#include "table_reader.h"
#include "utf8_path.h"

namespace vantor::sim {

namespace {

// Shortest text that reads back as the same double.
std::string numberText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

Vehicle readVehicle(TableReader& reader) {
    Vehicle v;
    v.brakeNotches = reader.int32("brake_notches", v.brakeNotches);
    if (v.brakeNotches < 1) {
        reader.fail(*reader.find("brake_notches"), "brake_notches", "must be at least 1");
    }
    v.powerNotches = reader.int32("power_notches", v.powerNotches);
    if (v.powerNotches < 1) {
        reader.fail(*reader.find("power_notches"), "power_notches", "must be at least 1");
    }
    v.ackBrakeNotch = reader.int32("ack_brake_notch", v.ackBrakeNotch);
    if (v.ackBrakeNotch < 1 || v.ackBrakeNotch > v.emergencyNotch()) {
        reader.fail(*reader.find("ack_brake_notch"), "ack_brake_notch",
                    "must lie between 1 and brake_notches + 1");
    }
    v.cars = reader.int32("cars", v.cars);

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
        if (std::any_of(list.begin(), list.end(), [](double x) { return x < 0.0; }) &&
            reader.has(key)) {
            reader.fail(*reader.find(key), key, "values must not be negative");
        }
    }
    v.emergencyDeceleration = reader.number("emergency_deceleration", v.emergencyDeceleration);
    requireNonNegative(reader, "emergency_deceleration", v.emergencyDeceleration);
    v.resistanceConstant = reader.number("resistance_constant", v.resistanceConstant);
    requireNonNegative(reader, "resistance_constant", v.resistanceConstant);
    v.resistanceAt100 = reader.number("resistance_at_100", v.resistanceAt100);
    requireNonNegative(reader, "resistance_at_100", v.resistanceAt100);
    reader.finish();
    return v;
}

Transponder readTransponder(TableReader& reader) {
    Transponder t;
    t.position = reader.requiredNumber("position");
    if (!reader.has("type")) {
        reader.failTable("missing key '" + reader.qualified("type") + "'");
    }
    t.type = reader.int32("type", 0);
    t.signal = reader.int32("signal", 0);
    t.optionalGiven = reader.has("optional");
    t.optional = reader.int32("optional", 0);
    t.label = reader.text("label", "");
    t.line = reader.line();
    reader.finish();
    return t;
}

// A coil pair: a code-90 coil and, spacing metres further on, a second coil.
void readCoilPair(TableReader& reader, std::vector<Transponder>& out) {
    const double position = reader.requiredNumber("position");
    const double spacing = reader.requiredNumber("spacing");
    requirePositive(reader, "spacing", spacing);
    const int32_t first = reader.int32("first", 90);
    if (!reader.has("second")) {
        reader.failTable("missing key '" + reader.qualified("second") + "'");
    }
    const int32_t second = reader.int32("second", 0);
    const int32_t signal = reader.int32("signal", 0);
    const std::string label = reader.text("label", "");
    reader.finish();
    out.push_back(Transponder{position, 70, signal, first, label, reader.line(), true});
    out.push_back(Transponder{position + spacing, 70, signal, second, "", reader.line(), true});
}

Gradient readGradient(TableReader& reader) {
    Gradient g;
    g.position = reader.requiredNumber("position");
    g.perMille = reader.requiredNumber("per_mille");
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
        if (point.speed < 0.0) {
            reader.fail(item, "profile", "speeds must not be negative");
        }
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
    requireNonNegative(reader, "pattern_margin", d.patternMargin);
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

Event readEvent(TableReader& reader, const Vehicle& vehicle) {
    Event e;
    e.line = reader.line();
    if (reader.has("time") == reader.has("position")) {
        reader.failTable("each event needs exactly one of 'time' and 'position'");
    }
    if (reader.has("time")) {
        e.time = reader.number("time", 0.0);
        requireNonNegative(reader, "time", *e.time);
    } else {
        e.position = reader.number("position", 0.0);
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
    r.duration = reader.number("duration", r.duration);
    requirePositive(reader, "duration", r.duration);
    r.durationLine = reader.lineOfKey("duration");
    r.startPosition = reader.number("start_position", r.startPosition);
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
        throw ScenarioError(lineOf(sourceName, error.source()) + ": " +
                            std::string(error.description()));
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
        requireNonNegative(reader, "length", scenario.routeLength);
        for (const toml::table* item : reader.tables("transponders")) {
            TableReader itemReader(*item, "route.transponders", sourceName);
            scenario.transponders.push_back(readTransponder(itemReader));
        }
        for (const toml::table* item : reader.tables("coil_pairs")) {
            TableReader itemReader(*item, "route.coil_pairs", sourceName);
            readCoilPair(itemReader, scenario.transponders);
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
        scenario.events.push_back(readEvent(reader, scenario.vehicle));
    }
    if (const toml::table* table = top.table("run")) {
        TableReader reader(*table, "run", sourceName);
        scenario.run = readRun(reader);
    }
    for (const toml::table* item : top.tables("expect")) {
        TableReader reader(*item, "expect", sourceName);
        scenario.expectations.push_back(readExpectation(reader));
    }
    top.finish();
    return scenario;
}

Scenario loadScenarioFile(const std::string& path) {
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
    return parseScenario(utf8FileText(text.str()), path);
}

Scenario loadScenario(const std::string& path) {
    return path.empty() ? parseScenario(defaultScenarioText(), kDefaultScenarioName)
                        : loadScenarioFile(path);
}

} // namespace vantor::sim
