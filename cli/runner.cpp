#include "cli/runner.h"

#include "app/app_startup.h"
#include "app/command_line.h"
#include "app/sheet.h"
#include "cli/headless_window.h"
#include "hub/device_data.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>

#include <atomic>
#include <csignal>
#include <cstdio>

namespace runner {

namespace {

constexpr int kStopGraceSeconds = 30;
constexpr const char* kUsage =
    "usage: tessaro-kdx-cli COMMAND [ARGS]\n"
    "  tree                       list the USB tree as the configuration page shows it\n"
    "  program FILE.tcf [--automated] [--timeout SECONDS]\n"
    "                             load FILE.tcf and program the hubs once (or automated)\n"
    "  new FILE.tcf               start a topology from the attached devices and save it\n"
    "  dumpotp                    dump the OTP memory of every hub\n";

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) {
    interrupted.store(true);
}

int Usage(const char* problem) {
    if (problem != nullptr) {
        std::fprintf(stderr, "tessaro-kdx-cli: %s\n", problem);
    }
    std::fputs(kUsage, stderr);
    return kExitNotStarted;
}

// Runs the event loop for a while, handling the library's posted notifications.
void PumpEvents(int milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, milliseconds);
    QThread::msleep(static_cast<unsigned long>(milliseconds > 10 ? 10 : milliseconds));
    QCoreApplication::sendPostedEvents();
}

// The window side of one command: the sheet, started as the window starts it.
class Session {
public:
    Session() : window_(stdout, stderr), sheet_(window_) {}
    ~Session() { sheet_.OnDestroy(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Start-up; false (with the reason already shown) when the command cannot go on.
    bool Start() {
        const bool ok = sheet_.OnInitDialog();
        if (!sheet_.StartupFatalError().isEmpty() || sheet_.libraryModule == nullptr) {
            return false;
        }
        if (!ok) {
            std::fprintf(stderr, "tessaro-kdx-cli: start-up did not complete\n");
        }
        return true;
    }

    CSheet& Sheet() { return sheet_; }
    HeadlessWindow& Window() { return window_; }

private:
    HeadlessWindow window_;
    CSheet sheet_;
};

void PrintTree(CSheet& sheet) {
    TopologyTreeModel& tree = sheet.GetTreeCtrl();
    for (const TreeItem* item : tree.AllItems()) {
        int depth = 0;
        for (const TreeItem* p = item->Parent(); p != nullptr; p = p->Parent()) {
            ++depth;
        }
        QString line = QString(depth * 2, u' ') + item->Text();
        if (CDeviceData* record = item->Record()) {
            line += QStringLiteral("  [%1] type=%2 state=%3")
                        .arg(record->GetInternalPortName())
                        .arg(record->GetDeviceType())
                        .arg(record->GetTopoLogy());
        }
        std::printf("%s\n", qUtf8Printable(line));
    }
    std::fflush(stdout);
}

int TreeCommand() {
    Session session;
    if (!session.Start()) {
        return kExitNotStarted;
    }
    PrintTree(session.Sheet());
    return kExitOk;
}

int NewCommand(const QString& file) {
    Session session;
    if (!session.Start()) {
        return kExitNotStarted;
    }
    session.Sheet().OnTopologyView();
    const CSheet::SaveResult result = session.Sheet().SaveTopologyFile(file);
    return result == CSheet::SaveResult::Saved ? kExitOk : kExitFailed;
}

int DumpOtpCommand() {
    commandline::SetOtpDumpFlag(true);
    Session session;
    if (!session.Start()) {
        return kExitNotStarted;
    }
    session.Sheet().DumpAllOTP();
    return kExitOk;
}

int ProgramCommand(const QString& file, bool automated, int timeoutSeconds) {
    Session session;
    if (!session.Start()) {
        return kExitNotStarted;
    }
    CSheet& sheet = session.Sheet();
    if (sheet.LoadTopologyFile(file) != CSheet::LoadResult::Loaded) {
        return kExitNotStarted;
    }
    if (automated) {
        sheet.OnProgramoptionsAutomatedprogram();
    } else {
        sheet.OnProgramoptionsProgramonce();
    }
    if (!sheet.RequestActivePage(kProgrammerPage)) {
        return kExitNotStarted;
    }
    if (!sheet.StartProgramming()) {
        return sheet.LastRun().preparationFailures > 0 ? kExitFailed : kExitNotStarted;
    }

    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    QDeadlineTimer deadline = timeoutSeconds > 0
                                  ? QDeadlineTimer(std::chrono::seconds(timeoutSeconds))
                                  : QDeadlineTimer(QDeadlineTimer::Forever);
    bool stopped = false;
    QDeadlineTimer grace(QDeadlineTimer::Forever);
    while (!sheet.LastRun().ended) {
        PumpEvents(50);
        if (!stopped && (interrupted.load() || deadline.hasExpired())) {
            std::fprintf(stderr, "tessaro-kdx-cli: %s, stopping the run\n",
                         interrupted.load() ? "interrupted" : "timeout");
            sheet.StopProgramming();
            stopped = true;
            grace = QDeadlineTimer(std::chrono::seconds(kStopGraceSeconds));
        }
        if (stopped && grace.hasExpired()) {
            std::fprintf(stderr, "tessaro-kdx-cli: the run did not end within %d s after STOP\n",
                         kStopGraceSeconds);
            return kExitNoRunEnd;
        }
    }
    const RunRecord& run = sheet.LastRun();
    const bool failed = run.endResult == hubabi::kRunSomeFailed || run.hubFailures > 0 ||
                        run.preparationFailures > 0;
    std::printf("Run ended: %d hub(s) succeeded, %d failed, %d not prepared\n", run.hubSuccesses,
                run.hubFailures, run.preparationFailures);
    std::fflush(stdout);
    return failed ? kExitFailed : kExitOk;
}

} // namespace

int Run(const QStringList& arguments) {
    if (arguments.size() < 2) {
        return Usage(nullptr);
    }
    const QString command = arguments.at(1);
    const QStringList rest = arguments.mid(2);

    QString file;
    bool automated = false;
    int timeoutSeconds = 0;
    if (command == QLatin1String("program") || command == QLatin1String("new")) {
        for (qsizetype i = 0; i < rest.size(); ++i) {
            const QString& arg = rest.at(i);
            if (command == QLatin1String("program") && arg == QLatin1String("--automated")) {
                automated = true;
            } else if (command == QLatin1String("program") && arg == QLatin1String("--timeout")) {
                bool ok = false;
                timeoutSeconds = i + 1 < rest.size() ? rest.at(++i).toInt(&ok) : 0;
                if (!ok || timeoutSeconds <= 0) {
                    return Usage("--timeout needs a positive number of seconds");
                }
            } else if (!arg.startsWith(QLatin1String("--")) && file.isEmpty()) {
                file = QFileInfo(arg).absoluteFilePath();
            } else {
                return Usage("unexpected argument");
            }
        }
        if (file.isEmpty()) {
            return Usage("a .tcf file is needed");
        }
    } else if (command == QLatin1String("tree") || command == QLatin1String("dumpotp")) {
        if (!rest.isEmpty()) {
            return Usage("unexpected argument");
        }
    } else if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    } else {
        return Usage("unknown command");
    }

    SingleInstanceGuard guard;
    if (!BeginApplication(guard, arguments)) {
        std::fprintf(stderr, "%s\n", SingleInstanceGuard::kAnotherInstanceText);
        return kExitNotStarted;
    }
    if (command == QLatin1String("tree")) {
        return TreeCommand();
    }
    if (command == QLatin1String("new")) {
        return NewCommand(file);
    }
    if (command == QLatin1String("dumpotp")) {
        return DumpOtpCommand();
    }
    return ProgramCommand(file, automated, timeoutSeconds);
}

} // namespace runner
