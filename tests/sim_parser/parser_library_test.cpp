// libConfigFileParserDLL through its C interface only, called the way the tool calls it.
#include "hub/parser_abi.h"
#include "sim/common/config_payload.h"
#include "tests/sim_parser/test_bytes.h"
#include "tests/support/dl_library.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <random>
#include <string>

namespace {

using hubabi::IConfigParser;
using simparsertest::Bytes;
using simparsertest::kFennelConfig;

class ParserLibrary : public testing::Test {
protected:
    ParserLibrary()
        : library_(testsupport::LibraryPath(hubabi::kParserLibraryName)),
          create_(library_.Get<CreateParserFn>("CreateParser")) {}

    // The tool's sequence: create, build, size, allocate, copy, release. The block, or nothing
    // when the tool would give up on the hub.
    std::optional<std::vector<uint8_t>> ToolSequence(const std::vector<uint8_t>& file,
                                                     std::u16string serial) {
        const uint8_t* data = file.empty() ? nullptr : file.data();
        const auto size = static_cast<uint32_t>(file.size());
        const auto length = static_cast<int32_t>(serial.size());
        IConfigParser* parser = create_(data, size, serial.data(), length, 0);
        if (parser == nullptr) {
            ADD_FAILURE() << "CreateParser gave no parser";
            return std::nullopt;
        }
        parser->BuildBlock(data, size, serial.data(), length);
        const uint32_t n = parser->GetBlockSize();
        auto* buffer = static_cast<uint8_t*>(std::malloc(n == 0 ? 1 : n));
        const int32_t m = parser->CopyBlock(n, buffer);
        std::optional<std::vector<uint8_t>> block;
        if (m >= 0) {
            EXPECT_EQ(static_cast<uint32_t>(m), n);
            block.emplace(buffer, buffer + m);
        }
        std::free(buffer);
        parser->Release(1);
        return block;
    }

    testsupport::DlLibrary library_;
    CreateParserFn create_;
};

TEST_F(ParserLibrary, ExportsCreateParserOnly) {
    // The shared format code must stay private, or it would clash with the hub library's copy.
    EXPECT_EQ(library_.Find<void (*)()>("_ZN6simcfg5Crc32EPKhm"), nullptr);
    EXPECT_EQ(library_.Find<void (*)()>("_ZN6simcfg15ParseConfigFileEPKhm"), nullptr);
}

TEST_F(ParserLibrary, FileAndSerialGiveABlockTheHubAccepts) {
    const auto block = ToolSequence(Bytes(kFennelConfig), u"KV-\u00E9-0007");
    ASSERT_TRUE(block.has_value());
    const simcfg::PayloadInfo info =
        simcfg::InspectConfigurationPayload(block->data(), block->size(), false);
    ASSERT_TRUE(info.accepted) << info.error;
    EXPECT_EQ(info.kind, simcfg::PayloadKind::ConfigBlock);
    EXPECT_EQ(info.serial, "KV-\xC3\xA9-0007");
    ASSERT_TRUE(info.settings.has_value());
    EXPECT_EQ(info.settings->productId, 0x7510);
    EXPECT_EQ(info.settings->ports.size(), 3U);
}

TEST_F(ParserLibrary, EmptyFileWithSerialGivesASerialOnlyBlock) {
    const auto block = ToolSequence({}, u"0000000001");
    ASSERT_TRUE(block.has_value());
    const simcfg::PayloadInfo info =
        simcfg::InspectConfigurationPayload(block->data(), block->size(), false);
    ASSERT_TRUE(info.accepted) << info.error;
    EXPECT_EQ(info.serial, "0000000001");
    EXPECT_FALSE(info.settings.has_value());
}

TEST_F(ParserLibrary, FileWithoutSerialGivesABlockWithoutSerial) {
    const auto block = ToolSequence(Bytes(kFennelConfig), u"");
    ASSERT_TRUE(block.has_value());
    const simcfg::PayloadInfo info =
        simcfg::InspectConfigurationPayload(block->data(), block->size(), false);
    ASSERT_TRUE(info.accepted) << info.error;
    EXPECT_TRUE(info.serial.empty());
    EXPECT_TRUE(info.settings.has_value());
}

TEST_F(ParserLibrary, ExampleFilesBuild) {
    for (const char* name : {"examples/fennel.cfg", "examples/fennel-ports.cfg"}) {
        const auto block = ToolSequence(simparsertest::SourceFile(name), u"SN1");
        EXPECT_TRUE(block.has_value()) << name;
    }
}

TEST_F(ParserLibrary, MalformedInputsMakeCopyBlockFail) {
    const std::vector<std::pair<std::vector<uint8_t>, std::u16string>> cases = {
        {Bytes("[hub]\nvid = 0x5A17\n"), u"1"},                  // no pid
        {Bytes("[hub]\nvid=1\npid=2\nserial=3\n"), u"1"},        // a serial in the file
        {simparsertest::SourceFile("examples/aster.bin"), u"1"}, // not a configuration file
        {Bytes(kFennelConfig), std::u16string(32, u'9')},        // serial too long
        {Bytes(kFennelConfig), u"a\xD800"},                      // broken UTF-16
        {{}, u""},                                               // nothing to build
    };
    for (const auto& [file, serial] : cases) {
        EXPECT_FALSE(ToolSequence(file, serial).has_value()) << file.size();
    }
}

TEST_F(ParserLibrary, BuildBlockReportsFailureAndDropsTheOldBlock) {
    const auto good = Bytes(kFennelConfig);
    const auto bad = Bytes("[hub]\n");
    char16_t serial[] = u"42";
    IConfigParser* parser = create_(good.data(), static_cast<uint32_t>(good.size()), serial, 2, 0);
    ASSERT_NE(parser, nullptr);
    EXPECT_EQ(parser->BuildBlock(good.data(), static_cast<uint32_t>(good.size()), serial, 2), 0);
    EXPECT_GT(parser->GetBlockSize(), 0U);
    EXPECT_NE(parser->BuildBlock(bad.data(), static_cast<uint32_t>(bad.size()), serial, 2), 0);
    EXPECT_EQ(parser->GetBlockSize(), 0U);
    uint8_t buffer[256];
    EXPECT_LT(parser->CopyBlock(sizeof buffer, buffer), 0);
    parser->Release(1);
}

TEST_F(ParserLibrary, CopyBlockNeedsABufferLargeEnough) {
    const auto file = Bytes(kFennelConfig);
    char16_t serial[] = u"42";
    IConfigParser* parser = create_(file.data(), static_cast<uint32_t>(file.size()), serial, 2, 0);
    ASSERT_NE(parser, nullptr);
    ASSERT_EQ(parser->BuildBlock(file.data(), static_cast<uint32_t>(file.size()), serial, 2), 0);
    const uint32_t n = parser->GetBlockSize();
    std::vector<uint8_t> buffer(n + 8, 0xEE);
    EXPECT_LT(parser->CopyBlock(n - 1, buffer.data()), 0);
    EXPECT_EQ(buffer[0], 0xEE) << "a refused copy must not write";
    EXPECT_LT(parser->CopyBlock(n, nullptr), 0);
    EXPECT_EQ(parser->CopyBlock(n + 8, buffer.data()), static_cast<int32_t>(n));
    EXPECT_EQ(buffer[n], 0xEE);
    parser->Release(1);
}

TEST_F(ParserLibrary, SurvivesNullHugeAndGarbageInput) {
    const uint8_t one = '[';
    char16_t serial[] = u"7";
    struct Call {
        const uint8_t* data;
        uint32_t size;
        char16_t* serial;
        int32_t serialLength;
    };
    // Sizes far beyond the real buffers: the library must refuse them before reading.
    const Call calls[] = {
        {nullptr, 0, nullptr, 0}, {nullptr, 100, serial, 1}, {&one, 0xFFFFFFFFU, serial, 1},
        {&one, 1, nullptr, 5},    {&one, 1, serial, -3},     {&one, 1, serial, 0x7FFFFFFF},
    };
    for (const Call& call : calls) {
        IConfigParser* parser = create_(call.data, call.size, call.serial, call.serialLength, 7);
        ASSERT_NE(parser, nullptr);
        parser->BuildBlock(call.data, call.size, call.serial, call.serialLength);
        EXPECT_EQ(parser->GetBlockSize(), 0U);
        EXPECT_LT(parser->CopyBlock(0, nullptr), 0);
        parser->Release(1);
    }
    std::mt19937 random(20240611);
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> garbage(random() % 300);
        for (auto& byte : garbage) {
            byte = static_cast<uint8_t>(random());
        }
        if (round % 2 == 0 && !garbage.empty()) {
            garbage[0] = '['; // half of them start like a configuration file
        }
        const auto block = ToolSequence(garbage, u"G");
        if (block.has_value()) {
            EXPECT_TRUE(
                simcfg::InspectConfigurationPayload(block->data(), block->size(), false).accepted);
        }
    }
}

} // namespace
