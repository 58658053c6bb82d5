#include "sim/hub/programming_record.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace simhub {

namespace {

// Backslash, tab, CR and LF are escaped (\\, \t, \r, \n), so every line keeps its nine
// fields whatever a field holds, and the escaping can be undone exactly.
std::string Field(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

std::string ProgrammingRecord::Format(const RecordLine& line) {
    std::string text;
    text += Field(line.time);
    text += '\t' + std::to_string(line.controller);
    text += '\t' + std::to_string(line.device);
    text += '\t' + Field(line.devicePath);
    text += '\t' + Field(line.uuid);
    text += '\t' + std::to_string(line.storageMode);
    text += '\t' + Field(line.serial);
    text += '\t' + std::to_string(line.status);
    text += '\t' + Field(line.action);
    text += '\n';
    return text;
}

std::string ProgrammingRecord::Append(const RecordLine& line) const {
    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    const std::string text = Format(line);
    const int fd = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        return "cannot open " + file_.string() + ": " + std::strerror(errno);
    }
    ssize_t n = 0;
    do {
        n = ::write(fd, text.data(), text.size());
    } while (n < 0 && errno == EINTR);
    std::string error;
    if (n != static_cast<ssize_t>(text.size())) {
        error = "cannot append to " + file_.string() + ": " +
                (n < 0 ? std::strerror(errno) : "short write");
    }
    ::close(fd);
    return error;
}

} // namespace simhub
