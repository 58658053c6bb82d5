// The tree view: colours and markers painted per drawing mode, the selected item's box,
// double clicks and label editing.
#include "../pages/qt_print.h"
#include "ui/velmora_tree_delegate.h"
#include "window_bench.h"

#include <gtest/gtest.h>

#include <QLineEdit>

namespace {

using uitest::WindowBench;

const QColor kGrey(127, 127, 127);

TEST(TreeView, PaintsTopologyColoursThenStatusColoursWithMarkers) {
    WindowBench bench;
    bench.LoadExample();
    bench.PlainTreeText();
    // Configuration drawing: by topology state.
    EXPECT_TRUE(bench.RowShowsColor(bench.Index(QStringLiteral("1-1-2")), QColor(0, 73, 153)));
    EXPECT_TRUE(bench.RowShowsColor(bench.Index(QStringLiteral("1-1-3")), QColor(0, 0, 0)));
    EXPECT_TRUE(bench.RowShowsColor(bench.Index(QStringLiteral("1-1-1-1")), kGrey));
    EXPECT_TRUE(bench.RowShowsColor(bench.Index(QStringLiteral("1-1")), kGrey));
    EXPECT_TRUE(
        bench.tree().Delegate().LookOf(bench.Index(QStringLiteral("1-1-2"))).marker.isEmpty());

    // Execution drawing: the status colour of a new hub, black for one without operation,
    // markers behind hubs only.
    bench.ClickTab(kProgrammerPage);
    ASSERT_EQ(bench.sheet().GetTreeCtrl().ExecutionMode(), TopologyTreeModel::kExecutionDrawing);
    EXPECT_TRUE(bench.RowShowsColor(bench.Index(QStringLiteral("1-1-2")), QColor(0, 77, 153)));
    EXPECT_FALSE(bench.RowShowsColor(bench.Index(QStringLiteral("1-1-2")), QColor(0, 73, 153)));
    EXPECT_TRUE(bench.RowShowsColor(bench.Index(QStringLiteral("1-1-3")), QColor(0, 0, 0)));
    EXPECT_TRUE(bench.RowShowsColor(bench.Index(QStringLiteral("1-1-1-1")), kGrey));
    CVelmoraTreeDelegate& delegate = bench.tree().Delegate();
    EXPECT_EQ(delegate.LookOf(bench.Index(QStringLiteral("1-1-2"))).marker,
              QStringLiteral("   -   [R]"));
    EXPECT_TRUE(delegate.LookOf(bench.Index(QStringLiteral("1-1-1-1"))).marker.isEmpty());

    // A hub row is wider than its label by the marker.
    const QModelIndex hub = bench.Index(QStringLiteral("1-1-3"));
    const QFontMetrics metrics(bench.tree().font());
    const QRect row = bench.tree().visualRect(hub);
    const int labelEnd = row.left() + metrics.horizontalAdvance(hub.data().toString()) + 3;
    const QImage image = bench.tree().viewport()->grab().toImage();
    bool markerPainted = false;
    for (int y = row.top(); y <= row.bottom() && !markerPainted; ++y) {
        for (int x = labelEnd + 4; x < row.right() && x < image.width(); ++x) {
            if (image.pixel(x, y) == qRgb(0, 0, 0)) {
                markerPainted = true;
                break;
            }
        }
    }
    EXPECT_TRUE(markerPainted);

    // Back on the configuration page the topology colours return.
    bench.ClickTab(kConfigPage);
    EXPECT_TRUE(bench.RowShowsColor(bench.Index(QStringLiteral("1-1-2")), QColor(0, 73, 153)));
    EXPECT_TRUE(delegate.LookOf(bench.Index(QStringLiteral("1-1-3"))).marker.isEmpty());
}

TEST(TreeView, ARepaintAsksTheLibraryForEveryVisibleHub) {
    WindowBench bench;
    bench.LoadExample();
    bench.ClickTab(kProgrammerPage);
    CVelmoraTreeDelegate& delegate = bench.tree().Delegate();
    delegate.ResetQueryCount();
    bench.tree().viewport()->repaint();
    // 12 hubs (three queries each) and 4 other visible records (the device type only).
    EXPECT_EQ(delegate.QueryCount(), 12u * 3u + 4u);
}

TEST(TreeView, DoubleClickSelectsTheItemAndEditsItsLabelInConfigurationDrawing) {
    WindowBench bench;
    bench.LoadExample();
    CVelmoraTree& tree = bench.tree();
    const QModelIndex cedar = bench.Index(QStringLiteral("1-1-3"));
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(cedar).center());
    EXPECT_EQ(tree.currentIndex(), cedar);
    EXPECT_EQ(bench.sheet().SelectedDevice(), bench.Item(QStringLiteral("1-1-3"))->Record());
    ASSERT_TRUE(tree.IsEditingLabel());

    auto* editor = tree.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("Bench corner"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the delegate commits through a queued call
    EXPECT_FALSE(tree.IsEditingLabel());
    EXPECT_EQ(cedar.data().toString(), QStringLiteral("Bench corner"));
    const int node = bench.Item(QStringLiteral("1-1-3"))->Record()->GetTCFIndex();
    EXPECT_EQ(CTCFData::Instance().GetUILabel(node), QStringLiteral("Bench corner"));

    // An empty label keeps the old one.
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(cedar).center());
    editor = tree.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->clear();
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the delegate commits through a queued call
    EXPECT_EQ(cedar.data().toString(), QStringLiteral("Bench corner"));
}

TEST(TreeView, DoubleClickInExecutionDrawingNeitherEditsNorExpands) {
    WindowBench bench;
    bench.LoadExample();
    bench.ClickTab(kProgrammerPage);
    CVelmoraTree& tree = bench.tree();
    const QModelIndex aster = bench.Index(QStringLiteral("1-1-1"));
    ASSERT_TRUE(tree.isExpanded(aster));
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(aster).center());
    EXPECT_EQ(tree.currentIndex(), aster);
    EXPECT_FALSE(tree.IsEditingLabel());
    EXPECT_TRUE(tree.isExpanded(aster));
}

TEST(TreeView, DoubleClickBelowTheLastItemChangesNoSelection) {
    WindowBench bench;
    bench.LoadExample();
    bench.ClickTab(kProgrammerPage); // no label edit to get in the way
    CVelmoraTree& tree = bench.tree();
    const QModelIndex dahlia = bench.Index(QStringLiteral("1-2-1"));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(dahlia).center());
    ASSERT_EQ(tree.currentIndex(), dahlia);
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {},
                       QPoint(20, tree.viewport()->height() - 5));
    EXPECT_EQ(tree.currentIndex(), dahlia);
    EXPECT_EQ(bench.sheet().SelectedDevice(), bench.Item(QStringLiteral("1-2-1"))->Record());
}

TEST(TreeView, SelectedItemIsDrawnAsAFramedBox) {
    WindowBench bench;
    bench.LoadExample();
    CVelmoraTree& tree = bench.tree();
    const QModelIndex dahlia = bench.Index(QStringLiteral("1-2-1"));
    bench.sheet().SelectTreeItem(bench.Item(QStringLiteral("1-2-1")));
    ASSERT_EQ(tree.currentIndex(), dahlia);
    const QImage image = tree.viewport()->grab().toImage();
    const QRect row = tree.visualRect(dahlia);
    // The frame's left edge is black from top to bottom of the row.
    int blackRows = 0;
    for (int y = row.top(); y < row.bottom(); ++y) {
        blackRows += image.pixel(row.left(), y) == qRgb(0, 0, 0) ? 1 : 0;
    }
    EXPECT_GE(blackRows, row.height() - 2);
}

} // namespace
