#include "sim/common/config_block.h"
#include "sim/common/config_payload.h"
#include "tests/sim_parser/test_bytes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using simcfg::InspectConfigurationPayload;
using simcfg::PayloadInfo;
using simcfg::PayloadKind;
using simparsertest::Bytes;
using simparsertest::kFennelConfig;
using simparsertest::SourceFile;

PayloadInfo Inspect(const std::vector<uint8_t>& bytes, bool opaqueAllowed) {
    return InspectConfigurationPayload(bytes.data(), bytes.size(), opaqueAllowed);
}

std::vector<uint8_t> Block(std::string_view file, const std::string& serial) {
    const auto bytes = Bytes(file);
    return simcfg::BuildConfigBlock(bytes.data(), bytes.size(), serial).block;
}

TEST(PayloadInspect, BlockIsAcceptedWithItsSerialAndSettings) {
    for (const bool opaqueAllowed : {false, true}) {
        const PayloadInfo info = Inspect(Block(kFennelConfig, "0042"), opaqueAllowed);
        ASSERT_TRUE(info.accepted) << info.error;
        EXPECT_EQ(info.kind, PayloadKind::ConfigBlock);
        EXPECT_EQ(info.serial, "0042");
        ASSERT_TRUE(info.settings.has_value());
        EXPECT_EQ(info.settings->productId, 0x7510);
    }
    const PayloadInfo serialOnly = Inspect(Block("", "7"), false);
    ASSERT_TRUE(serialOnly.accepted) << serialOnly.error;
    EXPECT_EQ(serialOnly.serial, "7");
    EXPECT_FALSE(serialOnly.settings.has_value());
}

TEST(PayloadInspect, RawConfigFileIsAcceptedWithoutSerial) {
    for (const char* name : {"examples/fennel.cfg", "examples/fennel-ports.cfg"}) {
        const PayloadInfo info = Inspect(SourceFile(name), false);
        ASSERT_TRUE(info.accepted) << name << ": " << info.error;
        EXPECT_EQ(info.kind, PayloadKind::ConfigFile);
        EXPECT_TRUE(info.serial.empty());
        EXPECT_TRUE(info.settings.has_value());
    }
}

TEST(PayloadInspect, ConfigTextThatDoesNotParseIsRefusedEvenWhereOpaqueIsAllowed) {
    const PayloadInfo info =
        Inspect(Bytes("[hub]\nvid = 0x5A17\npid = 0x7510\nserial = 1\n"), true);
    EXPECT_FALSE(info.accepted);
    EXPECT_EQ(info.kind, PayloadKind::ConfigFile);
    EXPECT_NE(info.error.find("line 4: a configuration file cannot set a serial number"),
              std::string::npos)
        << info.error;
}

TEST(PayloadInspect, OpaqueBytesOnlyWhereAllowed) {
    const auto aster = SourceFile("examples/aster.bin");
    ASSERT_FALSE(aster.empty());
    const PayloadInfo refused = Inspect(aster, false);
    EXPECT_FALSE(refused.accepted);
    EXPECT_EQ(refused.kind, PayloadKind::Opaque);
    EXPECT_NE(refused.error.find("Aster-family hubs only"), std::string::npos) << refused.error;
    const PayloadInfo accepted = Inspect(aster, true);
    EXPECT_TRUE(accepted.accepted) << accepted.error;
    EXPECT_EQ(accepted.kind, PayloadKind::Opaque);
    EXPECT_TRUE(accepted.serial.empty());
    EXPECT_FALSE(accepted.settings.has_value());
}

TEST(PayloadInspect, ZeroLengthIsRefused) {
    const uint8_t byte = 0;
    for (const bool opaqueAllowed : {false, true}) {
        EXPECT_FALSE(InspectConfigurationPayload(nullptr, 0, opaqueAllowed).accepted);
        const PayloadInfo info = InspectConfigurationPayload(&byte, 0, opaqueAllowed);
        EXPECT_FALSE(info.accepted);
        EXPECT_NE(info.error.find("empty"), std::string::npos) << info.error;
    }
}

TEST(PayloadInspect, DamagedBlocksAreRefusedEvenWhereOpaqueIsAllowed) {
    const auto block = Block(kFennelConfig, "0042");
    std::vector<std::vector<uint8_t>> damaged;
    auto flipped = block;
    flipped[block.size() - 1] ^= 0x20; // the serial's last character
    damaged.push_back(flipped);
    auto badVersion = block;
    badVersion[simcfg::kBlockVersionOffset] = 2;
    damaged.push_back(badVersion);
    auto badLength = block;
    badLength[simcfg::kBlockLengthOffset] -= 1;
    damaged.push_back(badLength);
    damaged.emplace_back(block.begin(), block.end() - 1);   // truncated
    damaged.emplace_back(block.begin(), block.begin() + 3); // cut inside the magic
    for (const auto& bytes : damaged) {
        const PayloadInfo info = Inspect(bytes, true);
        EXPECT_FALSE(info.accepted) << bytes.size();
        EXPECT_EQ(info.kind, PayloadKind::ConfigBlock);
        EXPECT_EQ(info.error.rfind("damaged configuration block: ", 0), 0U) << info.error;
        EXPECT_TRUE(info.serial.empty());
    }
}

TEST(PayloadInspect, FirmwareSampleIsOpaqueAndFitsASmallFlash) {
    const auto firmware = SourceFile("examples/firmware.bin");
    EXPECT_GT(firmware.size(), 1024U);
    EXPECT_LE(firmware.size(), 16U * 1024U);
    EXPECT_FALSE(Inspect(firmware, false).accepted);
}

} // namespace
