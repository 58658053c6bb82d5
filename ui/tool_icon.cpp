#include "ui/tool_icon.h"

#include <QPainter>
#include <QPainterPath>

QPixmap ToolIconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);

    QPainterPath tile;
    tile.addRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    painter.fillPath(tile, QColor(0, 73, 153));

    const QColor white(255, 255, 255);
    QPen line(white, 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(line);
    painter.drawLine(QPointF(32, 22), QPointF(32, 34));
    painter.drawLine(QPointF(15, 34), QPointF(49, 34));
    for (const qreal x : {15.0, 32.0, 49.0}) {
        painter.drawLine(QPointF(x, 34), QPointF(x, 42));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(white);
    painter.drawRoundedRect(QRectF(22, 9, 20, 14), 3, 3);
    painter.setBrush(QColor(0, 224, 0));
    for (const qreal x : {15.0, 32.0, 49.0}) {
        painter.drawEllipse(QPointF(x, 47), 6, 6);
    }
    return pixmap;
}

QIcon ToolIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(ToolIconPixmap(size));
    }
    return icon;
}
