// Serial numbers through whole runs: the hand-out, the write-back of the counters at the end
// of a run, exhausted schemes, UUID serials, and what happens when a counter cannot be saved.
#include "run_fixture.h"

#include <QDir>
#include <QFile>

using namespace Qt::Literals::StringLiterals;

namespace testsupport {
namespace {

class SerialRunTest : public EngineRunTest {};

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Turns the topology file in use into a folder of the same name: every write to it fails.
bool BlockTopologyFile(const QString& path) {
    return QFile::remove(path) && QDir().mkdir(path);
}

TEST_F(SerialRunTest, DecimalSchemeRunsToDoneAndThenReportsMaxReached) {
    const QString cfg = CopyExampleFile(u"fennel.cfg"_s);
    SimBenchJson bench;
    bench.Add(SimBoard{});
    TopologyNode hub = TopologyNode::Hub(u"1-1-1"_s, u"H1"_s, 0, cfg, true, true);
    hub.Scheme(false, u"KDX"_s, u"0001"_s, u"0003"_s, u"0001"_s);
    ASSERT_TRUE(StartOn(bench, {TopologyNode::Controller(u"1-1"_s), hub}));
    ASSERT_TRUE(S().ChooseOption(true));
    const QByteArray original = ReadAll(tcf);

    std::size_t mark = S().Mark();
    ASSERT_TRUE(S().RunToEnd());
    EXPECT_EQ(
        S().LinesSince(mark),
        QStringList({u"1-1-1 : Current Serial Number : KDX0001"_s, u"Started programming"_s,
                     u"Started Programming"_s, u"Status of H1 changed to Programming"_s,
                     u"Status of H1 : Programming and Verifying"_s, u"Status of H1 : Verifying"_s,
                     u"Status of H1 : Programmed and Verified Successfully"_s,
                     u"Finish Programming"_s}));
    EXPECT_EQ(Sheet().LastRun().endResult, 0);
    EXPECT_GE(W().startButtonShown, 1);
    // Only the counter changed in the file.
    QByteArray expected = original;
    expected.replace("SERCURRENT=0001", "SERCURRENT=0002");
    EXPECT_EQ(ReadAll(tcf), expected);

    for (const QString& next : {u"KDX0002"_s, u"KDX0003"_s}) {
        mark = S().Mark();
        ASSERT_TRUE(S().RunToEnd());
        EXPECT_TRUE(S().LinesSince(mark).contains(u"1-1-1 : Current Serial Number : "_s + next));
        EXPECT_EQ(Sheet().LastRun().endResult, 0);
    }
    EXPECT_EQ(FileCurrent(u"1-1-1"_s), u"DONE"_s);
    EXPECT_EQ(NodeCurrent(u"1-1-1"_s), u"DONE"_s);
    EXPECT_TRUE(W().messages.empty()) << W().MessageTexts().join(u'|').toStdString();

    mark = S().Mark();
    EXPECT_FALSE(Sheet().StartProgramming());
    EXPECT_EQ(W().MessageTexts(),
              QStringList({u"1-1-1 : Error Serial Generation : Max serial number reached"_s}));
    EXPECT_FALSE(S().LinesSince(mark).contains(u"Started programming"_s));
    EXPECT_FALSE(Sheet().GetProgrammerStatus());
    EXPECT_EQ(FileCurrent(u"1-1-1"_s), u"DONE"_s);

    EXPECT_EQ(AcceptedSerials(ReadProgrammingRecord()),
              QStringList({u"KDX0001"_s, u"KDX0002"_s, u"KDX0003"_s}));
}

TEST_F(SerialRunTest, HexSchemeCarriesIntoTheNextDigit) {
    const QString cfg = CopyExampleFile(u"fennel.cfg"_s);
    SimBenchJson bench;
    bench.Add(SimBoard{});
    TopologyNode hub = TopologyNode::Hub(u"1-1-1"_s, u"H1"_s, 3, cfg, true, false);
    hub.Scheme(true, u"HX"_s, u"00FE"_s, u"0100"_s, u"00FE"_s);
    ASSERT_TRUE(StartOn(bench.Set(u"otpWrites"_s, 10), {TopologyNode::Controller(u"1-1"_s), hub}));
    ASSERT_TRUE(S().ChooseOption(true));

    QStringList fileValues;
    for (int run = 0; run < 3; ++run) {
        ASSERT_TRUE(S().RunToEnd());
        fileValues.push_back(FileCurrent(u"1-1-1"_s));
    }
    EXPECT_EQ(fileValues, QStringList({u"00FF"_s, u"0100"_s, u"DONE"_s}));
    EXPECT_EQ(AcceptedSerials(ReadProgrammingRecord()),
              QStringList({u"HX00FE"_s, u"HX00FF"_s, u"HX0100"_s}));
}

TEST_F(SerialRunTest, CopyUuidSendsTheLastFiveUuidBytesInLowerCaseHex) {
    const QString cfg = CopyExampleFile(u"fennel.cfg"_s);
    SimBoard board;
    board.uuid = u"00112233445566778899AA01AB00FF10"_s;
    SimBenchJson bench;
    bench.Add(board);
    TopologyNode hub = TopologyNode::Hub(u"1-1-1"_s, u"H1"_s, 0, cfg, true, true);
    hub.CopyUuid();
    ASSERT_TRUE(StartOn(bench, {TopologyNode::Controller(u"1-1"_s), hub}));
    ASSERT_TRUE(S().ChooseOption(true));

    ASSERT_TRUE(S().RunToEnd());
    EXPECT_EQ(S().LinesWith(u"Current Serial Number"_s),
              QStringList({u"1-1-1 : Current Serial Number : 01ab00ff10"_s}));
    const auto record = ReadProgrammingRecord();
    ASSERT_EQ(record.size(), 1U);
    EXPECT_EQ(record[0].serial, u"01ab00ff10"_s);
    EXPECT_EQ(record[0].finalStatus, 7);
    // A UUID serial keeps no counter.
    EXPECT_TRUE(FileCurrent(u"1-1-1"_s).isEmpty());
}

TEST_F(SerialRunTest, CounterThatCannotBeSavedAtTheEndIsReported) {
    ASSERT_TRUE(StartOnOneSchemeHub());
    ASSERT_TRUE(S().ChooseOption(true));

    ASSERT_TRUE(Sheet().StartProgramming());
    // The hand-out was saved; the write at the end of the run is the one that fails.
    ASSERT_TRUE(BlockTopologyFile(tcf));
    ASSERT_TRUE(S().WaitForEnd());
    const QStringList lines = S().LinesWith(u"Serial counters not saved: "_s);
    ASSERT_EQ(lines.size(), 1) << S().LinesSince(0).join(u'\n').toStdString();
    EXPECT_TRUE(lines[0].startsWith(u"Serial counters not saved: "_s));
    EXPECT_EQ(NodeCurrent(u"1-1-1"_s), u"0002"_s);
}

TEST_F(SerialRunTest, HandOutThatCannotBeSavedLeavesTheHubUnprepared) {
    ASSERT_TRUE(StartOnOneSchemeHub());
    ASSERT_TRUE(S().ChooseOption(true));
    ASSERT_TRUE(BlockTopologyFile(tcf));

    const std::size_t mark = S().Mark();
    EXPECT_FALSE(Sheet().StartProgramming());
    const QStringList lines = S().LinesSince(mark);
    EXPECT_EQ(S().LinesWith(u"1-1-1 : Serial number not handed out: "_s, mark).size(), 1)
        << lines.join(u'\n').toStdString();
    EXPECT_FALSE(lines.contains(u"Started programming"_s));
    EXPECT_FALSE(Sheet().LastRun().started);
    EXPECT_EQ(Sheet().LastRun().preparationFailures, 1);
    EXPECT_EQ(NodeCurrent(u"1-1-1"_s), u"0001"_s);
    PumpFor(100);
    EXPECT_TRUE(ReadProgrammingRecord().empty());
}

TEST_F(SerialRunTest, PreparationFailureStopsAtTheFailingHubAndGivesBackEarlierNumbers) {
    const QString cfg = CopyExampleFile(u"fennel.cfg"_s);
    SimBenchJson bench;
    for (int position = 1; position <= 3; ++position) {
        SimBoard board;
        board.position = position;
        bench.Add(board);
    }
    ASSERT_TRUE(
        StartOn(bench, {TopologyNode::Controller(u"1-1"_s), SchemeHub(u"1-1-1"_s, u"H1"_s, cfg),
                        SchemeHub(u"1-1-2"_s, u"H2"_s, cfg, u"DONE"_s),
                        SchemeHub(u"1-1-3"_s, u"H3"_s, cfg)}));
    ASSERT_TRUE(S().ChooseOption(true));

    const std::size_t mark = S().Mark();
    EXPECT_FALSE(Sheet().StartProgramming());
    EXPECT_EQ(S().LinesWith(u"Current Serial Number"_s, mark),
              QStringList({u"1-1-1 : Current Serial Number : KDX0001"_s}));
    EXPECT_EQ(W().MessageTexts(),
              QStringList({u"1-1-2 : Error Serial Generation : Max serial number reached"_s}));
    EXPECT_FALSE(S().LinesSince(mark).contains(u"Started programming"_s));
    EXPECT_FALSE(Sheet().GetProgrammerStatus());
    EXPECT_FALSE(Sheet().LastRun().started);
    // The number handed to the first hub is back, in the node and in the file.
    EXPECT_EQ(NodeCurrent(u"1-1-1"_s), u"0001"_s);
    EXPECT_EQ(FileCurrent(u"1-1-1"_s), u"0001"_s);
    EXPECT_EQ(FileCurrent(u"1-1-3"_s), u"0001"_s);
    EXPECT_EQ(Sheet().Handouts().Count(), 0);
    PumpFor(100);
    EXPECT_TRUE(ReadProgrammingRecord().empty());
}

TEST_F(SerialRunTest, ConfigurationFileThatGivesNoBlockFailsThePreparationAndReturnsTheSerial) {
    const QString garbage = QDir::current().absoluteFilePath(u"garbage.cfg"_s);
    {
        QFile file(garbage);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[hub]\nvid = not a number\nports = many\n");
    }
    SimBenchJson bench;
    SimBoard second;
    second.position = 2;
    bench.Add(SimBoard{}).Add(second);
    ASSERT_TRUE(StartOn(
        bench,
        {TopologyNode::Controller(u"1-1"_s), SchemeHub(u"1-1-1"_s, u"H1"_s, garbage),
         SchemeHub(u"1-1-2"_s, u"H2"_s, QDir::current().absoluteFilePath(u"missing.cfg"_s))}));
    ASSERT_TRUE(S().ChooseOption(true));

    for (const QString& node : {u"1-1-1"_s, u"1-1-2"_s}) {
        SCOPED_TRACE(node.toStdString());
        const std::size_t mark = S().Mark();
        EXPECT_FALSE(Sheet().StartProgramming());
        EXPECT_EQ(S().LinesSince(mark),
                  QStringList({node + u" : Current Serial Number : KDX0001"_s,
                               node + u" : Error setting configuration block"_s}));
        EXPECT_EQ(FileCurrent(node), u"0001"_s);
        EXPECT_FALSE(Sheet().GetProgrammerStatus());
        // The next START stops at the next hub: this one no longer programs.
        const int index = CTCFData::Instance().GetTcfItem(node);
        ASSERT_GE(index, 0);
        CTCFData::Instance().SetMemoryType(index, 4);
        Sheet().EnumUSB();
    }
}

} // namespace
} // namespace testsupport
