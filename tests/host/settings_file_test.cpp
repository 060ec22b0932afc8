// The settings file as a vehicle author uses it: the library copied into a folder with
// VantorConfig.ini beside it, loaded as the host loads it, and the effect of each setting seen
// on the brake, the lamps and the displays. How the file's text is read is shown by the unit
// tests of the reader.
//
// The host keeps one instance per library file, so every case installs a fresh copy in a
// folder of its own.
#include <gtest/gtest.h>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "../temp_folder.h"
#include "loaded_plugin.h"

namespace {

namespace fs = std::filesystem;
using vantor::testing::LoadedPlugin;
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

// Before a stop point 644 m ahead (a code-80 coil with no coil before it): the pattern
// display at 1 km/h, and where warning and brake come.
TEST(SettingsFile, DecelerationAndReactionTimeMoveTheStopCurve) {
    struct Case {
        Settings settings;
        int32_t patternDisplay;
        float warning;
        float brake;
    };
    const Case cases[] = {
        {std::nullopt, 45, 85.1f, 105.0f}, // 107 km/h at 644 m
        {"[SetSpec]\nDeceleration=3\n", 50, 92.9f, 114.3f},
        {"[SetSpec]\nDeceleration=2.7\n", 47, 88.3f, 109.0f},
        {"[SetSpec]\nRtime=2.7\n", 45, 81.9f, 101.0f},
        {"[SetSpec]\nRtime=0.123456789\n", 45, 86.8f, 107.0f},
        // No braking at all: even the empty stop slots hold their floor of 10 km/h.
        {"[SetSpec]\nDeceleration=abc\n", 4, 1.0f, 10.0f},
    };
    for (const Case& c : cases) {
        Installation installation(c.settings);
        LoadedPlugin& plugin = *installation.plugin;
        plugin.beacon(70, 0, 80);
        plugin.frame(plugin.time, 1.0f);
        const std::string what = c.settings.value_or("no file");
        EXPECT_EQ(plugin.panel[kPatternDisplay], c.patternDisplay) << what;
        const Onsets onsets = rampUp(plugin, 10);
        EXPECT_FLOAT_EQ(onsets.warning, c.warning) << what;
        EXPECT_FLOAT_EQ(onsets.brake, c.brake) << what;
    }
}

TEST(SettingsFile, MaximumSpeedAndDisplayScaleAtOverspeed) {
    struct Case {
        Settings settings;
        int32_t speedDisplay; // at 100 km/h
        int32_t patternDisplay;
        float warning;
        float brake;
    };
    const Case cases[] = {
        {std::nullopt, 42, 57, 125.1f, 135.0f}, // 60 steps for 140 km/h
        {"[SetSpec]\nSpeed=100\n", 42, 47, 100.1f, 110.0f},
        {"[LED]\nMaxSpd=120\n", 50, 67, 125.1f, 135.0f}, // the display scale alone
    };
    for (const Case& c : cases) {
        Installation installation(c.settings);
        LoadedPlugin& plugin = *installation.plugin;
        plugin.frame(plugin.time, 100.0f);
        const std::string what = c.settings.value_or("no file");
        EXPECT_EQ(plugin.panel[kSpeedDisplay], c.speedDisplay) << what;
        EXPECT_EQ(plugin.panel[kPatternDisplay], c.patternDisplay) << what;
        const Onsets onsets = rampUp(plugin, 1000);
        EXPECT_FLOAT_EQ(onsets.warning, c.warning) << what;
        EXPECT_FLOAT_EQ(onsets.brake, c.brake) << what;
    }
}

TEST(SettingsFile, ZeroDisplayScaleShowsZeroOnBothDisplays) {
    for (const char* settings : {"[LED]\nMaxSpd=0\n", "[LED]\nMaxSpd=0\n[Disp]\nResolution=0\n",
                                 "[LED]\nMaxSpd=0\n[Disp]\nResolution=-60\n"}) {
        Installation installation(std::string{settings});
        LoadedPlugin& plugin = *installation.plugin;
        for (const float kmh : {0.0f, 100.0f, 150.0f, -20.0f}) {
            plugin.frame(plugin.time, kmh);
            EXPECT_EQ(plugin.panel[kSpeedDisplay], 0) << settings << kmh;
            EXPECT_EQ(plugin.panel[kPatternDisplay], 0) << settings << kmh;
        }
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

// The speed display at 100 km/h of a library whose folder path, with the trailing separator,
// is length characters long, beside a file with MaxSpd=120.
int32_t speedDisplayAtDepth(const TempFolder& base, size_t length) {
    fs::path folder = base.path();
    while (folder.string().size() + 1 < length) {
        const size_t left = length - folder.string().size() - 2;
        folder /= std::string(std::min<size_t>(left, 200), 'd');
    }
    EXPECT_EQ(folder.string().size() + 1, length);
    fs::create_directories(folder);
    InstalledPlugin plugin("[LED]\nMaxSpd=120\n", folder);
    plugin->frame(plugin->time, 100.0f);
    return plugin->panel[kSpeedDisplay];
}

TEST(SettingsFile, AFolderPathTooLongForTheBuffersLoadsWithTheDefaults) {
    const TempFolder base;
    ASSERT_LT(base.path().string().size(), 200u) << "the temporary folder is too deep already";
    // Folder and file name make 243 + 16 = 259 characters: the longest path that is read.
    EXPECT_EQ(speedDisplayAtDepth(base, 243), 50);
    // The library's own path still fits, the settings file's path does not.
    EXPECT_EQ(speedDisplayAtDepth(base, 246), 42);
    // Neither fits.
    EXPECT_EQ(speedDisplayAtDepth(base, 600), 42);
}

} // namespace
