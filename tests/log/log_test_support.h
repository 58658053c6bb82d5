// Helpers shared by the trace log tests: reading the log back and taking its lines apart.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <ctime>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace logtest {

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// The lines of a log, each without its LF; the content must end with LF.
inline std::vector<std::string> Lines(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < content.size()) {
        const std::size_t end = content.find('\n', begin);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last line has no LF: " << content.substr(begin);
            break;
        }
        lines.push_back(content.substr(begin, end - begin));
        begin = end + 1;
    }
    return lines;
}

// Time stamp of a line: day/month/year-hour:minute:second, plain decimal, no leading zeros.
struct Stamp {
    int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
};

inline const std::regex& StampPattern() {
    static const std::regex pattern(
        R"(^([1-9][0-9]?)/([1-9][0-9]?)/([1-9][0-9]{3})-(0|[1-9][0-9]?):(0|[1-9][0-9]?):)"
        R"((0|[1-9][0-9]?))");
    return pattern;
}

// Splits a line into its time stamp and the rest (indentation and text). Fails the test
// when the line does not start with a well-formed stamp.
inline std::string AfterStamp(const std::string& line, Stamp* stamp = nullptr) {
    std::smatch match;
    if (!std::regex_search(line, match, StampPattern())) {
        ADD_FAILURE() << "no time stamp at the start of: " << line;
        return {};
    }
    if (stamp != nullptr) {
        *stamp = {std::stoi(match[1]), std::stoi(match[2]), std::stoi(match[3]),
                  std::stoi(match[4]), std::stoi(match[5]), std::stoi(match[6])};
    }
    return match.suffix().str();
}

// The lines of the log at `path` without their time stamps.
inline std::vector<std::string> Texts(const std::string& path) {
    std::vector<std::string> texts;
    for (const std::string& line : Lines(ReadFile(path))) {
        texts.push_back(AfterStamp(line));
    }
    return texts;
}

// Makes `path` a file of `size` bytes that starts with `marker` (the rest is a hole).
inline void MakeFile(const std::string& path, const std::string& marker, off_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, marker.data(), marker.size()), static_cast<ssize_t>(marker.size()));
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
}

inline off_t FileSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return static_cast<off_t>(in.tellg());
}

} // namespace logtest
