// The configuration page's handlers: what each writes into the node, when it marks the
// topology unsaved, the browse dialog and the serial Set and Reset with their messages.
#include "app/command_line.h"
#include "page_bench.h"
#include "qt_print.h"
#include "topology/serial_scheme.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace {

using pagetest::PageBench;

// The Fennel hub at 1-1-2, selected, with a complete OTP node and a set scheme; the topology
// counts as saved.
class ConfigHandlers : public ::testing::Test {
protected:
    void SetUp() override {
        bench.Select(QStringLiteral("1-1-2"));
        TcfItem& n = node();
        n.partType = 0;
        n.memoryType = 3;
        n.programRequired = true;
        n.verify = true;
        n.configFile = QStringLiteral("/x/f.cfg");
        n.serialType = 2;
        n.serialAlpha = QStringLiteral("KDX");
        n.serialStart = QStringLiteral("0001");
        n.serialMax = QStringLiteral("9999");
        n.serialCurrent = QStringLiteral("0007");
        n.serialIncrement = 1;
        n.serialParamsSet = true;
        bench.config.ShowNodeSettings();
        bench.sheet.SetTopologySaved(true);
    }
    TcfItem& node() { return bench.Node(QStringLiteral("1-1-2")); }
    bool saved() const { return bench.sheet.IsTopologySaved(); }

    PageBench bench;
};

TEST_F(ConfigHandlers, PartNumberResetsTheMemoryTypeAndKeepsTheRest) {
    bench.config.OnCbnSelchangeComboParttype(0); // the same part: nothing happens
    EXPECT_TRUE(saved());
    EXPECT_EQ(node().memoryType, 3);

    bench.config.OnCbnSelchangeComboParttype(1);
    EXPECT_FALSE(saved());
    EXPECT_EQ(node().partType, 1);
    EXPECT_EQ(node().memoryType, 4);
    EXPECT_TRUE(node().configComplete);
    EXPECT_TRUE(node().programRequired);
    EXPECT_TRUE(node().verify);
    EXPECT_EQ(node().configFile, QStringLiteral("/x/f.cfg"));
    EXPECT_EQ(node().serialType, 2);
    EXPECT_TRUE(node().serialParamsSet);
    EXPECT_EQ(bench.Control(1005).items.size(), 3);
    EXPECT_EQ(bench.Control(1005).CurrentText(), QStringLiteral("N/A"));
    EXPECT_FALSE(bench.Control(1024).enabled);
}

TEST_F(ConfigHandlers, MemoryTypeClearsOperationFileAndSerialTypeButNotTheSchemeFlag) {
    // Entries carry their codes: position 2 of the Fennel list is "SPI" (2).
    bench.config.OnCbnSelchangeComboMemtype(2);
    EXPECT_FALSE(saved());
    EXPECT_EQ(node().memoryType, 2);
    EXPECT_FALSE(node().programRequired);
    EXPECT_FALSE(node().verify);
    EXPECT_TRUE(node().configFile.isEmpty());
    EXPECT_EQ(node().serialType, 3);
    EXPECT_TRUE(node().serialParamsSet);
    EXPECT_FALSE(node().configComplete);

    bench.config.OnCbnSelchangeComboMemtype(4); // "N/A"
    EXPECT_EQ(node().memoryType, 4);
    EXPECT_TRUE(node().configComplete);
}

TEST_F(ConfigHandlers, ProgramAndVerifyWriteThroughAndProgramDropsTheSerialType) {
    bench.config.OnBnClickedCheckVerifyimage(true); // unchanged
    EXPECT_TRUE(saved());

    bench.config.OnBnClickedCheckVerifyimage(false);
    EXPECT_FALSE(saved());
    EXPECT_FALSE(node().verify);
    EXPECT_EQ(node().serialType, 2);

    bench.config.OnBnClickedCheckProgram(false);
    EXPECT_FALSE(node().programRequired);
    EXPECT_EQ(node().serialType, 3);
    // Neither program nor verify: the file controls go.
    EXPECT_FALSE(bench.Control(1020).enabled);
    EXPECT_FALSE(node().configComplete);
}

TEST_F(ConfigHandlers, SerialTypeChangeForgetsTheScheme) {
    bench.config.OnCbnSelchangeComboSerialType(1);
    EXPECT_FALSE(saved());
    EXPECT_EQ(node().serialType, 1);
    EXPECT_FALSE(node().serialParamsSet);
    EXPECT_TRUE(node().serialAlpha.isEmpty());
    EXPECT_TRUE(node().serialStart.isEmpty());
    EXPECT_EQ(node().serialIncrement, 1);
    EXPECT_TRUE(node().serialHexFormat);
    EXPECT_TRUE(bench.Control(1049).enabled);
    EXPECT_EQ(bench.Control(1025).text, QStringLiteral("1"));
}

TEST_F(ConfigHandlers, SetAcceptsAValidSchemeAndLocksIt) {
    bench.config.OnCbnSelchangeComboSerialType(1); // hex
    EXPECT_EQ(bench.config.OnEditChanged(1021, QStringLiteral("ab")), QStringLiteral("AB"));
    bench.config.OnEditChanged(1022, QStringLiteral("00fe"));
    bench.config.OnEditChanged(1023, QStringLiteral("0fff"));
    bench.config.OnEditChanged(1025, QStringLiteral("2"));
    bench.window.Clear();

    bench.config.OnBnClickedButtonSet();
    EXPECT_TRUE(bench.window.messages.empty());
    EXPECT_TRUE(node().serialParamsSet);
    EXPECT_EQ(node().serialAlpha, QStringLiteral("AB"));
    EXPECT_EQ(node().serialStart, QStringLiteral("00FE"));
    EXPECT_EQ(node().serialMax, QStringLiteral("0FFF"));
    EXPECT_EQ(node().serialCurrent, QStringLiteral("00FE"));
    EXPECT_EQ(node().serialIncrement, 2);
    EXPECT_EQ(bench.Control(1051).text, QStringLiteral("AB00FE"));
    EXPECT_FALSE(bench.Control(1049).enabled);
    EXPECT_TRUE(bench.Control(1048).enabled);
    EXPECT_FALSE(bench.Control(1021).enabled);
    EXPECT_TRUE(node().configComplete);
}

TEST_F(ConfigHandlers, SetRefusesAnEmptyIncrementAndKeepsTheTypedTexts) {
    bench.config.OnCbnSelchangeComboSerialType(1);
    bench.config.OnEditChanged(1021, QStringLiteral("K"));
    bench.config.OnEditChanged(1022, QStringLiteral("1"));
    bench.config.OnEditChanged(1023, QStringLiteral("9"));
    bench.config.OnEditChanged(1025, QString());
    bench.window.Clear();

    bench.config.OnBnClickedButtonSet();
    ASSERT_EQ(bench.window.messages.size(), 1u);
    const MessageRequest& message = bench.window.messages.front();
    EXPECT_EQ(message.text, QStringLiteral("Error Serial Data: ") +
                                QString::fromLatin1(SerialErrorText[SERIAL_BAD_INCREMENT]));
    EXPECT_EQ(message.icon, MessageIcon::None);
    EXPECT_EQ(message.buttons, MessageButtons::Ok);
    EXPECT_FALSE(node().serialParamsSet);
    EXPECT_TRUE(node().serialAlpha.isEmpty());
    EXPECT_EQ(bench.Control(1021).text, QStringLiteral("K"));
    EXPECT_TRUE(bench.Control(1049).enabled);
}

TEST_F(ConfigHandlers, ResetAsksWhileASchemeIsSetAndCancelKeepsIt) {
    bench.window.messageAnswers.push_back(MessageAnswer::Cancel);
    bench.config.OnBnClickedButtonReset();
    ASSERT_EQ(bench.window.messages.size(), 1u);
    EXPECT_EQ(
        bench.window.messages[0].text,
        QStringLiteral("All current serial settings will be deleted\nDo you want to continue"));
    EXPECT_EQ(bench.window.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(bench.window.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(node().serialParamsSet);
    EXPECT_TRUE(saved());

    bench.window.messageAnswers.push_back(MessageAnswer::Ok);
    bench.config.OnBnClickedButtonReset();
    EXPECT_FALSE(saved());
    EXPECT_FALSE(node().serialParamsSet);
    EXPECT_TRUE(node().serialStart.isEmpty());
    EXPECT_EQ(node().serialType, 2);
    EXPECT_TRUE(bench.Control(1049).enabled);

    // Without a set scheme Reset does not ask.
    bench.window.Clear();
    bench.config.OnBnClickedButtonReset();
    EXPECT_TRUE(bench.window.messages.empty());
}

TEST(ConfigBrowse, FilterFollowsPartAndMemoryType) {
    struct Case {
        int part;
        int memory;
        const char* filter;
    };
    const Case cases[] = {
        {0, 0, "Configuration File (*.cfg)"}, {0, 3, "Configuration File (*.cfg)"},
        {0, 2, "Binary File (*.bin)"},        {0, 1, "Binary File (*.bin)"},
        {1, 3, "Binary File (*.bin)"},        {2, 4, "Configuration File (*.cfg)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ConfigPageModel::BrowseFilter(c.part, c.memory), QString::fromLatin1(c.filter))
            << c.part << "/" << c.memory;
    }
}

TEST_F(ConfigHandlers, BrowseWritesANewFileOnly) {
    const QString same = node().configFile;
    bench.window.fileAnswers.push_back(same);
    bench.config.OnBnClickedButtonBrowse();
    ASSERT_EQ(bench.window.fileRequests.size(), 1u);
    const FileDialogRequest& request = bench.window.fileRequests.front();
    EXPECT_EQ(request.kind, FileDialogRequest::Kind::Open);
    EXPECT_EQ(request.filters, QStringList({QStringLiteral("Configuration File (*.cfg)")}));
    EXPECT_TRUE(request.mustExist);
    EXPECT_TRUE(request.defaultExtension.isEmpty());
    EXPECT_TRUE(saved()); // the same file changes nothing

    bench.config.OnBnClickedButtonBrowse(); // cancelled
    EXPECT_TRUE(saved());
    EXPECT_EQ(node().configFile, same);

    const QString chosen = QDir::current().absoluteFilePath(QStringLiteral("other.cfg"));
    bench.window.fileAnswers.push_back(chosen);
    bench.config.OnBnClickedButtonBrowse();
    EXPECT_FALSE(saved());
    EXPECT_EQ(node().configFile, chosen);
    EXPECT_EQ(bench.Control(1020).text, chosen);
}

TEST_F(ConfigHandlers, BrowseRefusesAPathTheTopologyFileCannotHold) {
    const QString longest = QStringLiteral("/") + QString(258, u'a');
    const QString tooLong = QStringLiteral("/") + QString(259, u'b');
    bench.window.fileAnswers.push_back(tooLong);
    bench.config.OnBnClickedButtonBrowse();
    ASSERT_EQ(bench.window.messages.size(), 1u);
    EXPECT_EQ(bench.window.messages[0].text, QString::fromLatin1(ConfigPageModel::kPathTooLong));
    EXPECT_EQ(node().configFile, QStringLiteral("/x/f.cfg"));
    EXPECT_EQ(bench.Control(1020).text, QStringLiteral("/x/f.cfg"));
    EXPECT_TRUE(saved());

    bench.window.fileAnswers.push_back(longest); // 259 characters fit
    bench.config.OnBnClickedButtonBrowse();
    EXPECT_EQ(node().configFile, longest);
    EXPECT_EQ(bench.window.messages.size(), 1u);
}

TEST(ConfigHandlersWithoutSelection, DoNothing) {
    PageBench bench;
    const int before = CTCFData::Instance().Count();
    bench.config.OnCbnSelchangeComboParttype(0);
    bench.config.OnCbnSelchangeComboMemtype(0);
    bench.config.OnBnClickedCheckProgram(true);
    bench.config.OnBnClickedButtonBrowse();
    bench.config.OnBnClickedButtonSet();
    bench.config.OnBnClickedButtonReset();
    EXPECT_TRUE(bench.window.messages.empty());
    EXPECT_TRUE(bench.window.fileRequests.empty());
    EXPECT_EQ(CTCFData::Instance().Count(), before);
}

TEST(ConfigDumpOtp, WritesStartAndFinishToTheConfigurationStatusBox) {
    commandline::SetOtpDumpFlag(true);
    PageBench bench(true);
    bench.config.OnBnClickedButtonDumpOtp();
    const QString text = bench.config.Status().Text();
    EXPECT_TRUE(text.contains(QStringLiteral(
        "Starting OTP DUMP. Please Wait until \"Finished OTPDump\" message...\r\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("Finished OTPDump\r\n")));
}

} // namespace
