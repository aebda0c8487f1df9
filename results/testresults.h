#pragma once

#include "document/testrecord.h"
#include "hydraulics/flowgraphmodel.h"
#include "hydraulics/rating.h"
#include "hydraulics/settings.h"
#include "hydraulics/units.h"
#include "results/supplyanalysis.h"

#include <QChar>
#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>

// Everything the program says about a test, computed once from one snapshot
// of it: the total flow, the graph, the rating, what stops a result and the
// field advice of NFPA 291. The report, the results window, JSON and CSV
// all read this one value; none of them computes a number of its own.

// A test as the window holds it (or a file gives it), the settings it is
// read with and the decimal separator of its numbers.
struct TestSnapshot {
    TestRecord test;
    Settings settings;
    QChar decimalSeparator = QLatin1Char('.');
};

// The report's graph has this many divisions on each axis.
inline constexpr int reportGraphDivisions = 5;

// Outlets that need a look get a line each up to this many, then one line
// that counts the rest, so a test of thousands of outlets stays readable.
inline constexpr int MaxOutletAdviceLines = 20;

struct TestResults {
    UnitTexts units;
    // The test's pressures read as numbers; none when a text is not one.
    std::optional<double> staticPressure;
    std::optional<double> residualPressure;
    // The flow cells that read as numbers, summed (an empty or unreadable
    // one is left out).
    double totalFlow = 0;
    QString totalText;  // "1879 gpm": "0.#" and the flow unit
    QString totalLabel; // the report's total line: "Total", or empty with one outlet row
    QString totalLine;  // its value, empty with one outlet row
    // The report's graph; none when it carries the blank picture: a
    // pressure that is not a number, no flow above 0, or static below residual.
    std::optional<FlowGraphModel> graph;
    std::optional<double> chosenPressure; // the graph's note's pressure, when it has a note
    HydrantRating rating;                 // flow at 20 psi, NFPA class, drop
    QString flowAt20psiLabel;             // "Flow at 20 psi", "Flow at 1.379 bar", ...
    QString flowAt20psiText;              // "3819 gpm"
    QString nfpaClassText;                // "AA (light blue)"
    QString dropText;                     // "19.4 %"
    QStringList stops;                    // what keeps a result from being computed
    QStringList advice;                   // advice only: nothing of the test is changed
    // The water supply analysis, when the test has a demand point; its stops
    // and advice are among the ones above too.
    std::optional<SupplyAnalysis> analysis;
};

// Run on every edit, so it stays cheap for thousands of outlets: each text
// is read once, and advice texts are made only for the lines shown.
TestResults computeTestResults(const TestSnapshot& snapshot);

// The graph's note, as the report prints it ("3819.2 gpm at 20 psi"); empty without one.
QString chosenPressureNote(const TestResults& results);

// The cap colour of a class, for a swatch.
QColor nfpaCapColour(NfpaClass rating);

// The results as plain text lines for the clipboard, an e-mail or a
// spreadsheet ("Total flow: 1879 gpm", "NFPA 291 class: AA (light blue)"),
// then what stops a result and the advice; a line whose value is missing
// is left out.
QStringList resultLines(const TestResults& results);
