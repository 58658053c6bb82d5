#include "topology/tcf_data.h"

#include "log/indent_write.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(TcfDataTest, NewNodeHoldsTheNewNodeValues) {
    CTCFData store;
    EXPECT_EQ(store.SetTcfItem(QStringLiteral("1-1"), QStringLiteral("Hub")), 0);
    EXPECT_EQ(store.SetTcfItem(QStringLiteral("1-1"), QStringLiteral("Again")), 1);
    const TcfItem& item = store.Item(0);
    EXPECT_EQ(item.topology, QStringLiteral("1-1"));
    EXPECT_EQ(item.uiLabel, QStringLiteral("Hub"));
    EXPECT_FALSE(item.isHub);
    EXPECT_FALSE(item.saveStatus);
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
    EXPECT_TRUE(item.configComplete);
}

TEST(TcfDataTest, GetTcfItemMatchesExactlyAndTakesTheFirst) {
    CTCFData store;
    EXPECT_EQ(store.GetTcfItem(QStringLiteral("1-1")), -1);
    store.SetTcfItem(QStringLiteral("1-1"), QString());
    store.SetTcfItem(QStringLiteral("Port-A"), QString());
    store.SetTcfItem(QStringLiteral("1-2"), QString());
    store.SetTcfItem(QStringLiteral("1-2"), QString());
    EXPECT_EQ(store.GetTcfItem(QStringLiteral("Port-A")), 1);
    EXPECT_EQ(store.GetTcfItem(QStringLiteral("port-a")), -1);
    EXPECT_EQ(store.GetTcfItem(QStringLiteral("1-2")), 2);
    EXPECT_EQ(store.GetTcfItem(QStringLiteral("1-1 ")), -1);
    EXPECT_EQ(store.GetTcfItem(QStringLiteral("1")), -1);
    store.ClearTopology();
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.GetTcfItem(QStringLiteral("1-1")), -1);
    EXPECT_EQ(store.SetTcfItem(QStringLiteral("1-1"), QString()), 0);
}

TEST(TcfDataTest, AccessorsReachTheirOwnFieldOnly) {
    CTCFData store;
    store.SetTcfItem(QStringLiteral("1-1"), QString());
    const int index = store.SetTcfItem(QStringLiteral("1-2"), QString());
    store.SetPartType(index, kPartFennel);
    store.SetMemoryType(index, kMemoryOtp);
    store.SetUILabel(index, QStringLiteral("Left hub"));
    store.SetConfigFile(index, QStringLiteral("/cfg/a.cfg"));
    store.SetVerifyOption(index, true);
    store.SetProgramRequiredOption(index, true);
    store.SetAsHubItem(index, true);
    store.SetSerialType(index, kSerialSchemeHex);
    store.SetSaveStatus(index);
    EXPECT_EQ(store.GetPartType(index), kPartFennel);
    EXPECT_EQ(store.GetMemoryType(index), kMemoryOtp);
    EXPECT_EQ(store.GetUILabel(index), QStringLiteral("Left hub"));
    EXPECT_EQ(store.GetConfigFile(index), QStringLiteral("/cfg/a.cfg"));
    EXPECT_TRUE(store.GetVerifyOption(index));
    EXPECT_TRUE(store.GetProgramRequiredOption(index));
    EXPECT_TRUE(store.IsItemHub(index));
    EXPECT_EQ(store.GetSerialType(index), kSerialSchemeHex);
    EXPECT_TRUE(store.Item(index).saveStatus);
    // Setting the serial type changes no other field; the scheme is not marked accepted.
    EXPECT_FALSE(store.Item(index).serialParamsSet);
    EXPECT_TRUE(store.Item(index).serialCurrent.isEmpty());

    store.Item(index).serialParamsSet = true;
    store.SetSerialParams(index, QStringLiteral("AB"), QStringLiteral("0010"),
                          QStringLiteral("00FF"), 3, QStringLiteral("0013"), true);
    EXPECT_EQ(store.GetSerialType(index), kSerialSchemeHex);
    EXPECT_TRUE(store.Item(index).serialParamsSet);
    EXPECT_TRUE(store.Item(index).serialHexFormat);
    QString alpha, start, max, current;
    EXPECT_EQ(store.GetSerialParams(index, alpha, start, max, current), 3);
    EXPECT_EQ(alpha, QStringLiteral("AB"));
    EXPECT_EQ(start, QStringLiteral("0010"));
    EXPECT_EQ(max, QStringLiteral("00FF"));
    EXPECT_EQ(current, QStringLiteral("0013"));
    store.SetSerialParamCurrentVal(index, QStringLiteral("DONE"));
    EXPECT_EQ(store.GetSerialParamCurrentVal(index), QStringLiteral("DONE"));
    EXPECT_EQ(store.GetSerialParamAlphaVal(index), QStringLiteral("AB"));
    EXPECT_EQ(store.GetSerialParamStartVal(index), QStringLiteral("0010"));
    EXPECT_EQ(store.GetSerialParamMaxVal(index), QStringLiteral("00FF"));
    EXPECT_EQ(store.GetSerialParamIncrementVal(index), 3);

    // The first node kept its new-node values throughout.
    EXPECT_FALSE(store.IsItemHub(0));
    EXPECT_EQ(store.GetPartType(0), kPartNotRecognized);
    EXPECT_FALSE(store.Item(0).saveStatus);
}

TEST(TcfDataTest, InstanceIsOneStore) {
    EXPECT_EQ(&CTCFData::Instance(), &CTCFData::Instance());
}

TEST(TcfDataTest, VersionIsReadFromHeaderOrDefaults) {
    const QString file = SandboxPath(QStringLiteral("v.tcf"));
    WriteBytes(file, "[1-1]\r\nVersion=9\r\n[header]\r\nversion = 2.0 \r\n");
    EXPECT_EQ(CTCFData::GetTopologyVersion(file), QStringLiteral("2.0"));
    WriteBytes(file, "[Header]\r\nVersion=1.2.3.4.5.6.7.8.9.10.11\r\n");
    EXPECT_EQ(CTCFData::GetTopologyVersion(file), QStringLiteral("1.2.3.4.5.6.7.8.9.1"));
    WriteBytes(file, "[Header]\r\nCount=1\r\n");
    EXPECT_EQ(CTCFData::GetTopologyVersion(file), QStringLiteral("0.0.0"));
    EXPECT_EQ(CTCFData::GetTopologyVersion(SandboxPath(QStringLiteral("none.tcf"))),
              QStringLiteral("0.0.0"));
}

// Every store operation opens its own trace scope; the version read and the serial
// write-back do not.
TEST(TcfDataTest, OperationsOpenTheirTraceScopes) {
    CIndentWrite& writer = CIndentWrite::Instance();
    writer.SetVerbosity(3);
    CTCFData store;
    const QString file = SandboxPath(QStringLiteral("trace.tcf"));
    QString a, b, c, d;
    const std::pair<const char*, std::function<void()>> operations[] = {
        {"SetTcfItem", [&] { store.SetTcfItem(QStringLiteral("1-1"), QString()); }},
        {"GetTcfItem", [&] { store.GetTcfItem(QStringLiteral("1-1")); }},
        {"GetPartType", [&] { store.GetPartType(0); }},
        {"SetPartType", [&] { store.SetPartType(0, 1); }},
        {"GetMemoryType", [&] { store.GetMemoryType(0); }},
        {"SetMemoryType", [&] { store.SetMemoryType(0, 1); }},
        {"GetUILabel", [&] { store.GetUILabel(0); }},
        {"SetUILabel", [&] { store.SetUILabel(0, a); }},
        {"GetConfigFile", [&] { store.GetConfigFile(0); }},
        {"SetConfigFile", [&] { store.SetConfigFile(0, a); }},
        {"GetVerifyOption", [&] { store.GetVerifyOption(0); }},
        {"SetVerifyOption", [&] { store.SetVerifyOption(0, true); }},
        {"GetProgramRequiredOption", [&] { store.GetProgramRequiredOption(0); }},
        {"SetProgramRequiredOption", [&] { store.SetProgramRequiredOption(0, true); }},
        {"GetSerialType", [&] { store.GetSerialType(0); }},
        {"SetSerialType", [&] { store.SetSerialType(0, 1); }},
        {"GetSerialParamAlphaVal", [&] { store.GetSerialParamAlphaVal(0); }},
        {"GetSerialParamStartVal", [&] { store.GetSerialParamStartVal(0); }},
        {"GetSerialParamMaxVal", [&] { store.GetSerialParamMaxVal(0); }},
        {"GetSerialParamCurrentVal", [&] { store.GetSerialParamCurrentVal(0); }},
        {"GetSerialParamIncrementVal", [&] { store.GetSerialParamIncrementVal(0); }},
        {"SetSerialParamCurrentVal", [&] { store.SetSerialParamCurrentVal(0, a); }},
        {"SetSerialParams", [&] { store.SetSerialParams(0, a, b, c, 1, d, false); }},
        {"GetSerialParams", [&] { store.GetSerialParams(0, a, b, c, d); }},
        {"IsItemHub", [&] { store.IsItemHub(0); }},
        {"SetAsHubItem", [&] { store.SetAsHubItem(0, true); }},
        {"SetSaveStatus", [&] { store.SetSaveStatus(0); }},
        {"SaveTopology", [&] { store.SaveTopology(file, QStringLiteral("2.0")); }},
        {"ClearTopology", [&] { store.ClearTopology(); }},
        {"LoadTopology", [&] { store.LoadTopology(file); }},
    };
    for (const auto& [name, run] : operations) {
        const std::size_t before = ReadBytes(QString::fromStdString(writer.FilePath())).size();
        run();
        const std::string added =
            ReadBytes(QString::fromStdString(writer.FilePath())).substr(before);
        const std::string scope = std::string("CTCFData::") + name;
        EXPECT_NE(added.find(scope + "--->{"), std::string::npos) << name;
        EXPECT_NE(added.find("}//<---" + scope), std::string::npos) << name;
    }
    const std::size_t before = ReadBytes(QString::fromStdString(writer.FilePath())).size();
    CTCFData::GetTopologyVersion(file);
    store.SaveSerialCurrent(file);
    EXPECT_EQ(ReadBytes(QString::fromStdString(writer.FilePath())).substr(before).find("CTCFData"),
              std::string::npos);
}

} // namespace
