// The execution page's START/STOP and radio rules, and the sheet's page and close rules the
// window applies, on the simulated bench with the example topology.
#include "page_bench.h"
#include "qt_print.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

using pagetest::PageBench;
using M = ProgrammerPageModel;

// The default bench, slowed down so that a run lasts long enough to look at it.
void UseSlowBench() {
    QFile file(QStringLiteral(TESSARO_SOURCE_DIR "/examples/benches/default.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray json = file.readAll();
    json.replace("\"programmingMs\": 20", "\"programmingMs\": 1500");
    ASSERT_FALSE(testsupport::UseBench(json).isEmpty());
}

class ProgrammerPage : public ::testing::Test {
protected:
    void SetUp() override {
        UseSlowBench();
        bench = std::make_unique<PageBench>();
        topology = testsupport::CopyExampleTopology();
        ASSERT_EQ(bench->sheet.LoadTopologyFile(topology), CSheet::LoadResult::Loaded);
    }
    void TearDown() override {
        if (bench != nullptr && bench->sheet.GetProgrammerStatus()) {
            bench->sheet.StopProgramming();
            testsupport::PumpUntil([this] { return bench->sheet.LastRun().ended; }, 20000);
        }
    }
    const ControlState& Control(int id) const { return bench->programmer.Controls().At(id); }
    bool Running() { return bench->sheet.GetProgrammerStatus(); }

    std::unique_ptr<PageBench> bench;
    QString topology;
};

TEST_F(ProgrammerPage, EnteringThePageShowsTheTopologyFile) {
    EXPECT_TRUE(Control(M::kTopologyFileBox).text.isEmpty());
    ASSERT_TRUE(bench->sheet.RequestActivePage(kProgrammerPage));
    EXPECT_EQ(Control(M::kTopologyFileBox).text, topology);
    EXPECT_FALSE(bench->window.topologyMenuEnabled);
    ASSERT_TRUE(bench->sheet.RequestActivePage(kConfigPage));
    EXPECT_TRUE(bench->window.topologyMenuEnabled);
}

TEST_F(ProgrammerPage, StartTurnsIntoStopAndStopHidesBothUntilTheRunEnds) {
    ASSERT_TRUE(bench->sheet.RequestActivePage(kProgrammerPage));
    EXPECT_TRUE(Control(M::kStartButton).visible);
    EXPECT_FALSE(Control(M::kStopButton).visible);

    bench->programmer.OnBnClickedButtonStart();
    ASSERT_TRUE(Running());
    EXPECT_FALSE(Control(M::kStartButton).visible);
    EXPECT_TRUE(Control(M::kStopButton).visible);

    // A second START while the manager runs is refused and changes no button.
    bench->programmer.OnBnClickedButtonStart();
    EXPECT_FALSE(Control(M::kStartButton).visible);
    EXPECT_TRUE(Control(M::kStopButton).visible);

    bench->programmer.OnBnClickedStopProgramButton();
    EXPECT_FALSE(Control(M::kStartButton).visible);
    EXPECT_FALSE(Control(M::kStopButton).visible);
    EXPECT_TRUE(bench->programmer.Status().Text().contains(
        QStringLiteral("Stopping the execution engine. Please wait..\r\n")));

    ASSERT_TRUE(testsupport::PumpUntil([this] { return bench->sheet.LastRun().ended; }, 20000));
    EXPECT_TRUE(Control(M::kStartButton).visible);
    EXPECT_FALSE(Control(M::kStopButton).visible);
}

TEST_F(ProgrammerPage, RadioButtonsFollowTheMenuMarksAndRefuseChangesDuringARun) {
    EXPECT_TRUE(Control(M::kRadioOnce).checked);
    EXPECT_FALSE(Control(M::kRadioAutomated).checked);

    bench->programmer.OnBnClickedRadioOnce(); // already selected: nothing changes
    EXPECT_TRUE(bench->sheet.IsExecuteOnce());
    EXPECT_TRUE(Control(M::kRadioOnce).checked);

    bench->programmer.OnBnClickedRadioAutomated();
    EXPECT_FALSE(bench->sheet.IsExecuteOnce());
    EXPECT_FALSE(bench->window.executeOnceShown);
    EXPECT_TRUE(Control(M::kRadioAutomated).checked);
    EXPECT_FALSE(Control(M::kRadioOnce).checked);

    bench->programmer.OnBnClickedRadioOnce();
    ASSERT_TRUE(bench->sheet.IsExecuteOnce());

    ASSERT_TRUE(bench->sheet.RequestActivePage(kProgrammerPage));
    bench->programmer.OnBnClickedButtonStart();
    ASSERT_TRUE(Running());
    bench->programmer.OnBnClickedRadioAutomated();
    EXPECT_TRUE(bench->sheet.IsExecuteOnce());
    EXPECT_TRUE(bench->window.executeOnceShown);
    EXPECT_TRUE(Control(M::kRadioOnce).checked);
    EXPECT_FALSE(Control(M::kRadioAutomated).checked);
}

TEST_F(ProgrammerPage, PageChangesAreRefusedWhileUnsavedOrRunning) {
    bench->sheet.SetTopologySaved(false);
    bench->window.Clear();
    EXPECT_FALSE(bench->sheet.RequestActivePage(kProgrammerPage));
    EXPECT_EQ(bench->sheet.ActivePage(), kConfigPage);
    ASSERT_EQ(bench->window.messages.size(), 1u);
    EXPECT_EQ(bench->window.messages[0].text,
              QStringLiteral("Save the topology before Programming"));
    EXPECT_EQ(bench->window.messages[0].icon, MessageIcon::Exclamation);

    bench->sheet.SetTopologySaved(true);
    ASSERT_TRUE(bench->sheet.RequestActivePage(kProgrammerPage));
    bench->programmer.OnBnClickedButtonStart();
    ASSERT_TRUE(Running());
    bench->window.Clear();
    EXPECT_FALSE(bench->sheet.RequestActivePage(kConfigPage));
    EXPECT_EQ(bench->sheet.ActivePage(), kProgrammerPage);
    ASSERT_EQ(bench->window.messages.size(), 1u);
    EXPECT_EQ(bench->window.messages[0].text,
              QStringLiteral("Stop Programming before modifying the configuration"));
}

TEST_F(ProgrammerPage, ClosingAsksOnlyWhileARun) {
    bench->window.Clear();
    EXPECT_TRUE(bench->sheet.ConfirmClose());
    EXPECT_TRUE(bench->window.messages.empty());

    ASSERT_TRUE(bench->sheet.RequestActivePage(kProgrammerPage));
    bench->programmer.OnBnClickedButtonStart();
    ASSERT_TRUE(Running());
    bench->window.messageAnswers.push_back(MessageAnswer::No);
    EXPECT_FALSE(bench->sheet.ConfirmClose());
    ASSERT_EQ(bench->window.messages.size(), 1u);
    EXPECT_EQ(bench->window.messages[0].caption, QStringLiteral("Quit Tool?"));
    EXPECT_EQ(bench->window.messages[0].text,
              QStringLiteral("Programmer thread is still running.\r\nClick Yes to Quit anyway"));
    EXPECT_EQ(bench->window.messages[0].buttons, MessageButtons::YesNo);
    bench->window.messageAnswers.push_back(MessageAnswer::Yes);
    EXPECT_TRUE(bench->sheet.ConfirmClose());
}

} // namespace
