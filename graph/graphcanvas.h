#pragma once

#include <QColor>
#include <QString>

// The few drawing operations the flow graph needs, in integer picture
// units with the origin at the top left and y growing downwards.
class GraphCanvas {
public:
    virtual ~GraphCanvas() = default;

    virtual void setPen(const QColor& colour, int width) = 0;
    // The same with a dash pattern, for lines that must stay apart in black
    // and white print; a canvas that draws no dashes draws them solid.
    virtual void setStyledPen(const QColor& colour, int width, Qt::PenStyle /*style*/) {
        setPen(colour, width);
    }
    // The font by name and size in points; the size is taken at 96 units to
    // the inch, so 12 points give an em of 16 units.
    virtual void setFont(const QString& family, int pointSize) = 0;
    // Sets the current point.
    virtual void moveTo(int x, int y) = 0;
    // Draws from the current point up to (x, y), which becomes current.
    virtual void lineTo(int x, int y) = 0;
    // Draws the text with its top left corner at (x, y), opaquely: on a white
    // box of the text's own extent that hides whatever lies under it.
    virtual void textOut(int x, int y, const QString& text) = 0;
    // Paints the box white, hiding whatever lies under it, as under a text.
    virtual void clearBox(int /*x*/, int /*y*/, int /*width*/, int /*height*/) {}
    virtual int textWidth(const QString& text) const = 0;
    // The font's line height; the same for every text.
    virtual int textHeight(const QString& text) const = 0;
};
