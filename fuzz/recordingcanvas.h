#pragma once

#include "graph/graphcanvas.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

// Keeps every stroke, cleared box and text drawn, in order, and passes each
// on to the canvas it wraps, which also measures the text.
class RecordingCanvas : public GraphCanvas {
public:
    struct Line {
        QPoint from;
        QPoint to;
        int penWidth = 1;
        QColor colour = Qt::black;
        Qt::PenStyle style = Qt::SolidLine;
    };
    struct Text {
        QPoint at;
        QString text;
        int width = 0;
        int height = 0;
        int right() const { return at.x() + width; }
        int bottom() const { return at.y() + height; }
    };

    explicit RecordingCanvas(GraphCanvas& target) : target_(target) {}

    void setPen(const QColor& colour, int width) override;
    void setStyledPen(const QColor& colour, int width, Qt::PenStyle style) override;
    void setFont(const QString& family, int pointSize) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void textOut(int x, int y, const QString& text) override;
    void clearBox(int x, int y, int width, int height) override;
    int textWidth(const QString& text) const override;
    int textHeight(const QString& text) const override;

    const QList<Line>& lines() const { return lines_; }
    const QList<Text>& texts() const { return texts_; }
    const QList<QRect>& clearedBoxes() const { return cleared_; }

private:
    GraphCanvas& target_;
    QList<Line> lines_;
    QList<Text> texts_;
    QList<QRect> cleared_;
    QPoint current_;
    int penWidth_ = 1;
    QColor penColour_ = Qt::black;
    Qt::PenStyle penStyle_ = Qt::SolidLine;
};

// Draws nothing and measures text with widths the fuzzer chose: one width
// for every digit, as in the fonts a report uses, one each for the decimal
// separator, the exponent's E and the minus sign, and one for all else.
class SyntheticFontCanvas : public GraphCanvas {
public:
    struct Metrics {
        int digit = 9;
        int separator = 4;
        int exponent = 11;
        int minus = 5;
        int other = 9;
        int height = 18;
    };

    explicit SyntheticFontCanvas(const Metrics& metrics) : metrics_(metrics) {}

    void setPen(const QColor&, int) override {}
    void setFont(const QString&, int) override {}
    void moveTo(int, int) override {}
    void lineTo(int, int) override {}
    void textOut(int, int, const QString&) override {}
    int textWidth(const QString& text) const override;
    int textHeight(const QString&) const override { return metrics_.height; }

private:
    int charWidth(QChar c) const;

    Metrics metrics_;
};
