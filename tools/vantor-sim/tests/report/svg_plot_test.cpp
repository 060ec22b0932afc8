// The plot is well-formed XML and carries the speed and pattern curves, the lamps and the
// transponder marks of the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>

#include "host/plugin_library.h"
#include "report/svg_plot.h"
#include "scenario/default_scenario.h"
#include "scenario/scenario_parser.h"
#include "support/xml_check.h"

using namespace vantor::sim;
using vantor::sim::testing::occurrences;
using vantor::sim::testing::xmlProblem;

namespace {

// The text of the group with this id, the groups within it included.
std::string group(const std::string& svg, const std::string& id) {
    const size_t start = svg.find("<g id=\"" + id + "\"");
    if (start == std::string::npos) {
        return "";
    }
    size_t at = start + 1;
    for (int depth = 1; depth > 0; at += 2) {
        const size_t open = svg.find("<g", at);
        const size_t close = svg.find("</g>", at);
        if (close == std::string::npos) {
            return "";
        }
        depth += open < close ? 1 : -1;
        at = std::min(open, close);
    }
    return svg.substr(start, at - start);
}

} // namespace

TEST(SvgPlot, TheBuiltInLineGivesAWellFormedPlotWithItsCurves) {
    Scenario scenario = parseScenario(defaultScenarioText(), kDefaultScenarioName);
    // A name too long for the title row is cut there and given whole on hover.
    scenario.name = "a <line> & its \"plot\"" + std::string(200, 'x');
    PluginLibrary library(VANTOR_LIBRARY, scenario.settings);
    SvgPlot plot(scenario);
    runScenario(scenario, library, {&plot});
    const std::string svg = plot.render();

    EXPECT_EQ(xmlProblem(svg), "");
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos);
    EXPECT_NE(svg.find("<title>a &lt;line&gt; &amp; its &quot;plot&quot;" + std::string(200, 'x')),
              std::string::npos);
    EXPECT_NE(svg.find("x\u2026</text>"), std::string::npos);
    EXPECT_GE(occurrences(group(svg, "speed"), "<polyline"), 1u);
    EXPECT_GT(occurrences(group(svg, "speed"), ","), 100u);
    // Where no pattern stands the display shows the overspeed brake, drawn apart from the
    // pattern curve, which has gaps there.
    EXPECT_GE(occurrences(group(svg, "pattern"), "<polyline"), 2u);
    EXPECT_GE(occurrences(group(svg, "overspeed"), "<polyline"), 2u);
    // Every transponder is named once; the two coils of a pair share a mark.
    const std::string marks = group(svg, "transponders");
    EXPECT_EQ(occurrences(marks, "(signal "), scenario.transponders.size());
    EXPECT_LT(occurrences(marks, "<line"), scenario.transponders.size());
    // The restriction and the stop curve the unit set.
    const std::string points = group(svg, "points");
    EXPECT_NE(points.find("restriction 100 km/h from"), std::string::npos) << points;
    EXPECT_NE(points.find(">stop curve</text>"), std::string::npos) << points;
    // Seven lamp rows, the override and cut-out rows, each with its background, and lit bars.
    EXPECT_GT(occurrences(group(svg, "lamps"), "<rect"), 18u);
    const std::string events = group(svg, "events");
    EXPECT_EQ(occurrences(events, "<path"), scenario.events.size());
    EXPECT_NE(events.find("unit switched on"), std::string::npos);
}

// Far from 0 a step of the position axis may be lost in rounding; the axis still ends, with
// no more ticks than it has room for.
TEST(SvgPlot, AnAxisFarFromZeroEnds) {
    const Scenario scenario = parseScenario("name = \"far\"\n", "line.toml");
    for (const double start : {1e17, -1e17, 1e7}) {
        SvgPlot plot(scenario);
        FrameRecord frame;
        for (int i = 0; i < 3; ++i) {
            frame.position = start + 0.25 * i;
            frame.time = i;
            plot.onFrame(frame);
        }
        const std::string svg = plot.render();
        EXPECT_EQ(xmlProblem(svg), "") << start;
        EXPECT_LE(occurrences(group(svg, "axes"), "<line"), 40u) << start;
    }
}

// A station signal: the code-80 coil's approach curve has its point past the signal. The plot
// draws it as what it is, a speed held from its point on, not as a stop; it keeps every mark of
// what the unit set up inside the plot; and the author's labels, which have room, are whole.
TEST(SvgPlot, DrawsEachThingAsWhatItIsInsideThePlot) {
    const Scenario scenario = loadScenario(SCENARIO_DIR "/protect/station_signal.toml");
    PluginLibrary library(VANTOR_LIBRARY, scenario.settings);
    SvgPlot plot(scenario);
    runScenario(scenario, library, {&plot});
    const std::string svg = plot.render();
    ASSERT_EQ(xmlProblem(svg), "");

    // Each thing's mark, by its hover title.
    const std::string points = group(svg, "points");
    auto markOf = [&](const std::string& title) {
        const size_t at = points.find("<title>" + title);
        return at == std::string::npos ? std::string()
                                       : points.substr(at, points.find("</g>", at) - at);
    };
    const std::string approach = markOf("approach curve to 65 km/h at ");
    ASSERT_FALSE(approach.empty()) << points;
    EXPECT_EQ(occurrences(approach, "<path"), 0u) << approach;
    EXPECT_NE(approach.find(">approach curve 65 km/h</text>"), std::string::npos) << approach;
    const std::string stop = markOf("stop curve to ");
    EXPECT_EQ(occurrences(stop, "<path"), 1u) << stop;

    // The plot's frame, and every coordinate of the marks within it.
    const std::regex frame("<rect x=\"([0-9.]+)\" y=\"([0-9.]+)\" width=\"([0-9.]+)\" "
                           "height=\"([0-9.]+)\" fill=\"none\"");
    std::smatch box;
    ASSERT_TRUE(std::regex_search(svg, box, frame));
    const double left = std::stod(box[1]);
    const double top = std::stod(box[2]);
    const double right = left + std::stod(box[3]);
    const double bottom = top + std::stod(box[4]);
    const std::regex coordinate(" (x|y)=\"(-?[0-9.]+)\"");
    size_t checked = 0;
    for (auto it = std::sregex_iterator(points.begin(), points.end(), coordinate);
         it != std::sregex_iterator(); ++it, ++checked) {
        const double value = std::stod((*it)[2]);
        if ((*it)[1] == "x") {
            EXPECT_TRUE(value >= left && value <= right) << it->str();
        } else {
            EXPECT_TRUE(value >= top && value <= bottom) << it->str();
        }
    }
    EXPECT_GT(checked, 6u);

    const std::string marks = group(svg, "transponders");
    for (const Transponder& t : scenario.transponders) {
        EXPECT_NE(marks.find(">" + std::string(t.type == 70 ? "coil 80" : "type " +
                                                                   std::to_string(t.type)) +
                             ": " + t.label + "</text>"),
                  std::string::npos)
            << t.label;
    }
}
