// The scenario's [settings] reach the unit as written: a number the unit would read otherwise
// is refused at its key, a text goes to the unit with the warnings the settings checker gives
// for it, and the bench's idea of the settings is what the unit reads.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

#include "scenario/run_settings.h"
#include "scenario/parse_error.h"
#include "scenario/scenario_parser.h"
#include "settings/settings_check.h"

using namespace vantor::sim;

namespace {

Scenario withSettings(const std::string& lines) {
    return parseScenario("name = \"x\"\n[settings]\n" + lines, "line.toml");
}

std::string errorOf(const std::string& lines) {
    return vantor::sim::testing::errorOf("name = \"x\"\n[settings]\n" + lines);
}

} // namespace

// What the unit makes of each text follows from its reader's rules: integers wrap modulo 2^32
// (Speed then held in single precision, Resolution and MaxSpd as signed 32-bit numbers), and
// decimals are cut to 7 characters.
TEST(SettingsTable, NumbersTheUnitWouldReadOtherwiseAreRefused) {
    const std::pair<const char*, const char*> cases[] = {
        {"Speed = 4294967336\n", "line.toml:3:9: key 'settings.Speed': the unit would read "
                                 "4294967336 as 40"},
        {"Speed = -5\n", "line.toml:3:9: key 'settings.Speed': the unit would read -5 as "
                         "4294967296"},
        {"Speed = 16777217\n", "line.toml:3:9: key 'settings.Speed': the unit would read "
                               "16777217 as 16777216"},
        {"MaxSpd = 4294967416\n", "line.toml:3:10: key 'settings.MaxSpd': the unit would read "
                                  "4294967416 as 120"},
        {"Resolution = 2147483648\n", "line.toml:3:14: key 'settings.Resolution': the unit "
                                      "would read 2147483648 as -2147483648"},
        {"Deceleration = 0.000001234\n",
         "line.toml:3:16: key 'settings.Deceleration': written as '1.234e-6' it would be read as "
         "'1.234e-', which gives 1.234: the unit reads at most 7 characters; give fewer digits"},
        {"Rtime = 12345678\n",
         "line.toml:3:9: key 'settings.Rtime': written as '12345678' it would be read as "
         "'1234567', which gives 1234567: the unit reads at most 7 characters; give fewer "
         "digits"},
        {"Speed = 90\nDeceleration = \"2.5\\nSpeed=40\"\n",
         "line.toml:4:16: key 'settings.Deceleration': holds a line break, which would start "
         "another line in the unit's settings file"},
        {"Rtime = \"1\\u0000\"\n", "line.toml:3:9: key 'settings.Rtime': holds the control "
                                   "character U+0000, which the unit's settings file cannot "
                                   "hold as written"},
    };
    for (const auto& [lines, error] : cases) {
        EXPECT_EQ(errorOf(lines), error) << lines;
    }
}

// At the edges of what the unit reads as written, the number goes through, in the shortest
// form that fits in 7 characters.
TEST(SettingsTable, NumbersTheUnitReadsAsWrittenGoThrough) {
    const Scenario s = withSettings("Speed = 16777216\nDeceleration = 1.23e-5\nRtime = 1234567\n"
                                    "Resolution = -2147483648\nMaxSpd = 2147483647\n");
    EXPECT_EQ(s.settings.file.bytes(),
              "[SetSpec]\nSpeed=16777216\nDeceleration=1.23e-5\nRtime=1234567\n"
              "[Disp]\nResolution=-2147483648\n[LED]\nMaxSpd=2147483647\n");
    const vantor::UnitSettings& unit = s.settings.file.unit();
    EXPECT_EQ(unit.maxSpeed, 16777216.0);
    EXPECT_EQ(unit.deceleration, static_cast<double>(1.23e-5f));
    EXPECT_EQ(unit.reactionTime, 1234567.0);
    EXPECT_EQ(unit.displayResolution, -2147483648);
    EXPECT_EQ(unit.displayMaxSpeed, 2147483647);
}

// A text is the author's own test of how the unit reads: it goes to the unit as it is, with the
// very warnings that the checker gives for the same file written by hand, at the keys' lines.
TEST(SettingsTable, TextsAreWarnedOfAsTheCheckerWarnsOfTheFile) {
    Scenario scenario =
        withSettings("MaxSpd = 0\nDeceleration = \"abc\"\nRtime = \"2,5\"\nSpeed = 100\n");
    const SettingsReport byHand =
        checkSettings("[SetSpec]\nSpeed=100\nDeceleration=abc\nRtime=2,5\n[LED]\nMaxSpd=0\n");
    ASSERT_EQ(byHand.warnings.size(), 3u);
    const std::string expected = "line.toml:3: warning: " + byHand.warnings[2].message +
                                 "\nline.toml:4: warning: " + byHand.warnings[0].message +
                                 "\nline.toml:5: warning: " + byHand.warnings[1].message + "\n";
    std::ostringstream errors;
    const std::optional<std::string> file = RunSettings("", errors).apply(scenario, errors);
    EXPECT_EQ(errors.str(), expected);
    EXPECT_EQ(file, "[SetSpec]\nSpeed=100\nDeceleration=abc\nRtime=2,5\n[LED]\nMaxSpd=0\n");
    EXPECT_EQ(scenario.settings.file.unit().deceleration, byHand.settings.deceleration);
    EXPECT_EQ(scenario.settings.file.unit().reactionTime, 2.0);
}
