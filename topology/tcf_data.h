// CTCFData: the process-wide topology store. It owns the node records in insertion order
// and reads and writes them as a .tcf file. It checks nothing about the values it holds.
#pragma once

#include "topology/tcf_item.h"

#include <QString>
#include <vector>

// Why a topology write failed. A value holding CR or LF (or NUL) would inject lines into the
// file, so such a value fails the whole write before anything is written.
struct TcfWriteError {
    enum Kind { kNone, kBadValue, kWriteFailed };
    Kind kind = kNone;
    QString node;   // topology string of the offending node, "Header" for the version (kBadValue)
    QString key;    // its key; empty when the topology string itself is at fault (kBadValue)
    QString detail; // what is wrong with the value ("holds a line break", kBadValue) or the
                    // file system's reason (kWriteFailed)

    // One line for the operator, such as "Cannot write 1-1-2 BCFGFILE: the value holds a line
    // break" or "Cannot write /x/y.tcf: Permission denied". Empty for kNone.
    QString Message(const QString& file) const;
};

class CTCFData {
public:
    static constexpr int kTextLimit = 259;   // characters kept of a text value
    static constexpr int kVersionLimit = 19; // characters kept of the version
    static constexpr const char* kCurrentVersion = "2.0";

    CTCFData();
    virtual ~CTCFData();

    // The one store the program uses.
    static CTCFData& Instance();

    // Node accessors: the index must be that of an existing node.
    int GetPartType(int index) const;
    void SetPartType(int index, int partType);
    int GetMemoryType(int index) const;
    void SetMemoryType(int index, int memoryType);
    QString GetUILabel(int index) const;
    void SetUILabel(int index, const QString& label);
    QString GetConfigFile(int index) const;
    void SetConfigFile(int index, const QString& file);
    bool GetVerifyOption(int index) const;
    void SetVerifyOption(int index, bool verify);
    bool GetProgramRequiredOption(int index) const;
    void SetProgramRequiredOption(int index, bool required);
    int GetSerialType(int index) const;
    void SetSerialType(int index, int serialType);
    QString GetSerialParamAlphaVal(int index) const;
    QString GetSerialParamStartVal(int index) const;
    QString GetSerialParamMaxVal(int index) const;
    QString GetSerialParamCurrentVal(int index) const;
    int GetSerialParamIncrementVal(int index) const;
    void SetSerialParamCurrentVal(int index, const QString& current);
    void SetSerialParams(int index, const QString& alpha, const QString& start, const QString& max,
                         int increment, const QString& current, bool hexFormat);
    int GetSerialParams(int index, QString& alpha, QString& start, QString& max,
                        QString& current) const;
    bool IsItemHub(int index) const;
    void SetAsHubItem(int index, bool isHub);
    void SetSaveStatus(int index);

    // Direct access to a record, for the flags without accessors (serialParamsSet,
    // configComplete).
    TcfItem& Item(int index);
    const TcfItem& Item(int index) const;
    int Count() const;

    // List operations.
    int GetTcfItem(const QString& topology) const; // exact match, first wins, -1 if none
    int SetTcfItem(const QString& topology, const QString& label); // appends a new node
    void ClearTopology();
    bool LoadTopology(const QString& file);
    // Writes Header and every node marked by SetSaveStatus into a new file that replaces
    // `file` atomically. False (with the reason in *error) when nothing was written.
    bool SaveTopology(const QString& file, const QString& version, TcfWriteError* error = nullptr);
    // The "Version" of "Header", "0.0.0" when absent.
    static QString GetTopologyVersion(const QString& file);
    // Writes SERCURRENT of every hub node with a serial scheme into `file`, changing nothing
    // else in it; the file is replaced atomically. False (with the reason in *error) when the
    // file cannot be read or replaced or a counter cannot be written: nothing was written then.
    // True also when there was nothing to change.
    bool SaveSerialCurrent(const QString& file, TcfWriteError* error = nullptr);

private:
    std::vector<TcfItem> items_;
};
