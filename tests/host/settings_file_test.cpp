// The settings file as a vehicle author uses it: the library copied into a folder with
// VantorConfig.ini beside it, loaded as the host loads it, and the effect of each setting seen
// on the brake, the lamps and the displays. How the file's text is read is shown by the unit
// tests of the reader.
//
// The host keeps one instance per library file, so every case installs a fresh copy in a
// folder of its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "../temp_folder.h"
#include "loaded_plugin.h"

namespace {

namespace fs = std::filesystem;
using vantor::loader::LoadedPlugin;
using vantor::testing::TempFolder;
using Settings = std::optional<std::string>;

constexpr int32_t kEmergencyBrake = 9; // LoadedPlugin::start gives 8 service notches
constexpr int kWarningLamp = 14;
constexpr int kSpeedDisplay = 18;
constexpr int kPatternDisplay = 19;
constexpr int32_t kStartTime = 1000;

// The library and, when given, a settings file, put into folder; then loaded and started.
class InstalledPlugin {
  public:
    InstalledPlugin(const Settings& settings, const fs::path& folder) {
        if (settings) {
            std::ofstream(folder / "VantorConfig.ini", std::ios::binary) << *settings;
        }
        const fs::path library = folder / "libvantor.so";
        fs::copy_file(VANTOR_LIBRARY, library);
        plugin_ = std::make_unique<LoadedPlugin>(library.string());
        plugin_->start();
        plugin_->frame(kStartTime, 1.0f);
    }
    LoadedPlugin& operator*() { return *plugin_; }
    LoadedPlugin* operator->() { return plugin_.get(); }

  private:
    std::unique_ptr<LoadedPlugin> plugin_;
};

// A library in a temporary folder of its own.
struct Installation {
    explicit Installation(const Settings& settings = std::nullopt)
        : plugin(settings, folder.path()) {}
    TempFolder folder;
    InstalledPlugin plugin;
};

struct Onsets {
    float warning = NAN;
    float brake = NAN;
};

// Raises the speed by 0.1 km/h a frame while the host clock stands still, so that the train
// keeps its place before the patterns, and notes where the warning lamp and the emergency
// brake first come.
Onsets rampUp(LoadedPlugin& plugin, int fromTenths) {
    Onsets onsets;
    for (int tenths = fromTenths; tenths <= 1500 && std::isnan(onsets.brake); ++tenths) {
        const float kmh = static_cast<float>(tenths) / 10.0f;
        const Handles handles = plugin.frame(plugin.time, kmh);
        if (std::isnan(onsets.warning) && plugin.panel[kWarningLamp] == 1) {
            onsets.warning = kmh;
        }
        if (handles.brake == kEmergencyBrake) {
            onsets.brake = kmh;
        }
    }
    return onsets;
}

// Each setting seen where the driver meets it: the pattern display at 1 km/h, where warning and
// brake come as the train speeds up, on open line or before a stop point 644 m ahead (a code-80
// coil with no coil before it), and the speed display at 100 km/h.
TEST(SettingsFile, EachSettingMovesTheDisplaysOrTheCurves) {
    struct Case {
        Settings settings;
        bool stopPoint;
        int32_t speedDisplay; // at 100 km/h
        int32_t patternDisplay;
        float warning;
        float brake;
    };
    const Case cases[] = {
        {std::nullopt, false, 42, 57, 125.1f, 135.0f}, // 60 steps for 140 km/h
        {"[SetSpec]\nSpeed=100\n", false, 42, 47, 100.1f, 110.0f},
        {"[LED]\nMaxSpd=120\n", false, 50, 67, 125.1f, 135.0f}, // the display scale alone
        {"[LED]\nMaxSpd=0\n[Disp]\nResolution=-60\n", false, 0, 0, 125.1f, 135.0f},
        {std::nullopt, true, 42, 45, 85.1f, 105.0f}, // 107 km/h at 644 m
        {"[SetSpec]\nDeceleration=3\n", true, 42, 50, 92.9f, 114.3f},
        {"[SetSpec]\nDeceleration=2.7\n", true, 42, 47, 88.3f, 109.0f},
        {"[SetSpec]\nRtime=2.7\n", true, 42, 45, 81.9f, 101.0f},
        {"[SetSpec]\nRtime=0.123456789\n", true, 42, 45, 86.8f, 107.0f},
        // No braking at all: even the empty stop slots hold their floor of 10 km/h.
        {"[SetSpec]\nDeceleration=abc\n", true, 42, 4, 1.0f, 10.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings.value_or("no file"));
        Installation installation(c.settings);
        LoadedPlugin& plugin = *installation.plugin;
        if (c.stopPoint) {
            plugin.beacon(70, 0, 80);
        }
        plugin.frame(plugin.time, 1.0f);
        EXPECT_EQ(plugin.panel[kPatternDisplay], c.patternDisplay);
        const Onsets onsets = rampUp(plugin, 10);
        EXPECT_FLOAT_EQ(onsets.warning, c.warning);
        EXPECT_FLOAT_EQ(onsets.brake, c.brake);
        plugin.frame(plugin.time, 100.0f);
        EXPECT_EQ(plugin.panel[kSpeedDisplay], c.speedDisplay);
    }
}

TEST(SettingsFile, AnEditedFileTakesEffectAtTheNextInitialize) {
    Installation installation("[LED]\nMaxSpd=120\n");
    LoadedPlugin& plugin = *installation.plugin;
    installation.folder.write("VantorConfig.ini", "[LED]\nMaxSpd=100\n[SetSpec]\nSpeed=100\n");
    plugin.frame(plugin.time, 100.0f);
    plugin.step(100, 100.0f);
    EXPECT_EQ(plugin.panel[kSpeedDisplay], 50) << "frames alone do not read the file";
    EXPECT_EQ(plugin.panel[kPatternDisplay], 67);

    plugin.initialize(0);
    plugin.frame(kStartTime, 100.0f);
    EXPECT_EQ(plugin.panel[kSpeedDisplay], 60);
    EXPECT_EQ(plugin.panel[kPatternDisplay], 66) << "110 km/h on 60 steps for 100 km/h";

    fs::remove(installation.folder.path() / "VantorConfig.ini");
    plugin.initialize(0);
    plugin.frame(kStartTime, 100.0f);
    EXPECT_EQ(plugin.panel[kSpeedDisplay], 42) << "a removed file gives the defaults again";
    EXPECT_EQ(plugin.panel[kPatternDisplay], 57);
}

// Train folders deep in a chain of sub-folders have their settings read, up to the longest path
// the system's calls take: 4095 characters and the terminator.
TEST(SettingsFile, ReadUpToTheLongestPathTheSystemTakes) {
    for (const auto& [configPathLength, speedDisplay] : {std::pair{4095u, 50}, {4096u, 42}}) {
        const TempFolder base;
        fs::path folder = fs::canonical(base.path());
        while (configPathLength - folder.string().size() > 250) {
            folder /= std::string(200, 'd');
        }
        const size_t left = configPathLength - folder.string().size();
        folder /= std::string(left - std::string("//VantorConfig.ini").size(), 'e');
        fs::create_directories(folder);
        InstalledPlugin plugin("[LED]\nMaxSpd=120\n", folder);
        plugin->frame(plugin->time, 100.0f);
        EXPECT_EQ(plugin->panel[kSpeedDisplay], speedDisplay) << configPathLength;
    }
}

// A host that loads the library by a relative path and then changes its working folder.
TEST(SettingsFile, FoundAfterTheHostChangesFolder) {
    const TempFolder folder;
    fs::copy_file(VANTOR_LIBRARY, folder.path() / "libvantor.so");
    folder.write("VantorConfig.ini", "[LED]\nMaxSpd=120\n");
    const fs::path before = fs::current_path();
    fs::current_path(folder.path());
    LoadedPlugin plugin("./libvantor.so");
    fs::current_path("/");
    plugin.start();
    plugin.frame(1000, 60.0f);
    fs::current_path(before);
    EXPECT_EQ(plugin.panel[kSpeedDisplay], 30) << "60 km/h on a 120 km/h scale of 60 steps";
}

// A process that saves the file again and again, as an editor does (truncate, then write),
// while the host starts run after run: no Initialize may fault on a part of the file that the
// truncation took away, and each setting comes from one of the two texts or is the default.
TEST(SettingsFile, SurvivesTheFileBeingRewrittenWhileItIsRead) {
    const TempFolder folder;
    // Notes fill the long text over many pages, so that its keys lie where truncations strike.
    std::string longText;
    while (longText.size() < 256 * 1024) {
        longText += "; a note line that the unit skips, one of many\n";
    }
    longText += "[SetSpec]\nSpeed=100\n[LED]\nMaxSpd=120\n";
    const std::string shortText = "[LED]\nMaxSpd=100\n[SetSpec]\nSpeed=90\n";
    InstalledPlugin plugin(longText, folder.path());
    const std::string path = (folder.path() / "VantorConfig.ini").string();

    const pid_t editor = ::fork();
    ASSERT_GE(editor, 0);
    if (editor == 0) {
        // Should the test die of a fault, the editor goes with it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        for (int save = 0;; ++save) {
            const std::string& text = save % 2 == 0 ? shortText : longText;
            const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
            if (fd < 0 || ::write(fd, text.data(), text.size()) < 0) {
                ::_exit(1);
            }
            ::close(fd);
            // Sometimes a pause, so that runs also start between two saves.
            if (save % 4 == 0) {
                ::usleep(200);
            }
        }
    }
    // Speed display at 100 km/h for MaxSpd 100, 120 and 140 (the default), and the idle pattern
    // display, Speed + 10, for Speed 90, 100 and 125 (the default) on that scale.
    const std::map<int32_t, std::set<int32_t>> shown = {
        {60, {60, 66, 81}}, {50, {50, 55, 67}}, {42, {42, 47, 57}}};
    int strange = 0;
    for (int run = 0; run < 3000; ++run) {
        plugin->initialize(0);
        plugin->frame(kStartTime, 100.0f);
        const auto scale = shown.find(plugin->panel[kSpeedDisplay]);
        if (scale == shown.end() || scale->second.count(plugin->panel[kPatternDisplay]) == 0) {
            ++strange;
        }
    }
    ::kill(editor, SIGKILL);
    int status = 0;
    ::waitpid(editor, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the editor stopped early";
    EXPECT_EQ(strange, 0) << "runs with a setting from neither text";
}

} // namespace
