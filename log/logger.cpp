#include "log/logger.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Cuts UTF-8 text after maxCharacters characters, never inside a character.
void CutToCharacters(std::string& text, std::size_t maxCharacters) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (characters == maxCharacters) {
                text.resize(i);
                return;
            }
            ++characters;
        }
    }
}

} // namespace

CLogger::CLogger(const char* name, CIndentWrite& writer) : writer_(nullptr), name_{}, depth_(0) {
    if (name == nullptr || name[0] == '\0') {
        throw CIndentWriteError{};
    }
    writer_ = &writer;
    depth_ = writer_->EnterScope();
    std::strncpy(name_, name, kNameCapacity - 1);
    name_[kNameCapacity - 1] = '\0';
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
    CutToCharacters(line, kLineCapacity - 1);
    writer_->WriteLine(depth_, level, line);
}
