// The runner's window: status lines go to stdout as they are added, message box texts to
// stderr (a question takes its default answer), file dialogs answer with the file the command
// line named.
#pragma once

#include "app/sheet_window.h"

#include <QString>

#include <cstdio>

class HeadlessWindow : public ISheetWindow {
public:
    HeadlessWindow(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

    // The answer of the next file dialog (empty: cancelled).
    void SetNextFile(const QString& path) { nextFile_ = path; }
    bool StartButtonShown() const { return startShown_; }
    int ActivePage() const { return activePage_; }

    void AppendStatus(int page, const QString& line) override;
    void ActivatePage(int page) override { activePage_ = page; }
    MessageAnswer ShowMessage(const MessageRequest& request) override;
    QString AskForFile(const FileDialogRequest& request) override;
    void ShowExecutionOption(bool) override {}
    void EnableTopologyMenu(bool) override {}
    void ShowStartButton() override { startShown_ = true; }
    void UpdateCfgSettingUI() override {}
    void InvalidateTree() override {}

private:
    std::FILE* out_;
    std::FILE* err_;
    QString nextFile_;
    bool startShown_ = true;
    int activePage_ = kConfigPage;
};
