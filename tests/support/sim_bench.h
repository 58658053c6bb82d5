// Helpers for tests that run the engine against the simulated bench: the Qt application
// object, event pumping, bench files, the example topology and the bench's programming record.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QThread>

#include <functional>
#include <vector>

namespace testsupport {

// The application object the engine's event posting needs (created once per process).
inline QCoreApplication& EnsureCoreApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "tessaro-test";
        static char* argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
    }
    return *QCoreApplication::instance();
}

// Handles posted events until `done` holds or `timeoutMs` passed; returns `done()`.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents();
        QThread::msleep(2);
    }
    return true;
}

// Handles whatever is posted for `milliseconds`.
inline void PumpFor(int milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

// Writes `json` to a bench file in the working directory and points TESSARO_SIM_BENCH at it.
// Must run before the hub library is loaded in this process.
inline QString UseBench(const QByteArray& json, const QString& name = QStringLiteral("bench.json")) {
    const QString path = QDir::current().absoluteFilePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(json) != json.size()) {
        return QString();
    }
    file.close();
    qputenv("TESSARO_SIM_BENCH", path.toLocal8Bit());
    return path;
}

// Copies the example .cfg/.bin files and examples/bench.tcf into `folder` (the file paths in
// the topology point at the copies) and returns the topology's path.
inline QString CopyExampleTopology(const QString& folder = QDir::currentPath()) {
    const QDir examples(QStringLiteral(TESSARO_SOURCE_DIR "/examples"));
    QDir target(folder);
    target.mkpath(QStringLiteral("."));
    const QStringList files =
        examples.entryList({QStringLiteral("*.cfg"), QStringLiteral("*.bin")}, QDir::Files);
    for (const QString& name : files) {
        QFile::remove(target.absoluteFilePath(name));
        QFile::copy(examples.absoluteFilePath(name), target.absoluteFilePath(name));
    }
    QFile tcf(examples.absoluteFilePath(QStringLiteral("bench.tcf")));
    if (!tcf.open(QIODevice::ReadOnly)) {
        return QString();
    }
    QByteArray text = tcf.readAll();
    text.replace("@EXAMPLES@", target.absolutePath().toUtf8());
    const QString path = target.absoluteFilePath(QStringLiteral("bench.tcf"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(text) != text.size()) {
        return QString();
    }
    return path;
}

// One line of the simulated bench's programming record.
struct ProgrammingRecordLine {
    QString time;
    int controller = -1;
    int device = -1;
    QString path;
    QString uuid;
    int storageMode = -1;
    QString serial;
    int finalStatus = -1;
    QString action;
};

// A field of the record as written (backslash, tab and line breaks are escaped there).
inline QString UnescapeRecordField(const QString& field) {
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field.at(i);
        if (c != u'\\' || i + 1 == field.size()) {
            out += c;
            continue;
        }
        const QChar next = field.at(++i);
        out += next == u't' ? QChar(u'\t') : next == u'n' ? QChar(u'\n') : next == u'r' ? QChar(u'\r') : next;
    }
    return out;
}

// The programming record in TESSARO_SIM_STATE (empty when there is none yet).
inline std::vector<ProgrammingRecordLine> ReadProgrammingRecord() {
    std::vector<ProgrammingRecordLine> lines;
    const QString state = QString::fromLocal8Bit(qgetenv("TESSARO_SIM_STATE"));
    QFile file(QDir(state.isEmpty() ? QStringLiteral("sim-state") : state)
                   .absoluteFilePath(QStringLiteral("programming-record.tsv")));
    if (!file.open(QIODevice::ReadOnly)) {
        return lines;
    }
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        QStringList f = line.split(u'\t');
        for (QString& field : f) {
            field = UnescapeRecordField(field);
        }
        if (f.size() < 8) {
            continue;
        }
        ProgrammingRecordLine r;
        r.time = f[0];
        r.controller = f[1].toInt();
        r.device = f[2].toInt();
        r.path = f[3];
        r.uuid = f[4];
        r.storageMode = f[5].toInt();
        r.serial = f[6];
        r.finalStatus = f[7].toInt();
        r.action = f.size() > 8 ? f[8] : QString();
        lines.push_back(r);
    }
    return lines;
}

} // namespace testsupport
