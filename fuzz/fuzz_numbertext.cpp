// The number reader, the outlet formulas in all three unit systems and the
// number formats, with either decimal separator. Nothing may crash, a result
// must read back as a number, and a text reads alike whichever of the two
// separators it holds and whichever is the locale's.
//
// A Qt program on Unix takes LC_NUMERIC from the user's environment, so this
// target runs under a decimal-comma C locale when one is installed
// (scripts/fuzz.sh compiles one), where a reader that leans on the C library
// would misread "60.5".
#include "fuzzcheck.h"

#include "hydraulics/discharge.h"
#include "hydraulics/numbertext.h"

#include <QByteArray>
#include <QRegularExpression>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <optional>

namespace {

constexpr UnitSystem allUnits[] = {UnitSystem::US, UnitSystem::MetricBar, UnitSystem::MetricKPa};

QChar otherSeparator(QChar separator) {
    return separator == '.' ? QChar(',') : QChar('.');
}

// The same text with every full stop written as a comma and every comma as
// a full stop.
QString withSeparatorsSwapped(const QString& text) {
    QString swapped = text;
    for (QChar& c : swapped)
        if (c == '.' || c == ',')
            c = otherSeparator(c);
    return swapped;
}

// The number grammar, written out on its own: blanks, a sign, digits with
// or without one separator, full stop or comma, and more digits (the
// separator alone is zero), an exponent, blanks.
bool inGrammar(const QString& text) {
    // Anchored at the very end: "$" would also match before a final line break.
    static const QRegularExpression grammar(QRegularExpression::anchoredPattern(
        QStringLiteral(" *[+-]?([0-9]+|[0-9]*[.,][0-9]*)([eE][+-]?[0-9]+)? *")));
    return grammar.match(text).hasMatch();
}

// The C library's own conversion under the "C" locale, as a reference: a
// value too large to hold is infinite, one too small zero or subnormal.
double referenceValue(const QString& text) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    const QByteArray plain = QString(text).replace(',', '.').trimmed().toLatin1();
    return strtod_l(plain.constData(), nullptr, cLocale);
}

void checkReader(const QString& text, QChar separator) {
    const std::optional<double> value = readNumber(text, separator);
    const bool grammatical = inGrammar(text);
    const double reference = grammatical ? referenceValue(text) : 0;
    fuzzCheck(value.has_value() == (grammatical && std::isfinite(reference)),
              "a text reads when it follows the grammar and is not too large", visible(text));
    if (value)
        fuzzCheck(*value == reference, "a number reads as the C library reads it", visible(text));
    fuzzCheck(readNumber(text, otherSeparator(separator)) == value,
              "the locale's separator changes no reading", visible(text));
    fuzzCheck(readNumber(withSeparatorsSwapped(text), separator) == value,
              "a full stop reads as a comma does", visible(text));
}

OutletRow rowWithSeparatorsSwapped(const OutletRow& row) {
    OutletRow swapped;
    for (int column = 0; column < OutletRow::ColumnCount; ++column)
        swapped[column] = withSeparatorsSwapped(row[column]);
    return swapped;
}

bool beyondDoubleRange(const QString& text) {
    static const QRegularExpression largeExponent(QStringLiteral("E([0-9]+)$"));
    const QRegularExpressionMatch match = largeExponent.match(text);
    return match.hasMatch() && match.captured(1).toInt() >= 308;
}

void checkFormulas(const OutletRow& row, QChar separator) {
    static const QRegularExpression wholeNumber(QStringLiteral("^-?[0-9]+$"));
    const OutletRow swapped = rowWithSeparatorsSwapped(row);
    for (const UnitSystem units : allUnits) {
        const QString flow = ComputeFlow(row, units, separator);
        fuzzCheck(flow.isEmpty() || wholeNumber.match(flow).hasMatch(), "a flow is a whole number",
                  visible(flow));
        fuzzCheck(ComputeFlow(swapped, units, otherSeparator(separator)) == flow,
                  "the flow does not depend on the separator", visible(flow));

        const QString pitot = ComputePitot(row, units, separator);
        if (!pitot.isEmpty()) {
            // Extended precision can square its way past the largest double.
            fuzzCheck(readNumber(pitot, separator).has_value() || beyondDoubleRange(pitot),
                      "a pitot pressure reads back", visible(pitot));
            fuzzCheck(!pitot.startsWith('-'), "a pitot pressure is never negative", visible(pitot));
        }
        // Only the written result follows the locale's separator.
        fuzzCheck(ComputePitot(swapped, units, otherSeparator(separator)) ==
                      QString(pitot).replace(separator, otherSeparator(separator)),
                  "the pitot pressure differs only in its separator", visible(pitot));
    }
}

// Far enough from the largest double that rounding to 15 digits cannot
// carry a value past it.
bool readableMagnitude(long double value) {
    return std::isfinite(value) && std::fabs(value) < 1e308L;
}

void checkGeneralFormat(double value, QChar separator) {
    const QString text = formatGeneral(value, separator);
    if (!readableMagnitude(value))
        return;
    const auto back = readNumber(text, separator);
    fuzzCheck(back.has_value(), "a general-format text reads back", visible(text));
    // 15 significant digits.
    fuzzCheck(std::fabs(*back - value) <= std::fabs(value) * 1e-14,
              "a general-format text keeps 15 digits", visible(text));
}

int decimalCount(const QString& text, QChar separator) {
    const qsizetype at = text.indexOf(separator);
    return at < 0 ? 0 : static_cast<int>(text.size() - at - 1);
}

void checkPattern(double value, Pattern::Decimals pattern, QChar separator) {
    const QString text = formatPattern(value, pattern, separator);
    fuzzCheck(text.isEmpty() == !std::isfinite(value), "only a non-finite value has no text",
              visible(text));
    if (!readableMagnitude(value))
        return;
    const auto back = readNumber(text, separator);
    fuzzCheck(back.has_value(), "a pattern text reads back", visible(text));
    const long double halfStep = 0.5L * std::pow(10.0L, -pattern.max);
    fuzzCheck(std::fabs(*back - value) <= halfStep * (1 + 1e-9L) + std::fabs(value) * 1e-14L,
              "a pattern text is rounded to its last decimal", visible(text));
    // Beyond 18 integer digits the general format takes over.
    if (std::fabs(value) < 1e17) {
        const int decimals = decimalCount(text, separator);
        fuzzCheck(decimals >= pattern.min && decimals <= pattern.max,
                  "a pattern text has the pattern's decimals", visible(text));
    }
}

void checkFormats(double value, QChar separator) {
    checkGeneralFormat(value, separator);
    for (const Pattern::Decimals pattern :
         {Pattern::Whole, Pattern::UpToOne, Pattern::ExactlyOne, Pattern::OneToThree})
        checkPattern(value, pattern, separator);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Whichever of these exists; the plain C locale otherwise.
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"})
        if (std::setlocale(LC_ALL, name))
            break;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    const QChar separator = fuzzSeparator(data);
    double value = 0;
    if (data.remaining_bytes() >= sizeof value) {
        const auto raw = data.ConsumeBytes<uint8_t>(sizeof value);
        std::memcpy(&value, raw.data(), sizeof value);
    }
    checkFormats(value, separator);

    OutletRow row;
    for (const int column : {OutletRow::Size, OutletRow::C, OutletRow::Pitot, OutletRow::Flow})
        row[column] = fuzzText(data, 24);
    for (const int column : {OutletRow::Size, OutletRow::C, OutletRow::Pitot, OutletRow::Flow})
        checkReader(row[column], separator);
    checkFormulas(row, separator);
    // Hand-edited files may hold numbers of any length.
    checkReader(fuzzText(data, 800), separator);
    return 0;
}
