#include "graph/flowgraphpicture.h"

#include <QPainter>

FlowGraphPicture::FlowGraphPicture() {
    picture_.setBoundingRect(QRect(QPoint(0, 0), size()));
}

void FlowGraphPicture::replay(QPainter& painter, const QRectF& target) const {
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.translate(target.topLeft());
    painter.scale(target.width() / FlowGraphWidth, target.height() / FlowGraphHeight);
    painter.drawPicture(0, 0, picture_);
    painter.restore();
}

QImage FlowGraphPicture::render(QSize pixels) const {
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    replay(painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    return image;
}
