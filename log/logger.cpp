#include "log/logger.h"

#include "log/utf8_text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

CLogger::CLogger(const char* name, CIndentWrite& writer) : writer_(nullptr), name_{}, depth_(0) {
    if (name == nullptr || name[0] == '\0') {
        throw CIndentWriteError{};
    }
    writer_ = &writer;
    depth_ = writer_->EnterScope();
    // At most 99 characters, cut on a character boundary.
    const std::size_t size = utf8::PrefixBytes(name, kNameCapacity - 1);
    std::memcpy(name_, name, size);
    name_[size] = '\0';
    Log(kLevelScope, "%s--->{", name_);
}

CLogger::~CLogger() {
    if (writer_ == nullptr) {
        return;
    }
    Log(kLevelScope, "}//<---%s", name_);
    writer_->LeaveScope();
    writer_ = nullptr;
}

void CLogger::Log(int level, const char* format, ...) {
    if (writer_ == nullptr || format == nullptr || level > writer_->Verbosity()) {
        return;
    }
    char stackBuffer[kLineCapacity];
    va_list args;
    va_start(args, format);
    va_list retry;
    va_copy(retry, args);
    const int needed = std::vsnprintf(stackBuffer, sizeof stackBuffer, format, args);
    va_end(args);
    std::string text;
    if (needed < 0) {
        text.clear();
    } else if (static_cast<std::size_t>(needed) < sizeof stackBuffer) {
        text.assign(stackBuffer, static_cast<std::size_t>(needed));
    } else {
        // UTF-8 may need more bytes than characters; the cut below counts characters.
        text.resize(static_cast<std::size_t>(needed) + 1);
        std::vsnprintf(text.data(), text.size(), format, retry);
        text.resize(static_cast<std::size_t>(needed));
    }
    va_end(retry);
    LogText(level, text);
}

void CLogger::LogText(int level, std::string_view text) {
    if (writer_ == nullptr) {
        return;
    }
    std::string line;
    if (writer_->Verbosity() != 3 && level != kLevelScope) {
        line.reserve(std::strlen(name_) + 2 + text.size());
        line += name_;
        line += ": ";
    }
    line.append(text);
    line.resize(utf8::PrefixBytes(line, kLineCapacity - 1));
    writer_->WriteLine(depth_, level, line);
}
