// A bench of many hubs for the benchmarks: controllers with hubs behind hubs (four ports
// each), written as a bench file for the simulated library and as a topology naming every
// position.
#pragma once

#include <QString>
#include <QStringList>

struct LargeBench {
    QString benchFile;    // the bench file (TESSARO_SIM_BENCH)
    QString topologyFile; // a topology with every position, no operations
    QStringList hubPaths; // the device path of every hub, in bench order
};

// Writes both files into `folder` for `hubs` hubs spread over `controllers` controllers.
LargeBench WriteLargeBench(const QString& folder, int controllers, int hubs);
