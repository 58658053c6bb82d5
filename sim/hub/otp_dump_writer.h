// DumpOTP's output: a readable text file per hub in otp-dumps/ of the state folder, with the
// OTP's serial number, write count and content as a hex dump. docs/simulator.md shows one.
#pragma once

#include "sim/hub/hub_memory.h"

#include <filesystem>
#include <string>

namespace simhub {

struct OtpDumpRequest {
    std::string deviceName; // UTF-8, as the tool named the hub
    std::string portName;   // UTF-8, the tool's port name (its topology string)
    std::string devicePath; // UTF-8
    Uuid uuid{};
    uint32_t otpWrites = 0; // the board's write limit
    uint32_t otpSize = 0;
};

// otp-dumps/<port name>_<UUID>.txt (characters other than letters, digits, '.', '-' and '_'
// of the port name become '_'; just <UUID>.txt without a port name).
std::filesystem::path OtpDumpFile(const std::filesystem::path& stateFolder,
                                  const OtpDumpRequest& request);

// The dump's text.
std::string FormatOtpDump(const OtpDumpRequest& request, const HubMemoryState& memory);

} // namespace simhub
