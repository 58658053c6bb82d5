// Device events that arrive while the sheet shows a message box (whose nested event loop would
// otherwise run them in the middle of the operation that opened the box) wait until that
// operation is over, and are then handled one at a time in posting order.
#include "app/device_event.h"
#include "app/sheet.h"
#include "hub/hub_abi.h"
#include "hub/hub_status_text.h"
#include "tests/support/recording_window.h"
#include "tests/support/sim_bench.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace testsupport;

// A window whose message boxes post events and run the event loop while they are open, as a
// real modal box does.
class PumpingWindow : public RecordingWindow {
public:
    std::function<void()> whileOpen;
    QStringList statusSeenInBox;

    MessageAnswer ShowMessage(const MessageRequest& request) override {
        if (whileOpen) {
            whileOpen();
        }
        PumpFor(100);
        statusSeenInBox = StatusTexts();
        return RecordingWindow::ShowMessage(request);
    }
};

void PostManagerState(int32_t state) {
    DeviceStatusNotifier(hubabi::IntegerToEventData(state), hubabi::kEventManagerState);
}

TEST(ModalEventTest, EventsArrivingDuringABoxWaitAndKeepTheirOrder) {
    EnsureCoreApplication();
    PumpingWindow window;
    CSheet sheet(window);
    window.whileOpen = [] {
        for (int32_t state : {hubabi::kManagerReady, hubabi::kManagerStarted,
                              hubabi::kManagerFinished, hubabi::kManagerNothingToDo}) {
            PostManagerState(state);
        }
    };
    MessageRequest request;
    request.text = QStringLiteral("a box");
    sheet.Ask(request);

    EXPECT_TRUE(window.statusSeenInBox.isEmpty()) << "handled while the box was open";
    EXPECT_TRUE(window.StatusTexts().isEmpty()) << "handled inside the operation";
    ASSERT_TRUE(PumpUntil([&] { return window.StatusTexts().size() == 4; }));
    EXPECT_EQ(window.StatusTexts(), (QStringList{ManagerStateText(0), ManagerStateText(1),
                                                 ManagerStateText(2), ManagerStateText(3)}));
}

TEST(ModalEventTest, EventsArrivingWhileAHandlerShowsABoxComeAfterThatHandler) {
    EnsureCoreApplication();
    PumpingWindow window;
    CSheet sheet(window);
    // The end of a failed run shows a warning box; a state event posted meanwhile waits.
    window.whileOpen = [] { PostManagerState(hubabi::kManagerStarted); };
    DeviceStatusNotifier(hubabi::IntegerToEventData(hubabi::kRunSomeFailed),
                         hubabi::kEventRunEnded);
    ASSERT_TRUE(PumpUntil([&] { return window.StatusTexts().contains(ManagerStateText(1)); }));

    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_FALSE(window.statusSeenInBox.contains(ManagerStateText(1)));
    EXPECT_EQ(window.startButtonShown, 1);
    EXPECT_EQ(window.StatusTexts().last(), ManagerStateText(1));
}

} // namespace

namespace {

TEST(ModalEventTest, EventsPostedBeforeTheWindowClosedAreOnlyFreed) {
    EnsureCoreApplication();
    RecordingWindow window;
    CSheet sheet(window);
    PostManagerState(hubabi::kManagerStarted);
    DeviceStatusNotifier(std::malloc(16), hubabi::kEventRepaint);
    sheet.OnDestroy();
    PumpFor(50);
    EXPECT_TRUE(window.StatusTexts().isEmpty());
    EXPECT_EQ(window.invalidations, 0);
    EXPECT_EQ(sheet.GetTreeCtrl().FirstRootItem(), nullptr) << "no enumeration after close";
}

} // namespace
