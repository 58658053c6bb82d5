#include "app/app_startup.h"

#include "app/command_line.h"
#include "log/logger.h"

bool BeginApplication(SingleInstanceGuard& guard, const QStringList& arguments) {
    CLogger log("CZephranApp::InitInstance");
    const SingleInstanceGuard::Result result = guard.Acquire();
    if (result == SingleInstanceGuard::Result::AnotherInstance) {
        log.Log(2, "%s", SingleInstanceGuard::kAnotherInstanceText);
        return false;
    }
    if (result == SingleInstanceGuard::Result::Unguarded) {
        log.Log(2, "Single-instance lock %s unavailable; running unguarded",
                qUtf8Printable(SingleInstanceGuard::LockFilePath()));
    }
    if (commandline::HasDumpOtpOption(arguments)) {
        commandline::SetOtpDumpFlag(true);
    }
    return true;
}
