// Builds bench files for the simulated hub library in tests and benchmarks: controllers with
// boards behind them and a timeline of boards leaving and arriving. Every board gets a device
// path, instance ID and UUID of its own, derived from (controller, position, board number), so
// boards swapped at one position are different boards to the library.
#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <vector>

namespace testsupport {

struct SimBoard {
    int controller = 0;
    int position = 1;
    int parent = 0;
    bool hub = true;
    QString pid = QStringLiteral("7510"); // VID 5A17: 7510 names a Fennel, 7111 an Aster
    int board = 0;                        // tells apart boards that share a position
    QString fault = QStringLiteral("none");
    QString uuid;      // 32 hex digits; empty: derived from controller, position and board
    QString path;      // the device path; empty: derived likewise
    QJsonObject extra; // further fields (programmingMs, otpWrites, otpSize, spiSize, ...)

    QString Tag() const {
        return QStringLiteral("C%1P%2B%3").arg(controller).arg(position).arg(board);
    }
    QString InstanceId() const {
        return QStringLiteral("USB\\VID_5A17&PID_%1\\%2").arg(pid, Tag());
    }
    QString Path() const {
        if (!path.isEmpty()) {
            return path;
        }
        return QStringLiteral(
                   "\\\\?\\USB#VID_5A17&PID_%1#%2#{f18a0e88-c30c-11d0-8815-00a0c906bed8}")
            .arg(pid, Tag());
    }
    QString Uuid() const {
        if (!uuid.isEmpty()) {
            return uuid;
        }
        return QStringLiteral("54455354%1%2%3")
            .arg(controller, 4, 16, QLatin1Char('0'))
            .arg(position, 8, 16, QLatin1Char('0'))
            .arg(board, 12, 16, QLatin1Char('0'))
            .toUpper();
    }

    QJsonObject ToJson(bool withController) const {
        QJsonObject o = extra;
        if (withController) {
            o.insert(QStringLiteral("controller"), controller);
        }
        o.insert(QStringLiteral("position"), position);
        o.insert(QStringLiteral("parent"), parent);
        o.insert(QStringLiteral("type"), hub ? QStringLiteral("hub") : QStringLiteral("device"));
        o.insert(QStringLiteral("instanceId"), InstanceId());
        o.insert(QStringLiteral("description"),
                 hub ? QStringLiteral("Generic USB Hub") : QStringLiteral("USB Input Device"));
        o.insert(QStringLiteral("path"), Path());
        o.insert(QStringLiteral("uuid"), Uuid());
        if (hub) {
            o.insert(QStringLiteral("storageMode"), 4);
            o.insert(QStringLiteral("fault"), fault);
        }
        return o;
    }
};

class SimBenchJson {
public:
    explicit SimBenchJson(int controllers = 1, int programmingMs = 5) : controllers_(controllers) {
        root_.insert(QStringLiteral("programmingMs"), programmingMs);
    }

    // A bench-wide value (programmingMs, otpWrites, otpSize, spiSize).
    SimBenchJson& Set(const QString& key, int value) {
        root_.insert(key, value);
        return *this;
    }
    SimBenchJson& Add(const SimBoard& board) {
        boards_.push_back(board);
        return *this;
    }
    SimBenchJson& RemoveAt(int atMs, const SimBoard& board) {
        QJsonObject entry;
        entry.insert(QStringLiteral("atMs"), atMs);
        entry.insert(QStringLiteral("remove"), board.Path());
        timeline_.append(entry);
        return *this;
    }
    SimBenchJson& ArriveAt(int atMs, const SimBoard& board) {
        QJsonObject entry;
        entry.insert(QStringLiteral("atMs"), atMs);
        entry.insert(QStringLiteral("arrive"), board.ToJson(true));
        timeline_.append(entry);
        return *this;
    }

    QByteArray ToJson() const {
        QJsonArray controllers;
        for (int c = 0; c < controllers_; ++c) {
            QJsonArray devices;
            for (const SimBoard& board : boards_) {
                if (board.controller == c) {
                    devices.append(board.ToJson(false));
                }
            }
            QJsonObject controller;
            controller.insert(QStringLiteral("description"),
                              QStringLiteral("Test Host Controller %1").arg(c));
            controller.insert(QStringLiteral("path"),
                              QStringLiteral("\\\\?\\PCI#TEST_CONTROLLER#%1").arg(c));
            controller.insert(QStringLiteral("devices"), devices);
            controllers.append(controller);
        }
        QJsonObject root = root_;
        root.insert(QStringLiteral("controllers"), controllers);
        root.insert(QStringLiteral("timeline"), timeline_);
        return QJsonDocument(root).toJson(QJsonDocument::Compact);
    }

private:
    int controllers_;
    QJsonObject root_;
    std::vector<SimBoard> boards_;
    QJsonArray timeline_;
};

} // namespace testsupport
