// Starting and stopping runs: START while one runs, a topology with nothing to do, a missing
// parser library.
#include "run_fixture.h"

#include "app/device_event.h"
#include "tests/support/event_blocks.h"
#include "tests/support/pumping_window.h"

#include <QFile>

using namespace Qt::Literals::StringLiterals;

namespace testsupport {
namespace {

class RunControlTest : public EngineRunTest {};

QStringList TraceLinesWith(const QString& part) {
    QFile log(QDir::current().absoluteFilePath(u"TessaroKDXToolLog.txt"_s));
    QStringList lines;
    if (!log.open(QIODevice::ReadOnly)) {
        return lines;
    }
    while (!log.atEnd()) {
        const QString line = QString::fromUtf8(log.readLine()).trimmed();
        if (line.contains(part)) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST_F(RunControlTest, StartWhileRunningIsRefusedAndPreparesNothing) {
    ASSERT_TRUE(StartOnOneSchemeHub());
    ASSERT_TRUE(S().ChooseOption(false));
    ASSERT_TRUE(Sheet().StartProgramming());
    ASSERT_TRUE(Sheet().GetProgrammerStatus());

    const std::size_t mark = S().Mark();
    EXPECT_FALSE(Sheet().StartProgramming());
    ASSERT_GE(S().LinesSince(mark).size(), 1);
    EXPECT_EQ(S().LinesSince(mark).front(), u"Programming could not be started"_s);
    EXPECT_TRUE(S().LinesWith(u"Current Serial Number"_s, mark).isEmpty());
    EXPECT_EQ(FileCurrent(u"1-1-1"_s), u"0002"_s);

    // Leaving the execution page is refused while the run goes on.
    EXPECT_FALSE(Sheet().RequestActivePage(kConfigPage));
    EXPECT_EQ(W().messages.back().text, u"Stop Programming before modifying the configuration"_s);

    ASSERT_TRUE(PumpUntil([&] {
        return !S().LinesWith(u"Status of H1 : Programmed and Verified Successfully"_s).isEmpty();
    }));
    ASSERT_TRUE(S().StopAndWait());
    EXPECT_EQ(Sheet().LastRun().endResult, 0);
    EXPECT_GE(W().startButtonShown, 1);
    EXPECT_EQ(AcceptedSerials(ReadProgrammingRecord()), QStringList({u"KDX0001"_s}));
}

TEST_F(RunControlTest, TopologyWithoutOperationsStartsTheManagerWithNothingToDo) {
    SimBenchJson bench;
    SimBoard second;
    second.position = 2;
    bench.Add(SimBoard{}).Add(second);
    ASSERT_TRUE(StartOn(bench, {TopologyNode::Controller(u"1-1"_s),
                                TopologyNode::Hub(u"1-1-1"_s, u"H1"_s, 4, QString(), false, false),
                                TopologyNode::Hub(u"1-1-2"_s, u"H2"_s, 4, QString(), true, true)}));
    ASSERT_TRUE(S().ChooseOption(true));

    const std::size_t mark = S().Mark();
    ASSERT_TRUE(S().RunToEnd());
    EXPECT_EQ(S().LinesSince(mark),
              QStringList({u"Started programming"_s, u"Started Programming"_s,
                           u"No device available for operation"_s, u"Finish Programming"_s}));
    EXPECT_EQ(Sheet().LastRun().endResult, 1);
    EXPECT_TRUE(W().messages.empty());
    EXPECT_GE(W().startButtonShown, 1);
    EXPECT_EQ(TraceLinesWith(u"Preparing Devices"_s).size(), 2);
    EXPECT_TRUE(
        TraceLinesWith(u"Preparing Devices"_s).front().endsWith(u"Begin : Preparing Devices"_s));
    EXPECT_TRUE(
        TraceLinesWith(u"Preparing Devices"_s).back().endsWith(u"End : Preparing Devices"_s));
    EXPECT_TRUE(TraceLinesWith(u"Setting Config Block"_s).isEmpty());
    EXPECT_TRUE(ReadProgrammingRecord().empty());
}

TEST_F(RunControlTest, MissingParserLibraryIsReportedAndNothingStarts) {
    // A library folder with the hub library only.
    const QString libs = QDir::current().absoluteFilePath(u"libs"_s);
    ASSERT_TRUE(QDir().mkpath(libs));
    ASSERT_TRUE(QFile::link(QStringLiteral(TESSARO_BIN_DIR "/libTessaroKDXLib.so"),
                            libs + u"/libTessaroKDXLib.so"_s));
    qputenv("TESSARO_LIB_DIR", libs.toLocal8Bit());
    ASSERT_TRUE(StartOnOneSchemeHub());
    ASSERT_TRUE(S().ChooseOption(true));

    const std::size_t mark = S().Mark();
    EXPECT_FALSE(Sheet().StartProgramming());
    EXPECT_EQ(W().MessageTexts(),
              QStringList({u"Failed Loading ConfigParser DLL in SetConfigBlock in CDeviceData"_s}));
    EXPECT_TRUE(S().LinesSince(mark).isEmpty());
    EXPECT_FALSE(Sheet().GetProgrammerStatus());
    EXPECT_EQ(FileCurrent(u"1-1-1"_s), u"0001"_s);
}

using PumpingRunControlTest = EngineRunTestBase<PumpingWindow>;

// A message box during START runs a nested event loop; a board that leaves meanwhile is
// handled only after the preparation is over, so the preparation never finds its device
// records rebuilt under it.
TEST_F(PumpingRunControlTest, TreeRebuiltWhileAPreparationMessageIsOpen) {
    const QString cfg = CopyExampleFile(u"fennel.cfg"_s);
    SimBoard first;
    SimBoard second;
    second.position = 2;
    SimBenchJson bench;
    bench.Add(first).Add(second);
    ASSERT_TRUE(
        StartOn(bench, {TopologyNode::Controller(u"1-1"_s), SchemeHub(u"1-1-1"_s, u"H1"_s, cfg),
                        SchemeHub(u"1-1-2"_s, u"H2"_s, cfg, u"DONE"_s)}));
    ASSERT_TRUE(S().ChooseOption(true));

    const std::size_t mark = S().Mark();
    DeviceStatusNotifier(MakeTextBlock(second.Path()), 3);
    EXPECT_FALSE(Sheet().StartProgramming());
    EXPECT_EQ(W().MessageTexts(),
              QStringList({u"1-1-2 : Error Serial Generation : Max serial number reached"_s}));
    // The removal waits until the preparation is over; then it rebuilds the tree.
    EXPECT_FALSE(S().LinesSince(mark).contains(u"Device Removed"_s));
    EXPECT_TRUE(PumpUntil([&] { return S().LinesSince(mark).contains(u"Device Removed"_s); }));
    EXPECT_FALSE(Sheet().GetProgrammerStatus());
    EXPECT_EQ(FileCurrent(u"1-1-1"_s), u"0001"_s);
}

} // namespace
} // namespace testsupport
