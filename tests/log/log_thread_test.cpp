// Lines written from several threads at once stay whole: each line is one stamp, one
// indentation and one message, never mixed with another line.
#include "log/indent_write.h"
#include "log/logger.h"

#include "log_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr int kThreads = 6;
constexpr int kLinesPerThread = 300;

std::string Padding(int thread, int line) {
    return std::string(static_cast<std::size_t>((thread * 131 + line * 17) % 1500),
                       static_cast<char>('a' + thread));
}

TEST(LogThreads, LinesNeverInterleave) {
    const std::string path = "trace.txt";
    {
        CIndentWrite writer(path);
        std::atomic<int> ready{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&writer, &ready, t] {
                CLogger log("Worker::Run", writer);
                ++ready;
                while (ready.load() < kThreads) {
                    std::this_thread::yield();
                }
                for (int i = 0; i < kLinesPerThread; ++i) {
                    log.Log(2, "thread %d line %d %s", t, i, Padding(t, i).c_str());
                }
            });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
        EXPECT_EQ(writer.Depth(), 0);
    }

    std::set<std::pair<int, int>> seen;
    for (const std::string& text : logtest::Texts(path)) {
        const std::size_t indent = text.find_first_not_of(' ');
        ASSERT_NE(indent, std::string::npos) << text;
        EXPECT_TRUE(indent % 4 == 0 && indent >= 4 && indent <= 4 * kThreads) << text;
        int t = -1;
        int i = -1;
        ASSERT_EQ(std::sscanf(text.c_str() + indent, "Worker::Run: thread %d line %d", &t, &i), 2)
            << text;
        ASSERT_TRUE(t >= 0 && t < kThreads && i >= 0 && i < kLinesPerThread) << text;
        EXPECT_EQ(text.substr(indent), "Worker::Run: thread " + std::to_string(t) + " line " +
                                           std::to_string(i) + " " + Padding(t, i));
        EXPECT_TRUE(seen.emplace(t, i).second) << "twice: " << text;
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kThreads * kLinesPerThread));
}

} // namespace
