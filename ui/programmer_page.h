// CProgrammerPage: the execution page (dialog 105). It shows its model's control states and
// hands START, STOP and the radio buttons to the model.
#pragma once

#include "pages/programmer_page_model.h"
#include "ui/dialog_page.h"

class CSheet;
class StatusBox;

class CProgrammerPage : public DialogPage {
    Q_OBJECT

public:
    explicit CProgrammerPage(CSheet& sheet, QWidget* parent = nullptr);

    void OnInitDialog();
    void OnSetActive();
    void ShowStartButton();
    void ShowExecutionOption(bool once);
    void AddStatus(const QString& text);

    ProgrammerPageModel& Model() { return model_; }
    const ProgrammerPageModel& Model() const { return model_; }
    StatusBox* StatusBoxWidget() const;
    void Refresh();

private:
    ProgrammerPageModel model_;
};
