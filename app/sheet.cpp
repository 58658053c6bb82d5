#include "app/sheet.h"

#include "app/device_event.h"
#include "app/settings_store.h"
#include "app/window_registry.h"
#include "hub/device_data.h"
#include "log/logger.h"
#include "topology/tcf_data.h"

#include <QCoreApplication>
#include <QObject>

#include <deque>

namespace {

constexpr const char* kErrorLoadingLastTopology = "Error loading last saved topology";
constexpr const char* kEnumeratingCurrentTopology = "Enumeration current topology to configure";
constexpr const char* kNoCompatibleTopology = "No compatible last saved topology";
constexpr const char* kErrorLoadingModule = "Error Loading programmer module\n";
constexpr const char* kNoCreateDeviceTree = "Cannot get the address of CreateDeviceTreeUI function";
constexpr const char* kNoFinishedUsingDeviceTree =
    "Cannot get address of FinishedUsingDeviceTreeUI function";
constexpr const char* kStopProgrammingFirst = "Stop Programming before modifying the configuration";
constexpr const char* kSaveTopologyFirst = "Save the topology before Programming";
constexpr const char* kQuitQuestion =
    "Programmer thread is still running.\r\nClick Yes to Quit anyway";
constexpr const char* kQuitCaption = "Quit Tool?";

} // namespace

// Receives WM_DEVICE_EVENT for the sheet. Events are handled one at a time in posting order.
// A message box or file dialog runs a nested event loop in the middle of a sheet operation;
// events that arrive then, or while another event is being handled, wait in a queue of their
// own and are handled from the event loop once the operation is over, so no operation finds
// the tree rebuilt under it.
class SheetEventReceiver : public QObject {
public:
    explicit SheetEventReceiver(CSheet& sheet) : sheet_(sheet) {}

    static QEvent::Type DrainEventType() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }

    bool event(QEvent* e) override {
        if (e->type() == DeviceEventMessage::EventType()) {
            sheet_.DeliverDeviceEvent(*static_cast<DeviceEventMessage*>(e));
            return true;
        }
        if (e->type() == DrainEventType()) {
            sheet_.DrainDeviceEvents();
            return true;
        }
        return QObject::event(e);
    }

    void PostDrain() { QCoreApplication::postEvent(this, new QEvent(DrainEventType())); }

    CSheet& sheet_;
    bool delivering_ = false;
    bool closed_ = false; // the window was destroyed: events are only freed
    int modalDepth_ = 0;
    std::deque<std::unique_ptr<DeviceEventMessage>> pending_;
};

// Marks a message box or file dialog shown by the sheet.
class CSheet::ModalScope {
public:
    explicit ModalScope(SheetEventReceiver& receiver) : receiver_(receiver) {
        ++receiver_.modalDepth_;
    }
    ~ModalScope() {
        if (--receiver_.modalDepth_ == 0 && !receiver_.pending_.empty()) {
            receiver_.PostDrain();
        }
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    SheetEventReceiver& receiver_;
};

CSheet::CSheet(ISheetWindow& window) : window_(window) {
    CIndentWrite::Instance().SetVerbosity(CIndentWrite::kDefaultVerbosity);
    CLogger log("CSheet::CSheet");
    receiver_ = std::make_unique<SheetEventReceiver>(*this);
    windowregistry::Register(QString::fromLatin1(kCaption), receiver_.get());
}

CSheet::~CSheet() {
    CLogger log("CSheet::~CSheet");
    windowregistry::Unregister(receiver_.get());
    // Records go before the process-wide library link they might use.
    deviceTable.clear();
    selectedDevice = nullptr;
    DeleteTreeItems(treeControl.FirstRootItem());
}

void CSheet::DeliverDeviceEvent(DeviceEventMessage& message) {
    if (receiver_->closed_) {
        return; // the event frees its block as it goes
    }
    message.MarkHandled(); // from here on the block belongs to the handler (or the queue)
    receiver_->pending_.push_back(
        std::make_unique<DeviceEventMessage>(message.Data(), message.Code()));
    DrainDeviceEvents();
}

void CSheet::DrainDeviceEvents() {
    SheetEventReceiver& receiver = *receiver_;
    if (receiver.delivering_ || receiver.modalDepth_ > 0) {
        return; // handled once the running handler or the open box is done
    }
    receiver.delivering_ = true;
    while (!receiver.pending_.empty() && receiver.modalDepth_ == 0) {
        std::unique_ptr<DeviceEventMessage> next = std::move(receiver.pending_.front());
        receiver.pending_.pop_front();
        next->MarkHandled();
        DeviceEvent(next->Data(), next->Code());
    }
    receiver.delivering_ = false;
}

MessageAnswer CSheet::Ask(const MessageRequest& request) {
    ModalScope modal(*receiver_);
    return window_.ShowMessage(request);
}

QString CSheet::AskFile(const FileDialogRequest& request) {
    ModalScope modal(*receiver_);
    return window_.AskForFile(request);
}

bool CSheet::OnInitDialog() {
    CLogger log("CSheet::OnInitDialog");
    SetExecutionOption(true);
    ActivatePageNow(kConfigPage);

    QString remembered;
    if (!settingsstore::ReadDefaultTcf(remembered)) {
        AddStatus(QString::fromLatin1(kErrorLoadingLastTopology));
        AddStatus(QString::fromLatin1(kEnumeratingCurrentTopology));
    } else {
        CTCFData::Instance().ClearTopology();
        if (CTCFData::GetTopologyVersion(remembered) == QLatin1String(kVersion)) {
            if (CTCFData::Instance().LoadTopology(remembered)) {
                topologySaved = true;
                currentTopologyFile = remembered;
            } else {
                AddStatus(QString::fromLatin1(kErrorLoadingLastTopology));
                AddStatus(QString::fromLatin1(kEnumeratingCurrentTopology));
            }
        } else {
            AddStatus(QString::fromLatin1(kNoCompatibleTopology));
            AddStatus(QString::fromLatin1(kEnumeratingCurrentTopology));
        }
    }

    libraryModule = std::make_unique<LoadedLibrary>(QString::fromLatin1(hubabi::kLibraryName));
    if (!libraryModule->Load()) {
        log.Log(2, "%s", qUtf8Printable(libraryModule->ErrorString()));
        libraryModule.reset();
        MessageBox(QString::fromLatin1(kErrorLoadingModule));
        return false;
    }
    mainEntries_ = HubEntryPoints::Resolve(*libraryModule);
    if (mainEntries_.CreateDeviceTreeUI == nullptr ||
        mainEntries_.FinishedUsingDeviceTreeUI == nullptr) {
        startupFatalError_ = QString::fromLatin1(mainEntries_.CreateDeviceTreeUI == nullptr
                                                     ? kNoCreateDeviceTree
                                                     : kNoFinishedUsingDeviceTree);
        log.Log(2, "%s", qUtf8Printable(startupFatalError_));
        MessageBox(startupFatalError_, MessageIcon::Warning);
        return false;
    }

    if (!InitializeUsbTree()) {
        return false;
    }
    const bool result = EnumUSB();
    if (mainEntries_.RegisterNotificationCallback == nullptr) {
        return false;
    }
    mainEntries_.RegisterNotificationCallback(&DeviceStatusNotifier);
    return result;
}

void CSheet::OnDestroy() {
    CLogger log("CSheet::OnDestroy");
    SheetLock lock(sheetLock);
    windowregistry::Unregister(receiver_.get());
    receiver_->closed_ = true;
    receiver_->pending_.clear(); // unhandled events free their blocks
    deviceTable.clear();
    CDeviceData::FreeLibraryHandle();
    if (libraryModule != nullptr) {
        libraryModule->Unload();
        libraryModule.reset();
    }
    mainEntries_ = HubEntryPoints{};
    deviceTree = nullptr;
    DeleteTreeItems(treeControl.FirstRootItem());
}

void CSheet::MessageBox(const QString& text, MessageIcon icon) {
    MessageRequest request;
    request.text = text;
    request.caption = QString::fromLatin1(kCaption);
    request.icon = icon;
    Ask(request);
}

void CSheet::AddStatus(const QString& text) {
    if (activePage_ == kConfigPage || activePage_ == kProgrammerPage) {
        window_.AppendStatus(activePage_, text);
    }
}

void CSheet::InvalidateTree() {
    SheetLock lock(sheetLock);
    window_.InvalidateTree();
}

void CSheet::ActivatePageNow(int page) {
    activePage_ = page;
    treeControl.SetExecutionMode(page == kProgrammerPage
                                     ? TopologyTreeModel::kExecutionDrawing
                                     : TopologyTreeModel::kConfigurationDrawing);
    window_.EnableTopologyMenu(page != kProgrammerPage);
    window_.ActivatePage(page);
    InvalidateTree();
}

bool CSheet::RequestActivePage(int page) {
    pageBeforeChange = activePage_;
    if (page == activePage_) {
        return true;
    }
    if (pageBeforeChange == kProgrammerPage && GetProgrammerStatus()) {
        MessageBox(QString::fromLatin1(kStopProgrammingFirst), MessageIcon::Exclamation);
        return false;
    }
    if (page == kProgrammerPage && !topologySaved) {
        MessageBox(QString::fromLatin1(kSaveTopologyFirst), MessageIcon::Exclamation);
        return false;
    }
    ActivatePageNow(page);
    return true;
}

bool CSheet::ConfirmClose() {
    if (!GetProgrammerStatus()) {
        return true;
    }
    MessageRequest request;
    request.text = QString::fromLatin1(kQuitQuestion);
    request.caption = QString::fromLatin1(kQuitCaption);
    request.icon = MessageIcon::Question;
    request.buttons = MessageButtons::YesNo;
    return Ask(request) == MessageAnswer::Yes;
}

void CSheet::SetExecutionOption(bool once) {
    executeOnce_ = once;
    window_.ShowExecutionOption(once);
}
