// The pages' widgets: every control of the templates at its place under its id, the widgets
// showing their model's state, operator actions reaching the node, the edits' input rules,
// the status boxes' bound, the Dump OTP button and the painted legends.
#include "../pages/qt_print.h"
#include "app/command_line.h"
#include "pages/dialog_units.h"
#include "ui/status_box.h"
#include "window_bench.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

using uitest::WindowBench;

// Compares every widget of `page` with the control state its model holds.
void ExpectWidgetsShow(const DialogPage& page, const PageControls& controls) {
    for (const int id : controls.Ids()) {
        QWidget* widget = page.Control(id);
        ASSERT_NE(widget, nullptr) << id;
        const ControlState& state = controls.At(id);
        EXPECT_EQ(widget->isEnabled(), state.enabled) << id;
        EXPECT_EQ(!widget->isHidden(), state.visible) << id;
        if (auto* list = qobject_cast<QComboBox*>(widget)) {
            QStringList items;
            for (int i = 0; i < list->count(); ++i) {
                items.push_back(list->itemText(i));
            }
            EXPECT_EQ(items, state.items) << id;
            EXPECT_EQ(list->currentIndex(), state.currentIndex) << id;
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            EXPECT_EQ(edit->text(), state.text) << id;
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            EXPECT_EQ(button->text(), state.text) << id;
            if (button->isCheckable()) {
                EXPECT_EQ(button->isChecked(), state.checked) << id;
            }
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            EXPECT_EQ(group->title(), state.text) << id;
        }
    }
}

TEST(PageWidgets, EveryControlSitsAtItsTemplatePlaceUnderItsId) {
    WindowBench bench;
    const QFontMetrics metrics(bench.config().font());
    const int baseX =
        DialogBaseUnitX(metrics.horizontalAdvance(QString::fromLatin1(kDialogUnitAlphabet)));
    const int baseY = metrics.height();
    for (const DialogPage* page : {static_cast<const DialogPage*>(&bench.config()),
                                   static_cast<const DialogPage*>(&bench.programmer())}) {
        const DialogTemplate& dialog = page->Template();
        const PixelRect size = MapDialogRect(0, 0, dialog.width, dialog.height, baseX, baseY);
        EXPECT_EQ(page->size(), QSize(size.width, size.height));
        for (const ControlTemplate& control : dialog.controls) {
            if (control.id == kNoControlId) {
                continue;
            }
            QWidget* widget = page->findChild<QWidget*>(QString::number(control.id));
            ASSERT_NE(widget, nullptr) << dialog.resourceId << "/" << control.id;
            EXPECT_EQ(widget, page->Control(control.id));
            const PixelRect r =
                MapDialogRect(control.x, control.y, control.width, control.height, baseX, baseY);
            EXPECT_EQ(widget->pos(), QPoint(r.x, r.y)) << control.id;
            // Texts may widen labels and boxes; a closed drop-down list is one line high.
            if (control.kind == ControlKind::Edit || control.kind == ControlKind::PushButton ||
                control.kind == ControlKind::GroupBox || control.kind == ControlKind::ColorBox) {
                EXPECT_EQ(widget->size(), QSize(r.width, r.height)) << control.id;
            }
        }
    }
    auto* prefix = bench.config().ControlAs<QLineEdit>(1021);
    EXPECT_EQ(prefix->maxLength(), 4);
    EXPECT_EQ(bench.config().ControlAs<QLineEdit>(1025)->maxLength(), 2);
    EXPECT_EQ(bench.config().ControlAs<QLineEdit>(1022)->maxLength(), 31);
    EXPECT_TRUE(bench.config().ControlAs<QLineEdit>(1020)->isReadOnly());
}

TEST(PageWidgets, ShowTheModelsStateAndForwardTheOperatorsActions) {
    WindowBench bench;
    bench.LoadExample();
    CConfigPage& page = bench.config();
    ExpectWidgetsShow(page, page.Model().Controls());
    ExpectWidgetsShow(bench.programmer(), bench.programmer().Model().Controls());

    // The operator selects the Fennel hub at 1-2-3 (OTP, hex scheme set).
    QTest::mouseClick(bench.tree().viewport(), Qt::LeftButton, {},
                      bench.tree().visualRect(bench.Index(QStringLiteral("1-2-3"))).center());
    ASSERT_EQ(bench.sheet().SelectedDevice(), bench.Item(QStringLiteral("1-2-3"))->Record());
    ExpectWidgetsShow(page, page.Model().Controls());
    EXPECT_EQ(page.ControlAs<QGroupBox>(1003)->title(),
              QStringLiteral("Configuration Settings:     Fennel     "));
    EXPECT_EQ(page.ControlAs<QLineEdit>(1051)->text(), QStringLiteral("HX00FE"));
    EXPECT_TRUE(page.ControlAs<QPushButton>(1048)->isEnabled());
    EXPECT_FALSE(page.ControlAs<QPushButton>(1049)->isEnabled());

    // Verify Image off: written through, the topology is no longer saved.
    TcfItem& node =
        CTCFData::Instance().Item(bench.Item(QStringLiteral("1-2-3"))->Record()->GetTCFIndex());
    ASSERT_TRUE(node.verify);
    QTest::mouseClick(page.ControlAs<QCheckBox>(1012), Qt::LeftButton);
    EXPECT_FALSE(node.verify);
    EXPECT_FALSE(bench.sheet().IsTopologySaved());

    // Reset (answered OK), then a new decimal scheme typed and Set.
    QTest::mouseClick(page.ControlAs<QPushButton>(1048), Qt::LeftButton);
    EXPECT_FALSE(node.serialParamsSet);
    Q_EMIT page.ControlAs<QComboBox>(1041)->activated(2);
    EXPECT_EQ(node.serialType, 2);
    QTest::keyClicks(page.ControlAs<QLineEdit>(1021), QStringLiteral("abcde"));
    QTest::keyClicks(page.ControlAs<QLineEdit>(1022), QStringLiteral("10"));
    QTest::keyClicks(page.ControlAs<QLineEdit>(1023), QStringLiteral("99"));
    page.ControlAs<QLineEdit>(1025)->clear();
    QTest::keyClicks(page.ControlAs<QLineEdit>(1025), QStringLiteral("x5y"));
    EXPECT_EQ(page.ControlAs<QLineEdit>(1021)->text(), QStringLiteral("ABCD"));
    EXPECT_EQ(page.ControlAs<QLineEdit>(1025)->text(), QStringLiteral("5"));
    EXPECT_EQ(page.Model().Controls().At(1021).text, QStringLiteral("ABCD"));
    QTest::mouseClick(page.ControlAs<QPushButton>(1049), Qt::LeftButton);
    EXPECT_TRUE(node.serialParamsSet);
    EXPECT_EQ(node.serialAlpha, QStringLiteral("ABCD"));
    EXPECT_EQ(node.serialStart, QStringLiteral("10"));
    EXPECT_EQ(node.serialIncrement, 5);
    EXPECT_EQ(page.ControlAs<QLineEdit>(1051)->text(), QStringLiteral("ABCD10"));

    // Memory type "SPI" (position 2 of the Fennel list), then a file from the browse dialog.
    Q_EMIT page.ControlAs<QComboBox>(1005)->activated(2);
    EXPECT_EQ(node.memoryType, 2);
    QTest::mouseClick(page.ControlAs<QCheckBox>(1024), Qt::LeftButton);
    EXPECT_TRUE(node.programRequired);
    const QString image = QDir::current().absoluteFilePath(QStringLiteral("firmware.bin"));
    OperatorDialogs::SetNextFile(image);
    QTest::mouseClick(page.ControlAs<QPushButton>(1015), Qt::LeftButton);
    EXPECT_EQ(OperatorDialogs::FileRequests().back().filters,
              QStringList({QStringLiteral("Binary File (*.bin)")}));
    EXPECT_EQ(node.configFile, image);
    EXPECT_TRUE(node.configComplete);
    ExpectWidgetsShow(page, page.Model().Controls());

    // Part number "Not Recognized": only the part number stays usable.
    Q_EMIT page.ControlAs<QComboBox>(1054)->activated(2);
    EXPECT_EQ(node.partType, 2);
    EXPECT_FALSE(page.ControlAs<QComboBox>(1005)->isEnabled());
    ExpectWidgetsShow(page, page.Model().Controls());
}

TEST(PageWidgets, StatusBoxesStayBounded) {
    WindowBench bench;
    for (StatusBox* box :
         {bench.config().StatusBoxWidget(), bench.programmer().StatusBoxWidget()}) {
        const int page = box == bench.config().StatusBoxWidget() ? kConfigPage : kProgrammerPage;
        const QString line(48, u'#'); // 50 characters with CR LF
        for (int i = 0; i < 400; ++i) {
            bench.window->AppendStatus(page, line + QString::number(i % 10));
        }
        const StatusBoxText& text = page == kConfigPage ? bench.config().Model().Status()
                                                        : bench.programmer().Model().Status();
        EXPECT_LE(text.Text().size(), StatusBoxText::kLimit + 51);
        QString expected = text.Text();
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        EXPECT_EQ(box->toPlainText(), expected);
        EXPECT_TRUE(box->toPlainText().endsWith(line + QStringLiteral("9\n")));
    }
}

TEST(PageWidgets, DumpOtpButtonIsHiddenWithoutTheOption) {
    WindowBench bench;
    EXPECT_TRUE(bench.config().Control(1067)->isHidden());
}

TEST(PageWidgets, DumpOtpButtonWithTheOptionDumpsEveryHub) {
    commandline::SetOtpDumpFlag(true);
    WindowBench bench;
    auto* dump = bench.config().ControlAs<QPushButton>(1067);
    ASSERT_TRUE(dump->isVisible());
    QTest::mouseClick(dump, Qt::LeftButton);
    const QString text = bench.config().Model().Status().Text();
    EXPECT_TRUE(text.contains(QStringLiteral("Starting OTP DUMP.")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("Finished OTPDump\r\n")));
    EXPECT_FALSE(text.contains(QStringLiteral("Dump OTP Failed")));
}

TEST(PageWidgets, LegendBoxesArePaintedInTheirColours) {
    WindowBench bench;
    bench.LoadExample();
    bench.ClickTab(kProgrammerPage);
    for (const DialogPage* page : {static_cast<const DialogPage*>(&bench.config()),
                                   static_cast<const DialogPage*>(&bench.programmer())}) {
        const auto legend =
            page == &bench.config()
                ? std::span<const treecolors::LegendBox>(treecolors::ConfigPageLegend)
                : std::span<const treecolors::LegendBox>(treecolors::ProgrammerPageLegend);
        const QImage image = const_cast<DialogPage*>(page)->grab().toImage();
        for (const treecolors::LegendBox& box : legend) {
            const QPoint centre = page->Control(box.controlId)->geometry().center();
            EXPECT_EQ(image.pixelColor(centre), QColor(box.color.r, box.color.g, box.color.b))
                << page->Template().resourceId << "/" << box.controlId;
        }
    }
}

} // namespace
