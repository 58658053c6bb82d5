// The command line: only "/dumpotp" (any case) means something; it shows the Dump OTP command.
#pragma once

#include <QStringList>

namespace commandline {

inline constexpr const char* kDumpOtpOption = "/dumpotp";

// True when an argument after the program name equals "/dumpotp", ignoring case.
bool HasDumpOtpOption(const QStringList& arguments);

// OtpDumpFlag: set once at start-up, read by the OTP dump.
bool OtpDumpFlag();
void SetOtpDumpFlag(bool enabled);

} // namespace commandline
