// Loads the vendor libraries by their original names. One place turns an original name such
// as "TessaroKDXLib.dll" into one absolute path of the platform's file name, so every handle
// in the process reaches the same library: the folder named by TESSARO_LIB_DIR when it is
// set, else the program's own folder, else the system's library path.
#pragma once

#include <QLibrary>
#include <QString>

#include <initializer_list>

namespace libraryloader {

// "TessaroKDXLib.dll" -> "libTessaroKDXLib.so" (the platform's file name of the library).
QString PlatformFileName(const QString& originalName);

// The path every load of `originalName` uses (absolute unless only the system path is left).
QString ResolveLibraryPath(const QString& originalName);

} // namespace libraryloader

// One handle on a library. Handles on the same library share it: it is unloaded when the
// last handle lets go. A missing library or export is a result, never a crash.
class LoadedLibrary {
public:
    explicit LoadedLibrary(const QString& originalName);
    ~LoadedLibrary();
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    bool Load();
    bool IsLoaded() const;
    void Unload();

    // The export `name` as a function pointer of type Fn; null when it or the library is
    // missing.
    template <typename Fn> Fn Resolve(const char* name) const {
        return reinterpret_cast<Fn>(ResolveAddress(name));
    }
    QFunctionPointer ResolveAddress(const char* name) const;

    // The first of `names` the library does not export (empty when it exports them all).
    QString FirstMissingExport(std::initializer_list<const char*> names) const;

    QString OriginalName() const { return originalName_; }
    QString Path() const;
    QString ErrorString() const;

private:
    QString originalName_;
    mutable QLibrary library_;
};
