// The character budget and the emptying of the log at 10 MiB. Big files are made sparse.
#include "log/indent_write.h"
#include "log/logger.h"

#include "log_test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

using logtest::FileSize;
using logtest::MakeFile;
using logtest::ReadFile;
using logtest::Texts;

namespace {

const std::string kLog = "trace.txt";
constexpr off_t kLimit = 10 * 1024 * 1024;

// Each line costs its indentation and text in characters plus 2; the stamp is free.
TEST(LogSize, BudgetCountsCharactersOfIndentationAndText) {
    struct Case {
        const char* name;
        off_t existing;
        int depth;
        int level;
        std::string text;
        uint32_t cost;
    };
    const Case cases[] = {
        {"empty file", 0, 0, 2, "abc", 5},
        {"existing content", 1000, 2, 2, "abc", 13},
        {"characters, not bytes", 0, 1, 2, "\xC3\xA9\xE6\x97\xA5\xF0\x9F\x99\x82", 4 + 3 + 2},
        {"empty text", 0, 0, 2, "", 2},
        {"filtered line is free", 0, 3, 3, "scope", 0},
    };
    for (const Case& c : cases) {
        ::unlink(kLog.c_str());
        if (c.existing > 0) {
            MakeFile(kLog, "old", c.existing);
        }
        CIndentWrite writer(kLog);
        const uint32_t start = static_cast<uint32_t>(kLimit - c.existing);
        EXPECT_EQ(writer.Remaining(), start) << c.name;
        writer.WriteLine(c.depth, c.level, c.text);
        EXPECT_EQ(writer.Remaining(), start - c.cost) << c.name;
    }
}

// A file of 10 MiB or more is emptied when the writer opens it; a smaller one is appended.
TEST(LogSize, ExistingFileAtStart) {
    struct Case {
        off_t size;
        bool emptied;
    };
    const Case cases[] = {
        {kLimit + 4096, true}, {kLimit, true}, {kLimit - 1, false}, {9 * 1024 * 1024, false}};
    const std::string marker = "old content\n";
    for (const Case& c : cases) {
        MakeFile(kLog, marker, c.size);
        {
            CIndentWrite writer(kLog);
            EXPECT_EQ(writer.Remaining(), c.emptied ? kLimit : kLimit - c.size) << c.size;
            writer.WriteLine(0, 2, "new line");
        }
        const std::string content = ReadFile(kLog);
        if (c.emptied) {
            EXPECT_EQ(Texts(kLog), std::vector<std::string>{"new line"}) << c.size;
        } else {
            // Old content first (the hole reads as NULs), the new line right after it.
            ASSERT_GT(content.size(), static_cast<std::size_t>(c.size)) << c.size;
            EXPECT_EQ(content.compare(0, marker.size(), marker), 0) << c.size;
            EXPECT_EQ(logtest::AfterStamp(content.substr(static_cast<std::size_t>(c.size))),
                      "new line\n")
                << c.size;
        }
    }
}

// A writer whose budget runs out measures the file; past 10 MiB it starts an empty file.
TEST(LogSize, WriterCrossingTheLimitEmptiesTheFile) {
    MakeFile(kLog, "old", kLimit - 100);
    CIndentWrite writer(kLog);
    const std::string text(50, 'x');
    writer.WriteLine(0, 2, text);
    EXPECT_EQ(writer.Remaining(), 48u);
    writer.WriteLine(0, 2, text); // costs 52, more than is left: the budget is used up
    EXPECT_EQ(writer.Remaining(), 0u);
    EXPECT_GT(FileSize(kLog), kLimit);

    writer.WriteLine(0, 2, "first of the new file");
    EXPECT_EQ(Texts(kLog), std::vector<std::string>{"first of the new file"});
    EXPECT_EQ(writer.Remaining(), kLimit - (21 + 2));
}

// When the budget runs out below 10 MiB (the file shrank meanwhile), the measurement
// refills the budget from the real size and keeps the content.
TEST(LogSize, MeasurementRefillsTheBudgetFromTheRealSize) {
    MakeFile(kLog, "old", kLimit - 60);
    CIndentWrite writer(kLog);
    ASSERT_EQ(::truncate(kLog.c_str(), 0), 0);
    const std::string text(50, 'y');
    writer.WriteLine(0, 2, text);
    EXPECT_EQ(writer.Remaining(), 8u);
    writer.WriteLine(0, 2, text);
    EXPECT_EQ(writer.Remaining(), 0u);
    const off_t twoLines = FileSize(kLog);
    writer.WriteLine(0, 2, text);
    EXPECT_EQ(writer.Remaining(), kLimit - twoLines - 52);
    EXPECT_EQ(Texts(kLog), std::vector<std::string>(3, text));
}

} // namespace
