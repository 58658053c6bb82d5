// A sheet on a small bench with its topology loaded, and library event blocks made by hand
// as the library makes them (std::malloc, the receiver frees them).
#pragma once

#include "hub/hub_abi.h"
#include "tests/support/bench_json.h"
#include "tests/support/sheet_session.h"
#include "tests/support/topology_file.h"

#include <gtest/gtest.h>

#include <QDir>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace testsupport {

// A status block (events 0 and 1) for `path`. With `terminate` false the path fills the
// whole path area without a terminator (units beyond the text are 'Z').
inline void* MakeStatusBlock(const QString& path, int32_t status, bool terminate = true) {
    auto* block = static_cast<hubabi::StatusBlock*>(std::malloc(sizeof(hubabi::StatusBlock)));
    std::memset(block, 0, sizeof *block);
    const std::size_t room = hubabi::kStatusBlockPathUnits - (terminate ? 1 : 0);
    const std::size_t units = std::min(static_cast<std::size_t>(path.size()), room);
    std::memcpy(block->devicePath, path.utf16(), units * sizeof(char16_t));
    if (!terminate) {
        std::fill(block->devicePath + units, block->devicePath + hubabi::kStatusBlockPathUnits,
                  u'Z');
    }
    block->hubStatus = status;
    return block;
}

// A text block (events 2 and 3): the NUL-terminated path.
inline void* MakeTextBlock(const QString& text) {
    const std::size_t bytes = (static_cast<std::size_t>(text.size()) + 1) * sizeof(char16_t);
    auto* block = static_cast<char16_t*>(std::malloc(bytes));
    std::memcpy(block, text.utf16(), bytes);
    return block;
}

// Two hubs: H1 with a decimal scheme at 1-1-1, H2 with a UUID serial at 1-1-2, and a device
// that is not a hub at 1-1-3.
template <typename Window = RecordingWindow> class EventTestBase : public ::testing::Test {
protected:
    void SetUp() override {
        SimBoard device;
        device.position = 3;
        device.hub = false;
        device.pid = QStringLiteral("C31C");
        second.position = 2;
        SimBenchJson bench;
        bench.Add(first).Add(second).Add(device);
        ASSERT_FALSE(UseBench(bench.ToJson()).isEmpty());
        tcf = QDir::current().absoluteFilePath(QStringLiteral("events.tcf"));
        TopologyNode h1 = TopologyNode::Hub(QStringLiteral("1-1-1"), QStringLiteral("H1"), 0,
                                            QString(), true, true);
        h1.Scheme(false, QStringLiteral("KDX"), QStringLiteral("0001"), QStringLiteral("9999"),
                  QStringLiteral("0001"));
        TopologyNode h2 = TopologyNode::Hub(QStringLiteral("1-1-2"), QStringLiteral("H2"), 0,
                                            QString(), true, true);
        h2.CopyUuid();
        TopologyNode other = TopologyNode::Device(QStringLiteral("1-1-3"));
        ASSERT_TRUE(WriteTopologyFile(
            tcf, {TopologyNode::Controller(QStringLiteral("1-1")), h1, h2, other}));
        session = std::make_unique<BasicSheetSession<Window>>();
        ASSERT_TRUE(session->Start());
        ASSERT_TRUE(session->Load(tcf));
        ASSERT_TRUE(session->sheet.RequestActivePage(kProgrammerPage));
    }

    CSheet& Sheet() { return session->sheet; }
    Window& W() { return session->window; }

    SimBoard first;
    SimBoard second;
    QString tcf;
    std::unique_ptr<BasicSheetSession<Window>> session;
};

using EventTest = EventTestBase<>;

} // namespace testsupport
