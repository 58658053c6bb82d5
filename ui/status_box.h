// A page's status box: a read-only multi-line box that shows a StatusBoxText and keeps its
// newest line in view.
#pragma once

#include <QPlainTextEdit>

class StatusBoxText;

class StatusBox : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit StatusBox(QWidget* parent = nullptr);

    // `text` has just had `line` appended, after `removed` characters went from its front.
    void ShowAppended(const StatusBoxText& text, qsizetype removed, const QString& line);
    // The box shows `text` whole.
    void ShowText(const StatusBoxText& text);

private:
    void ScrollToNewest();
};
