// Loading refuses what is not the plug-in, and the unit reads the settings file written
// beside its private copy.
#include <gtest/gtest.h>

#include <string>

#include "plugin_library.h"
#include "scenario_parser.h"
#include "simulation.h"

using namespace vantor::sim;

namespace {

std::string loadError(const std::string& path) {
    try {
        PluginLibrary library(path, Settings{});
    } catch (const LibraryError& error) {
        return error.what();
    }
    return "";
}

} // namespace

TEST(PluginLibrary, RefusesWhatIsNotThePlugin) {
    EXPECT_EQ(loadError("/nonexistent/libvantor.so"), "/nonexistent/libvantor.so: no such library");
    EXPECT_EQ(loadError(NOT_A_PLUGIN),
              std::string(NOT_A_PLUGIN) +
                  ": not a plug-in: missing exports GetPluginVersion, SetVehicleSpec, "
                  "Initialize, Elapse, SetPower, SetBrake, SetReverser, KeyDown, KeyUp, "
                  "HornBlow, DoorOpen, DoorClose, SetSignal, SetBeaconData");
    const std::string notLoadable = loadError(SCENARIO_DIR "/golden.cmake");
    EXPECT_NE(notLoadable.find("cannot load the library"), std::string::npos) << notLoadable;
}

// The unit shows its settings on the pattern display: with MaxSpd 120 and Resolution 60 an
// idle unit (lowest pattern = Speed + 10) shows (Speed + 10) / 2. The settings come from the
// scenario's table, or from an author's own file (here saved as UTF-16) copied as it is.
TEST(PluginLibrary, TheUnitReadsTheScenarioSettingsOrTheGivenFile) {
    Scenario scenario = parseScenario("[settings]\nSpeed = 100\nMaxSpd = 120\n[run]\n"
                                      "duration = 0.1\npower_switch = true\n",
                                      "line.toml");
    std::string file = "\xFF\xFE";
    for (const char c : std::string("[LED]\r\nMaxSpd=120\r\n[SetSpec]\r\nSpeed=90\r\n")) {
        file += std::string{c, '\0'};
    }
    Scenario ownFile = scenario;
    ownFile.settings.file = SettingsFile(file);

    struct Last : RunObserver {
        FrameRecord frame;
        void onFrame(const FrameRecord& f) override { frame = f; }
    };
    Last fromTable;
    PluginLibrary tableLibrary(VANTOR_LIBRARY, scenario.settings);
    runScenario(scenario, tableLibrary, {&fromTable});
    EXPECT_EQ(fromTable.frame.panel[kPanelPatternDisplay], 55);
    EXPECT_EQ(patternSpeedFromDisplay(55, true, scenario.settings.file.unit()), 110.0);

    Last fromFile;
    PluginLibrary fileLibrary(VANTOR_LIBRARY, std::optional(file));
    runScenario(ownFile, fileLibrary, {&fromFile});
    EXPECT_EQ(fromFile.frame.panel[kPanelPatternDisplay], 50);
    EXPECT_EQ(patternSpeedFromDisplay(50, true, ownFile.settings.file.unit()), 100.0);
}
