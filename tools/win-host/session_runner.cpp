#include "session_runner.h"

#include <array>
#include <cstdint>
#include <sstream>
#include <stdexcept>

namespace vantor::sessions {

namespace {

constexpr int kTracedPanel[] = {0, 1, 11, 12, 13, 14, 15, 16, 17, 18, 19};
constexpr int kTracedSound[] = {0, 1, 10, 11, 12, 13, 20, 21, 22};

class Session {
  public:
    Session(const loader::PluginExports& plugin, std::FILE* trace, const TraceOptions& options)
        : plugin_(plugin), trace_(trace), options_(options) {}

    void begin() {
        plugin_.load();
        std::fprintf(trace_, "version %d\n", plugin_.getPluginVersion());
    }
    void end() { plugin_.dispose(); }

    void command(const std::string& word, std::istringstream& args) {
        if (word == "vehicle") {
            const int32_t brakeNotches = next<int32_t>(args);
            const int32_t ackNotch = next<int32_t>(args);
            plugin_.setVehicleSpec(VehicleSpec{brakeNotches, 5, ackNotch, 1, 4});
        } else if (word == "initialize") {
            plugin_.initialize(0);
        } else if (word == "brake") {
            plugin_.setBrake(next<int32_t>(args));
        } else if (word == "power") {
            plugin_.setPower(next<int32_t>(args));
        } else if (word == "reverser") {
            plugin_.setReverser(next<int32_t>(args));
        } else if (word == "keydown") {
            plugin_.keyDown(next<int32_t>(args));
        } else if (word == "keyup") {
            plugin_.keyUp(next<int32_t>(args));
        } else if (word == "panel") {
            const int index = next<int>(args);
            if (index < 0 || index >= kPanelSize) {
                throw std::runtime_error("panel index out of range");
            }
            panel_[index] = next<int32_t>(args);
        } else if (word == "beacon") {
            const int32_t type = next<int32_t>(args);
            const int32_t signal = next<int32_t>(args);
            const int32_t optional = next<int32_t>(args);
            plugin_.setBeaconData(BeaconData{type, signal, 0.0f, optional});
        } else if (word == "horn") {
            plugin_.hornBlow(next<int32_t>(args));
        } else if (word == "signal") {
            plugin_.setSignal(next<int32_t>(args));
        } else if (word == "doors") {
            const auto which = next<std::string>(args);
            if (which == "open") {
                plugin_.doorOpen();
            } else if (which == "close") {
                plugin_.doorClose();
            } else {
                throw std::runtime_error("doors takes open or close");
            }
        } else if (word == "clock") {
            time_ = next<int32_t>(args);
        } else if (word == "frame") {
            const int32_t step = next<int32_t>(args);
            frame(step, next<float>(args));
        } else if (word == "frames") {
            const int count = next<int>(args);
            const int32_t step = next<int32_t>(args);
            const float speed = next<float>(args);
            for (int i = 0; i < count; ++i) {
                frame(step, speed);
            }
        } else if (word == "ramp") {
            const int count = next<int>(args);
            const int32_t step = next<int32_t>(args);
            const double from = next<double>(args);
            const double to = next<double>(args);
            for (int i = 1; i <= count; ++i) {
                frame(step, static_cast<float>(from + (to - from) * i / count));
            }
        } else if (word == "note") {
            std::string text;
            std::getline(args >> std::ws, text);
            std::fprintf(trace_, "# %s\n", text.c_str());
            return;
        } else {
            throw std::runtime_error("unknown command " + word);
        }
        std::string extra;
        if (args >> extra) {
            throw std::runtime_error("unexpected " + extra);
        }
    }

  private:
    template <typename T> static T next(std::istringstream& args) {
        T value{};
        if (!(args >> value)) {
            throw std::runtime_error("missing or bad argument");
        }
        return value;
    }

    void frame(int32_t step, float speed) {
        time_ += step;
        VehicleState state{};
        state.speed = speed;
        state.time = time_;
        const Handles handles = plugin_.elapse(state, panel_.data(), sound_.data());
        std::fprintf(trace_, "%d %.2f | %d %d %d %d |", time_, static_cast<double>(speed),
                     handles.brake, handles.power, handles.reverser, handles.constantSpeed);
        for (const int index : kTracedPanel) {
            std::fprintf(trace_, " %d", panel_[index]);
        }
        std::fprintf(trace_, " |");
        for (const int index : kTracedSound) {
            if (options_.maskRandomSounds && (index == 21 || index == 22)) {
                std::fprintf(trace_, " *");
            } else {
                std::fprintf(trace_, " %d", sound_[index]);
            }
        }
        std::fprintf(trace_, "\n");
    }

    const loader::PluginExports& plugin_;
    std::FILE* trace_;
    TraceOptions options_;
    std::array<int32_t, kPanelSize> panel_{};
    std::array<int32_t, kSoundSize> sound_{};
    int32_t time_ = 0;
};

} // namespace

void runSession(const loader::PluginExports& plugin, std::istream& script, std::FILE* trace,
                const TraceOptions& options) {
    Session session(plugin, trace, options);
    session.begin();
    std::string line;
    int number = 0;
    while (std::getline(script, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::istringstream args(line);
        std::string word;
        if (!(args >> word) || word[0] == '#') {
            continue;
        }
        try {
            session.command(word, args);
        } catch (const std::runtime_error& error) {
            throw std::runtime_error("line " + std::to_string(number) + ": " + error.what());
        }
    }
    session.end();
}

} // namespace vantor::sessions
