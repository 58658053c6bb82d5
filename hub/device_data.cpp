#include "hub/device_data.h"

#include "hub/device_naming.h"
#include "hub/hub_library.h"
#include "hub/utf16_text.h"
#include "log/logger.h"
#include "topology/serial_scheme.h"
#include "topology/tcf_data.h"

#include <QFile>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

CTCFData& Store() {
    return CTCFData::Instance();
}

// Strips space characters (only those) from both ends, as the file names are stored.
QString StripSpaces(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ') {
        ++first;
    }
    while (last > first && text.at(last - 1) == u' ') {
        --last;
    }
    return text.mid(first, last - first);
}

// Reads a whole file; false when it cannot be opened, is too large or is not read in full.
bool ReadWholeFile(const QString& name, QByteArray& data) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const qint64 size = file.size();
    if (size < 0 || size > CDeviceData::kMaxFileSize) {
        return false;
    }
    data = file.readAll();
    return data.size() == size;
}

// A device node that is released when the guard goes.
struct NodeGuard {
    hubabi::IDeviceNode* node;
    explicit NodeGuard(hubabi::IDeviceNode* n) : node(n) {}
    ~NodeGuard() {
        if (node != nullptr) {
            node->Release(1);
        }
    }
    NodeGuard(const NodeGuard&) = delete;
    NodeGuard& operator=(const NodeGuard&) = delete;
};

// The parser object, released once.
struct ParserGuard {
    hubabi::IConfigParser* parser;
    explicit ParserGuard(hubabi::IConfigParser* p) : parser(p) {}
    ~ParserGuard() {
        if (parser != nullptr) {
            parser->Release(1);
        }
    }
    ParserGuard(const ParserGuard&) = delete;
    ParserGuard& operator=(const ParserGuard&) = delete;
};

const uint8_t* Bytes(const QByteArray& data) {
    return data.isEmpty() ? nullptr : reinterpret_cast<const uint8_t*>(data.constData());
}

} // namespace

CDeviceData::CDeviceData(int controller, int device, const QString& internalPortName)
    : internalPortName_(internalPortName), controller_(controller), device_(device) {
    CLogger log("CDeviceData::CDeviceData");
    nodeIndex_ = Store().GetTcfItem(internalPortName_);
    portName_ = GetDeviceName();
    topologyState_ = kTopologyNew;
}

CDeviceData::~CDeviceData() = default;

void CDeviceData::CreateNode() {
    nodeIndex_ = Store().SetTcfItem(internalPortName_, QString());
    Store().SetPartType(nodeIndex_, hublibrary::LastDetectedPartType());
}

void CDeviceData::TopologyStateFromNode(int deviceType) {
    if (Store().IsItemHub(nodeIndex_) == (deviceType == hubabi::kDeviceTypeHub)) {
        topologyState_ = Store().GetMemoryType(nodeIndex_) == kMemoryNone ? kTopologyNoOperation
                                                                          : kTopologyWithOperation;
    }
}

void CDeviceData::LabelFromNode() {
    const QString label = Store().GetUILabel(nodeIndex_);
    if (!label.isEmpty()) {
        portName_ = label;
    }
}

void CDeviceData::PushNodeSettings(bool requireStorageModeAccepted) {
    const int result = SetStorageMode(Store().GetMemoryType(nodeIndex_));
    if (requireStorageModeAccepted && result != 0) {
        return;
    }
    SetValidationMethod(Store().GetVerifyOption(nodeIndex_) ? hubabi::kValidateVerify
                                                            : hubabi::kValidateNone);
    SetProgrammingRequired(Store().GetProgramRequiredOption(nodeIndex_));
}

void CDeviceData::ValidateAndSetDeviceData(int deviceType) {
    CLogger log("CDeviceData::ValidateAndSetDeviceData");
    matchedDeviceType_ = deviceType;
    if (nodeIndex_ < 0) {
        CreateNode();
        return;
    }
    TopologyStateFromNode(deviceType);
    LabelFromNode();
    const HubEntryPoints& entries = hublibrary::Entries();
    if (deviceType == hubabi::kDeviceTypeHub && Store().IsItemHub(nodeIndex_) &&
        entries.IsNewDevice != nullptr && entries.IsNewDevice(controller_, device_) == 1) {
        log.Log(2,
                "DEBUG : NEW DEVICE mCtrl = %u, nID = %u, Topology = %s, mIndex = %d, stMode = %d",
                static_cast<unsigned>(controller_), static_cast<unsigned>(device_),
                qUtf8Printable(internalPortName_), nodeIndex_, Store().GetMemoryType(nodeIndex_));
        PushNodeSettings(true);
    }
}

void CDeviceData::ValidateAndModifyDeviceData(int deviceType) {
    CLogger log("CDeviceData::ValidateAndModifyDeviceData");
    matchedDeviceType_ = deviceType;
    if (nodeIndex_ < 0) {
        CreateNode();
    } else {
        TopologyStateFromNode(deviceType);
    }
    LabelFromNode();
    const HubEntryPoints& entries = hublibrary::Entries();
    if (deviceType == hubabi::kDeviceTypeHub && entries.IsNewDevice != nullptr &&
        entries.IsNewDevice(controller_, device_) == 1) {
        PushNodeSettings(false);
    }
}

int CDeviceData::GetStorageMode() {
    CLogger log("CDeviceData::GetStorageMode");
    log.Log(2, "DEBUG : GETSTORAGEMODE mCtrl = %u, nDev = %u", static_cast<unsigned>(controller_),
            static_cast<unsigned>(device_));
    const HubEntryPoints& entries = hublibrary::Entries();
    if (hublibrary::Handle() == nullptr || entries.GetStorageMode == nullptr) {
        return kMemoryNone;
    }
    return entries.GetStorageMode(controller_, device_);
}

int CDeviceData::SetStorageMode(int mode) {
    CLogger log("CDeviceData::SetStorageMode");
    const HubEntryPoints& entries = hublibrary::Entries();
    if (hublibrary::Handle() == nullptr || entries.SetStorageMode == nullptr) {
        return 2;
    }
    return entries.SetStorageMode(controller_, device_, mode);
}

void CDeviceData::SetValidationMethod(int method) {
    CLogger log("CDeviceData::SetValidationMethod");
    const HubEntryPoints& entries = hublibrary::Entries();
    if (hublibrary::Handle() != nullptr && entries.SetValidationMethod != nullptr) {
        entries.SetValidationMethod(controller_, device_, method);
    }
}

int CDeviceData::SetConfigBlock(CreateParserFn createParser, const QString& serial) {
    CLogger log("CDeviceData::SetConfigBlock");
    if (hublibrary::Handle() == nullptr || GetDeviceType() != hubabi::kDeviceTypeHub) {
        return 0;
    }
    const QString fileName = StripSpaces(GetConfigFile());
    log.Log(2, "Serial at config entry is %s", qUtf8Printable(serial));

    QByteArray data;
    if (!fileName.isEmpty() && !ReadWholeFile(fileName, data)) {
        log.Log(2, "Cannot read configuration file %s", qUtf8Printable(fileName));
        return kFileUnreadable;
    }

    if (!serial.isEmpty() && createParser != nullptr) {
        log.Log(2, "Serial after block conversion is %s", qUtf8Printable(serial));
        // The parser takes a writable copy of the serial text.
        std::vector<char16_t> serialUnits(Utf16(serial), Utf16(serial) + serial.size() + 1);
        const auto serialLength = static_cast<int32_t>(serial.size());
        const auto size = static_cast<uint32_t>(data.size());
        ParserGuard parser(createParser(Bytes(data), size, serialUnits.data(), serialLength, 0));
        if (parser.parser == nullptr) {
            return kParserFailed;
        }
        parser.parser->BuildBlock(Bytes(data), size, serialUnits.data(), serialLength);
        const uint32_t blockSize = parser.parser->GetBlockSize();
        QByteArray block(static_cast<qsizetype>(blockSize), '\0');
        const int32_t copied =
            parser.parser->CopyBlock(blockSize, reinterpret_cast<uint8_t*>(block.data()));
        if (copied < 0 || static_cast<uint32_t>(copied) > blockSize) {
            log.Log(2, "The parser built no block (%d)", copied);
            return kParserFailed;
        }
        block.truncate(copied);
        data = block;
    }

    log.Log(2, "CFG BLOCK SET at ct - %u,  dev - %u", static_cast<unsigned>(controller_),
            static_cast<unsigned>(device_));
    const HubEntryPoints& entries = hublibrary::Entries();
    if (entries.SetConfigurationBlock == nullptr) {
        return kExportMissing;
    }
    return entries.SetConfigurationBlock(controller_, device_, Bytes(data),
                                         static_cast<uint32_t>(data.size()));
}

int CDeviceData::SetSPIFwImage() {
    CLogger log("CDeviceData::SetSPIFwImage");
    if (hublibrary::Handle() == nullptr || GetDeviceType() != hubabi::kDeviceTypeHub) {
        return kNoHubForImage;
    }
    const QString fileName = StripSpaces(GetConfigFile());
    QByteArray data;
    if (!fileName.isEmpty()) {
        if (!ReadWholeFile(fileName, data)) {
            return kFileUnreadable;
        }
        log.Log(2, "FwImageSize is %d", static_cast<int>(data.size()));
    }
    const HubEntryPoints& entries = hublibrary::Entries();
    if (entries.SetFirmwarImage == nullptr) {
        return kExportMissing;
    }
    return entries.SetFirmwarImage(controller_, device_, Bytes(data),
                                   static_cast<uint32_t>(data.size()));
}

int CDeviceData::GetHubStatus() {
    CLogger log("CDeviceData::GetHubStatus");
    const HubEntryPoints& entries = hublibrary::Entries();
    if (hublibrary::Handle() == nullptr || entries.GetHubStatus == nullptr) {
        return hubabi::kStatusNewUnprogrammed;
    }
    return entries.GetHubStatus(controller_, device_);
}

void CDeviceData::SetProgramRequired() {
    CLogger log("CDeviceData::SetProgramRequired");
    const HubEntryPoints& entries = hublibrary::Entries();
    if (hublibrary::Handle() != nullptr && entries.SetProgrammingRequired != nullptr) {
        entries.SetProgrammingRequired(controller_, device_, 0);
    }
}

void CDeviceData::SetProgrammingRequired(bool required) {
    CLogger log("CDeviceData::SetProgrammingRequired");
    const HubEntryPoints& entries = hublibrary::Entries();
    if (hublibrary::Handle() != nullptr && entries.SetProgrammingRequired != nullptr) {
        entries.SetProgrammingRequired(controller_, device_, required ? 1 : 0);
    }
    if (nodeIndex_ >= 0) {
        Store().SetProgramRequiredOption(nodeIndex_, required);
    }
}

QString CDeviceData::GetConfigFile() {
    CLogger log("CDeviceData::GetConfigFile");
    return nodeIndex_ >= 0 ? Store().GetConfigFile(nodeIndex_) : QString();
}

int CDeviceData::GetDeviceType() {
    CLogger log("CDeviceData::GetDeviceType");
    hubabi::IDeviceTree* tree = hublibrary::FetchDeviceTree();
    if (tree == nullptr) {
        return hubabi::kDeviceTypeUnknown;
    }
    NodeGuard node(tree->GetDevice(controller_, device_));
    if (node.node == nullptr) {
        return hubabi::kDeviceTypeUnknown;
    }
    return node.node->GetType();
}

QString CDeviceData::GetDeviceName() {
    CLogger log("CDeviceData::GetDeviceName");
    hubabi::IDeviceTree* tree = hublibrary::FetchDeviceTree();
    if (tree == nullptr) {
        return QString();
    }
    NodeGuard node(tree->GetDevice(controller_, device_));
    if (node.node == nullptr) {
        return QString();
    }
    if (node.node->GetType() != hubabi::kDeviceTypeHub) {
        return FromUtf16(node.node->GetDescription());
    }
    hublibrary::SetLastDetectedPartType(kPartNotRecognized);
    const HubIdentity identity = IdentifyHub(FromUtf16(node.node->GetInstanceId()));
    hublibrary::SetLastDetectedPartType(identity.partType);
    return identity.name;
}

QString CDeviceData::GetDeviceInstanceID() {
    CLogger log("CDeviceData::GetDeviceInstanceID");
    hubabi::IDeviceTree* tree = hublibrary::FetchDeviceTree();
    if (tree == nullptr) {
        return QString();
    }
    NodeGuard node(tree->GetDevice(controller_, device_));
    return node.node != nullptr ? FromUtf16(node.node->GetInstanceId()) : QString();
}

QString CDeviceData::GetSerialFromUUID() {
    CLogger log("CDeviceData::GetSerialFromUUID");
    const HubEntryPoints& entries = hublibrary::Entries();
    if (hublibrary::Handle() == nullptr || entries.GetUUID == nullptr ||
        GetDeviceType() != hubabi::kDeviceTypeHub) {
        return QString();
    }
    uint8_t uuid[16] = {};
    if (entries.GetUUID(controller_, device_, uuid, sizeof uuid) < 0) {
        return QString();
    }
    QString serial;
    for (int i = 11; i < 16; ++i) {
        serial += QStringLiteral("%1").arg(uuid[i], 2, 16, QLatin1Char('0'));
    }
    return serial;
}

bool CDeviceData::IsSafeToRemove() {
    CLogger log("CDeviceData::IsSafeToRemove");
    const HubEntryPoints& entries = hublibrary::Entries();
    if (hublibrary::Handle() == nullptr || entries.CanDeviceBeRemoved == nullptr) {
        return false;
    }
    return entries.CanDeviceBeRemoved(controller_, device_) != 0;
}

void CDeviceData::StoreTopologyLabel() {
    if (nodeIndex_ >= 0) {
        Store().SetUILabel(nodeIndex_, portName_);
    }
}

QString CDeviceData::GetNodeConfigFile() const {
    return nodeIndex_ >= 0 ? Store().GetConfigFile(nodeIndex_) : QString();
}

void CDeviceData::SetNodeConfigFile(const QString& file) {
    if (nodeIndex_ >= 0) {
        Store().SetConfigFile(nodeIndex_, file);
    }
}

int CDeviceData::SetSerialScheme(const QString& alpha, const QString& start, const QString& max,
                                 int increment, const QString& current) {
    Store().SetSerialParams(nodeIndex_, alpha, start, max, increment, current,
                            Store().GetSerialType(nodeIndex_) == kSerialSchemeHex);
    return 0;
}

int CDeviceData::ValidateSerial() const {
    const TcfItem& node = Store().Item(nodeIndex_);
    return ValidateSerialParams(node.serialAlpha, node.serialStart, node.serialMax,
                                node.serialCurrent, node.serialIncrement,
                                node.serialType == kSerialSchemeHex);
}

int CDeviceData::GetSerialString(QString& serial) const {
    const TcfItem& node = Store().Item(nodeIndex_);
    if (node.serialCurrent == QLatin1String(kSerialDone)) {
        return SERIAL_MAX_REACHED;
    }
    serial = node.serialAlpha + node.serialCurrent;
    return SERIAL_OK;
}

int CDeviceData::AdvanceSerial() {
    TcfItem& node = Store().Item(nodeIndex_);
    const SerialAdvanceResult advanced =
        AdvanceSerialValue(node.serialCurrent, node.serialMax, node.serialIncrement,
                           node.serialType == kSerialSchemeHex);
    node.serialCurrent = advanced.current;
    return advanced.result;
}

bool CDeviceData::SetLibraryHandle() {
    CLogger log("CDeviceData::SetLibraryHandle");
    return hublibrary::TakeHandle();
}

void CDeviceData::FreeLibraryHandle() {
    CLogger log("CDeviceData::FreeLibraryHandle");
    hublibrary::DropHandle();
}
