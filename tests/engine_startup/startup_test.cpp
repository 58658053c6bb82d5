// Start-up of the main window against the simulated bench: the remembered topology in every
// shape it can have, a missing library, and a library that lacks a start-up export.
#include "app/sheet.h"
#include "tests/support/bench_builder.h"
#include "tests/support/cli_process.h"
#include "tests/support/qt_print.h"
#include "tests/support/sheet_fixture.h"
#include "tests/support/sim_bench.h"
#include "tests/support/tcf_text.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSettings>

namespace {

using namespace testsupport;

const QString kErrorLoading = QStringLiteral("Error loading last saved topology");
const QString kEnumerating = QStringLiteral("Enumeration current topology to configure");
const QString kNoCompatible = QStringLiteral("No compatible last saved topology");

// Controller 0 with an Aster (1-1-1), a keyboard behind it (1-1-1-1) and a Fennel (1-1-2).
QByteArray SmallBench() {
    return BenchJson(
        {BenchController(0, {BenchHub(0, 1, 0, QStringLiteral("5A17"), QStringLiteral("7111")),
                             BenchHub(0, 2, 0, QStringLiteral("5A17"), QStringLiteral("7520")),
                             BenchDevice(0, 3, 1)})});
}

const QStringList kPositions = {QStringLiteral("1-1"), QStringLiteral("1-1-1"),
                                QStringLiteral("1-1-1-1"), QStringLiteral("1-1-2")};

// A topology naming every position of SmallBench: the Aster programs SPI, the Fennel does
// nothing.
QByteArray SmallTopology(const QByteArray& version) {
    return TcfHeader(4, version) + TcfPlainNode(QStringLiteral("1-1")) +
           TcfHubNode(QStringLiteral("1-1-1"), 2, QStringLiteral("Left")) +
           TcfPlainNode(QStringLiteral("1-1-1-1")) + TcfHubNode(QStringLiteral("1-1-2"), 4);
}

// The settings store as the tool keeps it: organisation "Kelvane", application "Tessaro KDX".
void Remember(const QString& path) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Kelvane"),
                       QStringLiteral("Tessaro KDX"));
    settings.setValue(QStringLiteral("DefaultTcf"), path);
    settings.sync();
    ASSERT_EQ(settings.status(), QSettings::NoError);
}

TEST(StartupTest, WithoutARememberedFileEveryHubIsNew) {
    ASSERT_FALSE(UseBench(SmallBench()).isEmpty());
    SheetFixture f;
    EXPECT_TRUE(f.Start());

    EXPECT_EQ(f.window.StatusTexts(kConfigPage),
              QStringList({kErrorLoading, kEnumerating, QStringLiteral("Topoloy changed @ 1-1-1"),
                           QStringLiteral("Topoloy changed @ 1-1-2")}));
    EXPECT_TRUE(f.window.StatusTexts(kProgrammerPage).isEmpty());
    EXPECT_TRUE(f.window.messages.empty());
    EXPECT_EQ(f.window.activePage, kConfigPage);
    EXPECT_FALSE(f.sheet->IsTopologySaved());
    EXPECT_TRUE(f.sheet->GetCurrentTopologyFile().isEmpty());
    for (const QString& topology : kPositions) {
        ASSERT_NE(f.Record(topology), nullptr) << topology.toStdString();
        EXPECT_EQ(f.Record(topology)->GetTopoLogy(), kTopologyNew) << topology.toStdString();
        EXPECT_GE(f.Node(topology), 0) << topology.toStdString();
    }
    EXPECT_EQ(CTCFData::Instance().Count(), kPositions.size());
}

// What the remembered file holds, and what start-up makes of it.
struct RememberedCase {
    const char* name;
    const char* fileName; // written in the working directory; null: the file does not exist
    QByteArray content;
    QStringList firstLines; // the first status lines
    bool loaded;
};

void PrintTo(const RememberedCase& c, std::ostream* out) {
    *out << c.name;
}

class RememberedTopologyTest : public ::testing::TestWithParam<RememberedCase> {};

TEST_P(RememberedTopologyTest, StartupLoadsOnlyAVersion20File) {
    const RememberedCase& c = GetParam();
    ASSERT_FALSE(UseBench(SmallBench()).isEmpty());
    const QString path = QDir::current().absoluteFilePath(QString::fromLatin1(c.fileName));
    if (!c.content.isNull()) {
        ASSERT_TRUE(WriteBytes(path, c.content));
    }
    Remember(path);

    SheetFixture f;
    EXPECT_TRUE(f.Start());

    const QStringList lines = f.window.StatusTexts(kConfigPage);
    EXPECT_EQ(lines.mid(0, c.firstLines.size()), c.firstLines);
    EXPECT_TRUE(f.window.messages.empty());
    EXPECT_EQ(f.sheet->IsTopologySaved(), c.loaded);
    EXPECT_EQ(f.sheet->GetCurrentTopologyFile(), c.loaded ? path : QString());
    if (c.loaded) {
        EXPECT_EQ(lines, QStringList());
        EXPECT_EQ(f.Record(QStringLiteral("1-1-1"))->GetTopoLogy(), kTopologyWithOperation);
        EXPECT_EQ(f.Record(QStringLiteral("1-1-2"))->GetTopoLogy(), kTopologyNoOperation);
        EXPECT_EQ(f.Item(QStringLiteral("1-1-1"))->Text(), QStringLiteral("Left"));
    } else {
        // Built without topology matches: every hub is new and reported as such.
        EXPECT_EQ(lines.mid(c.firstLines.size()),
                  QStringList({QStringLiteral("Topoloy changed @ 1-1-1"),
                               QStringLiteral("Topoloy changed @ 1-1-2")}));
        for (const QString& topology : kPositions) {
            EXPECT_EQ(f.Record(topology)->GetTopoLogy(), kTopologyNew) << topology.toStdString();
        }
        EXPECT_EQ(f.Item(QStringLiteral("1-1-1"))->Text(), QStringLiteral("Aster"));
    }
    // Start-up reads the remembered file; it never writes it.
    if (!c.content.isNull()) {
        EXPECT_EQ(ReadBytes(path), c.content);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Variants, RememberedTopologyTest,
    ::testing::Values(
        RememberedCase{"Version20", "saved.tcf", SmallTopology("2.0"), {}, true},
        RememberedCase{
            "Version200", "saved.tcf", SmallTopology("2.00"), {kNoCompatible, kEnumerating}, false},
        RememberedCase{
            "Version21", "saved.tcf", SmallTopology("2.1"), {kNoCompatible, kEnumerating}, false},
        RememberedCase{"NoVersion",
                       "saved.tcf",
                       "[Header]\r\nCount=1\r\n" + TcfHubNode(QStringLiteral("1-1-1"), 2),
                       {kNoCompatible, kEnumerating},
                       false},
        RememberedCase{"FileGone", "gone.tcf", QByteArray(), {kNoCompatible, kEnumerating}, false},
        RememberedCase{"NoNodes", "saved.tcf", TcfHeader(0), {kErrorLoading, kEnumerating}, false}),
    [](const ::testing::TestParamInfo<RememberedCase>& param) {
        return std::string(param.param.name);
    });

TEST(StartupTest, MissingLibraryShowsOneMessageAndLeavesTheTreeEmpty) {
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("no-libraries")));
    qputenv("TESSARO_LIB_DIR",
            QDir::current().absoluteFilePath(QStringLiteral("no-libraries")).toLocal8Bit());
    SheetFixture f;
    EXPECT_FALSE(f.Start());

    ASSERT_EQ(f.window.MessageTexts(),
              QStringList({QStringLiteral("Error Loading programmer module\n")}));
    EXPECT_EQ(f.window.messages[0].icon, MessageIcon::None);
    EXPECT_TRUE(f.sheet->StartupFatalError().isEmpty()); // the window stays open
    EXPECT_EQ(f.sheet->libraryModule, nullptr);
    EXPECT_EQ(f.sheet->GetTreeCtrl().TopLevelCount(), 0);
    EXPECT_TRUE(f.sheet->DeviceTable().empty());
    EXPECT_EQ(f.window.StatusTexts(kConfigPage), QStringList({kErrorLoading, kEnumerating}));

    // The window keeps working without a library: New leaves the root item alone.
    f.sheet->OnTopologyView();
    EXPECT_EQ(f.TreeLines(), QStringList({QStringLiteral("My Computer")}));
    EXPECT_TRUE(f.sheet->DeviceTable().empty());
    EXPECT_FALSE(f.sheet->GetProgrammerStatus());
    EXPECT_TRUE(f.sheet->ConfirmClose());
    EXPECT_EQ(f.window.messages.size(), 1U);
}

TEST(StartupTest, RunnerWithoutTheLibraryEndsWithTheMessageOnce) {
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("no-libraries")));
    const CliResult result =
        RunCli({QStringLiteral("tree")},
               {{QStringLiteral("TESSARO_LIB_DIR"),
                 QDir::current().absoluteFilePath(QStringLiteral("no-libraries"))}});
    ASSERT_TRUE(result.finished);
    EXPECT_FALSE(result.crashed);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err.count(QStringLiteral("Error Loading programmer module")), 1)
        << result.err.toStdString();
    EXPECT_FALSE(result.out.contains(QStringLiteral("My Computer")));
}

// A library lacking one export that start-up resolves.
struct MissingExportCase {
    const char* folder; // below bin/fake-hub
    const char* text;   // the error text start-up ends with
};

void PrintTo(const MissingExportCase& c, std::ostream* out) {
    *out << c.folder;
}

class MissingExportTest : public ::testing::TestWithParam<MissingExportCase> {
protected:
    static QString FakeFolder(const char* folder) {
        return QDir(QString::fromLocal8Bit(qgetenv("TESSARO_LIB_DIR")))
            .absoluteFilePath(QStringLiteral("fake-hub/") + QString::fromLatin1(folder));
    }
};

TEST_P(MissingExportTest, StartupIsAbandonedWithTheErrorText) {
    const MissingExportCase& c = GetParam();
    const QString folder = FakeFolder(c.folder);
    ASSERT_TRUE(QDir(folder).exists(QStringLiteral("libTessaroKDXLib.so"))) << folder.toStdString();
    qputenv("TESSARO_LIB_DIR", folder.toLocal8Bit());

    SheetFixture f;
    EXPECT_FALSE(f.Start());
    EXPECT_EQ(f.sheet->StartupFatalError(), QString::fromLatin1(c.text));
    EXPECT_TRUE(f.window.MessageTexts().contains(QString::fromLatin1(c.text)));
    EXPECT_EQ(f.sheet->GetTreeCtrl().TopLevelCount(), 0);
    EXPECT_TRUE(f.sheet->DeviceTable().empty());
    f.Close(); // shut-down after the abandoned start-up is clean
}

TEST_P(MissingExportTest, RunnerShowsTheErrorTextAndEndsCleanly) {
    const MissingExportCase& c = GetParam();
    const CliResult result = RunCli({QStringLiteral("tree")},
                                    {{QStringLiteral("TESSARO_LIB_DIR"), FakeFolder(c.folder)}});
    ASSERT_TRUE(result.finished);
    EXPECT_FALSE(result.crashed);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains(QString::fromLatin1(c.text))) << result.err.toStdString();
    EXPECT_FALSE(result.out.contains(QStringLiteral("My Computer")));
}

INSTANTIATE_TEST_SUITE_P(
    Exports, MissingExportTest,
    ::testing::Values(
        MissingExportCase{"NoCreate", "Cannot get the address of CreateDeviceTreeUI function"},
        MissingExportCase{"NoFinished",
                          "Cannot get address of FinishedUsingDeviceTreeUI function"}),
    [](const ::testing::TestParamInfo<MissingExportCase>& param) {
        return std::string(param.param.folder);
    });

} // namespace
