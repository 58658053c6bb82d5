// The engine's tree as a Qt item model: QAbstractItemModelTester watches it through start-up,
// re-enumerations, the topology commands and item changes, and must find nothing wrong.
#include "app/sheet.h"
#include "tests/support/bench_builder.h"
#include "tests/support/qt_print.h"
#include "tests/support/sheet_fixture.h"
#include "tests/support/sim_bench.h"
#include "tests/support/tcf_text.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QDir>
#include <QSignalSpy>

namespace {

using namespace testsupport;

// Collects what the model tester reports (it reports through its logging category).
QStringList& TesterReports() {
    static QStringList reports;
    return reports;
}

QtMessageHandler& PreviousHandler() {
    static QtMessageHandler previous = nullptr;
    return previous;
}

void CollectTesterReports(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (context.category != nullptr &&
        QLatin1String(context.category) == QLatin1String("qt.modeltest")) {
        TesterReports().push_back(text);
        return;
    }
    if (PreviousHandler() != nullptr) {
        PreviousHandler()(type, context, text);
    }
}

class TreeModelTest : public ::testing::Test {
protected:
    void SetUp() override { PreviousHandler() = qInstallMessageHandler(CollectTesterReports); }
    void TearDown() override { qInstallMessageHandler(PreviousHandler()); }
};

QString S(const char* text) {
    return QString::fromUtf8(text);
}

TEST_F(TreeModelTest, ModelStaysConsistentThroughEnumerationsAndCommands) {
    ASSERT_FALSE(UseBench(BenchJson({BenchController(0, {BenchHub(0, 1, 0), BenchHub(0, 2, 1),
                                                         BenchDevice(0, 4, 2), BenchHub(0, 5, 0)}),
                                     BenchController(1, {})}))
                     .isEmpty());
    const QString file = QDir::current().absoluteFilePath(S("tree.tcf"));
    ASSERT_TRUE(WriteBytes(file, TcfHeader(2) + TcfPlainNode(S("1-1")) +
                                     TcfHubNode(S("1-1-1"), 4, S("Labelled"))));
    SheetFixture f;
    TopologyTreeModel& model = f.sheet->GetTreeCtrl();
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    ASSERT_TRUE(f.Start());
    EXPECT_GE(resets.count(), 1);
    ASSERT_EQ(f.sheet->LoadTopologyFile(file), CSheet::LoadResult::Loaded);
    f.sheet->OnTopologyView();
    f.sheet->SelectTreeItem(f.Item(S("1-1-1-1")));
    f.sheet->OnTvnEndlabeleditConfigTree(f.Item(S("1-1-1-1")), S("Renamed"), false);
    f.sheet->EnumUSB();
    f.sheet->DeleteTreeItems(f.Item(S("1-1-1")));
    f.sheet->EnumUSB();
    f.sheet->DeleteTreeItems(model.FirstRootItem());
    f.sheet->EnumUSB();

    EXPECT_EQ(TesterReports(), QStringList());
}

TEST_F(TreeModelTest, ModelShowsTextsRecordsAndEditabilityByPage) {
    ASSERT_FALSE(UseBench(BenchJson({BenchController(0, {BenchHub(0, 1, 0)})})).isEmpty());
    const QString file = QDir::current().absoluteFilePath(S("tree.tcf"));
    ASSERT_TRUE(WriteBytes(file, TcfHeader(2) + TcfPlainNode(S("1-1")) + TcfHubNode(S("1-1-1"))));
    SheetFixture f;
    TopologyTreeModel& model = f.sheet->GetTreeCtrl();
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    ASSERT_TRUE(f.Start());
    ASSERT_EQ(f.sheet->LoadTopologyFile(file), CSheet::LoadResult::Loaded);

    ASSERT_EQ(model.rowCount(), 1);
    const QModelIndex root = model.index(0, 0);
    EXPECT_EQ(model.data(root).toString(), S("My Computer"));
    EXPECT_EQ(model.data(root, TopologyTreeModel::kRecordRole).value<void*>(), nullptr);
    ASSERT_EQ(model.rowCount(root), 1);
    const QModelIndex controller = model.index(0, 0, root);
    const QModelIndex hub = model.index(0, 0, controller);
    EXPECT_EQ(model.data(hub).toString(), S("Aster"));
    EXPECT_EQ(model.data(hub, TopologyTreeModel::kRecordRole).value<void*>(),
              static_cast<void*>(f.Record(S("1-1-1"))));
    EXPECT_EQ(model.parent(hub), controller);
    EXPECT_TRUE(model.flags(hub).testFlag(Qt::ItemIsEditable));

    ASSERT_TRUE(f.sheet->RequestActivePage(kProgrammerPage));
    EXPECT_EQ(model.ExecutionMode(), TopologyTreeModel::kExecutionDrawing);
    EXPECT_FALSE(model.flags(model.index(0, 0, model.index(0, 0, model.index(0, 0))))
                     .testFlag(Qt::ItemIsEditable));
    EXPECT_EQ(TesterReports(), QStringList());
}

} // namespace
