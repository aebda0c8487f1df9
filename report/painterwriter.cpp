#include "report/painterwriter.h"

#include "report/pagepicture.h"
#include "report/textmetrics.h"

#include <QPainter>

#include <cmath>

namespace {

constexpr double pointsPerInch = 72;

QPointF inPoints(QPointF inches) {
    return inches * pointsPerInch;
}

QRectF inPoints(const QRectF& inches) {
    return {inPoints(inches.topLeft()), inches.size() * pointsPerInch};
}

// Item painters work in points: report fonts are whole points, so a font
// sized in these units is exact, and the painter's scale does the rest.
struct ItemPainter {
    QPainter& painter;

    void operator()(const TextRun& run) const {
        painter.save();
        if (!run.clip.isNull())
            painter.setClipRect(inPoints(run.clip), Qt::IntersectClip);
        painter.setFont(reportQFont(run.font, pointsPerInch));
        painter.setPen(Qt::black);
        painter.drawText(inPoints(run.origin), run.text);
        painter.restore();
    }

    void operator()(const RuleLine& line) const {
        painter.save();
        painter.setPen(QPen(Qt::black, line.width * pointsPerInch, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(inPoints(line.from), inPoints(line.to));
        painter.restore();
    }

    void operator()(const PagePicture& picture) const {
        drawScaledPicture(painter, picture.picture, inPoints(picture.rect));
    }
};

} // namespace

void paintPage(QPainter& painter, const ComposedPage& page, double dotsPerInch) {
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.scale(dotsPerInch / pointsPerInch, dotsPerInch / pointsPerInch);
    const ItemPainter itemPainter{painter};
    for (const PageItem& item : page.items)
        std::visit(itemPainter, item);
    painter.restore();
}

QImage pageImage(const ComposedPage& page, double dotsPerInch) {
    const QSize pixels(static_cast<int>(std::lround(page.size.width() * dotsPerInch)),
                       static_cast<int>(std::lround(page.size.height() * dotsPerInch)));
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMetre = static_cast<int>(std::lround(dotsPerInch / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QPainter painter(&image);
    paintPage(painter, page, dotsPerInch);
    return image;
}
