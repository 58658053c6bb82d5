// A CSheet on a recording window, with lookups by topology string, for engine tests. The sheet
// is created without being started: a test writes its bench (UseBench) and settings first and
// then calls Start(). The window outlives the sheet; the sheet is shut down as the window
// closes it (OnDestroy, then the destructor).
#pragma once

#include "app/sheet.h"
#include "hub/device_data.h"
#include "tests/support/recording_window.h"
#include "tests/support/sim_bench.h"
#include "topology/tcf_data.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <memory>

namespace testsupport {

class SheetFixture {
public:
    SheetFixture() {
        EnsureCoreApplication();
        sheet = std::make_unique<CSheet>(window);
    }
    ~SheetFixture() { Close(); }
    SheetFixture(const SheetFixture&) = delete;
    SheetFixture& operator=(const SheetFixture&) = delete;

    bool Start() { return sheet->OnInitDialog(); }

    // The window closes: shut-down as the program does it.
    void Close() {
        if (sheet != nullptr) {
            sheet->OnDestroy();
            sheet.reset();
        }
    }

    // The record of a position by its topology string (null when none).
    CDeviceData* Record(const QString& topology) const {
        for (const auto& controller : sheet->DeviceTable()) {
            for (CDeviceData* record : controller) {
                if (record != nullptr && record->GetInternalPortName() == topology) {
                    return record;
                }
            }
        }
        return nullptr;
    }

    // The tree item whose record has this topology string (null when none).
    TreeItem* Item(const QString& topology) const {
        for (TreeItem* item : sheet->GetTreeCtrl().AllItems()) {
            if (item->Record() != nullptr && item->Record()->GetInternalPortName() == topology) {
                return item;
            }
        }
        return nullptr;
    }

    // The topology node of a position (-1 when the store has none).
    static int Node(const QString& topology) { return CTCFData::Instance().GetTcfItem(topology); }

    // Texts of all tree items, depth first, each indented by two spaces per level.
    QStringList TreeLines() const {
        QStringList lines;
        for (const TreeItem* item : sheet->GetTreeCtrl().AllItems()) {
            int depth = 0;
            for (const TreeItem* p = item->Parent(); p != nullptr; p = p->Parent()) {
                ++depth;
            }
            lines.push_back(QString(depth * 2, u' ') + item->Text());
        }
        return lines;
    }

    RecordingWindow window;
    std::unique_ptr<CSheet> sheet;
};

// Whole-file helpers for topology files and the like.
inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace testsupport
