// CSheet: the Topology menu (New, Load, Save) and the tree's notifications.
#include "app/settings_store.h"
#include "app/sheet.h"
#include "hub/device_data.h"
#include "log/logger.h"
#include "topology/tcf_data.h"

namespace {

constexpr const char* kLoadDialogTitle = "Load Tolopology Config File";
constexpr const char* kLoadFilterTopology = "Tolopoly Config (*.tcf)";
constexpr const char* kLoadFilterAll = "All Files (*.*)";
constexpr const char* kSaveFilterTopology = "TopologyConfig File (*.tcf)";
constexpr const char* kSaveDefaultName = "NewTopology";
constexpr const char* kTopologyExtension = "tcf";
constexpr const char* kIncompatibleFile = "TCF file is not compatible with current version of Tool";
constexpr const char* kErrorLoadingTopology =
    "Error loading topology\nEnumerating current Topology";
constexpr const char* kErrorUsingTopology = "Error using topology\nEnumerating New Topology";
constexpr const char* kClearedTopology = "Cleared existing topology information";
constexpr const char* kIncompleteNode =
    "Configuration Error\nPlease fill all required information of node ";

} // namespace

void CSheet::OnTopologyView() {
    CLogger log("CSheet::OnTopologyView");
    deviceTable.clear(); // its records go with the items; a message box may run events
    DeleteTreeItems(treeControl.FirstRootItem());
    CTCFData::Instance().ClearTopology();
    SheetLock lock(sheetLock);
    EnumUSB();
}

CSheet::LoadResult CSheet::OnTopologyLoad() {
    CLogger log("CSheet::OnTopologyLoad");
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Open;
    request.title = QString::fromLatin1(kLoadDialogTitle);
    request.filters = {QString::fromLatin1(kLoadFilterTopology),
                       QString::fromLatin1(kLoadFilterAll)};
    request.defaultExtension = QString::fromLatin1(kTopologyExtension);
    request.mustExist = true;
    const QString path = AskFile(request);
    if (path.isEmpty()) {
        return LoadResult::Cancelled;
    }
    return LoadTopologyFile(path);
}

CSheet::LoadResult CSheet::LoadTopologyFile(const QString& path) {
    CLogger log("CSheet::LoadTopologyFile");
    if (CTCFData::GetTopologyVersion(path) != QLatin1String(kVersion)) {
        MessageBox(QString::fromLatin1(kIncompatibleFile), MessageIcon::Information);
        return LoadResult::Incompatible;
    }
    deviceTable.clear(); // its records go with the items; a message box may run events
    DeleteTreeItems(treeControl.FirstRootItem());
    CTCFData::Instance().ClearTopology();
    const bool loaded = CTCFData::Instance().LoadTopology(path);
    if (loaded) {
        topologySaved = true;
        currentTopologyFile = path;
    } else {
        MessageBox(QString::fromLatin1(kErrorLoadingTopology), MessageIcon::Information);
    }
    AddStatus(QString::fromLatin1(kClearedTopology));
    SheetLock lock(sheetLock);
    EnumUSB();
    return loaded ? LoadResult::Loaded : LoadResult::LoadFailed;
}

CSheet::SaveResult CSheet::OnTopologySave() {
    CLogger log("CSheet::OnTopologySave");
    SheetLock lock(sheetLock);
    if (!CheckTopologyComplete()) {
        return SaveResult::Incomplete;
    }
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.filters = {QString::fromLatin1(kSaveFilterTopology)};
    request.defaultName = QString::fromLatin1(kSaveDefaultName);
    request.defaultExtension = QString::fromLatin1(kTopologyExtension);
    request.confirmOverwrite = true;
    const QString path = AskFile(request);
    if (path.isEmpty()) {
        return SaveResult::Cancelled;
    }
    return SaveTopologyFile(path);
}

bool CSheet::CheckTopologyComplete() {
    for (const auto& table : deviceTable) {
        for (CDeviceData* record : table) {
            if (record == nullptr || record->GetTCFIndex() < 0 ||
                record->GetDeviceType() != hubabi::kDeviceTypeHub) {
                continue;
            }
            if (!CTCFData::Instance().Item(record->GetTCFIndex()).configComplete) {
                MessageBox(QString::fromLatin1(kIncompleteNode) + record->GetPortName());
                return false;
            }
        }
    }
    return true;
}

CSheet::SaveResult CSheet::SaveTopologyFile(const QString& path) {
    CLogger log("CSheet::SaveTopologyFile");
    SheetLock lock(sheetLock);
    if (!CheckTopologyComplete()) {
        return SaveResult::Incomplete;
    }
    CTCFData& store = CTCFData::Instance();
    for (const auto& table : deviceTable) {
        for (CDeviceData* record : table) {
            if (record == nullptr || record->GetTCFIndex() < 0) {
                continue;
            }
            store.SetSaveStatus(record->GetTCFIndex());
            store.SetAsHubItem(record->GetTCFIndex(),
                               record->GetDeviceType() == hubabi::kDeviceTypeHub);
        }
    }
    TcfWriteError error;
    if (!store.SaveTopology(path, QString::fromLatin1(kVersion), &error)) {
        // Nothing was written: the topology stays in memory, unsaved, for another try.
        const QString message = error.Message(path);
        log.Log(2, "%s", qUtf8Printable(message));
        topologySaved = false;
        MessageBox(message, MessageIcon::Warning);
        return SaveResult::WriteFailed;
    }
    if (!settingsstore::WriteDefaultTcf(path)) {
        log.Log(2, "Cannot remember %s in the settings store", qUtf8Printable(path));
    }

    deviceTable.clear(); // its records go with the items; a message box may run events
    DeleteTreeItems(treeControl.FirstRootItem());
    store.ClearTopology();
    const bool reloaded = store.LoadTopology(path);
    if (reloaded) {
        topologySaved = true;
        currentTopologyFile = path;
    } else {
        MessageBox(QString::fromLatin1(kErrorUsingTopology), MessageIcon::Information);
        topologySaved = false;
        currentTopologyFile.clear();
    }
    AddStatus(QString::fromLatin1(kClearedTopology));
    EnumUSB();
    return reloaded ? SaveResult::Saved : SaveResult::ReloadFailed;
}

void CSheet::SelectTreeItem(TreeItem* item) {
    treeControl.SelectItem(item);
    OnTreeItemSelChanged();
}

int CSheet::OnTreeItemSelChanged() {
    CLogger log("CSheet::OnTreeItemSelChanged");
    SheetLock lock(sheetLock);
    TreeItem* item = treeControl.SelectedItem();
    if (item == nullptr) {
        return 1;
    }
    selectedDevice = item->Record();
    window_.UpdateCfgSettingUI();
    return 0;
}

int CSheet::OnNMDblclkVelmoraTree() {
    CLogger log("CSheet::OnNMDblclkVelmoraTree");
    SheetLock lock(sheetLock);
    TreeItem* item = treeControl.SelectedItem();
    if (item != nullptr &&
        treeControl.ExecutionMode() == TopologyTreeModel::kConfigurationDrawing) {
        treeControl.RequestLabelEdit(item);
        return 0;
    }
    return 1;
}

bool CSheet::OnTvnBeginlabeleditConfigTree() const {
    return treeControl.ExecutionMode() == TopologyTreeModel::kConfigurationDrawing;
}

int CSheet::OnTvnEndlabeleditConfigTree(TreeItem* editedItem, const QString& newText,
                                        bool cancelled) {
    CLogger log("CSheet::OnTvnEndlabeleditConfigTree");
    SheetLock lock(sheetLock);
    if (cancelled || newText.isEmpty()) {
        return 0;
    }
    TreeItem* item = editedItem != nullptr ? editedItem : treeControl.SelectedItem();
    if (item == nullptr) {
        return 0;
    }
    treeControl.SetItemText(item, newText);
    if (CDeviceData* record = item->Record()) {
        record->SetPortName(newText);
        record->StoreTopologyLabel();
    }
    return 0;
}

QString CSheet::GetCurrentTopologyFile() {
    CLogger log("CSheet::GetCurrentTopologyFile");
    return currentTopologyFile;
}
