#include "large_bench.h"

#include "tests/support/bench_json.h"
#include "tests/support/topology_file.h"

#include <QDir>
#include <QFile>

#include <map>
#include <vector>

LargeBench WriteLargeBench(const QString& folder, int controllers, int hubs) {
    using testsupport::SimBoard;
    using testsupport::TopologyNode;
    LargeBench result;
    testsupport::SimBenchJson bench(controllers, 5);
    std::vector<TopologyNode> nodes;
    const int perController = hubs / controllers;
    for (int c = 0; c < controllers; ++c) {
        const QString controllerTopology = QStringLiteral("1-%1").arg(c + 1);
        nodes.push_back(TopologyNode::Controller(controllerTopology));
        std::map<int, QString> topologyOf{{0, controllerTopology}};
        std::map<int, int> childrenOf;
        for (int position = 1; position <= perController; ++position) {
            SimBoard board;
            board.controller = c;
            board.position = position;
            board.parent = position <= 4 ? 0 : (position - 1) / 4;
            bench.Add(board);
            result.hubPaths.push_back(board.Path());
            const QString topology =
                topologyOf[board.parent] + QStringLiteral("-%1").arg(++childrenOf[board.parent]);
            topologyOf[position] = topology;
            nodes.push_back(TopologyNode::Hub(topology, QString(), 4, QString(), false, false));
        }
    }
    const QDir dir(folder);
    result.benchFile = dir.absoluteFilePath(QStringLiteral("bench-%1-hubs.json").arg(hubs));
    result.topologyFile = dir.absoluteFilePath(QStringLiteral("bench-%1-hubs.tcf").arg(hubs));
    QFile file(result.benchFile);
    const QByteArray json = bench.ToJson();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(json) != json.size() ||
        !testsupport::WriteTopologyFile(result.topologyFile, nodes)) {
        return LargeBench{};
    }
    return result;
}
