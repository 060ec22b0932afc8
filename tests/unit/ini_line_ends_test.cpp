// Line ends of settings files, as the Windows profile functions split them: a file saved with
// bare CR line ends must give the same settings on Windows and on Linux.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/ini_profile.h"

namespace {

std::optional<std::string> lookUp(const std::string& file, const char* section, const char* key) {
    vantor::ini::Text value{nullptr, 0};
    if (!vantor::ini::findValue(vantor::ini::Text{file.data(), file.size()}, section, key, value)) {
        return std::nullopt;
    }
    return std::string(value.data, value.size);
}

TEST(IniLineEnds, ABareCarriageReturnEndsALine) {
    const std::string file = "[SetSpec]\rSpeed=100\r[LED]\rMaxSpd=120\r";
    EXPECT_EQ(lookUp(file, "SetSpec", "Speed"), "100");
    EXPECT_EQ(lookUp(file, "LED", "MaxSpd"), "120");
    EXPECT_EQ(lookUp(file, "SetSpec", "MaxSpd"), std::nullopt) << "the section ends at [LED]";
}

TEST(IniLineEnds, MixedLineEndsAndACarriageReturnInsideAValue) {
    const std::string file = "[A]\r\nx=1\n\ry=2\r\rz=3\r4\n";
    EXPECT_EQ(lookUp(file, "A", "x"), "1");
    EXPECT_EQ(lookUp(file, "A", "y"), "2");
    EXPECT_EQ(lookUp(file, "A", "z"), "3") << "what follows the CR is a line of its own";
}

} // namespace
