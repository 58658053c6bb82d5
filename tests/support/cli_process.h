// Runs the headless runner (build/bin/tessaro-kdx-cli) as a child process of a test. The
// child inherits the test's sandbox (working directory, TMPDIR, XDG_CONFIG_HOME,
// TESSARO_SIM_STATE, TESSARO_LIB_DIR) and TESSARO_SIM_BENCH as UseBench set it, with optional
// changes to its environment.
#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

namespace testsupport {

inline QString CliProgram() {
    return QStringLiteral(TESSARO_BIN_DIR "/tessaro-kdx-cli");
}

struct CliResult {
    bool finished = false; // ended by itself within the time allowed
    bool crashed = false;  // ended by a signal
    int exitCode = -1;     // -1 when it did not end normally
    QString out;
    QString err;

    QStringList OutLines() const { return out.split(u'\n', Qt::SkipEmptyParts); }
};

// Environment changes: a value of a null QString removes the variable.
using EnvChanges = std::vector<std::pair<QString, QString>>;

inline QProcessEnvironment CliEnvironment(const EnvChanges& changes) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : changes) {
        if (value.isNull()) {
            env.remove(name);
        } else {
            env.insert(name, value);
        }
    }
    return env;
}

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
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = result.crashed ? -1 : process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// The same with changes to the inherited environment.
inline CliResult RunCli(const QStringList& arguments, const EnvChanges& changes,
                        int timeoutMs = 60000) {
    return RunCli(arguments, timeoutMs, CliEnvironment(changes));
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
