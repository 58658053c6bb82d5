// The command line: only an argument equal to "/dumpotp", in any case, turns the OTP dump on.
#include "app/app_startup.h"
#include "app/command_line.h"
#include "app/single_instance.h"
#include "tests/support/qt_print.h"

#include <gtest/gtest.h>

namespace {

struct DumpOtpCase {
    QStringList arguments; // the program path first
    bool dumpOtp;
};

TEST(CommandLineTest, DumpOtpIsRecognisedInAnyCaseAndNothingElse) {
    const QString tool = QStringLiteral("tool");
    const DumpOtpCase cases[] = {
        {{tool, QStringLiteral("/dumpotp")}, true},
        {{tool, QStringLiteral("/DUMPOTP")}, true},
        {{tool, QStringLiteral("/DumpOtp")}, true},
        {{tool, QStringLiteral("other"), QStringLiteral("/dUmPoTp")}, true},
        {{tool, QStringLiteral("/dumpotpx")}, false},
        {{tool, QStringLiteral("/dumpotp ")}, false},
        {{tool, QStringLiteral("dumpotp")}, false},
        {{tool, QStringLiteral("-dumpotp")}, false},
        {{tool, QStringLiteral("/dump otp")}, false},
        {{tool, QStringLiteral("/dumpotp=1")}, false},
        {{QStringLiteral("/dumpotp")}, false}, // the program path is not an argument
        {{tool}, false},
        {{}, false},
    };
    for (const DumpOtpCase& c : cases) {
        EXPECT_EQ(commandline::HasDumpOtpOption(c.arguments), c.dumpOtp)
            << ::testing::PrintToString(c.arguments);
    }
}

TEST(CommandLineTest, StartupSetsTheFlagFromTheArguments) {
    commandline::SetOtpDumpFlag(false);
    SingleInstanceGuard guard;
    ASSERT_TRUE(BeginApplication(guard, {QStringLiteral("tool"), QStringLiteral("/DUMPOTP")}));
    EXPECT_TRUE(commandline::OtpDumpFlag());
}

TEST(CommandLineTest, StartupLeavesTheFlagOffForALongerArgument) {
    commandline::SetOtpDumpFlag(false);
    SingleInstanceGuard guard;
    ASSERT_TRUE(BeginApplication(guard, {QStringLiteral("tool"), QStringLiteral("/dumpotpx")}));
    EXPECT_FALSE(commandline::OtpDumpFlag());
}

} // namespace
