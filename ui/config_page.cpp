#include "ui/config_page.h"

#include "ui/status_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

CConfigPage::CConfigPage(CSheet& sheet, QWidget* parent)
    : DialogPage(ConfigPageTemplate(), treecolors::ConfigPageLegend, parent),
      model_(sheet) {
    model_.SetStatusListener([this](qsizetype removed, const QString& line) {
        StatusBoxWidget()->ShowAppended(model_.Status(), removed, line);
    });
    Connect();
}

void CConfigPage::Connect() {
    using M = ConfigPageModel;
    auto list = [this](int id, void (M::*handler)(int)) {
        connect(ControlAs<QComboBox>(id), &QComboBox::activated, this, [this, handler](int index) {
            (model_.*handler)(index);
            Refresh();
        });
    };
    list(M::kPartList, &M::OnCbnSelchangeComboParttype);
    list(M::kMemoryList, &M::OnCbnSelchangeComboMemtype);
    list(M::kSerialTypeList, &M::OnCbnSelchangeComboSerialType);

    auto check = [this](int id, void (M::*handler)(bool)) {
        connect(ControlAs<QCheckBox>(id), &QCheckBox::clicked, this, [this, handler](bool on) {
            (model_.*handler)(on);
            Refresh();
        });
    };
    check(M::kProgramCheck, &M::OnBnClickedCheckProgram);
    check(M::kVerifyCheck, &M::OnBnClickedCheckVerifyimage);

    auto button = [this](int id, void (M::*handler)()) {
        connect(ControlAs<QPushButton>(id), &QPushButton::clicked, this, [this, handler] {
            (model_.*handler)();
            Refresh();
        });
    };
    button(M::kBrowseButton, &M::OnBnClickedButtonBrowse);
    button(M::kSetButton, &M::OnBnClickedButtonSet);
    button(M::kResetButton, &M::OnBnClickedButtonReset);
    button(M::kDumpOtpButton, &M::OnBnClickedButtonDumpOtp);

    for (const int id : {M::kPrefixEdit, M::kStartEdit, M::kMaxEdit, M::kIncrementEdit}) {
        QLineEdit* edit = ControlAs<QLineEdit>(id);
        connect(edit, &QLineEdit::textEdited, this, [this, id, edit](const QString& text) {
            const QString kept = model_.OnEditChanged(id, text);
            if (kept != text) {
                edit->setText(kept);
            }
        });
    }
}

void CConfigPage::OnInitDialog(bool otpDumpFlag) {
    model_.OnInitDialog(otpDumpFlag);
    Refresh();
}

void CConfigPage::UpdateCfgSettingUI() {
    model_.UpdateCfgSettingUI();
    Refresh();
}

void CConfigPage::AddStatus(const QString& text) {
    model_.AddStatus(text);
}

StatusBox* CConfigPage::StatusBoxWidget() const {
    return ControlAs<StatusBox>(ConfigPageModel::kStatusBox);
}

void CConfigPage::Refresh() {
    ShowControls(model_.Controls());
}
