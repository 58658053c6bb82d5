#include "sim/hub/hub_memory.h"

#include "sim/hub/state_files.h"

#include <nlohmann/json.hpp>

#include <system_error>

namespace simhub {

namespace {

using nlohmann::json;

json ContentToJson(const MemoryContent& content) {
    return json{{"storageMode", content.storageMode}, {"kind", content.kind},
                {"serial", content.serial},           {"writtenAt", content.writtenAt},
                {"size", content.bytes.size()},       {"data", HexEncode(content.bytes)}};
}

bool ContentFromJson(const json& value, MemoryContent& content) {
    if (!value.is_object()) {
        return false;
    }
    content.storageMode = value.at("storageMode").get<int32_t>();
    content.kind = value.at("kind").get<std::string>();
    content.serial = value.at("serial").get<std::string>();
    content.writtenAt = value.value("writtenAt", std::string());
    return HexDecode(value.at("data").get<std::string>(), content.bytes);
}

} // namespace

std::filesystem::path HubMemoryStore::FileOf(const Uuid& uuid) const {
    return folder_ / (UuidText(uuid) + ".json");
}

bool HubMemoryStore::Load(const Uuid& uuid, HubMemoryState& state, std::string& error) const {
    state = HubMemoryState{};
    const auto file = FileOf(uuid);
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        return true;
    }
    std::string text;
    if (!ReadWholeFile(file, text, error)) {
        return false;
    }
    try {
        const json root = json::parse(text);
        state.otpWritesUsed = root.at("otpWritesUsed").get<uint32_t>();
        if (const auto it = root.find("otp"); it != root.end() && !it->is_null()) {
            state.otp.emplace();
            if (!ContentFromJson(*it, *state.otp)) {
                error = file.string() + ": the OTP content is damaged";
                return false;
            }
        }
        if (const auto it = root.find("spi"); it != root.end() && !it->is_null()) {
            state.spi.emplace();
            if (!ContentFromJson(*it, *state.spi)) {
                error = file.string() + ": the SPI flash content is damaged";
                return false;
            }
        }
    } catch (const json::exception& e) {
        error = file.string() + ": " + e.what();
        return false;
    }
    return true;
}

std::string HubMemoryStore::Save(const Uuid& uuid, const HubMemoryState& state) const {
    json root{{"uuid", UuidText(uuid)},
              {"otpWritesUsed", state.otpWritesUsed},
              {"otp", state.otp ? ContentToJson(*state.otp) : json(nullptr)},
              {"spi", state.spi ? ContentToJson(*state.spi) : json(nullptr)}};
    return WriteFileAtomically(FileOf(uuid),
                               root.dump(2, ' ', false, json::error_handler_t::replace) + "\n");
}

int32_t WritePayload(HubMemoryState& state, int32_t storageMode, const Payload& payload,
                     const DeviceSpec& board) {
    MemoryContent content{storageMode, payload.kind, payload.serial, UtcTimestamp(), payload.bytes};
    if (storageMode == hubabi::kStorageOtp) {
        if (state.otpWritesUsed >= board.otpWrites) {
            return hubabi::kStatusOtpFull;
        }
        if (payload.bytes.size() > board.otpSize) {
            return hubabi::kStatusInsufficientSpace;
        }
        ++state.otpWritesUsed;
        state.otp = std::move(content);
        return 0;
    }
    if (payload.bytes.size() > board.spiSize) {
        return hubabi::kStatusInsufficientSpace;
    }
    state.spi = std::move(content);
    return 0;
}

} // namespace simhub
