// Scenario files saved as UTF-16 read as the UTF-8 the parser takes.
#include <gtest/gtest.h>

#include <string>

#include "support/file_text.h"

using vantor::sim::utf8FileText;

namespace {

struct Case {
    const char* what;
    std::string bytes;
    std::string text;
};

class FileText : public ::testing::TestWithParam<Case> {};

TEST_P(FileText, ReadsAsUtf8) {
    EXPECT_EQ(utf8FileText(GetParam().bytes), GetParam().text) << GetParam().what;
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Encodings, FileText,
    ::testing::Values(
        Case{"UTF-8 as it stands", "name = \"\xC2\xBB\"\n", "name = \"\xC2\xBB\"\n"},
        Case{"UTF-16 LE", "\xFF\xFEn\0=\0\xBB\0"s, "n=\xC2\xBB"},
        Case{"UTF-16 BE, three-byte character", "\xFE\xFF\0n\x52\x17"s, "n\xE5\x88\x97"},
        Case{"surrogate pair", "\xFF\xFE\x3D\xD8\x86\xDE"s, "\xF0\x9F\x9A\x86"},
        Case{"high surrogate without its pair", "\xFF\xFE\x3D\xD8n\0"s, "\xEF\xBF\xBDn"},
        Case{"high surrogate at the end", "\xFF\xFEn\0\x3D\xD8"s, "n\xEF\xBF\xBD"},
        Case{"low surrogate alone", "\xFF\xFE\x00\xDCn\0"s, "\xEF\xBF\xBDn"},
        Case{"odd last byte", "\xFF\xFEn\0x"s, "n\xEF\xBF\xBD"}));

// Without a byte-order mark, UTF-16 would read as text full of NUL characters: it is told apart
// from UTF-8, whatever its first characters, so that it can be named.
TEST(FileText, TellsUtf16WithoutAByteOrderMark) {
    using vantor::sim::unmarkedUtf16;
    const std::string text = "# my line\r\nname = \"Stra\u00dfe\"\n";
    std::string little;
    std::string big;
    for (const char c : std::string("# my line\r\nname = \"Stra\xDF"
                                    "e\"\n")) {
        little += std::string{c, '\0'};
        big += std::string{'\0', c};
    }
    EXPECT_STREQ(unmarkedUtf16(little), "little-endian");
    EXPECT_STREQ(unmarkedUtf16(big), "big-endian");
    EXPECT_EQ(unmarkedUtf16(text), nullptr);
    EXPECT_EQ(unmarkedUtf16("\xFF\xFE" + little), nullptr);
    EXPECT_EQ(unmarkedUtf16(""), nullptr);
    // A stray NUL in UTF-8 text is no UTF-16: the parser names it where it stands.
    EXPECT_EQ(unmarkedUtf16(text + '\0' + text), nullptr);
}

} // namespace
