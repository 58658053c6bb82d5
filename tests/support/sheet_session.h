// A CSheet driven through a RecordingWindow, as engine tests use it: start-up, loading a
// topology, choosing the execution option and running the programmer manager while the
// library's events are handled.
#pragma once

#include "app/sheet.h"
#include "tests/support/recording_window.h"
#include "tests/support/sim_bench.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstddef>

namespace testsupport {

// Copies examples/NAME into the working directory and returns the copy's absolute path.
inline QString CopyExampleFile(const QString& name) {
    const QString source = QStringLiteral(TESSARO_SOURCE_DIR "/examples/") + name;
    const QString target = QDir::current().absoluteFilePath(name);
    QFile::remove(target);
    return QFile::copy(source, target) ? target : QString();
}

// Writes `size` bytes of a pattern to `name` in the working directory; returns its path.
inline QString WriteBinaryFile(const QString& name, qint64 size) {
    const QString path = QDir::current().absoluteFilePath(name);
    QByteArray bytes(size, '\0');
    for (qint64 i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(i * 7 + 1);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != size) {
        return QString();
    }
    return path;
}

// `Window` is RecordingWindow or a test's own kind of it.
template <typename Window = RecordingWindow> class BasicSheetSession {
public:
    static constexpr int kRunTimeoutMs = 30000;

    BasicSheetSession() = default;
    ~BasicSheetSession() { sheet.OnDestroy(); }
    BasicSheetSession(const BasicSheetSession&) = delete;
    BasicSheetSession& operator=(const BasicSheetSession&) = delete;

    bool Start() { return sheet.OnInitDialog(); }
    bool Load(const QString& tcf) {
        return sheet.LoadTopologyFile(tcf) == CSheet::LoadResult::Loaded;
    }
    // The execution option as its menu command chooses it; true when the execution page is
    // in front afterwards.
    bool ChooseOption(bool once) {
        if (once) {
            sheet.OnProgramoptionsProgramonce();
        } else {
            sheet.OnProgramoptionsAutomatedprogram();
        }
        return sheet.RequestActivePage(kProgrammerPage) && sheet.ActivePage() == kProgrammerPage;
    }
    // START, then the library's events until the end-of-run event was handled. False when
    // START failed or the run did not end in time.
    bool RunToEnd(int timeoutMs = kRunTimeoutMs) {
        if (!sheet.StartProgramming()) {
            return false;
        }
        return WaitForEnd(timeoutMs);
    }
    bool WaitForEnd(int timeoutMs = kRunTimeoutMs) {
        return PumpUntil([this] { return sheet.LastRun().ended; }, timeoutMs);
    }
    // STOP, then the events until the end-of-run event.
    bool StopAndWait(int timeoutMs = kRunTimeoutMs) {
        return sheet.StopProgramming() && WaitForEnd(timeoutMs);
    }

    // Where the status lines stand now, and the lines added since.
    std::size_t Mark() const { return window.status.size(); }
    QStringList LinesSince(std::size_t mark) const {
        QStringList lines;
        for (std::size_t i = mark; i < window.status.size(); ++i) {
            lines.push_back(window.status[i].text);
        }
        return lines;
    }
    // The lines since `mark` that contain `part`.
    QStringList LinesWith(const QString& part, std::size_t mark = 0) const {
        QStringList lines;
        for (const QString& line : LinesSince(mark)) {
            if (line.contains(part)) {
                lines.push_back(line);
            }
        }
        return lines;
    }

private:
    // The application object exists before the sheet registers its event receiver.
    [[maybe_unused]] bool applicationReady_ = (EnsureCoreApplication(), true);

public:
    Window window;
    CSheet sheet{window};
};

using SheetSession = BasicSheetSession<>;

} // namespace testsupport
