#pragma once

#include "hydraulics/outletrow.h"

#include <QList>
#include <QString>
#include <QStringList>

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

    bool operator==(const TestRecord&) const = default;
};
