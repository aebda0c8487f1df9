#pragma once

#include "report/composedpage.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>

// Arial's measurements in inches, the same for every writer: Liberation Sans
// stands in for Arial on screen and paper and has Helvetica's advance widths,
// so what the composer measures is what print, preview, PDF and HTML show.
// Text is measured unhinted and without kerning, as a PDF viewer lays it out.
class TextMetrics {
public:
    // One per thread, as font engines are not shared between threads.
    static const TextMetrics& arial();

    double width(const QString& text, const ReportFont& font) const;
    double ascent(const ReportFont& font) const;  // top of the line to the baseline
    double descent(const ReportFont& font) const; // baseline to the bottom of the line
    double lineHeight(const ReportFont& font) const { return ascent(font) + descent(font); }
    // Underline: its distance below the baseline, and its thickness.
    double underlinePosition(const ReportFont& font) const;
    double underlineThickness(const ReportFont& font) const;

private:
    TextMetrics();
    const QFontMetricsF& metrics(const ReportFont& font) const;
    QFontMetricsF regular_;
    QFontMetricsF bold_;
};

// The Arial font for drawing a report font on a device of the given
// resolution: unhinted, no kerning, sized in pixels so that advances scale
// exactly with the measurements above.
QFont reportQFont(const ReportFont& font, double pixelsPerInch);
