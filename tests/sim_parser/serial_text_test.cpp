#include "sim/common/serial_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using simcfg::SerialFromUtf16;

TEST(SerialText, ConvertsUtf16ToUtf8) {
    std::u16string serial = u"Sn-\u00E9\u20AC-\U0001F600";
    const simcfg::SerialText result =
        SerialFromUtf16(serial.data(), static_cast<int32_t>(serial.size()));
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.utf8, "Sn-\xC3\xA9\xE2\x82\xAC-\xF0\x9F\x98\x80");
}

TEST(SerialText, ZeroLengthIsNoSerial) {
    const simcfg::SerialText result = SerialFromUtf16(nullptr, 0);
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.utf8.empty());
}

TEST(SerialText, TerminatorCountedInTheLengthIsDropped) {
    const char16_t serial[] = u"0001";
    const simcfg::SerialText result = SerialFromUtf16(serial, 5);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.utf8, "0001");
}

TEST(SerialText, ThirtyOneCharactersFitThirtyTwoDoNot) {
    std::u16string serial(31, u'7');
    EXPECT_TRUE(SerialFromUtf16(serial.data(), 31).ok);
    serial.push_back(u'7');
    const simcfg::SerialText tooLong = SerialFromUtf16(serial.data(), 32);
    EXPECT_FALSE(tooLong.ok);
    EXPECT_NE(tooLong.error.find("longer than 31"), std::string::npos) << tooLong.error;
    // A character outside the basic plane takes two of the 31.
    std::u16string wide(30, u'7');
    wide += u"\U0001F600";
    EXPECT_FALSE(SerialFromUtf16(wide.data(), static_cast<int32_t>(wide.size())).ok);
}

struct BadSerial {
    std::u16string text;
    int32_t length; // -2: the text's own length
    const char* reason;
};

TEST(SerialText, ErrorsAreRefused) {
    const BadSerial table[] = {
        {u"12", -1, "negative length"},
        {u"", 4, "missing"},
        // A huge length is refused before anything is read.
        {u"12", 0x7FFFFFFF, "longer than 31"},
        {std::u16string(u"12\0"
                        u"34",
                        5),
         -2, "NUL character at position 3"},
        {std::u16string(u"\0\0", 2), -2, "only NUL"},
        {u"ab\xD800", -2, "surrogate"},
        {u"ab\xDC00x", -2, "surrogate"},
        {u"ab\xD800x", -2, "surrogate"},
        {u"ab\tc", -2, "control character"},
        {u"ab\x85", -2, "control character"},
    };
    for (const BadSerial& bad : table) {
        SCOPED_TRACE(bad.reason);
        const int32_t length =
            bad.length == -2 ? static_cast<int32_t>(bad.text.size()) : bad.length;
        const simcfg::SerialText result =
            SerialFromUtf16(bad.text.empty() ? nullptr : bad.text.data(), length);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.error.find(bad.reason), std::string::npos) << result.error;
    }
}

} // namespace
