// CProgrammerPage's rules without widgets: the topology file in use, START and STOP (START
// turns into STOP while a run goes on; after STOP neither shows until the run has ended), the
// two radio buttons that mirror the execution option's menu marks, and the programming
// status box. The execution page widget only shows Controls() and forwards clicks here.
#pragma once

#include "pages/control_state.h"
#include "pages/status_box_text.h"

#include <QString>

#include <functional>

class CSheet;

class ProgrammerPageModel {
public:
    // Controls of dialog 105 the rules address.
    enum ControlId : int {
        kTreeFrame = 1000,
        kTopologyFileBox = 1030,
        kSettingsGroup = 1003,
        kStatusLabel = 1020,
        kStatusBox = 1021,
        kRadioOnce = 1026,
        kRadioAutomated = 1027,
        kStartButton = 1025,
        kStopButton = 1023,
    };

    static constexpr const char* kStoppingText = "Stopping the execution engine. Please wait..";

    explicit ProgrammerPageModel(CSheet& sheet);

    // Page creation: the radio buttons follow the menu marks.
    void OnInitDialog();
    // The page comes to the front: it shows the topology file in use.
    void OnSetActive();

    void OnBnClickedButtonStart();
    void OnBnClickedStopProgramButton();
    void OnBnClickedRadioOnce();
    void OnBnClickedRadioAutomated();

    // Called through the window by the sheet.
    void ShowStartButton();
    void ShowExecutionOption(bool once);
    // Appends a line to the programming status box; returns the characters cut from its front.
    qsizetype AddStatus(const QString& text);

    const PageControls& Controls() const { return controls_; }
    const StatusBoxText& Status() const { return status_; }
    // Told of every line added to the status box (with the characters cut from its front),
    // so that a widget can show it.
    using StatusListener = std::function<void(qsizetype removed, const QString& line)>;
    void SetStatusListener(StatusListener listener) { statusListener_ = std::move(listener); }

private:
    void OnRadioClicked(bool once);

    CSheet& sheet_;
    PageControls controls_;
    StatusBoxText status_;
    StatusListener statusListener_;
};
