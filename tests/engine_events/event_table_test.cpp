// Every row of the event table, driven through CSheet::DeviceEvent with blocks made as the
// library makes them. Under AddressSanitizer a block freed twice, or never, fails the test.
#include "event_fixture.h"

#include "topology/tcf_data.h"

#include <QFile>

using namespace Qt::Literals::StringLiterals;

namespace testsupport {
namespace {

const char* const kStatusTexts[] = {
    "New Unprogrammed",
    "Failure opening device",
    "Programming",
    "Programmed Successfully",
    "Failed Programming",
    "Verified Successfully",
    "Failed Verify",
    "Programmed and Verified Successfully",
    "Failed Program Verify",
    "Verifying",
    "Programming and Verifying",
    "Failed due to Insufficient space",
    "ERROR: Cannot access SPI Flash",
    "ERROR: OTP already Programmed maximum times",
};

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList SerialCounters() {
    QStringList counters;
    const CTCFData& store = CTCFData::Instance();
    for (int i = 0; i < store.Count(); ++i) {
        counters.push_back(store.Item(i).topology + u'=' + store.Item(i).serialCurrent);
    }
    return counters;
}

TEST_F(EventTest, StatusChangeShowsItsTextAndStartOnlyForTheFinalStatuses) {
    for (int32_t status = 0; status < 14; ++status) {
        SCOPED_TRACE(status);
        W().Clear();
        const int startBefore = W().startButtonShown;
        EXPECT_EQ(Sheet().DeviceEvent(MakeStatusBlock(first.Path(), status), 0), 0);
        EXPECT_EQ(W().StatusTexts(kProgrammerPage),
                  QStringList(
                      {u"Status of H1 changed to "_s + QString::fromLatin1(kStatusTexts[status])}));
        EXPECT_EQ(W().startButtonShown - startBefore, status >= 7 ? 1 : 0);
    }
}

TEST_F(EventTest, StatusReportShowsItsTextRepaintsAndNeverShowsStart) {
    for (int32_t status : {9, 7, 13}) {
        SCOPED_TRACE(status);
        W().Clear();
        const int invalidations = W().invalidations;
        Sheet().DeviceEvent(MakeStatusBlock(second.Path(), status), 1);
        EXPECT_EQ(W().StatusTexts(),
                  QStringList({u"Status of H2 : "_s + QString::fromLatin1(kStatusTexts[status])}));
        EXPECT_GT(W().invalidations, invalidations);
    }
    EXPECT_EQ(W().startButtonShown, 0);
}

TEST_F(EventTest, SuccessReportWithoutHandOutAdvancesNoCounter) {
    const QStringList counters = SerialCounters();
    const QByteArray file = ReadAll(tcf);
    W().Clear();
    // H2 copies its UUID; H1's scheme number is taken when handed out, not on success.
    Sheet().DeviceEvent(MakeStatusBlock(second.Path(), 3), 1);
    Sheet().DeviceEvent(MakeStatusBlock(second.Path(), 7), 1);
    Sheet().DeviceEvent(MakeStatusBlock(first.Path(), 7), 1);
    EXPECT_EQ(W().StatusTexts().size(), 3);
    EXPECT_EQ(SerialCounters(), counters);
    EXPECT_EQ(ReadAll(tcf), file);
}

TEST_F(EventTest, EventsWithoutDataDoNothing) {
    const std::vector<TreeItem*> items = Sheet().GetTreeCtrl().AllItems();
    W().Clear();
    const int invalidations = W().invalidations;
    for (int32_t code : {0, 1, 2, 3}) {
        Sheet().DeviceEvent(nullptr, code);
    }
    EXPECT_TRUE(W().status.empty());
    EXPECT_EQ(W().invalidations, invalidations);
    EXPECT_EQ(Sheet().GetTreeCtrl().AllItems(), items); // no new enumeration
}

TEST_F(EventTest, ArrivalAndRemovalReportAndEnumerateAgain) {
    W().Clear();
    Sheet().DeviceEvent(MakeTextBlock(second.Path()), 2);
    Sheet().DeviceEvent(MakeTextBlock(second.Path()), 3);
    EXPECT_EQ(W().StatusTexts(), QStringList({u"Device Arrived"_s, u"Device Removed"_s}));
    // The tree was built again and still shows both hubs.
    int hubs = 0;
    for (const TreeItem* item : Sheet().GetTreeCtrl().AllItems()) {
        hubs += item->Text() == u"H1"_s || item->Text() == u"H2"_s ? 1 : 0;
    }
    EXPECT_EQ(hubs, 2);
}

TEST_F(EventTest, ManagerStateShowsItsTextAndUnknownForOthers) {
    const struct {
        int32_t state;
        const char* text;
    } cases[] = {{0, "Programmer Ready"},          {1, "Started Programming"},
                 {2, "Finish Programming"},        {3, "No device available for operation"},
                 {4, "Programmer Status Unknown"}, {5, "Programmer Status Unknown"},
                 {-1, "Programmer Status Unknown"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        W().Clear();
        const int invalidations = W().invalidations;
        Sheet().DeviceEvent(hubabi::IntegerToEventData(c.state), 4);
        EXPECT_EQ(W().StatusTexts(), QStringList({QString::fromLatin1(c.text)}));
        EXPECT_GT(W().invalidations, invalidations);
    }
}

TEST_F(EventTest, OtherAndRepaintEventsOnlyFreeTheirBlocks) {
    W().Clear();
    const int invalidations = W().invalidations;
    Sheet().DeviceEvent(std::malloc(64), 5);
    Sheet().DeviceEvent(nullptr, 5);
    EXPECT_EQ(W().invalidations, invalidations);
    Sheet().DeviceEvent(std::malloc(64), 6);
    Sheet().DeviceEvent(nullptr, 6);
    EXPECT_EQ(W().invalidations, invalidations + 2);
    Sheet().DeviceEvent(nullptr, 8);
    Sheet().DeviceEvent(nullptr, -1);
    EXPECT_TRUE(W().status.empty());
    EXPECT_TRUE(W().messages.empty());
}

TEST_F(EventTest, RunEndSavesCountersShowsStartAndWarnsOnlyWhenSomeFailed) {
    const int node = CTCFData::Instance().GetTcfItem(u"1-1-1"_s);
    ASSERT_GE(node, 0);
    CTCFData::Instance().SetSerialParamCurrentVal(node, u"0042"_s);
    for (int32_t result : {0, 1, 2}) {
        SCOPED_TRACE(result);
        W().Clear();
        const int startBefore = W().startButtonShown;
        Sheet().DeviceEvent(hubabi::IntegerToEventData(result), 7);
        EXPECT_EQ(W().startButtonShown, startBefore + 1);
        EXPECT_TRUE(W().status.empty());
        if (result == 2) {
            ASSERT_EQ(W().messages.size(), 1U);
            EXPECT_EQ(W().messages[0].text, u"Operation on one or more device failed"_s);
            EXPECT_EQ(W().messages[0].icon, MessageIcon::Warning);
        } else {
            EXPECT_TRUE(W().messages.empty());
        }
        EXPECT_TRUE(Sheet().LastRun().ended);
        EXPECT_EQ(Sheet().LastRun().endResult, result);
    }
    EXPECT_EQ(ReadTopologyValue(tcf, u"1-1-1"_s, u"SERCURRENT"_s), u"0042"_s);
}

TEST_F(EventTest, StatusForAPathOutsideTheTreeIsDropped) {
    W().Clear();
    SimBoard stranger;
    stranger.position = 9;
    const int startBefore = W().startButtonShown;
    Sheet().DeviceEvent(MakeStatusBlock(stranger.Path(), 7), 0);
    Sheet().DeviceEvent(MakeStatusBlock(stranger.Path(), 3), 1);
    Sheet().DeviceEvent(MakeStatusBlock(QString(), 3), 1);
    EXPECT_TRUE(W().status.empty());
    EXPECT_EQ(W().startButtonShown, startBefore);
    // The path is compared without regard to case.
    Sheet().DeviceEvent(MakeStatusBlock(first.Path().toLower(), 2), 0);
    EXPECT_EQ(W().StatusTexts(), QStringList({u"Status of H1 changed to Programming"_s}));
}

TEST_F(EventTest, StatusLinesGoToThePageInFront) {
    ASSERT_TRUE(Sheet().RequestActivePage(kConfigPage));
    W().Clear();
    Sheet().DeviceEvent(MakeStatusBlock(first.Path(), 2), 0);
    Sheet().DeviceEvent(hubabi::IntegerToEventData(0), 4);
    EXPECT_EQ(W().StatusTexts(kConfigPage),
              QStringList({u"Status of H1 changed to Programming"_s, u"Programmer Ready"_s}));
    EXPECT_TRUE(W().StatusTexts(kProgrammerPage).isEmpty());

    ASSERT_TRUE(Sheet().RequestActivePage(2));
    W().Clear();
    Sheet().DeviceEvent(MakeStatusBlock(first.Path(), 2), 0);
    Sheet().DeviceEvent(hubabi::IntegerToEventData(0), 4);
    EXPECT_TRUE(W().status.empty());
}

// A device path as long as a status block can carry (201 units and the terminator).
class LongPathEventTest : public EventTest {
protected:
    void SetUp() override {
        QString path = u"\\\\?\\USB#VID_5A17&PID_7510#LONG#"_s;
        path += QString(201 - path.size(), u'L');
        first.path = path;
        EventTest::SetUp();
    }
};

TEST_F(LongPathEventTest, PathIsReadOnlyWithinTheBlock) {
    ASSERT_EQ(first.Path().size(), 201);
    W().Clear();
    // The longest path with its terminator is found.
    Sheet().DeviceEvent(MakeStatusBlock(first.Path(), 2), 0);
    EXPECT_EQ(W().StatusTexts(), QStringList({u"Status of H1 changed to Programming"_s}));

    // Without a terminator the 202 units of the block are the path: no such device.
    W().Clear();
    Sheet().DeviceEvent(MakeStatusBlock(first.Path(), 2, false), 0);
    EXPECT_TRUE(W().status.empty());

    // A status whose bytes read as more text still ends the path at the block's path area.
    W().Clear();
    Sheet().DeviceEvent(MakeStatusBlock(QString(), 0x00410041, false), 1);
    EXPECT_TRUE(W().status.empty());
}

} // namespace
} // namespace testsupport
