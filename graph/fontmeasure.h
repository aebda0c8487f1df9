#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QString>

// Measures text in a font sized at 96 units to the inch, independent of the
// screen or printer resolution, so that what is measured is what a replay of
// the picture draws at any scale.
class FontMeasure {
public:
    FontMeasure(const QString& family, int pointSize);

    // The font to draw with: the same one that is measured.
    const QFont& font() const { return font_; }
    // Width of the text, rounded up to whole units so that a box of this
    // width always holds the whole text.
    int width(const QString& text) const;
    // The line height (ascent + descent), rounded up.
    int height() const;
    // Distance from the top of the line to the baseline, unrounded.
    qreal ascent() const { return metrics_.ascent(); }

private:
    QFont font_;
    QFontMetricsF metrics_;
};
