#include "pages/programmer_page_model.h"

#include "app/sheet.h"
#include "log/logger.h"

ProgrammerPageModel::ProgrammerPageModel(CSheet& sheet)
    : sheet_(sheet), controls_(ProgrammerPageTemplate()) {}

void ProgrammerPageModel::OnInitDialog() {
    CLogger log("CProgrammerPage::OnInitDialog");
    ShowExecutionOption(sheet_.IsExecuteOnce());
}

void ProgrammerPageModel::OnSetActive() {
    CLogger log("CProgrammerPage::OnSetActive");
    controls_.SetText(kTopologyFileBox, sheet_.GetCurrentTopologyFile());
}

void ProgrammerPageModel::OnBnClickedButtonStart() {
    CLogger log("CProgrammerPage::OnBnClickedButtonStart");
    if (!sheet_.StartProgramming()) {
        return; // the run control has said why
    }
    controls_.Show(kStartButton, false);
    controls_.Show(kStopButton, true);
}

void ProgrammerPageModel::OnBnClickedStopProgramButton() {
    CLogger log("CProgrammerPage::OnBnClickedStopProgramButton");
    if (!sheet_.StopProgramming()) {
        return;
    }
    // START comes back only when the run has ended.
    controls_.Show(kStopButton, false);
    AddStatus(QString::fromLatin1(kStoppingText));
}

void ProgrammerPageModel::OnRadioClicked(bool once) {
    const int clicked = once ? kRadioOnce : kRadioAutomated;
    const int other = once ? kRadioAutomated : kRadioOnce;
    // The click itself has selected the button, as a radio button does.
    controls_.Check(clicked, true);
    controls_.Check(other, false);
    if (sheet_.IsExecuteOnce() == once) {
        return;
    }
    if (sheet_.GetProgrammerStatus()) {
        // No change of the option during a run: the click is undone.
        controls_.Check(clicked, false);
        controls_.Check(other, true);
        return;
    }
    sheet_.SetExecutionOption(once);
}

void ProgrammerPageModel::OnBnClickedRadioOnce() {
    CLogger log("CProgrammerPage::OnBnClickedRadioOnce");
    OnRadioClicked(true);
}

void ProgrammerPageModel::OnBnClickedRadioAutomated() {
    CLogger log("CProgrammerPage::OnBnClickedRadioAutomated");
    OnRadioClicked(false);
}

void ProgrammerPageModel::ShowStartButton() {
    CLogger log("CProgrammerPage::ShowStartButton");
    controls_.Show(kStopButton, false);
    controls_.Show(kStartButton, true);
}

void ProgrammerPageModel::ShowExecutionOption(bool once) {
    controls_.Check(kRadioOnce, once);
    controls_.Check(kRadioAutomated, !once);
}

qsizetype ProgrammerPageModel::AddStatus(const QString& text) {
    CLogger log("CProgrammerPage::AddStatus");
    const qsizetype removed = status_.Append(text);
    if (statusListener_) {
        statusListener_(removed, text);
    }
    return removed;
}
