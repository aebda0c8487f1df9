#pragma once

#include "hydraulics/rating.h"
#include "report/flowtestreport.h"
#include "report/reportdata.h"

#include <QColor>
#include <QString>
#include <QStringList>

// What the results window shows of a test, computed by the same functions as
// the report and flowtest-report. Texts use the snapshot's decimal separator
// and the unit system's unit texts; a text is empty when its value is missing.
struct TestResults {
    double totalFlow = 0;       // the report's total rule (totalFlow())
    QString totalText;          // "1879 gpm": "0.#" and the flow unit
    GraphInputs graph;          // what the report's graph is drawn from; graph.drawn: a graph
    QString chosenPressureNote; // the graph's note ("1454.5 gpm at 20 psi"); empty: no note
    HydrantRating rating;       // testRating(): flow at 20 psi, NFPA class, drop
    QString flowAt20psiLabel;   // "Flow at 20 psi", "Flow at 1.379 bar", "Flow at 137.9 kPa"
    QString flowAt20psiText;    // "3819 gpm": a whole number and the flow unit
    QString nfpaClassText;      // "AA (light blue)"
    QString dropText;           // "19.4 %"
    QStringList stops;          // what keeps a result from being computed, in words
    QStringList advice;         // advice only: a low drop, outlets that need a look
};

// Outlets that need a look get a line each up to this many, then one line
// that counts the rest, so a test of thousands of outlets stays readable.
inline constexpr int MaxOutletAdviceLines = 20;

// Run on every edit, so it stays cheap for thousands of outlets: the outlets
// are read a few times, and advice texts are made only for the lines shown.
TestResults computeTestResults(const ReportSnapshot& snapshot);

// The cap colour of a class, for a swatch, and its name in words.
QColor nfpaCapColour(NfpaClass rating);
QString nfpaCapColourName(NfpaClass rating); // "light blue", "green", "orange", "red"

// The results as plain text lines for the clipboard, an e-mail or a
// spreadsheet ("Total flow: 1879 gpm", "NFPA 291 class: AA (light blue)");
// a line whose value is missing is left out.
QStringList resultLines(const TestResults& results);
