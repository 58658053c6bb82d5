#include "topology/serial_scheme.h"

#include "qstring_print.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

TEST(SerialErrorText, TextsAreTheOperatorFacingOnes) {
    const char* const expected[kSerialResultCount] = {
        "Operation success",       "Max serial number reached", "Invalid Alpha value",
        "Invalid Increment value", "Invalid Start value",       "Invalid Max value",
        "Invalid Current value",   "Invalid serial data",       "Invalid serial data",
        "Invalid serial data",     "Start greater than Max",    "Currernt greater than Max",
        "unknown failure"};
    for (int code = 0; code < kSerialResultCount; ++code) {
        EXPECT_STREQ(SerialErrorText[code], expected[code]) << "code " << code;
    }
}

TEST(IsValidSerialValue, DigitsOfTheMode) {
    struct Case {
        const char* value;
        bool hex;
        bool valid;
    };
    const Case cases[] = {
        {"", false, true},           {"", true, true},
        {"0123456789", false, true}, {"0123456789ABCDEF", true, true},
        {"0A", false, false},        {"0a", true, false},
        {"1 2", false, false},       {" 12", true, false},
        {"G", true, false},          {"-1", false, false},
        {"１", false, false},        {":", true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidSerialValue(Text(c.value), c.hex), c.valid)
            << '"' << c.value << "\" hex=" << c.hex;
    }
}

TEST(IsSerialValueAbove, LongerIsGreaterThenCodeUnitOrder) {
    struct Case {
        const char* value;
        const char* other;
        bool above;
    };
    const Case cases[] = {
        {"0005", "100", true}, {"100", "0005", false}, {"0A", "09", true},    {"09", "0A", false},
        {"FF", "FF", false},   {"10", "0F", true},     {"", "0", false},      {"0", "", true},
        {"B", "A", true},      {"a", "F", true},       {"1000", "999", true}, {"998", "999", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsSerialValueAbove(Text(c.value), Text(c.other)), c.above)
            << c.value << " above " << c.other;
    }
}

TEST(ValidateSerialParams, FirstFailingTestDecidesTheCode) {
    struct Case {
        const char* name;
        const char* alpha;
        const char* start;
        const char* max;
        const char* current;
        int increment;
        bool hex;
        int code;
    };
    const std::string start28(28, '0');
    const std::string start27(27, '0');
    const std::string long32(32, '1');
    const Case cases[] = {
        {"plain decimal", "AB", "0001", "0003", "0001", 1, false, SERIAL_OK},
        {"plain hex", "X", "00A0", "0FFF", "00B0", 16, true, SERIAL_OK},
        {"DONE before anything else", "", "", "", "DONE", 0, false, SERIAL_MAX_REACHED},
        {"DONE with a bad prefix", "TOOLONG", "1", "2", "DONE", 1, true, SERIAL_MAX_REACHED},
        {"padded DONE is a bad value", "", "1", "2", " DONE", 1, false, SERIAL_BAD_CURRENT},
        {"prefix of 5", "ABCDE", "1", "2", "1", 1, false, SERIAL_BAD_ALPHA},
        {"prefix of 4 padded", "  ABCD  ", "1", "2", "1", 1, false, SERIAL_OK},
        {"increment 0", "A", "1", "2", "1", 0, false, SERIAL_BAD_INCREMENT},
        {"negative increment", "A", "1", "2", "1", -1, false, SERIAL_BAD_INCREMENT},
        {"most negative increment", "A", "1", "2", "1", INT_MIN, true, SERIAL_BAD_INCREMENT},
        {"empty start", "A", "", "2", "1", 1, false, SERIAL_BAD_START},
        {"blank start", "A", "   ", "2", "1", 1, false, SERIAL_BAD_START},
        {"letter in decimal start", "A", "0A", "99", "1", 1, false, SERIAL_BAD_START},
        {"lower case in hex start", "A", "0a", "FF", "1", 1, true, SERIAL_BAD_START},
        {"space inside start", "A", "0 1", "99", "1", 1, false, SERIAL_BAD_START},
        {"empty max", "A", "1", "", "1", 1, false, SERIAL_BAD_MAX},
        {"bad max", "A", "1", "G", "1", 1, true, SERIAL_BAD_MAX},
        {"empty current", "A", "1", "2", "", 1, false, SERIAL_BAD_CURRENT},
        {"bad current", "A", "1", "9", "F", 1, false, SERIAL_BAD_CURRENT},
        {"prefix 4 start 28", "ABCD", start28.c_str(), "1", "1", 1, false, SERIAL_START_TOO_LONG},
        {"prefix 4 start 27 fits", "ABCD", start27.c_str(), long32.c_str() + 5, "1", 1, false,
         SERIAL_OK},
        {"max too long", "", "1", long32.c_str(), "1", 1, false, SERIAL_MAX_TOO_LONG},
        {"current too long", "", "1", "2", long32.c_str(), 1, false, SERIAL_CURRENT_TOO_LONG},
        {"31 characters fit", "", "1", long32.c_str() + 1, long32.c_str() + 1, 1, false, SERIAL_OK},
        {"start longer than max", "", "0050", "100", "0050", 1, false, SERIAL_START_GT_MAX},
        {"start above max", "", "0A", "09", "00", 1, true, SERIAL_START_GT_MAX},
        {"current longer than max", "", "1", "999", "1000", 1, false, SERIAL_CURRENT_GT_MAX},
        {"current below max", "", "1", "999", "998", 1, false, SERIAL_OK},
        {"current equal to max", "", "1", "999", "999", 1, false, SERIAL_OK},
        {"current below start", "", "500", "999", "100", 1, false, SERIAL_OK},
        {"spaces around values", " P ", " 0001 ", " 0010 ", " 0002 ", 1, false, SERIAL_OK},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ValidateSerialParams(Text(c.alpha), Text(c.start), Text(c.max), Text(c.current),
                                       c.increment, c.hex),
                  c.code)
            << c.name;
    }
}

} // namespace
