// The memories of a simulated hub board, kept in the state folder under the board's UUID
// (hubs/<UUID>.json), so a board that leaves and comes back remembers them: the OTP, which
// takes a limited number of writes, and the SPI flash, which has a size.
#pragma once

#include "sim/hub/bench_description.h"
#include "sim/hub/live_bench.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace simhub {

struct MemoryContent {
    int32_t storageMode = hubabi::kStorageNone; // the mode it was written with
    std::string kind;                           // as Payload::kind
    std::string serial;                         // UTF-8, empty when none
    std::string writtenAt;                      // UTC time stamp
    std::vector<uint8_t> bytes;
};

struct HubMemoryState {
    uint32_t otpWritesUsed = 0;
    std::optional<MemoryContent> otp; // absent: blank
    std::optional<MemoryContent> spi; // absent: blank
};

class HubMemoryStore {
public:
    explicit HubMemoryStore(std::filesystem::path stateFolder)
        : folder_(std::move(stateFolder) / "hubs") {}

    std::filesystem::path FileOf(const Uuid& uuid) const;
    // A board never programmed has blank memories. False, with the reason, when its file
    // exists but cannot be read or makes no sense; the file is then left as it is.
    bool Load(const Uuid& uuid, HubMemoryState& state, std::string& error) const;
    // "" on success.
    std::string Save(const Uuid& uuid, const HubMemoryState& state) const;

private:
    std::filesystem::path folder_;
};

// Writes a payload into the memory of the storage mode (0 and 1, 2: SPI flash; 3: OTP) within
// the board's limits. 0 when written, else the hub status of the failure: 11 when it does not
// fit, 13 when the OTP has taken all its writes.
int32_t WritePayload(HubMemoryState& state, int32_t storageMode, const Payload& payload,
                     const DeviceSpec& board);

} // namespace simhub
