// Any bytes through the bench's own readers, the first byte choosing what the rest is:
//   0xFF  a settings file of the rest, made longer than the unit reads (see checkLargeFile);
// else by the byte's remainder by 3 (the digits '0', '1' and '2' in the seeds):
//   0     a scenario's text, to the parser;
//   1     a scenario file, loaded as the bench loads one (UTF-16 converted, or refused unmarked);
//   2     a settings file, to the `settings` command and the checker.
// A scenario is refused with an error that names the file, or accepted with every value one a
// run can use; the settings checker returns, reads no further than the unit and reports the
// settings the unit reads.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <unistd.h>

#include "scenario/scenario_bounds.h"
#include "scenario/scenario_parser.h"
#include "scenario/settings_table.h"
#include "settings/settings_check.h"
#include "settings/settings_file.h"
#include "warnings/route_check.h"

namespace {

using namespace vantor::sim;

void check(bool holds) {
    if (!holds) {
        __builtin_trap();
    }
}

// One file, rewritten for every input, in the fuzzer's temporary directory and removed when
// the fuzzer exits.
class ScratchFile {
  public:
    ScratchFile() {
        const char* dir = std::getenv("TMPDIR");
        path_ = std::string(dir && *dir ? dir : "/tmp") + "/vantor-bench-XXXXXX";
        const int fd = ::mkstemp(path_.data());
        check(fd >= 0);
        ::close(fd);
    }
    ~ScratchFile() { ::unlink(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& write(std::string_view bytes) const {
        const int fd = ::open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        check(fd >= 0);
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            check(n > 0);
            done += static_cast<size_t>(n);
        }
        ::close(fd);
        return path_;
    }

  private:
    std::string path_;
};

const ScratchFile& scratch() {
    static const ScratchFile file;
    return file;
}

bool inside(double value, const Bounds& bounds) {
    return std::isfinite(value) && value >= bounds.low && value <= bounds.high;
}

bool finiteTime(double seconds) {
    return std::isfinite(seconds) && seconds >= 0.0;
}

bool finiteDelay(const std::optional<double>& seconds) {
    return !seconds || finiteTime(*seconds);
}

bool positive(double value) {
    return std::isfinite(value) && value > 0.0;
}

bool notch(int32_t value, int32_t lowest, int32_t highest) {
    return value >= lowest && value <= highest;
}

void checkVehicle(const Vehicle& v) {
    check(notch(v.brakeNotches, 1, kMostNotches));
    check(notch(v.powerNotches, 1, kMostNotches));
    check(notch(v.ackBrakeNotch, 1, v.emergencyNotch()));
    check(notch(v.cars, 1, kMostCars));
    check(v.powerAcceleration.size() == static_cast<size_t>(v.powerNotches));
    check(v.brakeDeceleration.size() == static_cast<size_t>(v.brakeNotches));
    for (const auto* list : {&v.powerAcceleration, &v.brakeDeceleration}) {
        for (const double rate : *list) {
            check(inside(rate, kAccelerationBounds));
        }
    }
    for (const double rate : {v.emergencyDeceleration, v.resistanceConstant, v.resistanceAt100}) {
        check(inside(rate, kAccelerationBounds));
    }
}

// Each key of [settings] reaches the unit on a line of its own, and a whole number as given.
void checkSettingsTable(const Settings& settings) {
    if (!settings.anyKey()) {
        check(!settings.file.bytes());
        return;
    }
    check(settings.file.bytes().has_value());
    const SettingsReport report = checkSettings(*settings.file.bytes());
    for (size_t i = 0; i < kSettingCount; ++i) {
        if (!settings.keys[i]) {
            continue;
        }
        const std::string& value = settings.keys[i]->value;
        for (const char c : value) {
            const auto byte = static_cast<unsigned char>(c);
            check(byte >= 0x20 && byte != 0x7F);
        }
        check(report.lines[i] > 0);
        if (!kSettings[i].decimal) {
            check(settingValue(settings.file.unit(), i) ==
                  static_cast<double>(std::strtoll(value.c_str(), nullptr, 10)));
        }
    }
}

void checkLine(const Scenario& s) {
    check(inside(s.routeLength, Bounds{0.0, kPositionBounds.high, ""}));
    for (const Signal& signal : s.signals) {
        check(inside(signal.position, kPositionBounds));
    }
    for (const SpeedLimit& limit : s.limits) {
        check(inside(limit.from, kPositionBounds) && inside(limit.to, kPositionBounds));
        check(limit.to > limit.from);
        check(inside(limit.speed, kSpeedBounds) && limit.speed > 0.0);
    }
    for (const Transponder& t : s.transponders) {
        check(inside(t.position, kPositionBounds));
        check(!t.linkedSignal || *t.linkedSignal < s.signals.size());
    }
    for (const Gradient& g : s.gradients) {
        check(inside(g.position, kPositionBounds) && inside(g.perMille, kGradientBounds));
    }
}

void checkDriver(const DriverPlan& d, const Vehicle& v) {
    check(finiteTime(d.startTime));
    double last = -INFINITY;
    for (const ProfilePoint& point : d.profile) {
        check(inside(point.position, kPositionBounds) && inside(point.speed, kSpeedBounds));
        check(point.position > last);
        last = point.position;
    }
    check(inside(d.deceleration, kAccelerationBounds) && d.deceleration > 0.0);
    check(notch(d.brakeNotch, 1, v.brakeNotches));
    check(notch(d.powerNotch, 1, v.powerNotches));
    check(finiteDelay(d.ackDelay) && finiteDelay(d.releaseDelay));
    check(positive(d.ackHold));
    check(inside(d.patternMargin, kSpeedBounds));
}

void checkEvents(const Scenario& s) {
    for (const Event& e : s.events) {
        check(e.time.has_value() != e.position.has_value());
        check(!e.time || finiteTime(*e.time));
        check(!e.position || inside(*e.position, kPositionBounds));
        check(!e.brake || notch(*e.brake, 0, s.vehicle.emergencyNotch()));
        check(!e.power || notch(*e.power, 0, s.vehicle.powerNotches));
        check(!e.reverser || notch(*e.reverser, -1, 1));
        check(!e.ackDelay || finiteDelay(*e.ackDelay));
        for (const auto& key : {e.keyDown, e.keyUp, e.key}) {
            check(!key || *key >= 0);
        }
        check(!e.signal || *e.signal < s.signals.size());
        check(positive(e.hold));
    }
}

void checkRun(const Scenario& s) {
    check(notch(s.run.stepMs, 1, kLongestStepMs));
    check(positive(s.run.duration));
    check(inside(s.run.startPosition, kPositionBounds));
    check(s.routeLength == 0.0 || s.run.startPosition < s.routeLength);
}

void checkExpectations(const Scenario& s) {
    for (const Expectation& e : s.expectations) {
        const ExpectWindow& w = e.window;
        for (const auto& end : {w.from, w.to}) {
            if (end) {
                check(w.by == ExpectWindow::By::Time ? finiteTime(*end)
                                                     : inside(*end, kPositionBounds));
            }
        }
        check(w.by != ExpectWindow::By::Run || (!w.from && !w.to));
        check(!w.single || (w.from && !w.to));
        check(!(w.from && w.to) || *w.to >= *w.from);
        if (e.kind == ExpectKind::StopBefore) {
            check(inside(e.stopBefore, kPositionBounds));
            check(!w.from || *w.from <= e.stopBefore);
        }
        if (e.kind == ExpectKind::PatternSpeed || e.kind == ExpectKind::PatternDisplay) {
            check(std::isfinite(e.low) && std::isfinite(e.high) && e.low <= e.high);
        }
    }
}

// A scenario the reader accepts, and what the bench does with it before a run.
void checkScenario(const Scenario& s) {
    checkVehicle(s.vehicle);
    checkSettingsTable(s.settings);
    checkLine(s);
    checkDriver(s.driver, s.vehicle);
    checkEvents(s);
    checkRun(s);
    checkExpectations(s);
    checkRoute(s);
    std::ostringstream warnings;
    printTableWarnings(s, warnings);
}

void readScenario(std::string_view bytes, bool asFile) {
    const std::string name = asFile ? scratch().write(bytes) : "fuzz.toml";
    try {
        checkScenario(asFile ? loadScenarioFile(name) : parseScenario(bytes, name));
    } catch (const ScenarioError& error) {
        // Every refusal names the file first, and mostly the line.
        check(std::string_view(error.what()).starts_with(name + ":"));
    }
}

bool sameNumber(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

void checkSettingsFile(const std::string& bytes) {
    const std::string& path = scratch().write(bytes);
    const std::string read = readSettingsBytes(path);
    check(read == bytes);
    const SettingsReport report = checkSettings(read);

    static char buffer[vantor::kSettingsFileLimit];
    const vantor::UnitSettings unit =
        vantor::readSettings(vantor::readSettingsFile(path.c_str(), buffer, sizeof buffer));
    const vantor::UnitSettings& checked = report.settings;
    check(sameNumber(unit.maxSpeed, checked.maxSpeed));
    check(sameNumber(unit.deceleration, checked.deceleration));
    check(sameNumber(unit.reactionTime, checked.reactionTime));
    check(unit.displayResolution == checked.displayResolution);
    check(unit.displayMaxSpeed == checked.displayMaxSpeed);

    std::ostringstream out;
    const int status = printSettingsCheck(path, out, out);
    check(status == (report.warnings.empty() ? 0 : 1));
}

// A file larger than the unit reads: the checker takes the unit's bytes and the one after them,
// by which it tells that the file goes on, and no more. (Checking such a file takes half a
// second in this build, a hundred times a small one's, which would leave the rest of the run
// little time: the unit's and the checker's reading past the limit are held to the unit tests.)
void checkLargeFile(std::string_view rest) {
    std::string bytes(rest);
    bytes.append(vantor::kSettingsFileLimit + 1, '\n');
    const std::string& path = scratch().write(bytes);
    const std::string read = readSettingsBytes(path);
    check(read.size() == vantor::kSettingsFileLimit + 1);
    check(std::string_view(bytes).starts_with(read));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    try {
        if (data[0] == 0xFF) {
            checkLargeFile(rest);
        } else if (data[0] % 3 == 2) {
            checkSettingsFile(std::string(rest));
        } else {
            readScenario(rest, data[0] % 3 == 1);
        }
    } catch (...) {
        // Only the reader's own refusal may leave it.
        __builtin_trap();
    }
    return 0;
}
