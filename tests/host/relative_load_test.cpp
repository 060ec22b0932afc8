// A host that loads the library by a relative path and then changes its working folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "../temp_folder.h"
#include "loaded_plugin.h"

namespace {

using vantor::testing::LoadedPlugin;
using vantor::testing::TempFolder;

TEST(RelativeLoad, SettingsAreFoundAfterTheHostChangesFolder) {
    const TempFolder folder;
    std::filesystem::copy_file(VANTOR_LIBRARY, folder.path() / "libvantor.so");
    folder.write("VantorConfig.ini", "[LED]\nMaxSpd=120\n");
    const std::filesystem::path before = std::filesystem::current_path();

    std::filesystem::current_path(folder.path());
    LoadedPlugin plugin("./libvantor.so");
    std::filesystem::current_path("/");
    plugin.start();
    plugin.frame(1000, 60.0f);
    std::filesystem::current_path(before);

    EXPECT_EQ(plugin.panel[18], 30) << "60 km/h on a 120 km/h scale of 60 steps";
}

} // namespace
