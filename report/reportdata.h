#pragma once

#include "document/testrecord.h"
#include "hydraulics/outletrow.h"
#include "hydraulics/units.h"

#include <QChar>
#include <QList>
#include <QString>

// What the report computes from a test, as plain values. Every function takes
// the test as the window holds it; the decimal separator defaults to the
// user's.

// The unit texts the report appends to values and prints as axis captions.
struct ReportUnits {
    QString length;
    QString flow;
    QString pressure;

    bool operator==(const ReportUnits&) const = default;
};

// "ft"/"gpm"/"psi" for U.S., "m"/"lpm"/"bar" and "m"/"lpm"/"kPa" for metric.
ReportUnits reportUnits(UnitSystem units);

// Sum of the flow cells of all outlets; empty cells and cells that do not
// read as numbers are skipped.
double totalFlow(const TestRecord& record, QChar decimalSeparator);
double totalFlow(const TestRecord& record);

// The report's total line: empty with a single outlet row, otherwise "Total"
// and the sum as "0.#" with the flow unit ("750.5 gpm", also "0 gpm").
struct TotalLine {
    QString label;
    QString text;

    bool operator==(const TotalLine&) const = default;
};
TotalLine totalLine(const TestRecord& record, const ReportUnits& units, QChar decimalSeparator);
TotalLine totalLine(const TestRecord& record, const ReportUnits& units);

// What the report's graph is drawn from: the static pressure S and the
// residual pressure R (0 when empty or not a number) and the total flow Q.
// `drawn` is false when the report carries the blank picture instead: a
// pressure that does not read as a number (an empty one included), Q not
// above 0, S below R, or a value that is not finite. A graph through a
// pressure of 0 that nobody typed would print an invented rating.
struct GraphInputs {
    double S = 0;
    double R = 0;
    double Q = 0;
    bool drawn = false;
};
GraphInputs graphInputs(const TestRecord& record, QChar decimalSeparator);
GraphInputs graphInputs(const TestRecord& record);
