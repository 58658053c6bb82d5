// AboutDlg: the About box (dialog 142) with the tool's icon, its name and its version.
#pragma once

#include <QDialog>

class AboutDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kVersionText = "Version 4.1.3.0";

    explicit AboutDlg(QWidget* parent = nullptr);
    // Fills the version field (control 1062).
    bool OnInitDialog();
};
