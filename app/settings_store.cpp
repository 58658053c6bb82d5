#include "app/settings_store.h"

#include <QSettings>
#include <QVariant>

namespace {

QSettings Store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QString::fromLatin1(settingsstore::kOrganisation),
                     QString::fromLatin1(settingsstore::kApplication));
}

} // namespace

namespace settingsstore {

bool ReadDefaultTcf(QString& path) {
    const QSettings settings = Store();
    const QVariant value = settings.value(QString::fromLatin1(kDefaultTcfKey));
    if (!value.isValid() || value.typeId() != QMetaType::QString) {
        return false;
    }
    const QString text = value.toString();
    if (text.isEmpty() || text.size() > kPathLimit) {
        return false;
    }
    path = text;
    return true;
}

bool WriteDefaultTcf(const QString& path) {
    QSettings settings = Store();
    settings.setValue(QString::fromLatin1(kDefaultTcfKey), path);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace settingsstore
