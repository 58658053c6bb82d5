#include "sim/common/config_block.h"

#include "sim/common/crc32.h"
#include "sim/common/serial_text.h"
#include "sim/common/utf_text.h"

#include <algorithm>
#include <cstring>

namespace simcfg {

namespace {

constexpr uint8_t kSelfPoweredFlag = 0x01;
constexpr uint8_t kPortEnabledFlag = 0x01;
constexpr uint8_t kPortRemovableFlag = 0x02;

void PutU16(std::vector<uint8_t>& out, std::size_t at, uint16_t value) {
    out[at] = static_cast<uint8_t>(value & 0xFFU);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void PutU32(std::vector<uint8_t>& out, std::size_t at, uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        out[at + i] = static_cast<uint8_t>((value >> (8 * i)) & 0xFFU);
    }
}

uint16_t GetU16(const uint8_t* at) {
    return static_cast<uint16_t>(at[0] | static_cast<unsigned>(at[1]) << 8);
}

uint32_t GetU32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
           static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

void AppendRecord(std::vector<uint8_t>& out, BlockTag tag, const std::vector<uint8_t>& value) {
    out.push_back(static_cast<uint8_t>(tag));
    out.push_back(static_cast<uint8_t>(value.size()));
    out.insert(out.end(), value.begin(), value.end());
}

void AppendText(std::vector<uint8_t>& out, BlockTag tag, const std::string& text) {
    AppendRecord(out, tag, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string Hex8(uint8_t value) {
    static constexpr char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[value >> 4] + digits[value & 0xF];
}

// Walks the records after the header and rebuilds what they describe.
class BlockReader {
public:
    BlockReader(const uint8_t* body, std::size_t size) : body_(body), size_(size) {}

    std::string Read(ConfigBlockContent& content) {
        std::size_t pos = 0;
        while (pos < size_) {
            if (size_ - pos < 2) {
                return "record header cut short at offset " + Offset(pos);
            }
            const uint8_t tag = body_[pos];
            const std::size_t length = body_[pos + 1];
            if (size_ - pos - 2 < length) {
                return "record " + Hex8(tag) + " at offset " + Offset(pos) +
                       " runs past the end of the block";
            }
            const std::string why = ReadRecord(tag, body_ + pos + 2, length);
            if (!why.empty()) {
                return why + " (record at offset " + Offset(pos) + ")";
            }
            pos += 2 + length;
        }
        return Finish(content);
    }

private:
    static std::string Offset(std::size_t bodyPos) {
        return std::to_string(bodyPos + kBlockHeaderSize);
    }

    std::string ReadRecord(uint8_t tag, const uint8_t* value, std::size_t length) {
        const auto text = [&]() {
            return std::string(reinterpret_cast<const char*>(value), length);
        };
        switch (static_cast<BlockTag>(tag)) {
        case BlockTag::UsbIds:
            if (haveIds_) {
                return "USB ID record appears twice";
            }
            if (length != 4) {
                return "USB ID record has length " + std::to_string(length) + ", not 4";
            }
            haveIds_ = true;
            settings_.vendorId = GetU16(value);
            settings_.productId = GetU16(value + 2);
            return {};
        case BlockTag::Manufacturer:
        case BlockTag::Product: {
            const bool manufacturer = static_cast<BlockTag>(tag) == BlockTag::Manufacturer;
            const char* name = manufacturer ? "manufacturer" : "product";
            std::string& target = manufacturer ? settings_.manufacturer : settings_.product;
            if (!target.empty()) {
                return std::string(name) + " record appears twice";
            }
            const std::string why = DeviceTextError(text(), kMaxDeviceStringCharacters);
            if (!why.empty()) {
                return std::string(name) + " " + why;
            }
            target = text();
            return {};
        }
        case BlockTag::HubOptions:
            if (haveOptions_) {
                return "hub options record appears twice";
            }
            if (length != 2) {
                return "hub options record has length " + std::to_string(length) + ", not 2";
            }
            if (value[0] == 0 || value[0] > kMaxPorts) {
                return "port count " + std::to_string(value[0]) + " is out of range";
            }
            if ((value[1] & ~kSelfPoweredFlag) != 0) {
                return "hub options carry unknown flags " + Hex8(value[1]);
            }
            haveOptions_ = true;
            portCount_ = value[0];
            settings_.selfPowered = (value[1] & kSelfPoweredFlag) != 0;
            return {};
        case BlockTag::Port: {
            if (length != 4) {
                return "port record has length " + std::to_string(length) + ", not 4";
            }
            const unsigned number = value[0];
            if (number == 0 || number > kMaxPorts) {
                return "port number " + std::to_string(number) + " is out of range";
            }
            if (ports_[number - 1].has_value()) {
                return "port " + std::to_string(number) + " appears twice";
            }
            if ((value[1] & ~(kPortEnabledFlag | kPortRemovableFlag)) != 0) {
                return "port " + std::to_string(number) + " carries unknown flags " +
                       Hex8(value[1]);
            }
            PortSettings port;
            port.enabled = (value[1] & kPortEnabledFlag) != 0;
            port.removable = (value[1] & kPortRemovableFlag) != 0;
            port.maxCurrentMilliamps = GetU16(value + 2);
            if (port.maxCurrentMilliamps > kMaxPortCurrentMilliamps) {
                return "port " + std::to_string(number) + " current " +
                       std::to_string(port.maxCurrentMilliamps) + " mA is out of range";
            }
            ports_[number - 1] = port;
            anyPort_ = true;
            return {};
        }
        case BlockTag::Serial: {
            if (haveSerial_) {
                return "serial record appears twice";
            }
            const std::string why = SerialUtf8Error(text());
            if (!why.empty()) {
                return why;
            }
            haveSerial_ = true;
            serial_ = text();
            return {};
        }
        }
        return "unknown record " + Hex8(tag);
    }

    std::string Finish(ConfigBlockContent& content) {
        const bool anySetting = haveIds_ || haveOptions_ || anyPort_ ||
                                !settings_.manufacturer.empty() || !settings_.product.empty();
        if (!anySetting && !haveSerial_) {
            return "the block holds neither settings nor a serial number";
        }
        if (anySetting) {
            if (!haveIds_) {
                return "the settings have no USB ID record";
            }
            if (!haveOptions_) {
                return "the settings have no hub options record";
            }
            for (unsigned i = 0; i < kMaxPorts; ++i) {
                if ((i < portCount_) != ports_[i].has_value()) {
                    return i < portCount_
                               ? "port " + std::to_string(i + 1) + " has no record"
                               : "port " + std::to_string(i + 1) + " is past the hub's " +
                                     std::to_string(portCount_) + " ports";
                }
            }
            for (unsigned i = 0; i < portCount_; ++i) {
                settings_.ports.push_back(*ports_[i]);
            }
            content.settings = settings_;
        }
        content.serial = serial_;
        return {};
    }

    const uint8_t* body_;
    std::size_t size_;
    HubSettings settings_;
    std::array<std::optional<PortSettings>, kMaxPorts> ports_{};
    unsigned portCount_ = 0;
    std::string serial_;
    bool haveIds_ = false;
    bool haveOptions_ = false;
    bool haveSerial_ = false;
    bool anyPort_ = false;
};

} // namespace

std::vector<uint8_t> EncodeConfigBlock(const HubSettings* settings, const std::string& serial) {
    std::vector<uint8_t> out(kBlockHeaderSize, 0);
    std::copy(kBlockMagic.begin(), kBlockMagic.end(), out.begin());
    PutU16(out, kBlockVersionOffset, kBlockFormatVersion);
    PutU16(out, kBlockHeaderSizeOffset, static_cast<uint16_t>(kBlockHeaderSize));
    if (settings != nullptr) {
        std::vector<uint8_t> ids(4);
        PutU16(ids, 0, settings->vendorId);
        PutU16(ids, 2, settings->productId);
        AppendRecord(out, BlockTag::UsbIds, ids);
        if (!settings->manufacturer.empty()) {
            AppendText(out, BlockTag::Manufacturer, settings->manufacturer);
        }
        if (!settings->product.empty()) {
            AppendText(out, BlockTag::Product, settings->product);
        }
        AppendRecord(out, BlockTag::HubOptions,
                     {static_cast<uint8_t>(settings->ports.size()),
                      static_cast<uint8_t>(settings->selfPowered ? kSelfPoweredFlag : 0)});
        for (std::size_t i = 0; i < settings->ports.size(); ++i) {
            const PortSettings& port = settings->ports[i];
            std::vector<uint8_t> value(4);
            value[0] = static_cast<uint8_t>(i + 1);
            value[1] = static_cast<uint8_t>((port.enabled ? kPortEnabledFlag : 0) |
                                            (port.removable ? kPortRemovableFlag : 0));
            PutU16(value, 2, port.maxCurrentMilliamps);
            AppendRecord(out, BlockTag::Port, value);
        }
    }
    if (!serial.empty()) {
        AppendText(out, BlockTag::Serial, serial);
    }
    PutU32(out, kBlockLengthOffset, static_cast<uint32_t>(out.size()));
    PutU32(out, kBlockCrcOffset,
           Crc32(out.data() + kBlockHeaderSize, out.size() - kBlockHeaderSize));
    return out;
}

BlockBuildResult BuildConfigBlock(const uint8_t* file, std::size_t fileSize,
                                  const std::string& serial) {
    BlockBuildResult result;
    if (fileSize == 0) {
        if (serial.empty()) {
            result.error = "nothing to build: the configuration file is empty and there is no "
                           "serial number";
            return result;
        }
        result.block = EncodeConfigBlock(nullptr, serial);
        result.ok = true;
        return result;
    }
    if (file == nullptr) {
        result.error = "the configuration file's data is missing (null with a size of " +
                       std::to_string(fileSize) + ")";
        return result;
    }
    const ConfigFileResult parsed = ParseConfigFile(file, fileSize);
    if (!parsed.ok) {
        result.error = "configuration file: " + parsed.Message();
        return result;
    }
    result.block = EncodeConfigBlock(&parsed.settings, serial);
    result.ok = true;
    return result;
}

BlockDecodeResult DecodeConfigBlock(const uint8_t* data, std::size_t size) {
    BlockDecodeResult result;
    if (data == nullptr || size < kBlockHeaderSize) {
        result.error = "truncated: " + std::to_string(data == nullptr ? 0 : size) +
                       " bytes, shorter than the " + std::to_string(kBlockHeaderSize) +
                       "-byte header";
        return result;
    }
    if (!std::equal(kBlockMagic.begin(), kBlockMagic.end(), data)) {
        result.error = "not a configuration block (wrong magic)";
        return result;
    }
    const uint16_t version = GetU16(data + kBlockVersionOffset);
    if (version != kBlockFormatVersion) {
        result.error = "unsupported format version " + std::to_string(version) + " (expected " +
                       std::to_string(kBlockFormatVersion) + ")";
        return result;
    }
    const uint16_t headerSize = GetU16(data + kBlockHeaderSizeOffset);
    if (headerSize != kBlockHeaderSize) {
        result.error = "header size " + std::to_string(headerSize) + " is not " +
                       std::to_string(kBlockHeaderSize);
        return result;
    }
    const uint32_t length = GetU32(data + kBlockLengthOffset);
    if (length < kBlockHeaderSize) {
        result.error = "length field " + std::to_string(length) + " is shorter than the header";
        return result;
    }
    if (length > size) {
        result.error = "truncated: the header gives " + std::to_string(length) + " bytes, " +
                       std::to_string(size) + " are present";
        return result;
    }
    if (length < size) {
        result.error = "length field " + std::to_string(length) + " does not match the " +
                       std::to_string(size) + " bytes given";
        return result;
    }
    const uint32_t stored = GetU32(data + kBlockCrcOffset);
    const uint32_t computed = Crc32(data + kBlockHeaderSize, size - kBlockHeaderSize);
    if (stored != computed) {
        result.error = "checksum mismatch";
        return result;
    }
    BlockReader reader(data + kBlockHeaderSize, size - kBlockHeaderSize);
    const std::string why = reader.Read(result.content);
    if (!why.empty()) {
        result.error = why;
        result.content = {};
        return result;
    }
    result.ok = true;
    return result;
}

bool StartsLikeConfigBlock(const uint8_t* data, std::size_t size) {
    if (data == nullptr || size == 0) {
        return false;
    }
    const std::size_t compared = std::min(size, kBlockMagic.size());
    return std::memcmp(data, kBlockMagic.data(), compared) == 0;
}

} // namespace simcfg
