#include "pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

QPixmap transparentPixmap(const QSize &size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap horizontalStripes(const QSize &size, std::initializer_list<QColor> colours) {
    QPixmap flag = transparentPixmap(size);
    QPainter painter(&flag);
    const qreal stripe = qreal(size.height()) / qreal(colours.size());
    qreal top = 0;
    for (const QColor &colour : colours) {
        painter.fillRect(QRectF(0, top, size.width(), stripe), colour);
        top += stripe;
    }
    painter.setPen(QColor(80, 80, 80));
    painter.drawRect(QRect(QPoint(0, 0), size).adjusted(0, 0, -1, -1));
    return flag;
}

// Devices hanging off one network cable.
void drawNetworkDiagram(QPainter &painter, const QRectF &area) {
    const QColor cable(255, 255, 255, 200);
    painter.setPen(QPen(cable, 2));
    const qreal x = area.center().x();
    painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    const int boxes = 4;
    for (int i = 0; i < boxes; ++i) {
        const qreal y = area.top() + (i + 0.5) * area.height() / boxes;
        const qreal side = (i % 2 == 0) ? -1 : 1;
        const QPointF end(x + side * area.width() * 0.32, y);
        painter.setPen(QPen(cable, 2));
        painter.drawLine(QPointF(x, y), end);
        QRectF box(0, 0, area.width() * 0.26, area.height() / boxes * 0.45);
        box.moveCenter(end);
        painter.setPen(QPen(Qt::white, 1.5));
        painter.setBrush(QColor(30, 60, 110));
        painter.drawRoundedRect(box, 3, 3);
        painter.setPen(Qt::NoPen);
        painter.setBrush(i == 0 ? QColor(0, 255, 0) : QColor(255, 210, 0));
        painter.drawEllipse(QPointF(box.right() - 6, box.center().y()), 2.5, 2.5);
    }
}

// Two rails with sleepers, seen in perspective at the foot of the picture.
void drawTrack(QPainter &painter, const QRectF &area) {
    painter.setPen(QPen(QColor(120, 80, 40), 3));
    for (int i = 0; i < 7; ++i) {
        const qreal t = i / 6.0;
        const qreal y = area.top() + t * area.height();
        const qreal half = area.width() * (0.18 + 0.32 * t);
        painter.drawLine(QPointF(area.center().x() - half, y),
                         QPointF(area.center().x() + half, y));
    }
    painter.setPen(QPen(QColor(200, 200, 210), 2.5));
    painter.drawLine(QPointF(area.center().x() - area.width() * 0.12, area.top()),
                     QPointF(area.center().x() - area.width() * 0.36, area.bottom()));
    painter.drawLine(QPointF(area.center().x() + area.width() * 0.12, area.top()),
                     QPointF(area.center().x() + area.width() * 0.36, area.bottom()));
}

} // namespace

QPixmap GermanFlag(const QSize &size) {
    return horizontalStripes(size, {Qt::black, QColor(221, 0, 0), QColor(255, 206, 0)});
}

QPixmap DutchFlag(const QSize &size) {
    return horizontalStripes(size, {QColor(174, 28, 40), Qt::white, QColor(33, 70, 139)});
}

QPixmap EnglishFlag(const QSize &size) {
    QPixmap flag = transparentPixmap(size);
    QPainter painter(&flag);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF all(QPointF(0, 0), QSizeF(size));
    const qreal w = all.width();
    const qreal h = all.height();
    painter.fillRect(all, QColor(1, 33, 105));
    painter.setPen(QPen(Qt::white, h / 5));
    painter.drawLine(all.topLeft(), all.bottomRight());
    painter.drawLine(all.bottomLeft(), all.topRight());
    painter.setPen(QPen(QColor(200, 16, 46), h / 12));
    painter.drawLine(all.topLeft(), all.bottomRight());
    painter.drawLine(all.bottomLeft(), all.topRight());
    painter.fillRect(QRectF(0, h * 0.36, w, h * 0.28), Qt::white);
    painter.fillRect(QRectF(w * 0.42, 0, w * 0.16, h), Qt::white);
    painter.fillRect(QRectF(0, h * 0.42, w, h * 0.16), QColor(200, 16, 46));
    painter.fillRect(QRectF(w * 0.46, 0, w * 0.08, h), QColor(200, 16, 46));
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor(80, 80, 80));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(0, 0), size).adjusted(0, 0, -1, -1));
    return flag;
}

QPixmap InfoIcon(const QSize &size) {
    QPixmap icon = transparentPixmap(size);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1, 1, -1, -1);
    painter.setPen(QPen(QColor(20, 60, 150), 1));
    painter.setBrush(QColor(40, 110, 220));
    painter.drawEllipse(circle);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    const qreal unit = circle.width() / 10;
    painter.drawEllipse(QPointF(circle.center().x(), circle.top() + 2.6 * unit), unit, unit);
    painter.drawRoundedRect(
        QRectF(circle.center().x() - unit, circle.top() + 4.2 * unit, 2 * unit, 4.3 * unit),
        unit / 2, unit / 2);
    return icon;
}

QPixmap LeftPicture(const QSize &size) {
    QPixmap picture(size);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF all(QPointF(0, 0), QSizeF(size));
    QLinearGradient sky(all.topLeft(), all.bottomLeft());
    sky.setColorAt(0, QColor(20, 50, 110));
    sky.setColorAt(1, QColor(70, 130, 200));
    painter.fillRect(all, sky);
    const qreal trackHeight = all.height() * 0.3;
    drawNetworkDiagram(painter, all.adjusted(8, 8, -8, -trackHeight - 4));
    drawTrack(painter, QRectF(all.left(), all.bottom() - trackHeight, all.width(), trackHeight));
    return picture;
}

QIcon WindowIcon() {
    QIcon icon;
    for (const int side : {16, 32, 48, 64}) {
        QPixmap pixmap = transparentPixmap(QSize(side, side));
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF all(0.5, 0.5, side - 1, side - 1);
        painter.setPen(QPen(QColor(20, 50, 110), 1));
        painter.setBrush(QColor(40, 90, 170));
        painter.drawRoundedRect(all, side / 6.0, side / 6.0);
        QPainterPath plug;
        const qreal u = side / 16.0;
        plug.addRect(QRectF(4 * u, 5 * u, 8 * u, 6 * u));
        plug.addRect(QRectF(6 * u, 11 * u, 4 * u, 2 * u));
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawPath(plug);
        painter.setBrush(QColor(0, 220, 0));
        painter.drawRect(QRectF(5 * u, 6 * u, 2 * u, 1.5 * u));
        painter.setBrush(QColor(255, 200, 0));
        painter.drawRect(QRectF(9 * u, 6 * u, 2 * u, 1.5 * u));
        icon.addPixmap(pixmap);
    }
    return icon;
}
