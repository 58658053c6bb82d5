// Writes topology files (.tcf) for tests by hand, key by key as the tool stores them, and
// reads single values back.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <vector>

namespace testsupport {

struct TopologyNode {
    QString topology;
    QString label;
    bool hub = true;
    int partType = 0;
    int memoryType = 4; // 0 SPI Partial (CFG), 1 SPI Copy from OTP, 2 SPI, 3 OTP, 4 N/A
    bool verify = false;
    bool program = false;
    QString file;
    int serialType = 3; // 0 Copy UUID, 1 Scheme (Hex), 2 Scheme (Dec), 3 N/A
    QString alpha;
    QString start;
    QString max;
    int increment = 1;
    QString current;

    // A position that is not a hub: a controller or a device.
    static TopologyNode Controller(const QString& topology) {
        TopologyNode node;
        node.topology = topology;
        node.hub = false;
        return node;
    }
    static TopologyNode Device(const QString& topology) { return Controller(topology); }
    static TopologyNode Hub(const QString& topology, const QString& label, int memoryType,
                            const QString& file, bool program, bool verify) {
        TopologyNode node;
        node.topology = topology;
        node.label = label;
        node.memoryType = memoryType;
        node.file = file;
        node.program = program;
        node.verify = verify;
        return node;
    }
    // A counter scheme (hex or decimal) that starts at `current`.
    TopologyNode& Scheme(bool hex, const QString& prefix, const QString& from, const QString& to,
                         const QString& now, int step = 1) {
        serialType = hex ? 1 : 2;
        alpha = prefix;
        start = from;
        max = to;
        current = now;
        increment = step;
        return *this;
    }
    TopologyNode& CopyUuid() {
        serialType = 0;
        return *this;
    }
};

inline QByteArray TopologyText(const std::vector<TopologyNode>& nodes,
                               const QString& version = QStringLiteral("2.0")) {
    QStringList lines;
    lines << QStringLiteral("[Header]") << QStringLiteral("Count=%1").arg(nodes.size())
          << QStringLiteral("Version=%1").arg(version);
    for (const TopologyNode& n : nodes) {
        lines << QStringLiteral("[%1]").arg(n.topology) << QStringLiteral("UINAME=%1").arg(n.label)
              << QStringLiteral("ISHUB=%1").arg(n.hub ? 1 : 0);
        if (!n.hub) {
            continue;
        }
        lines << QStringLiteral("PTYPE=%1").arg(n.partType)
              << QStringLiteral("MEMTYPE=%1").arg(n.memoryType)
              << QStringLiteral("VERIFY=%1").arg(n.verify ? 1 : 0)
              << QStringLiteral("DOPROGRAM=%1").arg(n.program ? 1 : 0)
              << QStringLiteral("BCFGFILE=%1").arg(n.file)
              << QStringLiteral("SERTYPE=%1").arg(n.serialType);
        if (n.serialType == 1 || n.serialType == 2) {
            lines << QStringLiteral("SERALPHA=%1").arg(n.alpha)
                  << QStringLiteral("SERSTART=%1").arg(n.start)
                  << QStringLiteral("SERMAX=%1").arg(n.max)
                  << QStringLiteral("SERINC=%1").arg(n.increment)
                  << QStringLiteral("SERCURRENT=%1").arg(n.current)
                  << QStringLiteral("SERHEXFMT=%1").arg(n.serialType == 1 ? 1 : 0);
        }
    }
    return lines.join(QLatin1Char('\n')).toUtf8() + '\n';
}

inline bool WriteTopologyFile(const QString& path, const std::vector<TopologyNode>& nodes,
                              const QString& version = QStringLiteral("2.0")) {
    const QByteArray text = TopologyText(nodes, version);
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

// The value of `key` in `section` of an INI file; empty when absent.
inline QString ReadTopologyValue(const QString& path, const QString& section, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    QString current;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            current = line.mid(1, line.size() - 2);
        } else if (current.compare(section, Qt::CaseInsensitive) == 0) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq > 0 && line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
                return line.mid(eq + 1).trimmed();
            }
        }
    }
    return QString();
}

} // namespace testsupport
