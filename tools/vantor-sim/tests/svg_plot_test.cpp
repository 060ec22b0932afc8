// The plot is well-formed XML and carries the speed and pattern curves, the lamps and the
// transponder marks of the run.
#include <gtest/gtest.h>

#include <string>

#include "default_scenario.h"
#include "plugin_library.h"
#include "scenario_parser.h"
#include "svg_plot.h"
#include "xml_check.h"

using namespace vantor::sim;
using vantor::sim::testing::xmlProblem;

namespace {

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

// The text of the group with this id.
std::string group(const std::string& svg, const std::string& id) {
    const size_t start = svg.find("<g id=\"" + id + "\"");
    if (start == std::string::npos) {
        return "";
    }
    return svg.substr(start, svg.find("</g>", start) - start);
}

} // namespace

TEST(XmlCheck, FindsTheFaultsItLooksFor) {
    EXPECT_EQ(xmlProblem("<a><b x=\"1\"/>t &amp; u</a>"), "");
    EXPECT_NE(xmlProblem("<a><b></a></b>"), "");
    EXPECT_NE(xmlProblem("<a x=1></a>"), "");
    EXPECT_NE(xmlProblem("<a>fish & chips</a>"), "");
    EXPECT_NE(xmlProblem("<a></a><a></a>"), "");
    EXPECT_NE(xmlProblem("<a>"), "");
}

TEST(SvgPlot, TheBuiltInLineGivesAWellFormedPlotWithItsCurves) {
    Scenario scenario = parseScenario(defaultScenarioText(), kDefaultScenarioName);
    scenario.name = "a <line> & its \"plot\"";
    PluginLibrary library(VANTOR_LIBRARY, scenario.settings);
    SvgPlot plot(scenario);
    runScenario(scenario, library, {&plot});
    const std::string svg = plot.render();

    EXPECT_EQ(xmlProblem(svg), "");
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos);
    EXPECT_GE(count(group(svg, "speed"), "<polyline"), 1u);
    // The pattern curve breaks where the unit shows no pattern: off before the power-on.
    EXPECT_GE(count(group(svg, "pattern"), "<polyline"), 1u);
    EXPECT_GT(count(group(svg, "speed"), ","), 100u);
    // Every transponder is named once; the two coils of a pair share a mark.
    const std::string marks = group(svg, "transponders");
    EXPECT_EQ(count(marks, "coil ") + count(marks, "type "), scenario.transponders.size());
    EXPECT_LT(count(marks, "<line"), scenario.transponders.size());
    // Seven lamp rows and the override row, each with its background, and lit bars on top.
    EXPECT_GT(count(group(svg, "lamps"), "<rect"), 16u);
}
