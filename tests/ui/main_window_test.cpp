// The main window: caption, menus and tabs, the page and close rules as the operator meets
// them, Enter and Escape, the About box, the second instance, and one run of the example
// topology through the real window.
#include "../pages/qt_print.h"
#include "app/single_instance.h"
#include "pages/tree_colors.h"
#include "ui/about_dlg.h"
#include "ui/velmora_tree_delegate.h"
#include "ui/zephran_app.h"
#include "window_bench.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

namespace {

using uitest::WindowBench;

TEST(MainWindow, CaptionMenusAndTabs) {
    WindowBench bench;
    MainWindow& w = *bench.window;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Kelvane Tessaro KDX Hub Tool"));
    EXPECT_FALSE(w.windowIcon().isNull());

    const QList<QAction*> popups = w.menuBar()->actions();
    ASSERT_EQ(popups.size(), 3);
    EXPECT_EQ(popups[0]->text(), QStringLiteral("Execution Options"));
    EXPECT_EQ(popups[1]->text(), QStringLiteral("Topology"));
    EXPECT_EQ(popups[2]->text(), QStringLiteral("Help"));
    struct Item {
        int command;
        const char* text;
    };
    for (const Item& item :
         {Item{32773, "Execute Once"}, Item{32774, "Automated Execution"}, Item{32775, "New"},
          Item{32776, "Load       "}, Item{32777, "Save       "}, Item{32781, "About"}}) {
        QAction* action = w.CommandAction(item.command);
        ASSERT_NE(action, nullptr) << item.command;
        EXPECT_EQ(action->text(), QString::fromLatin1(item.text));
        EXPECT_EQ(action->objectName(), QString::number(item.command));
    }
    EXPECT_TRUE(w.CommandAction(32773)->isChecked());
    EXPECT_FALSE(w.CommandAction(32774)->isChecked());

    ASSERT_EQ(w.Tabs().count(), 2);
    EXPECT_EQ(w.Tabs().tabText(0), QStringLiteral("Kelvane Tessaro KDX Configuration Page"));
    EXPECT_EQ(w.Tabs().tabText(1), QStringLiteral("Kelvane Tessaro KDX Execution Page"));
    EXPECT_EQ(w.Tabs().currentIndex(), 0);
    EXPECT_EQ(bench.tree().parentWidget(), &bench.config());
    EXPECT_EQ(bench.tree().objectName(), QStringLiteral("4101"));
    EXPECT_EQ(bench.tree().geometry(), bench.config().TreeFrame());

    // A start without a remembered topology says so in the configuration page's box.
    EXPECT_TRUE(bench.config().Model().Status().Text().startsWith(
        QStringLiteral("Error loading last saved topology\r\n"
                       "Enumeration current topology to configure\r\n")));
}

TEST(MainWindow, TabClicksAskTheSheetAndTheExecutionPageNeedsASavedTopology) {
    WindowBench bench;
    MainWindow& w = *bench.window;
    ASSERT_FALSE(bench.sheet().IsTopologySaved());

    bench.ClickTab(kProgrammerPage);
    EXPECT_EQ(w.Tabs().currentIndex(), 0);
    EXPECT_EQ(OperatorDialogs::MessageTexts(),
              QStringList({QStringLiteral("Save the topology before Programming")}));
    EXPECT_EQ(bench.tree().parentWidget(), &bench.config());

    const QString path = bench.LoadExample();
    ASSERT_TRUE(bench.sheet().IsTopologySaved());
    bench.ClickTab(kProgrammerPage);
    EXPECT_EQ(w.Tabs().currentIndex(), 1);
    EXPECT_EQ(bench.tree().parentWidget(), &bench.programmer());
    EXPECT_EQ(bench.tree().geometry(), bench.programmer().TreeFrame());
    EXPECT_FALSE(w.Menu(MainWindow::kTopologyMenu)->menuAction()->isEnabled());
    EXPECT_TRUE(w.Menu(MainWindow::kExecutionOptionsMenu)->menuAction()->isEnabled());
    auto* file = bench.programmer().ControlAs<QPlainTextEdit>(1030);
    EXPECT_EQ(file->toPlainText(), path);

    bench.ClickTab(kConfigPage);
    EXPECT_EQ(w.Tabs().currentIndex(), 0);
    EXPECT_TRUE(w.Menu(MainWindow::kTopologyMenu)->menuAction()->isEnabled());
    EXPECT_EQ(bench.tree().parentWidget(), &bench.config());
}

TEST(MainWindow, ExecutionOptionCommandsNeedASavedTopologyAndMoveToTheExecutionPage) {
    WindowBench bench;
    MainWindow& w = *bench.window;
    w.CommandAction(MainWindow::kAutomatedExecution)->trigger();
    EXPECT_TRUE(w.CommandAction(MainWindow::kExecuteOnce)->isChecked());
    EXPECT_FALSE(w.CommandAction(MainWindow::kAutomatedExecution)->isChecked());
    EXPECT_EQ(OperatorDialogs::MessageTexts(),
              QStringList({QStringLiteral("Save the topology before Programming")}));

    bench.LoadExample();
    w.CommandAction(MainWindow::kAutomatedExecution)->trigger();
    EXPECT_FALSE(w.CommandAction(MainWindow::kExecuteOnce)->isChecked());
    EXPECT_TRUE(w.CommandAction(MainWindow::kAutomatedExecution)->isChecked());
    EXPECT_EQ(w.Tabs().currentIndex(), 1);
    EXPECT_TRUE(bench.programmer().ControlAs<QAbstractButton>(1027)->isChecked());
    EXPECT_FALSE(bench.programmer().ControlAs<QAbstractButton>(1026)->isChecked());

    // The radio button changes the marks back.
    QTest::mouseClick(bench.programmer().ControlAs<QAbstractButton>(1026), Qt::LeftButton);
    EXPECT_TRUE(w.CommandAction(MainWindow::kExecuteOnce)->isChecked());
    EXPECT_TRUE(bench.sheet().IsExecuteOnce());
}

TEST(MainWindow, EnterAndEscapeNeverCloseIt) {
    WindowBench bench;
    for (QWidget* target : {static_cast<QWidget*>(bench.window.get()), bench.config().Control(1021),
                            static_cast<QWidget*>(&bench.tree())}) {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(target, key);
        }
    }
    QApplication::processEvents();
    EXPECT_TRUE(bench.window->isVisible());
    EXPECT_TRUE(OperatorDialogs::Messages().empty());
}

TEST(MainWindow, ClosingAsksOnlyWhileARunIsActive) {
    uitest::UseBenchWithProgrammingTime(1500);
    {
        WindowBench bench;
        bench.LoadExample();
        bench.ClickTab(kProgrammerPage);
        QTest::mouseClick(bench.programmer().ControlAs<QAbstractButton>(1025), Qt::LeftButton);
        ASSERT_TRUE(bench.sheet().GetProgrammerStatus());

        OperatorDialogs::ResetTestHook();
        OperatorDialogs::SetNextAnswer(MessageAnswer::No);
        EXPECT_FALSE(bench.window->close());
        EXPECT_TRUE(bench.window->isVisible());
        ASSERT_EQ(OperatorDialogs::Messages().size(), 1u);
        EXPECT_EQ(OperatorDialogs::Messages()[0].caption, QStringLiteral("Quit Tool?"));
        // The tab rule holds as well while the run goes on.
        bench.ClickTab(kConfigPage);
        EXPECT_EQ(bench.window->Tabs().currentIndex(), 1);

        // Yes closes the window while the run goes on inside the library.
        OperatorDialogs::SetNextAnswer(MessageAnswer::Yes);
        EXPECT_TRUE(bench.window->close());
        EXPECT_FALSE(bench.window->isVisible());
    }
    WindowBench idle;
    OperatorDialogs::ResetTestHook();
    EXPECT_TRUE(idle.window->close());
    EXPECT_TRUE(OperatorDialogs::Messages().empty());
}

TEST(MainWindow, StopHidesBothButtonsUntilTheRunHasEnded) {
    uitest::UseBenchWithProgrammingTime(1500);
    WindowBench bench;
    bench.LoadExample();
    bench.ClickTab(kProgrammerPage);
    auto* start = bench.programmer().ControlAs<QAbstractButton>(1025);
    auto* stop = bench.programmer().ControlAs<QAbstractButton>(1023);
    QTest::mouseClick(start, Qt::LeftButton);
    ASSERT_TRUE(bench.sheet().GetProgrammerStatus());
    EXPECT_FALSE(start->isVisible());
    EXPECT_TRUE(stop->isVisible());

    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_FALSE(start->isVisible());
    EXPECT_FALSE(stop->isVisible());
    EXPECT_TRUE(bench.programmer().StatusBoxWidget()->toPlainText().endsWith(
        QStringLiteral("Stopping the execution engine. Please wait..\n")));

    ASSERT_TRUE(testsupport::PumpUntil([&] { return bench.sheet().LastRun().ended; }, 20000));
    EXPECT_TRUE(start->isVisible());
    EXPECT_FALSE(stop->isVisible());
}

TEST(MainWindow, AboutBoxShowsTheVersion) {
    WindowBench bench;
    bench.window->CommandAction(MainWindow::kHelpAbout)->trigger();
    EXPECT_EQ(OperatorDialogs::ModalDialogs(), QStringList({QStringLiteral("About")}));
    auto* version = bench.window->AboutBox().findChild<QLabel*>(QStringLiteral("1062"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), QStringLiteral("Version 4.1.3.0"));
}

TEST(Application, ASecondInstanceSaysSoAndOpensNoWindow) {
    QApplication& app = uitest::EnsureApplication();
    OperatorDialogs::EnableTestHook();
    SingleInstanceGuard first;
    ASSERT_EQ(first.Acquire(), SingleInstanceGuard::Result::Acquired);

    EXPECT_EQ(CZephranApp::InitInstance(app), 0);
    ASSERT_EQ(OperatorDialogs::Messages().size(), 1u);
    EXPECT_EQ(OperatorDialogs::Messages()[0].text,
              QStringLiteral("Another Instance of the Tool already running"));
    EXPECT_EQ(OperatorDialogs::Messages()[0].icon, MessageIcon::Information);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        EXPECT_EQ(qobject_cast<MainWindow*>(widget), nullptr);
    }
}

// The operator's way through one run: Load the example, switch to the execution page, START,
// and look at the tree, the buttons and the status box when the run has ended.
TEST(MainWindow, ProgramsTheExampleTopologyOnce) {
    WindowBench bench;
    bench.LoadExample();
    ASSERT_TRUE(bench.sheet().IsTopologySaved());
    bench.ClickTab(kProgrammerPage);
    ASSERT_EQ(bench.window->Tabs().currentIndex(), 1);

    auto* start = bench.programmer().ControlAs<QAbstractButton>(1025);
    auto* stop = bench.programmer().ControlAs<QAbstractButton>(1023);
    QTest::mouseClick(start, Qt::LeftButton);
    ASSERT_TRUE(bench.sheet().LastRun().started);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return bench.sheet().LastRun().ended; }, 30000));
    QApplication::processEvents();

    EXPECT_TRUE(start->isVisible());
    EXPECT_FALSE(stop->isVisible());
    EXPECT_EQ(bench.sheet().LastRun().hubSuccesses, 8);
    EXPECT_TRUE(OperatorDialogs::Messages().empty());

    const QString status = bench.programmer().Model().Status().Text();
    EXPECT_TRUE(status.contains(QStringLiteral("Started programming\r\n")));
    EXPECT_TRUE(status.contains(
        QStringLiteral("Status of Aster : Programmed and Verified Successfully\r\n")));
    EXPECT_TRUE(status.contains(QStringLiteral("Status of Dahlia : Verified Successfully\r\n")));
    EXPECT_TRUE(status.endsWith(QStringLiteral("Finish Programming\r\n")));
    // The box shows the same lines.
    const QString shown = bench.programmer().StatusBoxWidget()->toPlainText();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("Finish Programming\n")));

    // Programmed hubs are green, hubs without an operation black, other items grey; every
    // hub carries a removal marker.
    const Rgb green{0, 224, 0};
    const Rgb black{0, 0, 0};
    struct Expected {
        const char* topology;
        Rgb color;
        bool hub;
    };
    const Expected expected[] = {
        {"1-1-1", green, true},          {"1-1-2", green, true},
        {"1-1-1-2", green, true},        {"1-2-1", green, true},
        {"1-2-3", green, true},          {"1-2-3-1", green, true},
        {"1-2-3-2", green, true},        {"1-2-4", green, true},
        {"1-1-3", black, true},          {"1-1-4", black, true},
        {"1-1-5", black, true},          {"1-2-2", black, true},
        {"1-1", {127, 127, 127}, false}, {"1-1-1-1", {127, 127, 127}, false},
    };
    CVelmoraTreeDelegate& delegate = bench.tree().Delegate();
    bench.PlainTreeText();
    for (const Expected& e : expected) {
        const QModelIndex index = bench.Index(QString::fromLatin1(e.topology));
        ASSERT_TRUE(index.isValid()) << e.topology;
        const TreeItemLook look = delegate.LookOf(index);
        EXPECT_EQ(look.color, e.color) << e.topology;
        EXPECT_EQ(look.marker.isEmpty(), !e.hub) << e.topology;
        EXPECT_TRUE(bench.RowShowsColor(index, QColor(e.color.r, e.color.g, e.color.b)))
            << e.topology;
    }
}

} // namespace
