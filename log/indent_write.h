// The process-wide trace writer: one log file, one scope depth shared by all threads, one
// lock that serialises depth changes and whole lines.
#pragma once

#include <cstdint>
#include <ctime>
#include <mutex>
#include <string>
#include <string_view>

// Thrown by CLogger for an empty scope name; nothing catches it.
struct CIndentWriteError {};

class CIndentWrite {
public:
    static constexpr const char* kFileName = "TessaroKDXToolLog.txt";
    static constexpr uint32_t kMaxFileSize = 10485760; // the file is emptied at 10 MiB
    static constexpr int kDefaultVerbosity = 2;
    static constexpr int kSpacesPerDepth = 4;

    // Opens fileName (relative names resolve against the current directory now) for
    // appending and empties it right away when it already holds 10 MiB or more.
    explicit CIndentWrite(const std::string& fileName = kFileName);
    virtual ~CIndentWrite();
    CIndentWrite(const CIndentWrite&) = delete;
    CIndentWrite& operator=(const CIndentWrite&) = delete;

    // The process-wide writer, created on first use in the current directory.
    static CIndentWrite& Instance();

    // Writes one line: time stamp, 4 spaces per depth level, text, LF. Lines above the
    // verbosity are dropped. Never reports its own errors.
    void WriteLine(int depth, int level, std::string_view text);
    // Measures the file, refills the character budget and empties the file at 10 MiB.
    void CheckSize();

    int Verbosity() const;
    void SetVerbosity(int verbosity);

    // Scope depth, shared by every thread; it never goes below 0.
    int EnterScope();
    void LeaveScope();
    int Depth() const;

    // The file actually written (absolute path) and the budget left; for tests.
    std::string FilePath() const;
    uint32_t Remaining() const;

private:
    void CheckSizeLocked();
    void AppendTimeStamp(std::string& line);

    mutable std::recursive_mutex lock_;
    int depth_ = 0;
    int fd_ = -1;
    int verbosity_ = kDefaultVerbosity;
    uint32_t remaining_ = 0;
    std::string filePath_;
    // The time stamp of the last second written, reused while the second lasts.
    std::time_t stampSecond_ = -1;
    std::string stampText_;
};
