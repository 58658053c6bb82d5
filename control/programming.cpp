// CSheet: preparing the hubs and running the library's programmer manager.
#include "app/sheet.h"
#include "hub/device_data.h"
#include "hub/parser_abi.h"
#include "hub/utf16_text.h"
#include "log/logger.h"
#include "topology/serial_scheme.h"
#include "topology/tcf_data.h"

namespace {

constexpr const char* kCouldNotStart = "Programming could not be started";
constexpr const char* kStarted = "Started programming";
constexpr const char* kCannotStart = "Cannot start programming";
constexpr const char* kSaveTopologyFirst = "Save the topology before Programming";
constexpr const char* kParserNotLoaded =
    "Failed Loading ConfigParser DLL in SetConfigBlock in CDeviceData";
constexpr const char* kParserEntryMissing =
    "Failed GetProcAddress for CreateParser in ConfigParser DLL from CDeviceData::SetConfigBlock";
constexpr const char* kSerialError = "%1 : Error Serial Generation : %2";
constexpr const char* kCurrentSerial = "%1 : Current Serial Number : %2";
constexpr const char* kFirmwareError = "%1 : ERROR Setting firmware image";
constexpr const char* kBlockError = "%1 : Error setting configuration block";
constexpr const char* kBlockErrorSingle =
    "%1 : Error setting configuration block : ERROR_CODE - %2";
constexpr const char* kSerialNotSaved = "%1 : Serial number not handed out: %2";
constexpr const char* kSerialGiveBackNotSaved = "Serial counter of %1 not saved: %2";

bool IsSchemeSerial(int serialType) {
    return serialType == kSerialSchemeHex || serialType == kSerialSchemeDec;
}

} // namespace

bool CSheet::GetProgrammerStatus() {
    CLogger log("CSheet::GetProgrammerStatus");
    if (libraryModule == nullptr || mainEntries_.IsProgrammerManagerRunning == nullptr) {
        return false;
    }
    return mainEntries_.IsProgrammerManagerRunning() != 0;
}

bool CSheet::StartProgramming() {
    CLogger log("CSheet::StartProgramming");
    const bool once = executeOnce_;
    if (libraryModule == nullptr || mainEntries_.IsProgrammerManagerRunning == nullptr) {
        return false;
    }
    if (mainEntries_.IsProgrammerManagerRunning() != 0) {
        AddStatus(QString::fromLatin1(kCouldNotStart));
        return false;
    }
    lastRun_ = RunRecord{};
    preparationHandouts_.clear();
    if (!PrepareProgramming()) {
        ++lastRun_.preparationFailures;
        GiveBackPreparationSerials();
        return false;
    }
    log.Log(2, "Calling StartProgramming after prepare programming");
    const int32_t result = mainEntries_.StartProgrammerManager != nullptr
                               ? mainEntries_.StartProgrammerManager(once ? 1 : 0)
                               : -1;
    log.Log(2, "Returned after calling StartProgramming");
    if (result != 0) {
        // The numbers handed out were never used.
        GiveBackPreparationSerials();
    }
    preparationHandouts_.clear();
    lastRun_.started = result == 0;
    AddStatus(QString::fromLatin1(result == 0 ? kStarted : kCannotStart));
    return result == 0;
}

bool CSheet::StopProgramming() {
    CLogger log("CSheet::StopProgramming");
    if (libraryModule == nullptr || mainEntries_.StopProgrammerManager == nullptr) {
        return false;
    }
    return mainEntries_.StopProgrammerManager() == 0;
}

bool CSheet::PrepareProgramming(const QString& devicePath) {
    CLogger log("CSheet::PrepareProgramming");
    SheetLock lock(sheetLock);
    LoadedLibrary parserLibrary(QString::fromLatin1(hubabi::kParserLibraryName));
    if (!parserLibrary.Load()) {
        log.Log(2, "%s", qUtf8Printable(parserLibrary.ErrorString()));
        MessageBox(QString::fromLatin1(kParserNotLoaded));
        return false;
    }
    const auto createParser = parserLibrary.Resolve<CreateParserFn>("CreateParser");
    if (createParser == nullptr) {
        MessageBox(QString::fromLatin1(kParserEntryMissing));
        parserLibrary.Unload();
        return false;
    }

    bool ok = true;
    int32_t controller = 0;
    int32_t device = 0;
    const bool single =
        !devicePath.isEmpty() && mainEntries_.GetDeviceIndicesUI != nullptr &&
        mainEntries_.GetDeviceIndicesUI(Utf16(devicePath), &controller, &device) == 1;
    if (!devicePath.isEmpty() && !single) {
        // The arrived device is gone again. Preparing every hub instead would have the running
        // manager program boards again that this run already finished, burning OTP writes and
        // serial numbers.
        log.Log(2, "%s is not attached; nothing prepared", qUtf8Printable(devicePath));
        ok = false;
    } else if (single) {
        CDeviceData* record = RecordAt(controller, device);
        if (record == nullptr) {
            log.Log(2, "controller id %d, device id %d : list controller %d", controller, device,
                    static_cast<int>(deviceTable.size()));
            ok = false;
        } else {
            const int mode = record->GetStorageMode();
            const int deviceType = record->GetDeviceType();
            if (deviceType != hubabi::kDeviceTypeHub || mode == kMemoryNone) {
                log.Log(2, "Debug LOG: i = %u, j = %u, DevType = %d, sMode = %d",
                        static_cast<unsigned>(controller), static_cast<unsigned>(device),
                        deviceType, mode);
            } else {
                log.Log(2, "Setting Config Block for device %s",
                        qUtf8Printable(record->GetInternalPortName()));
                ok = PrepareHub(*record, mode, createParser, PrepareReport::StatusBox);
            }
        }
    } else {
        log.Log(2, "Begin : Preparing Devices");
        for (const auto& table : deviceTable) {
            for (CDeviceData* record : table) {
                if (record == nullptr || record->GetDeviceType() != hubabi::kDeviceTypeHub) {
                    continue;
                }
                const int mode = record->GetStorageMode();
                if (mode == kMemoryNone) {
                    continue;
                }
                log.Log(2, "%s : Setting Config Block",
                        qUtf8Printable(record->GetInternalPortName()));
                if (!PrepareHub(*record, mode, createParser, PrepareReport::MessageBox)) {
                    parserLibrary.Unload();
                    return false;
                }
            }
        }
        log.Log(2, "End : Preparing Devices");
    }
    parserLibrary.Unload();
    return ok;
}

bool CSheet::PrepareHub(CDeviceData& record, int mode, CreateParserFn createParser,
                        PrepareReport report) {
    CLogger log("CSheet::PrepareHub");
    const QString port = record.GetInternalPortName();
    if (mode == kMemorySpiCopyFromOtp || mode == kMemorySpi) {
        const QString instanceId = record.GetDeviceInstanceID();
        log.Log(2, "%s : Setting Firmware Image", qUtf8Printable(instanceId));
        const int error = record.SetSPIFwImage();
        if (error != 0) {
            const QString text = QString::fromLatin1(kFirmwareError).arg(instanceId);
            window_.AppendStatus(kProgrammerPage, text);
            log.Log(2, "%s: ERRORCODE - %d", qUtf8Printable(text), error);
            return false;
        }
        return true;
    }
    if (mode != kMemorySpiPartialCfg && mode != kMemoryOtp) {
        log.Log(2, "%s : storage mode %d takes nothing", qUtf8Printable(port), mode);
        return true;
    }

    const int node = record.GetTCFIndex();
    CTCFData& store = CTCFData::Instance();
    const int serialType = node >= 0 ? store.GetSerialType(node) : kSerialNone;
    const bool needsSerial =
        node >= 0 && store.GetProgramRequiredOption(node) && serialType != kSerialNone;
    QString serial;
    if (needsSerial) {
        int code = SERIAL_OK;
        if (serialType == kSerialCopyUuid) {
            serial = record.GetSerialFromUUID();
        } else if (IsSchemeSerial(serialType)) {
            code = record.ValidateSerial();
            if (code == SERIAL_OK) {
                code = record.GetSerialString(serial);
            }
        }
        if (code != SERIAL_OK) {
            const QString text = QString::fromLatin1(kSerialError)
                                     .arg(port, QString::fromLatin1(SerialErrorText[code]));
            log.LogText(2, text.toStdString());
            // Before the message box: its event loop may handle a device event that builds
            // the records again, and `record` with them.
            record.SetProgramRequired();
            record.SetValidationMethod(hubabi::kValidateNone);
            if (report == PrepareReport::StatusBox) {
                window_.AppendStatus(kProgrammerPage, text);
            } else {
                MessageBox(text);
            }
            return false;
        }
        const QString text = QString::fromLatin1(kCurrentSerial).arg(port, serial);
        window_.AppendStatus(kProgrammerPage, text);
        log.LogText(2, text.toStdString());
        if (IsSchemeSerial(serialType) && !HandOutSerial(record)) {
            return false;
        }
    }
    log.Log(2, "Serial string is %s", qUtf8Printable(serial));
    const int error = record.SetConfigBlock(createParser, serial);
    if (error != 0) {
        if (needsSerial && IsSchemeSerial(serialType)) {
            GiveBackSerial(DevicePathOf(record));
        }
        if (report == PrepareReport::StatusBox) {
            const QString text = QString::fromLatin1(kBlockErrorSingle).arg(port).arg(error);
            log.LogText(2, text.toStdString());
            window_.AppendStatus(kProgrammerPage, text);
        } else {
            const QString text = QString::fromLatin1(kBlockError).arg(port);
            window_.AppendStatus(kProgrammerPage, text);
            log.Log(2, "%s: ERRORCODE - %d", qUtf8Printable(text), error);
        }
        return false;
    }
    return true;
}

QString CSheet::DevicePathOf(const CDeviceData& record) {
    hubabi::IDeviceTree* tree = hublibrary::FetchDeviceTree();
    if (tree == nullptr) {
        return QString();
    }
    hubabi::IDeviceNode* node = tree->GetDevice(record.Controller(), record.Device());
    if (node == nullptr) {
        return QString();
    }
    const QString path = FromUtf16(node->GetDevicePath());
    node->Release(1);
    return path;
}

bool CSheet::PersistSerialCounters(QString* problem) {
    if (currentTopologyFile.isEmpty()) {
        if (problem != nullptr) {
            *problem = QStringLiteral("no topology file is in use");
        }
        return false;
    }
    TcfWriteError error;
    if (!CTCFData::Instance().SaveSerialCurrent(currentTopologyFile, &error)) {
        if (problem != nullptr) {
            *problem = error.Message(currentTopologyFile);
        }
        return false;
    }
    return true;
}

bool CSheet::HandOutSerial(CDeviceData& record) {
    CLogger log("CSheet::HandOutSerial");
    TcfItem& node = CTCFData::Instance().Item(record.GetTCFIndex());
    const QString devicePath = DevicePathOf(record);
    SerialHandout handout;
    handout.topology = node.topology;
    handout.servedValue = node.serialCurrent;
    record.AdvanceSerial();
    handout.valueAfter = node.serialCurrent;
    QString problem;
    if (devicePath.isEmpty() || !PersistSerialCounters(&problem)) {
        // Without the advanced counter on disk the number could be handed out twice.
        node.serialCurrent = handout.servedValue;
        if (problem.isEmpty()) {
            problem = QStringLiteral("the device has no path");
        }
        const QString text =
            QString::fromLatin1(kSerialNotSaved).arg(record.GetInternalPortName(), problem);
        log.LogText(2, text.toStdString());
        window_.AppendStatus(kProgrammerPage, text);
        return false;
    }
    handouts_.Record(devicePath, handout);
    preparationHandouts_.push_back(devicePath);
    log.Log(2, "%s : serial %s handed out, counter now %s",
            qUtf8Printable(record.GetInternalPortName()), qUtf8Printable(handout.servedValue),
            qUtf8Printable(handout.valueAfter));
    return true;
}

void CSheet::GiveBackSerial(const QString& devicePath) {
    CLogger log("CSheet::GiveBackSerial");
    const std::optional<SerialHandout> handout = handouts_.Take(devicePath);
    if (!handout) {
        return;
    }
    CTCFData& store = CTCFData::Instance();
    const int node = store.GetTcfItem(handout->topology);
    if (node < 0 || store.Item(node).serialCurrent != handout->valueAfter) {
        // A later number was handed out meanwhile: this one is skipped, never reused.
        log.Log(2, "%s : serial %s is not given back", qUtf8Printable(handout->topology),
                qUtf8Printable(handout->servedValue));
        return;
    }
    store.Item(node).serialCurrent = handout->servedValue;
    QString problem;
    if (!PersistSerialCounters(&problem)) {
        const QString text =
            QString::fromLatin1(kSerialGiveBackNotSaved).arg(handout->topology, problem);
        log.LogText(2, text.toStdString());
        AddStatus(text);
    }
}

void CSheet::GiveBackPreparationSerials() {
    // Latest first, so each counter steps back along the chain it came.
    for (auto it = preparationHandouts_.rbegin(); it != preparationHandouts_.rend(); ++it) {
        GiveBackSerial(*it);
    }
    preparationHandouts_.clear();
}

void CSheet::OnProgramoptionsProgramonce() {
    CLogger log("CSheet::OnProgramoptionsProgramonce");
    ChooseExecutionOptionFromMenu(true);
}

void CSheet::OnProgramoptionsAutomatedprogram() {
    CLogger log("CSheet::OnProgramoptionsAutomatedprogram");
    ChooseExecutionOptionFromMenu(false);
}

void CSheet::ChooseExecutionOptionFromMenu(bool once) {
    if (GetProgrammerStatus()) {
        return;
    }
    if (!topologySaved) {
        MessageBox(QString::fromLatin1(kSaveTopologyFirst), MessageIcon::Information);
        return;
    }
    SetExecutionOption(once);
    ActivatePageNow(kProgrammerPage);
}
