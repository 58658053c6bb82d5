#include "topology/private_profile.h"

#include "topology/ini_document.h"
#include "topology/ini_text.h"

#include <utility>

namespace ini {

namespace {

IniDocument ReadDocument(const QString& file) {
    IniDocument document;
    document.Read(file);
    return document;
}

} // namespace

QString GetPrivateProfileString(const QString& section, const QString& key,
                                const QString& defaultValue, const QString& file) {
    const IniDocument document = ReadDocument(file);
    const std::optional<std::string_view> value =
        document.Value(ViewOf(EncodeText(section)), ViewOf(EncodeText(key)));
    return value ? DecodeText(*value) : defaultValue;
}

int GetPrivateProfileInt(const QString& section, const QString& key, int defaultValue,
                         const QString& file) {
    const IniDocument document = ReadDocument(file);
    return ReadProfileInt(document.Value(ViewOf(EncodeText(section)), ViewOf(EncodeText(key))),
                          defaultValue);
}

QStringList GetPrivateProfileSectionNames(const QString& file) {
    const IniDocument document = ReadDocument(file);
    QStringList names;
    names.reserve(document.SectionCount());
    for (int i = 0; i < document.SectionCount(); ++i) {
        names.append(DecodeText(document.SectionName(i)));
    }
    return names;
}

bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& file, QString* error) {
    IniDocument document;
    QString reason;
    if (document.Read(file, &reason) == IniDocument::ReadStatus::kFailed) {
        if (error != nullptr) {
            *error = reason;
        }
        return false;
    }
    const QByteArray sectionBytes = EncodeText(section);
    const QByteArray keyBytes = EncodeText(key);
    const QByteArray valueBytes = EncodeText(value);
    const std::pair<TextFault, const char*> checks[] = {
        {IniDocument::CheckSectionName(ViewOf(sectionBytes)), "the section name "},
        {IniDocument::CheckKeyName(ViewOf(keyBytes)), "the key name "},
        {IniDocument::CheckValue(ViewOf(valueBytes)), "the value "},
    };
    for (const auto& [fault, subject] : checks) {
        if (fault != TextFault::kNone) {
            if (error != nullptr) {
                *error = QLatin1String(subject) + TextFaultReason(fault);
            }
            return false;
        }
    }
    document.SetValue(ViewOf(sectionBytes), ViewOf(keyBytes), ViewOf(valueBytes));
    if (!document.Modified()) {
        return true; // the file already holds exactly this
    }
    return document.Write(file, error);
}

} // namespace ini
