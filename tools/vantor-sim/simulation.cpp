#include "simulation.h"

#include <algorithm>

#include "driver.h"
#include "event_script.h"
#include "host_inputs.h"
#include "train.h"

namespace vantor::sim {

std::optional<double> patternSpeedFromDisplay(int32_t display, bool powered,
                                              const Settings& settings) {
    const double resolution = static_cast<double>(settings.displayResolution());
    if (!powered || display == kPatternDisplayInactive || resolution == 0.0) {
        return std::nullopt;
    }
    return display * static_cast<double>(settings.displayMaxSpeed()) / resolution;
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

} // namespace

RunEnd runScenario(const Scenario& scenario, PluginLibrary& plugin,
                   const std::vector<RunObserver*>& observers,
                   const std::function<void(double)>& progress) {
    const Vehicle& vehicle = scenario.vehicle;
    const Run& run = scenario.run;
    const double step = run.stepMs / 1000.0;

    FrameRecord frame;
    frame.position = run.startPosition;
    double speed = 0.0;

    auto emit = [&](Note note) {
        for (RunObserver* observer : observers) {
            observer->onNote(note);
        }
    };
    auto noteNow = [&](const std::string& text) {
        emit(Note{frame.time, frame.position, static_cast<float>(speed), text});
    };

    HostInputs host(plugin, vehicle.emergencyNotch(), noteNow);
    Driver driver(scenario.driver, vehicle);
    EventScript script(scenario.events);
    const Train train(vehicle);

    plugin.load();
    plugin.setVehicleSpec(VehicleSpec{vehicle.brakeNotches, vehicle.powerNotches,
                                      vehicle.ackBrakeNotch, vehicle.ackBrakeNotch, vehicle.cars});
    plugin.initialize(0);
    driver.start(host);
    host.setPowerSwitch(run.powerSwitch);

    Observation last;
    size_t nextTransponder = 0;
    while (nextTransponder < scenario.transponders.size() &&
           scenario.transponders[nextTransponder].position < frame.position) {
        ++nextTransponder; // behind the train at the start
    }
    const int64_t lastFrame = static_cast<int64_t>(run.duration * 1000.0) / run.stepMs;
    const int64_t progressEvery = std::max<int64_t>(1, lastFrame / 200);
    int64_t nextProgress = 0;

    RunEnd end;
    for (int64_t index = 0;; ++index) {
        frame.index = index;
        frame.time = index * static_cast<double>(run.stepMs) / 1000.0;
        frame.hostTime = kHostStartTime + static_cast<int32_t>(index * run.stepMs);
        frame.speed = static_cast<float>(speed);

        script.fireDue(frame.time, frame.position, driver, host);
        driver.act(frame.time, frame.position, speed, last, host);

        frame.panel[kPanelPowerSwitch] = host.powerSwitch() ? 1 : 0;
        VehicleState state{};
        state.location = frame.position;
        state.speed = frame.speed;
        state.time = frame.hostTime;
        frame.returned = plugin.elapse(state, frame.panel.data(), frame.sound.data());
        frame.driver = host.handles();
        frame.powerSwitch = host.powerSwitch();
        const bool powered = frame.panel[kPanelPowered] != 0;
        frame.patternSpeed =
            patternSpeedFromDisplay(frame.panel[kPanelPatternDisplay], powered, scenario.settings);
        last = Observation{frame.returned, powered, frame.panel[kPanelAlarmLamp] != 0,
                           frame.patternSpeed};
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
        if (index >= lastFrame || atEnd) {
            end = RunEnd{frame.time, frame.position, index + 1,
                         atEnd ? "the end of the line" : "the end of the run"};
            break;
        }

        // The plug-in measures the distance run in a frame from the speed it is given and the
        // frame step, so the train advances at the speed of the coming frame.
        speed = train.nextSpeed(speed, frame.returned, step);
        const double reported = static_cast<float>(speed);
        const double from = frame.position;
        frame.position += reported * step / 3.6;
        frame.time = (index + 1) * static_cast<double>(run.stepMs) / 1000.0;
        while (nextTransponder < scenario.transponders.size() &&
               scenario.transponders[nextTransponder].position <= frame.position) {
            const Transponder& t = scenario.transponders[nextTransponder++];
            if (t.position < from) {
                continue;
            }
            plugin.setBeaconData(BeaconData{t.type, t.signal, 0.0f, t.optional});
            if (observers.empty()) {
                continue;
            }
            Note note{frame.time, t.position, static_cast<float>(speed), transponderText(t)};
            note.transponder = true;
            note.transponderType = t.type;
            note.transponderOptional = t.optional;
            emit(note);
        }
    }
    if (progress) {
        progress(1.0);
    }
    plugin.dispose();
    return end;
}

} // namespace vantor::sim
