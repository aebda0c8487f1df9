#include "hydraulics/numbertext.h"

#include <QByteArray>
#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

QChar localeDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QChar('.') : point.front();
}

namespace {

// Whether a number in C form ("-0.05e3") is below 1 in magnitude: the power
// of ten of its first significant digit plus its exponent is negative. Its
// exponent alone cannot tell, as a long run of digits outweighs it.
bool belowOne(const QByteArray& plain) {
    const qsizetype e = plain.indexOf('e');
    const QByteArray mantissa = e < 0 ? plain : plain.left(e);
    const qsizetype point = mantissa.contains('.') ? mantissa.indexOf('.') : mantissa.size();
    qsizetype first = 0;
    while (first < mantissa.size() && (mantissa[first] < '1' || mantissa[first] > '9'))
        ++first;
    long long power = first < point ? point - first - 1 : point - first;
    if (e >= 0) {
        bool ok = false;
        const long long exponent = plain.mid(e + 1).toLongLong(&ok);
        // An exponent that outweighs any text's digits decides alone.
        constexpr long long decisive = 1'000'000'000'000LL;
        if (!ok || exponent > decisive || exponent < -decisive)
            return plain[e + 1] == '-';
        power += exponent;
    }
    return power < 0;
}

// A full stop and a comma both read as the decimal separator, so a test
// typed under one locale reads the same under another; the user's own is
// taken too, should it be neither.
bool isDecimalSeparator(QChar c, QChar userSeparator) {
    return c == QLatin1Char('.') || c == QLatin1Char(',') || c == userSeparator;
}

} // namespace

std::optional<double> readNumber(const QString& text, QChar decimalSeparator) {
    // Rewrite the text into the C form ("-12.5e3") while checking the
    // grammar, so the conversion itself never sees a locale.
    QByteArray plain;
    qsizetype i = 0;
    const qsizetype n = text.size();
    const auto isDigit = [&](qsizetype at) { return at < n && text[at] >= '0' && text[at] <= '9'; };
    while (i < n && text[i] == ' ')
        ++i;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        plain += text[i++].toLatin1();
    bool mantissa = false;
    while (isDigit(i)) {
        plain += text[i++].toLatin1();
        mantissa = true;
    }
    if (i < n && isDecimalSeparator(text[i], decimalSeparator)) {
        ++i;
        plain += mantissa ? "." : "0.";
        mantissa = true;
        while (isDigit(i))
            plain += text[i++].toLatin1();
        if (plain.endsWith('.'))
            plain += '0';
    }
    if (!mantissa)
        return std::nullopt;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        plain += 'e';
        if (i < n && (text[i] == '+' || text[i] == '-'))
            plain += text[i++].toLatin1();
        if (!isDigit(i))
            return std::nullopt;
        while (isDigit(i))
            plain += text[i++].toLatin1();
    }
    while (i < n && text[i] == ' ')
        ++i;
    if (i != n)
        return std::nullopt;
    // from_chars ignores the C library's locale, which the application
    // object sets from the user's environment.
    const char* first = plain.constData();
    const char* last = first + plain.size();
    const bool negative = *first == '-';
    if (*first == '+' || negative)
        ++first;
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc::result_out_of_range) {
        // Too small to hold reads as zero; too large does not read.
        if (!belowOne(plain))
            return std::nullopt;
        value = 0;
    } else if (error != std::errc() || end != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<double> readNumber(const QString& text) {
    return readNumber(text, localeDecimalSeparator());
}

namespace {

// A finite value as decimal digits: value = 0.d1 d2 ... dn x 10^pointPos.
struct DecimalDigits {
    bool negative = false;
    std::string digits;
    int pointPos = 0;
};

DecimalDigits toDecimalDigits(long double value, int significantDigits) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*Le", significantDigits - 1, value);
    DecimalDigits result;
    const char* p = buffer;
    if (*p == '-') {
        result.negative = true;
        ++p;
    }
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            result.digits += *p;
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    result.pointPos = exponent + 1;
    return result;
}

// Keeps the digits up to `decimals` places after the point, rounding the
// magnitude half up (half away from zero for the signed value).
void roundToDecimals(DecimalDigits& d, int decimals) {
    const int keep = d.pointPos + decimals;
    if (keep >= static_cast<int>(d.digits.size()))
        return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
    d.digits.resize(static_cast<size_t>(keep));
    if (!up)
        return;
    int i = keep - 1;
    for (; i >= 0; --i) {
        char& c = d.digits[static_cast<size_t>(i)];
        if (c == '9') {
            c = '0';
        } else {
            ++c;
            break;
        }
    }
    if (i < 0) {
        d.digits.insert(d.digits.begin(), '1');
        ++d.pointPos;
    }
}

char digitAt(const DecimalDigits& d, int index) {
    return index >= 0 && index < static_cast<int>(d.digits.size())
               ? d.digits[static_cast<size_t>(index)]
               : '0';
}

bool allZero(const std::string& digits) {
    return digits.find_first_not_of('0') == std::string::npos;
}

} // namespace

QString formatFixed(long double value, int minDecimals, int maxDecimals, QChar decimalSeparator) {
    if (!std::isfinite(value))
        return {};
    // 18 significant digits: all that an extended value carries.
    DecimalDigits d = toDecimalDigits(value, 18);
    // Beyond 18 integer digits a pattern has nothing exact left to show.
    if (d.pointPos > 18)
        return formatGeneral(value, decimalSeparator);
    roundToDecimals(d, maxDecimals);

    QString integerPart;
    for (int i = 0; i < d.pointPos; ++i)
        integerPart += QChar(digitAt(d, i));
    while (integerPart.size() > 1 && integerPart.front() == '0')
        integerPart.remove(0, 1);
    if (integerPart.isEmpty())
        integerPart = QStringLiteral("0");

    QString fraction;
    for (int i = 0; i < maxDecimals; ++i)
        fraction += QChar(digitAt(d, d.pointPos + i));
    while (fraction.size() > minDecimals && fraction.endsWith('0'))
        fraction.chop(1);

    QString text;
    if (d.negative && !allZero(d.digits))
        text += '-';
    text += integerPart;
    if (!fraction.isEmpty())
        text += decimalSeparator + fraction;
    return text;
}

QString formatPattern(long double value, Pattern::Decimals pattern, QChar decimalSeparator) {
    return formatFixed(value, pattern.min, pattern.max, decimalSeparator);
}

QString formatPattern(long double value, Pattern::Decimals pattern) {
    return formatPattern(value, pattern, localeDecimalSeparator());
}

QString formatGeneral(long double value, QChar decimalSeparator) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0");
    constexpr int precision = 15;
    DecimalDigits d = toDecimalDigits(value, precision);
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    const int digitCount = static_cast<int>(d.digits.size());

    QString text = d.negative ? QStringLiteral("-") : QString();
    if (d.pointPos > precision || std::fabs(value) < 1e-5L) {
        text += QChar(d.digits[0]);
        if (digitCount > 1)
            text += decimalSeparator + QString::fromLatin1(d.digits.substr(1));
        text += 'E' + QString::number(d.pointPos - 1);
        return text;
    }
    if (d.pointPos <= 0) {
        text += '0' + QString(decimalSeparator) + QString(-d.pointPos, '0') +
                QString::fromLatin1(d.digits);
        return text;
    }
    for (int i = 0; i < std::max(d.pointPos, 1); ++i)
        text += QChar(digitAt(d, i));
    if (digitCount > d.pointPos)
        text += decimalSeparator + QString::fromLatin1(d.digits.substr(static_cast<size_t>(d.pointPos)));
    return text;
}

QString formatGeneral(long double value) {
    return formatGeneral(value, localeDecimalSeparator());
}
