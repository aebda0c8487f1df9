#include "report/textmetrics.h"

#include <QPainterPath>

#include <cmath>

namespace {

// Measured at a large size, where outlines are exact, then scaled.
constexpr double referencePixels = 1000;
constexpr double pointsPerInch = 72;
// Qt lays a tab out as a jump to the next stop, one every 80 pixels (of the
// reference size here) from where the text starts. It finds the stop in
// 1/64 pixel fixed point with a rounded quotient, so a position just short
// of a stop counts as on it; done the same way, widths stay identical.
double tabAdvance(double x) {
    constexpr qint64 stop = 80 * 64;
    const qint64 fixedX = std::llround(x * 64);
    const qint64 stopsPassed = (fixedX * 64 + stop / 2) / stop / 64;
    return static_cast<double>((stopsPassed + 1) * stop) / 64 - x;
}

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
      bold_(reportQFont({pointsPerInch, true}, referencePixels)) {
    for (auto& table : latin1Advances_)
        table.fill(-1);
}

const QFontMetricsF& TextMetrics::metrics(const ReportFont& font) const {
    return font.bold ? bold_ : regular_;
}

const TextMetrics& TextMetrics::arial() {
    thread_local const TextMetrics metrics;
    return metrics;
}

double TextMetrics::referenceAdvance(QStringView character, bool bold) const {
    const QFontMetricsF& measure = bold ? bold_ : regular_;
    const char32_t code = character.size() == 2 ? QChar::surrogateToUcs4(character[0], character[1])
                                                : character[0].unicode();
    if (code < 256) {
        double& advance = latin1Advances_[bold][code];
        if (advance < 0)
            advance = measure.horizontalAdvance(character.toString());
        return advance;
    }
    auto& others = otherAdvances_[bold];
    auto known = others.constFind(code);
    if (known == others.cend())
        known = others.insert(code, measure.horizontalAdvance(character.toString()));
    return *known;
}

double TextMetrics::width(QStringView text, const ReportFont& font) const {
    TextWalker walker(text, font);
    while (!walker.atEnd())
        walker.step();
    return walker.width();
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

QList<QPair<double, double>> TextMetrics::inkSpans(QStringView text, const ReportFont& font,
                                                   double top, double bottom) const {
    // Glyph outlines in reference pixels, y growing downwards from the baseline.
    const double scale = inchesPerReferencePixel(font);
    const QFont reference = reportQFont({pointsPerInch, font.bold}, referencePixels);
    QList<QPair<double, double>> spans;
    TextWalker walker(text, font);
    while (!walker.atEnd()) {
        const qsizetype from = walker.position();
        const double x = walker.width() / scale;
        walker.step();
        QPainterPath glyph;
        glyph.addText(x, 0, reference, text.sliced(from, walker.position() - from).toString());
        QPainterPath band;
        band.addRect(
            QRectF(x - referencePixels, top / scale, 3 * referencePixels, (bottom - top) / scale));
        const QRectF reached = glyph.intersected(band).boundingRect();
        if (!reached.isEmpty())
            spans.append({reached.left() * scale, reached.right() * scale});
    }
    return spans;
}

TextWalker::TextWalker(QStringView text, const ReportFont& font, qsizetype from)
    : metrics_(TextMetrics::arial()), text_(text), bold_(font.bold),
      inchesPerUnit_(inchesPerReferencePixel(font)), position_(from) {}

double TextWalker::width() const {
    return sum_ * inchesPerUnit_;
}

qsizetype TextWalker::nextLength() const {
    const bool pair = position_ + 1 < text_.size() && text_[position_].isHighSurrogate() &&
                      text_[position_ + 1].isLowSurrogate();
    return pair ? 2 : 1;
}

double TextWalker::nextAdvance() const {
    if (text_[position_] == QLatin1Char('\t'))
        return tabAdvance(sum_);
    return metrics_.referenceAdvance(text_.sliced(position_, nextLength()), bold_);
}

void TextWalker::step() {
    if (atEnd())
        return;
    sum_ += nextAdvance();
    position_ += nextLength();
}

bool TextWalker::stepWithin(double limit) {
    if (atEnd())
        return false;
    const double advance = nextAdvance();
    if ((sum_ + advance) * inchesPerUnit_ > limit)
        return false;
    sum_ += advance;
    position_ += nextLength();
    return true;
}
