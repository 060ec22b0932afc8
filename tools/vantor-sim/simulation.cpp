#include "simulation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "brake_override.h"
#include "driver.h"
#include "event_script.h"
#include "host_calls.h"
#include "host_inputs.h"
#include "text_format.h"
#include "train.h"

namespace vantor::sim {

std::optional<double> patternSpeedFromDisplay(int32_t display, bool powered,
                                              const UnitSettings& settings) {
    const double resolution = static_cast<double>(settings.displayResolution);
    if (!powered || display == kPatternDisplayInactive || resolution == 0.0) {
        return std::nullopt;
    }
    return display * static_cast<double>(settings.displayMaxSpeed) / resolution;
}

double framesInRun(const Run& run) {
    return std::floor(std::floor(run.duration * 1000.0) / run.stepMs) + 1.0;
}

void requireRunLength(const Scenario& scenario, int64_t maxFrames) {
    const double frames = framesInRun(scenario.run);
    if (frames <= static_cast<double>(maxFrames)) {
        return;
    }
    const std::string where =
        scenario.run.durationLine > 0
            ? scenario.source + ":" + std::to_string(scenario.run.durationLine)
            : scenario.source;
    throw std::runtime_error(where + ": the run would take " + shortNumber(frames) +
                             " frames (run.duration " + shortNumber(scenario.run.duration) +
                             " s in " + std::to_string(scenario.run.stepMs) +
                             " ms frames), more than the " + std::to_string(maxFrames) +
                             " the bench runs at most; shorten run.duration, or raise the "
                             "limit with --max-frames");
}

namespace {

std::string transponderText(const Transponder& t) {
    std::string text =
        t.type == 70
            ? "coil " + std::to_string(t.optional) + " (signal " + std::to_string(t.signal) + ")"
            : "transponder type " + std::to_string(t.type) + " (signal " +
                  std::to_string(t.signal) + ", optional " + std::to_string(t.optional) + ")";
    if (!t.label.empty()) {
        text += "  " + t.label;
    }
    return text;
}

// Host time of a frame: it wraps as the host's 32-bit millisecond clock does.
int32_t hostTimeOf(int64_t index, int32_t stepMs) {
    const uint64_t ms = static_cast<uint64_t>(kHostStartTime) +
                        static_cast<uint64_t>(index) * static_cast<uint64_t>(stepMs);
    return static_cast<int32_t>(static_cast<uint32_t>(ms));
}

} // namespace

RunEnd runScenario(const Scenario& scenario, PluginLibrary& plugin,
                   const std::vector<RunObserver*>& observers,
                   const std::function<void(double)>& progress, const Approach* approach) {
    const Vehicle& vehicle = scenario.vehicle;
    const Run& run = scenario.run;
    const double step = run.stepMs / 1000.0;

    FrameRecord frame;
    frame.position = run.startPosition;
    double speed = 0.0;

    auto noteNow = [&](const std::string& text, bool event) {
        Note note;
        note.time = frame.time;
        note.position = frame.position;
        note.speed = static_cast<float>(speed);
        note.text = text;
        note.event = event;
        for (RunObserver* observer : observers) {
            observer->onNote(note);
        }
    };
    const bool explain = std::any_of(observers.begin(), observers.end(),
                                     [](const RunObserver* o) { return o->takesFacts(); });
    HostCalls calls(plugin, explain, [&](const UnitFact& fact) {
        for (RunObserver* observer : observers) {
            observer->onFact(fact);
        }
    });
    HostInputs host(calls, vehicle.emergencyNotch(), noteNow);
    Driver driver(scenario.driver, vehicle);
    EventScript script(scenario.events);
    const Train train(vehicle, scenario.gradients);

    calls.setPlace(0.0, frame.position, 0.0f);
    calls.load();
    calls.setVehicleSpec(VehicleSpec{vehicle.brakeNotches, vehicle.powerNotches,
                                     vehicle.ackBrakeNotch, vehicle.ackBrakeNotch, vehicle.cars});
    calls.initialize(0);
    driver.start(host);
    host.setPowerSwitch(run.powerSwitch);

    Observation last;
    const auto& transponders = scenario.transponders;
    // The first transponder ahead of the front.
    size_t ahead = 0;
    while (ahead < transponders.size() && transponders[ahead].position < frame.position) {
        ++ahead; // behind the train at the start
    }
    const double lastIndex = framesInRun(run) - 1.0;
    const int64_t lastFrame =
        lastIndex < 9e18 ? static_cast<int64_t>(lastIndex) : std::numeric_limits<int64_t>::max();
    const int64_t progressEvery = std::max<int64_t>(1, lastFrame / 200);
    int64_t nextProgress = 0;

    enum class Phase { Driven, Held, Braked };
    Phase phase = Phase::Driven;
    BrakeOverride unitBrakes(vehicle.emergencyNotch());

    RunEnd end;
    // The pattern speed read back from the display, worked out again only when the display or
    // the power changes.
    std::optional<double> patternSpeed;
    int32_t patternDisplay = 0;
    bool patternPowered = false;
    for (int64_t index = 0;; ++index) {
        // frame.time is that of this frame already: 0 at first, then as the last frame set it.
        frame.index = index;
        frame.hostTime = hostTimeOf(index, run.stepMs);
        if (approach && phase == Phase::Driven && frame.position >= approach->from &&
            frame.time >= scenario.driver.startTime && !unitBrakes.on()) {
            phase = Phase::Held;
            speed = approach->speed;
            driver.setIgnorePattern(true);
        }
        frame.held = phase == Phase::Held;
        frame.speed = static_cast<float>(speed);
        calls.setPlace(frame.time, frame.position, frame.speed);

        if (phase == Phase::Driven) {
            script.fireDue(frame.time, frame.position, driver, host);
        } else {
            script.letGoDue(frame.time, host);
        }
        driver.act(frame.time, frame.position, speed, last, host);

        frame.panel[kPanelPowerSwitch] = host.powerSwitch() ? 1 : 0;
        VehicleState state{};
        state.location = frame.position;
        state.speed = frame.speed;
        state.time = frame.hostTime;
        frame.returned = calls.elapse(state, frame.panel.data(), frame.sound.data());
        frame.driver = host.handles();
        frame.powerSwitch = host.powerSwitch();
        const bool powered = frame.panel[kPanelPowered] != 0;
        if (index == 0 || frame.panel[kPanelPatternDisplay] != patternDisplay ||
            powered != patternPowered) {
            patternDisplay = frame.panel[kPanelPatternDisplay];
            patternPowered = powered;
            patternSpeed =
                patternSpeedFromDisplay(patternDisplay, powered, scenario.settings.file.unit());
        }
        frame.patternSpeed = patternSpeed;
        last = Observation{frame.returned, powered, frame.panel[kPanelAlarmLamp] != 0,
                           frame.sound[1] == kSoundLoop, frame.patternSpeed};
        if (unitBrakes.update(frame) && phase == Phase::Held) {
            phase = Phase::Braked;
        }
        if (!observers.empty()) {
            frame.targetSpeed = driver.aim(frame.position, speed, last);
        }
        for (RunObserver* observer : observers) {
            observer->onFrame(frame);
        }
        if (progress && index == nextProgress) {
            progress(static_cast<double>(index) / std::max<int64_t>(1, lastFrame));
            nextProgress += progressEvery;
        }

        const bool atEnd = scenario.routeLength > 0.0 && frame.position >= scenario.routeLength;
        const bool stood = phase == Phase::Braked && frame.speed == 0.0f;
        const bool ranOut =
            phase != Phase::Driven && frame.position > approach->point + kApproachRunOut;
        if (index >= lastFrame || atEnd || stood || ranOut) {
            end = RunEnd{frame.time, frame.position, index + 1,
                         atEnd    ? "the end of the line"
                         : stood  ? "the train stands after the unit's brake"
                         : ranOut ? "the approach ran past its point"
                                  : "the end of the run"};
            break;
        }

        // The plug-in measures the distance run in a frame from the speed it is given and the
        // frame step, so the train advances at the speed of the coming frame.
        speed = phase == Phase::Held ? approach->speed
                                     : train.nextSpeed(speed, frame.returned, step, frame.position);
        const double reported = static_cast<float>(speed);
        const double from = frame.position;
        frame.position += reported * step / 3.6;
        frame.time = (index + 1) * static_cast<double>(run.stepMs) / 1000.0;
        // Rolling back, the front leaves transponders ahead of it again; they are reported
        // when it passes them going forward. Those behind it lay behind where it came from.
        while (frame.position < from && ahead > 0 &&
               transponders[ahead - 1].position > frame.position) {
            --ahead;
        }
        while (ahead < transponders.size() && transponders[ahead].position <= frame.position) {
            const Transponder& t = transponders[ahead++];
            if (t.position < from) {
                continue;
            }
            Note note;
            note.time = frame.time;
            note.position = t.position;
            note.speed = static_cast<float>(speed);
            note.text = transponderText(t);
            note.transponder = true;
            note.transponderType = t.type;
            note.transponderOptional = t.optional;
            note.label = t.label;
            for (RunObserver* observer : observers) {
                observer->onNote(note);
            }
            calls.setPlace(frame.time, t.position, static_cast<float>(speed));
            calls.setBeaconData(t);
        }
    }
    if (progress) {
        progress(1.0);
    }
    calls.dispose();
    return end;
}

} // namespace vantor::sim
