// CSheet: the USB tree walk and the tree operations around it.
#include "app/sheet.h"
#include "hub/device_data.h"
#include "hub/utf16_text.h"
#include "log/logger.h"
#include "topology/tcf_data.h"

namespace {

constexpr const char* kRootItemText = "My Computer";
constexpr const char* kTopologyChanged = "Topoloy changed @ %1";
constexpr const char* kDevicePrepared = "%1 : Device Prepared for operation";
constexpr const char* kErrorPreparingDevice = "%1 : Error Preparing Device";
constexpr const char* kLoadLibraryFailed = "LoadLibrary Failed";
constexpr const char* kLoadLibrarySucceeded = "Loadlibrary %1 succeeded";
constexpr const char* kRecordsWithoutEntryPoints =
    "Cannot get the address of CreateDeviceTreeUI function";
constexpr const char* kRecordsWithoutFinishedUsing =
    "Cannot get address of FinishedUsingDeviceTreeUI function";

// Binds a new record to its topology node the way the page in front wants it.
void MatchRecord(CDeviceData& record, int deviceType, int executionMode) {
    if (executionMode == TopologyTreeModel::kConfigurationDrawing) {
        record.ValidateAndModifyDeviceData(deviceType);
    } else {
        record.ValidateAndSetDeviceData(deviceType);
    }
}

// Why the device records cannot reach the library they hold, or empty when they can.
QString RecordEntryPointProblem() {
    if (hublibrary::Handle() == nullptr) {
        return QString();
    }
    if (hublibrary::Entries().CreateDeviceTreeUI == nullptr) {
        return QString::fromLatin1(kRecordsWithoutEntryPoints);
    }
    if (hublibrary::Entries().FinishedUsingDeviceTreeUI == nullptr) {
        return QString::fromLatin1(kRecordsWithoutFinishedUsing);
    }
    return QString();
}

} // namespace

bool CSheet::EnumUSB(const QString& devicePath, bool prepare) {
    CLogger log("CSheet::EnumUSB");
    SheetLock lock(sheetLock);

    if (mainEntries_.FinishedUsingDeviceTreeUI != nullptr) {
        mainEntries_.FinishedUsingDeviceTreeUI();
    }
    deviceTree = nullptr;

    treeControl.BeginBatch();
    deviceTable.clear();
    DeleteTreeItems(treeControl.FirstRootItem());
    while (treeControl.FirstRootItem() != nullptr) {
        treeControl.DeleteItem(treeControl.FirstRootItem());
    }
    log.Log(2, "Cleared existing USB information");

    TreeItem* root = AddTreeItem(nullptr, QString::fromLatin1(kRootItemText), nullptr);
    const QString recordProblem = RecordEntryPointProblem();
    if (mainEntries_.CreateDeviceTreeUI != nullptr && !recordProblem.isEmpty()) {
        log.Log(2, "%s", qUtf8Printable(recordProblem));
        AddStatus(recordProblem);
    }
    deviceTree = mainEntries_.CreateDeviceTreeUI != nullptr && recordProblem.isEmpty()
                     ? mainEntries_.CreateDeviceTreeUI()
                     : nullptr;
    const int controllers = deviceTree != nullptr ? deviceTree->GetControllerCount() : 0;
    const int mode = treeControl.ExecutionMode();

    for (int i = 0; i < controllers; ++i) {
        const int positions = std::max(deviceTree->GetDeviceCount(i), 1);
        deviceTable.emplace_back();
        std::vector<CDeviceData*>& table = deviceTable.back();
        table.reserve(static_cast<std::size_t>(positions));
        std::vector<TreeItem*> items(static_cast<std::size_t>(positions), nullptr);
        std::vector<int> nextPort(static_cast<std::size_t>(positions), 1);

        auto controller = std::make_unique<CDeviceData>(i, 0, QStringLiteral("1-%1").arg(i + 1));
        MatchRecord(*controller, hubabi::kDeviceTypeController, mode);
        table.push_back(controller.get());
        const QString controllerName = controller->GetPortName();
        items[0] = AddTreeItem(root, controllerName, std::move(controller));

        for (int j = 1; j < positions; ++j) {
            hubabi::IDeviceNode* node = deviceTree->GetDevice(i, j);
            if (node == nullptr) {
                table.push_back(nullptr); // keeps the table aligned with the positions
                continue;
            }
            const int parent = node->GetParentIndex();
            if (parent < 0 || parent >= j || items[static_cast<std::size_t>(parent)] == nullptr) {
                log.Log(2, "Position %d of controller %d names parent %d, which has no item", j, i,
                        parent);
                node->Release(1);
                table.push_back(nullptr);
                continue;
            }
            const auto p = static_cast<std::size_t>(parent);
            const int port = nextPort[p]++;
            const QString topology = GetTopologyString(items[p]) + QStringLiteral("-%1").arg(port);
            const int deviceType = node->GetType();
            auto record = std::make_unique<CDeviceData>(i, j, topology);
            MatchRecord(*record, deviceType, mode);
            CDeviceData* recordPtr = record.get();
            const QString name = record->GetPortName();
            items[static_cast<std::size_t>(j)] = AddTreeItem(items[p], name, std::move(record));
            table.push_back(recordPtr);
            if (deviceType == hubabi::kDeviceTypeHub) {
                treeControl.Expand(items[p]);
                if (mode == TopologyTreeModel::kConfigurationDrawing &&
                    recordPtr->GetTopoLogy() == kTopologyNew) {
                    topologySaved = false;
                    AddStatus(QString::fromLatin1(kTopologyChanged).arg(topology));
                }
            }
            node->Release(1);
        }
        treeControl.Expand(root);
    }
    treeControl.EndBatch();
    ForgetDeletedSelection();

    if (prepare && GetProgrammerStatus() && !executeOnce_) {
        const bool prepared = PrepareProgramming(devicePath);
        const QString outcome =
            QString::fromLatin1(prepared ? kDevicePrepared : kErrorPreparingDevice).arg(devicePath);
        log.LogText(2, outcome.toStdString());
        AddStatus(outcome);
        if (!prepared) {
            ++lastRun_.preparationFailures;
        }
    }
    return true;
}

TreeItem* CSheet::AddTreeItem(TreeItem* parent, const QString& text,
                              std::unique_ptr<CDeviceData> record) {
    CLogger log("CSheet::AddTreeItem");
    SheetLock lock(sheetLock);
    return treeControl.InsertItem(parent, text, std::move(record));
}

QString CSheet::GetTopologyString(const TreeItem* item) {
    CLogger log("CSheet::GetTopologyString");
    SheetLock lock(sheetLock);
    if (item == nullptr || item->Record() == nullptr) {
        return QString();
    }
    return item->Record()->GetInternalPortName();
}

void CSheet::DeleteTreeItems(TreeItem* item) {
    CLogger log("CSheet::DeleteTreeItems");
    SheetLock lock(sheetLock);
    // The item, its subtree and every sibling after it; the items own their records.
    while (item != nullptr) {
        TreeItem* next = treeControl.NextSibling(item);
        treeControl.DeleteItem(item);
        item = next;
    }
    ForgetDeletedSelection();
}

void CSheet::ForgetDeletedSelection() {
    if (selectedDevice == nullptr) {
        return;
    }
    for (const TreeItem* item : treeControl.AllItems()) {
        if (item->Record() == selectedDevice) {
            return;
        }
    }
    // The record went with its item: the configuration page must not keep using it.
    selectedDevice = nullptr;
    window_.UpdateCfgSettingUI();
}

bool CSheet::GetNodeIndexFromDevicePath(const QString& devicePath, int& controller, int& position) {
    CLogger log("CSheet::GetNodeIndexFromDevicePath");
    SheetLock lock(sheetLock);
    controller = 0;
    position = 0;
    if (libraryModule == nullptr) {
        return false;
    }
    // The library's own index answers in constant time; the walk below is the fallback.
    if (mainEntries_.GetDeviceIndicesUI != nullptr) {
        int32_t c = 0;
        int32_t d = 0;
        if (mainEntries_.GetDeviceIndicesUI(Utf16(devicePath), &c, &d) == 1) {
            controller = c;
            position = d;
            return true;
        }
    }
    if (mainEntries_.CreateDeviceTreeUI == nullptr) {
        return false;
    }
    deviceTree = mainEntries_.CreateDeviceTreeUI();
    if (deviceTree == nullptr) {
        return false;
    }
    for (int i = 0; i < deviceTree->GetControllerCount(); ++i) {
        for (int j = 0; j < deviceTree->GetDeviceCount(i); ++j) {
            hubabi::IDeviceNode* node = deviceTree->GetDevice(i, j);
            if (node == nullptr) {
                continue;
            }
            const char16_t* path = node->GetDevicePath();
            const bool same =
                path != nullptr && FromUtf16(path).compare(devicePath, Qt::CaseInsensitive) == 0;
            node->Release(1);
            if (same) {
                controller = i;
                position = j;
                return true;
            }
        }
    }
    return false;
}

bool CSheet::InitializeUsbTree() {
    CLogger log("CSheet::InitializeUsbTree");
    if (libraryModule == nullptr) {
        auto library = std::make_unique<LoadedLibrary>(QString::fromLatin1(hubabi::kLibraryName));
        if (!library->Load()) {
            MessageBox(QString::fromLatin1(kLoadLibraryFailed));
            return false;
        }
        AddStatus(QString::fromLatin1(kLoadLibrarySucceeded)
                      .arg(QString::fromLatin1(hubabi::kLibraryName)));
        libraryModule = std::move(library);
        mainEntries_ = HubEntryPoints::Resolve(*libraryModule);
    }
    return CDeviceData::SetLibraryHandle();
}

CDeviceData* CSheet::RecordAt(int controller, int position) const {
    if (controller < 0 || position < 0 ||
        static_cast<std::size_t>(controller) >= deviceTable.size()) {
        return nullptr;
    }
    const auto& table = deviceTable[static_cast<std::size_t>(controller)];
    return static_cast<std::size_t>(position) < table.size()
               ? table[static_cast<std::size_t>(position)]
               : nullptr;
}
