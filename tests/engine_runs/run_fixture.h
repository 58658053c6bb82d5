// The fixture of the programming run tests: a bench file and a topology file written for the
// test, a sheet started on them with the topology loaded as the file in use.
#pragma once

#include "tests/support/bench_json.h"
#include "tests/support/record_checks.h"
#include "tests/support/sheet_session.h"
#include "tests/support/topology_file.h"
#include "topology/tcf_data.h"

#include <gtest/gtest.h>

#include <QDir>

#include <memory>
#include <vector>

namespace testsupport {

// `Window` is RecordingWindow or a test's own kind of it.
template <typename Window = RecordingWindow> class EngineRunTestBase : public ::testing::Test {
protected:
    // A Fennel hub at (controller 0, position) with a decimal scheme KDX0001..9999.
    static TopologyNode SchemeHub(const QString& topology, const QString& label, const QString& cfg,
                                  const QString& current = QStringLiteral("0001")) {
        TopologyNode node = TopologyNode::Hub(topology, label, 0, cfg, true, true);
        node.Scheme(false, QStringLiteral("KDX"), QStringLiteral("0001"), QStringLiteral("9999"),
                    current);
        return node;
    }

    // Starts the sheet on `bench` and loads `nodes` as the topology file in use.
    bool StartOn(const SimBenchJson& bench, const std::vector<TopologyNode>& nodes) {
        if (UseBench(bench.ToJson()).isEmpty()) {
            ADD_FAILURE() << "cannot write the bench file";
            return false;
        }
        tcf = QDir::current().absoluteFilePath(QStringLiteral("test.tcf"));
        if (!WriteTopologyFile(tcf, nodes)) {
            ADD_FAILURE() << "cannot write the topology file";
            return false;
        }
        session = std::make_unique<BasicSheetSession<Window>>();
        if (!session->Start()) {
            ADD_FAILURE() << "start-up failed";
            return false;
        }
        if (!session->Load(tcf)) {
            ADD_FAILURE() << "the topology did not load";
            return false;
        }
        return true;
    }

    // The common case: one board at 1-1-1 whose node "H1" programs fennel.cfg with the
    // decimal scheme of SchemeHub.
    bool StartOnOneSchemeHub() {
        SimBenchJson bench;
        bench.Add(SimBoard{});
        return StartOn(bench, {TopologyNode::Controller(QStringLiteral("1-1")),
                               SchemeHub(QStringLiteral("1-1-1"), QStringLiteral("H1"),
                                         CopyExampleFile(QStringLiteral("fennel.cfg")))});
    }

    BasicSheetSession<Window>& S() { return *session; }
    Window& W() { return session->window; }
    CSheet& Sheet() { return session->sheet; }

    QString FileCurrent(const QString& topology) const {
        return ReadTopologyValue(tcf, topology, QStringLiteral("SERCURRENT"));
    }
    static QString NodeCurrent(const QString& topology) {
        const int index = CTCFData::Instance().GetTcfItem(topology);
        return index < 0 ? QStringLiteral("<no node>")
                         : CTCFData::Instance().Item(index).serialCurrent;
    }

    std::unique_ptr<BasicSheetSession<Window>> session;
    QString tcf;
};

using EngineRunTest = EngineRunTestBase<>;

} // namespace testsupport
