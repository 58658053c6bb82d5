// CDeviceData: the record of one USB position (a controller or a device behind it). It ties
// the position to its topology node and wraps every per-device call into the hub library.
#pragma once

#include "hub/parser_abi.h"

#include <QString>

// Topology states of a record.
enum TopologyState : int {
    kTopologyWithOperation = 1, // part of the topology, a memory type is chosen
    kTopologyNoOperation = 2,   // part of the topology, memory type "N/A"
    kTopologyNew = 3,           // new to the topology, not configured
};

class CDeviceData {
public:
    // Failure results of SetConfigBlock and SetSPIFwImage besides the library's own codes.
    static constexpr int kNoHubForImage = -6;         // no library or not a hub (image)
    static constexpr int kFileUnreadable = -100;      // the node's file cannot be read whole
    static constexpr int kParserFailed = -101;        // the parser built no block
    static constexpr int kExportMissing = -102;       // the library lacks the export
    static constexpr qint64 kMaxFileSize = 256 << 20; // larger files are refused

    CDeviceData(int controller, int device, const QString& internalPortName);
    virtual ~CDeviceData();
    CDeviceData(const CDeviceData&) = delete;
    CDeviceData& operator=(const CDeviceData&) = delete;

    // Binding to the node and pushing its settings into the library.
    void ValidateAndSetDeviceData(int deviceType);    // execution page in front
    void ValidateAndModifyDeviceData(int deviceType); // configuration page in front

    // Library calls for this position.
    int GetStorageMode();
    int SetStorageMode(int mode);
    void SetValidationMethod(int method);
    int SetConfigBlock(CreateParserFn createParser, const QString& serial);
    int SetSPIFwImage();
    int GetHubStatus();
    void SetProgramRequired();
    void SetProgrammingRequired(bool required);
    QString GetConfigFile();
    int GetDeviceType();
    QString GetDeviceName();
    QString GetDeviceInstanceID();
    QString GetSerialFromUUID();
    bool IsSafeToRemove();
    void StoreTopologyLabel();

    // Field accessors.
    QString GetInternalPortName() const { return internalPortName_; }
    QString GetPortName() const { return portName_; }
    void SetPortName(const QString& name) { portName_ = name; }
    int GetTCFIndex() const { return nodeIndex_; }
    int GetTopoLogy() const { return topologyState_; }
    void SetTopoLogy(int state) { topologyState_ = state; }
    int Controller() const { return controller_; }
    int Device() const { return device_; }
    // The device type the enumeration matched the record with (-1 before it was matched).
    int MatchedDeviceType() const { return matchedDeviceType_; }

    // The node's file.
    QString GetNodeConfigFile() const;
    void SetNodeConfigFile(const QString& file);

    // Serial scheme of the node.
    int SetSerialScheme(const QString& alpha, const QString& start, const QString& max,
                        int increment, const QString& current);
    int ValidateSerial() const;
    int GetSerialString(QString& serial) const;
    int AdvanceSerial();

    // The library handle shared by every record.
    static bool SetLibraryHandle();
    static void FreeLibraryHandle();

private:
    void CreateNode();
    void TopologyStateFromNode(int deviceType);
    void LabelFromNode();
    void PushNodeSettings(bool requireStorageModeAccepted);

    QString portName_;
    int nodeIndex_ = -1;
    QString internalPortName_;
    int topologyState_ = kTopologyNew;
    int controller_ = 0;
    int device_ = 0;
    int matchedDeviceType_ = -1;
};
