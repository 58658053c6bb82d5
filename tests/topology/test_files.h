// File helpers for the topology tests. Every test process runs in a sandbox folder of its
// own, so plain relative names are private to the test.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <ostream>
#include <string>

// Readable QString values in assertion messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

inline QString SandboxPath(const QString& name) {
    return QDir::current().absoluteFilePath(name);
}

inline std::string ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "<unreadable>";
    }
    return file.readAll().toStdString();
}

inline void WriteBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
}

// Names of the entries in a folder, to see that a failed write left no temporary file.
inline QStringList FolderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}
