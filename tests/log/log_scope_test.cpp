// Scope guards: the shared depth, bad names, exceptions, and a writer without a file.
#include "log/indent_write.h"
#include "log/logger.h"

#include "log_test_support.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using logtest::ReadFile;
using logtest::Texts;

namespace {

const std::string kLog = "trace.txt";

TEST(LogScope, EmptyOrNullNameThrowsAndChangesNothing) {
    for (const char* name : {static_cast<const char*>(nullptr), ""}) {
        ::unlink(kLog.c_str());
        CIndentWrite writer(kLog);
        writer.SetVerbosity(3); // an entry line would be written
        CLogger open("Open::scope", writer);
        const std::string before = ReadFile(kLog);
        EXPECT_THROW(CLogger bad(name, writer), CIndentWriteError);
        EXPECT_EQ(writer.Depth(), 1);
        EXPECT_EQ(ReadFile(kLog), before);
    }
}

TEST(LogScope, DepthNeverGoesBelowZero) {
    CIndentWrite writer(kLog);
    for (int i = 0; i < 3; ++i) {
        writer.LeaveScope();
    }
    EXPECT_EQ(writer.Depth(), 0);
    {
        CLogger outer("Outer::run", writer);
        // More scopes closed than opened: the depth stops at 0 and the guard's own
        // close does not take it below.
        writer.LeaveScope();
        writer.LeaveScope();
        EXPECT_EQ(writer.Depth(), 0);
        outer.Log(2, "still at my depth");
    }
    EXPECT_EQ(writer.Depth(), 0);
    writer.WriteLine(-2, 2, "negative depth");
    {
        CLogger again("Again::run", writer);
        EXPECT_EQ(again.Depth(), 1);
        again.Log(2, "x");
    }
    const std::vector<std::string> expected = {"    Outer::run: still at my depth",
                                               "negative depth", "    Again::run: x"};
    EXPECT_EQ(Texts(kLog), expected);
}

TEST(LogScope, ExceptionPassingThroughClosesTheScope) {
    {
        CIndentWrite writer(kLog);
        writer.SetVerbosity(3);
        EXPECT_THROW(
            {
                CLogger log("Thrower::run", writer);
                throw std::runtime_error("boom");
            },
            std::runtime_error);
        EXPECT_EQ(writer.Depth(), 0);
    }
    const std::vector<std::string> expected = {"    Thrower::run--->{", "    }//<---Thrower::run"};
    EXPECT_EQ(Texts(kLog), expected);
}

// The depth counts every scope open in the process, whichever thread opened it.
TEST(LogScope, DepthIsSharedByAllThreads) {
    {
        CIndentWrite writer(kLog);
        CLogger ui("CSheet::OnDeviceEvent", writer);
        std::thread library([&writer] {
            CLogger notifier("DeviceStatusNotifier", writer);
            notifier.Log(2, "event %d", 1);
        });
        library.join();
        ui.Log(2, "handled");
    }
    const std::vector<std::string> expected = {"        DeviceStatusNotifier: event 1",
                                               "    CSheet::OnDeviceEvent: handled"};
    EXPECT_EQ(Texts(kLog), expected);
}

// A file that cannot be opened loses the lines silently; scopes still count.
TEST(LogScope, WriterWithoutFileWritesNothingAndRunsOn) {
    CIndentWrite writer("no-such-folder/trace.txt");
    {
        CLogger log("Lost::run", writer);
        log.Log(2, "lost");
        EXPECT_EQ(writer.Depth(), 1);
    }
    writer.CheckSize();
    EXPECT_EQ(writer.Depth(), 0);
    EXPECT_NE(::access("no-such-folder", F_OK), 0);
}

} // namespace
