// Once a run has started, the library takes nothing from the heap: not in a frame, not for a
// transponder, a key or a handle, not when the run starts again.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <stdexcept>

#include "../temp_folder.h"
#include "allocation_counter.h"
#include "loaded_plugin.h"

using vantor::loader::LoadedPlugin;
using vantor::testing::startCountingAllocations;
using vantor::testing::stopCountingAllocations;

namespace {

constexpr int kFrames = 20000;

// A fixed pseudo-random sequence, so that a failure can be replayed.
class Sequence {
  public:
    uint32_t next(uint32_t bound) {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state_ >> 33) % bound;
    }
    template <typename T, size_t N> T pick(const T (&values)[N]) { return values[next(N)]; }

  private:
    uint64_t state_ = 0x5eed;
};

// Every transponder type the unit reads and some it drops, with the fields that steer them.
constexpr int32_t kTypes[] = {0, 1, 50, 55, 60, 61, 65, 70, 70, 70, 70, 2, -1, 100};
constexpr int32_t kSignals[] = {0, 0, 0, 1, 111};
constexpr int32_t kOptionals[] = {0, 0, 1, 2, 3, 80, 85, 90, 95, 103, 5000, -100};
constexpr int32_t kKeys[] = {0, 1, 2, 3, 13, 14, 15};
constexpr float kSpeeds[] = {0.0f, 5.0f, -8.0f, 24.0f, 36.0f, 60.0f, 90.0f, 124.0f, 136.0f};
constexpr int32_t kSteps[] = {16, 16, 16, 16, 0, 1000, -500};

// A run along a line of transponders with a driver who works every handle and key, the power
// switch going off and on, the notch-warning inhibit set now and then, and odd speeds and
// host times among the ordinary ones.
void drive(LoadedPlugin& plugin, int frames) {
    Sequence sequence;
    for (int i = 0; i < frames; ++i) {
        plugin.panel[vantor::kPanelPowerSwitch] = (i % 2000) < 1950 ? 1 : 0;
        plugin.panel[vantor::kPanelNotchWarnInhibit] = i % 97 == 0 ? 1 : 0;
        float kmh = sequence.pick(kSpeeds);
        if (i % 1000 == 999) {
            kmh = std::numeric_limits<float>::quiet_NaN();
        }
        plugin.step(sequence.pick(kSteps), kmh);

        plugin.beacon(sequence.pick(kTypes), sequence.pick(kSignals), sequence.pick(kOptionals));
        if (i % 5 == 0) {
            const int32_t key = sequence.pick(kKeys);
            plugin.keyDown(key);
            plugin.keyUp(sequence.next(2) == 0 ? key : sequence.pick(kKeys));
        }
        plugin.setPower(static_cast<int32_t>(sequence.next(6)));
        plugin.setBrake(static_cast<int32_t>(sequence.next(10)));
        plugin.setReverser(static_cast<int32_t>(sequence.next(3)) - 1);
        plugin.hornBlow(1);
        plugin.setSignal(static_cast<int32_t>(sequence.next(7)));
        plugin.doorOpen();
        plugin.doorClose();
        plugin.getPluginVersion();
    }
}

} // namespace

// Without this the zero count below would prove nothing: allocations made in the test, in the
// C library and in the C++ library are all seen.
TEST(Allocations, CounterSeesAllocationsInTheProgramAndItsLibraries) {
    const auto counted = [](auto allocate) {
        startCountingAllocations();
        allocate();
        return stopCountingAllocations();
    };
    EXPECT_EQ(counted([] {
                  // Volatile, so that the compiler cannot leave out a new nobody reads.
                  int* volatile number = new int(7);
                  delete number;
              }),
              1u);
    EXPECT_EQ(counted([] { std::free(strdup("copied by the C library")); }), 1u);
    EXPECT_GE(counted([] { std::runtime_error("a message the C++ library keeps on the heap"); }),
              1u);
}

// Then the run starts again, as it does when the host resets the train.
TEST(Allocations, NoneInThousandsOfFramesTranspondersKeysHandlesAndRestarts) {
    LoadedPlugin plugin;
    plugin.start();
    plugin.frame(36000000, 0.0f);

    startCountingAllocations();
    drive(plugin, kFrames);
    for (int i = 0; i < 100; ++i) {
        plugin.setVehicleSpec(VehicleSpec{8, 5, 2, 1, 4});
        plugin.initialize(0);
        plugin.step(16, 36.0f);
    }
    EXPECT_EQ(stopCountingAllocations(), 0u);
}

// Initialize reads the settings file into the library's own buffer, a UTF-16 one included.
TEST(Allocations, NoneWhenInitializeReadsTheSettingsFile) {
    const vantor::testing::TempFolder folder;
    const std::filesystem::path library = folder.path() / "libvantor.so";
    std::filesystem::copy_file(VANTOR_LIBRARY, library);
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string("[LED]\r\nMaxSpd=120\r\n")) {
        utf16 += std::string{c, '\0'};
    }
    folder.write("VantorConfig.ini", utf16);
    LoadedPlugin plugin(library.string());
    plugin.start();

    startCountingAllocations();
    for (int i = 0; i < 100; ++i) {
        plugin.initialize(0);
    }
    EXPECT_EQ(stopCountingAllocations(), 0u);
    plugin.frame(36000000, 60.0f);
    EXPECT_EQ(plugin.panel[18], 30) << "the file was read: 60 km/h on a 120 km/h scale";
}

// The bench branches its approaches off a saved state: restoring it, and saving over it at a
// later branch point, take nothing from the heap either.
TEST(Allocations, NoneWhenASavedStateIsRestoredOrSavedOver) {
    LoadedPlugin plugin;
    plugin.start();
    plugin.frame(36000000, 0.0f);
    vantor::loader::LibrarySnapshot snapshot;
    plugin.save(snapshot);

    startCountingAllocations();
    for (int i = 0; i < 100; ++i) {
        drive(plugin, 100);
        plugin.restore(snapshot);
        drive(plugin, 10);
        plugin.save(snapshot);
    }
    EXPECT_EQ(stopCountingAllocations(), 0u);
}
