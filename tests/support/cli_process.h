// Runs the headless runner (build/bin/tessaro-kdx-cli) as a child process of a test, inside
// the test's own sandbox (working directory, TMPDIR, settings, simulated state are inherited),
// with optional changes to its environment.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace testsupport {

struct CliResult {
    bool finished = false; // ended on its own within the time given
    int exitCode = -1;
    bool crashed = false; // ended by a signal
    QString out;
    QString err;
};

inline QString CliProgram() {
    return QStringLiteral(TESSARO_BIN_DIR "/tessaro-kdx-cli");
}

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

inline CliResult RunCli(const QStringList& arguments, const EnvChanges& changes = {},
                        int timeoutMs = 60000) {
    QProcess process;
    process.setProcessEnvironment(CliEnvironment(changes));
    process.start(CliProgram(), arguments);
    CliResult result;
    if (!process.waitForStarted(timeoutMs)) {
        return result;
    }
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace testsupport
