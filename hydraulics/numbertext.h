#pragma once

#include <QChar>
#include <QString>

#include <optional>

// Numbers live as text everywhere in the program; these are the one place
// where text becomes a number and a number becomes text.

// The user's decimal separator (from the default QLocale, so tests can switch it).
QChar localeDecimalSeparator();

// Reads a number: optional spaces, optional sign, digits, optionally one
// decimal separator and digits, optionally an exponent, optional spaces.
// The decimal separator is a full stop or a comma whatever the locale (or
// the one given, when it is neither), so files and fields read alike
// everywhere. No thousands separators: "1,000.5" is no number. The
// separator alone reads as 0. Values that overflow a double do not read.
std::optional<double> readNumber(const QString& text, QChar decimalSeparator);
std::optional<double> readNumber(const QString& text);

// Fixed patterns: at least minDecimals and at most maxDecimals decimals,
// trailing zeros beyond minDecimals dropped, the last kept digit rounded
// half away from zero (on the value's 18 significant digits, so 0.05 is a
// half). "0" = (0,0), "0.#" = (0,1), "0.0" = (1,1), "0.0##" = (1,3).
// Empty when the value is not finite.
QString formatFixed(long double value, int minDecimals, int maxDecimals, QChar decimalSeparator);

namespace Pattern {
struct Decimals {
    int min;
    int max;
};
inline constexpr Decimals Whole{0, 0};      // "0"
inline constexpr Decimals UpToOne{0, 1};    // "0.#"
inline constexpr Decimals ExactlyOne{1, 1}; // "0.0"
inline constexpr Decimals OneToThree{1, 3}; // "0.0##"
} // namespace Pattern

QString formatPattern(long double value, Pattern::Decimals pattern, QChar decimalSeparator);
QString formatPattern(long double value, Pattern::Decimals pattern);

// General format: the shortest form with at most 15 significant digits, no
// trailing zeros; scientific ("1.5E20", "1E-7") only for very large or very
// small magnitudes.
QString formatGeneral(long double value, QChar decimalSeparator);
QString formatGeneral(long double value);
