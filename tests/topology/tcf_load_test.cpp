#include "topology/tcf_data.h"

#include "test_files.h"
#include "topology/ini_document.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

const std::string kSchemeHub = "[1-1]\r\n"
                               "UINAME=Main hub\r\n"
                               "ISHUB=1\r\n"
                               "PTYPE=1\r\n"
                               "MEMTYPE=0\r\n"
                               "VERIFY=1\r\n"
                               "DOPROGRAM=1\r\n"
                               "BCFGFILE=/cfg/main.cfg\r\n"
                               "SERTYPE=2\r\n"
                               "SERALPHA=KX\r\n"
                               "SERSTART=0100\r\n"
                               "SERMAX=0999\r\n"
                               "SERINC=5\r\n"
                               "SERCURRENT=0105\r\n"
                               "SERHEXFMT=0\r\n";

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

// Every field at its new-node value, as a non-hub node must come out of a load.
void ExpectNewNodeValues(const TcfItem& item) {
    EXPECT_FALSE(item.isHub);
    EXPECT_EQ(item.partType, kPartNotRecognized);
    EXPECT_EQ(item.memoryType, kMemoryNone);
    EXPECT_TRUE(item.configFile.isEmpty());
    EXPECT_FALSE(item.verify);
    EXPECT_FALSE(item.programRequired);
    EXPECT_EQ(item.serialType, kSerialNone);
    EXPECT_TRUE(item.serialAlpha.isEmpty() && item.serialStart.isEmpty() &&
                item.serialMax.isEmpty() && item.serialCurrent.isEmpty());
    EXPECT_EQ(item.serialIncrement, 1);
    EXPECT_FALSE(item.serialHexFormat);
    EXPECT_FALSE(item.serialParamsSet);
    EXPECT_FALSE(item.saveStatus);
}

void ExpectNoSerialScheme(const TcfItem& item) {
    EXPECT_TRUE(item.serialAlpha.isEmpty() && item.serialStart.isEmpty() &&
                item.serialMax.isEmpty() && item.serialCurrent.isEmpty());
    EXPECT_EQ(item.serialIncrement, 1);
    EXPECT_FALSE(item.serialHexFormat);
    EXPECT_FALSE(item.serialParamsSet);
}

struct LoadCase {
    const char* name;
    std::string file;
    bool loaded;
    std::vector<QString> topologies;
    std::function<void(const CTCFData&)> check;
};

TEST(TcfLoadTest, LoadsTheNodesOfTheFile) {
    const std::string fiveNodes = "[Header]\r\nCount=1\r\n[1-1]\r\n[1-2]\r\n[1-3]\r\n[1-4]\r\n"
                                  "[1-5]\r\n";
    const LoadCase cases[] = {
        {"Count missing", "[Header]\r\nVersion=2.0\r\n[1-1]\r\nISHUB=1\r\n", false, {}, nullptr},
        {"Count 0", "[Header]\r\nCount=0\r\n[1-1]\r\nISHUB=1\r\n", false, {}, nullptr},
        {"Count negative", "[Header]\r\nCount=-2\r\n[1-1]\r\nISHUB=1\r\n", false, {}, nullptr},
        {"Count not a number", "[Header]\r\nCount=many\r\n[1-1]\r\n", false, {}, nullptr},
        {"Count 1 with five sections",
         fiveNodes,
         true,
         {QStringLiteral("1-1"), QStringLiteral("1-2"), QStringLiteral("1-3"),
          QStringLiteral("1-4"), QStringLiteral("1-5")},
         nullptr},
        {"Count without node sections", "[Header]\r\nCount=3\r\n", true, {}, nullptr},
        {"scheme hub reads every key",
         "[Header]\r\nCount=1\r\nVersion=2.0\r\n" + kSchemeHub,
         true,
         {QStringLiteral("1-1")},
         [](const CTCFData& store) {
             const TcfItem& item = store.Item(0);
             EXPECT_EQ(item.uiLabel, QStringLiteral("Main hub"));
             EXPECT_TRUE(item.isHub);
             EXPECT_EQ(item.partType, kPartAsterFamily);
             EXPECT_EQ(item.memoryType, kMemorySpiPartialCfg);
             EXPECT_TRUE(item.verify);
             EXPECT_TRUE(item.programRequired);
             EXPECT_EQ(item.configFile, QStringLiteral("/cfg/main.cfg"));
             EXPECT_EQ(item.serialType, kSerialSchemeDec);
             EXPECT_EQ(item.serialAlpha, QStringLiteral("KX"));
             EXPECT_EQ(item.serialStart, QStringLiteral("0100"));
             EXPECT_EQ(item.serialMax, QStringLiteral("0999"));
             EXPECT_EQ(item.serialIncrement, 5);
             EXPECT_EQ(item.serialCurrent, QStringLiteral("0105"));
             EXPECT_FALSE(item.serialHexFormat);
             EXPECT_TRUE(item.serialParamsSet);
             EXPECT_TRUE(item.configComplete);
             EXPECT_FALSE(item.saveStatus);
         }},
        {"ISHUB 0 ignores hub keys",
         "[Header]\r\nCount=1\r\n[1-1]\r\nUINAME=Dev\r\nISHUB=0\r\nPTYPE=0\r\nMEMTYPE=2\r\n"
         "BCFGFILE=/x.cfg\r\nVERIFY=1\r\nDOPROGRAM=1\r\nSERTYPE=1\r\nSERALPHA=A\r\n",
         true,
         {QStringLiteral("1-1")},
         [](const CTCFData& store) {
             EXPECT_EQ(store.Item(0).uiLabel, QStringLiteral("Dev"));
             ExpectNewNodeValues(store.Item(0));
         }},
        {"ISHUB not a number is no hub",
         "[Header]\r\nCount=1\r\n[1-1]\r\nISHUB=yes\r\nPTYPE=0\r\n",
         true,
         {QStringLiteral("1-1")},
         [](const CTCFData& store) { ExpectNewNodeValues(store.Item(0)); }},
        {"SERTYPE 0 ignores serial keys",
         "[Header]\r\nCount=1\r\n[1-1]\r\nISHUB=1\r\nSERTYPE=0\r\nSERALPHA=A\r\nSERSTART=1\r\n"
         "SERMAX=9\r\nSERINC=2\r\nSERCURRENT=3\r\nSERHEXFMT=1\r\n",
         true,
         {QStringLiteral("1-1")},
         [](const CTCFData& store) {
             EXPECT_EQ(store.Item(0).serialType, kSerialCopyUuid);
             ExpectNoSerialScheme(store.Item(0));
         }},
        {"SERTYPE 3 ignores serial keys",
         "[Header]\r\nCount=1\r\n[1-1]\r\nISHUB=1\r\nSERTYPE=3\r\nSERALPHA=A\r\nSERINC=2\r\n"
         "SERHEXFMT=1\r\n",
         true,
         {QStringLiteral("1-1")},
         [](const CTCFData& store) {
             EXPECT_EQ(store.Item(0).serialType, kSerialNone);
             ExpectNoSerialScheme(store.Item(0));
         }},
        {"hub without PTYPE, MEMTYPE, SERTYPE",
         "[Header]\r\nCount=1\r\n[1-1]\r\nISHUB=1\r\n",
         true,
         {QStringLiteral("1-1")},
         [](const CTCFData& store) {
             EXPECT_TRUE(store.Item(0).isHub);
             EXPECT_EQ(store.Item(0).partType, kPartNotRecognized);
             EXPECT_EQ(store.Item(0).memoryType, kMemoryNone);
             EXPECT_EQ(store.Item(0).serialType, kSerialNone);
             EXPECT_TRUE(store.Item(0).configComplete);
         }},
        {"odd integers",
         "[Header]\r\nCount= 2x\r\n[1-1]\r\nISHUB= -1\r\nPTYPE=7\r\nMEMTYPE=\r\n"
         "SERTYPE=1junk\r\nSERINC=\r\nSERHEXFMT=99999999999\r\n",
         true,
         {QStringLiteral("1-1")},
         [](const CTCFData& store) {
             const TcfItem& item = store.Item(0);
             EXPECT_TRUE(item.isHub);
             EXPECT_EQ(item.partType, 7); // no value is validated on load
             EXPECT_EQ(item.memoryType, kMemoryNone);
             EXPECT_EQ(item.serialType, kSerialSchemeHex);
             EXPECT_EQ(item.serialIncrement, 1);
             EXPECT_TRUE(item.serialHexFormat);
         }},
        {"300-character UINAME keeps 259",
         "[Header]\r\nCount=1\r\n[1-1]\r\nUINAME=" + std::string(300, 'u') + "\r\n",
         true,
         {QStringLiteral("1-1")},
         [](const CTCFData& store) {
             EXPECT_EQ(store.Item(0).uiLabel, QString(259, QLatin1Char('u')));
         }},
        {"long texts keep 259 characters, not bytes",
         "[Header]\r\nCount=1\r\n[1-1]\r\nISHUB=1\r\nBCFGFILE=/" + Repeat("\xC3\xA9", 300) + "\r\n",
         true,
         {QStringLiteral("1-1")},
         [](const CTCFData& store) { EXPECT_EQ(store.Item(0).configFile.size(), 259); }},
        {"Header anywhere is skipped, the first section is a node",
         "[1-1]\r\nUINAME=first\r\n[Header]\r\nCount=1\r\n[1-2]\r\n",
         true,
         {QStringLiteral("1-1"), QStringLiteral("1-2")},
         [](const CTCFData& store) { EXPECT_EQ(store.Item(0).uiLabel, QStringLiteral("first")); }},
        {"a second Header is no node",
         "[Header]\r\nCount=1\r\n[1-1]\r\n[HEADER]\r\nISHUB=1\r\n",
         true,
         {QStringLiteral("1-1")},
         nullptr},
        {"repeated section reads the first",
         "[Header]\r\nCount=1\r\n[1-1]\r\nUINAME=a\r\nISHUB=1\r\nPTYPE=0\r\n[1-2]\r\n"
         "[1-1]\r\nUINAME=b\r\nISHUB=0\r\n",
         true,
         {QStringLiteral("1-1"), QStringLiteral("1-2"), QStringLiteral("1-1")},
         [](const CTCFData& store) {
             EXPECT_EQ(store.Item(2).uiLabel, QStringLiteral("a"));
             EXPECT_TRUE(store.Item(2).isHub);
             EXPECT_EQ(store.Item(2).partType, kPartFennel);
         }},
        {"section names differing in case share the first's keys",
         "[Header]\r\nCount=1\r\n[Port-A]\r\nUINAME=a\r\n[port-a]\r\nUINAME=b\r\n",
         true,
         {QStringLiteral("Port-A"), QStringLiteral("port-a")},
         [](const CTCFData& store) { EXPECT_EQ(store.Item(1).uiLabel, QStringLiteral("a")); }},
        {"8-bit and UTF-8 texts",
         "\xEF\xBB\xBF[Header]\nCount=1\n[1-1]\nUINAME=Caf\xE9\nISHUB=1\n"
         "BCFGFILE=/d\xC3\xA9j\xC3\xA0/a.cfg",
         true,
         {QStringLiteral("1-1")},
         [](const CTCFData& store) {
             EXPECT_EQ(store.Item(0).uiLabel, QStringLiteral("Caf\u00E9"));
             EXPECT_EQ(store.Item(0).configFile, QStringLiteral("/d\u00E9j\u00E0/a.cfg"));
         }},
    };
    const QString file = SandboxPath(QStringLiteral("load.tcf"));
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(file, c.file);
        CTCFData store;
        EXPECT_EQ(store.LoadTopology(file), c.loaded);
        std::vector<QString> topologies;
        for (int i = 0; i < store.Count(); ++i) {
            topologies.push_back(store.Item(i).topology);
        }
        EXPECT_EQ(topologies, c.topologies);
        if (c.check && store.Count() == static_cast<int>(c.topologies.size())) {
            c.check(store);
        }
    }
}

TEST(TcfLoadTest, MissingFileOrNameLoadsNothing) {
    CTCFData store;
    store.SetTcfItem(QStringLiteral("1-9"), QString());
    EXPECT_FALSE(store.LoadTopology(QString()));
    EXPECT_FALSE(store.LoadTopology(SandboxPath(QStringLiteral("absent.tcf"))));
    const QString folder = SandboxPath(QStringLiteral("folder.tcf"));
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_FALSE(store.LoadTopology(folder));
    EXPECT_FALSE(store.LoadTopology(QStringLiteral("/dev/zero"))); // no endless read
    EXPECT_EQ(store.Count(), 1);
}

TEST(TcfLoadTest, LoadAppendsToTheList) {
    const QString file = SandboxPath(QStringLiteral("append.tcf"));
    WriteBytes(file, "[Header]\r\nCount=1\r\n[1-1]\r\nUINAME=loaded\r\n");
    CTCFData store;
    store.SetTcfItem(QStringLiteral("1-9"), QStringLiteral("kept"));
    ASSERT_TRUE(store.LoadTopology(file));
    ASSERT_EQ(store.Count(), 2);
    EXPECT_EQ(store.Item(0).uiLabel, QStringLiteral("kept"));
    EXPECT_EQ(store.Item(1).uiLabel, QStringLiteral("loaded"));
    EXPECT_EQ(store.GetTcfItem(QStringLiteral("1-1")), 1);
}

// A file far beyond any topology is refused before it is indexed, and the serial write-back
// does not replace what it could not read.
TEST(TcfLoadTest, OversizedFileIsRefused) {
    const QString file = SandboxPath(QStringLiteral("huge.tcf"));
    WriteBytes(file, "[Header]\r\nCount=1\r\n[1-1]\r\nISHUB=1\r\nSERTYPE=1\r\n;");
    QFile grow(file);
    ASSERT_TRUE(grow.resize(ini::IniDocument::kMaxFileSize + 1)); // sparse: the tail reads as NULs
    ini::IniDocument document;
    QString reason;
    EXPECT_EQ(document.Read(file, &reason), ini::IniDocument::ReadStatus::kFailed);
    EXPECT_EQ(reason, QStringLiteral("the file is larger than 32 MiB"));
    EXPECT_EQ(document.SectionCount(), 0);

    CTCFData store;
    EXPECT_FALSE(store.LoadTopology(file));
    store.SetTcfItem(QStringLiteral("1-1"), QString());
    store.SetAsHubItem(0, true);
    store.SetSerialType(0, kSerialSchemeHex);
    TcfWriteError error;
    EXPECT_FALSE(store.SaveSerialCurrent(file, &error));
    EXPECT_EQ(error.kind, TcfWriteError::kWriteFailed);
    EXPECT_EQ(QFileInfo(file).size(), ini::IniDocument::kMaxFileSize + 1);
}

} // namespace
