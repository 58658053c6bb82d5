// One topology node: the settings of one USB position, keyed by its topology string.
#pragma once

#include <QString>

// Part families, memory types and serial types: the numbers are what the file stores.
enum PartType : int { kPartFennel = 0, kPartAsterFamily = 1, kPartNotRecognized = 2 };
enum MemoryType : int {
    kMemorySpiPartialCfg = 0,
    kMemorySpiCopyFromOtp = 1,
    kMemorySpi = 2,
    kMemoryOtp = 3,
    kMemoryNone = 4,
};
enum SerialType : int {
    kSerialCopyUuid = 0,
    kSerialSchemeHex = 1,
    kSerialSchemeDec = 2,
    kSerialNone = 3,
};

inline constexpr int kPartTypeCount = 3;
inline constexpr int kMemoryTypeCount = 5;
inline constexpr int kSerialTypeCount = 4;

// The texts the configuration page lists for each code, in code order.
inline constexpr const char* kPartTypeNames[kPartTypeCount] = {
    "Fennel", "Aster/Birch/Cedar/Dahlia/Elder", "Not Recognized"};
inline constexpr const char* kMemoryTypeNames[kMemoryTypeCount] = {
    "SPI Partial (CFG)", "SPI Copy from OTP", "SPI", "OTP", "N/A"};
inline constexpr const char* kSerialTypeNames[kSerialTypeCount] = {
    "Copy UUID", "Scheme (Hex)", "Scheme (Dec)", "N/A"};

struct TcfItem {
    QString uiLabel;            // "UINAME"
    bool isHub = false;         // "ISHUB"
    bool saveStatus = false;    // written by the next save
    QString topology;           // section name; never changes
    int partType = kPartNotRecognized;  // "PTYPE"
    int memoryType = kMemoryNone;       // "MEMTYPE"
    QString configFile;                 // "BCFGFILE"
    bool verify = false;                // "VERIFY"
    bool programRequired = false;       // "DOPROGRAM"
    int serialType = kSerialNone;       // "SERTYPE"
    QString serialAlpha;                // "SERALPHA"
    QString serialStart;                // "SERSTART"
    QString serialMax;                  // "SERMAX"
    int serialIncrement = 1;            // "SERINC"
    QString serialCurrent;              // "SERCURRENT"
    bool serialHexFormat = false;       // "SERHEXFMT"
    bool serialParamsSet = false;       // the scheme was accepted (Set)
    bool configComplete = true;         // the configuration page's completeness verdict
};
