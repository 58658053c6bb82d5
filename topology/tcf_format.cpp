#include "topology/tcf_format.h"

#include "topology/ini_text.h"
#include "topology/tcf_data.h"

#include <QByteArray>

#include <utility>
#include <vector>

namespace tcf {

namespace {

std::string_view ViewOf(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString ReadText(const ini::IniDocument& document, int section, std::string_view key) {
    const std::optional<std::string_view> value = document.Value(section, key);
    return value ? LimitText(ini::DecodeText(*value), CTCFData::kTextLimit) : QString();
}

int ReadInt(const ini::IniDocument& document, int section, std::string_view key, int defaultValue) {
    return ini::ReadProfileInt(document.Value(section, key), defaultValue);
}

QByteArray Number(int value) {
    return QByteArray::number(value);
}
QByteArray Flag(bool value) {
    return value ? QByteArrayLiteral("1") : QByteArrayLiteral("0");
}

} // namespace

bool HasSerialScheme(int serialType) {
    return serialType == kSerialSchemeHex || serialType == kSerialSchemeDec;
}

QString LimitText(const QString& text, int limit) {
    if (text.size() <= limit) {
        return text;
    }
    qsizetype keep = limit;
    if (keep > 0 && text.at(keep - 1).isHighSurrogate()) {
        --keep;
    }
    return text.left(keep);
}

TcfItem ReadNode(const ini::IniDocument& document, int section, const QString& topology) {
    TcfItem item;
    item.topology = topology;
    item.uiLabel = ReadText(document, section, kUiNameKey);
    item.isHub = ReadInt(document, section, kIsHubKey, 0) != 0;
    if (!item.isHub) {
        return item;
    }
    item.partType = ReadInt(document, section, kPartTypeKey, kPartNotRecognized);
    item.memoryType = ReadInt(document, section, kMemoryTypeKey, kMemoryNone);
    item.configFile = ReadText(document, section, kConfigFileKey);
    item.verify = ReadInt(document, section, kVerifyKey, 0) != 0;
    item.programRequired = ReadInt(document, section, kProgramKey, 0) != 0;
    item.serialType = ReadInt(document, section, kSerialTypeKey, kSerialNone);
    item.configComplete = true;
    if (!HasSerialScheme(item.serialType)) {
        return item;
    }
    item.serialAlpha = ReadText(document, section, kSerialAlphaKey);
    item.serialStart = ReadText(document, section, kSerialStartKey);
    item.serialMax = ReadText(document, section, kSerialMaxKey);
    item.serialIncrement = ReadInt(document, section, kSerialIncrementKey, 1);
    item.serialCurrent = ReadText(document, section, kSerialCurrentKey);
    item.serialHexFormat = ReadInt(document, section, kSerialHexFormatKey, 0) != 0;
    item.serialParamsSet = true;
    return item;
}

ini::TextFault WriteNode(ini::IniDocument& document, const TcfItem& item, QString* faultKey) {
    const QByteArray section = ini::EncodeText(item.topology);
    const ini::TextFault sectionFault = ini::IniDocument::CheckSectionName(ViewOf(section));
    if (sectionFault != ini::TextFault::kNone) {
        faultKey->clear();
        return sectionFault;
    }
    std::vector<std::pair<std::string_view, QByteArray>> keys;
    keys.reserve(14);
    keys.emplace_back(kUiNameKey, ini::EncodeText(item.uiLabel));
    keys.emplace_back(kIsHubKey, Flag(item.isHub));
    if (item.isHub) {
        keys.emplace_back(kPartTypeKey, Number(item.partType));
        keys.emplace_back(kMemoryTypeKey, Number(item.memoryType));
        keys.emplace_back(kVerifyKey, Flag(item.verify));
        keys.emplace_back(kProgramKey, Flag(item.programRequired));
        keys.emplace_back(kConfigFileKey, ini::EncodeText(item.configFile));
        keys.emplace_back(kSerialTypeKey, Number(item.serialType));
        if (HasSerialScheme(item.serialType)) {
            keys.emplace_back(kSerialAlphaKey, ini::EncodeText(item.serialAlpha));
            keys.emplace_back(kSerialStartKey, ini::EncodeText(item.serialStart));
            keys.emplace_back(kSerialMaxKey, ini::EncodeText(item.serialMax));
            keys.emplace_back(kSerialIncrementKey, Number(item.serialIncrement));
            keys.emplace_back(kSerialCurrentKey, ini::EncodeText(item.serialCurrent));
            keys.emplace_back(kSerialHexFormatKey, Flag(item.serialHexFormat));
        }
    }
    for (const auto& [key, value] : keys) {
        const ini::TextFault fault = document.SetValue(ViewOf(section), key, ViewOf(value));
        if (fault != ini::TextFault::kNone) {
            *faultKey = QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
            return fault;
        }
    }
    return ini::TextFault::kNone;
}

} // namespace tcf
