// The programming record: one line per attempt the programmer manager makes, appended to
// programming-record.tsv in the state folder. It is the device-side truth about which serial
// number went onto which board. docs/simulator.md gives the format.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace simhub {

struct RecordLine {
    std::string time; // UTC time stamp of the attempt's end
    int32_t controller = 0;
    int32_t device = 0;
    std::string devicePath; // UTF-8
    std::string uuid;       // 32 hex digits
    int32_t storageMode = 0;
    std::string serial; // UTF-8; empty when no serial number was written
    int32_t status = 0; // the final hub status of the attempt
    std::string action; // "program", "program+verify" or "verify"
};

class ProgrammingRecord {
public:
    explicit ProgrammingRecord(std::filesystem::path stateFolder)
        : file_(std::move(stateFolder) / "programming-record.tsv") {}

    const std::filesystem::path& File() const { return file_; }
    // Appends the line with a single write() to a file opened for appending, so lines of
    // several processes never mix and a process killed at any moment leaves whole lines.
    // "" on success.
    std::string Append(const RecordLine& line) const;

    // The line as written: nine tab-separated fields (backslash, tab, CR and LF escaped as
    // \\, \t, \r, \n) and a line feed.
    static std::string Format(const RecordLine& line);

private:
    std::filesystem::path file_;
};

} // namespace simhub
