// Runs the headless runner tessaro-kdx-cli as a child process of a test. The child inherits
// the test's sandbox (working directory, TMPDIR, XDG_CONFIG_HOME, TESSARO_SIM_STATE,
// TESSARO_LIB_DIR) and TESSARO_SIM_BENCH as UseBench set it.
#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

namespace testsupport {

inline QString CliProgram() {
    return QStringLiteral(TESSARO_BIN_DIR "/tessaro-kdx-cli");
}

struct CliResult {
    bool finished = false; // ended by itself within the time allowed
    int exitCode = -1;
    QString out;
    QString err;

    QStringList OutLines() const { return out.split(u'\n', Qt::SkipEmptyParts); }
};

// Runs the runner with `arguments` to its end (killed after `timeoutMs`).
inline CliResult
RunCli(const QStringList& arguments, int timeoutMs = 60000,
       const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(CliProgram(), arguments);
    CliResult result;
    if (!process.waitForStarted(10000)) {
        result.err = process.errorString();
        return result;
    }
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(10000);
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// Reads the running process's stdout into `out` until `done(out)` holds or `timeoutMs`
// passed; returns `done(out)`.
inline bool ReadUntil(QProcess& process, QString& out,
                      const std::function<bool(const QString&)>& done, int timeoutMs = 30000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done(out)) {
        if (deadline.hasExpired() || process.state() == QProcess::NotRunning) {
            out += QString::fromUtf8(process.readAllStandardOutput());
            return done(out);
        }
        process.waitForReadyRead(50);
        out += QString::fromUtf8(process.readAllStandardOutput());
    }
    return true;
}

} // namespace testsupport
