// tessaro-kdx-cli: runs the same CSheet code paths as the window, without a screen.
#pragma once

#include <QStringList>

namespace runner {

// Exit codes of the runner.
enum ExitCode : int {
    kExitOk = 0,         // every attempted hub succeeded (also: nothing to do)
    kExitFailed = 1,     // preparation or a hub failed
    kExitNotStarted = 2, // wrong arguments, unusable file, page rule, library, instance
    kExitNoRunEnd = 3,   // the end-of-run event did not come within 30 s after STOP
};

// Runs the command in `arguments` (program name first) and returns the exit code.
int Run(const QStringList& arguments);

} // namespace runner
