#pragma once

#include "report/composedpage.h"
#include "report/flowtestreport.h"
#include "report/reportdefinition.h"

#include <QString>

// The water supply analysis page: a second report of the engine, on one US
// Letter page in the flow test report's fonts and footer. Under the title
// the test's date, time, location and tester; the supply the test measured;
// a table of the first four demand points, each with what it needs, what
// the supply gives there, the margin and the verdict; the hose allowance and
// the safety margin; the analysis graph with its units; the advice.

// The project holding the one report "SupplyAnalysis": the bands of
// AnalysisView (one row) and DemandsView (a row per demand point shown).
const ReportProject& supplyAnalysisProject();
inline const QString supplyAnalysisReportName = QStringLiteral("SupplyAnalysis");

// Runs "SupplyAnalysis" on a snapshot: the page, as every writer draws it.
ComposedReport composeSupplyAnalysisReport(const ReportSnapshot& snapshot);
