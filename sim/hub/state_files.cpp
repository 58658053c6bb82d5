#include "sim/hub/state_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace simhub {

namespace {

std::string ErrnoText(const std::string& what, const std::filesystem::path& file) {
    return what + " " + file.string() + ": " + std::strerror(errno);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

std::filesystem::path ConfiguredStateFolder() {
    const char* configured = std::getenv("TESSARO_SIM_STATE");
    std::filesystem::path folder =
        configured != nullptr && *configured != '\0' ? configured : "sim-state";
    std::error_code ec;
    auto absolute = std::filesystem::absolute(folder, ec);
    return ec ? folder : absolute;
}

std::string WriteFileAtomically(const std::filesystem::path& file, std::string_view content) {
    static std::atomic<unsigned> counter{0};
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) {
        return "cannot create " + file.parent_path().string() + ": " + ec.message();
    }
    const std::filesystem::path temporary =
        file.string() + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(++counter);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return ErrnoText("cannot create", temporary);
    }
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            std::string error = ErrnoText("cannot write", temporary);
            ::close(fd);
            ::unlink(temporary.c_str());
            return error;
        }
        written += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        std::string error = ErrnoText("cannot write", temporary);
        ::unlink(temporary.c_str());
        return error;
    }
    if (::rename(temporary.c_str(), file.c_str()) != 0) {
        std::string error = ErrnoText("cannot replace", file);
        ::unlink(temporary.c_str());
        return error;
    }
    return {};
}

bool ReadWholeFile(const std::filesystem::path& file, std::string& content, std::string& error) {
    FILE* in = std::fopen(file.c_str(), "rb");
    if (in == nullptr) {
        error = ErrnoText("cannot open", file);
        return false;
    }
    content.clear();
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        content.append(buffer, n);
    }
    const bool failed = std::ferror(in) != 0;
    std::fclose(in);
    if (failed) {
        error = "cannot read " + file.string();
        return false;
    }
    return true;
}

std::string UuidText(const Uuid& uuid) {
    return HexEncode(std::vector<uint8_t>(uuid.begin(), uuid.end()));
}

std::string HexEncode(const std::vector<uint8_t>& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const uint8_t byte : bytes) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    }
    return text;
}

bool HexDecode(std::string_view text, std::vector<uint8_t>& bytes) {
    if (text.size() % 2 != 0) {
        return false;
    }
    bytes.clear();
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return true;
}

std::string UtcTimestamp() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<int>(millis));
    return text;
}

} // namespace simhub
