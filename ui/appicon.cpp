#include "ui/appicon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap hydrant(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    const QColor red(200, 30, 30);
    const QColor dark(120, 10, 10);
    p.setPen(QPen(dark, 1.2));
    p.setBrush(red);
    // Bonnet, barrel, side outlets and base on a 32-unit grid.
    QPainterPath bonnet;
    bonnet.moveTo(9, 11);
    bonnet.cubicTo(9, 4, 23, 4, 23, 11);
    bonnet.closeSubpath();
    p.drawPath(bonnet);
    p.drawRect(QRectF(14.5, 2, 3, 3));
    p.drawRect(QRectF(8, 11, 16, 2.5));
    p.drawRect(QRectF(10, 13.5, 12, 13));
    p.drawRect(QRectF(4, 16, 6, 5));
    p.drawRect(QRectF(22, 16, 6, 5));
    p.drawRect(QRectF(7, 26.5, 18, 3.5));
    p.setBrush(QColor(240, 240, 240));
    p.drawEllipse(QPointF(16, 19.5), 2.6, 2.6);
    return pixmap;
}

} // namespace

QIcon appIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(hydrant(size));
    return icon;
}
