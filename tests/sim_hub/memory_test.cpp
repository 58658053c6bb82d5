// Hub memories in the state folder: the OTP's write limit and size, the SPI flash's size, a
// board that comes back remembering its OTP, and DumpOTP's files.
#include "tests/sim_hub/sim_hub_fixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace simhubtest {
namespace {

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class HubMemories : public SimHubTest {
protected:
    // Programs one hub in a once run; its final status.
    int32_t Program(int32_t device, int32_t mode, const std::vector<uint8_t>& bytes, bool image) {
        if (image) {
            PrepareImage(0, device, mode, true, false, bytes);
        } else {
            PrepareBlock(0, device, mode, true, false, bytes);
        }
        RunOnce();
        return Api().getHubStatus(0, device);
    }
};

TEST_F(HubMemories, OtpTakesLimitedWritesAndRemembersThemByUuid) {
    LoadBench(OneControllerBench(json::array(
        {Hub(1, "a", 1, "7510", {{"otpWrites", 2}}), Hub(2, "b", 2, "7510", {{"otpSize", 40}})})));
    EXPECT_EQ(Program(1, hubabi::kStorageOtp, SerialBlock("SN-1"), false), 3);
    EXPECT_EQ(Program(1, hubabi::kStorageOtp, SerialBlock("SN-2"), false), 3);
    EXPECT_EQ(Program(1, hubabi::kStorageOtp, SerialBlock("SN-3"), false), 13);
    // SPI modes do not use the OTP.
    EXPECT_EQ(Program(1, hubabi::kStorageSpiPartialCfg, SerialBlock("SN-4"), false), 3);

    // The OTP size: the serial-only block of a long serial does not fit 40 bytes.
    const auto small = SerialBlock("S");
    const auto large = SerialBlock(std::string(30, 'L'));
    ASSERT_LE(small.size(), 40U);
    ASSERT_GT(large.size(), 40U);
    EXPECT_EQ(Program(2, hubabi::kStorageOtp, large, false), 11);
    EXPECT_EQ(Program(2, hubabi::kStorageOtp, small, false), 3);

    // Board a comes back on another bench, at another place: its OTP is still full. A new
    // board at its old place starts blank.
    Unload();
    LoadBench(OneControllerBench(json::array({Hub(1, "c", 3, "7510", {{"otpWrites", 2}}),
                                              Hub(2, "a-again", 1, "7510", {{"otpWrites", 2}})})));
    EXPECT_EQ(Program(2, hubabi::kStorageOtp, SerialBlock("SN-5"), false), 13);
    EXPECT_EQ(Program(1, hubabi::kStorageOtp, SerialBlock("SN-5"), false), 3);

    std::vector<std::pair<std::string, std::string>> record;
    for (const auto& line : RecordLines()) {
        record.emplace_back(line[6], line[7]);
    }
    EXPECT_EQ(record, (std::vector<std::pair<std::string, std::string>>{{"SN-1", "3"},
                                                                        {"SN-2", "3"},
                                                                        {"", "13"},
                                                                        {"SN-4", "3"},
                                                                        {"", "11"},
                                                                        {"S", "3"},
                                                                        {"", "13"},
                                                                        {"SN-5", "3"}}));
}

TEST_F(HubMemories, SpiFlashHasASize) {
    LoadBench(OneControllerBench(json::array({Hub(1, "a", 1, "7111", {{"spiSize", 100}})})));
    for (const int32_t mode : {hubabi::kStorageSpi, hubabi::kStorageSpiCopyFromOtp}) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(Program(1, mode, std::vector<uint8_t>(101, 1), true), 11);
        EXPECT_EQ(Program(1, mode, std::vector<uint8_t>(100, 1), true), 3);
    }
    // A partial configuration goes into the SPI flash too; opaque bytes suit an Aster hub.
    EXPECT_EQ(Program(1, hubabi::kStorageSpiPartialCfg, std::vector<uint8_t>(101, 0xA5), false),
              11);
    EXPECT_EQ(Program(1, hubabi::kStorageSpiPartialCfg, std::vector<uint8_t>(99, 0xA5), false), 3);
}

TEST_F(HubMemories, DumpOtpWritesAReadableFile) {
    LoadBench(OneControllerBench(json::array({Hub(1, "a", 1, "7510"), Hub(2, "b", 2, "7510")})));
    ASSERT_EQ(Program(1, hubabi::kStorageOtp, SerialBlock("SN-DUMP-7"), false), 3);

    const std::u16string pathA = PathOf(0, 1);
    Api().dumpOtp(pathA.c_str(), static_cast<int32_t>(pathA.size()), u"Fennel", u"1-1-1");
    const auto fileA = StateFolder() / "otp-dumps" / ("1-1-1_" + UuidFor(1) + ".txt");
    const std::string dumpA = ReadText(fileA);
    EXPECT_NE(dumpA.find("Device name:   Fennel\n"), std::string::npos) << dumpA;
    EXPECT_NE(dumpA.find("Port name:     1-1-1\n"), std::string::npos) << dumpA;
    EXPECT_NE(dumpA.find("UUID:          " + UuidFor(1) + "\n"), std::string::npos) << dumpA;
    EXPECT_NE(dumpA.find("Serial number: SN-DUMP-7\n"), std::string::npos) << dumpA;
    EXPECT_NE(dumpA.find("OTP writes:    1 of 4 used\n"), std::string::npos) << dumpA;
    EXPECT_NE(dumpA.find("00000000  89 4B 43 42"), std::string::npos) << dumpA;
    EXPECT_NE(dumpA.find("|..SN-DUMP-7|"), std::string::npos) << "the serial in the hex dump";

    // A blank hub; the path's case does not matter.
    std::u16string pathB = PathOf(0, 2);
    for (char16_t& c : pathB) {
        c = (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    }
    Api().dumpOtp(pathB.c_str(), static_cast<int32_t>(pathB.size()), u"Fennel", u"1-1-2");
    const std::string dumpB =
        ReadText(StateFolder() / "otp-dumps" / ("1-1-2_" + UuidFor(2) + ".txt"));
    EXPECT_NE(dumpB.find("Serial number: (none)\n"), std::string::npos) << dumpB;
    EXPECT_NE(dumpB.find("blank"), std::string::npos) << dumpB;

    // Only the given length of the path counts; unknown paths and non-hubs write nothing.
    const auto countDumps = [&] {
        return std::distance(std::filesystem::directory_iterator(StateFolder() / "otp-dumps"),
                             std::filesystem::directory_iterator());
    };
    Api().dumpOtp(pathA.c_str(), static_cast<int32_t>(pathA.size()) - 1, u"x", u"prefix");
    Api().dumpOtp(u"\\\\?\\nothing", 11, u"x", u"unknown");
    const std::u16string controller = PathOf(0, 0);
    Api().dumpOtp(controller.c_str(), static_cast<int32_t>(controller.size()), u"x", u"ctl");
    Api().dumpOtp(nullptr, 5, nullptr, nullptr);
    EXPECT_EQ(countDumps(), 2);
}

TEST_F(HubMemories, DamagedMemoryFileFailsOpeningAndIsKept) {
    LoadBench(OneControllerBench(json::array({Hub(1, "a", 1, "7510")})));
    const auto file = StateFolder() / "hubs" / (UuidFor(1) + ".json");
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << "{ damaged";
    EXPECT_EQ(Program(1, hubabi::kStorageOtp, SerialBlock("SN-1"), false), 1);
    EXPECT_EQ(ReadText(file), "{ damaged");
    EXPECT_EQ(RecordLines().back()[6], "") << "no serial went onto the board";
}

} // namespace
} // namespace simhubtest
