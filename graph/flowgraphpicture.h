#pragma once

#include <QImage>
#include <QPicture>
#include <QRectF>
#include <QSize>

class QPainter;

inline constexpr int FlowGraphWidth = 600;
inline constexpr int FlowGraphHeight = 270;

// The recorded flow graph: a vector picture of FlowGraphWidth x
// FlowGraphHeight units that can be drawn at any size. A new one is blank.
class FlowGraphPicture {
public:
    FlowGraphPicture();

    static QSize size() { return {FlowGraphWidth, FlowGraphHeight}; }
    // What is recorded into, and what a report may store as bytes.
    QPicture& picture() { return picture_; }
    const QPicture& picture() const { return picture_; }

    // Draws the whole picture scaled into the target rectangle; nothing is
    // painted behind it.
    void replay(QPainter& painter, const QRectF& target) const;
    // The picture on a white raster image of the given size in pixels.
    QImage render(QSize pixels) const;

private:
    QPicture picture_;
};
