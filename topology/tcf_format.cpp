#include "topology/tcf_format.h"

#include "topology/ini_text.h"
#include "topology/tcf_data.h"

#include <QByteArray>

#include <array>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

namespace tcf {

namespace {

// The node keys a section holds, each the first of its name, gathered in one pass over the
// section rather than one search per key.
class NodeKeys {
public:
    NodeKeys(const ini::IniDocument& document, int section) {
        document.ForEachKey(section, [this](std::string_view name, std::string_view value) {
            const bool ascii = ini::IsAscii(name);
            // Our writer stores the keys in table order: try the one after the last match
            // first, then all of them.
            if (next_ < std::size(kNames) && !values_[next_] && ascii &&
                ini::AsciiEqualIgnoringCase(name, kNames[next_])) {
                values_[next_++] = value;
                return;
            }
            for (std::size_t k = 0; k < std::size(kNames); ++k) {
                if (values_[k]) {
                    continue;
                }
                if (ascii ? ini::AsciiEqualIgnoringCase(name, kNames[k])
                          : ini::NamesEqual(name, kNames[k])) {
                    values_[k] = value;
                    next_ = k + 1;
                    return;
                }
            }
        });
    }

    QString Text(std::string_view key) const {
        const std::optional<std::string_view> value = Find(key);
        return value ? LimitText(ini::DecodeText(*value), CTCFData::kTextLimit) : QString();
    }

    int Int(std::string_view key, int defaultValue) const {
        return ini::ReadProfileInt(Find(key), defaultValue);
    }

private:
    static constexpr std::string_view kNames[] = {
        kUiNameKey,    kIsHubKey,           kPartTypeKey,      kMemoryTypeKey,      kVerifyKey,
        kProgramKey,   kConfigFileKey,      kSerialTypeKey,    kSerialAlphaKey,     kSerialStartKey,
        kSerialMaxKey, kSerialIncrementKey, kSerialCurrentKey, kSerialHexFormatKey,
    };

    std::optional<std::string_view> Find(std::string_view key) const {
        for (std::size_t k = 0; k < std::size(kNames); ++k) {
            if (kNames[k] == key) {
                return values_[k];
            }
        }
        return std::nullopt;
    }

    std::array<std::optional<std::string_view>, std::size(kNames)> values_{};
    std::size_t next_ = 0;
};

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
    const NodeKeys keys(document, section);
    TcfItem item;
    item.topology = topology;
    item.uiLabel = keys.Text(kUiNameKey);
    item.isHub = keys.Int(kIsHubKey, 0) != 0;
    if (!item.isHub) {
        return item;
    }
    item.partType = keys.Int(kPartTypeKey, kPartNotRecognized);
    item.memoryType = keys.Int(kMemoryTypeKey, kMemoryNone);
    item.configFile = keys.Text(kConfigFileKey);
    item.verify = keys.Int(kVerifyKey, 0) != 0;
    item.programRequired = keys.Int(kProgramKey, 0) != 0;
    item.serialType = keys.Int(kSerialTypeKey, kSerialNone);
    item.configComplete = true;
    if (!HasSerialScheme(item.serialType)) {
        return item;
    }
    item.serialAlpha = keys.Text(kSerialAlphaKey);
    item.serialStart = keys.Text(kSerialStartKey);
    item.serialMax = keys.Text(kSerialMaxKey);
    item.serialIncrement = keys.Int(kSerialIncrementKey, 1);
    item.serialCurrent = keys.Text(kSerialCurrentKey);
    item.serialHexFormat = keys.Int(kSerialHexFormatKey, 0) != 0;
    item.serialParamsSet = true;
    return item;
}

ini::TextFault WriteNode(ini::IniDocument& document, const TcfItem& item, QString* faultKey) {
    const QByteArray section = ini::EncodeText(item.topology);
    const ini::TextFault sectionFault = ini::IniDocument::CheckSectionName(ini::ViewOf(section));
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
        const ini::TextFault fault =
            document.SetValue(ini::ViewOf(section), key, ini::ViewOf(value));
        if (fault != ini::TextFault::kNone) {
            *faultKey = QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
            return fault;
        }
    }
    return ini::TextFault::kNone;
}

} // namespace tcf
