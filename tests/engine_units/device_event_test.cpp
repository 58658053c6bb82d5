// Event blocks are freed exactly once, whatever happens to them: no window to post to, a
// window that closes before handling them, or a window that handles them. The sanitizer build
// turns a leak, a double free or a free of an integer payload into a failure.
#include "app/device_event.h"
#include "app/sheet.h"
#include "hub/hub_abi.h"
#include "hub/hub_status_text.h"
#include "tests/support/qt_print.h"
#include "tests/support/recording_window.h"
#include "tests/support/sim_bench.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

using namespace testsupport;

// A status block as the library allocates it.
void* StatusBlock(const char16_t* path, int32_t status) {
    auto* block = static_cast<hubabi::StatusBlock*>(std::malloc(sizeof(hubabi::StatusBlock)));
    std::memset(block, 0, sizeof(hubabi::StatusBlock));
    std::char_traits<char16_t>::copy(block->devicePath, path,
                                     std::char_traits<char16_t>::length(path) + 1);
    block->hubStatus = status;
    return block;
}

// A NUL-terminated device path as the library allocates it.
void* PathBlock(const char16_t* path) {
    const std::size_t bytes = (std::char_traits<char16_t>::length(path) + 1) * sizeof(char16_t);
    void* block = std::malloc(bytes);
    std::memcpy(block, path, bytes);
    return block;
}

void* SomeBlock() {
    return std::malloc(16);
}

// One event of every code, each with the payload the library gives it.
struct Posted {
    int32_t code;
    void* data;
};

std::vector<Posted> EveryKindOfEvent() {
    return {
        {hubabi::kEventStatusChanged, StatusBlock(u"\\\\?\\USB#nowhere#1", 2)},
        {hubabi::kEventStatusReport, StatusBlock(u"\\\\?\\USB#nowhere#2", 7)},
        {hubabi::kEventArrived, PathBlock(u"\\\\?\\USB#nowhere#3")},
        {hubabi::kEventRemoved, PathBlock(u"\\\\?\\USB#nowhere#4")},
        {hubabi::kEventManagerState, hubabi::IntegerToEventData(hubabi::kManagerFinished)},
        {hubabi::kEventOther, SomeBlock()},
        {hubabi::kEventOther, nullptr},
        {hubabi::kEventRepaint, SomeBlock()},
        {hubabi::kEventRepaint, nullptr},
        {hubabi::kEventRunEnded, hubabi::IntegerToEventData(hubabi::kRunSomeFailed)},
        {hubabi::kEventStatusReport, nullptr},
    };
}

TEST(DeviceEventTest, FreeEventDataFreesBlocksAndLeavesIntegers) {
    static int notABlock = 0;
    for (const Posted& event : EveryKindOfEvent()) {
        FreeEventData(event.code, event.data);
    }
    // An unknown code carries nothing the receiver owns.
    FreeEventData(42, &notABlock);
    FreeEventData(-1, &notABlock);
}

TEST(DeviceEventTest, WithoutAWindowTheNotifierFreesTheBlock) {
    EnsureCoreApplication();
    for (const Posted& event : EveryKindOfEvent()) {
        EXPECT_TRUE(DeviceStatusNotifier(event.data, event.code)) << event.code;
    }
    PumpFor(20); // nothing was posted anywhere
}

TEST(DeviceEventTest, BlocksPostedToAWindowThatClosesFirstAreFreed) {
    EnsureCoreApplication();
    RecordingWindow window;
    auto sheet = std::make_unique<CSheet>(window);
    for (const Posted& event : EveryKindOfEvent()) {
        EXPECT_TRUE(DeviceStatusNotifier(event.data, event.code));
    }
    sheet->OnDestroy();
    sheet.reset(); // the events were never handled
    EXPECT_TRUE(window.status.empty());
    PumpFor(20);
    EXPECT_TRUE(window.status.empty());
    // After the window went, the notifier finds none and frees at once.
    EXPECT_TRUE(DeviceStatusNotifier(SomeBlock(), hubabi::kEventOther));
}

TEST(DeviceEventTest, HandledBlocksAreFreedOnceInPostingOrder) {
    EnsureCoreApplication();
    RecordingWindow window;
    auto sheet = std::make_unique<CSheet>(window);
    // Status for devices the tree does not hold: dropped (and freed) without a line.
    EXPECT_TRUE(
        DeviceStatusNotifier(StatusBlock(u"\\\\?\\USB#nowhere#1", 2), hubabi::kEventStatusChanged));
    EXPECT_TRUE(
        DeviceStatusNotifier(StatusBlock(u"\\\\?\\USB#nowhere#2", 3), hubabi::kEventStatusReport));
    EXPECT_TRUE(DeviceStatusNotifier(SomeBlock(), hubabi::kEventOther));
    EXPECT_TRUE(DeviceStatusNotifier(SomeBlock(), hubabi::kEventRepaint));
    EXPECT_TRUE(DeviceStatusNotifier(hubabi::IntegerToEventData(hubabi::kManagerStarted),
                                     hubabi::kEventManagerState));
    EXPECT_TRUE(DeviceStatusNotifier(hubabi::IntegerToEventData(hubabi::kManagerFinished),
                                     hubabi::kEventManagerState));
    ASSERT_TRUE(PumpUntil([&] { return window.status.size() >= 2; }));
    // Only the two manager states showed a line, in the order they were posted.
    ASSERT_EQ(window.status.size(), 2U);
    EXPECT_EQ(window.status[0].text, ManagerStateText(hubabi::kManagerStarted));
    EXPECT_EQ(window.status[1].text, ManagerStateText(hubabi::kManagerFinished));
    EXPECT_GT(window.invalidations, 0);
    sheet->OnDestroy();
}

} // namespace
