// Ending an automated run of the runner: by its timeout, by Ctrl-C, and by a kill at any
// moment. A kill followed by a restart on the same topology file and hub state never gives
// a serial number that a hub accepted to another hub.
#include "tests/support/bench_json.h"
#include "tests/support/cli_process.h"
#include "tests/support/record_checks.h"
#include "tests/support/sim_bench.h"
#include "tests/support/topology_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSet>

#include <csignal>

using namespace Qt::Literals::StringLiterals;

namespace testsupport {
namespace {

// A bench whose position 1 gets a new board every `periodMs` (the old one leaves a little
// earlier), `swaps` times, and the topology that programs it with a decimal scheme.
QString SwappingBoardSetup(int swaps, int periodMs) {
    SimBenchJson bench(1, 10);
    SimBoard board;
    bench.Add(board);
    for (int k = 1; k <= swaps; ++k) {
        SimBoard next;
        next.board = k;
        bench.RemoveAt(k * periodMs - periodMs / 3, board);
        bench.ArriveAt(k * periodMs, next);
        board = next;
    }
    if (UseBench(bench.ToJson()).isEmpty()) {
        return QString();
    }
    const QString cfg = QDir::current().absoluteFilePath(u"fennel.cfg"_s);
    QFile::remove(cfg);
    QFile::copy(QStringLiteral(TESSARO_SOURCE_DIR "/examples/fennel.cfg"), cfg);
    TopologyNode hub = TopologyNode::Hub(u"1-1-1"_s, u"H1"_s, 0, cfg, true, true);
    hub.Scheme(false, u"KDX"_s, u"000001"_s, u"999999"_s, u"000001"_s);
    const QString tcf = QDir::current().absoluteFilePath(u"swap.tcf"_s);
    return WriteTopologyFile(tcf, {TopologyNode::Controller(u"1-1"_s), hub}) ? tcf : QString();
}

int Count(const QString& text, const QString& part) {
    return static_cast<int>(text.count(part));
}

TEST(RunnerStopTest, TimeoutStopsAnAutomatedRun) {
    const QString tcf = SwappingBoardSetup(100, 100);
    ASSERT_FALSE(tcf.isEmpty());
    const CliResult result =
        RunCli({u"program"_s, tcf, u"--automated"_s, u"--timeout"_s, u"1"_s}, 40000);
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(u"timeout, stopping the run"_s)) << result.err.toStdString();
    EXPECT_TRUE(result.OutLines().contains(u"Finish Programming"_s));
    EXPECT_GE(Count(result.out, u"Status of H1 : Programmed and Verified Successfully"_s), 1);
    EXPECT_TRUE(RepeatedSerials(ReadProgrammingRecord()).isEmpty());
}

TEST(RunnerStopTest, CtrlCStopsAnAutomatedRun) {
    const QString tcf = SwappingBoardSetup(100, 100);
    ASSERT_FALSE(tcf.isEmpty());
    QProcess runner;
    runner.start(CliProgram(), {u"program"_s, tcf, u"--automated"_s});
    ASSERT_TRUE(runner.waitForStarted(10000));
    QString out;
    ASSERT_TRUE(ReadUntil(runner, out, [](const QString& text) {
        return text.contains(u"Status of H1 : Programmed and Verified Successfully"_s);
    })) << out.toStdString();
    ASSERT_EQ(::kill(static_cast<pid_t>(runner.processId()), SIGINT), 0);
    ASSERT_TRUE(runner.waitForFinished(40000));
    out += QString::fromUtf8(runner.readAllStandardOutput());
    const QString err = QString::fromUtf8(runner.readAllStandardError());
    EXPECT_EQ(runner.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(runner.exitCode(), 0) << err.toStdString();
    EXPECT_TRUE(err.contains(u"interrupted, stopping the run"_s)) << err.toStdString();
    EXPECT_TRUE(out.contains(u"Finish Programming"_s));
    EXPECT_TRUE(out.contains(u"Run ended: "_s));
}

TEST(RunnerStopTest, KillDuringAnAutomatedRunAndRestartRepeatNoSerial) {
    const QString tcf = SwappingBoardSetup(400, 60);
    ASSERT_FALSE(tcf.isEmpty());

    // First run: killed without warning while boards come and go.
    QProcess runner;
    runner.start(CliProgram(), {u"program"_s, tcf, u"--automated"_s});
    ASSERT_TRUE(runner.waitForStarted(10000));
    QString out;
    const bool busy = ReadUntil(runner, out, [](const QString& text) {
        return text.count(u"Current Serial Number"_s) >= 8;
    });
    runner.kill();
    ASSERT_TRUE(runner.waitForFinished(10000));
    ASSERT_TRUE(busy) << out.toStdString();
    const auto beforeRestart = ReadProgrammingRecord();
    const QStringList firstRun = AcceptedSerials(beforeRestart);
    ASSERT_GE(firstRun.size(), 3) << out.toStdString();

    // Second run on the same topology file and hub state, until its timeout.
    const CliResult second =
        RunCli({u"program"_s, tcf, u"--automated"_s, u"--timeout"_s, u"2"_s}, 40000);
    ASSERT_TRUE(second.finished);
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();

    const auto record = ReadProgrammingRecord();
    const QStringList all = AcceptedSerials(record);
    EXPECT_GT(all.size(), firstRun.size()) << second.out.toStdString();
    EXPECT_TRUE(RepeatedSerials(record).isEmpty())
        << "repeated: " << RepeatedSerials(record).join(u' ').toStdString()
        << "\nfirst run: " << firstRun.join(u' ').toStdString()
        << "\nall: " << all.join(u' ').toStdString();
}

} // namespace
} // namespace testsupport
