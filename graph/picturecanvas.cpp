#include "graph/picturecanvas.h"

#include <QPicture>

namespace {

// A line through integer points runs along the middle of the unit squares
// those points name, as on a raster device, so that a one-unit line at
// 1:1 covers exactly one row or column of pixels.
QPointF unitCentre(QPoint p) {
    return QPointF(p) + QPointF(0.5, 0.5);
}

} // namespace

PictureCanvas::PictureCanvas(QPicture& picture, QSize size)
    : picture_(picture), size_(size), painter_(&picture) {
    setPen(Qt::black, 1);
    painter_.setFont(measure_.font());
}

PictureCanvas::~PictureCanvas() {
    painter_.end();
    // The picture keeps its full size even where nothing was drawn.
    picture_.setBoundingRect(QRect(QPoint(0, 0), size_));
}

void PictureCanvas::setPen(const QColor& colour, int width) {
    setStyledPen(colour, width, Qt::SolidLine);
}

void PictureCanvas::setStyledPen(const QColor& colour, int width, Qt::PenStyle style) {
    // Flat caps: a line ends at its end point and does not run past it.
    painter_.setPen(QPen(colour, width, style, Qt::FlatCap, Qt::MiterJoin));
}

void PictureCanvas::setFont(const QString& family, int pointSize) {
    measure_ = FontMeasure(family, pointSize);
    painter_.setFont(measure_.font());
}

void PictureCanvas::moveTo(int x, int y) {
    current_ = QPoint(x, y);
}

void PictureCanvas::lineTo(int x, int y) {
    const QPoint to(x, y);
    painter_.drawLine(unitCentre(current_), unitCentre(to));
    current_ = to;
}

void PictureCanvas::textOut(int x, int y, const QString& text) {
    const QRect box(x, y, measure_.width(text), measure_.height());
    painter_.fillRect(box, Qt::white);
    // Text has its own colour, the window-text black, whatever the pen.
    const QPen linePen = painter_.pen();
    painter_.setPen(Qt::black);
    painter_.drawText(QPointF(x, y + measure_.ascent()), text);
    painter_.setPen(linePen);
}

void PictureCanvas::clearBox(int x, int y, int width, int height) {
    painter_.fillRect(QRect(x, y, width, height), Qt::white);
}

int PictureCanvas::textWidth(const QString& text) const {
    return measure_.width(text);
}

int PictureCanvas::textHeight(const QString&) const {
    return measure_.height();
}
