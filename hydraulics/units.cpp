#include "hydraulics/units.h"

const UnitTexts& unitTexts(UnitSystem units) {
    static const std::array<UnitTexts, 3> table{{
        {QStringLiteral("ft"), QStringLiteral("gpm"), QStringLiteral("psi"), QStringLiteral("in"),
         QStringLiteral("PSI"), QStringLiteral("us")},
        {QStringLiteral("m"), QStringLiteral("lpm"), QStringLiteral("bar"), QStringLiteral("mm"),
         QStringLiteral("BAR"), QStringLiteral("bar")},
        {QStringLiteral("m"), QStringLiteral("lpm"), QStringLiteral("kPa"), QStringLiteral("mm"),
         QStringLiteral("KPA"), QStringLiteral("kpa")},
    }};
    switch (units) {
    case UnitSystem::MetricBar:
        return table[1];
    case UnitSystem::MetricKPa:
        return table[2];
    case UnitSystem::US:
        break;
    }
    return table[0];
}
