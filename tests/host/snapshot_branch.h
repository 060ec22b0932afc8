// A run that branches off a saved state of the library, as the bench's protection report plays
// its approaches: a common start along the line, then a branch of frames with transponders,
// keys and handles whose every output is recorded. The snapshot tests play it on Linux, and on
// Windows under wine.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "loaded_plugin.h"

namespace vantor::testing {

using loader::LoadedPlugin;

// What the host reads after one frame.
struct FrameOutputs {
    Handles handles;
    std::array<int32_t, 256> panel;
    std::array<int32_t, 32> sound;

    bool operator==(const FrameOutputs& other) const {
        return handles.brake == other.handles.brake && handles.power == other.handles.power &&
               handles.reverser == other.handles.reverser &&
               handles.constantSpeed == other.handles.constantSpeed && panel == other.panel &&
               sound == other.sound;
    }
};

// The host's half of the state: the arrays it hands over each frame, and its clock.
struct HostSide {
    std::array<int32_t, 256> panel;
    std::array<int32_t, 32> sound;
    int32_t time; // ms
};

inline HostSide hostSide(const LoadedPlugin& plugin) {
    return HostSide{plugin.panel, plugin.sound, plugin.time};
}

inline void restoreHostSide(LoadedPlugin& plugin, const HostSide& host) {
    plugin.panel = host.panel;
    plugin.sound = host.sound;
    plugin.time = host.time;
}

inline constexpr int32_t kBranchStepMs = 20;

// Starts a run and drives 300 frames up to 60 km/h over a coil and a stop transponder pair
// 10 m apart, which leave a stop pattern ahead of the train, with the alarm acknowledged and
// silenced on the way.
inline void driveTheCommonStart(LoadedPlugin& plugin) {
    plugin.start();
    plugin.frame(36000000, 0.0f);
    for (int frame = 0; frame < 300; ++frame) {
        const float kmh = frame < 100 ? 0.6f * static_cast<float>(frame) : 60.0f;
        if (frame == 120) {
            plugin.beacon(70, 0, 90);
        } else if (frame == 150) {
            plugin.beacon(50, 0, 0);
        } else if (frame == 180) { // 10 m on at 60 km/h
            plugin.beacon(50, 0, 1);
        } else if (frame == 200) {
            plugin.keyDown(0);
        } else if (frame == 205) {
            plugin.keyUp(0);
            plugin.keyDown(1);
        } else if (frame == 210) {
            plugin.keyUp(1);
        }
        plugin.step(kBranchStepMs, kmh);
    }
}

// frames frames speeding up from 60 km/h, which overruns the stop pattern and brings the
// brake within 300 frames, with the driver's brake handle, the release and hold-off keys and
// further transponders on the way. The outputs of every frame, in order.
inline std::vector<FrameOutputs> playTheBranch(LoadedPlugin& plugin, int frames) {
    std::vector<FrameOutputs> outputs;
    outputs.reserve(static_cast<size_t>(frames));
    for (int frame = 0; frame < frames; ++frame) {
        switch (frame % 100) {
        case 10:
            plugin.beacon(70, 0, 85);
            break;
        case 30:
            plugin.setBrake(frame % 200 == 30 ? 3 : 0);
            break;
        case 50:
            plugin.keyDown(3);
            break;
        case 55:
            plugin.keyUp(3);
            break;
        case 70:
            plugin.beacon(0, 0, 0);
            break;
        default:
            break;
        }
        // Once the brake has come: the hold-off would have kept it away.
        if (frame == 360) {
            plugin.keyDown(14);
        } else if (frame == 365) {
            plugin.keyUp(14);
        }
        const Handles handles = plugin.step(kBranchStepMs, 60.0f + 0.1f * static_cast<float>(frame));
        outputs.push_back(FrameOutputs{handles, plugin.panel, plugin.sound});
    }
    return outputs;
}

// The branch played three times from one saved state: first, again after restoring the
// library, and once more with the host's half put back but not the library's.
struct BranchReplay {
    std::size_t imageBytes; // the saved image's size
    std::vector<FrameOutputs> first;
    std::vector<FrameOutputs> restored;
    std::vector<FrameOutputs> unrestored;
};

inline BranchReplay replayTheBranch(LoadedPlugin& plugin, int frames) {
    driveTheCommonStart(plugin);
    loader::LibrarySnapshot snapshot;
    plugin.save(snapshot);
    const HostSide host = hostSide(plugin);

    BranchReplay replay{snapshot.size(), playTheBranch(plugin, frames), {}, {}};
    plugin.restore(snapshot);
    restoreHostSide(plugin, host);
    replay.restored = playTheBranch(plugin, frames);
    restoreHostSide(plugin, host);
    replay.unrestored = playTheBranch(plugin, frames);
    return replay;
}

// The first frame at which two passes differ, or -1.
inline int firstDifference(const std::vector<FrameOutputs>& a, const std::vector<FrameOutputs>& b) {
    const auto [inA, inB] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return inA == a.end() && inB == b.end() ? -1 : static_cast<int>(inA - a.begin());
}

inline bool anyEmergencyBrake(const std::vector<FrameOutputs>& frames, int32_t emergencyNotch) {
    return std::any_of(frames.begin(), frames.end(), [&](const FrameOutputs& frame) {
        return frame.handles.brake == emergencyNotch;
    });
}

} // namespace vantor::testing
