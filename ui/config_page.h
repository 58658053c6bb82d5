// CConfigPage: the configuration page (dialog 104). It shows its model's control states and
// hands every operator action to the model, which holds all of the page's rules.
#pragma once

#include "pages/config_page_model.h"
#include "ui/dialog_page.h"

class CSheet;
class StatusBox;

class CConfigPage : public DialogPage {
    Q_OBJECT

public:
    explicit CConfigPage(CSheet& sheet, QWidget* parent = nullptr);

    void OnInitDialog(bool otpDumpFlag);
    void UpdateCfgSettingUI();
    void AddStatus(const QString& text);

    ConfigPageModel& Model() { return model_; }
    const ConfigPageModel& Model() const { return model_; }
    StatusBox* StatusBoxWidget() const;
    // Shows the model's state again (after an action changed it).
    void Refresh();

private:
    void Connect();

    ConfigPageModel model_;
};
