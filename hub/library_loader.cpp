#include "hub/library_loader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace libraryloader {

QString PlatformFileName(const QString& originalName) {
    QString base = QFileInfo(originalName).fileName();
    if (base.endsWith(QLatin1String(".dll"), Qt::CaseInsensitive)) {
        base.chop(4);
    }
    return QStringLiteral("lib") + base + QStringLiteral(".so");
}

namespace {

QString ProgramFolder() {
    if (QCoreApplication::instance() != nullptr) {
        return QCoreApplication::applicationDirPath();
    }
    // Without an application object (library tests), ask the system for the executable.
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    return self.exists() ? QFileInfo(self.symLinkTarget()).absolutePath() : QString();
}

} // namespace

QString ResolveLibraryPath(const QString& originalName) {
    const QString fileName = PlatformFileName(originalName);
    const QByteArray libDir = qgetenv("TESSARO_LIB_DIR");
    if (!libDir.isEmpty()) {
        return QDir(QString::fromLocal8Bit(libDir)).absoluteFilePath(fileName);
    }
    const QString programFolder = ProgramFolder();
    if (!programFolder.isEmpty()) {
        const QString beside = QDir(programFolder).absoluteFilePath(fileName);
        if (QFileInfo::exists(beside)) {
            return beside;
        }
    }
    return fileName; // the system's library path
}

} // namespace libraryloader

LoadedLibrary::LoadedLibrary(const QString& originalName)
    : originalName_(originalName), library_(libraryloader::ResolveLibraryPath(originalName)) {}

LoadedLibrary::~LoadedLibrary() = default; // the library stays loaded; shared with other handles

bool LoadedLibrary::Load() {
    return library_.load();
}

bool LoadedLibrary::IsLoaded() const {
    return library_.isLoaded();
}

void LoadedLibrary::Unload() {
    if (library_.isLoaded()) {
        library_.unload();
    }
}

QFunctionPointer LoadedLibrary::ResolveAddress(const char* name) const {
    if (name == nullptr || !library_.isLoaded()) {
        return nullptr;
    }
    return library_.resolve(name);
}

QString LoadedLibrary::FirstMissingExport(std::initializer_list<const char*> names) const {
    for (const char* name : names) {
        if (ResolveAddress(name) == nullptr) {
            return QString::fromLatin1(name);
        }
    }
    return QString();
}

QString LoadedLibrary::Path() const {
    return library_.fileName();
}

QString LoadedLibrary::ErrorString() const {
    return library_.errorString();
}
