#include "svg_plot.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <tuple>

#include "text_format.h"

namespace vantor::sim {

namespace {

struct LampRow {
    int panel;
    const char* name;
    const char* colour;
};

constexpr LampRow kLampRows[] = {
    {kPanelPowered, "power", "#7f8c8d"},       {kPanelNormalLamp, "normal", "#27ae60"},
    {kPanelAlarmLamp, "alarm", "#c0392b"},     {kPanelPatternLamp, "pattern", "#e67e22"},
    {kPanelWarningLamp, "warning", "#f1c40f"}, {kPanelEmergencyLamp, "emergency", "#8e44ad"},
    {kPanelHoldOffLamp, "hold-off", "#2980b9"}};
// One more row below the lamps: the unit overrides the driver's handles.
constexpr int kOverrideRow = sizeof(kLampRows) / sizeof(kLampRows[0]);
constexpr int kRowCount = kOverrideRow + 1;

constexpr double kWidth = 1400.0;
constexpr double kHeight = 800.0;
constexpr double kLeft = 90.0;
constexpr double kRight = 30.0;
constexpr double kPlotTop = 100.0;
constexpr double kPlotBottom = 550.0;
constexpr double kLampTop = 590.0;
constexpr double kLampRow = 24.0;

std::string escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// A round step for axis ticks: 1, 2 or 5 times a power of ten, giving about `count` ticks.
double tickStep(double range, int count) {
    const double raw = range / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (raw <= factor * power) {
            return factor * power;
        }
    }
    return 10.0 * power;
}

} // namespace

void SvgPlot::onNote(const Note& note) {
    if (note.transponder) {
        const std::string label = note.transponderType == 70
                                      ? "coil " + std::to_string(note.transponderOptional)
                                      : "type " + std::to_string(note.transponderType);
        marks_.push_back(Mark{note.position, label});
    }
}

void SvgPlot::onFrame(const FrameRecord& frame) {
    uint32_t lamps = 0;
    for (int i = 0; i < kOverrideRow; ++i) {
        if (frame.panel[kLampRows[i].panel] != 0) {
            lamps |= 1u << i;
        }
    }
    if (frame.returned.brake > frame.driver.brake || frame.returned.power < frame.driver.power) {
        lamps |= 1u << kOverrideRow;
    }
    samples_.push_back(
        Sample{frame.position, frame.speed, frame.targetSpeed, frame.patternSpeed, lamps});
}

std::string SvgPlot::render() const {
    double first = samples_.empty() ? 0.0 : samples_.front().position;
    double last = first;
    double top = 20.0;
    for (const Sample& s : samples_) {
        first = std::min(first, s.position);
        last = std::max(last, s.position);
        top = std::max({top, s.speed, s.target});
    }
    for (const Mark& m : marks_) {
        last = std::max(last, m.position);
    }
    if (last - first < 1.0) {
        last = first + 1.0;
    }
    // Patterns far above anything the train did would flatten the plot; they are clipped.
    double patternTop = top;
    for (const Sample& s : samples_) {
        if (s.pattern && *s.pattern <= top * 1.5 + 20.0) {
            patternTop = std::max(patternTop, *s.pattern);
        }
    }
    const double speedStep = tickStep(patternTop, 8);
    const double yMax = std::ceil((patternTop + 1.0) / speedStep) * speedStep;

    auto x = [&](double position) {
        return kLeft + (position - first) / (last - first) * (kWidth - kLeft - kRight);
    };
    auto y = [&](double speed) {
        return kPlotBottom - std::min(speed, yMax) / yMax * (kPlotBottom - kPlotTop);
    };

    std::ostringstream svg;
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\""
        << kHeight << "\" viewBox=\"0 0 " << kWidth << ' ' << kHeight
        << "\" font-family=\"sans-serif\" font-size=\"12\">\n"
        << "<title>" << escape(scenario_.name) << "</title>\n"
        << "<rect x=\"0\" y=\"0\" width=\"" << kWidth << "\" height=\"" << kHeight
        << "\" fill=\"white\"/>\n"
        << "<text x=\"" << kLeft << "\" y=\"24\" font-size=\"16\" font-weight=\"bold\">"
        << escape(scenario_.name) << "</text>\n";

    // Axes and grid.
    svg << "<g id=\"axes\" stroke=\"#dddddd\">\n";
    for (double v = 0.0; v <= yMax + 1e-9; v += speedStep) {
        svg << "<line x1=\"" << kLeft << "\" y1=\"" << fixed(y(v), 1) << "\" x2=\""
            << kWidth - kRight << "\" y2=\"" << fixed(y(v), 1) << "\"/>\n"
            << "<text x=\"" << kLeft - 8 << "\" y=\"" << fixed(y(v) + 4, 1)
            << "\" text-anchor=\"end\" stroke=\"none\" fill=\"#333333\">" << shortNumber(v)
            << "</text>\n";
    }
    const double positionStep = tickStep(last - first, 12);
    for (double p = std::ceil(first / positionStep) * positionStep; p <= last + 1e-9;
         p += positionStep) {
        svg << "<line x1=\"" << fixed(x(p), 1) << "\" y1=\"" << kPlotTop << "\" x2=\""
            << fixed(x(p), 1) << "\" y2=\"" << kPlotBottom << "\"/>\n"
            << "<text x=\"" << fixed(x(p), 1) << "\" y=\"" << kPlotBottom + 18
            << "\" text-anchor=\"middle\" stroke=\"none\" fill=\"#333333\">" << shortNumber(p)
            << "</text>\n";
    }
    svg << "</g>\n"
        << "<text x=\"20\" y=\"" << (kPlotTop + kPlotBottom) / 2 << "\" transform=\"rotate(-90 20 "
        << (kPlotTop + kPlotBottom) / 2 << ")\" text-anchor=\"middle\">speed (km/h)</text>\n"
        << "<text x=\"" << kWidth - kRight << "\" y=\"" << kPlotBottom + 34
        << "\" text-anchor=\"end\">position (m)</text>\n"
        << "<rect x=\"" << kLeft << "\" y=\"" << kPlotTop << "\" width=\""
        << kWidth - kLeft - kRight << "\" height=\"" << kPlotBottom - kPlotTop
        << "\" fill=\"none\" stroke=\"#333333\"/>\n";

    // Transponder marks.
    // Marks closer than a label is high, such as the two coils of a pair, share one label.
    std::vector<Mark> merged;
    for (const Mark& m : marks_) {
        if (!merged.empty() && x(m.position) - x(merged.back().position) < 12.0) {
            merged.back().label += " + " + m.label;
        } else {
            merged.push_back(m);
        }
    }
    svg << "<g id=\"transponders\">\n";
    for (const Mark& m : merged) {
        const double mx = x(m.position);
        svg << "<line x1=\"" << fixed(mx, 1) << "\" y1=\"" << kPlotTop << "\" x2=\"" << fixed(mx, 1)
            << "\" y2=\"" << kPlotBottom << "\" stroke=\"#95a5a6\" stroke-dasharray=\"3,3\"/>\n"
            << "<text x=\"" << fixed(mx + 3, 1) << "\" y=\"" << kPlotTop - 4
            << "\" font-size=\"9\" transform=\"rotate(-45 " << fixed(mx + 3, 1) << ' '
            << kPlotTop - 4 << ")\">" << escape(m.label) << "</text>\n";
    }
    svg << "</g>\n";

    // Curves, thinned to what the pixels can show.
    auto polyline = [&](const char* id, const char* colour, const char* extra, auto value) {
        svg << "<g id=\"" << id << "\" fill=\"none\" stroke=\"" << colour << "\" stroke-width=\"2\""
            << extra << ">\n";
        std::string points;
        double lastX = -1e9;
        double lastY = -1e9;
        auto flush = [&] {
            if (!points.empty()) {
                svg << "<polyline points=\"" << points << "\"/>\n";
                points.clear();
            }
            lastX = -1e9;
        };
        for (const Sample& s : samples_) {
            const std::optional<double> v = value(s);
            if (!v) {
                flush();
                continue;
            }
            const double px = x(s.position);
            const double py = y(*v);
            if (std::abs(px - lastX) < 0.5 && std::abs(py - lastY) < 0.5) {
                continue;
            }
            points += (points.empty() ? "" : " ") + fixed(px, 1) + "," + fixed(py, 1);
            lastX = px;
            lastY = py;
        }
        flush();
        svg << "</g>\n";
    };
    polyline("target", "#95a5a6", " stroke-dasharray=\"6,4\"",
             [](const Sample& s) { return std::optional<double>(s.target); });
    polyline("pattern", "#c0392b", "", [](const Sample& s) { return s.pattern; });
    polyline("speed", "#2c3e50", "",
             [](const Sample& s) { return std::optional<double>(s.speed); });

    // Lamp rows: a bar wherever the lamp was lit.
    svg << "<g id=\"lamps\">\n";
    for (int i = 0; i < kRowCount; ++i) {
        const double rowY = kLampTop + i * kLampRow;
        const char* name = i == kOverrideRow ? "override" : kLampRows[i].name;
        const char* colour = i == kOverrideRow ? "#34495e" : kLampRows[i].colour;
        svg << "<text x=\"" << kLeft - 8 << "\" y=\"" << rowY + 15 << "\" text-anchor=\"end\">"
            << name << "</text>\n"
            << "<rect x=\"" << kLeft << "\" y=\"" << rowY + 3 << "\" width=\""
            << kWidth - kLeft - kRight << "\" height=\"" << kLampRow - 6
            << "\" fill=\"#f4f4f4\"/>\n";
        std::optional<double> from;
        double to = first;
        auto bar = [&] {
            const double x1 = x(*from);
            const double width = std::max(2.0, x(to) - x1);
            svg << "<rect x=\"" << fixed(x1, 1) << "\" y=\"" << rowY + 3 << "\" width=\""
                << fixed(width, 1) << "\" height=\"" << kLampRow - 6 << "\" fill=\"" << colour
                << "\"/>\n";
        };
        for (const Sample& s : samples_) {
            const bool lit = (s.lamps >> i) & 1u;
            if (lit && !from) {
                from = s.position;
            }
            if (lit) {
                to = s.position;
            } else if (from) {
                bar();
                from.reset();
            }
        }
        if (from) {
            bar();
        }
    }
    svg << "</g>\n";

    // Legend.
    const double legendY = 20.0;
    double legendX = kWidth - kRight - 540.0;
    for (const auto& [name, colour, dash] :
         {std::tuple{"speed", "#2c3e50", ""}, std::tuple{"lowest pattern speed", "#c0392b", ""},
          std::tuple{"driver's target", "#95a5a6", " stroke-dasharray=\"6,4\""}}) {
        svg << "<line x1=\"" << legendX << "\" y1=\"" << legendY << "\" x2=\"" << legendX + 30
            << "\" y2=\"" << legendY << "\" stroke=\"" << colour << "\" stroke-width=\"2\"" << dash
            << "/>\n"
            << "<text x=\"" << legendX + 36 << "\" y=\"" << legendY + 4 << "\">" << name
            << "</text>\n";
        legendX += 180.0;
    }
    svg << "</svg>\n";
    return svg.str();
}

} // namespace vantor::sim
