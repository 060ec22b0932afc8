// The settings file: where it is looked for, how its texts become numbers, and which settings
// the unit ends up with for a given file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "../temp_folder.h"
#include "settings/settings.h"
#include "unit/vantor.h"

namespace {

using vantor::CVantor;
using vantor::testing::TempFolder;

// ---- The path beside the library -------------------------------------------------------------

std::string configPathFor(const std::string& modulePath) {
    std::vector<char> path(vantor::platform::kPathCapacity, '\0');
    std::memcpy(path.data(), modulePath.data(), std::min(modulePath.size() + 1, path.size()));
    vantor::configPathBeside(path.data(), path.size());
    return std::string(path.data(), strnlen(path.data(), path.size()));
}

TEST(ConfigPath, TakesDriveAndDirectoryOfTheLibrary) {
    const char* const cases[][2] = {
        {"/opt/train/libvantor.so", "/opt/train/VantorConfig.ini"},
        {"C:\\Train\\Plugin\\vantor.dll", "C:\\Train\\Plugin\\VantorConfig.ini"},
        {"C:/Train/vantor.dll", "C:/Train/VantorConfig.ini"},
        {"C:vantor.dll", "C:VantorConfig.ini"},
        {"\\\\server\\share\\vantor.dll", "\\\\server\\share\\VantorConfig.ini"},
        {"/libvantor.so", "/VantorConfig.ini"},
        {"libvantor.so", "VantorConfig.ini"},
        {"/opt/train/", "/opt/train/VantorConfig.ini"},
        {"", ""}, // no library path, no settings path
    };
    for (const auto& [module, config] : cases) {
        EXPECT_EQ(configPathFor(module), config) << module;
    }
}

// Folders deeper than the old 260-character buffers are read; only a path that the system's
// calls could not take gives no settings path.
TEST(ConfigPath, AnyPathTheSystemTakesUpToItsLimit) {
    constexpr size_t kLongest = vantor::platform::kPathCapacity - 1;
    const std::string fits = "/" + std::string(kLongest - 18, 'd') + "/";
    EXPECT_EQ(configPathFor(fits + "v.so"), fits + "VantorConfig.ini");
    EXPECT_EQ(configPathFor(fits + "v.so").size(), kLongest);
    EXPECT_EQ(configPathFor("/" + std::string(300, 'd') + "/v.so").size(), 318u);

    EXPECT_EQ(configPathFor("/d" + fits + "v.so"), "");
    // A library path that fills the whole buffer may have been cut short.
    EXPECT_EQ(configPathFor(std::string(kLongest + 1, '/')), "");
}

// ---- Texts to numbers ---------------------------------------------------------------------

TEST(DecimalPrefix, ReadsDecimalTextAsTheCLibraryDoes) {
    // clang-format off
    const char* const texts[] = {
        "2.50", "3", "2.7", "0.12345", "  2.7", "\t\n-2.5", "\v\f\r7", "+3", "-0", ".5", "5.",
        "-.5", "1e3", "1E+2", "2.5e-3", "1e", "1e+", "1e-x", "00012", "1.2.3", "12abc", "2,5",
        "1e999", "-1e999", "1e-999", "4e-320", "-1e-400", "100000e304", "0.0000000001e309",
        "0e999999", "1e-1000000000000000000000", "123456789012345678901234567890",
        "3.14159265358979323846264338327950288"};
    // clang-format on
    for (const char* text : texts) {
        const double expected = std::strtod(text, nullptr);
        const double actual = vantor::decimalPrefix(text);
        EXPECT_EQ(std::memcmp(&actual, &expected, sizeof actual), 0)
            << '"' << text << "\" gives " << actual << ", expected " << expected;
    }
}

TEST(DecimalPrefix, TextWithoutADecimalNumberGivesZero) {
    for (const char* text : {"", "abc", "-", "+", ".", "-.", "e5", ".e1", " ", "--1", "+-1", "inf",
                             "nan", "infinity", "0x10"}) {
        // Hexadecimal, infinity and NaN spellings are no decimal numbers; "0x10" reads its "0".
        EXPECT_EQ(vantor::decimalPrefix(text), 0.0) << '"' << text << '"';
    }
}

// ---- The settings a file gives --------------------------------------------------------------

struct Settings {
    double maxSpeed;
    double deceleration;
    double reactionTime;
    double displayResolution;
    double displayMaxSpeed;
};

Settings load(const std::string& configPath) {
    CVantor unit{};
    vantor::loadSettings(unit, configPath.c_str());
    return Settings{unit.maxSpeed, unit.deceleration, unit.reactionTime,
                    static_cast<double>(unit.displayResolution),
                    static_cast<double>(unit.displayMaxSpeed)};
}

Settings loadText(const std::string& text) {
    const TempFolder folder;
    return load(folder.write("VantorConfig.ini", text).string());
}

void expectDefaults(const Settings& s, const std::string& what) {
    EXPECT_EQ(s.maxSpeed, 125.0) << what;
    EXPECT_EQ(s.deceleration, 2.5) << what;
    EXPECT_EQ(s.reactionTime, 1.0) << what;
    EXPECT_EQ(s.displayResolution, 60) << what;
    EXPECT_EQ(s.displayMaxSpeed, 140) << what;
}

TEST(LoadSettings, NoFileOrTheRepositorysSampleGivesTheDefaults) {
    expectDefaults(load(""), "no path");
    const TempFolder folder;
    expectDefaults(load((folder.path() / "VantorConfig.ini").string()), "no file");
    expectDefaults(loadText(""), "empty file");
    const auto sample = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() /
                        "VantorConfig.ini";
    ASSERT_TRUE(std::filesystem::is_regular_file(sample)) << sample;
    expectDefaults(load(sample.string()), "sample file");
    Settings onlyScale = loadText("[LED]\nMaxSpd=120\n");
    EXPECT_EQ(onlyScale.displayMaxSpeed, 120);
    onlyScale.displayMaxSpeed = 140;
    expectDefaults(onlyScale, "a file with only the display scale");
}

// Each key read as its own kind of number: Speed an unsigned integer held in single precision,
// Deceleration and Rtime texts cut to seven characters, Deceleration rounded through single
// precision, the display keys integers.
TEST(LoadSettings, EachKeyIsReadAsItsOwnKindOfNumber) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    struct Case {
        const char* file;
        double Settings::*field;
        double expected;
    };
    const Case cases[] = {
        {"[SetSpec]\nSpeed=100\n", &Settings::maxSpeed, 100.0},
        {"[SetSpec]\nSpeed=-5\n", &Settings::maxSpeed, 4294967296.0},
        {"[SetSpec]\nSpeed=16777217\n", &Settings::maxSpeed, 16777216.0},
        {"[SetSpec]\nSpeed=99999999999\n", &Settings::maxSpeed, 1215752192.0},
        {"[SetSpec]\nSpeed=\n", &Settings::maxSpeed, 125.0}, // an empty number is no number
        {"[SetSpec]\nDeceleration=3\n", &Settings::deceleration, 3.0},
        {"[SetSpec]\nDeceleration=2.7\n", &Settings::deceleration, 2.700000047683716},
        {"[SetSpec]\nDeceleration=1e39\n", &Settings::deceleration, kInfinity},
        {"[SetSpec]\nDeceleration=2.71234567\n", &Settings::deceleration, double(2.71234f)},
        {"[SetSpec]\nDeceleration=abc\n", &Settings::deceleration, 0.0},
        {"[SetSpec]\nDeceleration=\n", &Settings::deceleration, 0.0}, // an empty text is a text
        {"[SetSpec]\nRtime=2.7\n", &Settings::reactionTime, 2.7},
        {"[SetSpec]\nRtime=0.123456789\n", &Settings::reactionTime, 0.12345},
        {"[SetSpec]\nRtime=\"       1.5\"\n", &Settings::reactionTime, 0.0}, // seven blanks
        {"[SetSpec]\nRtime=1.5e+01\n", &Settings::reactionTime, 15.0},
        {"[SetSpec]\nRtime=1.50e+01\n", &Settings::reactionTime, 1.5}, // cut to 1.50e+0
        {"[SetSpec]\nRtime=1e999999\n", &Settings::reactionTime, kInfinity},
        {"[Disp]\nResolution=0x3C0\n", &Settings::displayResolution, 960},
        {"[LED]\nMaxSpd=-1\n", &Settings::displayMaxSpeed, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(loadText(c.file).*c.field, c.expected) << c.file;
    }
}

// UTF-16 files, as editors save them, are narrowed in the read buffer itself before their lines
// are read. A character beyond ASCII matches no name and ends a number, even U+0100 and U+0131,
// whose low bytes are 0 and the digit 1; an odd last byte is no character.
TEST(LoadSettings, UnicodeFilesAsEditorsSaveThem) {
    const auto utf16 = [](const std::u16string& text, bool bigEndian) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t c : text) {
            const char high = static_cast<char>(c >> 8);
            const char low = static_cast<char>(c & 0xFF);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        return bytes;
    };
    const std::u16string text = u"[LED]\r\nMaxSpd=120\r\n";
    for (const std::string& file : {"\xEF\xBB\xBF" + std::string(text.begin(), text.end()),
                                    utf16(text, false), utf16(text, true) + "7"}) {
        EXPECT_EQ(loadText(file).displayMaxSpeed, 120) << file.size() << " bytes";
    }
    const Settings beyondAscii =
        loadText(utf16(u"[SetSpec\u00e9]\nSpeed=1\n[SetSpec]\nSpeed\u0100=7\nSpeed=\u00a090\n"
                       u"Rtime=2.5\u0100x\n[LED]\nMaxSpd=12\u01313\n",
                       false));
    EXPECT_EQ(beyondAscii.maxSpeed, 0.0) << "no digits before the non-ASCII character";
    EXPECT_EQ(beyondAscii.reactionTime, 2.5);
    EXPECT_EQ(beyondAscii.displayMaxSpeed, 12);
    expectDefaults(loadText("\xFF\xFE"), "only the byte-order mark");
}

// A file larger than the limit is read up to it, less the line that the limit cuts through, so
// that a number cut short is never read.
TEST(LoadSettings, AFileBeyondTheLimitIsReadUpToItsLastWholeLine) {
    const std::string key = "[LED]\nMaxSpd=120";
    const std::string spacer = "\n" + std::string(vantor::kSettingsFileLimit - key.size() - 2, ';');
    const std::pair<std::string, int32_t> cases[] = {
        {spacer + "\n" + key, 120},         // the limit, exactly
        {spacer + "\n" + key + "\n", 120},  // one line end past it
        {spacer + "\n" + key + "0\n", 140}, // not 120 from MaxSpd=1200
    };
    for (const auto& [file, maxSpd] : cases) {
        EXPECT_EQ(loadText(file).displayMaxSpeed, maxSpd) << file.size() << " bytes";
    }
    const Settings longValue =
        loadText("[SetSpec]\nRtime=2.5" + std::string(1 << 20, '[') + "\n[LED]\nMaxSpd=120\n");
    EXPECT_EQ(longValue.reactionTime, 1.0) << "the value's line is cut";
    EXPECT_EQ(longValue.displayMaxSpeed, 140) << "past the limit";
}

TEST(LoadSettings, GarbageGivesTheDefaultsButASectionAfterItIsFound) {
    std::string garbage;
    uint32_t state = 12345;
    for (int i = 0; i < (1 << 16); ++i) {
        state = state * 1103515245u + 12345u;
        garbage += static_cast<char>(state >> 24);
    }
    expectDefaults(loadText(garbage), "binary garbage");
    expectDefaults(loadText(std::string(4096, '\0')), "zero bytes");
    EXPECT_EQ(loadText(garbage + "\n[LED]\nMaxSpd=120\n").displayMaxSpeed, 120)
        << "a section after the garbage is still found";
}

// A host process may run under a locale that writes 2,5 for two and a half; the settings file
// still means 2.5.
TEST(LoadSettings, IgnoresTheLocaleOfTheHostProcess) {
    const TempFolder locales;
    locales.write("comma.def", "LC_NUMERIC\ndecimal_point \"<U002C>\"\nthousands_sep \"<U002E>\"\n"
                               "grouping 3;3\nEND LC_NUMERIC\n");
    // localedef complains about the categories left out but writes the locale.
    const std::string build = "localedef -c -i '" + (locales.path() / "comma.def").string() +
                              "' '" + (locales.path() / "comma").string() + "' 2>/dev/null";
    std::system(build.c_str());
    ::setenv("LOCPATH", locales.path().c_str(), 1);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "comma"), nullptr) << "cannot build a comma locale";
    const double cLibrary = std::strtod("2,5", nullptr);
    const double point = vantor::decimalPrefix("2.5");
    const double comma = vantor::decimalPrefix("2,5");
    const Settings s = loadText("[SetSpec]\nDeceleration=2.7\nRtime=1,5\n");
    std::setlocale(LC_NUMERIC, "C");
    ::unsetenv("LOCPATH");

    ASSERT_EQ(cLibrary, 2.5) << "the locale is in force";
    EXPECT_EQ(point, 2.5);
    EXPECT_EQ(comma, 2.0);
    EXPECT_EQ(s.deceleration, 2.700000047683716);
    EXPECT_EQ(s.reactionTime, 1.0);
}

TEST(LoadSettings, AFolderInPlaceOfTheFileGivesTheDefaults) {
    const TempFolder folder;
    const auto path = folder.path() / "VantorConfig.ini";
    std::filesystem::create_directory(path);
    expectDefaults(load(path.string()), "a folder");
}

// A pipe in place of the file has no writer: waiting for one would hang the host's Initialize.
// Should the load wait after all, the alarm ends it and the test fails instead of hanging.
TEST(LoadSettings, APipeInPlaceOfTheFileGivesTheDefaultsWithoutWaiting) {
    const TempFolder folder;
    const std::string path = (folder.path() / "VantorConfig.ini").string();
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EXIT(
        {
            ::alarm(2);
            const Settings s = load(path);
            std::exit(s.maxSpeed == 125.0 && s.displayMaxSpeed == 140 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// A host may have closed its standard input, so that the file comes as descriptor 0, and errno
// may still say that some call of the host's was interrupted: neither keeps the file from being
// read, nor the read from ending at the end of the file.
TEST(LoadSettings, ReadOnDescriptorZeroWithAnInterruptLeftInErrno) {
    const TempFolder folder;
    const std::string path = folder.write("VantorConfig.ini", "[SetSpec]\nSpeed=90\n").string();
    EXPECT_EXIT(
        {
            ::alarm(2);
            ::close(0);
            errno = EINTR;
            std::exit(load(path).maxSpeed == 90.0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
