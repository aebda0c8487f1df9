#pragma once

#include "report/composedpage.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringView>

#include <array>

// Arial's measurements in inches, the same for every writer: Liberation Sans
// stands in for Arial on screen and paper and has Helvetica's advance widths,
// so what the composer measures is what print, preview, PDF and HTML show.
// Text is measured unhinted and without kerning, as a PDF viewer lays it out.
// A text's width is the sum of its characters' advances, each measured once
// and then cached, so a long text is never shaped whole.
class TextMetrics {
public:
    // One per thread, as font engines are not shared between threads.
    static const TextMetrics& arial();

    double width(QStringView text, const ReportFont& font) const;
    double ascent(const ReportFont& font) const;  // top of the line to the baseline
    double descent(const ReportFont& font) const; // baseline to the bottom of the line
    double lineHeight(const ReportFont& font) const { return ascent(font) + descent(font); }
    // Underline: the distance of its top edge below the baseline (as the
    // font's own tables give it; Qt passes it on unchanged), and its thickness.
    double underlinePosition(const ReportFont& font) const;
    double underlineThickness(const ReportFont& font) const;
    // Where the glyphs of `text` reach between `top` and `bottom` inches
    // below the baseline: spans in inches from the text's start, in order.
    QList<QPair<double, double>> inkSpans(QStringView text, const ReportFont& font, double top,
                                          double bottom) const;

private:
    friend class TextWalker;
    TextMetrics();
    const QFontMetricsF& metrics(const ReportFont& font) const;
    // The advance of `character` (one code unit, or a surrogate pair) at the
    // reference size, where advances are exact and add up exactly.
    double referenceAdvance(QStringView character, bool bold) const;

    QFontMetricsF regular_;
    QFontMetricsF bold_;
    // Per weight: Latin-1 in a table (negative: not measured yet), the rest hashed.
    mutable std::array<std::array<double, 256>, 2> latin1Advances_;
    mutable std::array<QHash<char32_t, double>, 2> otherAdvances_;
};

// Walks a text one character at a time (a surrogate pair is one character),
// adding up advances: the width so far is never measured again from the
// start, and a text is looked at only as far as it is walked.
class TextWalker {
public:
    TextWalker(QStringView text, const ReportFont& font, qsizetype from = 0);

    qsizetype position() const { return position_; }
    bool atEnd() const { return position_ >= text_.size(); }
    // Inches from `from` to the position reached.
    double width() const;

    void step(); // past the next character
    // Steps past the next character only if the width then stays within
    // `limit` inches.
    bool stepWithin(double limit);

private:
    qsizetype nextLength() const;
    double nextAdvance() const;

    const TextMetrics& metrics_;
    QStringView text_;
    bool bold_;
    double inchesPerUnit_;
    qsizetype position_;
    double sum_ = 0; // reference units
};

// The Arial font for drawing a report font on a device of the given
// resolution: unhinted, no kerning, sized in pixels so that advances scale
// exactly with the measurements above.
QFont reportQFont(const ReportFont& font, double pixelsPerInch);
