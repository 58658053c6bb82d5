// A sheet on the simulated bench with both page models bound to a recording window, as the
// real window binds them: the sheet's refresh, status and START calls reach the models.
#pragma once

#include "app/sheet.h"
#include "hub/device_data.h"
#include "pages/config_page_model.h"
#include "pages/programmer_page_model.h"
#include "tests/support/recording_window.h"
#include "tests/support/sim_bench.h"
#include "topology/tcf_data.h"

#include <set>

namespace pagetest {

class PageWindow : public testsupport::RecordingWindow {
public:
    ConfigPageModel* config = nullptr;
    ProgrammerPageModel* programmer = nullptr;

    void AppendStatus(int page, const QString& line) override {
        RecordingWindow::AppendStatus(page, line);
        if (page == kConfigPage && config != nullptr) {
            config->AddStatus(line);
        } else if (page == kProgrammerPage && programmer != nullptr) {
            programmer->AddStatus(line);
        }
    }
    void ActivatePage(int page) override {
        RecordingWindow::ActivatePage(page);
        if (page == kProgrammerPage && programmer != nullptr) {
            programmer->OnSetActive();
        }
    }
    void ShowExecutionOption(bool once) override {
        RecordingWindow::ShowExecutionOption(once);
        if (programmer != nullptr) {
            programmer->ShowExecutionOption(once);
        }
    }
    void ShowStartButton() override {
        RecordingWindow::ShowStartButton();
        if (programmer != nullptr) {
            programmer->ShowStartButton();
        }
    }
    void UpdateCfgSettingUI() override {
        RecordingWindow::UpdateCfgSettingUI();
        if (config != nullptr) {
            config->UpdateCfgSettingUI();
        }
    }
};

struct AppFirst {
    AppFirst() { testsupport::EnsureCoreApplication(); }
};

class PageBench : AppFirst {
public:
    explicit PageBench(bool otpDump = false)
        : sheet(window), config(sheet), programmer(sheet) {
        window.config = &config;
        window.programmer = &programmer;
        config.OnInitDialog(otpDump);
        programmer.OnInitDialog();
        sheet.OnInitDialog();
    }
    ~PageBench() { sheet.OnDestroy(); }
    PageBench(const PageBench&) = delete;
    PageBench& operator=(const PageBench&) = delete;

    TreeItem* Item(const QString& topology) {
        for (TreeItem* item : sheet.GetTreeCtrl().AllItems()) {
            if (item->Record() != nullptr && item->Record()->GetInternalPortName() == topology) {
                return item;
            }
        }
        return nullptr;
    }
    void Select(const QString& topology) { sheet.SelectTreeItem(Item(topology)); }
    TcfItem& Node(const QString& topology) {
        return CTCFData::Instance().Item(Item(topology)->Record()->GetTCFIndex());
    }
    const ControlState& Control(int id) const { return config.Controls().At(id); }
    // The enabled controls among `ids`.
    std::set<int> Enabled(std::initializer_list<int> ids) const {
        std::set<int> enabled;
        for (const int id : ids) {
            if (config.Controls().At(id).enabled) {
                enabled.insert(id);
            }
        }
        return enabled;
    }

    PageWindow window;
    CSheet sheet;
    ConfigPageModel config;
    ProgrammerPageModel programmer;
};

// Every settings control of the configuration page.
inline constexpr std::initializer_list<int> kSettingsControls = {
    1003, 1053, 1054, 1004, 1005, 1055, 1024, 1012, 1006, 1020, 1015, 1040, 1041,
    1042, 1046, 1021, 1045, 1025, 1043, 1022, 1044, 1023, 1049, 1048, 1050, 1051};

} // namespace pagetest
