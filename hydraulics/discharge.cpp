#include "hydraulics/discharge.h"

#include "hydraulics/numbertext.h"

#include <cmath>
#include <cstdint>
#include <optional>

namespace {

long double outletConstant(UnitSystem units) {
    switch (units) {
    case UnitSystem::US:
        return 29.84L;
    case UnitSystem::MetricBar:
        return 0.666L;
    case UnitSystem::MetricKPa:
        return 0.0666L;
    }
    return 29.84L;
}

// An empty cell and a cell that does not read both stop the computation.
std::optional<long double> cellNumber(const OutletRow& row, int column, QChar separator) {
    const QString& text = row[column];
    if (text.isEmpty())
        return std::nullopt;
    const std::optional<double> value = readNumber(text, separator);
    if (!value)
        return std::nullopt;
    return static_cast<long double>(*value);
}

} // namespace

long double outletFlow(long double d, long double c, long double p, UnitSystem units) {
    return (d * d) * (outletConstant(units) * c) * std::sqrt(p);
}

std::optional<long double> wholeOutletFlow(long double d, long double c, long double p,
                                           UnitSystem units) {
    if (p < 0)
        return std::nullopt;
    // The default rounding mode rounds a half to the even neighbour.
    const long double whole = std::nearbyint(outletFlow(d, c, p, units));
    constexpr long double int64Limit = 9223372036854775808.0L; // 2^63
    if (!std::isfinite(whole) || whole >= int64Limit || whole < -int64Limit)
        return std::nullopt;
    return whole;
}

QString ComputeFlow(const OutletRow& row, UnitSystem units, QChar decimalSeparator) {
    const auto d = cellNumber(row, OutletRow::Size, decimalSeparator);
    if (!d)
        return {};
    const auto c = cellNumber(row, OutletRow::C, decimalSeparator);
    if (!c)
        return {};
    const auto p = cellNumber(row, OutletRow::Pitot, decimalSeparator);
    if (!p)
        return {};
    const std::optional<long double> whole = wholeOutletFlow(*d, *c, *p, units);
    return whole ? QString::number(static_cast<std::int64_t>(*whole)) : QString();
}

QString ComputeFlow(const OutletRow& row, UnitSystem units) {
    return ComputeFlow(row, units, localeDecimalSeparator());
}

QString ComputePitot(const OutletRow& row, UnitSystem units, QChar decimalSeparator) {
    const auto d = cellNumber(row, OutletRow::Size, decimalSeparator);
    if (!d)
        return {};
    const auto c = cellNumber(row, OutletRow::C, decimalSeparator);
    if (!c)
        return {};
    const auto q = cellNumber(row, OutletRow::Flow, decimalSeparator);
    if (!q)
        return {};
    const long double divisor = ((*d * *d) * *c) * outletConstant(units);
    if (divisor == 0)
        return {};
    const long double root = *q / divisor;
    const long double p = root * root;
    if (!std::isfinite(p))
        return {};
    const Pattern::Decimals pattern =
        units == UnitSystem::MetricBar ? Pattern::OneToThree : Pattern::UpToOne;
    return formatPattern(p, pattern, decimalSeparator);
}

QString ComputePitot(const OutletRow& row, UnitSystem units) {
    return ComputePitot(row, units, localeDecimalSeparator());
}
