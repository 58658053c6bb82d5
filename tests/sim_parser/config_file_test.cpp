#include "sim/common/config_file.h"
#include "tests/sim_parser/test_bytes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using simcfg::ConfigFileResult;
using simcfg::ParseConfigFile;
using simparsertest::Bytes;

ConfigFileResult Parse(std::string_view text) {
    const auto bytes = Bytes(text);
    return ParseConfigFile(bytes.data(), bytes.size());
}

TEST(ConfigFile, ReadsEveryKeyAndFillsDefaults) {
    const ConfigFileResult result = Parse("\xEF\xBB\xBF# bench file\r\n"
                                          "; another comment\r\n"
                                          "[HUB]\r\n"
                                          "  VID = 0x5a17   # vendor\r\n"
                                          "pid=29968\r\n"
                                          "manufacturer = \"Kelvane # \\\"Labs\\\" \" # quoted\r\n"
                                          "product = Fennel Hub = 4 ports\r\n"
                                          "ports = 5\r\n"
                                          "self_powered = No\r\n"
                                          "\r\n"
                                          "[port 5]\r\n"
                                          "max_current = 1500\r\n"
                                          "[ Port 2 ]\r\n"
                                          "enabled = off\r\n"
                                          "removable = FALSE");
    ASSERT_TRUE(result.ok) << result.Message();
    const simcfg::HubSettings& hub = result.settings;
    EXPECT_EQ(hub.vendorId, 0x5A17);
    EXPECT_EQ(hub.productId, 0x7510);
    EXPECT_EQ(hub.manufacturer, "Kelvane # \"Labs\" ");
    EXPECT_EQ(hub.product, "Fennel Hub = 4 ports");
    EXPECT_FALSE(hub.selfPowered);
    ASSERT_EQ(hub.ports.size(), 5U);
    EXPECT_EQ(hub.ports[0], simcfg::PortSettings{});
    EXPECT_EQ(hub.ports[1], (simcfg::PortSettings{false, false, 500}));
    EXPECT_EQ(hub.ports[4], (simcfg::PortSettings{true, true, 1500}));
}

TEST(ConfigFile, MinimalFileHasDefaultPortsAndNoStrings) {
    const ConfigFileResult result = Parse("[hub]\nvid=1\npid=0\n");
    ASSERT_TRUE(result.ok) << result.Message();
    EXPECT_EQ(result.settings.ports.size(), simcfg::kDefaultPorts);
    EXPECT_TRUE(result.settings.manufacturer.empty());
    EXPECT_TRUE(result.settings.selfPowered);
}

TEST(ConfigFile, AcceptsUtf8DeviceStringsUpToTheLimit) {
    // 31 characters, several of them two-byte UTF-8.
    const std::string product = "Hub \xC3\xA9\xC3\xA9\xC3\xA9 01234567890123456789012";
    const ConfigFileResult result = Parse("[hub]\nvid=1\npid=2\nproduct=" + product + "\n");
    ASSERT_TRUE(result.ok) << result.Message();
    EXPECT_EQ(result.settings.product, product);
}

struct BadFile {
    const char* text;
    int line;
    const char* reason; // a part of the reason
};

const BadFile kBadFiles[] = {
    BadFile{"[hub]\nvid=1\npid=2\nserial = 0001\n", 4, "cannot set a serial number"},
    BadFile{"[hub]\nvid=1\npid=2\n[port 1]\nSerial_Number = x\n", 5, "cannot set a serial number"},
    BadFile{"# only a comment\n", 0, "no [hub] section"},
    BadFile{"vid = 1\n[hub]\n", 1, "outside a section"},
    BadFile{"[hub]\npid = 2\n", 1, "no 'vid' key"},
    BadFile{"[hub]\nvid = 2\n[port 1]\n", 1, "no 'pid' key"},
    BadFile{"[hub]\nvid = 1\nvid = 2\n", 3, "appears twice in [hub] (first on line 2)"},
    BadFile{"[hub]\nvid=1\npid=2\n[hub]\n", 4, "[hub] appears twice"},
    BadFile{"[hub]\nvid=1\npid=2\n[port 1]\n[port 1]\n", 5, "appears twice"},
    BadFile{"[port 1]\n[hub]\n", 1, "[hub] must come before"},
    BadFile{"[hub]\nvid=1\npid=2\nports=2\n[port 3]\n", 5, "past the hub's 2 ports"},
    BadFile{"[hub]\nvid=1\npid=2\n[port 0]\n", 4, "needs a port number"},
    BadFile{"[hub]\nvid=1\npid=2\n[port x]\n", 4, "needs a port number"},
    BadFile{"[hub]\nvid=1\npid=2\n[ports]\n", 4, "needs a port number"},
    BadFile{"[hub]\nvid=1\npid=2\n[options]\n", 4, "unknown section [options]"},
    BadFile{"[hub\n", 1, "closing ']'"},
    BadFile{"[hub] extra\n", 1, "after the section header"},
    BadFile{"[hub]\nvid 0x5A17\n", 2, "expected 'key = value'"},
    BadFile{"[hub]\n= 5\n", 2, "without a key"},
    BadFile{"[hub]\nvendor id = 5\n", 2, "only letters, digits"},
    BadFile{"[hub]\ncolour = red\n", 2, "unknown key 'colour' in [hub]"},
    BadFile{"[hub]\nvid=1\npid=2\n[port 1]\npower = 1\n", 5, "unknown key 'power'"},
    BadFile{"[hub]\nvid =\n", 2, "has no value"},
    BadFile{"[hub]\nvid = # none\n", 2, "has no value"},
    BadFile{"[hub]\nvid = 0x\n", 2, "not a number"},
    BadFile{"[hub]\nvid = 0x5G17\n", 2, "not a number"},
    BadFile{"[hub]\nvid = -1\n", 2, "not a number"},
    BadFile{"[hub]\nvid = 0x10000\n", 2, "out of range (at most 0xFFFF)"},
    BadFile{"[hub]\npid = 99999999999999999999999\n", 2, "out of range"},
    BadFile{"[hub]\nvid = 0\n", 2, "not a vendor ID"},
    BadFile{"[hub]\nports = 0\n", 2, "at least 1"},
    BadFile{"[hub]\nports = 16\n", 2, "out of range (at most 15)"},
    BadFile{"[hub]\nself_powered = maybe\n", 2, "not yes or no"},
    BadFile{"[hub]\nvid=1\npid=2\n[port 1]\nmax_current = 3001\n", 5, "at most 3000"},
    BadFile{"[hub]\nproduct = \"unterminated\n", 2, "no closing quote"},
    BadFile{"[hub]\nproduct = \"a\\tb\"\n", 2, "unknown escape"},
    BadFile{"[hub]\nproduct = \"a\" b\n", 2, "after the closing quote"},
    BadFile{"[hub]\nproduct = \"\"\n", 2, "'product' is empty"},
    BadFile{"[hub]\nmanufacturer = 01234567890123456789012345678901\n", 2,
            "longer than 31 characters"},
    BadFile{"[hub]\nproduct = \"a\x7F\"\n", 2, "control character 0x7F at column 13"},
    BadFile{"[hub]\nvid=1\x01\n", 2, "control character 0x01 at column 6"},
    BadFile{"[hub]\nvid=1\rpid=2\n", 2, "control character 0x0D"},
    BadFile{"[hub]\nproduct = caf\xC3\n", 2, "invalid UTF-8 at column 14"},
    BadFile{"[hub]\nproduct = \xC0\xAF\n", 2, "invalid UTF-8"},
    BadFile{"[hub]\nproduct = \xED\xA0\x80\n", 2, "invalid UTF-8"}};

TEST(ConfigFile, ErrorsReportLineAndReason) {
    for (const BadFile& bad : kBadFiles) {
        SCOPED_TRACE(bad.text);
        const ConfigFileResult result = Parse(bad.text);
        ASSERT_FALSE(result.ok);
        EXPECT_EQ(result.line, bad.line) << result.Message();
        EXPECT_NE(result.reason.find(bad.reason), std::string::npos) << result.Message();
        if (bad.line > 0) {
            EXPECT_EQ(result.Message().rfind("line " + std::to_string(bad.line) + ": ", 0), 0U);
        }
    }
}

TEST(ConfigFile, NulByteIsRefusedWithItsLine) {
    const std::string text("[hub]\nvid=1\npid=\0"
                           "2\n",
                           18);
    const ConfigFileResult result = Parse(text);
    ASSERT_FALSE(result.ok);
    EXPECT_EQ(result.line, 3);
    EXPECT_NE(result.reason.find("0x00"), std::string::npos);
}

TEST(ConfigFile, EmptyNullAndOversizedInputsAreRefusedWithoutReading) {
    EXPECT_FALSE(ParseConfigFile(nullptr, 0).ok);
    EXPECT_FALSE(ParseConfigFile(nullptr, 100).ok);
    const uint8_t one = '[';
    // The size is checked before a byte is read: only one byte really exists here.
    const ConfigFileResult huge = ParseConfigFile(&one, simcfg::kMaxConfigFileSize + 1);
    EXPECT_FALSE(huge.ok);
    EXPECT_NE(huge.reason.find("larger than 64 KiB"), std::string::npos);
}

TEST(ConfigFile, ExampleFilesParse) {
    for (const char* name : {"examples/fennel.cfg", "examples/fennel-ports.cfg"}) {
        const auto bytes = simparsertest::SourceFile(name);
        ASSERT_FALSE(bytes.empty()) << name;
        const ConfigFileResult result = ParseConfigFile(bytes.data(), bytes.size());
        EXPECT_TRUE(result.ok) << name << ": " << result.Message();
        EXPECT_EQ(result.settings.vendorId, 0x5A17) << name;
    }
    const auto ports = simparsertest::SourceFile("examples/fennel-ports.cfg");
    const ConfigFileResult result = ParseConfigFile(ports.data(), ports.size());
    ASSERT_EQ(result.settings.ports.size(), 7U);
    EXPECT_FALSE(result.settings.ports[0].removable);
    EXPECT_EQ(result.settings.ports[1].maxCurrentMilliamps, 1500);
    EXPECT_FALSE(result.settings.ports[3].enabled);
}

} // namespace
