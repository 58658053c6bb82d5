// What SetConfigurationBlock and SetFirmwarImage accept: the parser's blocks and .cfg files
// for every hub, opaque bytes only for the Aster family, never an empty or damaged payload.
#include "tests/sim_hub/sim_hub_fixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace simhubtest {
namespace {

std::vector<uint8_t> SourceFile(const std::string& relative) {
    std::ifstream in(std::string(TESSARO_SOURCE_DIR) + "/" + relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Payloads : public SimHubTest {};

TEST_F(Payloads, BlocksFilesAndOpaqueBytesByFamily) {
    LoadDefault();
    const std::vector<uint8_t> block = SerialBlock("SN-1");
    const std::vector<uint8_t> cfg = SourceFile("examples/fennel.cfg");
    const std::vector<uint8_t> opaque = SourceFile("examples/aster.bin");
    ASSERT_FALSE(cfg.empty());
    ASSERT_FALSE(opaque.empty());
    std::vector<uint8_t> damaged = block;
    damaged.back() ^= 0x01;

    const auto set = [&](int32_t c, int32_t d, const std::vector<uint8_t>& bytes) {
        return Api().setConfigurationBlock(c, d, bytes.data(), static_cast<uint32_t>(bytes.size()));
    };
    struct Hub {
        const char* name;
        int32_t controller;
        int32_t device;
        bool asterFamily;
    };
    const Hub hubs[] = {{"Aster 7111", 0, 1, true},    {"Fennel 7510", 0, 2, false},
                        {"Birch 7205", 0, 4, true},    {"Cedar 7305", 0, 7, true},
                        {"Kelvane 7113", 0, 8, false}, {"foreign 1234:5678", 0, 9, false},
                        {"Dahlia 7401", 1, 1, true},   {"Elder 7402", 1, 2, true},
                        {"Fennel 7520", 1, 5, false}};
    for (const Hub& hub : hubs) {
        SCOPED_TRACE(hub.name);
        EXPECT_EQ(set(hub.controller, hub.device, block), 0);
        EXPECT_EQ(set(hub.controller, hub.device, cfg), 0);
        EXPECT_EQ(set(hub.controller, hub.device, opaque) == 0, hub.asterFamily);
        EXPECT_NE(set(hub.controller, hub.device, damaged), 0);
        EXPECT_NE(Api().setConfigurationBlock(hub.controller, hub.device, block.data(), 0), 0);
        EXPECT_NE(Api().setConfigurationBlock(hub.controller, hub.device, nullptr, 4), 0);
    }
    EXPECT_NE(set(0, 3, block), 0) << "not a hub";
    EXPECT_NE(set(0, 5, block), 0) << "the gap";
    EXPECT_NE(set(0, 0, block), 0) << "the controller";
}

TEST_F(Payloads, FirmwareImagesMustNotBeEmpty) {
    LoadDefault();
    const std::vector<uint8_t> image = SourceFile("examples/firmware.bin");
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(Api().setFirmwareImage(0, 2, image.data(), static_cast<uint32_t>(image.size())), 0);
    EXPECT_NE(Api().setFirmwareImage(0, 2, image.data(), 0), 0);
    EXPECT_NE(Api().setFirmwareImage(0, 2, nullptr, 0), 0);
    EXPECT_NE(Api().setFirmwareImage(0, 2, nullptr, 10), 0);
    EXPECT_NE(Api().setFirmwareImage(0, 3, image.data(), static_cast<uint32_t>(image.size())), 0)
        << "not a hub";
}

} // namespace
} // namespace simhubtest
