#include "ui/programmer_page.h"

#include "ui/status_box.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

CProgrammerPage::CProgrammerPage(CSheet& sheet, QWidget* parent)
    : DialogPage(ProgrammerPageTemplate(), treecolors::ProgrammerPageLegend, parent),
      model_(sheet) {
    model_.SetStatusListener([this](qsizetype removed, const QString& line) {
        StatusBoxWidget()->ShowAppended(model_.Status(), removed, line);
    });
    using M = ProgrammerPageModel;
    auto button = [this](int id, void (M::*handler)()) {
        connect(ControlAs<QAbstractButton>(id), &QAbstractButton::clicked, this, [this, handler] {
            (model_.*handler)();
            Refresh();
        });
    };
    button(M::kStartButton, &M::OnBnClickedButtonStart);
    button(M::kStopButton, &M::OnBnClickedStopProgramButton);
    button(M::kRadioOnce, &M::OnBnClickedRadioOnce);
    button(M::kRadioAutomated, &M::OnBnClickedRadioAutomated);
}

void CProgrammerPage::OnInitDialog() {
    model_.OnInitDialog();
    Refresh();
}

void CProgrammerPage::OnSetActive() {
    model_.OnSetActive();
    Refresh();
}

void CProgrammerPage::ShowStartButton() {
    model_.ShowStartButton();
    Refresh();
}

void CProgrammerPage::ShowExecutionOption(bool once) {
    model_.ShowExecutionOption(once);
    Refresh();
}

void CProgrammerPage::AddStatus(const QString& text) {
    model_.AddStatus(text);
}

StatusBox* CProgrammerPage::StatusBoxWidget() const {
    return ControlAs<StatusBox>(ProgrammerPageModel::kStatusBox);
}

void CProgrammerPage::Refresh() {
    ShowControls(model_.Controls());
    // The topology file box is a multi-line box of its own kind.
    auto* path = ControlAs<QPlainTextEdit>(ProgrammerPageModel::kTopologyFileBox);
    const QString file = model_.Controls().At(ProgrammerPageModel::kTopologyFileBox).text;
    if (path != nullptr && path->toPlainText() != file) {
        path->setPlainText(file);
    }
}
