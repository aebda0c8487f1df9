#include "hydraulics/rating.h"

#include "hydraulics/flowgraphmodel.h"

#include <cmath>

namespace {

constexpr double litresPerGallon = 3.785411784;

double inGallonsPerMinute(double flow, UnitSystem units) {
    return units == UnitSystem::US ? flow : flow / litresPerGallon;
}

} // namespace

std::optional<double> flowAtResidualPressure(double S, double R, double Q, double P) {
    if (!(std::isfinite(S) && std::isfinite(R) && std::isfinite(Q) && std::isfinite(P)))
        return std::nullopt;
    if (!(Q > 0 && S > R && P < S))
        return std::nullopt;
    // Finite in long double may still be beyond what a double holds.
    const double flow = static_cast<double>(supplyFlowAt(S, R, Q, P));
    if (!std::isfinite(flow))
        return std::nullopt;
    return flow;
}

double twentyPsi(UnitSystem units) {
    switch (units) {
    case UnitSystem::US:
        return 20;
    case UnitSystem::MetricBar:
        return 1.379;
    case UnitSystem::MetricKPa:
        break;
    }
    return 137.9;
}

NfpaClass nfpaClass(double flow, UnitSystem units) {
    const double gpm = inGallonsPerMinute(flow, units);
    if (gpm >= 1500)
        return NfpaClass::AA;
    if (gpm >= 1000)
        return NfpaClass::A;
    if (gpm >= 500)
        return NfpaClass::B;
    return NfpaClass::C;
}

QString nfpaClassName(NfpaClass rating) {
    switch (rating) {
    case NfpaClass::AA:
        return QStringLiteral("AA");
    case NfpaClass::A:
        return QStringLiteral("A");
    case NfpaClass::B:
        return QStringLiteral("B");
    case NfpaClass::C:
        break;
    }
    return QStringLiteral("C");
}

std::optional<double> dropPercent(double S, double R) {
    if (!(std::isfinite(S) && std::isfinite(R) && S > 0 && R >= 0 && R <= S))
        return std::nullopt;
    return (S - R) / S * 100;
}

HydrantRating rateHydrant(std::optional<double> S, std::optional<double> R, double Q,
                          UnitSystem units) {
    HydrantRating rating;
    if (!S || !R)
        return rating;
    rating.flowAt20psi = flowAtResidualPressure(*S, *R, Q, twentyPsi(units));
    if (rating.flowAt20psi)
        rating.nfpaClass = nfpaClass(*rating.flowAt20psi, units);
    rating.dropPercent = dropPercent(*S, *R);
    return rating;
}
