// CSheet: the main window's state and logic, without any widget. Both programs (the Qt window
// and the headless runner) drive it; it talks to its window only through ISheetWindow.
#pragma once

#include "app/sheet_window.h"
#include "app/topology_tree_model.h"
#include "control/serial_handouts.h"
#include "hub/hub_abi.h"
#include "hub/hub_library.h"
#include "hub/library_loader.h"
#include "hub/parser_abi.h"

#include <QString>

#include <memory>
#include <mutex>
#include <vector>

class CDeviceData;
class DeviceEventMessage;
class SheetEventReceiver;

// What a programming run came to, as far as the sheet saw it (the runner's exit code).
struct RunRecord {
    bool started = false;        // the manager accepted StartProgrammerManager
    bool ended = false;          // the end-of-run event was handled
    int endResult = -1;          // its integer (0 all succeeded, 1 nothing to do, 2 some failed)
    int hubSuccesses = 0;        // final success reports (3, 5, 7)
    int hubFailures = 0;         // final failure reports
    int preparationFailures = 0; // hubs that could not be prepared (START or arrival)
};

class CSheet {
public:
    static constexpr const char* kCaption = "Kelvane Tessaro KDX Hub Tool";
    static constexpr const char* kVersion = "2.0"; // topology file version this tool reads

    enum class LoadResult { Loaded, Cancelled, Incompatible, LoadFailed };
    enum class SaveResult { Saved, Cancelled, Incomplete, WriteFailed, ReloadFailed };

    explicit CSheet(ISheetWindow& window);
    virtual ~CSheet();
    CSheet(const CSheet&) = delete;
    CSheet& operator=(const CSheet&) = delete;

    // Start-up: remembered topology, library, first enumeration, callback. False when a step
    // failed (the window stays open); StartupFatalError() is set when the program must end.
    bool OnInitDialog();
    QString StartupFatalError() const { return startupFatalError_; }
    // Shut-down: records, library handles, tree items.
    void OnDestroy();

    // Window rules.
    int ActivePage() const { return activePage_; }
    bool RequestActivePage(int page); // a tab change: refused during a run or while unsaved
    bool ConfirmClose();              // the close command: asks only while a run is active
    void AddStatus(const QString& text);
    // Message boxes and file dialogs, for the sheet and its pages: device events that arrive
    // while one is open are handled after the operation that opened it.
    MessageAnswer Ask(const MessageRequest& request);
    QString AskFile(const FileDialogRequest& request);
    void InvalidateTree();
    TopologyTreeModel& GetTreeCtrl() { return treeControl; }
    bool IsExecuteOnce() const { return executeOnce_; }
    void SetExecutionOption(bool once); // the marks and radio buttons, nothing else

    // Enumeration.
    bool EnumUSB(const QString& devicePath = QString(), bool prepare = false);
    TreeItem* AddTreeItem(TreeItem* parent, const QString& text,
                          std::unique_ptr<CDeviceData> record);
    QString GetTopologyString(const TreeItem* item);
    void DeleteTreeItems(TreeItem* item);
    // Position of a library device path; false when the tree has no such device.
    bool GetNodeIndexFromDevicePath(const QString& devicePath, int& controller, int& position);
    bool InitializeUsbTree();

    // Topology commands and tree notifications.
    void OnTopologyView();
    LoadResult OnTopologyLoad();
    LoadResult LoadTopologyFile(const QString& path);
    SaveResult OnTopologySave();
    SaveResult SaveTopologyFile(const QString& path);
    void SelectTreeItem(TreeItem* item); // the window's selection, then OnTreeItemSelChanged
    int OnTreeItemSelChanged();
    void OnTvnSelchangingConfigTree() {}
    int OnNMDblclkVelmoraTree();
    bool OnTvnBeginlabeleditConfigTree() const; // true: the edit may begin
    int OnTvnEndlabeleditConfigTree(TreeItem* editedItem, const QString& newText, bool cancelled);
    QString GetCurrentTopologyFile();

    // Programming.
    bool GetProgrammerStatus();
    bool StartProgramming();
    bool StopProgramming();
    bool PrepareProgramming(const QString& devicePath = QString());
    void OnProgramoptionsProgramonce();
    void OnProgramoptionsAutomatedprogram();
    const RunRecord& LastRun() const { return lastRun_; }

    // Device events (WM_DEVICE_EVENT) and status.
    int DeviceEvent(void* data, int32_t eventCode);
    void UpdateHubStatus(int32_t eventCode, void* data);

    // OTP dump.
    void DumpAllOTP();
    bool DumpDeviceOTP(int controller, int device);

    // State shared with the pages.
    bool IsTopologySaved() const { return topologySaved; }
    void SetTopologySaved(bool saved) { topologySaved = saved; }
    CDeviceData* SelectedDevice() const { return selectedDevice; }
    const std::vector<std::vector<CDeviceData*>>& DeviceTable() const { return deviceTable; }
    const SerialHandouts& Handouts() const { return handouts_; }

private:
    using SheetLock = std::lock_guard<std::recursive_mutex>;

    enum class PrepareReport { StatusBox, MessageBox };

    void ActivatePageNow(int page);
    void ChooseExecutionOptionFromMenu(bool once);
    void MessageBox(const QString& text, MessageIcon icon = MessageIcon::None);
    bool CheckTopologyComplete();
    void ForgetDeletedSelection();
    bool PrepareHub(CDeviceData& record, int mode, CreateParserFn createParser,
                    PrepareReport report);
    bool HandOutSerial(CDeviceData& record);
    void GiveBackSerial(const QString& devicePath);
    void GiveBackPreparationSerials();
    bool PersistSerialCounters(QString* problem);
    CDeviceData* RecordAt(int controller, int position) const;
    QString DevicePathOf(const CDeviceData& record);
    void DeliverDeviceEvent(DeviceEventMessage& message);
    void DrainDeviceEvents();
    class ModalScope;

    friend class SheetEventReceiver;

    ISheetWindow& window_;

public:
    // The members other parts of the program read and write, named as the team knows them.
    QString currentTopologyFile;
    std::recursive_mutex sheetLock;
    bool topologySaved = false;
    int pageBeforeChange = kConfigPage;
    std::unique_ptr<LoadedLibrary> libraryModule;
    hubabi::IDeviceTree* deviceTree = nullptr;
    TopologyTreeModel treeControl;
    std::vector<std::vector<CDeviceData*>> deviceTable;
    CDeviceData* selectedDevice = nullptr;

private:
    HubEntryPoints mainEntries_; // the exports as this window resolved them
    int activePage_ = kConfigPage;
    bool executeOnce_ = true;
    QString startupFatalError_;
    SerialHandouts handouts_;
    RunRecord lastRun_;
    std::unique_ptr<SheetEventReceiver> receiver_;
    std::unique_ptr<LoadedLibrary> otpDumpLibrary_;
    std::vector<QString> preparationHandouts_; // devices handed a serial by this preparation
};
