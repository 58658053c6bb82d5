// A window for engine tests: records everything the sheet shows and answers message boxes and
// file dialogs from scripted answers (the default button / cancel when none is scripted).
#pragma once

#include "app/sheet_window.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

namespace testsupport {

class RecordingWindow : public ISheetWindow {
public:
    struct StatusLine {
        int page;
        QString text;
    };

    // Recorded.
    std::vector<StatusLine> status;
    std::vector<MessageRequest> messages;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<int> activatedPages;
    int activePage = kConfigPage;
    bool executeOnceShown = true;
    bool topologyMenuEnabled = true;
    int startButtonShown = 0; // times ShowStartButton ran
    int cfgUpdates = 0;
    int invalidations = 0;

    // Scripted answers, used in order.
    std::deque<MessageAnswer> messageAnswers;
    std::deque<QString> fileAnswers;

    void AppendStatus(int page, const QString& line) override { status.push_back({page, line}); }
    void ActivatePage(int page) override {
        activePage = page;
        activatedPages.push_back(page);
    }
    MessageAnswer ShowMessage(const MessageRequest& request) override {
        messages.push_back(request);
        if (messageAnswers.empty()) {
            return request.DefaultAnswer();
        }
        const MessageAnswer answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }
    QString AskForFile(const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        if (fileAnswers.empty()) {
            return QString();
        }
        const QString answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }
    void ShowExecutionOption(bool once) override { executeOnceShown = once; }
    void EnableTopologyMenu(bool enabled) override { topologyMenuEnabled = enabled; }
    void ShowStartButton() override { ++startButtonShown; }
    void UpdateCfgSettingUI() override { ++cfgUpdates; }
    void InvalidateTree() override { ++invalidations; }

    // The texts of the status lines (of one page, or of all when page < 0).
    QStringList StatusTexts(int page = -1) const {
        QStringList texts;
        for (const StatusLine& line : status) {
            if (page < 0 || line.page == page) {
                texts.push_back(line.text);
            }
        }
        return texts;
    }
    QStringList MessageTexts() const {
        QStringList texts;
        for (const MessageRequest& m : messages) {
            texts.push_back(m.text);
        }
        return texts;
    }
    void Clear() {
        status.clear();
        messages.clear();
        fileRequests.clear();
        activatedPages.clear();
    }
};

} // namespace testsupport
