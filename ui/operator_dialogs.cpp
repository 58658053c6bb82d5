#include "ui/operator_dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

OperatorDialogs::Hook& OperatorDialogs::TheHook() {
    static Hook hook;
    return hook;
}

MessageAnswer OperatorDialogs::ShowMessage(QWidget* parent, const MessageRequest& request) {
    Hook& hook = TheHook();
    if (hook.enabled) {
        hook.messages.push_back(request);
        if (hook.answers.empty()) {
            return request.DefaultAnswer();
        }
        const MessageAnswer answer = hook.answers.front();
        hook.answers.pop_front();
        return answer;
    }

    QMessageBox box(ToQtIcon(request.icon), request.caption, request.text, QMessageBox::NoButton,
                    parent);
    switch (request.buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        break;
    }
    return MessageAnswer::Ok;
}

QString OperatorDialogs::AskForFile(QWidget* parent, const FileDialogRequest& request) {
    Hook& hook = TheHook();
    if (hook.enabled) {
        hook.fileRequests.push_back(request);
        if (hook.files.empty()) {
            return QString();
        }
        const QString path = hook.files.front();
        hook.files.pop_front();
        return path;
    }

    QFileDialog dialog(parent, request.title);
    const bool save = request.kind == FileDialogRequest::Kind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (save && !request.confirmOverwrite) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    }
    if (!request.filters.isEmpty()) {
        dialog.setNameFilters(request.filters);
    }
    if (!request.defaultExtension.isEmpty()) {
        dialog.setDefaultSuffix(request.defaultExtension);
    }
    if (!request.defaultName.isEmpty()) {
        dialog.selectFile(request.defaultName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
}

void OperatorDialogs::RunModal(QDialog& dialog) {
    Hook& hook = TheHook();
    if (hook.enabled) {
        hook.modalDialogs.push_back(dialog.windowTitle());
        return;
    }
    dialog.exec();
}

void OperatorDialogs::EnableTestHook() {
    TheHook().enabled = true;
}

bool OperatorDialogs::TestHookEnabled() {
    return TheHook().enabled;
}

void OperatorDialogs::SetNextAnswer(MessageAnswer answer) {
    TheHook().answers.push_back(answer);
}

void OperatorDialogs::SetNextFile(const QString& path) {
    TheHook().files.push_back(path);
}

const std::vector<MessageRequest>& OperatorDialogs::Messages() {
    return TheHook().messages;
}

const std::vector<FileDialogRequest>& OperatorDialogs::FileRequests() {
    return TheHook().fileRequests;
}

const QStringList& OperatorDialogs::ModalDialogs() {
    return TheHook().modalDialogs;
}

QStringList OperatorDialogs::MessageTexts() {
    QStringList texts;
    for (const MessageRequest& request : TheHook().messages) {
        texts.push_back(request.text);
    }
    return texts;
}

void OperatorDialogs::ResetTestHook() {
    Hook& hook = TheHook();
    hook.answers.clear();
    hook.files.clear();
    hook.messages.clear();
    hook.fileRequests.clear();
    hook.modalDialogs.clear();
}
