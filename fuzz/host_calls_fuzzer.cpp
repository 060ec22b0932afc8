// Turns the input into a sequence of host calls on a fresh plug-in, with any value the host's
// interface can carry, and checks after every frame what the host relies on: a zero fourth
// handle field, lamps of 0 or 1, known sound commands, and the handle override exactly while
// the powered unit demands the emergency brake.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "host/plugin.h"
#include "settings/settings.h"

namespace {

using vantor::Plugin;

using Float = std::numeric_limits<float>;
using Int = std::numeric_limits<int32_t>;

constexpr float kNaN = Float::quiet_NaN();
constexpr float kInf = Float::infinity();
constexpr float kHuge = Float::max();
constexpr float kTiny = Float::denorm_min();
constexpr float kSmallest = Float::min();
constexpr int32_t kMin = Int::min();
constexpr int32_t kMax = Int::max();

constexpr float kSpeeds[] = {0.0f,  -0.0f,  1.0f,          -1.0f,         -7.0f,  -7.5f,  15.0f,
                             25.0f, 45.0f,  100.0f,        125.0f,        220.0f, kNaN,   -kNaN,
                             kInf,  -kInf,  kHuge,         -kHuge,        kTiny,  -kTiny, kSmallest,
                             1e30f, -1e30f, 2147483648.0f, -2147483648.0f};

constexpr int32_t kIntegers[] = {
    0,  1,  -1, 2,  3,  4,  5,   8,   9,    13,    14,       15,   50,   55,       60,      61,
    65, 70, 80, 85, 90, 95, 100, 255, 1000, 60000, 86400000, kMin, kMax, kMin + 1, kMax - 1};

constexpr int32_t kBeaconTypes[] = {0, 1, 50, 55, 60, 61, 65, 70};

template <size_t N> int32_t pick(FuzzedDataProvider& in, const int32_t (&values)[N]) {
    return values[in.ConsumeIntegralInRange<size_t>(0, N - 1)];
}

int32_t anyInteger(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0:
        return pick(in, kIntegers);
    case 1:
        return in.ConsumeIntegralInRange<int32_t>(-20, 120);
    default:
        return in.ConsumeIntegral<int32_t>();
    }
}

float anySpeed(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0:
        return kSpeeds[in.ConsumeIntegralInRange<size_t>(0, std::size(kSpeeds) - 1)];
    case 1:
        return in.ConsumeFloatingPointInRange(-30.0f, 250.0f);
    default: {
        // Every bit pattern, NaN payloads and denormals included.
        const uint32_t bits = in.ConsumeIntegral<uint32_t>();
        float speed;
        std::memcpy(&speed, &bits, sizeof speed);
        return speed;
    }
    }
}

int32_t anyTime(FuzzedDataProvider& in, int32_t now) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
        // An ordinary frame after the last one, wrapping like the host's counter.
        return static_cast<int32_t>(static_cast<uint32_t>(now) +
                                    in.ConsumeIntegralInRange<uint32_t>(0, 2000));
    case 1:
        return static_cast<int32_t>(static_cast<uint32_t>(now) -
                                    in.ConsumeIntegralInRange<uint32_t>(0, 100000));
    case 2:
        return pick(in, kIntegers);
    default:
        return in.ConsumeIntegral<int32_t>();
    }
}

// Values the settings file can give: the integers wrap to 32 bits and the decimal texts are cut
// to seven characters before they are read.
void anySettings(FuzzedDataProvider& in, vantor::CVantor& unit) {
    const std::string deceleration = in.ConsumeRandomLengthString(7);
    const std::string reactionTime = in.ConsumeRandomLengthString(7);
    unit.maxSpeed = static_cast<double>(static_cast<float>(in.ConsumeIntegral<uint32_t>()));
    unit.deceleration =
        static_cast<double>(static_cast<float>(vantor::decimalPrefix(deceleration.c_str())));
    unit.reactionTime = vantor::decimalPrefix(reactionTime.c_str());
    const int32_t resolution = anyInteger(in);
    unit.setDisplayScale(resolution, anyInteger(in));
}

bool isLamp(int32_t value) {
    return value == 0 || value == 1;
}

bool isSoundCommand(int32_t value) {
    return value == vantor::kSoundStop || value == vantor::kSoundLoop ||
           value == vantor::kSoundOnce || value == vantor::kSoundContinue;
}

void check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

void checkFrame(const Plugin& plugin, const Handles& handles, const int32_t* panel,
                const int32_t* sound) {
    check(handles.constantSpeed == 0);
    for (int index : vantor::kPanelWritten) {
        if (index != vantor::kPanelSpeedDisplay && index != vantor::kPanelPatternDisplay) {
            check(isLamp(panel[index]));
        }
    }
    check(panel[vantor::kPanelPatternLamp] == panel[vantor::kPanelPatternLampRepeat]);
    check(panel[vantor::kPanelSpareLamp] == 0);
    check(panel[vantor::kPanelNotchWarnInhibit] == 0);
    for (int index : vantor::kSoundWritten) {
        check(isSoundCommand(sound[index]));
    }
    const bool overridden =
        panel[vantor::kPanelPowered] == 1 && (plugin.unit.brakeLatch || plugin.unit.emergencyBrake);
    if (overridden) {
        check(handles.brake == plugin.emergencyBrakeNotch);
        check(handles.power == 0);
    } else {
        check(handles.brake == plugin.brakeNotch);
        check(handles.power == plugin.powerNotch);
        check(handles.reverser == plugin.reverser);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    auto plugin = std::make_unique<Plugin>();
    vantor::attachPlugin(*plugin);
    // The host's arrays, exactly as long as the plug-in may use, so that any write past them is
    // caught.
    std::vector<int32_t> panel(vantor::kPanelSize);
    std::vector<int32_t> sound(vantor::kSoundSize);
    Handles last{};

    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 10)) {
        case 0:
            vantor::setVehicleSpec(
                *plugin, VehicleSpec{anyInteger(in), anyInteger(in), anyInteger(in), 0, 0});
            break;
        case 1:
            vantor::initialize(*plugin);
            // Pin the periods drawn from the clock so that every input replays the same way.
            plugin->unit.alternationPeriod = in.ConsumeIntegralInRange(250, 349);
            plugin->unit.startupDelay = in.ConsumeIntegralInRange(500, 799);
            if (in.ConsumeBool()) {
                anySettings(in, plugin->unit);
            }
            break;
        case 2:
        case 3:
        case 4: {
            VehicleState state{};
            state.speed = anySpeed(in);
            state.time = anyTime(in, plugin->currentTime);
            if (in.ConsumeBool()) {
                panel[vantor::kPanelPowerSwitch] = in.ConsumeBool() ? 1 : anyInteger(in);
            }
            if (in.ConsumeBool()) {
                panel[vantor::kPanelNotchWarnInhibit] = anyInteger(in);
            }
            last = vantor::elapse(*plugin, state, panel.data(), sound.data());
            checkFrame(*plugin, last, panel.data(), sound.data());
            break;
        }
        case 5:
            plugin->powerNotch = anyInteger(in);
            break;
        case 6:
            vantor::setBrake(*plugin,
                             in.ConsumeBool() ? plugin->emergencyBrakeNotch : anyInteger(in));
            break;
        case 7:
            plugin->reverser = in.ConsumeIntegralInRange(0, 3) == 0
                                   ? anyInteger(in)
                                   : in.ConsumeIntegralInRange(-1, 1);
            break;
        case 8:
            vantor::keyDown(*plugin, in.ConsumeIntegralInRange(0, 3) == 0
                                         ? anyInteger(in)
                                         : in.ConsumeIntegralInRange(0, 15));
            break;
        case 9:
            vantor::keyUp(*plugin, in.ConsumeIntegralInRange(0, 3) == 0
                                       ? anyInteger(in)
                                       : in.ConsumeIntegralInRange(0, 15));
            break;
        default: {
            BeaconData beacon{};
            beacon.type =
                in.ConsumeIntegralInRange(0, 7) == 0 ? anyInteger(in) : pick(in, kBeaconTypes);
            beacon.signal = anyInteger(in);
            beacon.distance = anySpeed(in);
            beacon.optional = anyInteger(in);
            vantor::setBeaconData(*plugin, beacon);
            break;
        }
        }
    }
    return 0;
}
