// The one place where the window shows message boxes, file dialogs and its About box. Tests
// switch on the test hook: then nothing modal is ever shown, questions take the answers set
// with SetNextAnswer (their default button when none is set), file dialogs the files set
// with SetNextFile (cancel when none is set), and every request is recorded.
#pragma once

#include "app/sheet_window.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

class QDialog;
class QWidget;

class OperatorDialogs {
public:
    static MessageAnswer ShowMessage(QWidget* parent, const MessageRequest& request);
    static QString AskForFile(QWidget* parent, const FileDialogRequest& request);
    // Runs `dialog` modally (with the hook on: records its title and returns at once).
    static void RunModal(QDialog& dialog);

    // The test hook.
    static void EnableTestHook();
    static bool TestHookEnabled();
    static void SetNextAnswer(MessageAnswer answer);
    static void SetNextFile(const QString& path);
    static const std::vector<MessageRequest>& Messages();
    static const std::vector<FileDialogRequest>& FileRequests();
    static const QStringList& ModalDialogs();
    static QStringList MessageTexts();
    // Forgets what was recorded and any answers not used yet.
    static void ResetTestHook();

private:
    struct Hook {
        bool enabled = false;
        std::deque<MessageAnswer> answers;
        std::deque<QString> files;
        std::vector<MessageRequest> messages;
        std::vector<FileDialogRequest> fileRequests;
        QStringList modalDialogs;
    };
    static Hook& TheHook();
};
