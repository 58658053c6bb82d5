#include "app/command_line.h"

#include <atomic>

namespace {
std::atomic<bool> otpDumpFlag{false};
}

namespace commandline {

bool HasDumpOtpOption(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i).compare(QLatin1String(kDumpOtpOption), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

bool OtpDumpFlag() {
    return otpDumpFlag.load();
}

void SetOtpDumpFlag(bool enabled) {
    otpDumpFlag.store(enabled);
}

} // namespace commandline
