#include "report/pagepicture.h"

#include <QPainter>

#include <cmath>

void drawScaledPicture(QPainter& painter, const QPicture& picture, const QRectF& target) {
    const QRect bounds = picture.boundingRect();
    if (bounds.isEmpty())
        return;
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    painter.translate(target.topLeft());
    painter.scale(target.width() / bounds.width(), target.height() / bounds.height());
    painter.translate(-bounds.topLeft());
    // Playing a picture scales it by the device's resolution over the one it
    // was recorded at; the target rectangle already sets its size.
    if (const QPaintDevice* device = painter.device(); device && device->logicalDpiX() > 0)
        painter.scale(qreal(picture.logicalDpiX()) / device->logicalDpiX(),
                      qreal(picture.logicalDpiY()) / device->logicalDpiY());
    painter.drawPicture(0, 0, picture);
    painter.restore();
}

QImage pagePictureImage(const PagePicture& picture, double dotsPerInch) {
    const QSize pixels(qMax(1, qRound(picture.rect.width() * dotsPerInch)),
                       qMax(1, qRound(picture.rect.height() * dotsPerInch)));
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMetre = qRound(dotsPerInch / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QPainter painter(&image);
    drawScaledPicture(painter, picture.picture, QRectF(QPointF(0, 0), QSizeF(pixels)));
    return image;
}

bool isBlankPicture(const QPicture& picture) {
    // A recording with nothing drawn and no bounding rectangle set has no extent.
    return picture.isNull() || picture.boundingRect().isEmpty();
}
