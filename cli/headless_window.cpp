#include "cli/headless_window.h"

void HeadlessWindow::AppendStatus(int, const QString& line) {
    std::fprintf(out_, "%s\n", qUtf8Printable(line));
    std::fflush(out_);
}

MessageAnswer HeadlessWindow::ShowMessage(const MessageRequest& request) {
    QString text = request.text;
    while (text.endsWith(u'\n') || text.endsWith(u'\r')) {
        text.chop(1);
    }
    std::fprintf(err_, "%s: %s\n", qUtf8Printable(request.caption), qUtf8Printable(text));
    std::fflush(err_);
    return request.DefaultAnswer();
}

QString HeadlessWindow::AskForFile(const FileDialogRequest&) {
    const QString answer = nextFile_;
    nextFile_.clear();
    return answer;
}
