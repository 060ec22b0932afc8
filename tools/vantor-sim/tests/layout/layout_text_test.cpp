// The scenario text `vantor-sim layout` writes: read back, it holds the author's scenario and
// exactly the laid transponders; a later layout finds and replaces its block.
#include <gtest/gtest.h>

#include "layout/layout_fixture.h"

using namespace vantor::sim;
using namespace vantor::sim::testing;

namespace {

const char* kLine = R"(name = "text"
[run]
power_switch = true
[driver]
profile = [[0, 60]]
[[route.signals]]
name = "say \"stop\"\\now\u0007"
position = 1500.125
[[route.transponders]]
position = 200
type = 0
label = "the author's alarm point"
)";

Laid single(double position, int32_t type, int32_t optional, std::optional<size_t> signal) {
    Laid t;
    t.position = position;
    t.type = type;
    t.optional = optional;
    t.signal = signal;
    t.label = "layout: \"quoted\" label";
    return t;
}

} // namespace

// Names and labels with quotes, backslashes and control characters, and positions off the
// centimetre grid, read back as they were.
TEST(LayoutText, WrittenTranspondersReadBackExactly) {
    const Scenario base = parseScenario(kLine, "line.toml");
    Layout layout;
    layout.laid.push_back(single(1000.05, 0, 1, 0));
    layout.laid.push_back(single(1500.125, 1, 0, 0));
    Laid pair = single(1443.05, 70, 90, std::nullopt);
    pair.second = 85;
    pair.spacing = 6.45;
    layout.laid.push_back(pair);
    const WrittenText written = writtenText(withoutLayout(kLine), layoutBlock(base, layout, "x"));
    const Scenario back = parseScenario(written.text, "laid.toml");
    ASSERT_EQ(back.transponders.size(), 5u);
    EXPECT_EQ(back.transponders[0].label, "the author's alarm point");
    EXPECT_LT(back.transponders[0].line, written.firstLine);
    const Transponder& code = back.transponders[1];
    EXPECT_EQ(code.position, 1000.05);
    EXPECT_EQ(code.linkedSignal, 0u);
    EXPECT_EQ(code.optional, 1);
    EXPECT_EQ(code.label, "layout: \"quoted\" label");
    EXPECT_GE(code.line, written.firstLine);
    EXPECT_EQ(back.transponders[2].position, 1443.05);
    EXPECT_EQ(back.transponders[3].position, 1443.05 + 6.45);
    EXPECT_EQ(back.transponders[3].optional, 85);
    EXPECT_EQ(back.transponders[4].position, 1500.125);
    EXPECT_EQ(back.transponders[4].type, 1);
}

// The block is found again by its first and last lines, with the blank line before it, in a
// file with Windows line ends too; one whose end line is gone is refused rather than guessed.
TEST(LayoutText, AnEarlierBlockIsTakenOut) {
    const Scenario base = parseScenario(kLine, "line.toml");
    Layout layout;
    layout.laid.push_back(single(1000, 0, 1, 0));
    const std::string block = layoutBlock(base, layout, "x");
    for (const std::string& lineEnd : {std::string("\n"), std::string("\r\n")}) {
        std::string author = kLine;
        if (lineEnd != "\n") {
            std::string crlf;
            for (const char c : author) {
                crlf += c == '\n' ? lineEnd : std::string(1, c);
            }
            author = crlf;
        }
        const std::string once = writtenText(withoutLayout(author), block).text;
        const std::string tail = "[[expect]]" + lineEnd + "at = 100" + lineEnd;
        const AuthorText again = withoutLayout(once + tail);
        EXPECT_EQ(again.text, author + tail);
        EXPECT_EQ(again.earlierLayout, 14);
        EXPECT_EQ(writtenText(again, block).text,
                  writtenText(withoutLayout(author + tail), block).text);
        EXPECT_NE(once.find("# vantor-sim layout: end" + lineEnd), std::string::npos);
    }
    const std::string once = writtenText(withoutLayout(kLine), block).text;
    const std::string cut = once.substr(0, once.rfind("# vantor-sim layout: end"));
    EXPECT_THROW(withoutLayout(cut), std::runtime_error);
}
