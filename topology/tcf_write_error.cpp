#include "topology/tcf_data.h"

#include <QDir>

QString TcfWriteError::Message(const QString& file) const {
    switch (kind) {
    case kNone:
        return {};
    case kBadValue:
        if (key.isEmpty()) {
            return QStringLiteral("Cannot write %1: the topology string %2").arg(node, detail);
        }
        return QStringLiteral("Cannot write %1 %2: the value %3").arg(node, key, detail);
    case kWriteFailed:
        return QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(file), detail);
    }
    return {};
}
