// Builds bench files for the simulated hub library from a few lines of test code: controllers,
// hubs and plain devices with paths, instance IDs and UUIDs made up from their place, so every
// bench a test writes is valid without spelling out the JSON by hand. docs/simulator.md (or
// sim/hub/bench_file_reader.cpp) gives the full format; a test changes any field it cares
// about on the returned objects.
#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

namespace testsupport {

// A device path unique on the bench (paths are compared ignoring case, so the letters
// identify the place only through the numbers).
inline QString BenchDevicePath(int controller, int position) {
    return QStringLiteral(
               "\\\\?\\USB#VID_5A17&PID_TEST#%1&%2#{f18a0e88-c30c-11d0-8815-00a0c906bed8}")
        .arg(controller)
        .arg(position);
}

inline QString BenchControllerPath(int controller) {
    return QStringLiteral("\\\\?\\PCI#VEN_TEST&DEV_%1#{3abf6f2d-71c4-462a-8a92-1e6861e6af27}")
        .arg(controller);
}

// 32 hex digits, unique per place: "4B454C56" + controller + position, padded.
inline QString BenchUuid(int controller, int position) {
    return QStringLiteral("4B454C5654455354%1%2")
        .arg(controller, 4, 16, QLatin1Char('0'))
        .arg(position, 12, 16, QLatin1Char('0'))
        .toUpper();
}

// A hub whose instance ID carries "VID_<vid>&PID_<pid>", e.g. BenchHub(0, 1, 0, "5A17", "7111")
// for an Aster.
inline QJsonObject BenchHub(int controller, int position, int parent,
                            const QString& vid = QStringLiteral("5A17"),
                            const QString& pid = QStringLiteral("7111")) {
    QJsonObject hub;
    hub.insert(QStringLiteral("position"), position);
    hub.insert(QStringLiteral("parent"), parent);
    hub.insert(QStringLiteral("type"), QStringLiteral("hub"));
    hub.insert(QStringLiteral("instanceId"), QStringLiteral("USB\\VID_%1&PID_%2\\6&%3&0&%4")
                                                 .arg(vid, pid)
                                                 .arg(controller)
                                                 .arg(position));
    hub.insert(QStringLiteral("description"), QStringLiteral("Generic USB Hub"));
    hub.insert(QStringLiteral("path"), BenchDevicePath(controller, position));
    hub.insert(QStringLiteral("uuid"), BenchUuid(controller, position));
    hub.insert(QStringLiteral("storageMode"), 4);
    return hub;
}

// A device that is not a hub; the tree shows its description.
inline QJsonObject BenchDevice(int controller, int position, int parent,
                               const QString& description = QStringLiteral("USB Input Device")) {
    QJsonObject device;
    device.insert(QStringLiteral("position"), position);
    device.insert(QStringLiteral("parent"), parent);
    device.insert(QStringLiteral("type"), QStringLiteral("device"));
    device.insert(
        QStringLiteral("instanceId"),
        QStringLiteral("USB\\VID_046D&PID_C31C\\7&%1&0&%2").arg(controller).arg(position));
    device.insert(QStringLiteral("description"), description);
    device.insert(QStringLiteral("path"), BenchDevicePath(controller, position));
    return device;
}

inline QJsonObject BenchController(int controller, const QJsonArray& devices,
                                   const QString& description = QString()) {
    QJsonObject object;
    object.insert(QStringLiteral("description"),
                  description.isEmpty() ? QStringLiteral("Test Host Controller %1").arg(controller)
                                        : description);
    object.insert(QStringLiteral("path"), BenchControllerPath(controller));
    object.insert(QStringLiteral("devices"), devices);
    return object;
}

// A timeline entry that removes the device at `path` after `atMs` of the first run.
inline QJsonObject BenchRemoval(int atMs, const QString& path) {
    QJsonObject entry;
    entry.insert(QStringLiteral("atMs"), atMs);
    entry.insert(QStringLiteral("remove"), path);
    return entry;
}

// The whole bench file. Short programming times keep runs quick.
inline QByteArray BenchJson(const QJsonArray& controllers, const QJsonArray& timeline = {},
                            int programmingMs = 5) {
    QJsonObject bench;
    bench.insert(QStringLiteral("programmingMs"), programmingMs);
    bench.insert(QStringLiteral("controllers"), controllers);
    bench.insert(QStringLiteral("timeline"), timeline);
    return QJsonDocument(bench).toJson();
}

} // namespace testsupport
