// The USB tree walk against the simulated bench: topology strings, positions without a node,
// the naming table, new hubs on either page, lookups by device path and the tree operations.
#include "app/sheet.h"
#include "tests/support/bench_builder.h"
#include "tests/support/qt_print.h"
#include "tests/support/sheet_fixture.h"
#include "tests/support/sim_bench.h"
#include "tests/support/tcf_text.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QJsonValue>

namespace {

using namespace testsupport;

QString S(const char* text) {
    return QString::fromUtf8(text);
}

// Controller 0 with positions 1 (parent 0), 2 (parent 1), 3 (parent 1) and 4 (parent 2).
TEST(EnumerationTest, TopologyStringsFollowTheRankAmongSiblings) {
    ASSERT_FALSE(UseBench(BenchJson({BenchController(0, {BenchHub(0, 1, 0), BenchHub(0, 2, 1),
                                                         BenchHub(0, 3, 1), BenchHub(0, 4, 2)})}))
                     .isEmpty());
    SheetFixture f;
    ASSERT_TRUE(f.Start());

    const char* expected[] = {"1-1", "1-1-1", "1-1-1-1", "1-1-1-2", "1-1-1-1-1"};
    const auto& table = f.sheet->DeviceTable();
    ASSERT_EQ(table.size(), 1U);
    ASSERT_EQ(table[0].size(), std::size(expected));
    for (std::size_t j = 0; j < std::size(expected); ++j) {
        ASSERT_NE(table[0][j], nullptr) << j;
        EXPECT_EQ(table[0][j]->GetInternalPortName(), S(expected[j])) << "position " << j;
        EXPECT_EQ(table[0][j]->Controller(), 0);
        EXPECT_EQ(table[0][j]->Device(), static_cast<int>(j));
    }
    // Each item hangs under its parent position's item, and is shown expanded there.
    const auto parentOf = [&](const char* topology) {
        return f.Item(S(topology))->Parent()->Record()->GetInternalPortName();
    };
    EXPECT_EQ(parentOf("1-1-1"), S("1-1"));
    EXPECT_EQ(parentOf("1-1-1-1"), S("1-1-1"));
    EXPECT_EQ(parentOf("1-1-1-2"), S("1-1-1"));
    EXPECT_EQ(parentOf("1-1-1-1-1"), S("1-1-1-1"));
    EXPECT_EQ(f.TreeLines(),
              QStringList({S("My Computer"), S("  Test Host Controller 0"), S("    Aster"),
                           S("      Aster"), S("        Aster"), S("      Aster")}));
    EXPECT_TRUE(f.sheet->GetTreeCtrl().FirstRootItem()->IsExpanded());
    EXPECT_TRUE(f.Item(S("1-1-1"))->IsExpanded());
    EXPECT_TRUE(f.Item(S("1-1-1-1"))->IsExpanded());
    EXPECT_FALSE(f.Item(S("1-1-1-2"))->IsExpanded()); // no children
}

// Controller 0 lacks positions 2 and 5, controller 1 has nothing behind it, controller 2 lacks
// position 1.
QByteArray BenchWithGaps() {
    return BenchJson(
        {BenchController(0, {BenchHub(0, 1, 0), BenchHub(0, 3, 0), BenchDevice(0, 4, 1),
                             BenchHub(0, 6, 1), BenchDevice(0, 7, 3)}),
         BenchController(1, {}), BenchController(2, {BenchHub(2, 2, 0)})});
}

TEST(EnumerationTest, PositionsWithoutANodeKeepNumberingAndTableAligned) {
    ASSERT_FALSE(UseBench(BenchWithGaps()).isEmpty());
    SheetFixture f;
    ASSERT_TRUE(f.Start());

    // Per controller, per position: the topology string, empty where the library has no node.
    const std::vector<std::vector<const char*>> expected = {
        {"1-1", "1-1-1", "", "1-1-2", "1-1-1-1", "", "1-1-1-2", "1-1-2-1"},
        {"1-2"},
        {"1-3", "", "1-3-1"},
    };
    const auto& table = f.sheet->DeviceTable();
    ASSERT_EQ(table.size(), expected.size());
    for (std::size_t c = 0; c < expected.size(); ++c) {
        ASSERT_EQ(table[c].size(), expected[c].size()) << "controller " << c;
        for (std::size_t j = 0; j < expected[c].size(); ++j) {
            const QString topology = S(expected[c][j]);
            if (topology.isEmpty()) {
                EXPECT_EQ(table[c][j], nullptr) << c << "/" << j;
                continue;
            }
            ASSERT_NE(table[c][j], nullptr) << c << "/" << j;
            EXPECT_EQ(table[c][j]->GetInternalPortName(), topology) << c << "/" << j;
            EXPECT_EQ(table[c][j]->Controller(), static_cast<int>(c));
            EXPECT_EQ(table[c][j]->Device(), static_cast<int>(j));
            EXPECT_NE(f.Item(topology), nullptr) << topology.toStdString();
        }
    }
    // A missing position leaves no item and no node.
    EXPECT_EQ(f.sheet->GetTreeCtrl().AllItems().size(), 1U + 3U + 6U);
    EXPECT_EQ(CTCFData::Instance().Count(), 9);
    EXPECT_EQ(f.sheet->GetTreeCtrl().FirstChild(f.Item(S("1-2"))), nullptr);
}

// Hubs named from the IDs in their instance ID; each creates its node with the part family
// detected for it, even right after a hub of another family.
TEST(EnumerationTest, HubsAreNamedAndTypedFromTheirInstanceId) {
    struct NamingCase {
        QJsonValue instanceId;
        const char* name;
        int partType;
    };
    const NamingCase cases[] = {
        {S("USB\\VID_5A17&PID_7111\\6&1&0&1"), "Aster", kPartAsterFamily},
        {S("USB\\VID_5A17&PID_7113\\6&1&0&2"), "Kelvane-7113", kPartNotRecognized},
        {S("USB\\VID_5A17&PID_7520\\6&1&0&3"), "Fennel", kPartFennel},
        {S("garbage"), "0000-0000", kPartNotRecognized},
        {S("USB\\VID_5A17&PID_7205\\6&1&0&5"), "Birch", kPartAsterFamily},
        {S("USB\\VID_1234&PID_5678\\6&1&0&6"), "1234-5678", kPartNotRecognized},
        {S("USB\\VID_5A17&PID_7402\\6&1&0&7"), "Elder", kPartAsterFamily},
        {QJsonValue(QJsonValue::Null), "0000-0000", kPartNotRecognized},
    };
    QJsonArray devices;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        QJsonObject hub = BenchHub(0, static_cast<int>(i) + 1, 0);
        hub.insert(QStringLiteral("instanceId"), cases[i].instanceId);
        devices.append(hub);
    }
    devices.append(
        BenchDevice(0, static_cast<int>(std::size(cases)) + 1, 0, S("USB Mass Storage Device")));
    ASSERT_FALSE(UseBench(BenchJson({BenchController(0, devices)})).isEmpty());
    SheetFixture f;
    ASSERT_TRUE(f.Start());

    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const QString topology = QStringLiteral("1-1-%1").arg(i + 1);
        ASSERT_NE(f.Item(topology), nullptr) << topology.toStdString();
        EXPECT_EQ(f.Item(topology)->Text(), S(cases[i].name)) << topology.toStdString();
        EXPECT_EQ(f.Record(topology)->GetPortName(), S(cases[i].name));
        EXPECT_EQ(CTCFData::Instance().GetPartType(f.Node(topology)), cases[i].partType)
            << cases[i].name << " at " << topology.toStdString();
    }
    const QString plain = QStringLiteral("1-1-%1").arg(std::size(cases) + 1);
    EXPECT_EQ(f.Item(plain)->Text(), S("USB Mass Storage Device"));
}

// Controller 0 with an Aster (1-1-1), a keyboard behind it (1-1-1-1) and a Fennel (1-1-2).
QByteArray SmallBench() {
    return BenchJson({BenchController(
        0, {BenchHub(0, 1, 0), BenchHub(0, 2, 0, S("5A17"), S("7520")), BenchDevice(0, 3, 1)})});
}

// Every position of SmallBench.
QByteArray FullTopology() {
    return TcfHeader(4) + TcfPlainNode(S("1-1")) + TcfHubNode(S("1-1-1"), 2) +
           TcfPlainNode(S("1-1-1-1")) + TcfHubNode(S("1-1-2"), 4);
}

// Only the controller and the Aster: the Fennel and the keyboard are new to it.
QByteArray PartialTopology() {
    return TcfHeader(2) + TcfPlainNode(S("1-1")) + TcfHubNode(S("1-1-1"), 2);
}

TEST(EnumerationTest, NewHubIsReportedWithTheConfigurationPageInFront) {
    ASSERT_FALSE(UseBench(SmallBench()).isEmpty());
    const QString partial = QDir::current().absoluteFilePath(S("partial.tcf"));
    ASSERT_TRUE(WriteBytes(partial, PartialTopology()));
    SheetFixture f;
    ASSERT_TRUE(f.Start());
    f.window.Clear();

    ASSERT_EQ(f.sheet->LoadTopologyFile(partial), CSheet::LoadResult::Loaded);
    EXPECT_EQ(
        f.window.StatusTexts(kConfigPage),
        QStringList({S("Cleared existing topology information"), S("Topoloy changed @ 1-1-2")}));
    EXPECT_FALSE(f.sheet->IsTopologySaved());
    EXPECT_EQ(f.sheet->GetCurrentTopologyFile(), partial);
    EXPECT_EQ(f.Record(S("1-1-1"))->GetTopoLogy(), kTopologyWithOperation);
    EXPECT_EQ(f.Record(S("1-1-2"))->GetTopoLogy(), kTopologyNew);
    EXPECT_EQ(f.Record(S("1-1-1-1"))->GetTopoLogy(), kTopologyNew); // not a hub: no line
}

TEST(EnumerationTest, NewHubIsNotReportedWithTheExecutionPageInFront) {
    ASSERT_FALSE(UseBench(SmallBench()).isEmpty());
    const QString full = QDir::current().absoluteFilePath(S("full.tcf"));
    const QString partial = QDir::current().absoluteFilePath(S("partial.tcf"));
    ASSERT_TRUE(WriteBytes(full, FullTopology()));
    ASSERT_TRUE(WriteBytes(partial, PartialTopology()));
    SheetFixture f;
    ASSERT_TRUE(f.Start());
    ASSERT_EQ(f.sheet->LoadTopologyFile(full), CSheet::LoadResult::Loaded);
    ASSERT_TRUE(f.sheet->IsTopologySaved());
    ASSERT_TRUE(f.sheet->RequestActivePage(kProgrammerPage));
    f.window.Clear();

    // The same enumeration, now matched for the execution page.
    ASSERT_EQ(f.sheet->LoadTopologyFile(partial), CSheet::LoadResult::Loaded);
    EXPECT_EQ(f.window.StatusTexts(), QStringList({S("Cleared existing topology information")}));
    EXPECT_EQ(f.window.status.front().page, kProgrammerPage);
    EXPECT_TRUE(f.sheet->IsTopologySaved());
    EXPECT_EQ(f.Record(S("1-1-2"))->GetTopoLogy(), kTopologyNew);

    // Back on the configuration page the next enumeration reports it.
    ASSERT_TRUE(f.sheet->RequestActivePage(kConfigPage));
    f.window.Clear();
    f.sheet->EnumUSB();
    EXPECT_EQ(f.window.StatusTexts(kConfigPage), QStringList({S("Topoloy changed @ 1-1-2")}));
    EXPECT_FALSE(f.sheet->IsTopologySaved());
}

TEST(EnumerationTest, WithoutControllersTheTreeHoldsOnlyMyComputer) {
    ASSERT_FALSE(UseBench(BenchJson({})).isEmpty());
    SheetFixture f;
    ASSERT_TRUE(f.Start());
    EXPECT_EQ(f.TreeLines(), QStringList({S("My Computer")}));
    EXPECT_TRUE(f.sheet->DeviceTable().empty());
    EXPECT_EQ(CTCFData::Instance().Count(), 0);
    EXPECT_TRUE(f.window.messages.empty());
}

TEST(EnumerationTest, EveryEnumerationStartsFromNothing) {
    ASSERT_FALSE(UseBench(SmallBench()).isEmpty());
    SheetFixture f;
    ASSERT_TRUE(f.Start());
    const QStringList before = f.TreeLines();
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(f.sheet->EnumUSB());
    }
    EXPECT_EQ(f.TreeLines(), before);
    EXPECT_EQ(f.sheet->GetTreeCtrl().TopLevelCount(), 1);
    EXPECT_EQ(f.sheet->DeviceTable().size(), 1U);
    EXPECT_EQ(f.sheet->DeviceTable()[0].size(), 4U);
    EXPECT_EQ(CTCFData::Instance().Count(), 4); // the nodes made the first time are found again
}

TEST(EnumerationTest, PreparingNeedsAnActiveAutomatedRun) {
    ASSERT_FALSE(UseBench(SmallBench()).isEmpty());
    SheetFixture f;
    ASSERT_TRUE(f.Start());
    f.window.Clear();
    f.sheet->SetExecutionOption(false);
    EXPECT_TRUE(f.sheet->EnumUSB(BenchDevicePath(0, 1), true));
    for (const QString& line : f.window.StatusTexts()) {
        EXPECT_FALSE(line.contains(S("Prepared")) || line.contains(S("Preparing")))
            << line.toStdString();
    }
}

TEST(EnumerationTest, DevicePathsAreFoundIgnoringCase) {
    ASSERT_FALSE(UseBench(BenchWithGaps()).isEmpty());
    SheetFixture f;
    ASSERT_TRUE(f.Start());

    struct PathCase {
        QString path;
        bool found;
        int controller;
        int position;
    };
    const PathCase cases[] = {
        {BenchDevicePath(0, 6), true, 0, 6},
        {BenchDevicePath(2, 2).toLower(), true, 2, 2},
        {BenchDevicePath(0, 7).toUpper(), true, 0, 7},
        {BenchControllerPath(1), true, 1, 0},
        {BenchDevicePath(0, 2), false, 0, 0}, // the position the bench leaves empty
        {S("\\\\?\\USB#VID_FFFF&PID_FFFF#nowhere"), false, 0, 0},
        {QString(), false, 0, 0},
    };
    for (const PathCase& c : cases) {
        int controller = 7;
        int position = 7;
        EXPECT_EQ(f.sheet->GetNodeIndexFromDevicePath(c.path, controller, position), c.found)
            << c.path.toStdString();
        EXPECT_EQ(controller, c.controller) << c.path.toStdString();
        EXPECT_EQ(position, c.position) << c.path.toStdString();
    }
}

TEST(EnumerationTest, DeletingAMiddleItemTakesItsSubtreeAndLaterSiblings) {
    // Controller 0: hubs 1-1-1, 1-1-2 (with a device behind it) and 1-1-3; controller 1: a hub.
    ASSERT_FALSE(UseBench(BenchJson({BenchController(0, {BenchHub(0, 1, 0), BenchHub(0, 2, 0),
                                                         BenchHub(0, 3, 0), BenchDevice(0, 4, 2)}),
                                     BenchController(1, {BenchHub(1, 1, 0)})}))
                     .isEmpty());
    SheetFixture f;
    ASSERT_TRUE(f.Start());
    TopologyTreeModel& tree = f.sheet->GetTreeCtrl();

    f.sheet->DeleteTreeItems(nullptr);
    EXPECT_EQ(tree.AllItems().size(), 8U);

    f.sheet->SelectTreeItem(f.Item(S("1-1-3")));
    ASSERT_NE(f.sheet->SelectedDevice(), nullptr);
    const int updatesBefore = f.window.cfgUpdates;

    f.sheet->DeleteTreeItems(f.Item(S("1-1-2")));
    EXPECT_EQ(f.TreeLines(),
              QStringList({S("My Computer"), S("  Test Host Controller 0"), S("    Aster"),
                           S("  Test Host Controller 1"), S("    Aster")}));
    EXPECT_NE(f.Item(S("1-1-1")), nullptr);
    EXPECT_NE(f.Item(S("1-2-1")), nullptr);
    // The selected record went with its item; the configuration page is told.
    EXPECT_EQ(f.sheet->SelectedDevice(), nullptr);
    EXPECT_EQ(tree.SelectedItem(), nullptr);
    EXPECT_GT(f.window.cfgUpdates, updatesBefore);

    // Deleting from the root empties the tree.
    f.sheet->DeleteTreeItems(tree.FirstRootItem());
    EXPECT_EQ(tree.TopLevelCount(), 0);
}

TEST(EnumerationTest, TopologyStringOfAnItemComesFromItsRecord) {
    ASSERT_FALSE(UseBench(SmallBench()).isEmpty());
    SheetFixture f;
    ASSERT_TRUE(f.Start());
    EXPECT_EQ(f.sheet->GetTopologyString(f.Item(S("1-1-1-1"))), S("1-1-1-1"));
    EXPECT_EQ(f.sheet->GetTopologyString(f.sheet->GetTreeCtrl().FirstRootItem()), QString());
    EXPECT_EQ(f.sheet->GetTopologyString(nullptr), QString());
}

} // namespace
