// The text of a page's status box. Lines end in CR LF; past 15000 characters the oldest 14000
// go before the next line is added, so the box never holds much more than 15000.
#pragma once

#include <QString>

class StatusBoxText {
public:
    static constexpr qsizetype kLimit = 15000;
    static constexpr qsizetype kCut = 14000;

    // Adds `line` and its CR LF; returns how many characters were removed from the front
    // first (0 or kCut).
    qsizetype Append(const QString& line);
    const QString& Text() const { return text_; }
    void Clear() { text_.clear(); }

private:
    QString text_;
};
