// The library's writable image saved and restored into the same loaded instance: the library
// then carries on from the save as if nothing had run since, frame for frame.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "../temp_folder.h"
#include "snapshot_branch.h"

namespace {

using vantor::loader::LibraryError;
using vantor::loader::LibrarySnapshot;
using vantor::testing::driveTheCommonStart;
using vantor::testing::firstDifference;
using vantor::testing::FrameOutputs;
using vantor::testing::hostSide;
using vantor::loader::LoadedPlugin;
using vantor::testing::playTheBranch;
using vantor::testing::restoreHostSide;

constexpr int kBranchFrames = 400;
constexpr int32_t kEmergencyNotch = 9; // eight service notches

TEST(LibrarySnapshot, BranchPlaysTheSameAfterARestoreAndDiffersWithout) {
    LoadedPlugin plugin;
    const auto replay = vantor::testing::replayTheBranch(plugin, kBranchFrames);
    EXPECT_EQ(replay.imageBytes, plugin.writableImageSize());
    RecordProperty("writable_image_bytes", static_cast<int>(replay.imageBytes));
    std::printf("writable image of the library: %zu bytes\n", replay.imageBytes);

    ASSERT_TRUE(anyEmergencyBrake(replay.first, kEmergencyNotch))
        << "the branch runs into the pattern brake";
    EXPECT_EQ(firstDifference(replay.first, replay.restored), -1);
    // The library's own state is what makes the replay.
    EXPECT_NE(firstDifference(replay.first, replay.unrestored), -1);
}

// Branch points further along the line reuse one snapshot, saved over.
TEST(LibrarySnapshot, SavingAgainReplacesTheEarlierState) {
    LoadedPlugin plugin;
    driveTheCommonStart(plugin);
    LibrarySnapshot snapshot;
    plugin.save(snapshot);
    playTheBranch(plugin, kBranchFrames / 2);

    plugin.save(snapshot);
    const auto host = hostSide(plugin);
    const std::vector<FrameOutputs> first = playTheBranch(plugin, kBranchFrames);
    plugin.restore(snapshot);
    restoreHostSide(plugin, host);
    EXPECT_EQ(firstDifference(first, playTheBranch(plugin, kBranchFrames)), -1);
}

// The image holds absolute addresses, valid in the instance it was saved from only.
TEST(LibrarySnapshot, RestoreRefusesAnotherLoadedInstanceAndAnEmptySnapshot) {
    const vantor::testing::TempFolder folder;
    const std::filesystem::path copy = folder.path() / "libvantor.so";
    std::filesystem::copy_file(VANTOR_LIBRARY, copy);
    LoadedPlugin plugin;
    LoadedPlugin other(copy.string());
    ASSERT_NE(other.nativeHandle(), plugin.nativeHandle()) << "two images of the library";
    driveTheCommonStart(plugin);
    driveTheCommonStart(other);

    LibrarySnapshot snapshot;
    plugin.save(snapshot);
    EXPECT_THROW(other.restore(snapshot), LibraryError);
    EXPECT_THROW(plugin.restore(LibrarySnapshot{}), LibraryError);
}

} // namespace
