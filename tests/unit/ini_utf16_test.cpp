// Settings files saved as UTF-16 ("Unicode" in Windows editors): the Windows profile functions
// read them by their byte-order mark, so the Linux reader must too.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/ini_profile.h"

namespace {

using vantor::ini::Text;

std::string utf16(const std::u16string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

std::optional<std::string> lookUp(const std::string& file, const char* section, const char* key) {
    const Text raw{file.data(), file.size()};
    std::string narrowed(vantor::ini::utf16Length(raw), '\0');
    vantor::ini::narrowUtf16(raw, narrowed.data());
    Text value{nullptr, 0};
    if (!vantor::ini::findValue(Text{narrowed.data(), narrowed.size()}, section, key, value)) {
        return std::nullopt;
    }
    return std::string(value.data, value.size);
}

TEST(IniUtf16, RecognisedByTheByteOrderMarkInEitherOrder) {
    const std::string little = utf16(u"[LED]\r\nMaxSpd=120\r\n", false);
    const std::string big = utf16(u"[LED]\nMaxSpd=121\n", true);
    EXPECT_TRUE(vantor::ini::isUtf16(Text{little.data(), little.size()}));
    EXPECT_TRUE(vantor::ini::isUtf16(Text{big.data(), big.size()}));
    EXPECT_EQ(lookUp(little, "led", "MaxSpd"), "120");
    EXPECT_EQ(lookUp(big, "LED", "maxspd"), "121");
    const std::string plain = "[LED]\nMaxSpd=1\n";
    EXPECT_FALSE(vantor::ini::isUtf16(Text{plain.data(), plain.size()}));
    EXPECT_FALSE(vantor::ini::isUtf16(Text{"\xFF", 1}));
}

TEST(IniUtf16, CharactersBeyondAsciiMatchNothingAndEndNumbers) {
    // U+0100 has a low byte of 0: it must not read as an end of text or as a blank.
    const std::string file = utf16(u"[SetSpec\u00e9]\nSpeed=1\n[SetSpec]\nSpeed=\u00a090\n"
                                   u"Rtime=2.5\u0100x\nDecel\u0100=3\n",
                                   false);
    const std::string nonAsciiThen90 = std::string(1, '\x80') + "90";
    EXPECT_EQ(lookUp(file, "SetSpec", "Speed"), nonAsciiThen90);
    EXPECT_EQ(lookUp(file, "SetSpec", "Rtime"), "2.5\x80x");
    EXPECT_EQ(lookUp(file, "SetSpec", "Decel"), std::nullopt);
    EXPECT_EQ(vantor::ini::parseInteger(Text{nonAsciiThen90.data(), 3}, 77), 0u);
}

TEST(IniUtf16, AnOddTrailingByteAndAFileOfOnlyTheMarkGiveNothing) {
    const std::string file = utf16(u"[A]\nk=5\n", false) + "7";
    EXPECT_EQ(lookUp(file, "A", "k"), "5");
    EXPECT_EQ(vantor::ini::utf16Length(Text{"\xFF\xFE", 2}), 0u);
    EXPECT_EQ(lookUp("\xFF\xFE", "A", "k"), std::nullopt);
}

} // namespace
