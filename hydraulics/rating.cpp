#include "hydraulics/rating.h"

#include "hydraulics/flowgraphmodel.h"

#include <array>
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

namespace {

// From the largest flow down.
constexpr std::array<NfpaClassInfo, 4> nfpaClasses{{
    {NfpaClass::AA, 1500, "AA", "light blue", 0x299ed9},
    {NfpaClass::A, 1000, "A", "green", 0x2e9e44},
    {NfpaClass::B, 500, "B", "orange", 0xf08a1c},
    {NfpaClass::C, 0, "C", "red", 0xd32f2f},
}};

} // namespace

const NfpaClassInfo& nfpaClassInfo(NfpaClass rating) {
    for (const NfpaClassInfo& info : nfpaClasses)
        if (info.rating == rating)
            return info;
    return nfpaClasses.back();
}

NfpaClass nfpaClass(double flow, UnitSystem units) {
    const double gpm = inGallonsPerMinute(flow, units);
    for (const NfpaClassInfo& info : nfpaClasses)
        if (gpm >= info.leastGpm)
            return info.rating;
    return NfpaClass::C;
}

QString nfpaClassName(NfpaClass rating) {
    return QString::fromLatin1(nfpaClassInfo(rating).name);
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
