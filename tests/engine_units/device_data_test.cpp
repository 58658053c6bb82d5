// CDeviceData's library wrappers against the simulated bench: the serial from the UUID, the
// configuration block (read, converted by the parser, handed over) and the firmware image.
#include "hub/device_data.h"
#include "hub/hub_abi.h"
#include "hub/library_loader.h"
#include "tests/support/bench_builder.h"
#include "tests/support/qt_print.h"
#include "tests/support/sheet_fixture.h"
#include "tests/support/sim_bench.h"
#include "topology/tcf_data.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace {

using namespace testsupport;

QString S(const char* text) {
    return QString::fromUtf8(text);
}

// What the simulated library answers for a payload it will not take (an empty one, say).
constexpr int kLibraryRefused = 2;

// Controller 0: an Aster at 1-1-1 with a chosen UUID, a keyboard at 1-1-2, a Fennel at 1-1-3.
class DeviceDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        QJsonObject aster = BenchHub(0, 1, 0);
        aster.insert(S("uuid"), S("000102030405060708090A01AB00FF10"));
        ASSERT_FALSE(
            UseBench(BenchJson({BenchController(0, {aster, BenchDevice(0, 2, 0),
                                                    BenchHub(0, 3, 0, S("5A17"), S("7520"))})}))
                .isEmpty());
        ASSERT_TRUE(CDeviceData::SetLibraryHandle());
        parser_ = std::make_unique<LoadedLibrary>(QString::fromLatin1(hubabi::kParserLibraryName));
        ASSERT_TRUE(parser_->Load()) << parser_->ErrorString().toStdString();
        createParser_ = parser_->Resolve<CreateParserFn>("CreateParser");
        ASSERT_NE(createParser_, nullptr);
        CopyExampleTopology(); // the example .cfg and .bin files, into the working directory
    }

    void TearDown() override { CDeviceData::FreeLibraryHandle(); }

    // A record for a position whose hub node names `file`.
    static std::unique_ptr<CDeviceData> Record(int position, const QString& file) {
        const QString topology = QStringLiteral("1-1-%1").arg(position);
        CTCFData& store = CTCFData::Instance();
        int node = store.GetTcfItem(topology);
        if (node < 0) {
            node = store.SetTcfItem(topology, QString());
        }
        store.SetAsHubItem(node, true);
        store.SetConfigFile(node, file);
        return std::make_unique<CDeviceData>(0, position, topology);
    }

    static QString Here(const char* name) { return QDir::current().absoluteFilePath(S(name)); }

    std::unique_ptr<LoadedLibrary> parser_;
    CreateParserFn createParser_ = nullptr;
};

TEST_F(DeviceDataTest, SerialFromUuidIsTheLastFiveBytesInLowerCaseHex) {
    EXPECT_EQ(Record(1, QString())->GetSerialFromUUID(), S("01ab00ff10"));
    EXPECT_EQ(Record(3, QString())->GetSerialFromUUID(),
              BenchUuid(0, 3).right(10).toLower()); // "…0000000003"
    // Not a hub, or no such position: no serial.
    EXPECT_EQ(Record(2, QString())->GetSerialFromUUID(), QString());
    EXPECT_EQ(Record(9, QString())->GetSerialFromUUID(), QString());
}

TEST_F(DeviceDataTest, ConfigurationBlockResults) {
    ASSERT_TRUE(QDir().mkpath(Here("a-folder.cfg")));
    ASSERT_TRUE(WriteBytes(Here("broken.cfg"), "this is no configuration file\n"));
    struct BlockCase {
        const char* what;
        int position;
        QString file;
        const char* serial;
        bool parser;
        int expected; // or, with expectFailure, any non-zero result
        bool expectFailure;
    };
    const BlockCase cases[] = {
        // Nothing to read and no serial: the library still gets the call, with no data, and
        // refuses it.
        {"empty name, no serial", 3, QString(), "", true, kLibraryRefused, false},
        {"blank name, no serial", 3, S("   "), "", true, kLibraryRefused, false},
        {"the file as it is", 3, Here("fennel.cfg"), "", true, 0, false},
        {"the file without a parser", 3, Here("fennel.cfg"), "KDX0001", false, 0, false},
        {"a block with the serial", 3, Here("fennel.cfg"), "KDX0001", true, 0, false},
        {"name between blanks", 3, S("  ") + Here("fennel.cfg") + S("  "), "KDX0002", true, 0,
         false},
        {"raw bytes for an Aster", 1, Here("aster.bin"), "", true, 0, false},
        // Failures are failures, never "nothing needed sending".
        {"missing file", 3, Here("missing.cfg"), "KDX0001", true, CDeviceData::kFileUnreadable,
         false},
        {"missing file, no serial", 3, Here("missing.cfg"), "", true, CDeviceData::kFileUnreadable,
         false},
        {"a folder", 3, Here("a-folder.cfg"), "KDX0001", true, 0, true},
        {"the parser fails", 3, Here("broken.cfg"), "KDX0001", true, CDeviceData::kParserFailed,
         false},
        // Not a hub: nothing is sent.
        {"not a hub", 2, Here("fennel.cfg"), "KDX0001", true, 0, false},
    };
    for (const BlockCase& c : cases) {
        const int result = Record(c.position, c.file)
                               ->SetConfigBlock(c.parser ? createParser_ : nullptr, S(c.serial));
        if (c.expectFailure) {
            EXPECT_NE(result, 0) << c.what;
        } else {
            EXPECT_EQ(result, c.expected) << c.what;
        }
    }
}

TEST_F(DeviceDataTest, FirmwareImageResults) {
    struct ImageCase {
        const char* what;
        int position;
        QString file;
        int expected;
    };
    const ImageCase cases[] = {
        {"an image", 1, Here("firmware.bin"), 0},
        {"missing file", 1, Here("missing.bin"), CDeviceData::kFileUnreadable},
        {"no file: the library refuses an empty image", 1, QString(), kLibraryRefused},
        {"not a hub", 2, Here("firmware.bin"), CDeviceData::kNoHubForImage},
        {"no such position", 9, Here("firmware.bin"), CDeviceData::kNoHubForImage},
    };
    for (const ImageCase& c : cases) {
        EXPECT_EQ(Record(c.position, c.file)->SetSPIFwImage(), c.expected) << c.what;
    }
}

TEST_F(DeviceDataTest, WithoutTheLibraryHandleTheDefaultsApply) {
    CDeviceData::FreeLibraryHandle();
    const auto record = Record(1, Here("firmware.bin"));
    EXPECT_EQ(record->GetSerialFromUUID(), QString());
    EXPECT_EQ(record->SetConfigBlock(createParser_, S("KDX0001")), 0);
    EXPECT_EQ(record->SetSPIFwImage(), CDeviceData::kNoHubForImage);
    EXPECT_EQ(record->GetStorageMode(), kMemoryNone);
    EXPECT_EQ(record->SetStorageMode(0), 2);
    EXPECT_EQ(record->GetDeviceType(), hubabi::kDeviceTypeUnknown);
    EXPECT_FALSE(record->IsSafeToRemove());
    EXPECT_EQ(record->GetDeviceName(), QString());
}

} // namespace
