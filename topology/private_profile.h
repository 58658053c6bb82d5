// The four classic private-profile calls on top of IniDocument, for callers that want their
// one-shot semantics: every call reads the file afresh, and a write reads, changes one key
// and replaces the file atomically. Names are matched without regard to case, values lose
// their surrounding blanks, and texts are UTF-8 in the file.
#pragma once

#include <QString>
#include <QStringList>

namespace ini {

// The key's value, or `defaultValue` when the file, section or key is absent.
QString GetPrivateProfileString(const QString& section, const QString& key,
                                const QString& defaultValue, const QString& file);
// The key's value read as a decimal integer; `defaultValue` when absent or empty.
int GetPrivateProfileInt(const QString& section, const QString& key, int defaultValue,
                         const QString& file);
// Every section name in file order, duplicates included.
QStringList GetPrivateProfileSectionNames(const QString& file);
// Sets the key, creating the file, section or key as needed and leaving every other line as
// it is. False with the reason in *error when the name or value cannot be written (line
// break, NUL, ...) or the file cannot be read or replaced; the file is then unchanged.
bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& file, QString* error = nullptr);

} // namespace ini
