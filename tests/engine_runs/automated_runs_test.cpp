// Automated runs: boards swapped at one position while the manager runs. Each arrival is
// prepared alone, serial numbers continue from board to board, a failed board's number goes
// to the next board, and STOP ends the run.
#include "run_fixture.h"

#include "app/device_event.h"
#include "hub/hub_abi.h"
#include "tests/support/event_blocks.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace testsupport {
namespace {

class AutomatedRunTest : public EngineRunTest {};

TEST_F(AutomatedRunTest, ArrivalsArePreparedAloneAndSerialsContinueAcrossBoards) {
    const QString cfg = CopyExampleFile(u"fennel.cfg"_s);
    std::vector<SimBoard> boards(4);
    for (int i = 0; i < 4; ++i) {
        boards[static_cast<std::size_t>(i)].board = i;
    }
    boards[2].fault = u"program"_s;
    SimBoard other;
    other.position = 2;
    SimBenchJson bench;
    bench.Add(boards[0]).Add(other);
    for (int i = 1; i < 4; ++i) {
        bench.RemoveAt(400 * i - 150, boards[static_cast<std::size_t>(i - 1)]);
        bench.ArriveAt(400 * i - 100, boards[static_cast<std::size_t>(i)]);
    }
    TopologyNode second = SchemeHub(u"1-1-2"_s, u"H2"_s, cfg);
    second.alpha = u"SEC"_s;
    ASSERT_TRUE(StartOn(
        bench, {TopologyNode::Controller(u"1-1"_s), SchemeHub(u"1-1-1"_s, u"H1"_s, cfg), second}));
    ASSERT_TRUE(S().ChooseOption(false));

    ASSERT_TRUE(Sheet().StartProgramming());
    const QString success = u"Status of H1 : Programmed and Verified Successfully"_s;
    ASSERT_TRUE(PumpUntil([&] { return S().LinesWith(success).size() == 3; }))
        << S().LinesSince(0).join(u'\n').toStdString();
    ASSERT_TRUE(Sheet().GetProgrammerStatus());
    ASSERT_TRUE(S().StopAndWait());

    EXPECT_EQ(S().LinesWith(u"Current Serial Number"_s),
              QStringList({u"1-1-1 : Current Serial Number : KDX0001"_s,
                           u"1-1-2 : Current Serial Number : SEC0001"_s,
                           u"1-1-1 : Current Serial Number : KDX0002"_s,
                           u"1-1-1 : Current Serial Number : KDX0003"_s,
                           u"1-1-1 : Current Serial Number : KDX0003"_s}));
    EXPECT_EQ(S().LinesWith(u"Device Prepared for operation"_s),
              QStringList({boards[1].Path() + u" : Device Prepared for operation"_s,
                           boards[2].Path() + u" : Device Prepared for operation"_s,
                           boards[3].Path() + u" : Device Prepared for operation"_s}));
    EXPECT_TRUE(S().LinesWith(u"Error Preparing Device"_s).isEmpty());
    EXPECT_EQ(S().LinesWith(u"Status of H1 : Failed Program Verify"_s).size(), 1);
    EXPECT_EQ(S().LinesWith(u"Device Arrived"_s).size(), 3);
    EXPECT_EQ(S().LinesWith(u"Device Removed"_s).size(), 3);

    // STOP ended the run with the end-of-run event: counters saved, START back, and the
    // failed board reported.
    EXPECT_EQ(Sheet().LastRun().endResult, 2);
    EXPECT_GE(W().startButtonShown, 1);
    EXPECT_EQ(W().MessageTexts(), QStringList({u"Operation on one or more device failed"_s}));
    EXPECT_EQ(FileCurrent(u"1-1-1"_s), u"0004"_s);
    EXPECT_EQ(FileCurrent(u"1-1-2"_s), u"0002"_s);

    const auto record = ReadProgrammingRecord();
    EXPECT_TRUE(RepeatedSerials(record).isEmpty());
    QStringList accepted = AcceptedSerials(record);
    std::sort(accepted.begin(), accepted.end());
    EXPECT_EQ(accepted, QStringList({u"KDX0001"_s, u"KDX0002"_s, u"KDX0003"_s, u"SEC0001"_s}));
}

// An arrival that is gone again before it is handled prepares nothing: the boards this run
// already finished are not prepared (and programmed) once more.
TEST_F(AutomatedRunTest, ArrivalThatIsGoneAgainPreparesNothing) {
    const QString cfg = CopyExampleFile(u"fennel.cfg"_s);
    SimBoard board;
    SimBenchJson bench;
    bench.Add(board);
    ASSERT_TRUE(
        StartOn(bench, {TopologyNode::Controller(u"1-1"_s), SchemeHub(u"1-1-1"_s, u"H1"_s, cfg)}));
    ASSERT_TRUE(S().ChooseOption(false));
    ASSERT_TRUE(Sheet().StartProgramming());
    ASSERT_TRUE(PumpUntil([&] {
        return !S().LinesWith(u"Status of H1 : Programmed and Verified Successfully"_s).isEmpty();
    }));

    const QString gone = u"\\\\?\\USB#VID_5A17&PID_7510#gone#{f18a0e88}"_s;
    DeviceStatusNotifier(MakeTextBlock(gone), hubabi::kEventArrived);
    ASSERT_TRUE(PumpUntil([&] { return !S().LinesWith(u"Error Preparing Device"_s).isEmpty(); }));
    ASSERT_TRUE(S().StopAndWait());

    EXPECT_EQ(S().LinesWith(u"Error Preparing Device"_s),
              QStringList({gone + u" : Error Preparing Device"_s}));
    EXPECT_EQ(S().LinesWith(u"Current Serial Number"_s),
              QStringList({u"1-1-1 : Current Serial Number : KDX0001"_s}));
    EXPECT_EQ(ReadProgrammingRecord().size(), 1u);
}

} // namespace
} // namespace testsupport
