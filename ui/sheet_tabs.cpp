#include "ui/sheet_tabs.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabBar>

SheetTabs::SheetTabs(QWidget* parent) : QTabWidget(parent) {
    tabBar()->installEventFilter(this);
    tabBar()->setFocusPolicy(Qt::NoFocus);
}

void SheetTabs::ShowPage(int index) {
    if (currentIndex() != index) {
        setCurrentIndex(index);
    }
}

bool SheetTabs::eventFilter(QObject* watched, QEvent* event) {
    if (watched != tabBar()) {
        return QTabWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            const int index = tabBar()->tabAt(mouse->position().toPoint());
            if (index >= 0 && index != currentIndex()) {
                Q_EMIT PageRequested(index);
            }
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        return true; // the tab bar would switch pages by itself
    default:
        return QTabWidget::eventFilter(watched, event);
    }
}

void SheetTabs::keyPressEvent(QKeyEvent* event) {
    const bool next = (event->key() == Qt::Key_Tab || event->key() == Qt::Key_PageDown) &&
                      (event->modifiers() & Qt::ControlModifier) != 0;
    const bool previous = (event->key() == Qt::Key_Backtab || event->key() == Qt::Key_PageUp) &&
                          (event->modifiers() & Qt::ControlModifier) != 0;
    if (next || previous) {
        const int pages = count();
        if (pages > 1) {
            Q_EMIT PageRequested((currentIndex() + (next ? 1 : pages - 1)) % pages);
        }
        event->accept();
        return;
    }
    QTabWidget::keyPressEvent(event);
}
