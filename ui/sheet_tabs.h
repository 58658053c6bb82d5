// The sheet's tab control. It never changes the page by itself: a click on a tab (or the
// keyboard's page switching) only asks, through PageRequested; the sheet decides and brings
// the page to the front with ShowPage.
#pragma once

#include <QTabWidget>

class SheetTabs : public QTabWidget {
    Q_OBJECT

public:
    explicit SheetTabs(QWidget* parent = nullptr);

    void ShowPage(int index);

Q_SIGNALS:
    void PageRequested(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
