// Loading refuses what is not the plug-in, and the unit reads the settings file written
// beside its private copy.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "drive/simulation.h"
#include "host/plugin_library.h"
#include "scenario/scenario_parser.h"

using namespace vantor;
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

// A Windows DLL built for 32 bits fails to load as a broken file does; its header tells which.
TEST(PluginLibrary, TellsA32BitDllFromABrokenFile) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vantor-dlls-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    auto write = [&](const std::string& name, uint16_t machine, size_t size) {
        std::string bytes(0x200, '\0');
        bytes[0] = 'M';
        bytes[1] = 'Z';
        bytes[0x3C] = 0x80; // where the "PE" signature lies
        bytes.replace(0x80, 4, std::string("PE\0\0", 4));
        bytes[0x84] = static_cast<char>(machine & 0xFF);
        bytes[0x85] = static_cast<char>(machine >> 8);
        std::ofstream((folder / name).string(), std::ios::binary) << bytes.substr(0, size);
        return (folder / name).string();
    };
    const std::string x86 = write("x86.dll", 0x014C, 0x200);
    EXPECT_EQ(loadError(x86), x86 + ": cannot load the library: a 32-bit Windows DLL (machine "
                                    "i386): a 64-bit program loads 64-bit (x64) DLLs only");
    const std::string arm = write("arm.dll", 0xAA64, 0x200);
    EXPECT_NE(loadError(arm).find("a Windows DLL for another processor (machine 0xAA64)"),
              std::string::npos);
    // Cut before its header says what it is built for.
    const std::string cut = loadError(write("cut.dll", 0x014C, 0x82));
    EXPECT_NE(cut.find("cannot load the library"), std::string::npos) << cut;
    EXPECT_EQ(cut.find("32-bit"), std::string::npos) << cut;
    std::filesystem::remove_all(folder);
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
    EXPECT_EQ(fromTable.frame.panel[vantor::kPanelPatternDisplay], 55);
    EXPECT_EQ(patternSpeedFromDisplay(55, true, scenario.settings.file.unit()), 110.0);

    Last fromFile;
    PluginLibrary fileLibrary(VANTOR_LIBRARY, std::optional(file));
    runScenario(ownFile, fileLibrary, {&fromFile});
    EXPECT_EQ(fromFile.frame.panel[vantor::kPanelPatternDisplay], 50);
    EXPECT_EQ(patternSpeedFromDisplay(50, true, ownFile.settings.file.unit()), 100.0);
}
