// The runner's commands on the built-in bench: the tree listing, a topology started with
// "new" and programmed, the example topology programmed once.
#include "tests/support/cli_process.h"
#include "tests/support/record_checks.h"
#include "tests/support/sim_bench.h"
#include "tests/support/topology_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>

using namespace Qt::Literals::StringLiterals;

namespace testsupport {
namespace {

QStringList TreeLines(const CliResult& result) {
    const QStringList lines = result.OutLines();
    const qsizetype root = lines.indexOf(u"My Computer"_s);
    return root < 0 ? QStringList() : lines.mid(root);
}

TEST(RunnerCommandTest, TreeListsTheBuiltInBench) {
    const CliResult result = RunCli({u"tree"_s});
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(TreeLines(result),
              QStringList({
                  u"My Computer"_s,
                  u"  Simulated eXtensible Host Controller A  [1-1] type=0 state=3"_s,
                  u"    Aster  [1-1-1] type=2 state=3"_s,
                  u"      USB Input Device  [1-1-1-1] type=1 state=3"_s,
                  u"      Birch  [1-1-1-2] type=2 state=3"_s,
                  u"        USB Mass Storage Device  [1-1-1-2-1] type=1 state=3"_s,
                  u"    Fennel  [1-1-2] type=2 state=3"_s,
                  u"    Cedar  [1-1-3] type=2 state=3"_s,
                  u"    Kelvane-7113  [1-1-4] type=2 state=3"_s,
                  u"    1234-5678  [1-1-5] type=2 state=3"_s,
                  u"  Simulated eXtensible Host Controller B  [1-2] type=0 state=3"_s,
                  u"    Dahlia  [1-2-1] type=2 state=3"_s,
                  u"    Elder  [1-2-2] type=2 state=3"_s,
                  u"      USB Video Device  [1-2-2-1] type=1 state=3"_s,
                  u"    Fennel  [1-2-3] type=2 state=3"_s,
                  u"      Fennel  [1-2-3-1] type=2 state=3"_s,
                  u"      Fennel  [1-2-3-2] type=2 state=3"_s,
                  u"    Fennel  [1-2-4] type=2 state=3"_s,
                  u"  Simulated eXtensible Host Controller C  [1-3] type=0 state=3"_s,
              }));
    // Every hub is new to the (empty) topology.
    EXPECT_EQ(result.out.count(u"Topoloy changed @ "_s), 12);
}

TEST(RunnerCommandTest, NewTopologyHoldsEveryPositionAndProgramsNothing) {
    CliResult result = RunCli({u"new"_s, u"start.tcf"_s});
    ASSERT_TRUE(result.finished);
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QString tcf = QDir::current().absoluteFilePath(u"start.tcf"_s);
    EXPECT_EQ(ReadTopologyValue(tcf, u"Header"_s, u"Count"_s), u"18"_s);
    EXPECT_EQ(ReadTopologyValue(tcf, u"Header"_s, u"Version"_s), u"2.0"_s);
    for (const QString& hub : {u"1-1-1"_s, u"1-1-1-2"_s, u"1-2-3-2"_s, u"1-2-4"_s}) {
        EXPECT_EQ(ReadTopologyValue(tcf, hub, u"ISHUB"_s), u"1"_s) << hub.toStdString();
        EXPECT_EQ(ReadTopologyValue(tcf, hub, u"MEMTYPE"_s), u"4"_s) << hub.toStdString();
    }
    EXPECT_EQ(ReadTopologyValue(tcf, u"1-1-1-1"_s, u"ISHUB"_s), u"0"_s);
    // Saved and remembered: the next start-up uses it.
    const QSettings settings(u"Kelvane"_s, u"Tessaro KDX"_s);
    EXPECT_EQ(settings.value(u"DefaultTcf"_s).toString(), tcf);
    result = RunCli({u"tree"_s});
    EXPECT_EQ(result.out.count(u"Topoloy changed @ "_s), 0) << result.out.toStdString();

    result = RunCli({u"program"_s, tcf});
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.OutLines().contains(u"No device available for operation"_s));
    EXPECT_TRUE(
        result.OutLines().contains(u"Run ended: 0 hub(s) succeeded, 0 failed, 0 not prepared"_s));
}

TEST(RunnerCommandTest, ExampleTopologyProgramsTheBuiltInBench) {
    const QString tcf = CopyExampleTopology();
    ASSERT_FALSE(tcf.isEmpty());
    const CliResult result = RunCli({u"program"_s, tcf});
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(
        result.OutLines().contains(u"Run ended: 8 hub(s) succeeded, 0 failed, 0 not prepared"_s))
        << result.out.toStdString();
    EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
    EXPECT_EQ(ReadProgrammingRecord().size(), 8U);
    EXPECT_EQ(ReadTopologyValue(tcf, u"1-1-2"_s, u"SERCURRENT"_s), u"0002"_s);
    EXPECT_EQ(ReadTopologyValue(tcf, u"1-2-3"_s, u"SERCURRENT"_s), u"00FF"_s);
    // Loading a file to program it does not make it the remembered topology.
    const QSettings settings(u"Kelvane"_s, u"Tessaro KDX"_s);
    EXPECT_FALSE(settings.contains(u"DefaultTcf"_s));
}

} // namespace
} // namespace testsupport
