#include "topology/tcf_data.h"

#include "log/logger.h"
#include "topology/ini_document.h"
#include "topology/ini_text.h"
#include "topology/tcf_format.h"

#include <QByteArray>

#include <vector>

namespace {

QString FromKey(std::string_view key) {
    return QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
}

void Fail(TcfWriteError* error, const TcfWriteError& reason) {
    if (error != nullptr) {
        *error = reason;
    }
}

TcfWriteError BadValue(const QString& node, const QString& key, ini::TextFault fault) {
    TcfWriteError error;
    error.kind = TcfWriteError::kBadValue;
    error.node = node;
    error.key = key;
    error.detail = ini::TextFaultReason(fault);
    return error;
}

TcfWriteError WriteFailed(const QString& detail) {
    TcfWriteError error;
    error.kind = TcfWriteError::kWriteFailed;
    error.detail = detail;
    return error;
}

} // namespace

CTCFData::CTCFData() = default;
CTCFData::~CTCFData() = default;

CTCFData& CTCFData::Instance() {
    static CTCFData store;
    return store;
}

int CTCFData::GetPartType(int index) const {
    CLogger log("CTCFData::GetPartType");
    return Item(index).partType;
}

void CTCFData::SetPartType(int index, int partType) {
    CLogger log("CTCFData::SetPartType");
    Item(index).partType = partType;
}

int CTCFData::GetMemoryType(int index) const {
    CLogger log("CTCFData::GetMemoryType");
    return Item(index).memoryType;
}

void CTCFData::SetMemoryType(int index, int memoryType) {
    CLogger log("CTCFData::SetMemoryType");
    Item(index).memoryType = memoryType;
}

QString CTCFData::GetUILabel(int index) const {
    CLogger log("CTCFData::GetUILabel");
    return Item(index).uiLabel;
}

void CTCFData::SetUILabel(int index, const QString& label) {
    CLogger log("CTCFData::SetUILabel");
    Item(index).uiLabel = label;
}

QString CTCFData::GetConfigFile(int index) const {
    CLogger log("CTCFData::GetConfigFile");
    return Item(index).configFile;
}

void CTCFData::SetConfigFile(int index, const QString& file) {
    CLogger log("CTCFData::SetConfigFile");
    Item(index).configFile = file;
}

bool CTCFData::GetVerifyOption(int index) const {
    CLogger log("CTCFData::GetVerifyOption");
    return Item(index).verify;
}

void CTCFData::SetVerifyOption(int index, bool verify) {
    CLogger log("CTCFData::SetVerifyOption");
    Item(index).verify = verify;
}

bool CTCFData::GetProgramRequiredOption(int index) const {
    CLogger log("CTCFData::GetProgramRequiredOption");
    return Item(index).programRequired;
}

void CTCFData::SetProgramRequiredOption(int index, bool required) {
    CLogger log("CTCFData::SetProgramRequiredOption");
    Item(index).programRequired = required;
}

int CTCFData::GetSerialType(int index) const {
    CLogger log("CTCFData::GetSerialType");
    return Item(index).serialType;
}

void CTCFData::SetSerialType(int index, int serialType) {
    CLogger log("CTCFData::SetSerialType");
    Item(index).serialType = serialType;
}

QString CTCFData::GetSerialParamAlphaVal(int index) const {
    CLogger log("CTCFData::GetSerialParamAlphaVal");
    return Item(index).serialAlpha;
}

QString CTCFData::GetSerialParamStartVal(int index) const {
    CLogger log("CTCFData::GetSerialParamStartVal");
    return Item(index).serialStart;
}

QString CTCFData::GetSerialParamMaxVal(int index) const {
    CLogger log("CTCFData::GetSerialParamMaxVal");
    return Item(index).serialMax;
}

QString CTCFData::GetSerialParamCurrentVal(int index) const {
    CLogger log("CTCFData::GetSerialParamCurrentVal");
    return Item(index).serialCurrent;
}

int CTCFData::GetSerialParamIncrementVal(int index) const {
    CLogger log("CTCFData::GetSerialParamIncrementVal");
    return Item(index).serialIncrement;
}

void CTCFData::SetSerialParamCurrentVal(int index, const QString& current) {
    CLogger log("CTCFData::SetSerialParamCurrentVal");
    Item(index).serialCurrent = current;
}

void CTCFData::SetSerialParams(int index, const QString& alpha, const QString& start,
                               const QString& max, int increment, const QString& current,
                               bool hexFormat) {
    CLogger log("CTCFData::SetSerialParams");
    TcfItem& item = Item(index);
    item.serialAlpha = alpha;
    item.serialStart = start;
    item.serialMax = max;
    item.serialIncrement = increment;
    item.serialCurrent = current;
    item.serialHexFormat = hexFormat;
}

int CTCFData::GetSerialParams(int index, QString& alpha, QString& start, QString& max,
                              QString& current) const {
    CLogger log("CTCFData::GetSerialParams");
    const TcfItem& item = Item(index);
    alpha = item.serialAlpha;
    start = item.serialStart;
    max = item.serialMax;
    current = item.serialCurrent;
    return item.serialIncrement;
}

bool CTCFData::IsItemHub(int index) const {
    CLogger log("CTCFData::IsItemHub");
    return Item(index).isHub;
}

void CTCFData::SetAsHubItem(int index, bool isHub) {
    CLogger log("CTCFData::SetAsHubItem");
    Item(index).isHub = isHub;
}

void CTCFData::SetSaveStatus(int index) {
    CLogger log("CTCFData::SetSaveStatus");
    Item(index).saveStatus = true;
}

TcfItem& CTCFData::Item(int index) {
    return items_[static_cast<std::size_t>(index)];
}

const TcfItem& CTCFData::Item(int index) const {
    return items_[static_cast<std::size_t>(index)];
}

int CTCFData::Count() const {
    return static_cast<int>(items_.size());
}

int CTCFData::GetTcfItem(const QString& topology) const {
    CLogger log("CTCFData::GetTcfItem");
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].topology == topology) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int CTCFData::SetTcfItem(const QString& topology, const QString& label) {
    CLogger log("CTCFData::SetTcfItem");
    TcfItem item;
    item.topology = topology;
    item.uiLabel = label;
    items_.push_back(std::move(item));
    return static_cast<int>(items_.size()) - 1;
}

void CTCFData::ClearTopology() {
    CLogger log("CTCFData::ClearTopology");
    items_.clear();
}

bool CTCFData::LoadTopology(const QString& file) {
    CLogger log("CTCFData::LoadTopology");
    if (file.isEmpty()) {
        return false;
    }
    ini::IniDocument document;
    QString reason;
    if (document.Read(file, &reason) == ini::IniDocument::ReadStatus::kFailed) {
        log.Log(2, "Cannot read %s: %s", qUtf8Printable(file), qUtf8Printable(reason));
    }
    const int count = ini::ReadProfileInt(document.Value(tcf::kHeaderSection, tcf::kCountKey), 0);
    if (count < 1) {
        return false;
    }
    // Every section but "Header" is a node, wherever "Header" stands. A repeated section name
    // reads the first section of that name, so its node is built once and copied.
    std::vector<int> nodeOfSection(static_cast<std::size_t>(document.SectionCount()), -1);
    items_.reserve(items_.size() + static_cast<std::size_t>(document.SectionCount()));
    for (int section = 0; section < document.SectionCount(); ++section) {
        const std::string_view name = document.SectionName(section);
        if (ini::NamesEqual(name, tcf::kHeaderSection)) {
            continue;
        }
        const QString topology = ini::DecodeText(name);
        const int first = document.FirstOfName(section);
        int& built = nodeOfSection[static_cast<std::size_t>(first)];
        TcfItem item;
        if (built >= 0) {
            item = items_[static_cast<std::size_t>(built)];
            item.topology = topology;
        } else {
            item = tcf::ReadNode(document, first, topology);
            built = static_cast<int>(items_.size());
        }
        items_.push_back(std::move(item));
    }
    return true;
}

bool CTCFData::SaveTopology(const QString& file, const QString& version, TcfWriteError* error) {
    CLogger log("CTCFData::SaveTopology");
    Fail(error, TcfWriteError{});
    // The file is built in memory exactly as writing key by key into an empty file would
    // build it, then replaces the old one in one step.
    ini::IniDocument document;
    const QByteArray count = QByteArray::number(Count());
    const QByteArray versionBytes = ini::EncodeText(version);
    document.SetValue(tcf::kHeaderSection, tcf::kCountKey, ini::ViewOf(count));
    const ini::TextFault versionFault =
        document.SetValue(tcf::kHeaderSection, tcf::kVersionKey, ini::ViewOf(versionBytes));
    TcfWriteError failure;
    if (versionFault != ini::TextFault::kNone) {
        failure = BadValue(FromKey(tcf::kHeaderSection), FromKey(tcf::kVersionKey), versionFault);
    }
    for (std::size_t i = 0; failure.kind == TcfWriteError::kNone && i < items_.size(); ++i) {
        const TcfItem& item = items_[i];
        if (!item.saveStatus) {
            continue;
        }
        QString key;
        const ini::TextFault fault = tcf::WriteNode(document, item, &key);
        if (fault != ini::TextFault::kNone) {
            failure = BadValue(item.topology, key, fault);
        }
    }
    if (failure.kind == TcfWriteError::kNone) {
        QString reason;
        if (document.Write(file, &reason)) {
            return true;
        }
        failure = WriteFailed(reason);
    }
    log.Log(2, "%s", qUtf8Printable(failure.Message(file)));
    Fail(error, failure);
    return false;
}

QString CTCFData::GetTopologyVersion(const QString& file) {
    ini::IniDocument document;
    document.Read(file);
    const std::optional<std::string_view> version =
        document.Value(tcf::kHeaderSection, tcf::kVersionKey);
    if (!version) {
        return QString::fromLatin1(tcf::kMissingVersion);
    }
    return tcf::LimitText(ini::DecodeText(*version), kVersionLimit);
}

bool CTCFData::SaveSerialCurrent(const QString& file, TcfWriteError* error) {
    // Only the SERCURRENT lines change; everything else in the file keeps its bytes.
    Fail(error, TcfWriteError{});
    std::vector<const TcfItem*> counters;
    for (const TcfItem& item : items_) {
        if (item.isHub && tcf::HasSerialScheme(item.serialType)) {
            counters.push_back(&item);
        }
    }
    if (counters.empty()) {
        return true; // nothing to write, the file is not touched
    }
    ini::IniDocument document;
    QString reason;
    if (document.Read(file, &reason) == ini::IniDocument::ReadStatus::kFailed) {
        Fail(error, WriteFailed(reason));
        return false;
    }
    for (const TcfItem* item : counters) {
        const QByteArray section = ini::EncodeText(item->topology);
        const QByteArray current = ini::EncodeText(item->serialCurrent);
        ini::TextFault fault = ini::IniDocument::CheckSectionName(ini::ViewOf(section));
        QString key;
        if (fault == ini::TextFault::kNone) {
            key = FromKey(tcf::kSerialCurrentKey);
            fault = document.SetValue(ini::ViewOf(section), tcf::kSerialCurrentKey,
                                      ini::ViewOf(current));
        }
        if (fault != ini::TextFault::kNone) {
            Fail(error, BadValue(item->topology, key, fault));
            return false;
        }
    }
    if (!document.Modified()) {
        return true;
    }
    if (!document.Write(file, &reason)) {
        Fail(error, WriteFailed(reason));
        return false;
    }
    return true;
}
