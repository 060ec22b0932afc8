// Loading refuses what is not the plug-in, and the unit reads the settings file written
// beside its private copy.
#include <gtest/gtest.h>

#include <string>

#include "plugin_library.h"
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
// idle unit (lowest pattern = Speed + 10) shows (Speed + 10) / 2.
TEST(PluginLibrary, TheUnitReadsTheScenarioSettings) {
    Scenario scenario;
    scenario.settings.speed = 100;
    scenario.settings.maxSpd = 120;
    scenario.run.duration = 0.1;
    scenario.run.powerSwitch = true;
    PluginLibrary library(VANTOR_LIBRARY, scenario.settings);

    struct Last : RunObserver {
        FrameRecord frame;
        void onFrame(const FrameRecord& f) override { frame = f; }
    } last;
    runScenario(scenario, library, {&last});
    EXPECT_EQ(last.frame.panel[kPanelPatternDisplay], 55);
    EXPECT_EQ(patternSpeedFromDisplay(55, true, scenario.settings), 110.0);
}
