// The single-instance guard: a live instance's lock refuses a second one (in this process and
// in the runner), a lock left by a process that died does not block.
#include "app/app_startup.h"
#include "app/command_line.h"
#include "app/single_instance.h"
#include "tests/support/cli_process.h"
#include "tests/support/qt_print.h"
#include "tests/support/sim_bench.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace testsupport;
using Result = SingleInstanceGuard::Result;

const QString kAnotherInstance = QStringLiteral("Another Instance of the Tool already running");

TEST(SingleInstanceTest, LockLivesInTheTemporaryFolder) {
    const QFileInfo lock(SingleInstanceGuard::LockFilePath());
    EXPECT_EQ(lock.absolutePath(), QDir(QDir::tempPath()).absolutePath());
    EXPECT_EQ(lock.fileName(), QStringLiteral("Global-VeZephran.lock"));
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("TMPDIR"));
    EXPECT_EQ(QDir(QDir::tempPath()).canonicalPath(),
              QDir(QString::fromLocal8Bit(qgetenv("TMPDIR"))).canonicalPath());
}

TEST(SingleInstanceTest, SecondGuardIsRefusedWhileTheFirstHoldsTheLock) {
    SingleInstanceGuard first;
    ASSERT_EQ(first.Acquire(), Result::Acquired);
    EXPECT_TRUE(QFileInfo::exists(SingleInstanceGuard::LockFilePath()));
    {
        SingleInstanceGuard second;
        EXPECT_EQ(second.Acquire(), Result::AnotherInstance);
    }
    // The refused guard took nothing away from the first.
    SingleInstanceGuard third;
    EXPECT_EQ(third.Acquire(), Result::AnotherInstance);
}

TEST(SingleInstanceTest, ReleasedLockCanBeTakenAgain) {
    {
        SingleInstanceGuard first;
        ASSERT_EQ(first.Acquire(), Result::Acquired);
    }
    EXPECT_FALSE(QFileInfo::exists(SingleInstanceGuard::LockFilePath()));
    SingleInstanceGuard second;
    EXPECT_EQ(second.Acquire(), Result::Acquired);
}

TEST(SingleInstanceTest, RefusedStartReadsNoCommandLine) {
    commandline::SetOtpDumpFlag(false);
    SingleInstanceGuard first;
    ASSERT_EQ(first.Acquire(), Result::Acquired);
    SingleInstanceGuard second;
    EXPECT_FALSE(BeginApplication(second, {QStringLiteral("tool"), QStringLiteral("/dumpotp")}));
    EXPECT_FALSE(commandline::OtpDumpFlag());
}

TEST(SingleInstanceTest, RunnerIsRefusedWhileAnotherInstanceRuns) {
    EnsureCoreApplication();
    {
        SingleInstanceGuard running;
        ASSERT_EQ(running.Acquire(), Result::Acquired);
        const CliResult refused = RunCli({QStringLiteral("tree")});
        ASSERT_TRUE(refused.finished);
        EXPECT_EQ(refused.exitCode, 2);
        EXPECT_TRUE(refused.err.contains(kAnotherInstance)) << refused.err.toStdString();
        EXPECT_FALSE(refused.out.contains(QStringLiteral("My Computer")));
        // The running instance keeps its lock.
        SingleInstanceGuard probe;
        EXPECT_EQ(probe.Acquire(), Result::AnotherInstance);
    }
    const CliResult alone = RunCli({QStringLiteral("tree")});
    ASSERT_TRUE(alone.finished);
    EXPECT_EQ(alone.exitCode, 0) << alone.err.toStdString();
    EXPECT_TRUE(alone.out.contains(QStringLiteral("My Computer")));
}

// A child process takes the lock and is killed without any chance to let it go.
void LeaveLockOfDeadProcess() {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SingleInstanceGuard guard;
        if (guard.Acquire() != Result::Acquired) {
            ::_exit(3);
        }
        ::raise(SIGKILL);
        ::_exit(4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "child exit " << WEXITSTATUS(status);
    ASSERT_EQ(WTERMSIG(status), SIGKILL);
    ASSERT_TRUE(QFileInfo::exists(SingleInstanceGuard::LockFilePath()));
}

TEST(SingleInstanceTest, LockOfADeadProcessDoesNotBlock) {
    LeaveLockOfDeadProcess();
    SingleInstanceGuard guard;
    EXPECT_EQ(guard.Acquire(), Result::Acquired);
}

TEST(SingleInstanceTest, RunnerStartsOverTheLockOfADeadProcess) {
    LeaveLockOfDeadProcess();
    EnsureCoreApplication();
    const CliResult result = RunCli({QStringLiteral("tree")});
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("My Computer")));
}

} // namespace
