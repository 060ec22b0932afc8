// Nothing a scenario names reaches the terminal as a control character: ESC could recolour or
// clear it, CR overwrite a line, a newline make a line of the timeline up. Each shows as the
// escape an author would write in the file.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "host/plugin_library.h"
#include "report/timeline.h"
#include "scenario/scenario_parser.h"
#include "support/console_text.h"

using namespace vantor::sim;

TEST(ConsoleText, ControlCharactersShowAsEscapes) {
    EXPECT_EQ(visibleText("\x1B[2J\rover\nnext\x7F\x07"), "\\u001B[2J\\rover\\nnext\\u007F\\u0007");
    EXPECT_EQ(visibleText("kept\tas \xC2\xBB it is"), "kept\tas \xC2\xBB it is");
    // U+009B is a terminal's one-character escape sequence; a lone byte is no UTF-8.
    EXPECT_EQ(visibleText("\xC2\x9B"
                          "31m \xFF\xC3"),
              "\\u009B31m \\xFF\\xC3");
    EXPECT_EQ(visibleText("two\nlines\r\n", true), "two\nlines\\r\n");

    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    writeText(file, "a\x1B]0;title\x07 b\n");
    std::rewind(file);
    char written[64] = {};
    EXPECT_EQ(std::string(written, std::fread(written, 1, sizeof written, file)),
              "a\\u001B]0;title\\u0007 b\n");
    std::fclose(file);
}

TEST(ConsoleText, TheTimelineShowsNamesAndLabelsOnTheirLines) {
    const Scenario scenario = parseScenario(R"(name = "red \u001B[31m line"
[run]
duration = 1.0
[[events]]
time = 0.5
label = "switched on\rby\nhand"
power_switch = true
)",
                                            "controls.toml");
    std::string shown;
    Timeline timeline(
        scenario, [&](const std::string& text) { shown += text; }, false);
    timeline.header(0, true);
    PluginLibrary library(VANTOR_LIBRARY, scenario.settings);
    runScenario(scenario, library, {&timeline});
    EXPECT_NE(shown.find("scenario: red \\u001B[31m line\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("switched on\\rby\\nhand"), std::string::npos) << shown;
    EXPECT_EQ(shown.find_first_of("\x1B\r"), std::string::npos) << shown;
}
