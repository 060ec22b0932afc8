// The settings reader: how sections, keys and values are found in the text of a settings file,
// and how a found value becomes an integer. The rules are those of the Windows profile
// functions, so that one settings file sets the same values for the Windows DLL and the Linux
// library.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "settings/ini_profile.h"

namespace {

using vantor::ini::Text;
constexpr std::nullopt_t kNone = std::nullopt;

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

struct Lookup {
    std::string file;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

void expectLookups(std::initializer_list<Lookup> cases) {
    for (const Lookup& c : cases) {
        EXPECT_EQ(lookUp(c.file, c.section, c.key), c.expected)
            << '[' << c.section << "] " << c.key << " in \"" << c.file << '"';
    }
}

TEST(IniSections, FirstSectionOfANameHeaderToTheLastBracketTrimmed) {
    const std::string repeated = "[LED]\nMaxSpd=120\n[Disp]\nResolution=30\n[led]\nMaxSpd=90\n"
                                 "Extra=1\n[DISP]\nOther=2\n";
    // A line that starts with [ but has no ] is a key line, and the current section goes on.
    const std::string unclosed = "[LED]\n[Disp\nMaxSpd=120\n[Disp=7\n";
    expectLookups({
        {repeated, "LED", "MaxSpd", "120"},
        {repeated, "LED", "Extra", kNone}, // a repeated section is ignored
        {repeated, "Disp", "Other", kNone},
        {repeated, "Disp", "Resolution", "30"},
        {"[ LED ]\nMaxSpd=1\n", "LED", "MaxSpd", "1"},
        {"[LED] junk\nMaxSpd=2\n", "LED", "MaxSpd", "2"},
        {"  [LED]  \nMaxSpd=3\n", "LED", "MaxSpd", "3"},
        {"[SetSpec]]\nSpeed=4\n", "SetSpec", "Speed", kNone},
        {"[SetSpec]]\nSpeed=4\n", "SetSpec]", "Speed", "4"},
        {"[a]b]\nk=5\n", "a]b", "k", "5"},
        {"x[LED]\nMaxSpd=6\n", "LED", "MaxSpd", kNone}, // a header starts the line
        {unclosed, "LED", "MaxSpd", "120"},
        {unclosed, "LED", "[Disp", "7"},
        {unclosed, "Disp", "MaxSpd", kNone},
        {"[SetSpec\nSpeed=100\n", "SetSpec", "Speed", kNone},
    });
}

TEST(IniNames, CaseAndBlanksIgnoredFirstKeyWinsAndNoCommentSyntax) {
    const std::string blanks = "[setspec]\n  SPEED  =  100  \n\tdeceleration\t=3\n";
    const std::string notes = "[SetSpec]\n;Speed=90\n#Rtime=3\n; a note = with equals\n"
                              "; Speed is the maximum speed\nSpeed=100\n";
    expectLookups({
        {blanks, "SetSpec", "Speed", "100"},
        {blanks, "SETSPEC", "Deceleration", "3"},
        {blanks, "SetSpec", "Spe ed", kNone},
        {"MaxSpd=90\n[LED]\nMaxSpd\nMaxSpd 100\nMaxSpd=120\n", "LED", "MaxSpd", "120"},
        {"MaxSpd=90\n", "", "MaxSpd", kNone}, // keys before any section
        {"[LED]\nMaxSpd=120\nmaxspd=90\n", "LED", "MaxSpd", "120"},
        {"[LED]\nMaxSpd=\nMaxSpd=90\n", "LED", "MaxSpd", ""}, // empty, yet the first
        {notes, "SetSpec", ";Speed", "90"},
        {notes, "SetSpec", "#Rtime", "3"},
        {notes, "SetSpec", "; a note", "with equals"},
        {notes, "SetSpec", "Speed", "100"},
        {notes, "SetSpec", "Rtime", kNone},
    });
}

TEST(IniValues, ValueIsTrimmedAndLosesOnePairOfMatchingQuotes) {
    const std::pair<const char*, const char*> cases[] = {
        {"  2.7 \t", "2.7"},
        {"\v\f2.7\f\v", "2.7"},
        {"\"2.7\"", "2.7"},
        {"'2.7'", "2.7"},
        {" \" 2.7 \" ", " 2.7 "},   // blanks inside the quotes stay
        {"\"\"2.7\"\"", "\"2.7\""}, // only one pair
        {"\"2.7'", "\"2.7'"},
        {"\"2.7", "\"2.7"},
        {"\"", "\""},
        {"\"\"", ""},
        {"2.7 ; comment", "2.7 ; comment"},
        {"\"2.7\" ; comment", "\"2.7\" ; comment"},
        {"a=b", "a=b"}, // the name ends at the first equals sign
        {"", ""},
    };
    for (const auto& [written, read] : cases) {
        EXPECT_EQ(lookUp(std::string("[S]\nk=") + written + "\n", "S", "k"), read) << written;
    }
}

TEST(IniText, ByteOrderMarkAndEveryKindOfLineEnd) {
    const std::string crlf = "\xEF\xBB\xBF[SetSpec]\r\nSpeed=100\r\nRtime=2.7\r\n[LED]\r\nMaxSpd=9";
    // A bare CR ends a line, as CRLF and LF do.
    const std::string cr = "[SetSpec]\rSpeed=100\r[LED]\rMaxSpd=120\r";
    const std::string mixed = "[A]\r\nx=1\n\ry=2\r\rz=3\r4\n";
    expectLookups({
        {crlf, "SetSpec", "Speed", "100"},
        {crlf, "SetSpec", "Rtime", "2.7"},
        {crlf, "LED", "MaxSpd", "9"}, // no line end after the last line
        {"\xEF\xBB\xBFSpeed=1\n[S]\r\nSpeed=2", "S", "Speed", "2"},
        {"[S]\n\xEF\xBB\xBFk=1\n", "S", "k", kNone}, // a mark past the start is text
        {cr, "SetSpec", "Speed", "100"},
        {cr, "LED", "MaxSpd", "120"},
        {cr, "SetSpec", "MaxSpd", kNone},
        {mixed, "A", "x", "1"},
        {mixed, "A", "y", "2"},
        {mixed, "A", "z", "3"},
    });
}

TEST(IniText, MalformedTextFindsNothingAndLongLinesAreReadWhole) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage += static_cast<char>((i * 7919) % 256);
    }
    const std::string longValue(1 << 20, '7');
    const std::string longName(1 << 20, 'k');
    const std::string longLines = "[LED]\n" + longName + "=1\nMaxSpd=" + longValue + "\n";
    expectLookups({
        {"", "LED", "MaxSpd", kNone},
        {"\n\n\r\n", "LED", "MaxSpd", kNone},
        {"[LED]", "LED", "MaxSpd", kNone},
        {"[LED]\nMaxSpd", "LED", "MaxSpd", kNone},
        {garbage, "LED", "MaxSpd", kNone},
        {std::string("[LED]\nMaxSpd=1\0002\n", 16), "LED", "MaxSpd", std::string("1\0002", 3)},
        {longLines, "LED", "MaxSpd", longValue},
        {longLines, "LED", longName.c_str(), "1"},
    });
}

// An optional sign, then 0x hexadecimal or decimal digits (a leading zero alone is decimal),
// up to the first other character, modulo 2^32. Lower-case 0o and 0b select octal and binary;
// upper-case prefixes are no prefixes. Hexadecimal digits need the prefix.
TEST(IniIntegers, SignBaseDigitsUpToTheFirstOtherCharacterWrapped) {
    EXPECT_EQ(integer("", 125), 125u) << "an empty value gives the default";
    for (const char* noDigits :
         {"abc", "0x", "0xg", "-", "+", " ", ".5", "- 5", "0b2", "0o", "0X64", "0O17", "0B101"}) {
        EXPECT_EQ(integer(noDigits), 0u) << noDigits;
    }
    // clang-format off
    const std::pair<const char*, uint32_t> cases[] = {
        {"120", 120}, {"+120", 120}, {"010", 10}, {"0x1F", 31}, {"0x1f", 31}, {"0x1fz", 31},
        {"-0x10", 0xFFFFFFF0}, {"12abc", 12}, {"2.9", 2}, {"1e3", 1}, {"12 34", 12}, {"1a", 1},
        {"0o17", 15}, {"0b101", 5}, {"-0b1", 0xFFFFFFFF}, {"0o19", 1}, {"4294967296", 0},
        {"99999999999", 1215752191}, {"4294967295", 4294967295}, {"-5", 4294967291},
        {"-2147483648", 2147483648}, {"0x123456789", 0x23456789}};
    // clang-format on
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(integer(text), expected) << text;
    }
    // A million nines is 10^n - 1, and 10^n is a multiple of 2^32 once n reaches 32.
    EXPECT_EQ(integer(std::string(1 << 20, '9')), 4294967295u);
}

} // namespace
