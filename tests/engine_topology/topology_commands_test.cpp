// The Topology menu (New, Load, Save) and the tree's label editing, against the simulated
// bench: what is written, what is remembered, and what stays as it was when a step fails.
#include "app/device_event.h"
#include "app/sheet.h"
#include "hub/hub_abi.h"
#include "tests/support/bench_builder.h"
#include "tests/support/cli_process.h"
#include "tests/support/qt_print.h"
#include "tests/support/sheet_fixture.h"
#include "tests/support/sim_bench.h"
#include "tests/support/tcf_text.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

using namespace testsupport;

QString S(const char* text) {
    return QString::fromUtf8(text);
}

QString Here(const char* name) {
    return QDir::current().absoluteFilePath(S(name));
}

// Controller 0 with an Aster (1-1-1), a keyboard behind it (1-1-1-1) and a Fennel (1-1-2).
QByteArray SmallBench() {
    return BenchJson({BenchController(
        0, {BenchHub(0, 1, 0), BenchHub(0, 2, 0, S("5A17"), S("7520")), BenchDevice(0, 3, 1)})});
}

// Every position of SmallBench, with labels on two of them.
QByteArray FullTopology() {
    return TcfHeader(4) + TcfPlainNode(S("1-1")) + TcfHubNode(S("1-1-1"), 2, S("Left")) +
           TcfPlainNode(S("1-1-1-1")) + TcfHubNode(S("1-1-2"), 4, S("Right"));
}

QSettings Store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, S("Kelvane"), S("Tessaro KDX"));
}

// The remembered file, or nothing when none is remembered.
std::optional<QString> Remembered() {
    const QSettings settings = Store();
    const QVariant value = settings.value(S("DefaultTcf"));
    return value.isValid() ? std::optional<QString>(value.toString()) : std::nullopt;
}

void Remember(const QString& path) {
    QSettings settings = Store();
    settings.setValue(S("DefaultTcf"), path);
    settings.sync();
}

// The value of `key` in `section` of an INI text, or nothing when either is missing.
std::optional<QString> IniValue(const QByteArray& text, const QString& section,
                                const QString& key) {
    bool inSection = false;
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'[')) {
            inSection = line == u'[' + section + u']';
        } else if (inSection && line.startsWith(key + u'=')) {
            return line.mid(key.size() + 1);
        }
    }
    return std::nullopt;
}

QStringList Sections(const QByteArray& text) {
    QStringList sections;
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            sections.push_back(line.mid(1, line.size() - 2));
        }
    }
    return sections;
}

// Every file name in the working directory.
QStringList WorkingFolder() {
    return QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                     QDir::Name);
}

class TopologyCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(UseBench(SmallBench()).isEmpty()); }

    // Starts the sheet with `file` loaded through the Load command.
    void StartWithLoaded(const QString& file) {
        ASSERT_TRUE(f.Start());
        f.window.fileAnswers.push_back(file);
        ASSERT_EQ(f.sheet->OnTopologyLoad(), CSheet::LoadResult::Loaded);
        f.window.Clear();
    }

    SheetFixture f;
};

TEST_F(TopologyCommandsTest, SaveRefusesTheFirstIncompleteHub) {
    ASSERT_TRUE(f.Start());
    f.sheet->OnTvnEndlabeleditConfigTree(f.Item(S("1-1-2")), S("Right Port"), false);
    CTCFData::Instance().Item(f.Node(S("1-1-2"))).configComplete = false;
    f.window.fileAnswers.push_back(Here("refused.tcf"));
    const QStringList before = WorkingFolder();

    EXPECT_EQ(f.sheet->OnTopologySave(), CSheet::SaveResult::Incomplete);
    ASSERT_EQ(f.window.MessageTexts(),
              QStringList({S("Configuration Error\nPlease fill all required information of node "
                             "Right Port")}));
    EXPECT_EQ(f.window.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(f.window.messages[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(f.window.fileRequests.empty()) << "the check comes before the dialog";
    EXPECT_EQ(WorkingFolder(), before);
    EXPECT_EQ(Remembered(), std::nullopt);

    // With two incomplete hubs, the first in table order is named, once.
    f.window.Clear();
    CTCFData::Instance().Item(f.Node(S("1-1-1"))).configComplete = false;
    EXPECT_EQ(f.sheet->OnTopologySave(), CSheet::SaveResult::Incomplete);
    EXPECT_EQ(f.window.MessageTexts(),
              QStringList({S("Configuration Error\nPlease fill all required information of node "
                             "Aster")}));
}

TEST_F(TopologyCommandsTest, IncompleteNodeOfANonHubDoesNotBlockSave) {
    ASSERT_TRUE(f.Start());
    CTCFData::Instance().Item(f.Node(S("1-1-1-1"))).configComplete = false;
    CTCFData::Instance().Item(f.Node(S("1-1"))).configComplete = false;
    f.window.fileAnswers.push_back(Here("saved.tcf"));
    EXPECT_EQ(f.sheet->OnTopologySave(), CSheet::SaveResult::Saved);
    EXPECT_TRUE(f.window.messages.empty());
    EXPECT_TRUE(QFileInfo::exists(Here("saved.tcf")));
}

TEST_F(TopologyCommandsTest, SaveWritesRemembersReloadsAndTheNextStartUsesIt) {
    ASSERT_TRUE(f.Start());
    f.window.Clear();
    const QString path = Here("first.tcf");
    // An older file of that name is replaced whole, not merged into.
    ASSERT_TRUE(WriteBytes(path, "[Junk]\r\nX=1\r\n[1-1-1]\r\nSERALPHA=OLD\r\n"));
    f.window.fileAnswers.push_back(path);

    EXPECT_EQ(f.sheet->OnTopologySave(), CSheet::SaveResult::Saved);

    ASSERT_EQ(f.window.fileRequests.size(), 1U);
    const FileDialogRequest& dialog = f.window.fileRequests[0];
    EXPECT_EQ(dialog.kind, FileDialogRequest::Kind::Save);
    EXPECT_EQ(dialog.defaultName, S("NewTopology"));
    EXPECT_EQ(dialog.defaultExtension, S("tcf"));
    EXPECT_EQ(dialog.filters, QStringList({S("TopologyConfig File (*.tcf)")}));
    EXPECT_TRUE(dialog.confirmOverwrite);

    const QByteArray text = ReadBytes(path);
    EXPECT_TRUE(text.startsWith("[Header]")) << text.toStdString();
    // Nodes in the order the walk made them (position order).
    EXPECT_EQ(Sections(text),
              QStringList({S("Header"), S("1-1"), S("1-1-1"), S("1-1-2"), S("1-1-1-1")}));
    EXPECT_EQ(IniValue(text, S("Header"), S("Version")), S("2.0"));
    EXPECT_EQ(IniValue(text, S("Header"), S("Count")), S("4"));
    EXPECT_EQ(IniValue(text, S("1-1-1"), S("ISHUB")), S("1"));
    EXPECT_EQ(IniValue(text, S("1-1-2"), S("ISHUB")), S("1"));
    EXPECT_EQ(IniValue(text, S("1-1-1-1"), S("ISHUB")), S("0"));
    EXPECT_EQ(IniValue(text, S("1-1-1"), S("SERALPHA")), std::nullopt);

    EXPECT_EQ(Remembered(), path);
    EXPECT_TRUE(f.sheet->IsTopologySaved());
    EXPECT_EQ(f.sheet->GetCurrentTopologyFile(), path);
    EXPECT_EQ(f.window.StatusTexts(), QStringList({S("Cleared existing topology information")}));
    EXPECT_TRUE(f.window.messages.empty());
    // The reloaded nodes know their hubs now: no hub is new any more.
    EXPECT_EQ(f.Record(S("1-1-1"))->GetTopoLogy(), kTopologyNoOperation);
    EXPECT_EQ(f.Record(S("1-1-2"))->GetTopoLogy(), kTopologyNoOperation);

    // The next start-up (the runner, in this sandbox) loads the remembered file.
    f.Close();
    const CliResult next = RunCli({S("tree")});
    ASSERT_TRUE(next.finished);
    EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
    EXPECT_FALSE(next.out.contains(S("Error loading last saved topology")))
        << next.out.toStdString();
    EXPECT_FALSE(next.out.contains(S("Topoloy changed"))) << next.out.toStdString();
    EXPECT_TRUE(next.out.contains(S("[1-1-2] type=2 state=2"))) << next.out.toStdString();
}

TEST_F(TopologyCommandsTest, SaveWritesOnlyAttachedNodesButCountsAll) {
    const QString loaded = Here("loaded.tcf");
    const QByteArray original = TcfHeader(6) + FullTopology().mid(TcfHeader(4).size()) +
                                TcfHubNode(S("1-1-9"), 3, S("Unplugged")) + TcfPlainNode(S("1-2"));
    ASSERT_TRUE(WriteBytes(loaded, original));
    StartWithLoaded(loaded);
    ASSERT_EQ(CTCFData::Instance().Count(), 6);

    const QString saved = Here("saved.tcf");
    f.window.fileAnswers.push_back(saved);
    EXPECT_EQ(f.sheet->OnTopologySave(), CSheet::SaveResult::Saved);
    const QByteArray text = ReadBytes(saved);
    EXPECT_EQ(Sections(text),
              QStringList({S("Header"), S("1-1"), S("1-1-1"), S("1-1-1-1"), S("1-1-2")}));
    EXPECT_EQ(IniValue(text, S("Header"), S("Count")), S("6"));
    EXPECT_EQ(IniValue(text, S("1-1-1"), S("UINAME")), S("Left"));
    EXPECT_EQ(IniValue(text, S("1-1-1"), S("MEMTYPE")), S("2"));
    EXPECT_EQ(ReadBytes(loaded), original);
    EXPECT_EQ(f.sheet->GetCurrentTopologyFile(), saved);
}

TEST_F(TopologyCommandsTest, LoadShowsTheLabelsAndLeavesTheRememberedFileAlone) {
    const QString other = Here("other.tcf");
    Remember(other);
    const QString file = Here("full.tcf");
    ASSERT_TRUE(WriteBytes(file, FullTopology()));
    ASSERT_TRUE(f.Start());
    f.window.Clear();
    f.window.fileAnswers.push_back(file);

    EXPECT_EQ(f.sheet->OnTopologyLoad(), CSheet::LoadResult::Loaded);
    ASSERT_EQ(f.window.fileRequests.size(), 1U);
    const FileDialogRequest& dialog = f.window.fileRequests[0];
    EXPECT_EQ(dialog.kind, FileDialogRequest::Kind::Open);
    EXPECT_EQ(dialog.title, S("Load Tolopology Config File"));
    EXPECT_EQ(dialog.filters, QStringList({S("Tolopoly Config (*.tcf)"), S("All Files (*.*)")}));
    EXPECT_EQ(dialog.defaultExtension, S("tcf"));

    EXPECT_TRUE(f.sheet->IsTopologySaved());
    EXPECT_EQ(f.sheet->GetCurrentTopologyFile(), file);
    EXPECT_EQ(f.window.StatusTexts(), QStringList({S("Cleared existing topology information")}));
    EXPECT_EQ(f.Item(S("1-1-1"))->Text(), S("Left"));
    EXPECT_EQ(f.Item(S("1-1-2"))->Text(), S("Right"));
    EXPECT_EQ(f.Record(S("1-1-1"))->GetTopoLogy(), kTopologyWithOperation);
    EXPECT_EQ(Remembered(), other);
}

// Files Load refuses before touching anything.
struct IncompatibleCase {
    const char* name;
    QByteArray content; // null: the file does not exist
};

void PrintTo(const IncompatibleCase& c, std::ostream* out) {
    *out << c.name;
}

class IncompatibleLoadTest : public TopologyCommandsTest,
                             public ::testing::WithParamInterface<IncompatibleCase> {};

TEST_P(IncompatibleLoadTest, LoadChangesNothing) {
    const QString good = Here("good.tcf");
    ASSERT_TRUE(WriteBytes(good, FullTopology()));
    StartWithLoaded(good);
    const QString bad = Here("bad.tcf");
    if (!GetParam().content.isNull()) {
        ASSERT_TRUE(WriteBytes(bad, GetParam().content));
    }
    CDeviceData* recordBefore = f.Record(S("1-1-1"));
    const int countBefore = CTCFData::Instance().Count();
    f.window.fileAnswers.push_back(bad);

    EXPECT_EQ(f.sheet->OnTopologyLoad(), CSheet::LoadResult::Incompatible);
    ASSERT_EQ(f.window.MessageTexts(),
              QStringList({S("TCF file is not compatible with current version of Tool")}));
    EXPECT_EQ(f.window.messages[0].icon, MessageIcon::Information);
    EXPECT_TRUE(f.window.status.empty());
    EXPECT_TRUE(f.sheet->IsTopologySaved());
    EXPECT_EQ(f.sheet->GetCurrentTopologyFile(), good);
    EXPECT_EQ(f.Record(S("1-1-1")), recordBefore) << "no re-enumeration";
    EXPECT_EQ(CTCFData::Instance().Count(), countBefore);
    EXPECT_EQ(f.Item(S("1-1-1"))->Text(), S("Left"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, IncompatibleLoadTest,
    ::testing::Values(IncompatibleCase{"Version200", TcfHeader(1, "2.00") + TcfHubNode(S("1-1-1"))},
                      IncompatibleCase{"Version21", TcfHeader(1, "2.1") + TcfHubNode(S("1-1-1"))},
                      IncompatibleCase{"NoVersion",
                                       "[Header]\r\nCount=1\r\n" + TcfHubNode(S("1-1-1"))},
                      IncompatibleCase{"Missing", QByteArray()}),
    [](const ::testing::TestParamInfo<IncompatibleCase>& param) {
        return std::string(param.param.name);
    });

TEST_F(TopologyCommandsTest, FailedLoadEnumeratesDefaultsAndKeepsTheFileInUse) {
    const QString good = Here("good.tcf");
    ASSERT_TRUE(WriteBytes(good, FullTopology()));
    StartWithLoaded(good);
    const QString empty = Here("empty.tcf");
    ASSERT_TRUE(WriteBytes(empty, TcfHeader(0)));
    f.window.fileAnswers.push_back(empty);

    EXPECT_EQ(f.sheet->OnTopologyLoad(), CSheet::LoadResult::LoadFailed);
    ASSERT_EQ(f.window.MessageTexts(),
              QStringList({S("Error loading topology\nEnumerating current Topology")}));
    EXPECT_EQ(f.window.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(f.sheet->GetCurrentTopologyFile(), good);
    EXPECT_EQ(f.window.StatusTexts(),
              QStringList({S("Cleared existing topology information"), S("Topoloy changed @ 1-1-1"),
                           S("Topoloy changed @ 1-1-2")}));
    // The topology went: defaults everywhere, so the hubs are new and the labels gone.
    EXPECT_FALSE(f.sheet->IsTopologySaved());
    EXPECT_EQ(f.Item(S("1-1-1"))->Text(), S("Aster"));
    EXPECT_EQ(f.Record(S("1-1-2"))->GetTopoLogy(), kTopologyNew);
    EXPECT_EQ(CTCFData::Instance().Count(), 4);
}

TEST_F(TopologyCommandsTest, CancelledDialogsChangeNothing) {
    const QString good = Here("good.tcf");
    ASSERT_TRUE(WriteBytes(good, FullTopology()));
    StartWithLoaded(good);
    CDeviceData* recordBefore = f.Record(S("1-1-2"));
    const QStringList folderBefore = WorkingFolder();

    EXPECT_EQ(f.sheet->OnTopologyLoad(), CSheet::LoadResult::Cancelled);
    EXPECT_EQ(f.sheet->OnTopologySave(), CSheet::SaveResult::Cancelled);

    EXPECT_EQ(f.window.fileRequests.size(), 2U);
    EXPECT_TRUE(f.window.messages.empty());
    EXPECT_TRUE(f.window.status.empty());
    EXPECT_EQ(f.Record(S("1-1-2")), recordBefore);
    EXPECT_TRUE(f.sheet->IsTopologySaved());
    EXPECT_EQ(f.sheet->GetCurrentTopologyFile(), good);
    EXPECT_EQ(WorkingFolder(), folderBefore);
    EXPECT_EQ(Remembered(), std::nullopt);
}

TEST_F(TopologyCommandsTest, NewStartsFromDefaultsAndKeepsTheFileInUse) {
    const QString good = Here("good.tcf");
    ASSERT_TRUE(WriteBytes(good, FullTopology()));
    StartWithLoaded(good);

    f.sheet->OnTopologyView();

    EXPECT_EQ(f.sheet->GetCurrentTopologyFile(), good);
    EXPECT_EQ(CTCFData::Instance().Count(), 4);
    EXPECT_EQ(CTCFData::Instance().GetUILabel(f.Node(S("1-1-1"))), QString());
    EXPECT_EQ(CTCFData::Instance().GetMemoryType(f.Node(S("1-1-1"))), kMemoryNone);
    EXPECT_EQ(f.Item(S("1-1-1"))->Text(), S("Aster"));
    EXPECT_EQ(f.Record(S("1-1-1"))->GetTopoLogy(), kTopologyNew);
    EXPECT_EQ(f.window.StatusTexts(),
              QStringList({S("Topoloy changed @ 1-1-1"), S("Topoloy changed @ 1-1-2")}));
    EXPECT_EQ(ReadBytes(good), FullTopology());
}

// Save with nothing attached writes the header alone; whether the file then reloads depends on
// the nodes in memory.
TEST(TopologySaveWithoutDevicesTest, LoadedNodesAreCountedAndTheFileReloads) {
    ASSERT_FALSE(UseBench(BenchJson({})).isEmpty());
    const QString loaded = Here("loaded.tcf");
    ASSERT_TRUE(WriteBytes(loaded, FullTopology()));
    SheetFixture f;
    ASSERT_TRUE(f.Start());
    ASSERT_EQ(f.sheet->LoadTopologyFile(loaded), CSheet::LoadResult::Loaded);

    const QString saved = Here("saved.tcf");
    EXPECT_EQ(f.sheet->SaveTopologyFile(saved), CSheet::SaveResult::Saved);
    const QByteArray text = ReadBytes(saved);
    EXPECT_EQ(Sections(text), QStringList({S("Header")}));
    EXPECT_EQ(IniValue(text, S("Header"), S("Count")), S("4"));
    EXPECT_TRUE(f.sheet->IsTopologySaved());
}

TEST(TopologySaveWithoutDevicesTest, NoNodesAtAllFailsTheReloadButIsRemembered) {
    ASSERT_FALSE(UseBench(BenchJson({})).isEmpty());
    SheetFixture f;
    ASSERT_TRUE(f.Start());
    f.window.Clear();
    const QString saved = Here("saved.tcf");
    f.window.fileAnswers.push_back(saved);

    EXPECT_EQ(f.sheet->OnTopologySave(), CSheet::SaveResult::ReloadFailed);
    ASSERT_EQ(f.window.MessageTexts(),
              QStringList({S("Error using topology\nEnumerating New Topology")}));
    EXPECT_EQ(f.window.messages[0].icon, MessageIcon::Information);
    EXPECT_FALSE(f.sheet->IsTopologySaved());
    EXPECT_TRUE(f.sheet->GetCurrentTopologyFile().isEmpty());
    EXPECT_EQ(f.window.StatusTexts(), QStringList({S("Cleared existing topology information")}));
    EXPECT_EQ(f.TreeLines(), QStringList({S("My Computer")}));
    EXPECT_EQ(IniValue(ReadBytes(saved), S("Header"), S("Count")), S("0"));
    EXPECT_EQ(Remembered(), saved);

    // So the next start-up cannot load what it remembers.
    f.Close();
    const CliResult next = RunCli({S("tree")});
    ASSERT_TRUE(next.finished);
    EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
    EXPECT_TRUE(next.out.startsWith(S("Error loading last saved topology\n"
                                      "Enumeration current topology to configure\n")))
        << next.out.toStdString();
}

// Targets a save cannot write to.
struct UnwritableCase {
    const char* name;
    const char* target; // relative to the working directory
    bool makeDirectory; // the target is an existing folder
};

void PrintTo(const UnwritableCase& c, std::ostream* out) {
    *out << c.name;
}

class UnwritableSaveTest : public TopologyCommandsTest,
                           public ::testing::WithParamInterface<UnwritableCase> {};

TEST_P(UnwritableSaveTest, FailedWriteKeepsTheTopologyInMemoryAndTheOldFile) {
    const UnwritableCase& c = GetParam();
    ASSERT_TRUE(f.Start());
    const QString good = Here("good.tcf");
    ASSERT_EQ(f.sheet->SaveTopologyFile(good), CSheet::SaveResult::Saved);
    const QByteArray goodText = ReadBytes(good);
    // An unsaved change the failed save must not lose.
    f.sheet->OnTvnEndlabeleditConfigTree(f.Item(S("1-1-1")), S("Changed"), false);
    CDeviceData* recordBefore = f.Record(S("1-1-1"));
    const QString target = Here(c.target);
    if (c.makeDirectory) {
        ASSERT_TRUE(QDir().mkpath(target));
    }
    const QStringList folderBefore = WorkingFolder();
    f.window.Clear();
    f.window.fileAnswers.push_back(target);

    EXPECT_EQ(f.sheet->OnTopologySave(), CSheet::SaveResult::WriteFailed);

    ASSERT_EQ(f.window.messages.size(), 1U);
    EXPECT_FALSE(f.window.messages[0].text.isEmpty());
    EXPECT_FALSE(f.sheet->IsTopologySaved());
    EXPECT_EQ(f.sheet->GetCurrentTopologyFile(), good);
    EXPECT_EQ(Remembered(), good);
    EXPECT_EQ(ReadBytes(good), goodText);
    EXPECT_EQ(WorkingFolder(), folderBefore) << "nothing written, nothing left behind";
    if (c.makeDirectory) {
        EXPECT_TRUE(QDir(target).isEmpty());
    }
    // The topology and the tree are as they were, change included.
    EXPECT_EQ(f.Record(S("1-1-1")), recordBefore);
    EXPECT_EQ(f.Item(S("1-1-1"))->Text(), S("Changed"));
    EXPECT_EQ(CTCFData::Instance().GetUILabel(f.Node(S("1-1-1"))), S("Changed"));
    EXPECT_TRUE(f.window.status.empty());

    // Saving to a good place afterwards writes the change.
    const QString retry = Here("retry.tcf");
    EXPECT_EQ(f.sheet->SaveTopologyFile(retry), CSheet::SaveResult::Saved);
    EXPECT_EQ(IniValue(ReadBytes(retry), S("1-1-1"), S("UINAME")), S("Changed"));
}

INSTANTIATE_TEST_SUITE_P(Targets, UnwritableSaveTest,
                         ::testing::Values(UnwritableCase{"MissingFolder", "nowhere/new.tcf",
                                                          false},
                                           UnwritableCase{"Directory", "folder.tcf", true}),
                         [](const ::testing::TestParamInfo<UnwritableCase>& param) {
                             return std::string(param.param.name);
                         });

TEST_F(TopologyCommandsTest, EditedLabelsAreSavedAsUiName) {
    ASSERT_TRUE(f.Start());
    struct LabelCase {
        const char* topology;
        const char* text;
        bool cancelled;
        const char* shown; // the item's text afterwards
        const char* saved; // UINAME in the file
    };
    const LabelCase cases[] = {
        {"1-1", "Bench A", false, "Bench A", "Bench A"}, // the first node of the list
        {"1-1-2", "Right Port", false, "Right Port", "Right Port"},
        {"1-1-1-1", "Keys", false, "Keys", "Keys"}, // not a hub
        {"1-1-1", "", false, "Aster", ""},          // empty: the old label stays
        {"1-1-1", "Ignored", true, "Aster", ""},    // cancelled
    };
    for (const LabelCase& c : cases) {
        EXPECT_EQ(
            f.sheet->OnTvnEndlabeleditConfigTree(f.Item(S(c.topology)), S(c.text), c.cancelled), 0);
        EXPECT_EQ(f.Item(S(c.topology))->Text(), S(c.shown)) << c.topology << " " << c.text;
        EXPECT_EQ(f.Record(S(c.topology))->GetPortName(), S(c.shown)) << c.topology;
    }
    ASSERT_EQ(f.Node(S("1-1")), 0);

    const QString saved = Here("labels.tcf");
    ASSERT_EQ(f.sheet->SaveTopologyFile(saved), CSheet::SaveResult::Saved);
    const QByteArray text = ReadBytes(saved);
    for (const LabelCase& c : cases) {
        EXPECT_EQ(IniValue(text, S(c.topology), S("UINAME")), S(c.saved)) << c.topology;
    }
    // After the reload the tree shows the saved labels.
    for (const LabelCase& c : cases) {
        EXPECT_EQ(f.Item(S(c.topology))->Text(), S(c.shown)) << c.topology;
    }
}

TEST_F(TopologyCommandsTest, LabelEditingFollowsThePage) {
    const QString good = Here("good.tcf");
    ASSERT_TRUE(WriteBytes(good, FullTopology()));
    StartWithLoaded(good);
    TopologyTreeModel& tree = f.sheet->GetTreeCtrl();
    int editRequests = 0;
    QObject::connect(&tree, &TopologyTreeModel::LabelEditRequested,
                     [&](const QModelIndex&) { ++editRequests; });

    // Nothing selected: the double click is consumed.
    EXPECT_EQ(f.sheet->OnNMDblclkVelmoraTree(), 1);
    EXPECT_EQ(editRequests, 0);

    const int updates = f.window.cfgUpdates;
    f.sheet->SelectTreeItem(f.Item(S("1-1-2")));
    EXPECT_EQ(f.sheet->SelectedDevice(), f.Record(S("1-1-2")));
    EXPECT_EQ(f.window.cfgUpdates, updates + 1);
    EXPECT_TRUE(f.sheet->OnTvnBeginlabeleditConfigTree());
    EXPECT_EQ(f.sheet->OnNMDblclkVelmoraTree(), 0);
    EXPECT_EQ(editRequests, 1);

    // On the execution page a double click neither edits nor expands.
    ASSERT_TRUE(f.sheet->RequestActivePage(kProgrammerPage));
    const bool expanded = f.Item(S("1-1-2"))->IsExpanded();
    EXPECT_FALSE(f.sheet->OnTvnBeginlabeleditConfigTree());
    EXPECT_EQ(f.sheet->OnNMDblclkVelmoraTree(), 1);
    EXPECT_EQ(editRequests, 1);
    EXPECT_EQ(f.Item(S("1-1-2"))->IsExpanded(), expanded);

    // Selecting the root leaves no record selected.
    f.sheet->SelectTreeItem(tree.FirstRootItem());
    EXPECT_EQ(f.sheet->SelectedDevice(), nullptr);
    EXPECT_EQ(f.window.cfgUpdates, updates + 2);
}

// A window whose message boxes run the event loop while they are up, as a modal box does.
class ModalMessageWindow : public RecordingWindow {
public:
    MessageAnswer ShowMessage(const MessageRequest& request) override {
        const MessageAnswer answer = RecordingWindow::ShowMessage(request);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        return answer;
    }
};

// A device event handled while the failed load's message box is up finds the old records
// gone: it must not reach them through the record table.
TEST(TopologyLoadEventsTest, EventDuringTheLoadFailureMessageFindsNoStaleRecord) {
    ASSERT_FALSE(UseBench(SmallBench()).isEmpty());
    const QString good = Here("good.tcf");
    const QString empty = Here("empty.tcf");
    ASSERT_TRUE(WriteBytes(good, FullTopology()));
    ASSERT_TRUE(WriteBytes(empty, TcfHeader(0)));
    EnsureCoreApplication();
    ModalMessageWindow window;
    CSheet sheet(window);
    ASSERT_TRUE(sheet.OnInitDialog());
    ASSERT_EQ(sheet.LoadTopologyFile(good), CSheet::LoadResult::Loaded);
    window.Clear();

    // A status change of the Fennel (1-1-2, position 2), as the library posts it.
    auto* block = static_cast<hubabi::StatusBlock*>(std::calloc(1, sizeof(hubabi::StatusBlock)));
    const QString path = BenchDevicePath(0, 2);
    std::copy(path.utf16(), path.utf16() + path.size(), block->devicePath);
    block->hubStatus = hubabi::kStatusProgramming;
    ASSERT_TRUE(DeviceStatusNotifier(block, hubabi::kEventStatusChanged));

    EXPECT_EQ(sheet.LoadTopologyFile(empty), CSheet::LoadResult::LoadFailed);
    EXPECT_EQ(window.MessageTexts(),
              QStringList({S("Error loading topology\nEnumerating current Topology")}));
    for (const QString& line : window.StatusTexts()) {
        EXPECT_FALSE(line.startsWith(S("Status of"))) << line.toStdString();
    }
    // The tree was rebuilt afterwards and events reach the new records again.
    auto* again = static_cast<hubabi::StatusBlock*>(std::calloc(1, sizeof(hubabi::StatusBlock)));
    std::copy(path.utf16(), path.utf16() + path.size(), again->devicePath);
    again->hubStatus = hubabi::kStatusProgramming;
    ASSERT_TRUE(DeviceStatusNotifier(again, hubabi::kEventStatusChanged));
    EXPECT_TRUE(PumpUntil([&] { return !window.StatusTexts().filter(S("Status of")).isEmpty(); }));
    sheet.OnDestroy();
}

} // namespace
