// The runner's exit codes: 1 when a hub or the preparation failed, 2 when the run could not
// start (arguments, files, the page rule, the library, another instance).
#include "app/single_instance.h"
#include "tests/support/bench_json.h"
#include "tests/support/cli_process.h"
#include "tests/support/sim_bench.h"
#include "tests/support/topology_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using namespace Qt::Literals::StringLiterals;

namespace testsupport {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitNotStarted = 2;

// One Fennel hub with a decimal scheme on a bench file of its own; returns the topology.
QString OneHubSetup(const QString& fault, const QString& current = u"0001"_s) {
    SimBoard board;
    board.fault = fault;
    SimBenchJson bench;
    bench.Add(board);
    if (UseBench(bench.ToJson()).isEmpty()) {
        return QString();
    }
    const QString cfg = QDir::current().absoluteFilePath(u"fennel.cfg"_s);
    QFile::remove(cfg);
    QFile::copy(QStringLiteral(TESSARO_SOURCE_DIR "/examples/fennel.cfg"), cfg);
    TopologyNode hub = TopologyNode::Hub(u"1-1-1"_s, u"H1"_s, 0, cfg, true, true);
    hub.Scheme(false, u"KDX"_s, u"0001"_s, u"9999"_s, current);
    const QString tcf = QDir::current().absoluteFilePath(u"one.tcf"_s);
    return WriteTopologyFile(tcf, {TopologyNode::Controller(u"1-1"_s), hub}) ? tcf : QString();
}

TEST(RunnerExitCodeTest, WrongArgumentsAreRefused) {
    const QList<QStringList> cases = {
        {},
        {u"frobnicate"_s},
        {u"program"_s},
        {u"program"_s, u"a.tcf"_s, u"--timeout"_s},
        {u"program"_s, u"a.tcf"_s, u"--timeout"_s, u"soon"_s},
        {u"program"_s, u"a.tcf"_s, u"--timeout"_s, u"0"_s},
        {u"program"_s, u"a.tcf"_s, u"b.tcf"_s},
        {u"program"_s, u"a.tcf"_s, u"--fast"_s},
        {u"new"_s},
        {u"new"_s, u"a.tcf"_s, u"--automated"_s},
        {u"tree"_s, u"extra"_s},
        {u"dumpotp"_s, u"extra"_s},
    };
    for (const QStringList& arguments : cases) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const CliResult result = RunCli(arguments);
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, kExitNotStarted);
        EXPECT_TRUE(result.err.contains(u"usage: tessaro-kdx-cli"_s)) << result.err.toStdString();
    }
    // Nothing was started: no trace of a programming run.
    EXPECT_TRUE(ReadProgrammingRecord().empty());
}

TEST(RunnerExitCodeTest, UnreadableOrIncompatibleFilesAreRefused) {
    const QString tcf = OneHubSetup(u"none"_s);
    ASSERT_FALSE(tcf.isEmpty());
    QByteArray text;
    {
        QFile in(tcf);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        text = in.readAll();
    }
    const auto writeVariant = [&](const QString& name, const QByteArray& from,
                                  const QByteArray& to) {
        const QString path = QDir::current().absoluteFilePath(name);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(QByteArray(text).replace(from, to));
        return path;
    };
    const QString incompatible = u"TCF file is not compatible with current version of Tool"_s;
    const struct {
        QString file;
        QString message;
    } cases[] = {
        {QDir::current().absoluteFilePath(u"missing.tcf"_s), incompatible},
        {QDir::currentPath(), incompatible},
        {writeVariant(u"newer.tcf"_s, "Version=2.0", "Version=2.1"), incompatible},
        {writeVariant(u"older.tcf"_s, "Version=2.0", "Version=2.00"), incompatible},
        // The right version, but no node to load.
        {writeVariant(u"empty.tcf"_s, "Count=2", "Count=0"), u"Error loading topology"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        const CliResult result = RunCli({u"program"_s, c.file});
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, kExitNotStarted);
        EXPECT_TRUE(result.err.contains(c.message)) << result.err.toStdString();
        EXPECT_FALSE(result.OutLines().contains(u"Started programming"_s));
    }
    EXPECT_TRUE(ReadProgrammingRecord().empty());
}

TEST(RunnerExitCodeTest, TopologyMissingAnAttachedHubIsRefusedByThePageRule) {
    const QString tcf = OneHubSetup(u"none"_s);
    ASSERT_FALSE(tcf.isEmpty());
    // A second hub on the bench that the topology does not name.
    SimBoard first;
    SimBoard second;
    second.position = 2;
    SimBenchJson bench;
    bench.Add(first).Add(second);
    ASSERT_FALSE(UseBench(bench.ToJson()).isEmpty());

    const CliResult result = RunCli({u"program"_s, tcf});
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, kExitNotStarted);
    EXPECT_TRUE(result.OutLines().contains(u"Topoloy changed @ 1-1-2"_s));
    EXPECT_TRUE(result.err.contains(u"Save the topology before Programming"_s))
        << result.err.toStdString();
    EXPECT_EQ(ReadTopologyValue(tcf, u"1-1-1"_s, u"SERCURRENT"_s), u"0001"_s);
    EXPECT_TRUE(ReadProgrammingRecord().empty());
}

TEST(RunnerExitCodeTest, MissingLibraryIsRefused) {
    const QString tcf = OneHubSetup(u"none"_s);
    ASSERT_FALSE(tcf.isEmpty());
    const QString empty = QDir::current().absoluteFilePath(u"no-libraries"_s);
    ASSERT_TRUE(QDir().mkpath(empty));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"TESSARO_LIB_DIR"_s, empty);

    for (const QStringList& arguments : {QStringList{u"program"_s, tcf}, QStringList{u"tree"_s}}) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const CliResult result = RunCli(arguments, 60000, environment);
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, kExitNotStarted);
        EXPECT_TRUE(result.err.contains(u"Error Loading programmer module"_s))
            << result.err.toStdString();
    }
}

TEST(RunnerExitCodeTest, SecondInstanceIsRefused) {
    const QString tcf = OneHubSetup(u"none"_s);
    ASSERT_FALSE(tcf.isEmpty());
    SingleInstanceGuard running;
    ASSERT_EQ(running.Acquire(), SingleInstanceGuard::Result::Acquired);

    const CliResult result = RunCli({u"program"_s, tcf});
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, kExitNotStarted);
    EXPECT_TRUE(result.err.contains(u"Another Instance of the Tool already running"_s))
        << result.err.toStdString();
    EXPECT_EQ(ReadTopologyValue(tcf, u"1-1-1"_s, u"SERCURRENT"_s), u"0001"_s);
}

TEST(RunnerExitCodeTest, FailedHubEndsWithOne) {
    const QString tcf = OneHubSetup(u"program"_s);
    ASSERT_FALSE(tcf.isEmpty());
    const CliResult result = RunCli({u"program"_s, tcf});
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, kExitFailed);
    EXPECT_TRUE(result.OutLines().contains(u"Status of H1 : Failed Program Verify"_s));
    EXPECT_TRUE(
        result.OutLines().contains(u"Run ended: 0 hub(s) succeeded, 1 failed, 0 not prepared"_s));
    EXPECT_TRUE(result.err.contains(u"Operation on one or more device failed"_s));
    EXPECT_EQ(ReadTopologyValue(tcf, u"1-1-1"_s, u"SERCURRENT"_s), u"0001"_s);
}

TEST(RunnerExitCodeTest, FailedPreparationEndsWithOne) {
    const QString tcf = OneHubSetup(u"none"_s, u"DONE"_s);
    ASSERT_FALSE(tcf.isEmpty());
    const CliResult result = RunCli({u"program"_s, tcf});
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, kExitFailed);
    EXPECT_TRUE(
        result.err.contains(u"1-1-1 : Error Serial Generation : Max serial number reached"_s))
        << result.err.toStdString();
    EXPECT_FALSE(result.OutLines().contains(u"Started programming"_s));
    EXPECT_TRUE(ReadProgrammingRecord().empty());
}

} // namespace
} // namespace testsupport
