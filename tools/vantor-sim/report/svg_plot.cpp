#include "report/svg_plot.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <tuple>

#include "host/unit_names.h"
#include "support/text_format.h"
#include "support/xml_text.h"

namespace vantor::sim {

namespace {

struct Row {
    int panel; // the panel entry lighting the row; -1 for the rows the bench works out
    const char* name;
    const char* colour;
};

constexpr Row kRows[] = {{kPanelPowered, "power", "#7f8c8d"},
                         {kPanelNormalLamp, "normal", "#27ae60"},
                         {kPanelAlarmLamp, "alarm", "#c0392b"},
                         {kPanelPatternLamp, "pattern", "#e67e22"},
                         {kPanelWarningLamp, "warning", "#f1c40f"},
                         {kPanelEmergencyLamp, "emergency", "#8e44ad"},
                         {kPanelHoldOffLamp, "hold-off", "#2980b9"},
                         {-1, "override", "#34495e"},
                         {-1, "cut out", "#d35400"}};
// The unit overrides the driver's handles.
constexpr int kOverrideRow = 7;
// The unit is powered but supervises nothing: the pattern display shows 999.
constexpr int kCutOutRow = 8;
constexpr int kRowCount = sizeof(kRows) / sizeof(kRows[0]);
// Below the lamp rows, the scripted events.
constexpr int kEventRow = kRowCount;

constexpr double kWidth = 1400.0;
constexpr double kLeft = 90.0;
constexpr double kRight = 30.0;
constexpr double kTitleY = 24.0;
// Two legend rows, then the band where the transponders' labels rise at 45 degrees.
constexpr double kLegendY = 50.0;
constexpr double kLegendRow = 22.0;
constexpr double kLabelBandTop = kLegendY + kLegendRow + 12.0;
constexpr double kPlotTop = 230.0;
constexpr double kPlotBottom = 680.0;
constexpr double kRowTop = 720.0;
constexpr double kRowHeight = 24.0;
constexpr double kHeight = kRowTop + (kRowCount + 1) * kRowHeight + 20.0;
// Characters of an event's label; the rest is in its hover title.
constexpr size_t kMarkChars = 24;
// Marks closer than this many pixels share one line.
constexpr double kMarkGap = 12.0;
// Labels at 45 degrees this far apart do not touch; a label is moved at most this far along
// from its mark, and beyond that joins the label before it.
constexpr double kLabelPitch = 14.0;
constexpr double kLabelShift = 3 * kLabelPitch;
// Width of a character at the marks' 9 pixels, on average; a label's height.
constexpr double kCharWidth = 5.2;
constexpr double kLabelHeight = 11.0;
constexpr double kSin45 = 0.7071067811865476;

// At most count characters of UTF-8 text, with an ellipsis when cut.
std::string shorten(const std::string& text, size_t count) {
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
        if (!continuation && ++characters > count) {
            return text.substr(0, i) + "\u2026";
        }
    }
    return text;
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

// The multiples of step from low to high, at most most of them. Counted rather than summed, so
// that far from 0, where adding a step may change nothing, the axis still ends.
std::vector<double> axisTicks(double low, double high, double step, int most) {
    std::vector<double> ticks;
    if (!(step > 0.0)) {
        return ticks;
    }
    const double first = std::ceil(low / step);
    for (int i = 0; i < most; ++i) {
        const double value = (first + i) * step;
        if (!(value <= high + 1e-9) || (!ticks.empty() && value == ticks.back())) {
            break;
        }
        ticks.push_back(value);
    }
    return ticks;
}

// A tick's label, with the decimals of its step: ticks far from 0 read apart, as 10000020 and
// 10000040 where %g would give 1e+07 to both.
std::string tickText(double value, double step) {
    const int decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step))), 0, 6);
    return fixed(value + 0.0, decimals); // + 0.0: -0 reads 0
}

std::string withoutEventSign(const std::string& text) {
    const std::string sign = "\u00bb ";
    return text.rfind(sign, 0) == 0 ? text.substr(sign.size()) : text;
}

} // namespace

void SvgPlot::onNote(const Note& note) {
    if (note.transponder) {
        const std::string code = note.transponderType == 70
                                     ? "coil " + std::to_string(note.transponderOptional)
                                     : "type " + std::to_string(note.transponderType);
        marks_.push_back(
            Mark{note.position, code + (note.label.empty() ? "" : ": " + note.label), note.text});
    } else if (note.event) {
        // The notes of one event come together: the label, if any, first.
        if (!events_.empty() && events_.back().position == note.position) {
            events_.back().title += "; " + note.text;
        } else {
            events_.push_back(Mark{note.position, withoutEventSign(note.text), note.text});
        }
    }
}

void SvgPlot::onFact(const UnitFact& fact) {
    const bool setUp = fact.kind == FactKind::StopCurve || fact.kind == FactKind::Restriction ||
                       fact.kind == FactKind::FixedCheck;
    if (!setUp || !fact.setup || !fact.point || !fact.speedLimit) {
        return;
    }
    // A stop curve at its floor, the speed it keeps to past its stop point; the others at the
    // speed they hold the train to from their point on.
    points_.push_back(Point{*fact.point, *fact.speedLimit, *fact.setup == Setup::StopCurve,
                            setupLabel(*fact.setup, fact.slot, *fact.speedLimit), fact.text});
}

void SvgPlot::onFrame(const FrameRecord& frame) {
    uint32_t rows = 0;
    for (int i = 0; i < kRowCount; ++i) {
        if (kRows[i].panel >= 0 && frame.panel[kRows[i].panel] != 0) {
            rows |= 1u << i;
        }
    }
    if (frame.returned.brake > frame.driver.brake || frame.returned.power < frame.driver.power) {
        rows |= 1u << kOverrideRow;
    }
    if (frame.panel[kPanelPowered] != 0 &&
        frame.panel[kPanelPatternDisplay] == kPatternDisplayInactive) {
        rows |= 1u << kCutOutRow;
    }
    samples_.push_back(Sample{frame.position, frame.speed, frame.targetSpeed, frame.patternSpeed,
                              frame.panel[kPanelPatternLamp] != 0, rows});
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
    // What the unit set up shows even where the train stopped short, its mark whole within the
    // plot.
    const double driven = last;
    for (const Mark& m : marks_) {
        last = std::max(last, m.position);
    }
    for (const Point& p : points_) {
        last = std::max(last, p.position);
    }
    if (last - first < 1.0) {
        last = first + 1.0;
    }
    if (last > driven) {
        constexpr double kEndRoom = 0.02; // of the line shown
        last += (last - first) * kEndRoom;
    }
    // Patterns far above anything the train did would flatten the plot; they are clipped.
    double patternTop = top;
    for (const Sample& s : samples_) {
        if (s.pattern && *s.pattern <= top * 1.5 + 20.0) {
            patternTop = std::max(patternTop, *s.pattern);
        }
    }
    // What the unit set up shows at its speed.
    for (const Point& p : points_) {
        if (p.position >= first && p.position <= last) {
            patternTop = std::max(patternTop, p.speed);
        }
    }
    // Rolling back, the speed goes below 0.
    double lowest = 0.0;
    for (const Sample& s : samples_) {
        lowest = std::min(lowest, s.speed);
    }
    const double speedStep = tickStep(patternTop - lowest, 8);
    const double yMax = std::ceil((patternTop + 1.0) / speedStep) * speedStep;
    const double yMin = lowest < 0.0 ? -std::ceil((1.0 - lowest) / speedStep) * speedStep : 0.0;

    auto x = [&](double position) {
        return kLeft + (position - first) / (last - first) * (kWidth - kLeft - kRight);
    };
    auto y = [&](double speed) {
        return kPlotBottom -
               (std::clamp(speed, yMin, yMax) - yMin) / (yMax - yMin) * (kPlotBottom - kPlotTop);
    };

    std::ostringstream svg;
    // About 9.5 pixels a character at the title's size.
    const size_t titleChars = static_cast<size_t>((kWidth - kLeft - kRight) / 9.5);
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\""
        << kHeight << "\" viewBox=\"0 0 " << kWidth << ' ' << kHeight
        << "\" font-family=\"sans-serif\" font-size=\"12\">\n"
        << "<title>" << xmlText(scenario_.name) << "</title>\n"
        << "<rect x=\"0\" y=\"0\" width=\"" << kWidth << "\" height=\"" << kHeight
        << "\" fill=\"white\"/>\n"
        << "<text x=\"" << kLeft << "\" y=\"" << kTitleY
        << "\" font-size=\"16\" font-weight=\"bold\">"
        << xmlText(shorten(scenario_.name, titleChars)) << "</text>\n";

    // The legend has rows of their own below the title, so a long title never runs into it.
    {
        double legendX = kLeft;
        svg << "<g id=\"legend\">\n";
        for (const auto& [name, colour, dash] :
             {std::tuple{"speed", "#2c3e50", ""}, std::tuple{"lowest pattern speed", "#c0392b", ""},
              std::tuple{"overspeed brake (no pattern)", "#c0392b", " stroke-dasharray=\"2,4\""},
              std::tuple{"driver's target", "#95a5a6", " stroke-dasharray=\"6,4\""}}) {
            svg << "<line x1=\"" << legendX << "\" y1=\"" << kLegendY << "\" x2=\"" << legendX + 30
                << "\" y2=\"" << kLegendY << "\" stroke=\"" << colour << "\" stroke-width=\"2\""
                << dash << "/>\n"
                << "<text x=\"" << legendX + 36 << "\" y=\"" << kLegendY + 4 << "\">" << name
                << "</text>\n";
            legendX += 240.0;
        }
        const double rowY = kLegendY + kLegendRow;
        svg << "<path d=\"M" << kLeft + 15 << ' ' << rowY - 6 << " l6 10 h-12 z\" "
            << "fill=\"#c0392b\"/>\n<text x=\"" << kLeft + 36 << "\" y=\"" << rowY + 4 << "\">"
            << setupName(Setup::StopCurve) << ": its stop point, at its floor</text>\n"
            << "<rect x=\"" << kLeft + 330 + 14 << "\" y=\"" << rowY - 6
            << "\" width=\"2\" height=\"12\" fill=\"#c0392b\"/><rect x=\"" << kLeft + 330 + 15
            << "\" y=\"" << rowY - 1 << "\" width=\"16\" height=\"2\" fill=\"#c0392b\"/>\n<text x=\""
            << kLeft + 330 + 36 << "\" y=\"" << rowY + 4 << "\">"
            << xmlText(setupName(Setup::ApproachCurve) + ", " + setupName(Setup::Restriction) +
                       ", " + setupName(Setup::Hold) + ", " + setupName(Setup::FixedCheck) +
                       ": the speed held from its point on")
            << "</text>\n</g>\n";
    }

    // Axes and grid.
    svg << "<g id=\"axes\" stroke=\"#dddddd\">\n";
    // tickStep gives about 8 and 12 ticks; the rest is room for rounding.
    constexpr int kMostTicks = 40;
    for (const double v : axisTicks(yMin, yMax, speedStep, kMostTicks)) {
        svg << "<line x1=\"" << kLeft << "\" y1=\"" << fixed(y(v), 1) << "\" x2=\""
            << kWidth - kRight << "\" y2=\"" << fixed(y(v), 1) << "\"/>\n"
            << "<text x=\"" << kLeft - 8 << "\" y=\"" << fixed(y(v) + 4, 1)
            << "\" text-anchor=\"end\" stroke=\"none\" fill=\"#333333\">" << tickText(v, speedStep)
            << "</text>\n";
    }
    const double positionStep = tickStep(last - first, 12);
    for (const double p : axisTicks(first, last, positionStep, kMostTicks)) {
        svg << "<line x1=\"" << fixed(x(p), 1) << "\" y1=\"" << kPlotTop << "\" x2=\""
            << fixed(x(p), 1) << "\" y2=\"" << kPlotBottom << "\"/>\n"
            << "<text x=\"" << fixed(x(p), 1) << "\" y=\"" << kPlotBottom + 18
            << "\" text-anchor=\"middle\" stroke=\"none\" fill=\"#333333\">"
            << tickText(p, positionStep) << "</text>\n";
    }
    svg << "</g>\n"
        << "<text x=\"20\" y=\"" << (kPlotTop + kPlotBottom) / 2 << "\" transform=\"rotate(-90 20 "
        << (kPlotTop + kPlotBottom) / 2 << ")\" text-anchor=\"middle\">speed (km/h)</text>\n"
        << "<text x=\"" << kWidth - kRight << "\" y=\"" << kPlotBottom + 34
        << "\" text-anchor=\"end\">position (m)</text>\n"
        << "<rect x=\"" << kLeft << "\" y=\"" << kPlotTop << "\" width=\""
        << kWidth - kLeft - kRight << "\" height=\"" << kPlotBottom - kPlotTop
        << "\" fill=\"none\" stroke=\"#333333\"/>\n";

    // Transponder and gradient marks. Marks closer than a label is high, such as the two coils
    // of a pair, share one; the labels that do not fit are in the hover title.
    std::vector<Mark> all = marks_;
    for (const Gradient& g : scenario_.gradients) {
        if (g.position >= first && g.position <= last) {
            const std::string text = "gradient " + shortNumber(g.perMille) + " per mille";
            all.push_back(Mark{g.position, text, text});
        }
    }
    std::stable_sort(all.begin(), all.end(),
                     [](const Mark& a, const Mark& b) { return a.position < b.position; });
    svg << "<g id=\"transponders\">\n";
    // A line per mark, or per marks too close to tell apart.
    double lineX = -1e9;
    for (const Mark& m : all) {
        const double mx = x(m.position);
        if (mx - lineX >= kMarkGap) {
            lineX = mx;
            svg << "<line x1=\"" << fixed(mx, 1) << "\" y1=\"" << kPlotTop << "\" x2=\""
                << fixed(mx, 1) << "\" y2=\"" << kPlotBottom
                << "\" stroke=\"#95a5a6\" stroke-dasharray=\"3,3\"/>\n";
        }
    }
    // A label per mark, rising from its mark, or moved along a little where the one before it
    // is close; beyond that it joins the one before. Each is as long as the band above the plot
    // and the plot's right edge leave room for; its hover title has it whole.
    struct Label {
        double markX;
        double anchor;
        std::string text;
        std::string title;
    };
    std::vector<Label> labels;
    for (const Mark& m : all) {
        const double mx = x(m.position);
        const double anchor =
            labels.empty() ? mx + 3 : std::max(mx + 3, labels.back().anchor + kLabelPitch);
        if (!labels.empty() && anchor - (mx + 3) > kLabelShift) {
            labels.back().text += " + " + m.text;
            labels.back().title += "\n" + placeText(m.position) + ": " + m.title;
        } else {
            labels.push_back(Label{mx, anchor, m.text, placeText(m.position) + ": " + m.title});
        }
    }
    for (const Label& l : labels) {
        const double baseY = kPlotTop - 4;
        const double room = std::min((baseY - kLabelBandTop) / kSin45,
                                     (kWidth - 4 - l.anchor) / kSin45);
        const size_t chars = static_cast<size_t>(std::max(0.0, room / kCharWidth));
        svg << "<g><title>" << xmlText(l.title) << "</title>";
        if (l.anchor > l.markX + 3.5) {
            // A leader from the mark to its label moved along.
            svg << "<path d=\"M" << fixed(l.markX, 1) << ' ' << kPlotTop << " L" << fixed(l.anchor, 1)
                << ' ' << baseY << "\" stroke=\"#95a5a6\"/>";
        }
        svg << "<text x=\"" << fixed(l.anchor, 1) << "\" y=\"" << baseY
            << "\" font-size=\"9\" transform=\"rotate(-45 " << fixed(l.anchor, 1) << ' ' << baseY
            << ")\">" << xmlText(shorten(l.text, chars)) << "</text></g>\n";
    }
    svg << "</g>\n";

    // Curves, thinned to what the pixels can show.
    auto polyline = [&](const char* id, const char* colour, const char* extra, auto value) {
        svg << "<g id=\"" << id << "\" fill=\"none\" stroke=\"" << colour << "\"" << extra << ">\n";
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
            // Patterns above the plot are left out rather than drawn along its top.
            if (!v || *v > yMax) {
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
    polyline("target", "#95a5a6", " stroke-width=\"2\" stroke-dasharray=\"6,4\"",
             [](const Sample& s) { return std::optional<double>(s.target); });
    polyline("overspeed", "#c0392b", " stroke-width=\"1\" stroke-dasharray=\"2,4\"",
             [](const Sample& s) { return s.patternLit ? std::nullopt : s.pattern; });
    // With no pattern the display shows the overspeed brake, which is not a pattern's curve:
    // the pattern curve has a gap there.
    polyline("pattern", "#c0392b", " stroke-width=\"2\"",
             [](const Sample& s) { return s.patternLit ? s.pattern : std::nullopt; });
    polyline("speed", "#2c3e50", " stroke-width=\"2\"",
             [](const Sample& s) { return std::optional<double>(s.speed); });

    // Stop points as triangles at their curve's floor, held speeds as a bar from their point on.
    // Each label goes where it overlaps no other and stays inside the plot: above its mark,
    // higher, or below it.
    struct Box {
        double x1, y1, x2, y2;
        bool overlaps(const Box& o) const {
            return x1 < o.x2 && o.x1 < x2 && y1 < o.y2 && o.y1 < y2;
        }
    };
    std::vector<Box> taken;
    std::vector<Point> shown;
    for (const Point& p : points_) {
        if (p.position >= first && p.position <= last) {
            shown.push_back(p);
        }
    }
    std::stable_sort(shown.begin(), shown.end(),
                     [](const Point& a, const Point& b) { return a.position < b.position; });
    for (const Point& p : shown) {
        const double px = x(p.position);
        // The mark whole within the plot, however high its speed.
        const double py = std::max(y(p.speed), kPlotTop + 13.0);
        taken.push_back(p.stop ? Box{px - 6, py - 12, px + 6, py - 2}
                               : Box{px - 1, py - 6, px + 16, py + 6});
    }
    svg << "<g id=\"points\" fill=\"#c0392b\">\n";
    for (size_t i = 0; i < shown.size(); ++i) {
        const Point& p = shown[i];
        const double px = x(p.position);
        const double py = std::max(y(p.speed), kPlotTop + 13.0);
        const double width = kCharWidth * static_cast<double>(p.label.size());
        const double left =
            std::clamp(p.stop ? px - width / 2 : px + 3, kLeft + 2, kWidth - kRight - 2 - width);
        const double above = p.stop ? py - 16 : py - 4; // the label's baseline above its mark
        std::optional<Box> place;
        for (const double baseline : {above, above - kLabelHeight, above - 2 * kLabelHeight,
                                      py + 16, py + 16 + kLabelHeight}) {
            const Box box{left, baseline - 9, left + width, baseline + 2};
            if (box.y1 < kPlotTop + 1 || box.y2 > kPlotBottom - 1) {
                continue;
            }
            const bool free = std::none_of(taken.begin(), taken.end(),
                                           [&](const Box& t) { return t.overlaps(box); });
            if (free || !place) {
                place = box;
            }
            if (free) {
                break;
            }
        }
        svg << "<g><title>" << xmlText(p.title) << "</title>";
        if (p.stop) {
            svg << "<path d=\"M" << fixed(px, 1) << ' ' << fixed(py - 12, 1) << " l6 10 h-12 z\"/>";
        } else {
            svg << "<rect x=\"" << fixed(px - 1, 1) << "\" y=\"" << fixed(py - 6, 1)
                << "\" width=\"2\" height=\"12\"/><rect x=\"" << fixed(px, 1) << "\" y=\""
                << fixed(py - 1, 1) << "\" width=\""
                << fixed(std::min(16.0, kWidth - kRight - px), 1) << "\" height=\"2\"/>";
        }
        if (place) {
            taken.push_back(*place);
            svg << "<text x=\"" << fixed(place->x1, 1) << "\" y=\"" << fixed(place->y2 - 2, 1)
                << "\" font-size=\"9\">" << xmlText(p.label) << "</text>";
        }
        svg << "</g>\n";
    }
    svg << "</g>\n";

    // Rows below the plot: a bar wherever the lamp was lit, then the scripted events.
    svg << "<g id=\"lamps\">\n";
    auto rowBackground = [&](double rowY, const char* name) {
        svg << "<text x=\"" << kLeft - 8 << "\" y=\"" << rowY + 15 << "\" text-anchor=\"end\">"
            << name << "</text>\n"
            << "<rect x=\"" << kLeft << "\" y=\"" << rowY + 3 << "\" width=\""
            << kWidth - kLeft - kRight << "\" height=\"" << kRowHeight - 6
            << "\" fill=\"#f4f4f4\"/>\n";
    };
    for (int i = 0; i < kRowCount; ++i) {
        const double rowY = kRowTop + i * kRowHeight;
        rowBackground(rowY, kRows[i].name);
        // Rolling back, a lit stretch runs backwards: the bar spans all it covered.
        std::optional<double> low;
        double high = first;
        auto bar = [&] {
            const double x1 = x(*low);
            const double width = std::max(2.0, x(high) - x1);
            svg << "<rect x=\"" << fixed(x1, 1) << "\" y=\"" << rowY + 3 << "\" width=\""
                << fixed(width, 1) << "\" height=\"" << kRowHeight - 6 << "\" fill=\""
                << kRows[i].colour << "\"/>\n";
        };
        for (const Sample& s : samples_) {
            if ((s.rows >> i) & 1u) {
                high = low ? std::max(high, s.position) : s.position;
                low = low ? std::min(*low, s.position) : s.position;
            } else if (low) {
                bar();
                low.reset();
            }
        }
        if (low) {
            bar();
        }
    }
    svg << "</g>\n<g id=\"events\">\n";
    const double eventY = kRowTop + kEventRow * kRowHeight;
    rowBackground(eventY, "events");
    // A label where it fits before the next event, or for the last one before the edge;
    // all are in the hover titles.
    double labelEnd = -1e9;
    for (size_t i = 0; i < events_.size(); ++i) {
        const Mark& e = events_[i];
        const double ex = x(e.position);
        const std::string label = shorten(e.text, kMarkChars);
        const double width = 6.0 * static_cast<double>(std::min(e.text.size(), kMarkChars)) + 12.0;
        const double next = i + 1 < events_.size() ? x(events_[i + 1].position) : kWidth - kRight;
        const bool right = next - ex >= width;
        const bool left = !right && i + 1 == events_.size() && ex - labelEnd >= width;
        svg << "<g><title>" << xmlText(placeText(e.position) + ": " + e.title) << "</title>"
            << "<path d=\"M" << fixed(ex, 1) << ' ' << eventY + 4 << " l6 8 l-6 8 l-6 -8 z\" "
            << "fill=\"#2980b9\"/>";
        if (right || left) {
            svg << "<text x=\"" << fixed(right ? ex + 8 : ex - 8, 1) << "\" y=\"" << eventY + 16
                << "\" font-size=\"10\"" << (right ? "" : " text-anchor=\"end\"") << ">"
                << xmlText(label) << "</text>";
            labelEnd = right ? ex + width : ex;
        }
        svg << "</g>\n";
    }
    svg << "</g>\n</svg>\n";
    return svg.str();
}

} // namespace vantor::sim
