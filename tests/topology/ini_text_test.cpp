#include "topology/ini_text.h"
#include "topology/tcf_format.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct IntCase {
    const char* text;
    int expected;
};

TEST(IniTextTest, IntegerReadsLeadingDecimalDigitsAndClamps) {
    const IntCase cases[] = {
        {"42", 42},
        {"  -7", -7},
        {"\t+5", 5},
        {"12abc", 12},
        {"1 2", 1},
        {"abc", 0},
        {"-", 0},
        {"+x3", 0},
        {"0x10", 0},
        {"007", 7},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"99999999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"-99999999999999999999999", INT_MIN},
    };
    for (const IntCase& c : cases) {
        EXPECT_EQ(ini::ParseProfileInt(c.text), c.expected) << c.text;
    }
}

TEST(IniTextTest, IntegerKeyTakesDefaultOnlyWhenAbsentOrEmpty) {
    EXPECT_EQ(ini::ReadProfileInt(std::nullopt, 7), 7);
    EXPECT_EQ(ini::ReadProfileInt(std::string_view(), 7), 7);
    EXPECT_EQ(ini::ReadProfileInt(std::string_view("none"), 7), 0);
    EXPECT_EQ(ini::ReadProfileInt(std::string_view("3"), 7), 3);
}

TEST(IniTextTest, ValuesDecodeAsUtf8OrOneCharacterPerByte) {
    EXPECT_EQ(ini::DecodeText("C:\\cfg\\a.cfg"), QStringLiteral("C:\\cfg\\a.cfg"));
    EXPECT_EQ(ini::DecodeText("Caf\xC3\xA9"), QStringLiteral("Caf\u00E9"));
    // A file written in an 8-bit code page is not valid UTF-8: each byte is one character.
    EXPECT_EQ(ini::DecodeText("Caf\xE9"), QStringLiteral("Caf\u00E9"));
    EXPECT_EQ(ini::DecodeText("\xC0\xAF").size(), 2);     // overlong form is not UTF-8
    EXPECT_EQ(ini::DecodeText("\xED\xA0\x80").size(), 3); // nor is an encoded surrogate
    EXPECT_EQ(ini::DecodeText(std::string_view("a\0b", 3)).size(), 3);
    // A byte-order mark inside a value belongs to the value.
    EXPECT_EQ(ini::DecodeText("\xEF\xBB\xBFx"), QStringLiteral("\uFEFFx"));
    EXPECT_EQ(ini::EncodeText(QStringLiteral("Caf\u00E9")), QByteArray("Caf\xC3\xA9"));
}

TEST(IniTextTest, NamesMatchWithoutRegardToCase) {
    EXPECT_TRUE(ini::NamesEqual("Header", "HEADER"));
    EXPECT_TRUE(ini::NamesEqual("serCurrent", "SERCURRENT"));
    EXPECT_TRUE(ini::NamesEqual("\xC3\x84rger", "\xC3\xA4RGER")); // Ärger, äRGER
    EXPECT_FALSE(ini::NamesEqual("1-1", "1-1-1"));
    EXPECT_FALSE(ini::NamesEqual("Caf\xE9", "CAF\xC9")); // 8-bit text: ASCII letters only
    EXPECT_TRUE(ini::NamesEqual("Caf\xE9", "CAF\xE9"));
}

TEST(IniTextTest, TextLimitKeepsWholeSurrogatePairs) {
    EXPECT_EQ(tcf::LimitText(QStringLiteral("abcdef"), 4), QStringLiteral("abcd"));
    EXPECT_EQ(tcf::LimitText(QStringLiteral("abc"), 4), QStringLiteral("abc"));
    const QString emoji = QStringLiteral("ab\U0001F600");
    EXPECT_EQ(tcf::LimitText(emoji, 3), QStringLiteral("ab"));
    EXPECT_EQ(tcf::LimitText(emoji, 4), emoji);
}

} // namespace
