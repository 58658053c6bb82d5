// The configuration page's rules: which controls a node's settings leave usable, whether the
// node counts as complete, and what the page shows for items that are not hubs.
#include "page_bench.h"
#include "qt_print.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using pagetest::PageBench;

// Groups of controls that the rules enable together.
const std::set<int> kPart = {1003, 1053, 1054};
const std::set<int> kMemory = {1004, 1005};
const std::set<int> kOperation = {1055, 1024, 1012};
const std::set<int> kFile = {1006, 1020, 1015};
const std::set<int> kSerialList = {1040, 1041};
const std::set<int> kSerialEdits = {1046, 1043, 1044, 1045, 1021, 1022, 1023, 1025, 1049, 1048};
const std::set<int> kResetOnly = {1048};

std::set<int> Union(std::initializer_list<std::set<int>> groups) {
    std::set<int> all;
    for (const auto& group : groups) {
        all.insert(group.begin(), group.end());
    }
    return all;
}

struct NodeCase {
    std::string name;
    int partType;
    int memoryType;
    bool program;
    bool verify;
    const char* file;
    int serialType;
    bool schemeSet;
    std::set<int> enabled;
    bool complete;
};

void PrintTo(const NodeCase& c, std::ostream* out) {
    *out << c.name;
}

class NodeSettingsTable : public ::testing::TestWithParam<NodeCase> {};

TEST_P(NodeSettingsTable, EnabledControlsAndCompleteness) {
    const NodeCase& c = GetParam();
    PageBench bench;
    bench.Select(QStringLiteral("1-1-2"));
    TcfItem& node = bench.Node(QStringLiteral("1-1-2"));
    node.partType = c.partType;
    node.memoryType = c.memoryType;
    node.programRequired = c.program;
    node.verify = c.verify;
    node.configFile = QString::fromUtf8(c.file);
    node.serialType = c.serialType;
    node.serialAlpha = QStringLiteral("KDX");
    node.serialStart = QStringLiteral("0001");
    node.serialMax = QStringLiteral("9999");
    node.serialCurrent = QStringLiteral("0005");
    node.serialIncrement = 2;
    node.serialParamsSet = c.schemeSet;
    node.configComplete = !c.complete; // the rules must set it either way

    bench.config.ShowNodeSettings();

    EXPECT_EQ(bench.Enabled(pagetest::kSettingsControls), c.enabled);
    EXPECT_EQ(node.configComplete, c.complete);
    // Never enabled: the custom serial frame and the current value.
    for (const int id : {1042, 1050, 1051}) {
        EXPECT_FALSE(bench.Control(id).enabled) << id;
    }
}

// Nodes of the Fennel hub at 1-1-2, from the simplest to the serial schemes.
INSTANTIATE_TEST_SUITE_P(
    ConfigPage, NodeSettingsTable,
    ::testing::Values(
        NodeCase{"NotRecognizedIsCompleteWithOnlyThePartNumber", 2, 3, true, true, "f.cfg", 2,
                 false, kPart, true},
        NodeCase{"MemoryNoneIsComplete", 0, 4, true, false, "", 3, false, Union({kPart, kMemory}),
                 true},
        NodeCase{"NoOperationChosenIsIncomplete", 0, 0, false, false, "f.cfg", 3, false,
                 Union({kPart, kMemory, kOperation}), false},
        NodeCase{"SpiWithBlankFileIsIncomplete", 1, 2, true, false, "   ", 3, false,
                 Union({kPart, kMemory, kOperation, kFile}), false},
        NodeCase{"SpiWithFileIsComplete", 1, 2, true, false, "/x/a.bin", 3, false,
                 Union({kPart, kMemory, kOperation, kFile}), true},
        NodeCase{"SpiCopyWithFileAndUuidTypeIsComplete", 0, 1, false, true, "/x/fw.bin", 0, false,
                 Union({kPart, kMemory, kOperation, kFile}), true},
        NodeCase{"OtpSchemeToEnterIsIncomplete", 0, 3, true, false, "", 2, false,
                 Union({kPart, kMemory, kOperation, kFile, kSerialList, kSerialEdits}), false},
        NodeCase{"OtpSchemeSetIsCompleteWithoutFile", 0, 3, true, false, "", 2, true,
                 Union({kPart, kMemory, kOperation, kFile, kSerialList, kResetOnly}), true},
        NodeCase{"AsterOtpKeepsSerialListOffAndIsCompleteWithFile", 1, 3, true, false, "/x/a.bin",
                 3, false, Union({kPart, kMemory, kOperation, kFile}), true},
        NodeCase{"AsterOtpWithoutFileIsIncomplete", 1, 3, true, false, "", 3, false,
                 Union({kPart, kMemory, kOperation, kFile}), false},
        NodeCase{"VerifyOnlyShowsSchemeEditsWithListOff", 0, 0, false, true, "f.cfg", 1, false,
                 Union({kPart, kMemory, kOperation, kFile, kSerialEdits}), false},
        NodeCase{"PartialCfgUuidWithoutFileIsIncomplete", 0, 0, true, false, "", 0, false,
                 Union({kPart, kMemory, kOperation, kFile, kSerialList}), false},
        NodeCase{"PartialCfgUuidWithFileIsComplete", 0, 0, true, false, "/x/f.cfg", 0, false,
                 Union({kPart, kMemory, kOperation, kFile, kSerialList}), true}),
    [](const ::testing::TestParamInfo<NodeCase>& param) { return param.param.name; });

TEST(ConfigPage, ShowsTheNodesValuesInItsControls) {
    PageBench bench;
    bench.Select(QStringLiteral("1-1-2"));
    TcfItem& node = bench.Node(QStringLiteral("1-1-2"));
    node.partType = 0;
    node.memoryType = 3;
    node.programRequired = true;
    node.verify = false;
    node.configFile = QStringLiteral("/x/f.cfg");
    node.serialType = 1;
    node.serialAlpha = QStringLiteral("HX");
    node.serialStart = QStringLiteral("00FE");
    node.serialMax = QStringLiteral("0FFF");
    node.serialCurrent = QStringLiteral("0100");
    node.serialIncrement = 3;
    node.serialParamsSet = true;
    bench.config.UpdateCfgSettingUI();

    EXPECT_EQ(bench.Control(1003).text, QStringLiteral("Configuration Settings:     Fennel     "));
    EXPECT_EQ(bench.Control(1054).CurrentText(), QStringLiteral("Fennel"));
    EXPECT_EQ(bench.Control(1005).items,
              QStringList({QStringLiteral("SPI Partial (CFG)"), QStringLiteral("SPI Copy from OTP"),
                           QStringLiteral("SPI"), QStringLiteral("OTP"), QStringLiteral("N/A")}));
    EXPECT_EQ(bench.Control(1005).CurrentText(), QStringLiteral("OTP"));
    EXPECT_EQ(bench.Control(1005).CurrentData(), 3);
    EXPECT_TRUE(bench.Control(1024).checked);
    EXPECT_FALSE(bench.Control(1012).checked);
    EXPECT_EQ(bench.Control(1020).text, QStringLiteral("/x/f.cfg"));
    EXPECT_EQ(bench.Control(1041).CurrentText(), QStringLiteral("Scheme (Hex)"));
    EXPECT_EQ(bench.Control(1021).text, QStringLiteral("HX"));
    EXPECT_EQ(bench.Control(1022).text, QStringLiteral("00FE"));
    EXPECT_EQ(bench.Control(1023).text, QStringLiteral("0FFF"));
    EXPECT_EQ(bench.Control(1025).text, QStringLiteral("3"));
    EXPECT_EQ(bench.Control(1051).text, QStringLiteral("HX0100"));

    // A serial type without a scheme clears the scheme's boxes; a file that is not shown
    // leaves the one-blank text.
    node.serialType = 0;
    node.programRequired = false;
    node.verify = false;
    bench.config.ShowNodeSettings();
    for (const int id : {1021, 1022, 1023, 1025, 1051}) {
        EXPECT_TRUE(bench.Control(id).text.isEmpty()) << id;
    }
    EXPECT_EQ(bench.Control(1020).text, QStringLiteral(" "));
    EXPECT_EQ(bench.Control(1041).currentIndex, 3);
}

TEST(ConfigPage, MemoryTypeOfAnotherFamilyShowsNoSelection) {
    PageBench bench;
    bench.Select(QStringLiteral("1-1-1"));
    TcfItem& node = bench.Node(QStringLiteral("1-1-1"));
    node.partType = 1;
    for (const int memoryType : {0, 1}) {
        node.memoryType = memoryType;
        bench.config.ShowNodeSettings();
        EXPECT_EQ(
            bench.Control(1005).items,
            QStringList({QStringLiteral("SPI"), QStringLiteral("OTP"), QStringLiteral("N/A")}));
        EXPECT_EQ(bench.Control(1005).currentIndex, -1) << memoryType;
    }
}

TEST(ConfigPage, ItemsThatAreNotHubsShowClearedDisabledSettings) {
    PageBench bench;
    bench.Select(QStringLiteral("1-1-2"));
    ASSERT_TRUE(bench.Control(1054).enabled);

    // "My Computer" has no record; 1-1-1-1 is a mouse; 1-1 a controller.
    for (TreeItem* item :
         {bench.sheet.GetTreeCtrl().FirstRootItem(), bench.Item(QStringLiteral("1-1-1-1")),
          bench.Item(QStringLiteral("1-1"))}) {
        bench.sheet.SelectTreeItem(bench.Item(QStringLiteral("1-1-2")));
        bench.sheet.SelectTreeItem(item);
        EXPECT_EQ(bench.Control(1003).text, QStringLiteral("Configuration Settings:"));
        EXPECT_TRUE(bench.Enabled(pagetest::kSettingsControls).empty());
        EXPECT_EQ(bench.Control(1054).currentIndex, 2);
        EXPECT_EQ(bench.Control(1005).CurrentText(), QStringLiteral("N/A"));
        EXPECT_EQ(bench.Control(1020).text, QStringLiteral(" "));
        EXPECT_FALSE(bench.Control(1024).checked);
    }
}

TEST(ConfigPage, CreationFillsTheListsAndShowsDumpOtpOnlyWithTheOption) {
    for (const bool otpDump : {false, true}) {
        PageBench bench(otpDump);
        EXPECT_EQ(bench.Control(1067).visible, otpDump);
        EXPECT_EQ(bench.Control(1054).items.size(), 3);
        EXPECT_EQ(bench.Control(1054).currentIndex, 2);
        EXPECT_EQ(bench.Control(1005).items, QStringList({QStringLiteral("N/A")}));
        EXPECT_EQ(bench.Control(1005).CurrentData(), 4);
        EXPECT_EQ(bench.Control(1041).CurrentText(), QStringLiteral("N/A"));
        EXPECT_EQ(bench.Control(1021).textLimit, 4);
        EXPECT_EQ(bench.Control(1025).textLimit, 2);
        EXPECT_EQ(bench.Control(1022).textLimit, 31);
        EXPECT_TRUE(bench.Enabled(pagetest::kSettingsControls).empty());
    }
}

} // namespace
