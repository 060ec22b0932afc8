// What the layout tests share: a test line read as the command reads it, laid out, and the
// scenario it writes.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/pinned_random.h"
#include "layout/layout_planner.h"
#include "layout/layout_text.h"
#include "scenario/run_settings.h"
#include "scenario/scenario_parser.h"

namespace vantor::sim::testing {

inline std::string layoutLine(const std::string& name) {
    return SCENARIO_DIR "/layout/" + name + ".toml";
}

inline std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A line read from its text with its settings applied, and the request to lay it out as
// `vantor-sim layout` does with the given --speed.
struct LaidLine {
    std::string text;
    Scenario base;
    LayoutRequest request;

    explicit LaidLine(std::string scenarioText, const std::string& speed = "line")
        : text(std::move(scenarioText)), base(parseScenario(text, "line.toml")) {
        std::ostringstream warnings;
        request.judge.settingsFile = RunSettings("", warnings).apply(base, warnings);
        request.judge.library = VANTOR_LIBRARY;
        request.judge.speed = parseSpeedChoice(speed);
        request.judge.unitMaxSpeed = base.settings.file.unit().maxSpeed;
        request.judge.jobs = 2;
        pinRandom();
    }

    Layout plan() const { return planLayout(base, request); }

    // The scenario text `--write` writes for this layout, and where its block begins.
    WrittenText written(const Layout& layout) const {
        return writtenText(withoutLayout(text), layoutBlock(base, layout, "test"));
    }
};

// The same text with the driver's one profile speed changed.
inline std::string withProfileSpeed(std::string text, int speed) {
    const std::string key = "profile = [[0, ";
    const size_t at = text.find(key) + key.size();
    text.replace(at, text.find(']', at) - at, std::to_string(speed));
    return text;
}

} // namespace vantor::sim::testing
