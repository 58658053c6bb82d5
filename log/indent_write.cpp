#include "log/indent_write.h"

#include "log/utf8_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

std::string AbsolutePath(const std::string& name) {
    if (name.empty() || name.front() == '/') {
        return name;
    }
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) == nullptr) {
        return name;
    }
    std::string path(cwd);
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path + name;
}

void AppendNumber(std::string& out, int value) {
    char digits[12];
    int n = 0;
    unsigned v = value < 0 ? 0u : static_cast<unsigned>(value);
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (n > 0) {
        out += digits[--n];
    }
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

CIndentWrite::CIndentWrite(const std::string& fileName) {
    std::lock_guard guard(lock_);
    filePath_ = AbsolutePath(fileName);
    fd_ = ::open(filePath_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    CheckSizeLocked();
}

CIndentWrite::~CIndentWrite() {
    std::lock_guard guard(lock_);
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

CIndentWrite& CIndentWrite::Instance() {
    // Never destroyed: traced code may still run from other static destructors or from a
    // library thread while the process exits. Every line is already on disk.
    static CIndentWrite* writer = new CIndentWrite();
    return *writer;
}

int CIndentWrite::Verbosity() const {
    std::lock_guard guard(lock_);
    return verbosity_;
}

void CIndentWrite::SetVerbosity(int verbosity) {
    std::lock_guard guard(lock_);
    verbosity_ = verbosity;
}

int CIndentWrite::EnterScope() {
    std::lock_guard guard(lock_);
    return ++depth_;
}

void CIndentWrite::LeaveScope() {
    std::lock_guard guard(lock_);
    if (depth_ > 0) {
        --depth_;
    }
}

int CIndentWrite::Depth() const {
    std::lock_guard guard(lock_);
    return depth_;
}

std::string CIndentWrite::FilePath() const {
    std::lock_guard guard(lock_);
    return filePath_;
}

uint32_t CIndentWrite::Remaining() const {
    std::lock_guard guard(lock_);
    return remaining_;
}

void CIndentWrite::CheckSize() {
    std::lock_guard guard(lock_);
    CheckSizeLocked();
}

void CIndentWrite::CheckSizeLocked() {
    uint64_t size = 0;
    struct stat info {};
    if (fd_ >= 0 && ::fstat(fd_, &info) == 0 && info.st_size > 0) {
        size = static_cast<uint64_t>(info.st_size);
    }
    if (size >= kMaxFileSize) {
        // Start again with an empty file; no backup copy is kept.
        remaining_ = kMaxFileSize;
        if (::ftruncate(fd_, 0) != 0) {
            remaining_ = 0;
        }
        return;
    }
    remaining_ = kMaxFileSize - static_cast<uint32_t>(size);
}

void CIndentWrite::AppendTimeStamp(std::string& line) {
    std::time_t now = std::time(nullptr);
    if (now != stampSecond_) {
        std::tm local{};
        ::localtime_r(&now, &local);
        stampText_.clear();
        AppendNumber(stampText_, local.tm_mday);
        stampText_ += '/';
        AppendNumber(stampText_, local.tm_mon + 1);
        stampText_ += '/';
        AppendNumber(stampText_, local.tm_year + 1900);
        stampText_ += '-';
        AppendNumber(stampText_, local.tm_hour);
        stampText_ += ':';
        AppendNumber(stampText_, local.tm_min);
        stampText_ += ':';
        AppendNumber(stampText_, local.tm_sec);
        stampSecond_ = now;
    }
    line += stampText_;
}

void CIndentWrite::WriteLine(int depth, int level, std::string_view text) {
    std::lock_guard guard(lock_);
    if (depth < 0) {
        depth = 0;
    }
    if (level > verbosity_ || fd_ < 0) {
        return;
    }
    if (remaining_ == 0) {
        CheckSizeLocked();
    }
    const std::size_t indent = static_cast<std::size_t>(depth) * kSpacesPerDepth;
    const std::size_t cost = indent + utf8::CountCharacters(text) + 2;
    remaining_ = remaining_ > cost ? remaining_ - static_cast<uint32_t>(cost) : 0;

    std::string line;
    line.reserve(24 + indent + text.size() + 1);
    AppendTimeStamp(line);
    line.append(indent, ' ');
    line.append(text);
    line += '\n';
    WriteAll(fd_, line.data(), line.size());
}
