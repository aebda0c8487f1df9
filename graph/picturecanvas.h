#pragma once

#include "graph/fontmeasure.h"
#include "graph/graphcanvas.h"

#include <QPainter>
#include <QPoint>
#include <QSize>

class QPicture;

// A canvas that records onto a QPicture of a given size. The picture is
// complete once the canvas is destroyed.
class PictureCanvas : public GraphCanvas {
public:
    PictureCanvas(QPicture& picture, QSize size);
    ~PictureCanvas() override;
    PictureCanvas(const PictureCanvas&) = delete;
    PictureCanvas& operator=(const PictureCanvas&) = delete;

    void setPen(const QColor& colour, int width) override;
    void setStyledPen(const QColor& colour, int width, Qt::PenStyle style) override;
    void setFont(const QString& family, int pointSize) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void textOut(int x, int y, const QString& text) override;
    void clearBox(int x, int y, int width, int height) override;
    int textWidth(const QString& text) const override;
    int textHeight(const QString& text) const override;

private:
    QPicture& picture_;
    QSize size_;
    QPainter painter_;
    FontMeasure measure_{QStringLiteral("Arial"), 12};
    QPoint current_;
};
