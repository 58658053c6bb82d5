#include "topology/private_profile.h"
#include "topology/tcf_data.h"

#include "test_files.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kVersion = QStringLiteral("2.0");

ino_t Inode(const QString& path) {
    struct stat info {};
    return ::stat(qPrintable(path), &info) == 0 ? info.st_ino : 0;
}

int AddHub(CTCFData& store, const QString& topology, int serialType) {
    const int index = store.SetTcfItem(topology, QStringLiteral("Hub ") + topology);
    store.SetAsHubItem(index, true);
    store.SetPartType(index, kPartAsterFamily);
    store.SetMemoryType(index, kMemorySpiPartialCfg);
    store.SetVerifyOption(index, true);
    store.SetSerialType(index, serialType);
    store.SetSerialParams(index, QStringLiteral("KX"), QStringLiteral("0100"),
                          QStringLiteral("0999"), 5, QStringLiteral("0105"), false);
    store.SetSaveStatus(index);
    return index;
}

int AddDevice(CTCFData& store, const QString& topology) {
    const int index = store.SetTcfItem(topology, QStringLiteral("Dev"));
    store.SetSaveStatus(index);
    return index;
}

// Key names of one section of a file written with CR LF line ends, in file order.
std::vector<std::string> SectionKeys(const std::string& bytes, const std::string& section) {
    std::vector<std::string> keys;
    bool inside = false;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        const std::string line = bytes.substr(pos, end - pos);
        pos = end + 2;
        if (!line.empty() && line.front() == '[') {
            inside = line == "[" + section + "]";
        } else if (inside) {
            keys.push_back(line.substr(0, line.find('=')));
        }
    }
    return keys;
}

const std::string kExampleFile = "[Header]\r\n"
                                 "Count=2\r\n"
                                 "Version=2.0\r\n"
                                 "[1-1]\r\n"
                                 "UINAME=Hub 1-1\r\n"
                                 "ISHUB=1\r\n"
                                 "PTYPE=1\r\n"
                                 "MEMTYPE=0\r\n"
                                 "VERIFY=1\r\n"
                                 "DOPROGRAM=0\r\n"
                                 "BCFGFILE=\r\n"
                                 "SERTYPE=2\r\n"
                                 "SERALPHA=KX\r\n"
                                 "SERSTART=0100\r\n"
                                 "SERMAX=0999\r\n"
                                 "SERINC=5\r\n"
                                 "SERCURRENT=0105\r\n"
                                 "SERHEXFMT=0\r\n"
                                 "[1-1-2]\r\n"
                                 "UINAME=Dev\r\n"
                                 "ISHUB=0\r\n";

TEST(TcfSaveTest, WritesHeaderThenMarkedNodesWithTheirKeys) {
    CTCFData store;
    AddHub(store, QStringLiteral("1-1"), kSerialSchemeDec);
    AddDevice(store, QStringLiteral("1-1-2"));
    const QString file = SandboxPath(QStringLiteral("example.tcf"));
    TcfWriteError error;
    ASSERT_TRUE(store.SaveTopology(file, kVersion, &error));
    EXPECT_EQ(error.kind, TcfWriteError::kNone);
    EXPECT_EQ(ReadBytes(file), kExampleFile);
}

TEST(TcfSaveTest, KeySetDependsOnTheKindOfNode) {
    const std::vector<std::string> plain = {"UINAME", "ISHUB"};
    const std::vector<std::string> hub = {"UINAME", "ISHUB",     "PTYPE",    "MEMTYPE",
                                          "VERIFY", "DOPROGRAM", "BCFGFILE", "SERTYPE"};
    std::vector<std::string> scheme = hub;
    for (const char* key :
         {"SERALPHA", "SERSTART", "SERMAX", "SERINC", "SERCURRENT", "SERHEXFMT"}) {
        scheme.push_back(key);
    }
    struct Case {
        bool isHub;
        int serialType;
        const std::vector<std::string>& keys;
    };
    const Case cases[] = {
        {false, kSerialSchemeHex, plain}, {true, kSerialCopyUuid, hub},
        {true, kSerialSchemeHex, scheme}, {true, kSerialSchemeDec, scheme},
        {true, kSerialNone, hub},         {true, 9, hub},
    };
    CTCFData store;
    for (const Case& c : cases) {
        const int index =
            AddHub(store, QStringLiteral("1-%1").arg(store.Count() + 1), c.serialType);
        store.SetAsHubItem(index, c.isHub);
    }
    const QString file = SandboxPath(QStringLiteral("keys.tcf"));
    ASSERT_TRUE(store.SaveTopology(file, kVersion));
    const std::string bytes = ReadBytes(file);
    for (int i = 0; i < store.Count(); ++i) {
        EXPECT_EQ(SectionKeys(bytes, "1-" + std::to_string(i + 1)), cases[i].keys) << i;
    }
    EXPECT_EQ(SectionKeys(bytes, "Header"), (std::vector<std::string>{"Count", "Version"}));
}

TEST(TcfSaveTest, UnmarkedNodesCountButAreNotWritten) {
    CTCFData store;
    AddDevice(store, QStringLiteral("1-1"));
    store.SetTcfItem(QStringLiteral("1-2"), QStringLiteral("absent"));
    AddDevice(store, QStringLiteral("1-3"));
    const QString file = SandboxPath(QStringLiteral("three.tcf"));
    ASSERT_TRUE(store.SaveTopology(file, kVersion));
    EXPECT_EQ(ini::GetPrivateProfileInt(QStringLiteral("Header"), QStringLiteral("Count"), 0, file),
              3);
    EXPECT_EQ(
        ini::GetPrivateProfileSectionNames(file),
        (QStringList{QStringLiteral("Header"), QStringLiteral("1-1"), QStringLiteral("1-3")}));
}

// The file is exactly what writing key by key into an empty file gives, whatever was there.
TEST(TcfSaveTest, MatchesTheKeyByKeyWriterFromAnEmptyFile) {
    CTCFData store;
    AddHub(store, QStringLiteral("1-1"), kSerialSchemeHex);
    AddDevice(store, QStringLiteral("1-2"));
    AddDevice(store, QStringLiteral("1-1")); // same section: its keys land in the first one
    AddHub(store, QStringLiteral("header"), kSerialNone);
    store.SetConfigFile(0, QStringLiteral("/d\u00E9j\u00E0/a.cfg"));

    const QString reference = SandboxPath(QStringLiteral("reference.tcf"));
    auto put = [&](const QString& section, const char* key, const QString& value) {
        ASSERT_TRUE(
            ini::WritePrivateProfileString(section, QString::fromLatin1(key), value, reference));
    };
    put(QStringLiteral("Header"), "Count", QString::number(store.Count()));
    put(QStringLiteral("Header"), "Version", kVersion);
    for (int i = 0; i < store.Count(); ++i) {
        const TcfItem& item = store.Item(i);
        put(item.topology, "UINAME", item.uiLabel);
        put(item.topology, "ISHUB", item.isHub ? QStringLiteral("1") : QStringLiteral("0"));
        if (!item.isHub) {
            continue;
        }
        put(item.topology, "PTYPE", QString::number(item.partType));
        put(item.topology, "MEMTYPE", QString::number(item.memoryType));
        put(item.topology, "VERIFY", item.verify ? QStringLiteral("1") : QStringLiteral("0"));
        put(item.topology, "DOPROGRAM",
            item.programRequired ? QStringLiteral("1") : QStringLiteral("0"));
        put(item.topology, "BCFGFILE", item.configFile);
        put(item.topology, "SERTYPE", QString::number(item.serialType));
        if (item.serialType == kSerialSchemeHex || item.serialType == kSerialSchemeDec) {
            put(item.topology, "SERALPHA", item.serialAlpha);
            put(item.topology, "SERSTART", item.serialStart);
            put(item.topology, "SERMAX", item.serialMax);
            put(item.topology, "SERINC", QString::number(item.serialIncrement));
            put(item.topology, "SERCURRENT", item.serialCurrent);
            put(item.topology, "SERHEXFMT",
                item.serialHexFormat ? QStringLiteral("1") : QStringLiteral("0"));
        }
    }

    const QString file = SandboxPath(QStringLiteral("saved.tcf"));
    WriteBytes(file, "[Header]\r\nCount=9\r\nVersion=1.0\r\n[9-9]\r\nUINAME=old\r\n; note\r\n");
    ASSERT_TRUE(store.SaveTopology(file, kVersion));
    EXPECT_EQ(ReadBytes(file), ReadBytes(reference));
}

TEST(TcfSaveTest, SavedFileLoadsBackUnchanged) {
    const QString file = SandboxPath(QStringLiteral("round.tcf"));
    WriteBytes(file, kExampleFile);
    CTCFData store;
    ASSERT_TRUE(store.LoadTopology(file));
    for (int i = 0; i < store.Count(); ++i) {
        store.SetSaveStatus(i);
    }
    const QString again = SandboxPath(QStringLiteral("again.tcf"));
    ASSERT_TRUE(store.SaveTopology(again, kVersion));
    EXPECT_EQ(ReadBytes(again), kExampleFile);

    CTCFData reloaded;
    ASSERT_TRUE(reloaded.LoadTopology(again));
    ASSERT_EQ(reloaded.Count(), store.Count());
    for (int i = 0; i < store.Count(); ++i) {
        const TcfItem& a = store.Item(i);
        const TcfItem& b = reloaded.Item(i);
        EXPECT_EQ(a.topology, b.topology);
        EXPECT_EQ(a.uiLabel, b.uiLabel);
        EXPECT_EQ(a.isHub, b.isHub);
        EXPECT_EQ(a.partType, b.partType);
        EXPECT_EQ(a.memoryType, b.memoryType);
        EXPECT_EQ(a.configFile, b.configFile);
        EXPECT_EQ(a.verify, b.verify);
        EXPECT_EQ(a.programRequired, b.programRequired);
        EXPECT_EQ(a.serialType, b.serialType);
        EXPECT_EQ(a.serialAlpha, b.serialAlpha);
        EXPECT_EQ(a.serialStart, b.serialStart);
        EXPECT_EQ(a.serialMax, b.serialMax);
        EXPECT_EQ(a.serialIncrement, b.serialIncrement);
        EXPECT_EQ(a.serialCurrent, b.serialCurrent);
        EXPECT_EQ(a.serialHexFormat, b.serialHexFormat);
        EXPECT_EQ(a.serialParamsSet, b.serialParamsSet);
    }
}

struct BadValueCase {
    const char* key;
    std::function<void(CTCFData&, int)> spoil;
};

TEST(TcfSaveTest, LineBreakOrNulInAWrittenValueRefusesTheWholeSave) {
    const QString bad = QStringLiteral("/cfg/a.cfg\r\n[1-1]\r\nISHUB=0");
    const BadValueCase cases[] = {
        {"UINAME", [&](CTCFData& s, int i) { s.SetUILabel(i, bad); }},
        {"BCFGFILE", [](CTCFData& s, int i) { s.SetConfigFile(i, QStringLiteral("/a\nb")); }},
        {"BCFGFILE", [](CTCFData& s, int i) { s.SetConfigFile(i, QStringLiteral("/a\rb")); }},
        {"SERALPHA", [](CTCFData& s, int i) { s.Item(i).serialAlpha = QStringLiteral("K\nX"); }},
        {"SERSTART", [](CTCFData& s, int i) { s.Item(i).serialStart = QStringLiteral("\n"); }},
        {"SERMAX", [](CTCFData& s, int i) { s.Item(i).serialMax = QStringLiteral("9\r"); }},
        {"SERCURRENT",
         [](CTCFData& s, int i) { s.SetSerialParamCurrentVal(i, QStringLiteral("1\n")); }},
        {"UINAME", [](CTCFData& s, int i) { s.SetUILabel(i, QStringLiteral("a") + QChar(0)); }},
    };
    const QString file = SandboxPath(QStringLiteral("bad.tcf"));
    for (const BadValueCase& c : cases) {
        SCOPED_TRACE(c.key);
        WriteBytes(file, kExampleFile);
        CTCFData store;
        AddDevice(store, QStringLiteral("1-1"));
        const int index = AddHub(store, QStringLiteral("1-2"), kSerialSchemeHex);
        c.spoil(store, index);
        const QStringList entries = FolderEntries(QDir::currentPath());
        TcfWriteError error;
        EXPECT_FALSE(store.SaveTopology(file, kVersion, &error));
        EXPECT_EQ(error.kind, TcfWriteError::kBadValue);
        EXPECT_EQ(error.node, QStringLiteral("1-2"));
        EXPECT_EQ(error.key, QLatin1String(c.key));
        EXPECT_EQ(ReadBytes(file), kExampleFile);
        EXPECT_EQ(FolderEntries(QDir::currentPath()), entries);
    }
}

TEST(TcfSaveTest, RefusalNamesNodeAndKeyForTheOperator) {
    CTCFData store;
    const int index = AddHub(store, QStringLiteral("1-1-2"), kSerialNone);
    store.SetConfigFile(index, QStringLiteral("/cfg/a\nb.cfg"));
    TcfWriteError error;
    const QString file = SandboxPath(QStringLiteral("msg.tcf"));
    EXPECT_FALSE(store.SaveTopology(file, kVersion, &error));
    EXPECT_EQ(error.Message(file),
              QStringLiteral("Cannot write 1-1-2 BCFGFILE: the value holds a line break"));
    EXPECT_FALSE(QFileInfo::exists(file));

    store.SetConfigFile(index, QString());
    store.SetUILabel(index, QStringLiteral("x") + QChar(0));
    EXPECT_FALSE(store.SaveTopology(file, kVersion, &error));
    EXPECT_EQ(error.Message(file),
              QStringLiteral("Cannot write 1-1-2 UINAME: the value holds a NUL character"));

    store.SetUILabel(index, QString());
    EXPECT_FALSE(store.SaveTopology(file, QStringLiteral("2.0\r\n[x]"), &error));
    EXPECT_EQ(error.Message(file),
              QStringLiteral("Cannot write Header Version: the value holds a line break"));

    CTCFData named;
    AddDevice(named, QStringLiteral("1-1]"));
    EXPECT_FALSE(named.SaveTopology(file, kVersion, &error));
    EXPECT_EQ(error.kind, TcfWriteError::kBadValue);
    EXPECT_TRUE(error.key.isEmpty());
    EXPECT_EQ(error.Message(file),
              QStringLiteral("Cannot write 1-1]: the topology string holds ']'"));
    EXPECT_FALSE(QFileInfo::exists(file));
}

TEST(TcfSaveTest, ValuesThatAreNotWrittenDoNotBlockTheSave) {
    CTCFData store;
    const int device = AddDevice(store, QStringLiteral("1-1"));
    store.SetConfigFile(device, QStringLiteral("/a\nb")); // a non-hub's file is not written
    const int uuidHub = AddHub(store, QStringLiteral("1-2"), kSerialCopyUuid);
    store.SetSerialParamCurrentVal(uuidHub, QStringLiteral("x\ny")); // no counter scheme
    const int absent = store.SetTcfItem(QStringLiteral("1-3"), QStringLiteral("a\r\nb"));
    (void)absent; // not marked for saving
    EXPECT_TRUE(store.SaveTopology(SandboxPath(QStringLiteral("ok.tcf")), kVersion));
}

TEST(TcfSaveTest, WriteFailureIsReportedAndLeavesNothingBehind) {
    CTCFData store;
    AddDevice(store, QStringLiteral("1-1"));
    TcfWriteError error;

    const QString folder = SandboxPath(QStringLiteral("folder.tcf"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QStringList entries = FolderEntries(QDir::currentPath());
    EXPECT_FALSE(store.SaveTopology(folder, kVersion, &error));
    EXPECT_EQ(error.kind, TcfWriteError::kWriteFailed);
    EXPECT_FALSE(error.detail.isEmpty());
    EXPECT_TRUE(error.Message(folder).startsWith(QStringLiteral("Cannot write ") + folder +
                                                 QStringLiteral(": ")));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(FolderEntries(QDir::currentPath()), entries);

    const QString nowhere = SandboxPath(QStringLiteral("missing/dir/t.tcf"));
    EXPECT_FALSE(store.SaveTopology(nowhere, kVersion, &error));
    EXPECT_EQ(error.kind, TcfWriteError::kWriteFailed);

    AddHub(store, QStringLiteral("1-2"), kSerialSchemeDec);
    error = TcfWriteError{};
    EXPECT_FALSE(store.SaveSerialCurrent(folder, &error));
    EXPECT_EQ(error.kind, TcfWriteError::kWriteFailed);
    EXPECT_EQ(FolderEntries(QDir::currentPath()), entries);
}

TEST(TcfSaveTest, ReadOnlyFolderKeepsTheOldFile) {
    const QString folder = SandboxPath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString file = folder + QStringLiteral("/t.tcf");
    WriteBytes(file, kExampleFile);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (::access(qPrintable(folder), W_OK) == 0) {
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        GTEST_SKIP() << "permissions do not bind this user";
    }
    CTCFData store;
    AddHub(store, QStringLiteral("1-1"), kSerialSchemeDec);
    store.SetSerialParamCurrentVal(0, QStringLiteral("0110"));
    TcfWriteError error;
    EXPECT_FALSE(store.SaveTopology(file, kVersion, &error));
    EXPECT_EQ(error.kind, TcfWriteError::kWriteFailed);
    EXPECT_FALSE(store.SaveSerialCurrent(file, &error));
    EXPECT_EQ(error.kind, TcfWriteError::kWriteFailed);
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(ReadBytes(file), kExampleFile);
    EXPECT_EQ(FolderEntries(folder), QStringList{QStringLiteral("t.tcf")});
}

TEST(TcfSaveTest, SavesReplaceTheFileInOneStep) {
    const QString file = SandboxPath(QStringLiteral("atomic.tcf"));
    const QString link = SandboxPath(QStringLiteral("atomic.link"));
    WriteBytes(file, kExampleFile);
    ASSERT_EQ(::link(qPrintable(file), qPrintable(link)), 0);
    CTCFData store;
    ASSERT_TRUE(store.LoadTopology(file));
    const QStringList entries = FolderEntries(QDir::currentPath());
    store.SetSerialParamCurrentVal(0, QStringLiteral("0110"));
    ASSERT_TRUE(store.SaveSerialCurrent(file));
    EXPECT_EQ(ReadBytes(link), kExampleFile); // the old file itself was never rewritten
    store.SetSaveStatus(0);
    ASSERT_TRUE(store.SaveTopology(file, kVersion));
    EXPECT_EQ(ReadBytes(link), kExampleFile);
    EXPECT_EQ(FolderEntries(QDir::currentPath()), entries); // no temporary file left over
}

TEST(TcfSaveTest, SerialWriteBackChangesOnlyCounterLines) {
    const std::string before = "; bench A\n"
                               "[Header]\nCount=3\nVersion=2.0\n\n"
                               "[1-1]\nUINAME=Top\nISHUB=1\nSERTYPE=1\nSERALPHA=A\n"
                               "SERSTART=0001\nSERMAX=00FF\nSERINC=1\n serCurrent = 0005 \n"
                               "SERHEXFMT=1\n\n"
                               "[1-2]\nISHUB=1\nSERTYPE=0\nSERCURRENT=keep\nNOTE=Caf\xE9\n\n"
                               "[1-3]\nISHUB=1\nSERTYPE=2\nSERSTART=10\nSERMAX=99\n\n"
                               "[1-5]\nISHUB=0\nSERTYPE=1\nSERCURRENT=7";
    const std::string after = "; bench A\n"
                              "[Header]\nCount=3\nVersion=2.0\n\n"
                              "[1-1]\nUINAME=Top\nISHUB=1\nSERTYPE=1\nSERALPHA=A\n"
                              "SERSTART=0001\nSERMAX=00FF\nSERINC=1\n serCurrent = 0006\n"
                              "SERHEXFMT=1\n\n"
                              "[1-2]\nISHUB=1\nSERTYPE=0\nSERCURRENT=keep\nNOTE=Caf\xE9\n\n"
                              "[1-3]\nISHUB=1\nSERTYPE=2\nSERSTART=10\nSERMAX=99\n"
                              "SERCURRENT=12\r\n\n"
                              "[1-5]\nISHUB=0\nSERTYPE=1\nSERCURRENT=7\r\n"
                              "[1-4]\r\nSERCURRENT=DONE\r\n";
    const QString file = SandboxPath(QStringLiteral("serial.tcf"));
    WriteBytes(file, before);
    CTCFData store;
    ASSERT_TRUE(store.LoadTopology(file));
    ASSERT_EQ(store.Count(), 4);
    store.SetSerialParamCurrentVal(0, QStringLiteral("0006"));
    store.SetSerialParamCurrentVal(1, QStringLiteral("zzz")); // Copy UUID: not written
    store.SetSerialParamCurrentVal(2, QStringLiteral("12"));
    store.SetSerialParamCurrentVal(3, QStringLiteral("8")); // not a hub: not written
    const int added = AddHub(store, QStringLiteral("1-4"), kSerialSchemeDec);
    store.SetSerialParamCurrentVal(added, QStringLiteral("DONE"));
    TcfWriteError error;
    ASSERT_TRUE(store.SaveSerialCurrent(file, &error));
    EXPECT_EQ(error.kind, TcfWriteError::kNone);
    EXPECT_EQ(ReadBytes(file), after);
}

TEST(TcfSaveTest, SerialWriteBackWithoutCountersLeavesTheFileAlone) {
    CTCFData store;
    AddHub(store, QStringLiteral("1-1"), kSerialCopyUuid);
    AddDevice(store, QStringLiteral("1-2"));
    const QString missing = SandboxPath(QStringLiteral("never.tcf"));
    EXPECT_TRUE(store.SaveSerialCurrent(missing));
    EXPECT_FALSE(QFileInfo::exists(missing));

    const QString file = SandboxPath(QStringLiteral("same.tcf"));
    WriteBytes(file, kExampleFile);
    CTCFData loaded;
    ASSERT_TRUE(loaded.LoadTopology(file));
    const ino_t inode = Inode(file);
    EXPECT_TRUE(loaded.SaveSerialCurrent(file)); // counters as in the file: nothing to write
    EXPECT_EQ(Inode(file), inode);
    EXPECT_EQ(ReadBytes(file), kExampleFile);
}

TEST(TcfSaveTest, SerialWriteBackRefusesALineBreak) {
    const QString file = SandboxPath(QStringLiteral("refuse.tcf"));
    WriteBytes(file, kExampleFile);
    CTCFData store;
    ASSERT_TRUE(store.LoadTopology(file));
    store.SetSerialParamCurrentVal(0, QStringLiteral("0110\r\nISHUB=0"));
    TcfWriteError error;
    EXPECT_FALSE(store.SaveSerialCurrent(file, &error));
    EXPECT_EQ(error.kind, TcfWriteError::kBadValue);
    EXPECT_EQ(error.Message(file),
              QStringLiteral("Cannot write 1-1 SERCURRENT: the value holds a line break"));
    EXPECT_EQ(ReadBytes(file), kExampleFile);
}

} // namespace
