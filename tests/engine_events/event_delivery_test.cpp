// Events on their way from the library's thread to the sheet: handled one at a time in
// posting order, also while a message box runs a nested event loop, and every block freed
// once even when no window handles it.
#include "event_fixture.h"
#include "tests/support/pumping_window.h"

#include "app/device_event.h"

#include <QCoreApplication>

#include <thread>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace testsupport {
namespace {

TEST_F(EventTest, EventsFromTheLibraryThreadAreHandledInPostingOrder) {
    constexpr int kEvents = 2000;
    W().Clear();
    std::thread library([this] {
        for (int i = 0; i < kEvents; ++i) {
            const SimBoard& hub = i % 2 == 0 ? first : second;
            DeviceStatusNotifier(MakeStatusBlock(hub.Path(), i % 14), 1);
        }
    });
    const bool all = PumpUntil([&] { return W().status.size() >= kEvents; }, 30000);
    library.join();
    ASSERT_TRUE(all) << W().status.size();
    ASSERT_EQ(W().status.size(), static_cast<std::size_t>(kEvents));
    int outOfOrder = 0;
    for (int i = 0; i < kEvents; ++i) {
        const QString expected = (i % 2 == 0 ? u"Status of H1 : "_s : u"Status of H2 : "_s);
        outOfOrder += W().status[static_cast<std::size_t>(i)].text.startsWith(expected) ? 0 : 1;
    }
    EXPECT_EQ(outOfOrder, 0);
}

using PumpingEventTest = EventTestBase<PumpingWindow>;

TEST_F(PumpingEventTest, EventsWaitWhileAMessageBoxPumps) {
    W().Clear();
    DeviceStatusNotifier(hubabi::IntegerToEventData(2), 7); // warning box
    DeviceStatusNotifier(MakeStatusBlock(first.Path(), 2), 1);
    DeviceStatusNotifier(hubabi::IntegerToEventData(1), 4);
    DeviceStatusNotifier(hubabi::IntegerToEventData(2), 7); // second warning box
    DeviceStatusNotifier(MakeStatusBlock(first.Path(), 3), 1);
    ASSERT_TRUE(PumpUntil([&] { return W().status.size() >= 3 && W().messages.size() >= 2; }));
    PumpFor(50);

    EXPECT_EQ(W().StatusTexts(),
              QStringList({u"Status of H1 : Programming"_s, u"Started Programming"_s,
                           u"Status of H1 : Programmed Successfully"_s}));
    EXPECT_EQ(W().messages.size(), 2U);
    EXPECT_EQ(W().maxDepth, 1);
    // Nothing was handled while a box was open; the second box came after the two events
    // posted before it.
    EXPECT_EQ(W().linesAtEntry, (std::vector<std::size_t>{0, 2}));
    EXPECT_EQ(W().linesAfterPumping, W().linesAtEntry);
}

TEST(EventBlockTest, BlocksThatNoWindowHandlesAreFreed) {
    EnsureCoreApplication();
    SimBoard board;
    // No window yet: the notifier frees the block itself.
    EXPECT_TRUE(DeviceStatusNotifier(MakeStatusBlock(board.Path(), 3), 1));
    EXPECT_TRUE(DeviceStatusNotifier(MakeTextBlock(board.Path()), 2));
    EXPECT_TRUE(DeviceStatusNotifier(std::malloc(16), 5));

    // A window that closes with events still queued: they go with it, blocks and all.
    SimBenchJson bench;
    bench.Add(board);
    ASSERT_FALSE(UseBench(bench.ToJson()).isEmpty());
    {
        SheetSession session;
        ASSERT_TRUE(session.Start());
        for (int i = 0; i < 100; ++i) {
            DeviceStatusNotifier(MakeStatusBlock(board.Path(), 2), 1);
            DeviceStatusNotifier(MakeTextBlock(board.Path()), 3);
            DeviceStatusNotifier(std::malloc(16), 6);
        }
    }
    PumpFor(50);
}

} // namespace
} // namespace testsupport
