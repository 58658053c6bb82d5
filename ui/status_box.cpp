#include "ui/status_box.h"

#include "pages/status_box_text.h"

#include <QScrollBar>
#include <QTextCursor>

namespace {

// Lines are kept with CR LF; the box shows each as one line.
QString DisplayText(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.remove(u'\r');
    return shown;
}

} // namespace

StatusBox::StatusBox(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTextInteractionFlags(Qt::TextSelectableByMouse); // no caret in a box nobody types in
}

void StatusBox::ShowAppended(const StatusBoxText& text, qsizetype removed, const QString& line) {
    if (removed > 0) {
        ShowText(text);
        return;
    }
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(DisplayText(line) + QLatin1Char('\n'));
    ScrollToNewest();
}

void StatusBox::ShowText(const StatusBoxText& text) {
    setPlainText(DisplayText(text.Text()));
    ScrollToNewest();
}

void StatusBox::ScrollToNewest() {
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}
