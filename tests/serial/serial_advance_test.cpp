#include "topology/serial_scheme.h"

#include "qstring_print.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

const QString kDone = QStringLiteral("DONE");

// ---- Plain reference: the counter rule, one unit step at a time. ----------------------

QString TrimSpacesReference(QString text) {
    while (text.startsWith(u' ')) {
        text.remove(0, 1);
    }
    while (text.endsWith(u' ')) {
        text.chop(1);
    }
    return text;
}

bool BelowByCodeUnits(const QString& a, const QString& b) {
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].unicode() != b[i].unicode()) {
            return a[i].unicode() < b[i].unicode();
        }
    }
    return false;
}

// One unit step of `work`; false when the value is exhausted ("DONE").
bool UnitStep(QString& work, const QString& max, bool hex) {
    const char16_t top = hex ? u'F' : u'9';
    if (work.size() == max.size() && !BelowByCodeUnits(work, max)) {
        return false;
    }
    qsizetype i = work.size() - 1;
    while (i >= 0 && work[i].unicode() == top) {
        work[i] = u'0';
        --i;
    }
    if (i >= 0) {
        const char16_t c = work[i].unicode();
        work[i] = c == u'9' ? QChar(u'A') : QChar(static_cast<char16_t>(c + 1));
        return true;
    }
    if (work.size() < max.size()) {
        work.prepend(u'1');
        return true;
    }
    return false;
}

// Steps one value through increments 0, 1, 2, ... up to `last`, comparing the fast advance
// with the reference at every increment for which `check` is true.
template <typename Check>
void CompareWithReference(const QString& current, const QString& max, bool hex, int last,
                          Check check) {
    const QString trimmedMax = TrimSpacesReference(max);
    QString work = TrimSpacesReference(current);
    bool done = false;
    for (int increment = 0; increment <= last; ++increment) {
        if (check(increment)) {
            const SerialAdvanceResult fast = AdvanceSerialValue(current, max, increment, hex);
            const QString expected = done ? kDone : work;
            ASSERT_EQ(fast.result, 0);
            ASSERT_EQ(fast.current, expected)
                << "current " << current.toStdString() << " (U+" << std::hex
                << (current.isEmpty() ? 0 : current.back().unicode()) << std::dec << " last)"
                << ", max " << max.toStdString() << ", increment " << increment
                << (hex ? ", hex" : ", decimal");
        }
        if (!done && !UnitStep(work, trimmedMax, hex)) {
            done = true;
        }
    }
}

// Every value of up to two characters over an alphabet of digits and odd characters:
// separators between the digit ranges, letters above 'F', lower case, a space and the
// last code units (which wrap to U+0000).
std::vector<QString> SmallValues() {
    const char16_t alphabet[] = {u'0', u'8', u'9', u':', u'A',   u'E',
                                 u'F', u'G', u'a', u' ', 0xFFFE, 0xFFFF};
    std::vector<QString> values = {QString()};
    for (char16_t a : alphabet) {
        values.push_back(QString(QChar(a)));
        for (char16_t b : alphabet) {
            values.push_back(QString(QChar(a)) + QChar(b));
        }
    }
    for (const char* longer : {"999", "FFF", "0FF", "9F9", "0000", "12345", "  07  "}) {
        values.push_back(Text(longer));
    }
    return values;
}

std::vector<QString> Bounds() {
    std::vector<QString> bounds;
    for (const char* bound :
         {"", "9", "F", "G", "99", "FF", "0F", "50", "a0", "100", "FFF", "999", " 0010 "}) {
        bounds.push_back(Text(bound));
    }
    bounds.push_back(QString(2, QChar(0xFFFF)));
    return bounds;
}

// ---- Tests ---------------------------------------------------------------------------------

TEST(AdvanceSerialValue, CounterSequences) {
    struct Case {
        const char* name;
        bool hex;
        const char* current;
        const char* max;
        int increment;
        std::vector<const char*> next; // the stored values of successive advances
    };
    const Case cases[] = {
        {"decimal up to the bound", false, "0001", "0003", 1, {"0002", "0003", "DONE"}},
        {"steps past the bound", false, "0008", "0010", 5, {"DONE"}},
        {"lands on the bound", false, "0005", "0010", 5, {"0010", "DONE"}},
        {"hex 9 to A", true, "09", "FF", 1, {"0A"}},
        {"hex carry", true, "0F", "FF", 1, {"10"}},
        {"hex grows a digit", true, "FF", "FFF", 1, {"100"}},
        {"decimal grows a digit", false, "99", "100", 1, {"100", "DONE"}},
        {"all nines at the bound", false, "99", "99", 1, {"DONE"}},
        {"grows past a shorter bound", false, "99", "050", 1, {"100"}},
        {"longer than the bound", false, "1000", "999", 1, {"1001"}},
        {"longer and all nines", false, "9999", "999", 1, {"DONE"}},
        {"spaces trimmed", false, " 0001 ", " 0003 ", 1, {"0002"}},
        {"increment 0", false, " 0001 ", "0003", 0, {"0001"}},
        {"negative increment", false, " 0001", "0003", -5, {"0001"}},
        {"empty grows to 1", false, "", "99", 3, {"3"}},
        {"empty bound", true, "E", "", 1, {"F", "DONE"}},
        {"decimal letter steps by code unit", false, "0A", "99", 2, {"0C"}},
        {"big increment", false, "0000", "9999", 1234, {"1234", "2468", "3702"}},
        {"hex big increment", true, "000", "FFF", 0x7FF, {"7FF", "FFE", "DONE"}},
    };
    for (const Case& c : cases) {
        QString current = Text(c.current);
        for (std::size_t i = 0; i < c.next.size(); ++i) {
            const SerialAdvanceResult step =
                AdvanceSerialValue(current, Text(c.max), c.increment, c.hex);
            EXPECT_EQ(step.result, 0) << c.name << ", advance " << i + 1;
            EXPECT_EQ(step.current, Text(c.next[i])) << c.name << ", advance " << i + 1;
            current = step.current;
        }
    }
}

TEST(AdvanceSerialValue, DoneStaysDoneWithResult1) {
    for (const char* current : {"DONE", " DONE ", "DONE  "}) {
        for (int increment : {0, 1, 7, -1}) {
            const SerialAdvanceResult step =
                AdvanceSerialValue(Text(current), QStringLiteral("99"), increment, false);
            EXPECT_EQ(step.result, 1) << current << " +" << increment;
            EXPECT_EQ(step.current, kDone) << current << " +" << increment;
        }
    }
}

TEST(AdvanceSerialValue, NegativeIncrementStoresTheTrimmedValue) {
    for (int increment : {-1, -300, INT_MIN}) {
        for (bool hex : {false, true}) {
            EXPECT_EQ(AdvanceSerialValue(Text("  0a9 "), Text("FFF"), increment, hex).current,
                      Text("0a9"));
        }
    }
}

// The fast advance gives what `increment` unit steps give, for every small value (odd
// characters, empty values, values longer than the bound) and bound, increments 0..300.
TEST(AdvanceSerialValue, MatchesUnitStepsOnSmallValues) {
    const std::vector<QString> values = SmallValues();
    const std::vector<QString> bounds = Bounds();
    for (bool hex : {false, true}) {
        for (const QString& max : bounds) {
            for (const QString& current : values) {
                CompareWithReference(current, max, hex, 300, [](int) { return true; });
                if (HasFatalFailure()) {
                    return;
                }
            }
        }
    }
}

// Characters outside the digits climb to U+FFFF, wrap to U+0000 and climb on to the top
// digit: tens of thousands of steps, checked at a stride and around the wrap.
TEST(AdvanceSerialValue, MatchesUnitStepsThroughTheWrap) {
    const int last = 70000;
    const auto check = [](int increment) {
        return increment % 7 == 0 || (increment >= 65400 && increment <= 65620);
    };
    for (bool hex : {false, true}) {
        for (const char* bound : {"", "FF", "999", "zz"}) {
            for (const char* current : {"G", "a", "Z0", "1a", "A", "z", "/"}) {
                CompareWithReference(Text(current), Text(bound), hex, last, check);
                if (HasFatalFailure()) {
                    return;
                }
            }
        }
    }
}

// The largest increment on a 31-character value finishes at once (no unit stepping) and
// lands where counting says: INT_MAX is 7FFFFFFF, 2147483647 in decimal.
TEST(AdvanceSerialValue, LargestIncrementOnALongValue) {
    const QString zeros(31, u'0');
    const SerialAdvanceResult hex = AdvanceSerialValue(zeros, QString(31, u'F'), INT_MAX, true);
    EXPECT_EQ(hex.current, QString(23, u'0') + QStringLiteral("7FFFFFFF"));
    const SerialAdvanceResult decimal =
        AdvanceSerialValue(zeros, QString(31, u'9'), INT_MAX, false);
    EXPECT_EQ(decimal.current, QString(21, u'0') + QStringLiteral("2147483647"));

    // Odd characters everywhere and a short value that must grow: still immediate.
    const QString odd = QStringLiteral("zG a:") + QChar(0xFFFF) + QStringLiteral("9F");
    EXPECT_EQ(AdvanceSerialValue(odd, QString(31, u'F'), INT_MAX, true).result, 0);
    EXPECT_EQ(AdvanceSerialValue(QStringLiteral("1"), QString(31, u'9'), INT_MAX, false).current,
              QStringLiteral("2147483648"));
    EXPECT_EQ(AdvanceSerialValue(QStringLiteral("1"), QStringLiteral("99"), INT_MAX, false).current,
              kDone);
}

} // namespace
