#include "sim/common/config_block.h"
#include "sim/common/crc32.h"
#include "tests/sim_parser/test_bytes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using simcfg::BuildConfigBlock;
using simcfg::DecodeConfigBlock;
using simparsertest::Bytes;
using simparsertest::kFennelConfig;

std::vector<uint8_t> FennelBlock(const std::string& serial) {
    const auto file = Bytes(kFennelConfig);
    simcfg::BlockBuildResult built = BuildConfigBlock(file.data(), file.size(), serial);
    EXPECT_TRUE(built.ok) << built.error;
    return built.block;
}

TEST(Crc32, MatchesTheStandardCheckValue) {
    const auto bytes = Bytes("123456789");
    EXPECT_EQ(simcfg::Crc32(bytes.data(), bytes.size()), 0xCBF43926U);
}

TEST(ConfigBlock, HeaderLayout) {
    const auto block = FennelBlock("A1");
    ASSERT_GE(block.size(), simcfg::kBlockHeaderSize);
    EXPECT_TRUE(std::equal(simcfg::kBlockMagic.begin(), simcfg::kBlockMagic.end(), block.begin()));
    EXPECT_EQ(block[4] | block[5] << 8, simcfg::kBlockFormatVersion);
    EXPECT_EQ(block[6] | block[7] << 8, 16);
    EXPECT_EQ(
        static_cast<std::size_t>(block[8] | block[9] << 8 | block[10] << 16 | block[11] << 24),
        block.size());
    const uint32_t crc = static_cast<uint32_t>(block[12] | block[13] << 8 | block[14] << 16) |
                         static_cast<uint32_t>(block[15]) << 24;
    EXPECT_EQ(crc, simcfg::Crc32(block.data() + 16, block.size() - 16));
    // The serial is the last record, as UTF-8.
    EXPECT_EQ(std::string(block.end() - 4, block.end()), std::string("\x10\x02"
                                                                     "A1"));
}

TEST(ConfigBlock, RoundTripsSettingsAndSerial) {
    const auto file = Bytes(kFennelConfig);
    const simcfg::ConfigFileResult parsed = simcfg::ParseConfigFile(file.data(), file.size());
    ASSERT_TRUE(parsed.ok);
    const auto block = FennelBlock("SN-\xC3\xA9-0042");
    const simcfg::BlockDecodeResult decoded = DecodeConfigBlock(block.data(), block.size());
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.content.serial, "SN-\xC3\xA9-0042");
    ASSERT_TRUE(decoded.content.settings.has_value());
    EXPECT_EQ(*decoded.content.settings, parsed.settings);
}

TEST(ConfigBlock, SerialOnlyFromAnEmptyFileAndNoSerialFromAnEmptySerial) {
    const simcfg::BlockBuildResult serialOnly = BuildConfigBlock(nullptr, 0, "0001");
    ASSERT_TRUE(serialOnly.ok) << serialOnly.error;
    EXPECT_EQ(serialOnly.block.size(), simcfg::kBlockHeaderSize + 2 + 4);
    const simcfg::BlockDecodeResult a =
        DecodeConfigBlock(serialOnly.block.data(), serialOnly.block.size());
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(a.content.serial, "0001");
    EXPECT_FALSE(a.content.settings.has_value());

    const auto block = FennelBlock("");
    const simcfg::BlockDecodeResult b = DecodeConfigBlock(block.data(), block.size());
    ASSERT_TRUE(b.ok) << b.error;
    EXPECT_TRUE(b.content.serial.empty());
    EXPECT_TRUE(b.content.settings.has_value());
}

TEST(ConfigBlock, BuildFailures) {
    const simcfg::BlockBuildResult nothing = BuildConfigBlock(nullptr, 0, "");
    EXPECT_FALSE(nothing.ok);
    EXPECT_NE(nothing.error.find("nothing to build"), std::string::npos);
    EXPECT_FALSE(BuildConfigBlock(nullptr, 12, "1").ok);
    const auto bad = Bytes("[hub]\nvid = 1\n");
    const simcfg::BlockBuildResult failed = BuildConfigBlock(bad.data(), bad.size(), "1");
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, "configuration file: line 1: section [hub] has no 'pid' key");
}

TEST(ConfigBlock, AnyFlippedByteAfterTheMagicIsRefused) {
    const auto block = FennelBlock("0042");
    for (std::size_t i = simcfg::kBlockMagic.size(); i < block.size(); ++i) {
        for (const uint8_t mask : {0x01, 0x80}) {
            auto damaged = block;
            damaged[i] ^= mask;
            EXPECT_FALSE(DecodeConfigBlock(damaged.data(), damaged.size()).ok)
                << "byte " << i << " mask " << int(mask);
        }
    }
}

TEST(ConfigBlock, TruncatedOrExtendedBlocksAreRefused) {
    const auto block = FennelBlock("0042");
    for (std::size_t size = 0; size < block.size(); ++size) {
        const simcfg::BlockDecodeResult decoded = DecodeConfigBlock(block.data(), size);
        EXPECT_FALSE(decoded.ok) << size;
        EXPECT_NE(decoded.error.find("truncated"), std::string::npos) << decoded.error;
    }
    auto longer = block;
    longer.push_back(0);
    const simcfg::BlockDecodeResult decoded = DecodeConfigBlock(longer.data(), longer.size());
    EXPECT_FALSE(decoded.ok);
    EXPECT_NE(decoded.error.find("does not match"), std::string::npos) << decoded.error;
}

// A header with a correct length and checksum around any record bytes, to reach the record
// checks behind the checksum.
std::vector<uint8_t> Sealed(const std::vector<uint8_t>& records) {
    std::vector<uint8_t> block = simcfg::EncodeConfigBlock(nullptr, "x");
    block.resize(simcfg::kBlockHeaderSize);
    block.insert(block.end(), records.begin(), records.end());
    const auto put32 = [&](std::size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            block[at + i] = static_cast<uint8_t>(value >> (8 * i));
        }
    };
    put32(simcfg::kBlockLengthOffset, static_cast<uint32_t>(block.size()));
    put32(simcfg::kBlockCrcOffset, simcfg::Crc32(block.data() + 16, block.size() - 16));
    return block;
}

struct BadRecords {
    std::vector<uint8_t> records;
    const char* reason;
};

// Records: ids 5A17/7510, options 1 port self-powered, port 1 enabled+removable 500 mA.
const std::vector<uint8_t> kIds = {0x01, 4, 0x17, 0x5A, 0x10, 0x75};
const std::vector<uint8_t> kOptions = {0x04, 2, 1, 1};
const std::vector<uint8_t> kPort1 = {0x05, 4, 1, 3, 0xF4, 0x01};

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

TEST(ConfigBlock, BadRecordsBehindAGoodChecksumAreRefused) {
    const BadRecords table[] = {
        BadRecords{{}, "neither settings nor a serial"},
        BadRecords{{0x10, 0}, "serial number is empty"},
        BadRecords{Join({{0x10, 1, '1'}, {0x10, 1, '2'}}), "serial record appears twice"},
        BadRecords{Join({{0x10, 32}, std::vector<uint8_t>(32, '9')}), "longer than 31"},
        BadRecords{{0x10, 2, 0xC3, 0x28}, "not valid UTF-8"},
        BadRecords{{0x10, 5, '1'}, "runs past the end"},
        BadRecords{{0x10}, "cut short"},
        BadRecords{{0x42, 0}, "unknown record 0x42"},
        BadRecords{Join({kOptions, kPort1}), "no USB ID record"},
        BadRecords{Join({kIds, kPort1}), "no hub options record"},
        BadRecords{Join({kIds, kOptions}), "port 1 has no record"},
        BadRecords{Join({kIds, kOptions, kPort1, {0x05, 4, 2, 3, 0, 0}}), "past the hub's 1"},
        BadRecords{Join({kIds, kOptions, kPort1, kPort1}), "port 1 appears twice"},
        BadRecords{Join({kIds, kIds, kOptions, kPort1}), "USB ID record appears twice"},
        BadRecords{Join({{0x01, 3, 0, 0, 0}, kOptions, kPort1}), "length 3, not 4"},
        BadRecords{Join({kIds, {0x04, 2, 16, 1}, kPort1}), "port count 16"},
        BadRecords{Join({kIds, {0x04, 2, 1, 3}, kPort1}), "unknown flags 0x03"},
        BadRecords{Join({kIds, kOptions, {0x05, 4, 1, 4, 0, 0}}), "unknown flags 0x04"},
        BadRecords{Join({kIds, kOptions, {0x05, 4, 1, 3, 0xB9, 0x0B}}), "3001 mA"},
        BadRecords{Join({kIds, kOptions, kPort1, {0x03, 1, 0x07}}), "control character"}};
    for (const BadRecords& bad : table) {
        SCOPED_TRACE(bad.reason);
        const auto block = Sealed(bad.records);
        const simcfg::BlockDecodeResult decoded = DecodeConfigBlock(block.data(), block.size());
        EXPECT_FALSE(decoded.ok);
        EXPECT_NE(decoded.error.find(bad.reason), std::string::npos) << decoded.error;
    }
}

TEST(ConfigBlock, SealedRecordsOfAValidBlockDecode) {
    const auto block = Sealed(Join({kIds, kOptions, kPort1, {0x02, 1, 'K'}}));
    const simcfg::BlockDecodeResult decoded = DecodeConfigBlock(block.data(), block.size());
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.content.settings->manufacturer, "K");
    EXPECT_EQ(decoded.content.settings->ports.size(), 1U);
}

} // namespace
