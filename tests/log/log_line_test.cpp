// The lines the trace log writes: stamp, indentation, prefix, levels, the length cut and
// UTF-8 text.
#include "log/indent_write.h"
#include "log/logger.h"

#include "log_test_support.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

using logtest::AfterStamp;
using logtest::Lines;
using logtest::ReadFile;
using logtest::Texts;

namespace {

const std::string kLog = "trace.txt";

std::string Repeat(const std::string& unit, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += unit;
    }
    return text;
}

TEST(LogLine, FormatByVerbosityLevelAndDepth) {
    struct Scenario {
        const char* name;
        int verbosity;
        std::function<void(CIndentWrite&)> run;
        std::vector<std::string> expected; // the lines without their time stamps
    };
    const Scenario scenarios[] = {
        {"level 2 in one scope",
         2,
         [](CIndentWrite& w) {
             CLogger log("CSheet::EnumUSB", w);
             log.Log(2, "Cleared existing USB information");
         },
         {"    CSheet::EnumUSB: Cleared existing USB information"}},
        {"three nested scopes indent by 12, scope lines dropped",
         2,
         [](CIndentWrite& w) {
             CLogger a("A::a", w);
             {
                 CLogger b("B::b", w);
                 {
                     CLogger c("C::c", w);
                     c.Log(2, "deep %d", 3);
                 }
                 b.Log(2, "middle");
             }
         },
         {"            C::c: deep 3", "        B::b: middle"}},
        {"verbosity 3: entry and exit at one indentation, no prefix",
         3,
         [](CIndentWrite& w) {
             CLogger a("A::a", w);
             a.Log(2, "one");
             {
                 CLogger b("B::b", w);
                 b.Log(2, "two %s", "x");
             }
             a.Log(3, "three");
         },
         {"    A::a--->{", "    one", "        B::b--->{", "        two x", "        }//<---B::b",
          "    three", "    }//<---A::a"}},
        {"verbosity 1 drops level 2",
         1,
         [](CIndentWrite& w) {
             CLogger a("A::a", w);
             a.Log(2, "dropped");
             a.Log(1, "kept");
         },
         {"    A::a: kept"}},
        {"ready-made text is not a format",
         2,
         [](CIndentWrite& w) {
             CLogger a("A::a", w);
             a.LogText(2, "100% %s %d");
         },
         {"    A::a: 100% %s %d"}},
        {"a raw line outside any scope has no indentation",
         2,
         [](CIndentWrite& w) { w.WriteLine(0, 2, "bare"); },
         {"bare"}},
    };
    for (const Scenario& s : scenarios) {
        ::unlink(kLog.c_str());
        {
            CIndentWrite writer(kLog);
            writer.SetVerbosity(s.verbosity);
            s.run(writer);
            EXPECT_EQ(writer.Depth(), 0) << s.name;
        }
        EXPECT_EQ(Texts(kLog), s.expected) << s.name;
    }
}

TEST(LogLine, TimeStampIsLocalTimeWithoutLeadingZerosAndLineEndsWithLfOnly) {
    CIndentWrite writer(kLog);
    const std::time_t before = std::time(nullptr);
    writer.WriteLine(1, 2, "stamped");
    const std::time_t after = std::time(nullptr);

    const std::string content = ReadFile(kLog);
    EXPECT_EQ(content.find('\r'), std::string::npos);
    const std::vector<std::string> lines = Lines(content);
    ASSERT_EQ(lines.size(), 1u);
    logtest::Stamp stamp;
    EXPECT_EQ(AfterStamp(lines[0], &stamp), "    stamped");

    bool matched = false;
    for (std::time_t t = before; t <= after; ++t) {
        std::tm local{};
        ::localtime_r(&t, &local);
        matched = matched || (stamp.day == local.tm_mday && stamp.month == local.tm_mon + 1 &&
                              stamp.year == local.tm_year + 1900 && stamp.hour == local.tm_hour &&
                              stamp.minute == local.tm_min && stamp.second == local.tm_sec);
    }
    EXPECT_TRUE(matched) << lines[0];
}

// Prefix and message share 4095 characters; the cut never splits a UTF-8 character.
TEST(LogLine, LongMessageIsCutAt4095Characters) {
    struct Case {
        const char* name;
        int verbosity;
        std::string message;
        std::string expected; // the line after its indentation
    };
    const std::string prefix = "S::f: ";
    const Case cases[] = {
        {"ASCII", 2, Repeat("x", 5000), prefix + Repeat("x", 4089)},
        {"exactly fits", 2, Repeat("x", 4089), prefix + Repeat("x", 4089)},
        {"one over", 2, Repeat("x", 4090), prefix + Repeat("x", 4089)},
        {"two-byte characters", 2, Repeat("\xC3\xA9", 5000), prefix + Repeat("\xC3\xA9", 4089)},
        {"three-byte characters", 2, Repeat("\xE6\x97\xA5", 4500),
         prefix + Repeat("\xE6\x97\xA5", 4089)},
        {"four-byte characters after one ASCII", 2, "a" + Repeat("\xF0\x9F\x99\x82", 4200),
         prefix + "a" + Repeat("\xF0\x9F\x99\x82", 4088)},
        {"no prefix with verbosity 3", 3, Repeat("\xC3\xA9", 5000), Repeat("\xC3\xA9", 4095)},
    };
    for (const Case& c : cases) {
        ::unlink(kLog.c_str());
        {
            CIndentWrite writer(kLog);
            writer.SetVerbosity(c.verbosity);
            CLogger log("S::f", writer);
            log.Log(2, "%s", c.message.c_str());
            log.LogText(2, c.message);
        }
        std::vector<std::string> texts = Texts(kLog);
        if (c.verbosity == 3) {
            ASSERT_EQ(texts.size(), 4u) << c.name; // entry, two messages, exit
            texts = {texts[1], texts[2]};
        }
        ASSERT_EQ(texts.size(), 2u) << c.name;
        for (const std::string& text : texts) {
            EXPECT_TRUE(text == "    " + c.expected)
                << c.name << ": " << text.size() << " bytes, expected " << c.expected.size() + 4;
        }
    }
}

TEST(LogLine, BrokenUtf8IsCutToo) {
    // Continuation bytes without a lead byte: each counts as one character, so the line is
    // still bounded.
    const std::string broken(10000, '\x80');
    {
        CIndentWrite writer(kLog);
        CLogger log("S::f", writer);
        log.LogText(2, broken);
    }
    const std::vector<std::string> texts = Texts(kLog);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(texts[0] == "    S::f: " + std::string(4089, '\x80'))
        << texts[0].size() << " bytes";
}

TEST(LogLine, NonAsciiTextSurvivesAndLaterLinesFollow) {
    const std::string text = "Gr\xC3\xBC\xC3\x9F"
                             "e \xE2\x80\x93 \xE6\x97\xA5\xE6\x9C\xAC "
                             "\xF0\x9F\x99\x82";
    {
        CIndentWrite writer(kLog);
        CLogger log("Ger\xC3\xA4t::Pr\xC3\xBC"
                    "fen",
                    writer);
        log.Log(2, "%s", text.c_str());
        log.Log(2, "after");
    }
    const std::vector<std::string> expected = {"    Ger\xC3\xA4t::Pr\xC3\xBC"
                                               "fen: " +
                                                   text,
                                               "    Ger\xC3\xA4t::Pr\xC3\xBC"
                                               "fen: after"};
    EXPECT_EQ(Texts(kLog), expected);
}

// A scope name keeps at most 99 characters, cut on a character boundary.
TEST(LogLine, ScopeNameKeeps99Characters) {
    struct Case {
        std::string name;
        std::string kept;
    };
    const Case cases[] = {
        {std::string(120, 'n'), std::string(99, 'n')},
        {std::string(99, 'n'), std::string(99, 'n')},
        {std::string(98, 'a') + "\xC3\xA9" + "zz", std::string(98, 'a') + "\xC3\xA9"},
        {Repeat("\xE6\x97\xA5", 100), Repeat("\xE6\x97\xA5", 99)},
    };
    for (const Case& c : cases) {
        ::unlink(kLog.c_str());
        {
            CIndentWrite writer(kLog);
            CLogger log(c.name.c_str(), writer);
            EXPECT_EQ(std::string(log.Name()), c.kept);
            log.Log(2, "m");
        }
        EXPECT_EQ(Texts(kLog), std::vector<std::string>{"    " + c.kept + ": m"});
    }
}

// The process-wide writer is created on first use in the current directory.
TEST(LogLine, ProcessWideWriterWritesInTheCurrentDirectory) {
    char cwd[PATH_MAX];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    const std::string path = std::string(cwd) + "/TessaroKDXToolLog.txt";
    EXPECT_EQ(CIndentWrite::Instance().FilePath(), path);
    EXPECT_EQ(&CIndentWrite::Instance(), &CIndentWrite::Instance());
    EXPECT_EQ(CIndentWrite::Instance().Verbosity(), 2);
    {
        CLogger log("CSheet::OnInitDialog");
        log.Log(2, "started");
        log.Log(3, "not written");
    }
    EXPECT_EQ(Texts(path), std::vector<std::string>{"    CSheet::OnInitDialog: started"});
}

} // namespace
