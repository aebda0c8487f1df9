#pragma once

#include "document/testrecord.h"
#include "graph/flowgraphpicture.h"
#include "hydraulics/settings.h"
#include "report/composedpage.h"
#include "report/dataconnection.h"
#include "report/reportdefinition.h"
#include "results/testresults.h"

#include <QChar>
#include <QList>

#include <functional>
#include <memory>
#include <optional>

// The flow test report: its definition, and the three data views that feed
// it from one snapshot of the test and the settings, taken when a report
// command starts. The views know nothing of fonts or pages.

using ReportSnapshot = TestSnapshot;

// The project holding the one report "FlowTest" on a US Letter page: the
// title and footer, and the bands of FlowTestView, OutletsView and
// GraphView. Outlet rows that continue on a further page repeat the outlet
// table's headings above them; the total line goes with the last outlet row.
// A report of more than one page numbers its pages, and every page after the
// first repeats the date and the first location line under the title.
const ReportProject& flowTestProject();
inline const QString flowTestReportName = QStringLiteral("FlowTest");

class FlowTestViews {
public:
    explicit FlowTestViews(ReportSnapshot snapshot);
    ~FlowTestViews();
    FlowTestViews(const FlowTestViews&) = delete;
    FlowTestViews& operator=(const FlowTestViews&) = delete;

    // RvCustomConnection, RvOutletsConnection and RvGraphConnection.
    QList<DataConnection*> connections() const;

    const ReportSnapshot& snapshot() const { return snapshot_; }
    // What the report prints of the test's results.
    const TestResults& results() const { return results_; }
    // The report's unit texts, picked by SetupReport when FlowTestView opens.
    const UnitTexts& units() const { return units_; }
    void SetupReport();

    void RvCustomConnectionFirst(DataConnection& connection);
    void RvCustomConnectionGetCols(DataConnection& connection);
    void RvCustomConnectionGetRow(DataConnection& connection);
    void RvOutletsConnectionFirst(DataConnection& connection);
    void RvOutletsConnectionGetCols(DataConnection& connection);
    void RvOutletsConnectionGetRow(DataConnection& connection);
    void RvGraphConnectionFirst(DataConnection& connection);
    void RvGraphConnectionGetCols(DataConnection& connection);
    void RvGraphConnectionGetRow(DataConnection& connection);

private:
    ReportSnapshot snapshot_;
    TestResults results_;
    UnitTexts units_;
    std::vector<std::unique_ptr<DataConnection>> connections_;
};

// A memo value: the field's lines separated by CR LF, nothing after the
// last; as UTF-8 bytes, as the report is given it.
QString memoText(const QStringList& lines);
QByteArray memoBytes(const QStringList& lines);

// A band item of the report by its name; none when it has none.
const ReportItem* memoItem(const ReportDefinition& report, const QString& name);

// What to know before printing about each of the location, the tester
// text and the notes that its box on the page cuts short: "The notes have
// 7 lines; the page holds 4, the rest prints on page 2."
QStringList memoContinuationNotes(const ReportSnapshot& snapshot);

// The report's flow graph of the test; none when the report carries the
// blank picture instead.
std::optional<FlowGraphPicture> reportGraphPicture(const TestResults& results);

// The bytes of a graph picture, or of the blank picture (a picture without
// extent) when there is none.
QByteArray pictureBytes(const std::optional<FlowGraphPicture>& graph);

// The bytes of the graph picture for the test, or of the blank picture when
// no graph can be drawn.
QByteArray graphPictureBytes(const TestResults& results);

// Runs "FlowTest" on a snapshot: the composed pages, as every writer draws them.
ComposedReport composeFlowTestReport(const ReportSnapshot& snapshot,
                                     const std::function<void(int page)>& pageStarted = {});
