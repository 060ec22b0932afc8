// The settings checker: one warning for each thing in a file that the unit ignores or reads
// otherwise than its author may think, on the right line, and none for a file the unit reads
// as written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "settings/settings_check.h"

using namespace vantor::sim;

namespace {

struct Expected {
    size_t line;
    const char* says;
};

struct Case {
    std::string file;
    std::vector<Expected> warnings;
};

std::string utf16(const std::string& text) {
    std::string bytes = "\xFF\xFE";
    for (const char c : text) {
        bytes += std::string{c, '\0'};
    }
    return bytes;
}

} // namespace

TEST(SettingsCheck, OneWarningForEachThingTheUnitReadsOtherwise) {
    const std::string megabyte(1 << 20, ';');
    const Case cases[] = {
        // Read as written.
        {"; notes, with no equals sign\n[setspec]\r\n Speed = 0x7D\nDeceleration='2.7'\n"
         "[Disp]\nResolution=60\n[LED]\nMaxSpd=140\n",
         {}},
        {utf16("[SetSpec]\r\nSpeed=210\r\nRtime=0.5\r\n"), {}},
        // Names the unit does not read.
        {"[SetSpec]\nDecleration=3.0\n",
         {{2, "'Decleration' is not a setting of [SetSpec] and "
              "is not read; did you mean 'Deceleration'?"}}},
        {"[SetSpec]\nMaxSpd=120\n", {{2, "it belongs under [LED]"}}},
        {"Speed=100\n[SetSpec]\n", {{1, "'Speed' stands before any section"}}},
        {"[SetSpec]\n;Speed=100\n", {{2, "there is no comment marker"}}},
        {"[Display]\nResolution=30\n",
         {{1, "[Display] is not read by the unit, nor any key in "
              "it; did you mean [Disp]?"}}},
        {"[LED]\nMaxSpd=120\n[Disp]\n[led]\nMaxSpd=90\n",
         {{4, "[LED] appears again: the unit reads only the first one (line 1)"}}},
        {"[LED]\nMaxSpd=120\nmaxspd=90\n", {{3, "appears again in [LED]"}}},
        {"[SetSpec]\nSpeed 100\n", {{2, "'Speed 100' has no '='"}}},
        {"[SetSpec]\n[LED\nMaxSpd=120\n",
         {{2, "no section header: the keys below stay in "
              "[SetSpec]"},
          {3, "it belongs under [LED]"}}},
        // Values that read otherwise than they look.
        {"[SetSpec]\nDeceleration=\n", {{2, "Deceleration is empty and reads as 0"}}},
        {"[SetSpec]\nSpeed=\n", {{2, "Speed is empty: the unit takes the default 125"}}},
        {"[SetSpec]\nRtime=abc\n", {{2, "'Rtime=abc' is no number and reads as 0"}}},
        {"[SetSpec]\nRtime=-.\n", {{2, "'Rtime=-.' is no number and reads as 0"}}},
        {"[Disp]\nResolution=x60\n", {{2, "has no digits and reads as 0, which shows 0"}}},
        {"[SetSpec]\nSpeed=0X7D\n", {{2, "reads as 0 (only a lower-case 0x"}}},
        {"[SetSpec]\nSpeed=0\n", {{2, "Speed 0 brakes every train at 10 km/h"}}},
        {"[SetSpec]\nRtime=0.123456789\n", {{2, "'0.12345', which gives 0.12345"}}},
        {"[SetSpec]\nSpeed=110 ; line limit\n", {{2, "'; line limit' after the value of Speed"}}},
        {"[SetSpec]\nDeceleration=2.5 ; x\n", {{2, "'; x' after the value of Deceleration"}}},
        {"[SetSpec]\nDeceleration=2,5\nRtime=1.5,2\n",
         {{2, "'Deceleration=2,5' reads as 2: use a decimal point"},
          {3, "',2' after the value of Rtime"}}},
        {"[SetSpec]\nSpeed=110.5\n[LED]\nMaxSpd=1,000\n",
         {{2, "'Speed=110.5' reads as 110: Speed is a whole number"},
          {4, "'MaxSpd=1,000' reads as 1: write it without separators"}}},
        // Settings with which the unit cannot work as meant.
        {"[SetSpec]\nDeceleration=0\nRtime=-1\n",
         {{2, "Deceleration 0 is no usable braking rate"}, {3, "Rtime -1 is no usable"}}},
        {"[SetSpec]\nDeceleration=1e39\n", {{2, "Deceleration inf is no usable"}}},
        {"[LED]\nMaxSpd=0\n", {{2, "MaxSpd is 0"}}},
        {"[SetSpec]\nSpeed=211\n",
         {{2, "come at 221 km/h, but the unit never sets a brake "
              "pattern above 220 km/h"}}},
        {"[SetSpec]\nSpeed=-5\n", {{2, "Speed 4294967296:"}}},
        // Files the unit cannot read whole.
        {std::string("[\0L\0E\0D\0]\0", 10), {{0, "an encoding the unit does not read"}}},
        {"[LED]\nMaxSpd=120\n" + megabyte,
         {{0, "reads only its first 1048576 bytes, up to "
              "line 2"}}},
        {megabyte + ";\n[LED]\nMaxSpd=120\n", {{0, "no line ends within them: it reads nothing"}}},
        // Encodings mixed, or a byte-order mark of the wrong width.
        {utf16("[LED]\r\nMaxSpd=120\r\n") + "Speed=90\r\n",
         {{3, "from here on the UTF-16 file holds text of one byte per character"}}},
        {"\xFF\xFE[LED]\r\nMaxSpd=120\r\n", {{0, "starts with a UTF-16 byte-order mark, but"}}},
        {"\xFF\xFE[LED]\r\n; caf\xC3\xA9\r\nMaxSpd=120\r\n",
         {{0, "starts with a UTF-16 byte-order mark, but"}}},
        {"[LED]\r\nMaxSpd=120\r\n" + utf16("[SetSpec]\r\nSpeed=90\r\n").substr(2),
         {{3, "from here on the file holds zero bytes"}}},
        // A UTF-16 note beyond ASCII ending the file, whose bytes pass for ASCII: U+4E2D, U+4E0A
        // and U+4E3D give "-N", "\nN" and "=N", a line "N=N-N" read one byte per character.
        {utf16("[LED]\r\nMaxSpd=120\r\n;") + "\x2D\x4E\x0A\x4E\x3D\x4E\x2D\x4E", {}},
    };
    for (const Case& c : cases) {
        const SettingsReport report = checkSettings(c.file);
        const std::string what = c.file.substr(0, 60);
        ASSERT_EQ(report.warnings.size(), c.warnings.size()) << what;
        for (size_t i = 0; i < c.warnings.size(); ++i) {
            EXPECT_EQ(report.warnings[i].line, c.warnings[i].line) << what;
            EXPECT_NE(report.warnings[i].message.find(c.warnings[i].says), std::string::npos)
                << what << "\n  warns: " << report.warnings[i].message;
        }
    }
}

// The values shown are the unit's own, and so is the line each came from.
TEST(SettingsCheck, ShowsWhatTheUnitReadsAndWhere) {
    const SettingsReport report =
        checkSettings("[SetSpec]\r\nRtime=2.7\r\n\r\nDeceleration=2.7\r\n[LED]\r\nMaxSpd=120");
    EXPECT_EQ(report.settings.maxSpeed, 125.0);
    EXPECT_EQ(report.settings.deceleration, 2.700000047683716);
    EXPECT_EQ(report.settings.reactionTime, 2.7);
    EXPECT_EQ(report.settings.displayMaxSpeed, 120);
    const std::array<size_t, 5> lines = {0, 4, 2, 0, 6};
    EXPECT_EQ(report.lines, lines);
}

// The files above whose encodings mix: the unit reads them otherwise than the same text in one
// encoding, which the plug-in's reader reads as it looks.
TEST(SettingsCheck, MixedEncodingsReadOtherwiseThanTheyLook) {
    const std::string looks = "[LED]\r\nMaxSpd=120\r\n[SetSpec]\r\nSpeed=90\r\n";
    const std::string files[] = {
        utf16("[LED]\r\nMaxSpd=120\r\n[SetSpec]\r\n") + "Speed=90\r\n",
        "\xFF\xFE" + looks,
        "[LED]\r\nMaxSpd=120\r\n" + utf16("[SetSpec]\r\nSpeed=90\r\n").substr(2),
    };
    const SettingsReport asItLooks = checkSettings(looks);
    ASSERT_EQ(asItLooks.settings.maxSpeed, 90.0);
    ASSERT_EQ(asItLooks.warnings.size(), 0u);
    for (const std::string& file : files) {
        const SettingsReport report = checkSettings(file);
        EXPECT_NE(report.settings.maxSpeed, asItLooks.settings.maxSpeed) << file;
        EXPECT_EQ(report.warnings.size(), 1u) << file;
    }
}

// The checker reads what the unit reads, and the byte after it, whatever the file's size: a
// device that never ends is checked like a file.
TEST(SettingsCheck, ReadsNoMoreThanTheUnit) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("vantor-sim-large-settings-" + std::to_string(std::random_device()()) + ".ini");
    const std::string whole =
        "[LED]\nMaxSpd=120\n" + std::string(3 << 20, ';') + "\n[SetSpec]\nSpeed=90\n";
    std::ofstream(path, std::ios::binary) << whole;
    const std::string bytes = readSettingsBytes(path.string());
    std::filesystem::remove(path);
    EXPECT_EQ(bytes.size(), vantor::kSettingsFileLimit + 1);
    const SettingsReport fromBytes = checkSettings(bytes);
    const SettingsReport fromWhole = checkSettings(whole);
    EXPECT_EQ(fromBytes.settings.displayMaxSpeed, 120);
    EXPECT_EQ(fromBytes.settings.maxSpeed, fromWhole.settings.maxSpeed);
    ASSERT_EQ(fromBytes.warnings.size(), fromWhole.warnings.size());
    EXPECT_EQ(fromBytes.warnings[0].message, fromWhole.warnings[0].message);
#if !defined(_WIN32)
    EXPECT_EQ(readSettingsBytes("/dev/zero").size(), vantor::kSettingsFileLimit + 1);
#endif
}
