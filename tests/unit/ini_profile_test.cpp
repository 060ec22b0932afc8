// The settings reader: how sections, keys and values are found in the text of a settings file,
// and how a found value becomes an integer.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/ini_profile.h"

namespace {

using vantor::ini::Text;

// The value of key in section, or nothing when the reader finds none.
std::optional<std::string> lookUp(const std::string& file, const char* section, const char* key) {
    Text value{nullptr, 0};
    if (!vantor::ini::findValue(Text{file.data(), file.size()}, section, key, value)) {
        return std::nullopt;
    }
    return std::string(value.data, value.size);
}

uint32_t integer(const std::string& value, uint32_t defaultValue = 77) {
    return vantor::ini::parseInteger(Text{value.data(), value.size()}, defaultValue);
}

TEST(IniSections, OnlyTheFirstSectionOfANameIsSearched) {
    const std::string file = "[LED]\nMaxSpd=120\n[Disp]\nResolution=30\n[led]\nMaxSpd=90\n"
                             "Extra=1\n[DISP]\nOther=2\n";
    EXPECT_EQ(lookUp(file, "LED", "MaxSpd"), "120");
    EXPECT_EQ(lookUp(file, "LED", "Extra"), std::nullopt) << "a repeated section is ignored";
    EXPECT_EQ(lookUp(file, "Disp", "Other"), std::nullopt);
    EXPECT_EQ(lookUp(file, "Disp", "Resolution"), "30");
}

TEST(IniSections, HeaderNameRunsToTheLastBracketAndIsTrimmed) {
    EXPECT_EQ(lookUp("[ LED ]\nMaxSpd=1\n", "LED", "MaxSpd"), "1");
    EXPECT_EQ(lookUp("[LED] junk\nMaxSpd=2\n", "LED", "MaxSpd"), "2");
    EXPECT_EQ(lookUp("  [LED]  \nMaxSpd=3\n", "LED", "MaxSpd"), "3");
    EXPECT_EQ(lookUp("[SetSpec]]\nSpeed=4\n", "SetSpec", "Speed"), std::nullopt);
    EXPECT_EQ(lookUp("[SetSpec]]\nSpeed=4\n", "SetSpec]", "Speed"), "4");
    EXPECT_EQ(lookUp("[a]b]\nk=5\n", "a]b", "k"), "5");
    EXPECT_EQ(lookUp("x[LED]\nMaxSpd=6\n", "LED", "MaxSpd"), std::nullopt)
        << "a header starts the line";
}

TEST(IniSections, OpenBracketWithoutCloseIsNoHeader) {
    // The current section goes on; the line itself is a key line like any other.
    const std::string file = "[LED]\n[Disp\nMaxSpd=120\n[Disp=7\n";
    EXPECT_EQ(lookUp(file, "LED", "MaxSpd"), "120");
    EXPECT_EQ(lookUp(file, "LED", "[Disp"), "7");
    EXPECT_EQ(lookUp(file, "Disp", "MaxSpd"), std::nullopt);
}

TEST(IniSections, MissingCloseBracketOnTheWantedHeaderFindsNothing) {
    EXPECT_EQ(lookUp("[SetSpec\nSpeed=100\n", "SetSpec", "Speed"), std::nullopt);
}

TEST(IniNames, SectionAndKeyNamesIgnoreCaseAndSurroundingBlanks) {
    const std::string file = "[setspec]\n  SPEED  =  100  \n\tdeceleration\t=3\n";
    EXPECT_EQ(lookUp(file, "SetSpec", "Speed"), "100");
    EXPECT_EQ(lookUp(file, "SETSPEC", "Deceleration"), "3");
    EXPECT_EQ(lookUp(file, "SetSpec", "Spe ed"), std::nullopt);
}

TEST(IniNames, KeysBeforeAnySectionAndLinesWithoutEqualsAreIgnored) {
    const std::string file = "MaxSpd=90\n[LED]\nMaxSpd\nMaxSpd 100\nMaxSpd=120\n";
    EXPECT_EQ(lookUp(file, "LED", "MaxSpd"), "120");
    EXPECT_EQ(lookUp("MaxSpd=90\n", "", "MaxSpd"), std::nullopt);
}

TEST(IniNames, FirstOccurrenceOfAKeyWins) {
    EXPECT_EQ(lookUp("[LED]\nMaxSpd=120\nmaxspd=90\n", "LED", "MaxSpd"), "120");
    EXPECT_EQ(lookUp("[LED]\nMaxSpd=\nMaxSpd=90\n", "LED", "MaxSpd"), "")
        << "an empty value is still the first occurrence";
}

TEST(IniNames, ThereIsNoCommentSyntax) {
    const std::string file = "[SetSpec]\n;Speed=90\n#Rtime=3\n; a note = with equals\n"
                             "; Speed is the maximum speed\nSpeed=100\n";
    EXPECT_EQ(lookUp(file, "SetSpec", ";Speed"), "90");
    EXPECT_EQ(lookUp(file, "SetSpec", "#Rtime"), "3");
    EXPECT_EQ(lookUp(file, "SetSpec", "; a note"), "with equals");
    EXPECT_EQ(lookUp(file, "SetSpec", "Speed"), "100");
    EXPECT_EQ(lookUp(file, "SetSpec", "Rtime"), std::nullopt);
}

TEST(IniValues, ValueIsTrimmedAndLosesOnePairOfMatchingQuotes) {
    const auto value = [](const std::string& line) {
        return lookUp("[S]\nk=" + line + "\n", "S", "k");
    };
    EXPECT_EQ(value("  2.7 \t"), "2.7");
    EXPECT_EQ(value("\"2.7\""), "2.7");
    EXPECT_EQ(value("'2.7'"), "2.7");
    EXPECT_EQ(value(" \" 2.7 \" "), " 2.7 ") << "blanks inside the quotes stay";
    EXPECT_EQ(value("\"\"2.7\"\""), "\"2.7\"") << "only one pair";
    EXPECT_EQ(value("\"2.7'"), "\"2.7'");
    EXPECT_EQ(value("\"2.7"), "\"2.7");
    EXPECT_EQ(value("\""), "\"");
    EXPECT_EQ(value("\"\""), "");
    EXPECT_EQ(value("2.7 ; comment"), "2.7 ; comment");
    EXPECT_EQ(value("\"2.7\" ; comment"), "\"2.7\" ; comment");
    EXPECT_EQ(value("a=b"), "a=b") << "the name ends at the first equals sign";
    EXPECT_EQ(value(""), "");
}

TEST(IniText, ByteOrderMarkAndCarriageReturnsAreAccepted) {
    const std::string file = "\xEF\xBB\xBF[SetSpec]\r\nSpeed=100\r\nRtime=2.7\r\n[LED]\r\nMaxSpd=9";
    EXPECT_EQ(lookUp(file, "SetSpec", "Speed"), "100");
    EXPECT_EQ(lookUp(file, "SetSpec", "Rtime"), "2.7");
    EXPECT_EQ(lookUp(file, "LED", "MaxSpd"), "9") << "no line end after the last line";
    EXPECT_EQ(lookUp("\xEF\xBB\xBFSpeed=1\n[S]\r\nSpeed=2", "S", "Speed"), "2");
    // A mark anywhere but at the start is part of the line.
    EXPECT_EQ(lookUp("[S]\n\xEF\xBB\xBFk=1\n", "S", "k"), std::nullopt);
}

TEST(IniText, MalformedTextFindsNothing) {
    EXPECT_EQ(lookUp("", "LED", "MaxSpd"), std::nullopt);
    EXPECT_EQ(lookUp("\n\n\r\n", "LED", "MaxSpd"), std::nullopt);
    EXPECT_EQ(lookUp("[LED]", "LED", "MaxSpd"), std::nullopt);
    EXPECT_EQ(lookUp("[LED]\nMaxSpd", "LED", "MaxSpd"), std::nullopt);
    std::string garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage += static_cast<char>((i * 7919) % 256);
    }
    EXPECT_EQ(lookUp(garbage, "LED", "MaxSpd"), std::nullopt);
    std::string withNul("[LED]\nMaxSpd=1\0002\n", 16);
    EXPECT_EQ(lookUp(withNul, "LED", "MaxSpd"), std::string("1\0002", 3));
}

TEST(IniText, VeryLongLinesAreReadWhole) {
    const std::string longValue(1 << 20, '7');
    const std::string longName(1 << 20, 'k');
    const std::string file = "[LED]\n" + longName + "=1\nMaxSpd=" + longValue + "\n";
    EXPECT_EQ(lookUp(file, "LED", "MaxSpd"), longValue);
    EXPECT_EQ(lookUp(file, "LED", longName.c_str()), "1");
}

TEST(IniIntegers, MissingDigitsAndEmptyValues) {
    EXPECT_EQ(integer("", 125), 125u) << "an empty value gives the default";
    EXPECT_EQ(integer("abc"), 0u);
    EXPECT_EQ(integer("0x"), 0u);
    EXPECT_EQ(integer("0xg"), 0u);
    EXPECT_EQ(integer("-"), 0u);
    EXPECT_EQ(integer("+"), 0u);
    EXPECT_EQ(integer(" "), 0u);
    EXPECT_EQ(integer(".5"), 0u);
}

TEST(IniIntegers, DecimalAndHexadecimalUpToTheFirstOtherCharacter) {
    EXPECT_EQ(integer("120"), 120u);
    EXPECT_EQ(integer("+120"), 120u);
    EXPECT_EQ(integer("010"), 10u) << "no octal";
    EXPECT_EQ(integer("0x1F"), 31u);
    EXPECT_EQ(integer("0x1f"), 31u);
    EXPECT_EQ(integer("-0x10"), 0xFFFFFFF0u);
    EXPECT_EQ(integer("12abc"), 12u);
    EXPECT_EQ(integer("2.9"), 2u);
    EXPECT_EQ(integer("1e3"), 1u);
    EXPECT_EQ(integer("12 34"), 12u);
    EXPECT_EQ(integer("0x1fz"), 31u);
    EXPECT_EQ(integer("1a"), 1u) << "hexadecimal digits need the prefix";
    EXPECT_EQ(integer("- 5"), 0u);
}

TEST(IniIntegers, WrapModuloTwoToTheThirtyTwo) {
    EXPECT_EQ(integer("99999999999"), 1215752191u);
    EXPECT_EQ(integer("4294967296"), 0u);
    EXPECT_EQ(integer("4294967295"), 4294967295u);
    EXPECT_EQ(integer("-5"), 4294967291u);
    EXPECT_EQ(integer("-2147483648"), 2147483648u);
    EXPECT_EQ(integer("0x123456789"), 0x23456789u);
    // A million nines is 10^n - 1, and 10^n is a multiple of 2^32 once n reaches 32.
    EXPECT_EQ(integer(std::string(1 << 20, '9')), 4294967295u);
}

} // namespace
