// The settings file as a vehicle author uses it: the library copied into a folder with
// VantorConfig.ini beside it, loaded as the host loads it, and the effect of each setting seen
// on the brake, the lamps and the displays.
//
// The host keeps one instance per library file, so every case installs a fresh copy in a
// folder of its own.
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

constexpr int32_t kEmergencyBrake = 9; // LoadedPlugin::start gives 8 service notches
constexpr int kWarningLamp = 14;
constexpr int kSpeedDisplay = 18;
constexpr int kPatternDisplay = 19;
constexpr int32_t kCoil = 70;
constexpr int32_t kStartTime = 1000;

// The library and, when given, a settings file, put into folder; then loaded and started.
class InstalledPlugin {
  public:
    explicit InstalledPlugin(const std::optional<std::string>& settings, const fs::path& folder) {
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
    explicit Installation(const std::optional<std::string>& settings = std::nullopt)
        : plugin(settings, folder.path()) {}
    TempFolder folder;
    InstalledPlugin plugin;
};

// A stop point 644 m ahead: a coil of code 80 with no coil before it.
void passStopCoil(LoadedPlugin& plugin) {
    plugin.beacon(kCoil, 0, 80);
}

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

// Where warning and brake come before the stop point, and the pattern display at 1 km/h.
struct StopPoint {
    Onsets onsets;
    int32_t patternDisplay;
};

StopPoint approachStopPoint(const std::optional<std::string>& settings) {
    Installation installation(settings);
    LoadedPlugin& plugin = *installation.plugin;
    passStopCoil(plugin);
    plugin.frame(plugin.time, 1.0f);
    const int32_t display = plugin.panel[kPatternDisplay];
    return StopPoint{rampUp(plugin, 10), display};
}

TEST(SettingsFile, WithoutAFileTheDefaultsApply) {
    {
        Installation installation;
        LoadedPlugin& plugin = *installation.plugin;
        plugin.frame(plugin.time, 100.0f);
        EXPECT_EQ(plugin.panel[kSpeedDisplay], 42) << "60 steps for 140 km/h";
        EXPECT_EQ(plugin.panel[kPatternDisplay], 57) << "135 km/h";
        const Onsets overspeed = rampUp(plugin, 1000);
        EXPECT_FLOAT_EQ(overspeed.warning, 125.1f);
        EXPECT_FLOAT_EQ(overspeed.brake, 135.0f);
    }
    const StopPoint stop = approachStopPoint(std::nullopt);
    EXPECT_EQ(stop.patternDisplay, 45) << "107 km/h at 644 m";
    EXPECT_FLOAT_EQ(stop.onsets.warning, 85.1f);
    EXPECT_FLOAT_EQ(stop.onsets.brake, 105.0f);
}

TEST(SettingsFile, DecelerationMovesWarningAndBrake) {
    const StopPoint three = approachStopPoint("[SetSpec]\nDeceleration=3\n");
    EXPECT_EQ(three.patternDisplay, 50) << "117 km/h at 644 m";
    EXPECT_FLOAT_EQ(three.onsets.warning, 92.9f);
    EXPECT_FLOAT_EQ(three.onsets.brake, 114.3f);

    const StopPoint twoSeven = approachStopPoint("[SetSpec]\nDeceleration=2.7\n");
    EXPECT_EQ(twoSeven.patternDisplay, 47) << "111 km/h at 644 m";
    EXPECT_FLOAT_EQ(twoSeven.onsets.warning, 88.3f);
    EXPECT_FLOAT_EQ(twoSeven.onsets.brake, 109.0f);
}

TEST(SettingsFile, ReactionTimeMovesWarningAndBrake) {
    const StopPoint slow = approachStopPoint("[SetSpec]\nRtime=2.7\n");
    EXPECT_EQ(slow.patternDisplay, 45);
    EXPECT_FLOAT_EQ(slow.onsets.warning, 81.9f);
    EXPECT_FLOAT_EQ(slow.onsets.brake, 101.0f);

    const StopPoint quick = approachStopPoint("[SetSpec]\nRtime=0.123456789\n");
    EXPECT_FLOAT_EQ(quick.onsets.warning, 86.8f);
    EXPECT_FLOAT_EQ(quick.onsets.brake, 107.0f);
}

TEST(SettingsFile, DecelerationThatIsNoNumberFlattensEveryCurveToItsFloor) {
    // With no braking at all, even the empty stop slots hold their floor of 10 km/h: the
    // warning lamp lights as soon as the train moves and the brake comes at 10 km/h.
    const StopPoint stop = approachStopPoint("[SetSpec]\nDeceleration=abc\n");
    EXPECT_EQ(stop.patternDisplay, 4) << "10 km/h";
    EXPECT_FLOAT_EQ(stop.onsets.warning, 1.0f);
    EXPECT_FLOAT_EQ(stop.onsets.brake, 10.0f);
}

TEST(SettingsFile, MaximumSpeedMovesOverspeedWarningAndBrake) {
    Installation installation("[SetSpec]\nSpeed=100\n");
    LoadedPlugin& plugin = *installation.plugin;
    plugin.frame(plugin.time, 50.0f);
    EXPECT_EQ(plugin.panel[kPatternDisplay], 47) << "110 km/h";
    const Onsets overspeed = rampUp(plugin, 500);
    EXPECT_FLOAT_EQ(overspeed.warning, 100.1f);
    EXPECT_FLOAT_EQ(overspeed.brake, 110.0f);
}

TEST(SettingsFile, DisplayScaleAloneChangesOnlyTheDisplays) {
    Installation installation("[LED]\nMaxSpd=120\n");
    LoadedPlugin& plugin = *installation.plugin;
    plugin.frame(plugin.time, 100.0f);
    EXPECT_EQ(plugin.panel[kSpeedDisplay], 50) << "60 steps for 120 km/h";
    EXPECT_EQ(plugin.panel[kPatternDisplay], 67) << "135 km/h on the same scale";
    const Onsets overspeed = rampUp(plugin, 1000);
    EXPECT_FLOAT_EQ(overspeed.warning, 125.1f);
    EXPECT_FLOAT_EQ(overspeed.brake, 135.0f);
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
    plugin.frame(plugin.time, 100.0f);
    ASSERT_EQ(plugin.panel[kSpeedDisplay], 50);

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

TEST(SettingsFile, TheRepositorysSampleFileGivesTheDefaults) {
    const fs::path sample =
        fs::path(__FILE__).parent_path().parent_path().parent_path() / "VantorConfig.ini";
    std::ifstream in(sample, std::ios::binary);
    ASSERT_TRUE(in) << sample;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const StopPoint stop = approachStopPoint(text);
    EXPECT_EQ(stop.patternDisplay, 45);
    EXPECT_FLOAT_EQ(stop.onsets.warning, 85.1f);
    EXPECT_FLOAT_EQ(stop.onsets.brake, 105.0f);
}

TEST(SettingsFile, MalformedFilesLoadAndGiveTheDefaults) {
    const std::string megabyte(1 << 20, 'x');
    std::string garbage;
    uint32_t state = 99;
    for (int i = 0; i < (1 << 16); ++i) {
        state = state * 1103515245u + 12345u;
        garbage += static_cast<char>(state >> 24);
    }
    for (const std::string& settings :
         {std::string("[LED\nMaxSpd=120\n[SetSpec\nDeceleration=3\n"),
          std::string("MaxSpd=120\nDeceleration=3\n[LED]\n"), megabyte,
          "[LED]\nMaxSpd" + megabyte + "=120\n" + megabyte + "\n", garbage}) {
        Installation installation(settings);
        LoadedPlugin& plugin = *installation.plugin;
        plugin.frame(plugin.time, 100.0f);
        EXPECT_EQ(plugin.panel[kSpeedDisplay], 42) << settings.substr(0, 40);
        EXPECT_EQ(plugin.panel[kPatternDisplay], 57) << settings.substr(0, 40);
    }
}

TEST(SettingsFile, AFolderInPlaceOfTheFileGivesTheDefaults) {
    TempFolder folder;
    fs::create_directory(folder.path() / "VantorConfig.ini");
    InstalledPlugin plugin(std::nullopt, folder.path());
    plugin->frame(plugin->time, 100.0f);
    EXPECT_EQ(plugin->panel[kSpeedDisplay], 42);
    EXPECT_EQ(plugin->panel[kPatternDisplay], 57);
}

// A library whose folder path is length characters long, with the trailing separator.
std::unique_ptr<InstalledPlugin> installAtDepth(const TempFolder& base, size_t length) {
    fs::path folder = base.path();
    while (folder.string().size() + 1 < length) {
        const size_t left = length - folder.string().size() - 2;
        folder /= std::string(std::min<size_t>(left, 200), 'd');
    }
    EXPECT_EQ(folder.string().size() + 1, length);
    fs::create_directories(folder);
    return std::make_unique<InstalledPlugin>("[LED]\nMaxSpd=120\n", folder);
}

int32_t speedDisplayAt100(InstalledPlugin& plugin) {
    plugin->frame(plugin->time, 100.0f);
    return plugin->panel[kSpeedDisplay];
}

TEST(SettingsFile, AFolderPathTooLongForTheBuffersLoadsWithTheDefaults) {
    const TempFolder base;
    ASSERT_LT(base.path().string().size(), 200u) << "the temporary folder is too deep already";
    // Folder and file name make 243 + 16 = 259 characters: the longest path that is read.
    EXPECT_EQ(speedDisplayAt100(*installAtDepth(base, 243)), 50);
    // The library's own path still fits, the settings file's path does not.
    EXPECT_EQ(speedDisplayAt100(*installAtDepth(base, 246)), 42);
    // Neither fits.
    EXPECT_EQ(speedDisplayAt100(*installAtDepth(base, 600)), 42);
}

} // namespace
