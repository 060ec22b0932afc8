// Integer base prefixes of settings values, as the Windows profile functions read them: the
// same settings file must set the same values for the Windows DLL and the Linux library.
#include <gtest/gtest.h>

#include <string>

#include "platform/ini_profile.h"

namespace {

uint32_t integer(const std::string& value) {
    return vantor::ini::parseInteger(vantor::ini::Text{value.data(), value.size()}, 77);
}

TEST(IniIntegerPrefixes, LowerCasePrefixesSelectHexadecimalOctalAndBinary) {
    EXPECT_EQ(integer("0x64"), 100u);
    EXPECT_EQ(integer("0o17"), 15u);
    EXPECT_EQ(integer("0b101"), 5u);
    EXPECT_EQ(integer("-0b1"), 0xFFFFFFFFu);
    EXPECT_EQ(integer("0o19"), 1u) << "stops at the first digit outside the base";
    EXPECT_EQ(integer("0b2"), 0u);
    EXPECT_EQ(integer("0o"), 0u);
}

TEST(IniIntegerPrefixes, UpperCasePrefixesAreNoPrefixes) {
    EXPECT_EQ(integer("0X64"), 0u);
    EXPECT_EQ(integer("0O17"), 0u);
    EXPECT_EQ(integer("0B101"), 0u);
    EXPECT_EQ(integer("010"), 10u) << "a leading zero alone is decimal";
}

} // namespace
