// A sheet on a small bench with its topology loaded, for driving device events by hand.
#pragma once

#include "hub/hub_abi.h"
#include "tests/support/bench_json.h"
#include "tests/support/event_blocks.h"
#include "tests/support/sheet_session.h"
#include "tests/support/topology_file.h"

#include <gtest/gtest.h>

#include <QDir>

#include <memory>

namespace testsupport {

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
