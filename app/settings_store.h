// The settings store: the last saved topology file ("DefaultTcf"), kept by QSettings under
// organisation "Kelvane", application "Tessaro KDX" (the user's configuration folder on
// Linux; XDG_CONFIG_HOME moves it).
#pragma once

#include <QString>

namespace settingsstore {

inline constexpr const char* kOrganisation = "Kelvane";
inline constexpr const char* kApplication = "Tessaro KDX";
inline constexpr const char* kDefaultTcfKey = "DefaultTcf";
inline constexpr int kPathLimit = 259; // the remembered path fits 260 characters

// The remembered file; false when there is none (or it is not a usable path).
bool ReadDefaultTcf(QString& path);
// Remembers `path`; false when the store could not be written.
bool WriteDefaultTcf(const QString& path);

} // namespace settingsstore
