#include "drive/line_run.h"

#include <algorithm>
#include <limits>

#include "support/stop_requests.h"
#include "support/text_format.h"

namespace vantor::sim {

namespace {

std::string transponderText(const Transponder& t, int32_t signal, const Scenario& scenario) {
    const std::string reports =
        "signal " + std::to_string(signal) +
        (t.linkedSignal ? " of " + scenario.signals[*t.linkedSignal].name : std::string());
    std::string text = t.type == 70
                           ? "coil " + std::to_string(t.optional) + " (" + reports + ")"
                           : "transponder type " + std::to_string(t.type) + " (" + reports +
                                 ", optional " + std::to_string(t.optional) + ")";
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

LineRun::LineRun(const Scenario& scenario, PluginLibrary& plugin,
                 std::vector<RunObserver*> observers, const Play* play,
                 std::function<void(double)> progress)
    : scenario_(scenario), plugin_(plugin), observers_(std::move(observers)),
      progress_(std::move(progress)), plan_(planFor(scenario, play)),
      train_(scenario.vehicle, scenario.gradients), unitBrakes_(scenario.vehicle.emergencyNotch()),
      calls_(plugin,
             std::any_of(observers_.begin(), observers_.end(),
                         [](const RunObserver* o) { return o->takesFacts(); }),
             [this](const UnitFact& fact) {
                 if (fact.kind == FactKind::EmergencyBrake) {
                     s_.lastBrakeSlot = fact.slot;
                 } else if (fact.kind == FactKind::BrakeLatched) {
                     s_.lastBrakeSlot = -1;
                 }
                 for (RunObserver* observer : observers_) {
                     observer->onFact(fact);
                 }
             }),
      host_(calls_, scenario.vehicle.emergencyNotch(),
            [this](const std::string& text, bool event) { note(text, event); }),
      driver_(plan_, scenario.vehicle),
      aspects_(scenario.signals, play ? play->aspects : AspectRule{}),
      script_(scenario.events, scenario.signals, aspects_, play && play->attentive) {
    applyPlay(play);
    if (play != nullptr) {
        calls_.usePoints(play->points);
    }
    const Vehicle& vehicle = scenario.vehicle;
    s_.frame.position = scenario.run.startPosition;
    s_.from = s_.frame.position;
    calls_.setPlace(0.0, s_.frame.position, 0.0f);
    calls_.load();
    calls_.setVehicleSpec(VehicleSpec{vehicle.brakeNotches, vehicle.powerNotches,
                                      vehicle.ackBrakeNotch, vehicle.ackBrakeNotch, vehicle.cars});
    calls_.initialize(0);
    driver_.start(host_);
    host_.setPowerSwitch(scenario.run.powerSwitch);
    const auto& transponders = scenario.transponders;
    while (s_.ahead < transponders.size() && transponders[s_.ahead].position < s_.frame.position) {
        ++s_.ahead; // behind the train at the start
    }
    const double lastIndex = framesInRun(scenario.run) - 1.0;
    lastFrame_ =
        lastIndex < 9e18 ? static_cast<int64_t>(lastIndex) : std::numeric_limits<int64_t>::max();
    progressEvery_ = std::max<int64_t>(1, lastFrame_ / 200);
}

DriverPlan LineRun::planFor(const Scenario& scenario, const Play* play) {
    DriverPlan plan = scenario.driver;
    if (play && play->attentive) {
        plan.ackDelay = plan.ackDelay.value_or(DriverPlan{}.ackDelay.value());
        plan.releaseDelay = plan.releaseDelay.value_or(DriverPlan{}.releaseDelay.value());
        plan.watchPattern = true;
    }
    if (play && play->followsProfile) {
        plan.watchOverspeedOnly = true;
        // He keeps below a limit as below a curve: his control swings a little about his aim.
        constexpr double kLeastMargin = 2.0; // km/h
        plan.profile =
            keptToLimits(plan.profile, scenario.limits, std::max(plan.patternMargin, kLeastMargin));
    }
    return plan;
}

void LineRun::applyPlay(const Play* play) {
    play_.reset();
    approach_ = nullptr;
    if (play) {
        play_ = *play;
        approach_ = play_->approach ? &*play_->approach : nullptr;
    }
}

// The profile, nowhere above a declared limit less margin: its speed at each place is the lower
// of the two.
std::vector<ProfilePoint> LineRun::keptToLimits(const std::vector<ProfilePoint>& profile,
                                                const std::vector<SpeedLimit>& limits,
                                                double margin) {
    if (profile.empty() || limits.empty()) {
        return profile;
    }
    std::vector<double> places;
    for (const ProfilePoint& p : profile) {
        places.push_back(p.position);
    }
    for (const SpeedLimit& l : limits) {
        places.push_back(l.from);
        places.push_back(l.to);
    }
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
    std::vector<ProfilePoint> kept;
    for (const double at : places) {
        // In force from here: the profile's last point at or behind it, the first before all.
        double speed = profile.front().speed;
        for (const ProfilePoint& p : profile) {
            if (p.position <= at) {
                speed = p.speed;
            }
        }
        for (const SpeedLimit& l : limits) {
            if (at >= l.from && at < l.to) {
                speed = std::min(speed, std::max(0.0, l.speed - margin));
            }
        }
        kept.push_back({at, speed});
    }
    return kept;
}

void LineRun::branch(const Play& play, std::vector<RunObserver*> observers) {
    // The driver's plan and the script's attentiveness stay as they were: a branch keeps the
    // run it leaves, but for the signals and the approach.
    applyPlay(&play);
    aspects_ = SignalAspects(scenario_.signals, play.aspects);
    observers_ = std::move(observers);
}

void LineRun::note(const std::string& text, bool event) {
    Note n;
    n.time = s_.frame.time;
    n.position = s_.frame.position;
    n.speed = static_cast<float>(s_.speed);
    n.text = text;
    n.event = event;
    for (RunObserver* observer : observers_) {
        observer->onNote(n);
    }
}

bool LineRun::runTo(double place) {
    while (!s_.end) {
        if (s_.passedPending) {
            reportPassed();
        }
        if (!frame()) {
            break;
        }
        if (s_.frame.position >= place && s_.from < place) {
            return true;
        }
    }
    return false;
}

RunEnd LineRun::runOut() {
    runTo(std::numeric_limits<double>::infinity());
    return *s_.end;
}

RunEnd LineRun::finish() {
    runOut();
    if (progress_) {
        progress_(1.0);
    }
    calls_.dispose();
    return *s_.end;
}

bool LineRun::frame() {
    const Run& run = scenario_.run;
    const double step = run.stepMs / 1000.0;
    FrameRecord& frame = s_.frame;
    double& speed = s_.speed;
    const int64_t index = s_.index;
    // Often enough for a stop to come at once, seldom enough to cost nothing.
    if (index % 256 == 0) {
        stopIfRequested();
    }
    // frame.time is that of this frame already: 0 at first, then as the last frame set it.
    frame.index = index;
    frame.hostTime = hostTimeOf(index, run.stepMs);
    if (approach_ && s_.phase == Phase::Driven && frame.position >= approach_->from &&
        frame.time >= scenario_.driver.startTime && !unitBrakes_.on()) {
        s_.phase = Phase::Held;
        speed = approach_->speed;
        driver_.aimAt(approach_->speed);
    }
    if (play_ && play_->watchesCurvesFrom && frame.position >= *play_->watchesCurvesFrom) {
        s_.watchesCurves = true;
    }
    plan_.watchOverspeedOnly = play_ && play_->followsProfile && !s_.watchesCurves;
    frame.held = s_.phase == Phase::Held;
    frame.speed = static_cast<float>(speed);
    calls_.setPlace(frame.time, frame.position, frame.speed);

    if (s_.phase == Phase::Driven) {
        script_.fireDue(frame.time, frame.position, driver_, host_);
    } else {
        script_.letGoDue(frame.time, host_);
    }
    driver_.act(frame.time, frame.position, speed, s_.last, host_);

    frame.panel[kPanelPowerSwitch] = host_.powerSwitch() ? 1 : 0;
    VehicleState state{};
    state.location = frame.position;
    state.speed = frame.speed;
    state.time = frame.hostTime;
    frame.returned = calls_.elapse(state, frame.panel.data(), frame.sound.data());
    frame.driver = host_.handles();
    frame.powerSwitch = host_.powerSwitch();
    const bool powered = frame.panel[kPanelPowered] != 0;
    // The pattern speed is read back again only when the display or the power changes.
    if (index == 0 || frame.panel[kPanelPatternDisplay] != s_.patternDisplay ||
        powered != s_.patternPowered) {
        s_.patternDisplay = frame.panel[kPanelPatternDisplay];
        s_.patternPowered = powered;
        s_.patternSpeed =
            patternSpeedFromDisplay(s_.patternDisplay, powered, scenario_.settings.file.unit());
    }
    frame.patternSpeed = s_.patternSpeed;
    s_.last = Observation{frame.returned,
                          powered,
                          frame.panel[kPanelAlarmLamp] != 0,
                          frame.sound[kSoundAlarmTone] == kSoundLoop,
                          frame.patternSpeed,
                          frame.panel[kPanelPatternLamp] != 0};
    const bool braking = unitBrakes_.update(frame);
    const bool drivesOn =
        approach_ && (approach_->driveOn == Approach::DriveOn::Always ||
                      (approach_->driveOn == Approach::DriveOn::AfterRestriction &&
                       isRestrictionSlot(s_.lastBrakeSlot)));
    if (braking && (s_.phase == Phase::Held || s_.phase == Phase::DrivenOn)) {
        s_.phase = Phase::Braked;
    } else if (!braking && s_.phase == Phase::Braked && drivesOn) {
        s_.phase = Phase::DrivenOn;
    } else if (s_.phase == Phase::DrivenOn && speed >= approach_->speed) {
        s_.phase = Phase::Held; // back at the approach speed
    }
    if (!observers_.empty()) {
        frame.targetSpeed = driver_.aim(frame.position, speed, s_.last);
    }
    for (RunObserver* observer : observers_) {
        observer->onFrame(frame);
    }
    if (progress_ && index == s_.nextProgress) {
        progress_(static_cast<double>(index) / std::max<int64_t>(1, lastFrame_));
        s_.nextProgress += progressEvery_;
    }
    if (const std::optional<size_t> cleared =
            aspects_.trainAt(frame.position, frame.speed == 0.0f, scenario_.signals)) {
        note("signal " + scenario_.signals[*cleared].name + " clears for the train", true);
    }

    const bool atEnd = scenario_.routeLength > 0.0 && frame.position >= scenario_.routeLength;
    const bool stood = s_.phase == Phase::Braked && frame.speed == 0.0f && !drivesOn;
    const bool ranOut = s_.phase != Phase::Driven && frame.position > approach_->until;
    if (index >= lastFrame_ || atEnd || stood || ranOut) {
        s_.end = RunEnd{frame.time, frame.position, index + 1,
                        atEnd    ? "the end of the line"
                        : stood  ? "the train stands after the unit's brake"
                        : ranOut ? "the approach ran past its point"
                                 : "the end of the run",
                        stood && !atEnd};
        return false;
    }

    // The plug-in measures the distance run in a frame from the speed it is given and the
    // frame step, so the train advances at the speed of the coming frame.
    speed = s_.phase == Phase::Held ? approach_->speed
                                    : train_.nextSpeed(speed, frame.returned, step, frame.position);
    const double reported = static_cast<float>(speed);
    s_.from = frame.position;
    frame.position += reported * step / 3.6;
    frame.time = (index + 1) * static_cast<double>(run.stepMs) / 1000.0;
    ++s_.index;
    s_.passedPending = true;
    return true;
}

void LineRun::reportPassed() {
    s_.passedPending = false;
    const auto& transponders = scenario_.transponders;
    FrameRecord& frame = s_.frame;
    // Rolling back, the front leaves transponders ahead of it again; they are reported when it
    // passes them going forward. Those behind it lay behind where it came from.
    while (frame.position < s_.from && s_.ahead > 0 &&
           transponders[s_.ahead - 1].position > frame.position) {
        --s_.ahead;
    }
    while (s_.ahead < transponders.size() && transponders[s_.ahead].position <= frame.position) {
        const Transponder& t = transponders[s_.ahead++];
        if (t.position < s_.from) {
            continue;
        }
        Note n;
        n.time = frame.time;
        n.position = t.position;
        n.speed = static_cast<float>(s_.speed);
        const int32_t signal = aspects_.reported(t);
        n.text = transponderText(t, signal, scenario_);
        n.transponder = true;
        n.transponderType = t.type;
        n.transponderOptional = t.optional;
        n.label = t.label;
        for (RunObserver* observer : observers_) {
            observer->onNote(n);
        }
        calls_.setPlace(frame.time, t.position, static_cast<float>(s_.speed));
        calls_.setBeaconData(t, signal);
    }
}

void LineRun::save(Checkpoint& c) const {
    c.run = s_;
    c.unitBrakes = unitBrakes_;
    calls_.save(c.calls);
    c.host = host_.state();
    c.driver = driver_;
    c.aspects = aspects_;
    c.script = script_;
    plugin_.save(c.library);
}

void LineRun::restore(const Checkpoint& c) {
    s_ = c.run;
    unitBrakes_ = c.unitBrakes;
    calls_.restore(c.calls);
    host_.restore(c.host);
    driver_ = *c.driver;
    aspects_ = *c.aspects;
    script_ = *c.script;
    plugin_.restore(c.library);
}

} // namespace vantor::sim
