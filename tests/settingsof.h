#pragma once

#include "hydraulics/settings.h"

#include <utility>

// Settings for a table row, in the order the options file lists them.
inline Settings settingsOf(QStringList testedBy, UnitSystem units, bool showExtraFlow,
                           QString pressure) {
    Settings s;
    s.testedBy = std::move(testedBy);
    s.units = units;
    s.showExtraFlow = showExtraFlow;
    s.extraPressure = std::move(pressure);
    return s;
}

// The three settings the flow graph reads.
inline Settings settingsOf(UnitSystem units, bool showExtraFlow, const QString& pressure) {
    return settingsOf({}, units, showExtraFlow, pressure);
}
