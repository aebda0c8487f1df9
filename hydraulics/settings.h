#pragma once

#include "hydraulics/units.h"

#include <QString>
#include <QStringList>

// The user's four options as plain values: a snapshot taken from the
// Options dialog (or an options file) when a command needs them.
struct Settings {
    QStringList testedBy;                  // tester text, one entry per line
    UnitSystem units = UnitSystem::US;
    bool showExtraFlow = true;             // always show flow at a chosen pressure
    QString extraPressure = QStringLiteral("20"); // that pressure, as typed

    bool operator==(const Settings&) const = default;
};
