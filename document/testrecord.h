#pragma once

#include "hydraulics/outletrow.h"

#include <QList>
#include <QString>
#include <QStringList>

// A point of a sprinkler system's demand on the supply, as typed.
struct DemandPoint {
    QString label;     // "Sprinklers, base of riser"
    QString flow;      // the flow it needs
    QString pressure;  // the residual pressure it needs at that flow
    QString elevation; // its height, on the read hydrant's datum; may be empty

    bool operator==(const DemandPoint&) const = default;
};

// One flow test as plain texts: what the main window's fields and outlet
// grid hold, and exactly what a test file stores.
struct TestRecord {
    QString date;
    QString time;
    QStringList location; // one entry per line
    QStringList notes;
    QString staticPressure;
    QString residualPressure;
    QString readElev;
    QList<OutletRow> outlets;
    // The water supply analysis, all optional: what a sprinkler system
    // needs, the hose stream allowance added at the demand pressure, and the
    // safety margin, a pressure ("10") or a percentage of the static ("10 %").
    QList<DemandPoint> demands;
    QString hoseAllowance;
    QString safetyMargin;

    bool operator==(const TestRecord&) const = default;
};
