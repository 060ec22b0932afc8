// Scenarios the bench must refuse, each with an error that names the file, the line and the
// key; and the values it must take as written.
#include <gtest/gtest.h>

#include <string>

#include "host/plugin_library.h"
#include "scenario/parse_error.h"
#include "scenario/scenario_parser.h"

using namespace vantor::sim;
using vantor::sim::testing::errorOf;

namespace {} // namespace

// Unknown keys, wrong types, values out of range and incomplete tables, each named with the
// line and column of the file.
TEST(ScenarioParser, BadScenariosAreNamedWithTheirLineAndKey) {
    const std::pair<const char*, const char*> cases[] = {
        {"name = \"x\"\nspeed = 3\n", "2:1: unknown key 'speed'"},
        {"[vehicle]\nbrake_notches = 8\nbrake_notchs = 7\n",
         "3:1: unknown key 'vehicle.brake_notchs'; did you mean 'brake_notches'?"},
        {"[route]\n[[route.transponders]]\nposition = 5\ntype = 0\nsignl = 1\n",
         "5:1: unknown key 'route.transponders.signl'; did you mean 'signal'?"},
        {"[[events]]\ntime = 1\npower_swich = true\n",
         "3:1: unknown key 'events.power_swich'; did you mean 'power_switch'?"},
        {"[vehicel]\n", "1:2: unknown key 'vehicel'; did you mean 'vehicle'?"},
        {"[vehicle]\nbrake_notches = \"eight\"\n",
         "2:17: key 'vehicle.brake_notches': expected an integer, got a string"},
        {"[vehicle]\nbrake_notches = 8.5\n",
         "2:17: key 'vehicle.brake_notches': expected an integer, got a number with a fraction"},
        {"[run]\npower_switch = 1\n",
         "2:16: key 'run.power_switch': expected true or false, got an integer"},
        {"[driver]\nack_delay = \"later\"\n",
         "2:13: key 'driver.ack_delay': expected seconds or \"none\", got a string"},
        {"[driver]\nprofile = [[0, 60], [100]]\n",
         "2:21: key 'driver.profile': each entry must be [position, speed]"},
        {"route = 5\n", "1:9: key 'route': expected a table, got an integer"},
        {"[run]\nstep_ms = -20\n", "2:11: key 'run.step_ms': must be greater than 0"},
        {"[run]\nstep_ms = 0\n", "2:11: key 'run.step_ms': must be greater than 0"},
        {"[run]\nduration = -1.0\n", "2:12: key 'run.duration': must be greater than 0"},
        {"[vehicle]\nbrake_notches = 4\nbrake_deceleration = [1, 2, 3]\n",
         "3:22: key 'vehicle.brake_deceleration': needs one value per brake notch (4)"},
        {"[vehicle]\nack_brake_notch = 10\n",
         "2:19: key 'vehicle.ack_brake_notch': must lie between 1 and brake_notches + 1"},
        {"[driver]\nprofile = [[100, 60], [50, 80]]\n",
         "2:23: key 'driver.profile': positions must increase"},
        {"[[events]]\ntime = 2\nbrake = 12\n",
         "3:9: key 'events.brake': must lie between 0 and brake_notches + 1"},
        {"[[events]]\ntime = 2\nkey = -3\n", "3:7: key 'events.key': key codes are not negative"},
        {"[[events]]\ntime = 1\nposition = 5\n",
         "1:1: [events]: each event needs exactly one of 'time' and 'position'"},
        {"[[events]]\nkey = 3\n",
         "1:1: [events]: each event needs exactly one of 'time' and 'position'"},
        {"[route]\n[[route.transponders]]\ntype = 0\n",
         "2:1: [route.transponders]: missing key 'route.transponders.position'"},
        {"[route]\n[[route.coil_pairs]]\nposition = 5\nspacing = 4.0\n",
         "2:1: [route.coil_pairs]: missing key 'route.coil_pairs.second'"},
        {"[[route.gradients]]\nposition = 5\n",
         "1:1: [route.gradients]: missing key 'route.gradients.per_mille'"},
        {"[[route.gradients]]\nposition = 5\nper_mille = 1\n[[route.gradients]]\nposition = 5\n"
         "per_mille = 2\n",
         "4:1: [route.gradients]: a second gradient at 5 m"}};
    for (const auto& [text, error] : cases) {
        EXPECT_EQ(errorOf(text), std::string("line.toml:") + error) << text;
    }
}

// A misspelt key that a required one is missing for is named, not the missing key alone; a key
// the table does not know is named with the known key nearest to it.
TEST(ScenarioParser, MisspeltKeysAreNamedWithTheKeyMeant) {
    const std::pair<const char*, const char*> cases[] = {
        {"[route]\n[[route.transponders]]\npostion = 1000\ntype = 0\n",
         "3:1: unknown key 'route.transponders.postion'; did you mean 'position'?"},
        {"[route]\n[[route.transponders]]\nposition = 1000\ntyp = 0\n",
         "4:1: unknown key 'route.transponders.typ'; did you mean 'type'?"},
        {"[[route.coil_pairs]]\nposition = 5\nspacing = 4\nsecnd = 85\n",
         "4:1: unknown key 'route.coil_pairs.secnd'; did you mean 'second'?"},
        {"[[route.gradients]]\nposition = 5\npermille = 3\n",
         "3:1: unknown key 'route.gradients.permille'; did you mean 'per_mille'?"},
        {"[[events]]\ntme = 1\nbrake = 2\n", "2:1: unknown key 'events.tme'; did you mean 'time'?"},
        {"[[expect]]\nlmp = \"warning\"\n", "2:1: unknown key 'expect.lmp'; did you mean 'lamp'?"},
        {"[run]\nstep = 20\n", "2:1: unknown key 'run.step'; did you mean 'step_ms'?"},
        // Nothing near enough: the key alone, or the missing key as before.
        {"[run]\nfast = true\n", "2:1: unknown key 'run.fast'"},
        {"[route]\n[[route.transponders]]\nsignal = 3\ntype = 0\n",
         "2:1: [route.transponders]: missing key 'route.transponders.position'"},
    };
    for (const auto& [text, error] : cases) {
        EXPECT_EQ(errorOf(text), std::string("line.toml:") + error) << text;
    }
}

// Values the bench could not run finitely, or that no vehicle has: each refused at its key with
// the bounds it must keep to.
TEST(ScenarioParser, ValuesOutOfTheirBoundsAreRefused) {
    const std::pair<const char*, const char*> cases[] = {
        {"[vehicle]\nbrake_notches = 2147483647\n",
         "2:17: key 'vehicle.brake_notches': must lie between 1 and 255"},
        {"[vehicle]\npower_notches = 2147483647\n",
         "2:17: key 'vehicle.power_notches': must lie between 1 and 255"},
        {"[vehicle]\nbrake_notches = 0\n",
         "2:17: key 'vehicle.brake_notches': must lie between 1 and 255"},
        {"[vehicle]\ncars = -4\n", "2:8: key 'vehicle.cars': must lie between 1 and 1000"},
        {"[vehicle]\ncars = 0\n", "2:8: key 'vehicle.cars': must lie between 1 and 1000"},
        {"[vehicle]\npower_acceleration = [1, 2, 3, 4, 1e308]\n",
         "2:22: key 'vehicle.power_acceleration': values must lie between 0 and 36 km/h/s"},
        {"[vehicle]\nbrake_deceleration = [1, 2, 3, 4, 5, 6, 7, -1]\n",
         "2:22: key 'vehicle.brake_deceleration': values must lie between 0 and 36 km/h/s"},
        {"[vehicle]\nemergency_deceleration = 1e300\n",
         "2:26: key 'vehicle.emergency_deceleration': must lie between 0 and 36 km/h/s"},
        {"[vehicle]\nresistance_at_100 = -1\n",
         "2:21: key 'vehicle.resistance_at_100': must lie between 0 and 36 km/h/s"},
        {"[run]\nstart_position = 1e17\n",
         "2:18: key 'run.start_position': must lie between -10000000 and 10000000 m"},
        {"[run]\nstep_ms = 5000\n", "2:11: key 'run.step_ms': must be at most 1000"},
        {"[run]\nduration = 9007199254740993\n",
         "2:12: key 'run.duration': an integer beyond 2^53 (9007199254740992) cannot be held "
         "exactly as a number"},
        {"[route]\nlength = 2000\n[run]\nstart_position = 2500\n",
         "4:18: key 'run.start_position': must lie before the end of the line at 2000 m "
         "(route.length)"},
        {"[route]\nlength = 2e7\n", "2:10: key 'route.length': must lie between 0 and 10000000 m"},
        {"[[route.transponders]]\nposition = 1e300\ntype = 0\n",
         "2:12: key 'route.transponders.position': must lie between -10000000 and 10000000 m"},
        {"[[route.coil_pairs]]\nposition = 9999999\nspacing = 5\nsecond = 85\n",
         "3:11: key 'route.coil_pairs.spacing': puts the second coil at 10000004 m, where "
         "positions must lie between -10000000 and 10000000 m"},
        {"[[route.gradients]]\nposition = 5\nper_mille = 1e6\n",
         "3:13: key 'route.gradients.per_mille': must lie between -1000 and 1000 per mille"},
        {"[driver]\nprofile = [[0, 1e308]]\n",
         "2:16: key 'driver.profile': must lie between 0 and 1000 km/h"},
        {"[driver]\nprofile = [[0, 60], [1e8, 80]]\n",
         "2:22: key 'driver.profile': must lie between -10000000 and 10000000 m"},
        {"[driver]\ndeceleration = 100\n",
         "2:16: key 'driver.deceleration': must lie between 0 and 36 km/h/s"},
        {"[driver]\npattern_margin = 1e9\n",
         "2:18: key 'driver.pattern_margin': must lie between 0 and 1000 km/h"},
        {"[[events]]\ntime = 1\nreverser = 5\n",
         "3:12: key 'events.reverser': must be 1 (forward), 0 or -1 (backward)"},
        {"[[events]]\nposition = -1e9\nbrake = 2\n",
         "2:12: key 'events.position': must lie between -10000000 and 10000000 m"},
    };
    for (const auto& [text, error] : cases) {
        EXPECT_EQ(errorOf(text), std::string("line.toml:") + error) << text;
    }
}

TEST(ScenarioParser, SyntaxErrorsEmptyFilesAndFoldersAreNamed) {
    const std::string syntax = errorOf("[run]\nstep_ms = = 3\n");
    EXPECT_EQ(syntax.rfind("line.toml:2:", 0), 0u) << syntax;
    EXPECT_EQ(errorOf("# only a comment\n"),
              "line.toml: the scenario is empty: it sets nothing to run");
    // The parser itself sees only the line break or the end of the file in the quote's place.
    for (const auto& [text, error] :
         {std::pair{"name = \"my line\nx = 1\n",
                    "1:16: unterminated string: the line ends before its closing quote"},
          std::pair{"name = 'my line\r\n", "1:16: unterminated string: the line ends before"},
          std::pair{"a = [\"\u00e9\u00e9, 1]\n", "1:13: unterminated string: the line ends before"},
          std::pair{"name = \"\"\"my line\n", "1:19: unterminated string: the file ends before "
                                              "its closing quote"}}) {
        EXPECT_EQ(errorOf(text).rfind(std::string("line.toml:") + error, 0), 0u) << text << "\n"
                                                                                 << errorOf(text);
    }
    for (const auto& [path, error] :
         {std::pair{"/nonexistent/line.toml", ": cannot read the scenario file"},
          std::pair{SCENARIO_DIR, ": is a folder, not a scenario file"}}) {
        try {
            loadScenarioFile(path);
            ADD_FAILURE() << path << " must be refused";
        } catch (const ScenarioError& e) {
            EXPECT_EQ(e.what(), std::string(path) + error);
        }
    }
}

// By default the driver brakes with the weakest notch that brakes at least as hard as the
// unit's curves assume, so that he keeps below them.
TEST(ScenarioParser, TheDriversBrakeNotchMatchesTheUnitsDeceleration) {
    for (const auto& [settings, notch] :
         {std::pair{"", 5}, std::pair{"[settings]\nDeceleration = 2.51\n", 6},
          std::pair{"[settings]\nDeceleration = \"1.0 km/h/s\"\n", 2},
          std::pair{"[settings]\nDeceleration = 9\n", 8}}) {
        const std::string text = std::string("name = \"x\"\n") + settings;
        EXPECT_EQ(parseScenario(text, "line.toml").driver.brakeNotch, notch) << settings;
    }
}

// The settings keep their text, which the unit itself cuts. How every other key is read shows
// in the timelines of the examples.
TEST(ScenarioParser, SettingsKeepTheirText) {
    const Scenario s = parseScenario(
        "[settings]\nDeceleration = 2.7\nRtime = \"0.123456789\"\nMaxSpd = 120\n", "line.toml");
    EXPECT_EQ(s.settings.file.bytes(),
              "[SetSpec]\nDeceleration=2.7\nRtime=0.123456789\n[LED]\nMaxSpd=120\n");
    EXPECT_EQ(s.settings.file.unit().displayResolution, 60);
    EXPECT_EQ(s.settings.file.unit().displayMaxSpeed, 120);
}
