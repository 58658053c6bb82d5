#include "sim/hub/otp_dump_writer.h"

#include "sim/hub/state_files.h"

#include <cstdio>

namespace simhub {

namespace {

void AppendHexDump(std::string& out, const std::vector<uint8_t>& bytes) {
    char line[100];
    for (std::size_t offset = 0; offset < bytes.size(); offset += 16) {
        std::string hex;
        std::string ascii;
        for (std::size_t i = 0; i < 16; ++i) {
            if (i == 8) {
                hex += ' ';
            }
            if (offset + i < bytes.size()) {
                const uint8_t byte = bytes[offset + i];
                std::snprintf(line, sizeof line, "%02X ", byte);
                hex += line;
                ascii += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
            } else {
                hex += "   ";
            }
        }
        std::snprintf(line, sizeof line, "%08zX  ", offset);
        out += line + hex + " |" + ascii + "|\n";
    }
}

} // namespace

std::filesystem::path OtpDumpFile(const std::filesystem::path& stateFolder,
                                  const OtpDumpRequest& request) {
    std::string name;
    for (const char c : request.portName) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        name += plain ? c : '_';
    }
    if (!name.empty()) {
        name += '_';
    }
    return stateFolder / "otp-dumps" / (name + UuidText(request.uuid) + ".txt");
}

std::string FormatOtpDump(const OtpDumpRequest& request, const HubMemoryState& memory) {
    std::string out;
    out += "OTP dump of a simulated hub\n";
    out += "Dumped at:     " + UtcTimestamp() + "\n";
    out += "Device name:   " + request.deviceName + "\n";
    out += "Port name:     " + request.portName + "\n";
    out += "Device path:   " + request.devicePath + "\n";
    out += "UUID:          " + UuidText(request.uuid) + "\n";
    out += "OTP writes:    " + std::to_string(memory.otpWritesUsed) + " of " +
           std::to_string(request.otpWrites) + " used\n";
    out += "OTP size:      " + std::to_string(request.otpSize) + " bytes\n";
    if (!memory.otp) {
        out += "Serial number: (none)\n";
        out += "Content:       blank, never written\n";
        return out;
    }
    const MemoryContent& otp = *memory.otp;
    out += "Serial number: " + (otp.serial.empty() ? std::string("(none)") : otp.serial) + "\n";
    out += "Written at:    " + otp.writtenAt + "\n";
    out += "Content:       " + otp.kind + ", " + std::to_string(otp.bytes.size()) + " bytes\n";
    AppendHexDump(out, otp.bytes);
    return out;
}

} // namespace simhub
