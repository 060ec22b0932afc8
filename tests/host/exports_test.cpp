// The library's face to the host: its exports and its version.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "loaded_plugin.h"

using vantor::loader::LoadedPlugin;

TEST(Exports, ExactlyTheSixteenFunctionsLeaveTheLibrary) {
    const std::string command = std::string("nm -D --defined-only ") + VANTOR_LIBRARY;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> exported;
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        char address[64];
        char kind[8];
        char name[256];
        if (std::sscanf(line, "%63s %7s %255s", address, kind, name) == 3) {
            exported.insert(name);
        }
    }
    ASSERT_EQ(pclose(pipe), 0);
    const std::set<std::string> expected(std::begin(vantor::kExportNames),
                                         std::end(vantor::kExportNames));
    EXPECT_EQ(exported, expected);
}

TEST(Exports, VersionIsTwoPointZero) {
    LoadedPlugin plugin;
    EXPECT_EQ(plugin.getPluginVersion(), 131072);
}
