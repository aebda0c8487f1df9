#include "report/textmetrics.h"

namespace {

// Measured at a large size, where outlines are exact, then scaled.
constexpr double referencePixels = 1000;
constexpr double pointsPerInch = 72;

double inchesPerReferencePixel(const ReportFont& font) {
    return font.pointSize / pointsPerInch / referencePixels;
}

} // namespace

QFont reportQFont(const ReportFont& font, double pixelsPerInch) {
    QFont qfont(QStringLiteral("Arial"));
    qfont.setPixelSize(qMax(1, qRound(font.pointSize / pointsPerInch * pixelsPerInch)));
    qfont.setBold(font.bold);
    qfont.setHintingPreference(QFont::PreferNoHinting);
    qfont.setKerning(false);
    qfont.setStyleStrategy(QFont::PreferOutline);
    return qfont;
}

TextMetrics::TextMetrics()
    : regular_(reportQFont({pointsPerInch, false}, referencePixels)),
      bold_(reportQFont({pointsPerInch, true}, referencePixels)) {}

const QFontMetricsF& TextMetrics::metrics(const ReportFont& font) const {
    return font.bold ? bold_ : regular_;
}

const TextMetrics& TextMetrics::arial() {
    thread_local const TextMetrics metrics;
    return metrics;
}

double TextMetrics::width(const QString& text, const ReportFont& font) const {
    return metrics(font).horizontalAdvance(text) * inchesPerReferencePixel(font);
}

double TextMetrics::ascent(const ReportFont& font) const {
    return metrics(font).ascent() * inchesPerReferencePixel(font);
}

double TextMetrics::descent(const ReportFont& font) const {
    return metrics(font).descent() * inchesPerReferencePixel(font);
}

double TextMetrics::underlinePosition(const ReportFont& font) const {
    return metrics(font).underlinePos() * inchesPerReferencePixel(font);
}

double TextMetrics::underlineThickness(const ReportFont& font) const {
    return metrics(font).lineWidth() * inchesPerReferencePixel(font);
}
