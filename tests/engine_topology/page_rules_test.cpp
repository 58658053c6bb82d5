// The window's own rules: which page may come to the front, the Topology menu on the
// execution page, and what closing the window asks while a run is active.
#include "app/sheet.h"
#include "tests/support/bench_builder.h"
#include "tests/support/qt_print.h"
#include "tests/support/sheet_fixture.h"
#include "tests/support/sim_bench.h"
#include "tests/support/tcf_text.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

using namespace testsupport;

QString S(const char* text) {
    return QString::fromUtf8(text);
}

const QString kSaveFirst = QStringLiteral("Save the topology before Programming");
const QString kStopFirst = QStringLiteral("Stop Programming before modifying the configuration");

class PageRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(UseBench(BenchJson({BenchController(0, {BenchHub(0, 1, 0)})})).isEmpty());
        saved_ = QDir::current().absoluteFilePath(S("saved.tcf"));
        ASSERT_TRUE(
            WriteBytes(saved_, TcfHeader(2) + TcfPlainNode(S("1-1")) + TcfHubNode(S("1-1-1"))));
        ASSERT_TRUE(f.Start());
    }

    void LoadSaved() {
        ASSERT_EQ(f.sheet->LoadTopologyFile(saved_), CSheet::LoadResult::Loaded);
        ASSERT_TRUE(f.sheet->IsTopologySaved());
        f.window.Clear();
    }

    SheetFixture f;
    QString saved_;
};

TEST_F(PageRulesTest, ExecutionPageNeedsASavedTopology) {
    ASSERT_FALSE(f.sheet->IsTopologySaved());
    f.window.Clear();

    EXPECT_FALSE(f.sheet->RequestActivePage(kProgrammerPage));
    ASSERT_EQ(f.window.MessageTexts(), QStringList({kSaveFirst}));
    EXPECT_EQ(f.window.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(f.sheet->ActivePage(), kConfigPage);
    EXPECT_EQ(f.window.activePage, kConfigPage);
    EXPECT_EQ(f.sheet->GetTreeCtrl().ExecutionMode(), TopologyTreeModel::kConfigurationDrawing);
    EXPECT_TRUE(f.window.topologyMenuEnabled);
    EXPECT_EQ(f.sheet->pageBeforeChange, kConfigPage);

    // Staying where one is needs nothing.
    EXPECT_TRUE(f.sheet->RequestActivePage(kConfigPage));
    EXPECT_EQ(f.window.messages.size(), 1U);
}

TEST_F(PageRulesTest, TopologyMenuIsGreyedOnTheExecutionPageOnly) {
    LoadSaved();
    ASSERT_TRUE(f.sheet->RequestActivePage(kProgrammerPage));
    EXPECT_TRUE(f.window.messages.empty());
    EXPECT_EQ(f.window.activePage, kProgrammerPage);
    EXPECT_FALSE(f.window.topologyMenuEnabled);
    EXPECT_EQ(f.sheet->GetTreeCtrl().ExecutionMode(), TopologyTreeModel::kExecutionDrawing);
    // Status lines now go to the execution page.
    f.sheet->AddStatus(S("line"));
    EXPECT_EQ(f.window.StatusTexts(kProgrammerPage), QStringList({S("line")}));

    ASSERT_TRUE(f.sheet->RequestActivePage(kConfigPage));
    EXPECT_EQ(f.sheet->pageBeforeChange, kProgrammerPage);
    EXPECT_EQ(f.window.activePage, kConfigPage);
    EXPECT_TRUE(f.window.topologyMenuEnabled);
    EXPECT_EQ(f.sheet->GetTreeCtrl().ExecutionMode(), TopologyTreeModel::kConfigurationDrawing);
    EXPECT_TRUE(f.window.messages.empty());
}

TEST_F(PageRulesTest, ClosingAsksOnlyWhileARunIsActive) {
    EXPECT_TRUE(f.sheet->ConfirmClose());
    EXPECT_TRUE(f.window.messages.empty());
}

// An automated run with nothing to program keeps the programmer manager running until STOP.
TEST_F(PageRulesTest, DuringARunTheExecutionPageStaysAndClosingAsks) {
    LoadSaved();
    f.sheet->OnProgramoptionsAutomatedprogram();
    ASSERT_EQ(f.sheet->ActivePage(), kProgrammerPage);
    ASSERT_TRUE(f.sheet->StartProgramming());
    ASSERT_TRUE(f.sheet->GetProgrammerStatus());
    f.window.Clear();

    EXPECT_FALSE(f.sheet->RequestActivePage(kConfigPage));
    ASSERT_EQ(f.window.MessageTexts(), QStringList({kStopFirst}));
    EXPECT_EQ(f.window.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(f.window.activePage, kProgrammerPage);
    EXPECT_FALSE(f.window.topologyMenuEnabled);

    f.window.Clear();
    f.window.messageAnswers = {MessageAnswer::No, MessageAnswer::Yes};
    EXPECT_FALSE(f.sheet->ConfirmClose());
    EXPECT_TRUE(f.sheet->ConfirmClose());
    ASSERT_EQ(f.window.messages.size(), 2U);
    for (const MessageRequest& question : f.window.messages) {
        EXPECT_EQ(question.text,
                  S("Programmer thread is still running.\r\nClick Yes to Quit anyway"));
        EXPECT_EQ(question.caption, S("Quit Tool?"));
        EXPECT_EQ(question.icon, MessageIcon::Question);
        EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    }
    // Answering the question does not stop the run.
    EXPECT_TRUE(f.sheet->GetProgrammerStatus());

    ASSERT_TRUE(f.sheet->StopProgramming());
    ASSERT_TRUE(PumpUntil([&] { return f.sheet->LastRun().ended; }, 20000));
    EXPECT_FALSE(f.sheet->GetProgrammerStatus());
    f.window.Clear();
    EXPECT_TRUE(f.sheet->ConfirmClose());
    EXPECT_TRUE(f.sheet->RequestActivePage(kConfigPage));
    EXPECT_TRUE(f.window.messages.empty());
    EXPECT_TRUE(f.window.topologyMenuEnabled);
}

} // namespace
