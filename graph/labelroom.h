#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <utility>

class GraphCanvas;

// What a graph's texts must not cover: the boxes of marks, texts and a
// legend, and the lines drawn across the plot, each with a unit of
// clearance. Texts are opaque, so one laid over a line would hide it.
class LabelRoom {
public:
    explicit LabelRoom(const QRect& bounds) : bounds_(bounds) {}

    void takeBox(const QRect& box);
    void takeLine(QPoint from, QPoint to, int penWidth);

    // Whether the box lies inside the bounds and clear of everything taken.
    bool isFree(const QRect& box) const;
    // How wide a box of `height` starting at `topLeft` may be before it runs
    // into something taken or out of the bounds; 0 when its start is taken.
    int widthFrom(QPoint topLeft, int height) const;

private:
    struct Line {
        QPoint from;
        QPoint to;
        int reach; // half the pen and the clearance
    };
    using Span = std::pair<int, int>; // first and last column

    // The columns each taken thing covers in rows `top` to `bottom`.
    QList<Span> spansIn(int top, int bottom) const;

    QRect bounds_;
    QList<QRect> boxes_;
    QList<Line> lines_;
};

// The text, or its longest beginning that still fits `width` with "…" after
// it; empty when not even "…" fits.
QString elidedToWidth(const GraphCanvas& canvas, const QString& text, int width);
