// Scenarios the bench must refuse, each with an error that names the file, the line and the
// key; and the values it must take as written.
#include <gtest/gtest.h>

#include <string>

#include "default_scenario.h"
#include "plugin_library.h"
#include "scenario_parser.h"

using namespace vantor::sim;

namespace {

// The message of the error that parsing this text raises, or "" if it parses.
std::string errorOf(const std::string& text) {
    try {
        parseScenario(text, "line.toml");
    } catch (const ScenarioError& error) {
        return error.what();
    }
    return "";
}

} // namespace

TEST(ScenarioParser, UnknownKeysAreNamedWithTheirLine) {
    EXPECT_EQ(errorOf("name = \"x\"\nspeed = 3\n"), "line.toml:2:1: unknown key 'speed'");
    EXPECT_EQ(errorOf("[vehicle]\nbrake_notches = 8\nbrake_notchs = 7\n"),
              "line.toml:3:1: unknown key 'vehicle.brake_notchs'");
    EXPECT_EQ(errorOf("[route]\n[[route.transponders]]\nposition = 5\ntype = 0\nsignl = 1\n"),
              "line.toml:5:1: unknown key 'route.transponders.signl'");
    EXPECT_EQ(errorOf("[[events]]\ntime = 1\npower_swich = true\n"),
              "line.toml:3:1: unknown key 'events.power_swich'");
    EXPECT_EQ(errorOf("[vehicel]\n"), "line.toml:1:2: unknown key 'vehicel'");
}

TEST(ScenarioParser, WrongTypesAreNamed) {
    EXPECT_EQ(errorOf("[vehicle]\nbrake_notches = \"eight\"\n"),
              "line.toml:2:17: key 'vehicle.brake_notches': expected an integer, got a string");
    EXPECT_EQ(errorOf("[vehicle]\nbrake_notches = 8.5\n"),
              "line.toml:2:17: key 'vehicle.brake_notches': expected an integer, got a number "
              "with a fraction");
    EXPECT_EQ(errorOf("[run]\npower_switch = 1\n"),
              "line.toml:2:16: key 'run.power_switch': expected true or false, got an integer");
    EXPECT_EQ(errorOf("[driver]\nack_delay = \"later\"\n"),
              "line.toml:2:13: key 'driver.ack_delay': expected seconds or \"none\", got a "
              "string");
    EXPECT_EQ(errorOf("[driver]\nprofile = [[0, 60], [100]]\n"),
              "line.toml:2:21: key 'driver.profile': each entry must be [position, speed]");
    EXPECT_EQ(errorOf("route = 5\n"),
              "line.toml:1:9: key 'route': expected a table, got an integer");
}

TEST(ScenarioParser, ValuesOutOfRangeAreRefused) {
    EXPECT_EQ(errorOf("[run]\nstep_ms = -20\n"),
              "line.toml:2:11: key 'run.step_ms': must be greater than 0");
    EXPECT_EQ(errorOf("[run]\nstep_ms = 0\n"),
              "line.toml:2:11: key 'run.step_ms': must be greater than 0");
    EXPECT_EQ(errorOf("[run]\nduration = -1.0\n"),
              "line.toml:2:12: key 'run.duration': must be greater than 0");
    EXPECT_EQ(errorOf("[vehicle]\nbrake_notches = 4\nbrake_deceleration = [1, 2, 3]\n"),
              "line.toml:3:22: key 'vehicle.brake_deceleration': needs one value per brake "
              "notch (4)");
    EXPECT_EQ(errorOf("[vehicle]\nack_brake_notch = 10\n"),
              "line.toml:2:19: key 'vehicle.ack_brake_notch': must lie between 1 and "
              "brake_notches + 1");
    EXPECT_EQ(errorOf("[driver]\nprofile = [[100, 60], [50, 80]]\n"),
              "line.toml:2:23: key 'driver.profile': positions must increase");
    EXPECT_EQ(errorOf("[[events]]\ntime = 2\nbrake = 12\n"),
              "line.toml:3:9: key 'events.brake': must lie between 0 and brake_notches + 1");
    EXPECT_EQ(errorOf("[[events]]\ntime = 2\nkey = -3\n"),
              "line.toml:3:7: key 'events.key': key codes are not negative");
}

TEST(ScenarioParser, IncompleteTablesAreRefused) {
    EXPECT_EQ(errorOf("[[events]]\ntime = 1\nposition = 5\n"),
              "line.toml:1:1: [events]: each event needs exactly one of 'time' and 'position'");
    EXPECT_EQ(errorOf("[[events]]\nkey = 3\n"),
              "line.toml:1:1: [events]: each event needs exactly one of 'time' and 'position'");
    EXPECT_EQ(errorOf("[route]\n[[route.transponders]]\ntype = 0\n"),
              "line.toml:2:1: [route.transponders]: missing key 'route.transponders.position'");
    EXPECT_EQ(errorOf("[route]\n[[route.coil_pairs]]\nposition = 5\nspacing = 4.0\n"),
              "line.toml:2:1: [route.coil_pairs]: missing key 'route.coil_pairs.second'");
}

TEST(ScenarioParser, SyntaxErrorsAndMissingFilesAreNamed) {
    const std::string syntax = errorOf("[run]\nstep_ms = = 3\n");
    EXPECT_EQ(syntax.rfind("line.toml:2:", 0), 0u) << syntax;
    try {
        loadScenarioFile("/nonexistent/line.toml");
        FAIL() << "a missing file must be refused";
    } catch (const ScenarioError& error) {
        EXPECT_STREQ(error.what(), "/nonexistent/line.toml: cannot read the scenario file");
    }
}

TEST(ScenarioParser, TakesTheLineAsWritten) {
    const Scenario s = parseScenario(R"(
[vehicle]
brake_notches = 4
power_notches = 2
power_acceleration = [1, 2.5]
brake_deceleration = [1, 2, 3, 4]
[settings]
Deceleration = 2.7
Rtime = "0.123456789"
MaxSpd = 120
[route]
length = 500
[[route.coil_pairs]]
position = 100
second = 85
spacing = 6.5
[[route.transponders]]
position = 50
type = 0
[[events]]
position = 80
brake = "emergency"
ack_delay = "none"
)",
                                     "line.toml");
    EXPECT_EQ(s.vehicle.emergencyNotch(), 5);
    EXPECT_EQ(s.vehicle.powerAcceleration[1], 2.5);
    // Transponders sorted by position; a coil pair is two type-70 transponders.
    ASSERT_EQ(s.transponders.size(), 3u);
    EXPECT_EQ(s.transponders[0].type, 0);
    EXPECT_EQ(s.transponders[1].optional, 90);
    EXPECT_EQ(s.transponders[2].optional, 85);
    EXPECT_DOUBLE_EQ(s.transponders[2].position, 106.5);
    EXPECT_EQ(s.events[0].brake, 5);
    ASSERT_TRUE(s.events[0].ackDelay.has_value());
    EXPECT_FALSE(s.events[0].ackDelay->has_value());
    // Settings keep their text; the unit itself cuts long values.
    EXPECT_EQ(settingsFileText(s.settings),
              "[SetSpec]\nDeceleration=2.7\nRtime=0.123456789\n[LED]\nMaxSpd=120\n");
    EXPECT_EQ(s.settings.displayResolution(), 60);
    EXPECT_EQ(s.settings.displayMaxSpeed(), 120);
}

TEST(ScenarioParser, TheBuiltInLineParses) {
    const Scenario s = parseScenario(defaultScenarioText(), kDefaultScenarioName);
    EXPECT_GT(s.transponders.size(), 5u);
    EXPECT_FALSE(s.settings.any());
}
