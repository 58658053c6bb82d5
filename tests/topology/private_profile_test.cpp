#include "topology/private_profile.h"

#include "test_files.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using ini::GetPrivateProfileInt;
using ini::GetPrivateProfileSectionNames;
using ini::GetPrivateProfileString;
using ini::WritePrivateProfileString;

const QString kDefault = QStringLiteral("<default>");

TEST(PrivateProfileTest, KeyByKeyWritesBuildTheFileInOrder) {
    const QString file = SandboxPath(QStringLiteral("new.tcf"));
    ASSERT_TRUE(WritePrivateProfileString(QStringLiteral("Header"), QStringLiteral("Count"),
                                          QStringLiteral("2"), file));
    ASSERT_TRUE(WritePrivateProfileString(QStringLiteral("1-1"), QStringLiteral("UINAME"),
                                          QStringLiteral("Hub"), file));
    ASSERT_TRUE(WritePrivateProfileString(QStringLiteral("header"), QStringLiteral("Version"),
                                          QStringLiteral("2.0"), file));
    ASSERT_TRUE(WritePrivateProfileString(QStringLiteral("1-1"), QStringLiteral("uiname"),
                                          QStringLiteral("Hub A"), file));
    EXPECT_EQ(ReadBytes(file), "[Header]\r\nCount=2\r\nVersion=2.0\r\n[1-1]\r\nUINAME=Hub A\r\n");
}

TEST(PrivateProfileTest, ReadsValuesOrTheCallersDefault) {
    const QString file = SandboxPath(QStringLiteral("read.ini"));
    WriteBytes(file, "[Header]\nCount =  12  \nVersion=\nName=Caf\xC3\xA9\n[Node]\nISHUB=yes\n");
    const QString header = QStringLiteral("HEADER");
    EXPECT_EQ(GetPrivateProfileString(header, QStringLiteral("count"), kDefault, file),
              QStringLiteral("12"));
    EXPECT_EQ(GetPrivateProfileString(header, QStringLiteral("Version"), kDefault, file),
              QString());
    EXPECT_EQ(GetPrivateProfileString(header, QStringLiteral("Name"), kDefault, file),
              QStringLiteral("Caf\u00E9"));
    EXPECT_EQ(GetPrivateProfileString(header, QStringLiteral("Absent"), kDefault, file), kDefault);
    EXPECT_EQ(
        GetPrivateProfileString(QStringLiteral("Absent"), QStringLiteral("Count"), kDefault, file),
        kDefault);
    EXPECT_EQ(GetPrivateProfileString(header, QStringLiteral("Count"), kDefault,
                                      SandboxPath(QStringLiteral("missing.ini"))),
              kDefault);
    EXPECT_EQ(GetPrivateProfileInt(header, QStringLiteral("Count"), -1, file), 12);
    EXPECT_EQ(GetPrivateProfileInt(header, QStringLiteral("Absent"), -1, file), -1);
    EXPECT_EQ(GetPrivateProfileInt(header, QStringLiteral("Version"), -1, file), -1);
    EXPECT_EQ(GetPrivateProfileInt(QStringLiteral("node"), QStringLiteral("ISHUB"), 1, file), 0);
}

TEST(PrivateProfileTest, ListsSectionNamesInFileOrder) {
    const QString file = SandboxPath(QStringLiteral("names.ini"));
    WriteBytes(file, "[Header]\r\n[1-1]\r\n[1-1-2]\r\n[1-1]\r\n[Caf\xE9]");
    EXPECT_EQ(GetPrivateProfileSectionNames(file),
              (QStringList{QStringLiteral("Header"), QStringLiteral("1-1"), QStringLiteral("1-1-2"),
                           QStringLiteral("1-1"), QStringLiteral("Caf\u00E9")}));
    EXPECT_TRUE(GetPrivateProfileSectionNames(SandboxPath(QStringLiteral("none.ini"))).isEmpty());
}

TEST(PrivateProfileTest, RefusedWriteLeavesTheFileAsItWas) {
    const QString file = SandboxPath(QStringLiteral("keep.ini"));
    const std::string before = "[A]\nx=1\n";
    WriteBytes(file, before);
    QString error;
    EXPECT_FALSE(WritePrivateProfileString(QStringLiteral("A"), QStringLiteral("x"),
                                           QStringLiteral("1\r\n[B]"), file, &error));
    EXPECT_EQ(error, QStringLiteral("the value holds a line break"));
    EXPECT_FALSE(WritePrivateProfileString(QStringLiteral("A]"), QStringLiteral("x"),
                                           QStringLiteral("1"), file, &error));
    EXPECT_EQ(error, QStringLiteral("the section name holds ']'"));
    EXPECT_EQ(ReadBytes(file), before);
}

TEST(PrivateProfileTest, WriteReplacesTheFileAsAWhole) {
    const QString file = SandboxPath(QStringLiteral("atomic.ini"));
    const QString link = SandboxPath(QStringLiteral("atomic.link"));
    WriteBytes(file, "[A]\r\nx=1\r\n");
    ASSERT_EQ(::link(qPrintable(file), qPrintable(link)), 0);
    ASSERT_TRUE(WritePrivateProfileString(QStringLiteral("A"), QStringLiteral("x"),
                                          QStringLiteral("2"), file));
    // The new content went into a new file renamed over the name; the old file was never
    // opened for writing, so its other name still shows the old bytes.
    EXPECT_EQ(ReadBytes(file), "[A]\r\nx=2\r\n");
    EXPECT_EQ(ReadBytes(link), "[A]\r\nx=1\r\n");
}

TEST(PrivateProfileTest, WriteFailureIsReported) {
    const QString folder = SandboxPath(QStringLiteral("folder.ini"));
    ASSERT_TRUE(QDir().mkdir(folder));
    QString error;
    EXPECT_FALSE(WritePrivateProfileString(QStringLiteral("A"), QStringLiteral("x"),
                                           QStringLiteral("1"), folder, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(folder).isDir());
    error.clear();
    EXPECT_FALSE(
        WritePrivateProfileString(QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("1"),
                                  SandboxPath(QStringLiteral("no/such/dir/x.ini")), &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
