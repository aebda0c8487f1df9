#include "recordingcanvas.h"

void RecordingCanvas::setPen(const QColor& colour, int width) {
    penWidth_ = width;
    penColour_ = colour;
    penStyle_ = Qt::SolidLine;
    target_.setPen(colour, width);
}

void RecordingCanvas::setStyledPen(const QColor& colour, int width, Qt::PenStyle style) {
    penWidth_ = width;
    penColour_ = colour;
    penStyle_ = style;
    target_.setStyledPen(colour, width, style);
}

void RecordingCanvas::setFont(const QString& family, int pointSize) {
    target_.setFont(family, pointSize);
}

void RecordingCanvas::moveTo(int x, int y) {
    current_ = QPoint(x, y);
    target_.moveTo(x, y);
}

void RecordingCanvas::lineTo(int x, int y) {
    lines_.append({current_, QPoint(x, y), penWidth_, penColour_, penStyle_});
    current_ = QPoint(x, y);
    target_.lineTo(x, y);
}

void RecordingCanvas::textOut(int x, int y, const QString& text) {
    texts_.append({QPoint(x, y), text, target_.textWidth(text), target_.textHeight(text)});
    target_.textOut(x, y, text);
}

void RecordingCanvas::clearBox(int x, int y, int width, int height) {
    cleared_.append(QRect(x, y, width, height));
    target_.clearBox(x, y, width, height);
}

int RecordingCanvas::textWidth(const QString& text) const {
    return target_.textWidth(text);
}

int RecordingCanvas::textHeight(const QString& text) const {
    return target_.textHeight(text);
}

int SyntheticFontCanvas::charWidth(QChar c) const {
    if (c.isDigit() && c.unicode() < 128)
        return metrics_.digit;
    if (c == '.' || c == ',')
        return metrics_.separator;
    if (c == 'E')
        return metrics_.exponent;
    if (c == '-')
        return metrics_.minus;
    return metrics_.other;
}

int SyntheticFontCanvas::textWidth(const QString& text) const {
    int width = 0;
    for (const QChar c : text)
        width += charWidth(c);
    return width;
}
