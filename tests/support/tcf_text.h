// Topology files written by hand for tests: a header and node sections in the file's own key
// names, so a test states exactly what is on disk.
#pragma once

#include <QByteArray>
#include <QString>

namespace testsupport {

inline QByteArray TcfHeader(int count, const QByteArray& version = "2.0") {
    return "[Header]\r\nCount=" + QByteArray::number(count) + "\r\nVersion=" + version + "\r\n";
}

// A node that is not a hub (a controller or a plain device).
inline QByteArray TcfPlainNode(const QString& topology, const QString& label = QString()) {
    return "[" + topology.toUtf8() + "]\r\nUINAME=" + label.toUtf8() + "\r\nISHUB=0\r\n";
}

// A hub node without a serial scheme.
inline QByteArray TcfHubNode(const QString& topology, int memoryType = 4,
                             const QString& label = QString(), int partType = 2,
                             const QString& file = QString()) {
    return "[" + topology.toUtf8() + "]\r\nUINAME=" + label.toUtf8() +
           "\r\nISHUB=1\r\nPTYPE=" + QByteArray::number(partType) +
           "\r\nMEMTYPE=" + QByteArray::number(memoryType) +
           "\r\nVERIFY=0\r\nDOPROGRAM=0\r\nBCFGFILE=" + file.toUtf8() + "\r\nSERTYPE=3\r\n";
}

} // namespace testsupport
