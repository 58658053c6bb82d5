// Status box bounding, the edits' input rules, dialog-unit conversion and the sheet's keys.
#include "pages/dialog_template.h"
#include "pages/dialog_units.h"
#include "pages/edit_input_rules.h"
#include "pages/sheet_keys.h"
#include "pages/status_box_text.h"
#include "qt_print.h"

#include <gtest/gtest.h>

#include <Qt>

namespace {

TEST(StatusBoxText, PastFifteenThousandCharactersTheOldestFourteenThousandGo) {
    StatusBoxText box;
    const QString line(98, u'x'); // 100 characters with CR LF
    for (int i = 0; i < 150; ++i) {
        ASSERT_EQ(box.Append(line), 0); // up to 15000: nothing goes
    }
    ASSERT_EQ(box.Text().size(), 15000);
    EXPECT_EQ(box.Append(QStringLiteral("a")), 0); // exactly 15000 is not more
    ASSERT_EQ(box.Text().size(), 15003);

    const QString before = box.Text();
    EXPECT_EQ(box.Append(QStringLiteral("newest")), 14000);
    EXPECT_EQ(box.Text(), before.mid(14000) + QStringLiteral("newest\r\n"));
    EXPECT_EQ(box.Append(QStringLiteral("next")), 0);
}

TEST(EditInputRules, UpperCaseDigitsAndLimits) {
    struct Case {
        unsigned flags;
        int limit;
        const char* typed;
        const char* kept;
    };
    const Case cases[] = {
        {kUpperCase, 4, "ab1z", "AB1Z"},    {kUpperCase, 4, "abcdef", "ABCD"},
        {kDigitsOnly, 2, "1a2", "12"},      {kDigitsOnly, 2, "-5", "5"},
        {kDigitsOnly, 2, "123", "12"},      {kUpperCase, 31, "00fe", "00FE"},
        {0, 0, "Mixed Case", "Mixed Case"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ApplyEditInputRules(c.flags, c.limit, QString::fromLatin1(c.typed)),
                  QString::fromLatin1(c.kept))
            << c.typed;
    }
}

TEST(DialogUnits, ConvertWithTheFontsBaseUnits) {
    // A font whose alphabet is 312 pixels wide has an average character width of 6.
    EXPECT_EQ(DialogBaseUnitX(312), 6);
    EXPECT_EQ(DialogBaseUnitX(338), 7); // 13 -> (13 + 1) / 2
    EXPECT_EQ(MapDialogRect(445, 20, 149, 30, 6, 13), (PixelRect{668, 33, 224, 49}));
    EXPECT_EQ(MapDialogRect(0, 0, 602, 356, 6, 13), (PixelRect{0, 0, 903, 579}));
    EXPECT_EQ(MulDivRound(3, 5, 2), 8); // 7.5 rounds away from zero
    EXPECT_EQ(MulDivRound(-3, 5, 2), -8);
    EXPECT_EQ(MulDivRound(1, 1, 0), 0);
}

TEST(DialogTemplates, EveryControlOfThePagesIsThere) {
    const DialogTemplate& config = ConfigPageTemplate();
    EXPECT_EQ(config.resourceId, 104);
    EXPECT_STREQ(config.caption, "Kelvane Tessaro KDX Configuration Page");
    for (const int id : {1000, 1003, 1053, 1054, 1004, 1005, 1055, 1024, 1012, 1006, 1020,
                         1015, 1040, 1041, 1042, 1046, 1021, 1045, 1025, 1043, 1022, 1044,
                         1023, 1049, 1048, 1050, 1051, 1017, 1016, 1037, 1038, 1039, 1067}) {
        EXPECT_NE(config.Find(id), nullptr) << id;
    }
    const ControlTemplate* prefix = config.Find(1021);
    EXPECT_TRUE(prefix->Has(kUpperCase));
    EXPECT_EQ(prefix->textLimit, 4);
    EXPECT_TRUE(config.Find(1025)->Has(kDigitsOnly));
    EXPECT_TRUE(config.Find(1067)->Has(kHidden));

    const DialogTemplate& programmer = ProgrammerPageTemplate();
    EXPECT_STREQ(programmer.caption, "Kelvane Tessaro KDX Execution Page");
    for (const int id : {1000, 1030, 1003, 1020, 1021, 1026, 1027, 1025, 1023, 1037, 1038, 1039,
                         1040, 1041, 1042, 1056, 1057}) {
        EXPECT_NE(programmer.Find(id), nullptr) << id;
    }
    EXPECT_TRUE(programmer.Find(1023)->Has(kHidden));
    EXPECT_STREQ(programmer.Find(1056)->text, "[ R ]     -     Safe to Remove");
    EXPECT_EQ(AboutTemplate().Find(1062)->kind, ControlKind::Label);
}

TEST(SheetKeys, EnterAndEscapeAreSwallowed) {
    EXPECT_TRUE(SheetConsumesKey(Qt::Key_Return));
    EXPECT_TRUE(SheetConsumesKey(Qt::Key_Enter));
    EXPECT_TRUE(SheetConsumesKey(Qt::Key_Escape));
    EXPECT_FALSE(SheetConsumesKey(Qt::Key_Space));
    EXPECT_FALSE(SheetConsumesKey(Qt::Key_Tab));
}

} // namespace
