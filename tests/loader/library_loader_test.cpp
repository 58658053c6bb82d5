#include "hub/hub_abi.h"
#include "hub/library_loader.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

namespace {

using FakeLoadCountFn = int32_t (*)();

QString LibDir() {
    return QString::fromLocal8Bit(qgetenv("TESSARO_LIB_DIR"));
}

TEST(LibraryLoaderTest, PlatformFileNameDropsTheDllSuffix) {
    const struct {
        const char* original;
        const char* platform;
    } cases[] = {
        {"TessaroKDXLib.dll", "libTessaroKDXLib.so"},
        {"ConfigFileParserDLL.dll", "libConfigFileParserDLL.so"},
        {"Other.DLL", "libOther.so"},
        {"NoSuffix", "libNoSuffix.so"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(libraryloader::PlatformFileName(QString::fromLatin1(c.original)),
                  QString::fromLatin1(c.platform))
            << c.original;
    }
}

TEST(LibraryLoaderTest, LibDirDecidesTheAbsolutePath) {
    ASSERT_FALSE(LibDir().isEmpty()) << "the test launcher sets TESSARO_LIB_DIR";
    const QString path = libraryloader::ResolveLibraryPath(QStringLiteral("FakeHubComplete.dll"));
    EXPECT_TRUE(QFileInfo(path).isAbsolute());
    EXPECT_EQ(path, QDir(LibDir()).absoluteFilePath(QStringLiteral("libFakeHubComplete.so")));
}

TEST(LibraryLoaderTest, ProgramFolderIsUsedWithoutLibDir) {
    qunsetenv("TESSARO_LIB_DIR");
    // The test program does not sit beside a libNotThere.so, so the system path is left.
    EXPECT_EQ(libraryloader::ResolveLibraryPath(QStringLiteral("NotThere.dll")),
              QStringLiteral("libNotThere.so"));
}

TEST(LibraryLoaderTest, CompleteLibraryLoadsAndResolvesEveryExport) {
    LoadedLibrary library(QStringLiteral("FakeHubComplete.dll"));
    ASSERT_TRUE(library.Load()) << library.ErrorString().toStdString();
    for (const char* name : hubabi::kExportNames) {
        EXPECT_NE(library.ResolveAddress(name), nullptr) << name;
    }
    EXPECT_TRUE(library.FirstMissingExport({"CreateDeviceTreeUI", "DumpOTP"}).isEmpty());
    EXPECT_EQ(library.Resolve<GetStorageModeFn>("GetStorageMode")(0, 0), 4);
}

TEST(LibraryLoaderTest, MissingExportIsNamedNotFatal) {
    LoadedLibrary library(QStringLiteral("FakeHubLacking.dll"));
    ASSERT_TRUE(library.Load()) << library.ErrorString().toStdString();
    EXPECT_EQ(library.ResolveAddress("DumpOTP"), nullptr);
    EXPECT_EQ(library.FirstMissingExport({"CreateDeviceTreeUI", "DumpOTP", "GetUUID"}),
              QStringLiteral("DumpOTP"));
}

TEST(LibraryLoaderTest, MissingLibraryIsAResult) {
    LoadedLibrary library(QStringLiteral("NoSuchLibrary.dll"));
    EXPECT_FALSE(library.Load());
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_FALSE(library.ErrorString().isEmpty());
    EXPECT_EQ(library.ResolveAddress("CreateDeviceTreeUI"), nullptr);
    EXPECT_EQ(library.FirstMissingExport({"CreateDeviceTreeUI"}),
              QStringLiteral("CreateDeviceTreeUI"));
}

TEST(LibraryLoaderTest, EveryHandleReachesTheSameLibrary) {
    LoadedLibrary first(QStringLiteral("FakeHubComplete.dll"));
    LoadedLibrary second(QStringLiteral("FakeHubComplete.dll"));
    ASSERT_TRUE(first.Load());
    ASSERT_TRUE(second.Load());
    EXPECT_EQ(first.ResolveAddress("GetHubStatus"), second.ResolveAddress("GetHubStatus"));
    EXPECT_EQ(first.Resolve<FakeLoadCountFn>("FakeLoadCount")(), 1);
    // Letting go of one handle keeps the library for the other.
    first.Unload();
    ASSERT_TRUE(second.IsLoaded());
    EXPECT_EQ(second.Resolve<GetStorageModeFn>("GetStorageMode")(1, 1), 4);
}

} // namespace
