// The library's state saved and restored under Windows, as library_snapshot_test.cpp checks it
// on Linux: the DLL plays a branch the same after its writable image is restored, differently
// without, and refuses an image saved from its copy in another folder. Prints the image's size;
// exits 1 on any failure.
//
//   vantor-snapshot-check DLL COPY_OF_DLL_IN_ANOTHER_FOLDER
#include <cstdio>
#include <exception>

#include "../host/snapshot_branch.h"

namespace {

using vantor::testing::firstDifference;
using vantor::loader::LoadedPlugin;

constexpr int kBranchFrames = 400;
constexpr int32_t kEmergencyNotch = 9; // eight service notches

bool refusesTheOthersImage(LoadedPlugin& plugin, LoadedPlugin& other) {
    vantor::loader::LibrarySnapshot snapshot;
    other.save(snapshot);
    try {
        plugin.restore(snapshot);
    } catch (const vantor::loader::LibraryError&) {
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vantor-snapshot-check DLL COPY_OF_DLL_IN_ANOTHER_FOLDER\n");
        return 2;
    }
    try {
        LoadedPlugin plugin(argv[1]);
        LoadedPlugin other(argv[2]);
        const auto replay = vantor::testing::replayTheBranch(plugin, kBranchFrames);
        std::printf("writable image of vantor.dll: %zu bytes\n", replay.imageBytes);

        int failures = 0;
        const auto fail = [&](const char* what) {
            std::fprintf(stderr, "%s\n", what);
            ++failures;
        };
        if (!vantor::testing::anyEmergencyBrake(replay.first, kEmergencyNotch)) {
            fail("the branch does not run into the pattern brake");
        }
        const int differs = firstDifference(replay.first, replay.restored);
        if (differs >= 0) {
            std::fprintf(stderr, "after the restore, frame %d of the branch differs\n", differs);
            ++failures;
        }
        if (firstDifference(replay.first, replay.unrestored) < 0) {
            fail("the branch plays the same without the restore: the check proves nothing");
        }
        if (other.nativeHandle() == plugin.nativeHandle()) {
            fail("the copy in another folder is the same loaded instance");
        } else if (!refusesTheOthersImage(plugin, other)) {
            fail("the image saved from another loaded instance is restored");
        }
        return failures == 0 ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
