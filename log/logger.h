// CLogger: the trace scope a traced operation opens as its first statement. It counts the
// nesting depth, writes entry and exit lines at level 3 and the operation's own messages.
#pragma once

#include "log/indent_write.h"

#include <cstddef>
#include <string_view>

class CLogger {
public:
    static constexpr int kLevelMessage = 2;
    static constexpr int kLevelScope = 3;
    static constexpr std::size_t kNameCapacity = 100; // 99 characters and the terminator
    static constexpr std::size_t kNameBytes = (kNameCapacity - 1) * 4 + 1; // in UTF-8
    static constexpr std::size_t kLineCapacity = 4096; // prefix and text, terminator included

    // Opens a scope; an empty or null name throws CIndentWriteError and changes nothing.
    explicit CLogger(const char* name, CIndentWrite& writer = CIndentWrite::Instance());
    virtual ~CLogger();
    CLogger(const CLogger&) = delete;
    CLogger& operator=(const CLogger&) = delete;

    // printf-style message; "%s" takes UTF-8 text (use qUtf8Printable for a QString).
    void Log(int level, const char* format, ...) __attribute__((format(printf, 3, 4)));
    // A ready-made message, written as it stands (no format processing).
    void LogText(int level, std::string_view text);

    const char* Name() const { return name_; }
    int Depth() const { return depth_; }

    // Scope guards live on the stack only.
    static void* operator new(std::size_t) = delete;
    static void* operator new[](std::size_t) = delete;

private:
    CIndentWrite* writer_;
    char name_[kNameBytes];
    int depth_;
};
