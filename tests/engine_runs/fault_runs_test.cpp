// What the operator sees when a hub fails, for every fault the bench can play and for real
// limits (an image too big for the flash, an OTP written too often), and what happens to the
// serial number the failed hub was given. Also firmware images that succeed.
#include "run_fixture.h"

#include <QJsonObject>

using namespace Qt::Literals::StringLiterals;

namespace testsupport {
namespace {

struct FaultCase {
    const char* name;
    const char* fault;
    int memoryType;
    bool program;
    bool verify;
    const char* benchKey; // a bench-wide limit for real failures, or null
    int benchValue;
    const char* file;                  // the node's file: the example .cfg or image
    std::vector<const char*> hubLines; // after "Status of H1"
    int finalStatus;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class FaultRunTest : public EngineRunTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FaultRunTest, FailedHubIsReportedAndItsSerialGoesToTheNextAttempt) {
    const FaultCase& c = GetParam();
    const QString file = CopyExampleFile(QString::fromLatin1(c.file));
    SimBoard board;
    board.fault = QString::fromLatin1(c.fault);
    SimBenchJson bench;
    bench.Add(board);
    if (c.benchKey != nullptr) {
        bench.Set(QString::fromLatin1(c.benchKey), c.benchValue);
    }
    TopologyNode hub =
        TopologyNode::Hub(u"1-1-1"_s, u"H1"_s, c.memoryType, file, c.program, c.verify);
    const bool usesSerial = c.program && (c.memoryType == 0 || c.memoryType == 3);
    if (usesSerial) {
        hub.Scheme(false, u"KDX"_s, u"0001"_s, u"9999"_s, u"0001"_s);
    }
    ASSERT_TRUE(StartOn(bench, {TopologyNode::Controller(u"1-1"_s), hub}));
    ASSERT_TRUE(S().ChooseOption(true));

    std::size_t mark = S().Mark();
    ASSERT_TRUE(S().RunToEnd());
    QStringList expected;
    for (const char* line : c.hubLines) {
        expected.push_back(u"Status of H1"_s + QString::fromLatin1(line));
    }
    EXPECT_EQ(S().LinesWith(u"Status of H1"_s, mark), expected);
    EXPECT_EQ(Sheet().LastRun().endResult, 2);
    EXPECT_EQ(Sheet().LastRun().hubFailures, 1);
    ASSERT_EQ(W().messages.size(), 1U);
    EXPECT_EQ(W().messages[0].text, u"Operation on one or more device failed"_s);
    EXPECT_EQ(W().messages[0].icon, MessageIcon::Warning);
    EXPECT_GE(W().startButtonShown, 1);
    const auto record = ReadProgrammingRecord();
    ASSERT_EQ(record.size(), 1U);
    EXPECT_EQ(record[0].finalStatus, c.finalStatus);

    if (usesSerial) {
        // The failed hub's number was given back: the next attempt gets it again.
        EXPECT_EQ(NodeCurrent(u"1-1-1"_s), u"0001"_s);
        EXPECT_EQ(FileCurrent(u"1-1-1"_s), u"0001"_s);
        mark = S().Mark();
        ASSERT_TRUE(S().RunToEnd());
        EXPECT_EQ(S().LinesWith(u"Current Serial Number"_s, mark),
                  QStringList({u"1-1-1 : Current Serial Number : KDX0001"_s}));
        EXPECT_EQ(FileCurrent(u"1-1-1"_s), u"0001"_s);
    }
}

const FaultCase kFaultCases[] = {
    {"open", "open", 0, true, true, nullptr, 0, "fennel.cfg", {" : Failure opening device"}, 1},
    {"program",
     "program",
     0,
     true,
     false,
     nullptr,
     0,
     "fennel.cfg",
     {" changed to Programming", " : Failed Programming"},
     4},
    {"program_verify",
     "program",
     0,
     true,
     true,
     nullptr,
     0,
     "fennel.cfg",
     {" changed to Programming", " : Programming and Verifying", " : Failed Program Verify"},
     8},
    {"verify_only",
     "verify",
     0,
     false,
     true,
     nullptr,
     0,
     "fennel.cfg",
     {" : Verifying", " : Failed Verify"},
     6},
    {"verify_after_program",
     "verify",
     0,
     true,
     true,
     nullptr,
     0,
     "fennel.cfg",
     {" changed to Programming", " : Programming and Verifying", " : Verifying",
      " : Failed Program Verify"},
     8},
    {"spi",
     "spi",
     0,
     true,
     false,
     nullptr,
     0,
     "fennel.cfg",
     {" changed to Programming", " : ERROR: Cannot access SPI Flash"},
     12},
    {"space",
     "space",
     0,
     true,
     false,
     nullptr,
     0,
     "fennel.cfg",
     {" changed to Programming", " : Failed due to Insufficient space"},
     11},
    {"image_too_big",
     "none",
     2,
     true,
     true,
     "spiSize",
     1024,
     "firmware.bin",
     {" changed to Programming", " : Programming and Verifying",
      " : Failed due to Insufficient space"},
     11},
    {"otp_block_too_big",
     "none",
     3,
     true,
     false,
     "otpSize",
     8,
     "fennel.cfg",
     {" changed to Programming", " : Failed due to Insufficient space"},
     11},
    {"otp_full",
     "otp-full",
     3,
     true,
     false,
     nullptr,
     0,
     "fennel.cfg",
     {" changed to Programming", " : ERROR: OTP already Programmed maximum times"},
     13},
};

INSTANTIATE_TEST_SUITE_P(Faults, FaultRunTest, ::testing::ValuesIn(kFaultCases),
                         [](const auto& param) { return std::string(param.param.name); });

class OtpLimitTest : public EngineRunTest {};

TEST_F(OtpLimitTest, OtpWrittenAsOftenAsItAllowsRefusesTheNextWrite) {
    const QString cfg = CopyExampleFile(u"fennel.cfg"_s);
    SimBenchJson bench;
    bench.Add(SimBoard{}).Set(u"otpWrites"_s, 1);
    TopologyNode hub = TopologyNode::Hub(u"1-1-1"_s, u"H1"_s, 3, cfg, true, false);
    hub.Scheme(false, u"KDX"_s, u"0001"_s, u"9999"_s, u"0001"_s);
    ASSERT_TRUE(StartOn(bench, {TopologyNode::Controller(u"1-1"_s), hub}));
    ASSERT_TRUE(S().ChooseOption(true));

    ASSERT_TRUE(S().RunToEnd());
    EXPECT_EQ(Sheet().LastRun().endResult, 0);
    EXPECT_EQ(FileCurrent(u"1-1-1"_s), u"0002"_s);
    std::size_t mark = S().Mark();
    ASSERT_TRUE(S().RunToEnd());
    EXPECT_EQ(S().LinesWith(u"Status of H1 : "_s, mark),
              QStringList({u"Status of H1 : ERROR: OTP already Programmed maximum times"_s}));
    EXPECT_EQ(Sheet().LastRun().endResult, 2);
    // KDX0002 went back: the counter stands where the first run left it.
    EXPECT_EQ(FileCurrent(u"1-1-1"_s), u"0002"_s);
    const auto record = ReadProgrammingRecord();
    ASSERT_EQ(record.size(), 2U);
    EXPECT_EQ(record[0].serial, u"KDX0001"_s);
    EXPECT_EQ(record[1].finalStatus, 13);
}

class FirmwareRunTest : public EngineRunTest {};

TEST_F(FirmwareRunTest, SpiAndSpiCopyFromOtpHubsGetTheImageWithoutSerial) {
    const QString image = CopyExampleFile(u"firmware.bin"_s);
    SimBoard first;
    SimBoard second;
    second.position = 2;
    SimBenchJson bench;
    bench.Add(first).Add(second);
    ASSERT_TRUE(StartOn(bench, {TopologyNode::Controller(u"1-1"_s),
                                TopologyNode::Hub(u"1-1-1"_s, u"SPI"_s, 2, image, true, true),
                                TopologyNode::Hub(u"1-1-2"_s, u"COPY"_s, 1, image, true, false)}));
    ASSERT_TRUE(S().ChooseOption(true));

    ASSERT_TRUE(S().RunToEnd());
    EXPECT_TRUE(S().LinesWith(u"Current Serial Number"_s).isEmpty());
    EXPECT_TRUE(S().LinesWith(u"ERROR Setting firmware image"_s).isEmpty());
    EXPECT_TRUE(
        S().LinesSince(0).contains(u"Status of SPI : Programmed and Verified Successfully"_s));
    EXPECT_TRUE(S().LinesSince(0).contains(u"Status of COPY : Programmed Successfully"_s));
    EXPECT_EQ(Sheet().LastRun().endResult, 0);
    EXPECT_TRUE(W().messages.empty());
    const auto record = ReadProgrammingRecord();
    ASSERT_EQ(record.size(), 2U);
    EXPECT_EQ(record[0].storageMode, 2);
    EXPECT_EQ(record[1].storageMode, 1);
    EXPECT_TRUE(record[0].serial.isEmpty());
    EXPECT_TRUE(record[1].serial.isEmpty());
}

TEST_F(FirmwareRunTest, UnreadableImageStopsThePreparation) {
    SimBenchJson bench;
    bench.Add(SimBoard{});
    const QString missing = QDir::current().absoluteFilePath(u"missing.bin"_s);
    ASSERT_TRUE(StartOn(bench, {TopologyNode::Controller(u"1-1"_s),
                                TopologyNode::Hub(u"1-1-1"_s, u"SPI"_s, 2, missing, true, true)}));
    ASSERT_TRUE(S().ChooseOption(true));

    const std::size_t mark = S().Mark();
    EXPECT_FALSE(Sheet().StartProgramming());
    const SimBoard board;
    EXPECT_EQ(S().LinesSince(mark),
              QStringList({board.InstanceId() + u" : ERROR Setting firmware image"_s}));
    EXPECT_FALSE(Sheet().GetProgrammerStatus());
}

} // namespace
} // namespace testsupport
