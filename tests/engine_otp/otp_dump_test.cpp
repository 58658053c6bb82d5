// The OTP dump service command against the simulated bench: its status lines, the dump files
// the library writes into the simulated state, and the hubs it cannot dump.
#include "app/command_line.h"
#include "app/sheet.h"
#include "tests/support/bench_builder.h"
#include "tests/support/cli_process.h"
#include "tests/support/qt_print.h"
#include "tests/support/sheet_fixture.h"
#include "tests/support/sim_bench.h"
#include "tests/support/tcf_text.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

namespace {

using namespace testsupport;

QString S(const char* text) {
    return QString::fromUtf8(text);
}

const QString kStarting =
    QStringLiteral("Starting OTP DUMP. Please Wait until \"Finished OTPDump\" message...");
const QString kFinished = QStringLiteral("Finished OTPDump");

// Hubs 1-1-1 (position 1), 1-1-2 (position 3, a Fennel) and 1-2-1; a keyboard at 1-1-1-1.
QByteArray ThreeHubBench(const QJsonArray& timeline = {}) {
    return BenchJson({BenchController(0, {BenchHub(0, 1, 0), BenchDevice(0, 2, 1),
                                          BenchHub(0, 3, 0, S("5A17"), S("7520"))}),
                      BenchController(1, {BenchHub(1, 1, 0)})},
                     timeline);
}

QDir DumpFolder() {
    return QDir(QString::fromLocal8Bit(qgetenv("TESSARO_SIM_STATE")) + S("/otp-dumps"));
}

QStringList DumpFiles() {
    return DumpFolder().entryList(QDir::Files, QDir::Name);
}

QString DumpFileOf(const char* topology, int controller, int position) {
    return S(topology) + u'_' + BenchUuid(controller, position) + S(".txt");
}

QString FailedLine(const char* topology, int controller, int device) {
    return QStringLiteral("%1: Controller %2, Device %3 : Dump OTP Failed")
        .arg(S(topology))
        .arg(controller)
        .arg(device);
}

TEST(OtpDumpTest, EveryHubIsDumpedBetweenTheStartAndFinishLines) {
    ASSERT_FALSE(UseBench(ThreeHubBench()).isEmpty());
    commandline::SetOtpDumpFlag(true);
    SheetFixture f;
    ASSERT_TRUE(f.Start());
    f.window.Clear();

    f.sheet->DumpAllOTP();

    EXPECT_EQ(f.window.StatusTexts(kConfigPage), QStringList({kStarting, kFinished}));
    EXPECT_TRUE(f.window.StatusTexts(kProgrammerPage).isEmpty());
    EXPECT_TRUE(f.window.messages.empty());
    EXPECT_EQ(DumpFiles(), QStringList({DumpFileOf("1-1-1", 0, 1), DumpFileOf("1-1-2", 0, 3),
                                        DumpFileOf("1-2-1", 1, 1)}));
    // The library got the hub's path, name and topology string.
    const QString dump =
        QString::fromUtf8(ReadBytes(DumpFolder().absoluteFilePath(DumpFileOf("1-1-2", 0, 3))));
    EXPECT_TRUE(dump.contains(S("Device name:   Fennel\n"))) << dump.toStdString();
    EXPECT_TRUE(dump.contains(S("Port name:     1-1-2\n"))) << dump.toStdString();
    EXPECT_TRUE(dump.contains(S("Device path:   ") + BenchDevicePath(0, 3) + u'\n'))
        << dump.toStdString();
}

TEST(OtpDumpTest, LinesGoToTheConfigurationPageWhicheverPageIsInFront) {
    ASSERT_FALSE(UseBench(ThreeHubBench()).isEmpty());
    const QString file = QDir::current().absoluteFilePath(S("saved.tcf"));
    ASSERT_TRUE(WriteBytes(file, TcfHeader(1) + TcfHubNode(S("1-1-1"))));
    commandline::SetOtpDumpFlag(false);
    SheetFixture f;
    ASSERT_TRUE(f.Start());
    ASSERT_EQ(f.sheet->LoadTopologyFile(file), CSheet::LoadResult::Loaded);
    f.sheet->SetTopologySaved(true);
    ASSERT_TRUE(f.sheet->RequestActivePage(kProgrammerPage));
    f.window.Clear();

    f.sheet->DumpAllOTP();

    EXPECT_TRUE(f.window.StatusTexts(kProgrammerPage).isEmpty());
    // Without "/dumpotp" every hub fails; the keyboard is passed over silently.
    EXPECT_EQ(f.window.StatusTexts(kConfigPage),
              QStringList({kStarting, FailedLine("1-1-1", 0, 1), FailedLine("1-1-2", 0, 3),
                           FailedLine("1-2-1", 1, 1), kFinished}));
    EXPECT_TRUE(f.window.messages.empty());
    EXPECT_TRUE(DumpFiles().isEmpty());
}

TEST(OtpDumpTest, WithoutHubsOnlyTheTwoLinesAreWritten) {
    ASSERT_FALSE(
        UseBench(BenchJson({BenchController(0, {BenchDevice(0, 1, 0), BenchDevice(0, 2, 0)})}))
            .isEmpty());
    commandline::SetOtpDumpFlag(true);
    SheetFixture f;
    ASSERT_TRUE(f.Start());
    f.window.Clear();
    f.sheet->DumpAllOTP();
    EXPECT_EQ(f.window.StatusTexts(), QStringList({kStarting, kFinished}));
    EXPECT_TRUE(DumpFiles().isEmpty());
}

TEST(OtpDumpTest, WithoutControllersOnlyTheTwoLinesAreWritten) {
    ASSERT_FALSE(UseBench(BenchJson({})).isEmpty());
    commandline::SetOtpDumpFlag(true);
    SheetFixture f;
    ASSERT_TRUE(f.Start());
    f.window.Clear();
    f.sheet->DumpAllOTP();
    EXPECT_EQ(f.window.StatusTexts(), QStringList({kStarting, kFinished}));
}

// A hub that left the bench after the last enumeration: the library's tree no longer has it,
// while the table still holds its record (its removal event is not handled yet).
TEST(OtpDumpTest, HubMissingFromTheLibraryTreeGetsOneFailureLine) {
    ASSERT_FALSE(UseBench(ThreeHubBench({BenchRemoval(0, BenchDevicePath(0, 3))})).isEmpty());
    commandline::SetOtpDumpFlag(true);
    SheetFixture f;
    ASSERT_TRUE(f.Start());
    // The bench plays its timeline once the programmer manager runs; an automated run with
    // nothing to program keeps it running.
    f.sheet->SetExecutionOption(false);
    ASSERT_TRUE(f.sheet->StartProgramming());
    const QString removed = BenchDevicePath(0, 3);
    QDeadlineTimer deadline(20000);
    int controller = 0;
    int position = 0;
    while (f.sheet->GetNodeIndexFromDevicePath(removed, controller, position)) {
        ASSERT_FALSE(deadline.hasExpired()) << "the bench did not remove the hub";
        QThread::msleep(5);
    }
    ASSERT_NE(f.Record(S("1-1-2")), nullptr);
    f.window.Clear();

    f.sheet->DumpAllOTP();

    EXPECT_EQ(f.window.StatusTexts(kConfigPage),
              QStringList({kStarting, FailedLine("1-1-2", 0, 3), kFinished}));
    EXPECT_EQ(DumpFiles(), QStringList({DumpFileOf("1-1-1", 0, 1), DumpFileOf("1-2-1", 1, 1)}));

    ASSERT_TRUE(f.sheet->StopProgramming());
    ASSERT_TRUE(PumpUntil([&] { return f.sheet->LastRun().ended; }, 20000));
    EXPECT_EQ(f.Record(S("1-1-2")), nullptr); // the removal was handled meanwhile
}

TEST(OtpDumpTest, RunnerDumpsTheDefaultBench) {
    const CliResult result = RunCli({S("dumpotp")});
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines.contains(kStarting));
    EXPECT_EQ(lines.last(), kFinished);
    EXPECT_FALSE(result.out.contains(S("Dump OTP Failed"))) << result.out.toStdString();
    EXPECT_EQ(DumpFiles().size(), 12) << DumpFiles().join(u' ').toStdString();
}

} // namespace
