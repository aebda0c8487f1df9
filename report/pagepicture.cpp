#include "report/pagepicture.h"

#include <QPainter>

#include <cstdlib>
#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {

// The picture's image is several megabytes, first touched whole by the white
// fill. In fresh memory that is a page fault every 4 KiB, which costs a
// one-report process more than drawing the picture; asked for in 2 MiB pages
// it takes a few faults instead. Where the system has no such pages, or
// declines, the image is the same in ordinary pages.
QImage imageInLargePages(QSize pixels) {
#ifdef MADV_HUGEPAGE
    constexpr std::size_t largePage = 2 << 20;
    const qsizetype bytesPerLine = qsizetype(pixels.width()) * 4; // RGB32 rows need no padding
    const std::size_t bytes = std::size_t(bytesPerLine) * std::size_t(pixels.height());
    const std::size_t reserved = (bytes + largePage - 1) / largePage * largePage;
    if (void* buffer = std::aligned_alloc(largePage, reserved)) {
        madvise(buffer, reserved, MADV_HUGEPAGE);
        const auto freeBuffer = [](void* p) { std::free(p); };
        QImage image(static_cast<uchar*>(buffer), pixels.width(), pixels.height(), bytesPerLine,
                     QImage::Format_RGB32, freeBuffer, buffer);
        if (!image.isNull())
            return image;
        std::free(buffer); // a size QImage refuses: it took no ownership
    }
#endif
    return QImage(pixels, QImage::Format_RGB32);
}

} // namespace

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
    QImage image = imageInLargePages(pixels);
    // The picture paints no background of its own, only white boxes under
    // its texts, so all of it starts white.
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
