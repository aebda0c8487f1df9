#include "report/flowtestreport.h"

#include "document/testfile.h"
#include "graph/flowgraph.h"
#include "report/composer.h"
#include "report/reportitems.h"
#include "report/viewconnection.h"
#include "textfile/textfile.h"

#include <QPainter>
#include <QPicture>

namespace {

// The outlet table's headings, `top` inches down their band.
QList<ReportItem> outletHeadings(double top) {
    return {
        fixedText("Text21", QStringLiteral("Flow Hydrant(s)"), 2.45, top, 2.0, bold14,
                  Alignment::Centre, underlined),
        fixedText("Text14", QStringLiteral("Pitot"), 4.4, top + 0.225, 0.5, bold12,
                  Alignment::Centre),
        fixedText("Text18", QStringLiteral("Outlet"), 0.7, top + 0.4, 0.7, bold12,
                  Alignment::Centre),
        fixedText("Text17", QStringLiteral("Elev"), 1.6, top + 0.4, 0.7, bold12, Alignment::Centre),
        fixedText("Text16", QStringLiteral("Size"), 2.5, top + 0.4, 0.7, bold12, Alignment::Centre),
        fixedText("Text15", QStringLiteral("C"), 3.4, top + 0.4, 0.7, bold12, Alignment::Centre),
        fixedText("Text13", QStringLiteral("Pressure"), 4.2, top + 0.4, 0.9, bold12,
                  Alignment::Centre),
        fixedText("Text12", QStringLiteral("Flow"), 5.2, top + 0.4, 0.8, bold12, Alignment::Centre),
        horizontalLine("HLine1", 0.7, top + 0.65, 5.3),
    };
}

ReportBand flowTestBand() {
    ReportBand band{QStringLiteral("DataBand1"), QStringLiteral("FlowTestView"), 4.0, {}, 0, {}};
    band.items = testDateAndTime();
    band.items += {
        fixedText("Text4", QStringLiteral("Location"), 0, 0.3, 1.0, bold14, Alignment::Left,
                  underlined),
        fixedText("Text5", QStringLiteral("Tested by"), 3.6, 0.3, 1.0, bold14, Alignment::Left,
                  underlined),
        dataMemo("LocationMemo", "Location", 0, 0.6, 3.4, 1.2),
        dataMemo("TestByMemo", "TestBy", 3.6, 0.6, 2.9, 1.2),
        fixedText("Text6", QStringLiteral("Notes"), 0, 1.9, 1.0, bold14, Alignment::Left,
                  underlined),
        fixedText("Text7", QStringLiteral("Read Hydrant"), 4.6, 1.9, 1.5, bold14, Alignment::Centre,
                  underlined),
        dataMemo("NotesMemo", "Notes", 0, 2.2, 4.1, 0.9),
        dataText("StaticText", "Static", 4.2, 2.2, 0.75, regular12, Alignment::Right),
        fixedText("Text8", QStringLiteral("static pressure"), 5.0, 2.2, 1.5, bold12,
                  Alignment::Left),
        dataText("ResidText", "Residual", 4.2, 2.4, 0.75, regular12, Alignment::Right),
        fixedText("Text9", QStringLiteral("residual pressure"), 5.0, 2.4, 1.5, bold12,
                  Alignment::Left),
        dataText("ReadElevText", "Elev", 4.2, 2.6, 0.75, regular12, Alignment::Right),
        fixedText("Text10", QStringLiteral("hydrant elevation"), 5.0, 2.6, 1.5, bold12,
                  Alignment::Left),
    };
    band.items += outletHeadings(3.2);
    return band;
}

ReportBand outletsBand() {
    ReportBand band{QStringLiteral("DataBand2"), QStringLiteral("OutletsView"), 0.2, {}, 0.8, {}};
    band.items = {
        dataText("OutletText", "Outlet", 0.7, 0, 0.7, regular12, Alignment::Centre),
        dataText("FlowElevText", "Elev", 1.6, 0, 0.7, regular12, Alignment::Centre),
        dataText("SizeText", "Size", 2.5, 0, 0.7, regular12, Alignment::Centre),
        dataText("CText", "C", 3.4, 0, 0.7, regular12, Alignment::Centre),
        dataText("PitotText", "Pitot", 4.3, 0, 0.7, regular12, Alignment::Centre),
        dataText("FlowText", "Flow", 5.1, 0, 1.0, regular12, Alignment::Centre),
    };
    // The headings, from "Flow Hydrant(s)" down to the rule, above continued rows.
    band.continuedHeader = outletHeadings(0);
    return band;
}

ReportBand graphBand() {
    ReportBand band{QStringLiteral("DataBand3"), QStringLiteral("GraphView"), 3.4, {}, 0, {}};
    // The total line stands on the page of the last outlet row.
    band.keepWithPrevious = true;
    band.items = {
        dataText("DataText2", "TotalLabel", 4.1, 0, 1.0, bold12, Alignment::Right),
        dataText("TotalText", "Total", 5.1, 0, 1.0, regular12, Alignment::Centre),
        fixedText("Text20", QStringLiteral("Flow Graph"), 2.25, 0.15, 2.0, bold14,
                  Alignment::Centre, underlined),
        pictureItem("Graph", "Graph", 0.3, 0.4, 6.1, 2.8),
        dataText("GraphPressureText", "GraphPressure", 0, 1.6, 0.4, bold12, Alignment::Right),
        dataText("DataText1", "GraphFlow", 2.75, 3.15, 1.0, bold12, Alignment::Centre),
    };
    return band;
}

// Under the title of every page after the first: which test the page is of.
ReportBand continuedPageBand() {
    ReportBand band{
        QStringLiteral("ContinuedPageBand"), QStringLiteral("FlowTestView"), 0.4, {}, 0, {}};
    band.items = {
        fixedText("ContinuedDateCaption", QStringLiteral("Test Date"), 0, 0, 0.8, bold12,
                  Alignment::Left),
        dataText("ContinuedDateText", "Date", 0.85, 0, 1.35, regular12, Alignment::Left),
        fixedText("ContinuedLocationCaption", QStringLiteral("Location"), 2.3, 0, 0.75, bold12,
                  Alignment::Left),
        // The location's first line, as wide as its memo on the first page.
        dataText("ContinuedLocationText", "Location", 3.05, 0, 3.4, regular12, Alignment::Left),
    };
    return band;
}

// A location, tester text or notes longer than its box prints whole on
// pages after the last.
MemoContinuation memoContinuation() {
    MemoContinuation continuation;
    continuation.memos = {{QStringLiteral("LocationMemo"), QStringLiteral("Location")},
                          {QStringLiteral("TestByMemo"), QStringLiteral("Tested by")},
                          {QStringLiteral("NotesMemo"), QStringLiteral("Notes")}};
    const auto line = [](ReportItem item, double height) {
        item.box.setHeight(height);
        return item;
    };
    continuation.caption =
        line(fixedText("ContinuedCaption", QStringLiteral("Texts cut short on page %1, in full"), 0,
                       0, 6.5, bold12, Alignment::Left),
             0.3);
    // As the headings over the memos on the first page, and as far above the text.
    continuation.heading = line(
        fixedText("ContinuedHeading", {}, 0, 0, 6.5, bold14, Alignment::Left, underlined), 0.3);
    continuation.continued = QStringLiteral(" (continued)");
    continuation.gapAfter = 0.1;
    continuation.notPrinted =
        line(fixedText("NotPrintedText",
                       QStringLiteral("%1 more lines are in the test and not printed."), 0, 0, 6.5,
                       regular12, Alignment::Left),
             0.25);
    continuation.notPrintedOneLine = QStringLiteral("1 more line is in the test and not printed.");
    return continuation;
}

ReportProject makeFlowTestProject() {
    ReportDefinition report;
    report.name = flowTestReportName;
    report.description = QStringLiteral("Flow test report");
    report.paperSize = QSizeF(8.5, 11.0);
    report.pageItems = {
        fixedText("Text1", QStringLiteral("Hydrant Flow Test Report"), 2.2, 1.0, 4.1,
                  ReportFont{22, true}, Alignment::Centre),
        programFooter(),
    };
    report.region = QRectF(1.0, 1.4, 6.5, 8.4);
    report.bands = {flowTestBand(), outletsBand(), graphBand()};
    report.pageNumber = fixedText("PageNumberText", QStringLiteral("Page %1 of %2"), 2.25, 10.05,
                                  4.0, ReportFont{8, false}, Alignment::Centre);
    report.continuedPageBand = continuedPageBand();
    report.memoContinuation = memoContinuation();

    ReportProject project;
    project.views = {{QStringLiteral("FlowTestView"), QStringLiteral("RvCustomConnection")},
                     {QStringLiteral("OutletsView"), QStringLiteral("RvOutletsConnection")},
                     {QStringLiteral("GraphView"), QStringLiteral("RvGraphConnection")}};
    project.reports = {report};
    return project;
}

QString withUnit(const QString& value, const QString& unit) {
    return value.isEmpty() ? value : value + QLatin1Char(' ') + unit;
}

} // namespace

const ReportProject& flowTestProject() {
    static const ReportProject project = makeFlowTestProject();
    return project;
}

QString memoText(const QStringList& lines) {
    // The field's own text (a last empty line keeps its break), with CR LF breaks.
    return textFieldText(lines).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

QByteArray memoBytes(const QStringList& lines) {
    return memoText(lines).toUtf8();
}

const ReportItem* memoItem(const ReportDefinition& report, const QString& name) {
    for (const ReportBand& band : report.bands)
        for (const ReportItem& item : band.items)
            if (item.name == name)
                return &item;
    return nullptr;
}

std::optional<FlowGraphPicture> reportGraphPicture(const TestResults& results) {
    if (!results.graph)
        return std::nullopt;
    return DrawFlowGraph(*results.graph);
}

QByteArray pictureBytes(const std::optional<FlowGraphPicture>& graph) {
    const auto bytes = [](const QPicture& picture) {
        return QByteArray(picture.data(), picture.size());
    };
    if (graph)
        return bytes(graph->picture());
    QPicture blank;
    QPainter(&blank).end();
    return bytes(blank);
}

QByteArray graphPictureBytes(const TestResults& results) {
    return pictureBytes(reportGraphPicture(results));
}

namespace {

using Column = ViewColumn<FlowTestViews>;
using Views = const FlowTestViews&;

const Column flowTestColumns[] = {
    {"Date", ColumnType::Text, [](Views v, int) -> ColumnValue { return v.snapshot().test.date; }},
    {"Time", ColumnType::Text, [](Views v, int) -> ColumnValue { return v.snapshot().test.time; }},
    {"Location", ColumnType::Memo,
     [](Views v, int) -> ColumnValue { return memoBytes(v.snapshot().test.location); }},
    {"TestBy", ColumnType::Memo,
     [](Views v, int) -> ColumnValue { return memoBytes(v.snapshot().settings.testedBy); }},
    {"Notes", ColumnType::Memo,
     [](Views v, int) -> ColumnValue { return memoBytes(v.snapshot().test.notes); }},
    // An empty field prints nothing, not a lone unit.
    {"Elev", ColumnType::Text,
     [](Views v, int) -> ColumnValue {
         return withUnit(v.snapshot().test.readElev, v.units().length);
     }},
    {"Static", ColumnType::Text,
     [](Views v, int) -> ColumnValue {
         return withUnit(v.snapshot().test.staticPressure, v.units().pressure);
     }},
    {"Residual", ColumnType::Text,
     [](Views v, int) -> ColumnValue {
         return withUnit(v.snapshot().test.residualPressure, v.units().pressure);
     }},
};

// The cells as typed; the flow with its unit.
template <int column> ColumnValue outletCell(Views v, int row) {
    return v.snapshot().test.outlets[row][column];
}

const Column outletColumns[] = {
    {"Outlet", ColumnType::Text, outletCell<OutletRow::Label>},
    {"Elev", ColumnType::Text, outletCell<OutletRow::Elev>},
    {"Size", ColumnType::Text, outletCell<OutletRow::Size>},
    {"C", ColumnType::Text, outletCell<OutletRow::C>},
    {"Pitot", ColumnType::Text, outletCell<OutletRow::Pitot>},
    {"Flow", ColumnType::Text,
     [](Views v, int row) -> ColumnValue {
         return withUnit(v.snapshot().test.outlets[row][OutletRow::Flow], v.units().flow);
     }},
};

const Column graphColumns[] = {
    {"GraphPressure", ColumnType::Text,
     [](Views v, int) -> ColumnValue { return v.units().pressure; }},
    {"GraphFlow", ColumnType::Text, [](Views v, int) -> ColumnValue { return v.units().flow; }},
    {"TotalLabel", ColumnType::Text,
     [](Views v, int) -> ColumnValue { return v.results().totalLabel; }},
    {"Total", ColumnType::Text, [](Views v, int) -> ColumnValue { return v.results().totalLine; }},
    {"Graph", ColumnType::Graphic,
     [](Views v, int) -> ColumnValue { return graphPictureBytes(v.results()); }},
};

} // namespace

FlowTestViews::FlowTestViews(ReportSnapshot snapshot)
    : snapshot_(std::move(snapshot)), results_(computeTestResults(snapshot_)) {
    // The window always holds at least one outlet row.
    snapshot_.test.outlets = windowOutletRows(snapshot_.test);
    connections_.push_back(std::make_unique<ViewConnection<FlowTestViews>>(
        QStringLiteral("RvCustomConnection"), *this, &FlowTestViews::RvCustomConnectionFirst,
        &FlowTestViews::RvCustomConnectionGetCols, &FlowTestViews::RvCustomConnectionGetRow));
    connections_.push_back(std::make_unique<ViewConnection<FlowTestViews>>(
        QStringLiteral("RvOutletsConnection"), *this, &FlowTestViews::RvOutletsConnectionFirst,
        &FlowTestViews::RvOutletsConnectionGetCols, &FlowTestViews::RvOutletsConnectionGetRow));
    connections_.push_back(std::make_unique<ViewConnection<FlowTestViews>>(
        QStringLiteral("RvGraphConnection"), *this, &FlowTestViews::RvGraphConnectionFirst,
        &FlowTestViews::RvGraphConnectionGetCols, &FlowTestViews::RvGraphConnectionGetRow));
}

FlowTestViews::~FlowTestViews() = default;

QList<DataConnection*> FlowTestViews::connections() const {
    QList<DataConnection*> result;
    for (const auto& connection : connections_)
        result.append(connection.get());
    return result;
}

void FlowTestViews::SetupReport() {
    units_ = unitTexts(snapshot_.settings.units);
}

void FlowTestViews::RvCustomConnectionFirst(DataConnection& connection) {
    SetupReport();
    connection.setRowCount(1);
}

void FlowTestViews::RvCustomConnectionGetCols(DataConnection& connection) {
    declareColumns(connection, flowTestColumns);
}

void FlowTestViews::RvCustomConnectionGetRow(DataConnection& connection) {
    writeRow(connection, flowTestColumns, *this);
}

void FlowTestViews::RvOutletsConnectionFirst(DataConnection& connection) {
    connection.setRowCount(static_cast<int>(snapshot_.test.outlets.size()));
}

void FlowTestViews::RvOutletsConnectionGetCols(DataConnection& connection) {
    declareColumns(connection, outletColumns);
}

void FlowTestViews::RvOutletsConnectionGetRow(DataConnection& connection) {
    if (connection.rowIndex() < snapshot_.test.outlets.size())
        writeRow(connection, outletColumns, *this);
}

void FlowTestViews::RvGraphConnectionFirst(DataConnection& connection) {
    connection.setRowCount(1);
}

void FlowTestViews::RvGraphConnectionGetCols(DataConnection& connection) {
    declareColumns(connection, graphColumns);
}

void FlowTestViews::RvGraphConnectionGetRow(DataConnection& connection) {
    writeRow(connection, graphColumns, *this);
}

QStringList memoContinuationNotes(const ReportSnapshot& snapshot) {
    constexpr qsizetype countedLines = 1000;
    const ReportDefinition& report = *flowTestProject().report(flowTestReportName);
    const QHash<QString, QString> texts{
        {QStringLiteral("LocationMemo"), memoText(snapshot.test.location)},
        {QStringLiteral("TestByMemo"), memoText(snapshot.settings.testedBy)},
        {QStringLiteral("NotesMemo"), memoText(snapshot.test.notes)}};
    const QHash<QString, QString> subjects{
        {QStringLiteral("LocationMemo"), QStringLiteral("The location has")},
        {QStringLiteral("TestByMemo"), QStringLiteral("The tester text has")},
        {QStringLiteral("NotesMemo"), QStringLiteral("The notes have")}};
    const QList<int> rowCounts{1, static_cast<int>(windowOutletRows(snapshot.test).size()), 1};
    QStringList notes;
    for (const ContinuedMemo& memo : continuedMemos(report, rowCounts, texts)) {
        const ReportItem& item = *memoItem(report, memo.itemName);
        const qsizetype lines = memoLineCount(texts[memo.itemName], item, countedLines + 1);
        const QString count = lines > countedLines
                                  ? QStringLiteral("more than %1 lines").arg(countedLines)
                                  : QStringLiteral("%1 lines").arg(lines);
        QString rest;
        if (memo.page == 0)
            rest = QStringLiteral("the rest is not printed: the report has no page left for it");
        else if (memo.whole)
            rest = QStringLiteral("the rest prints on page %1").arg(memo.page);
        else
            rest = QStringLiteral("the rest prints from page %1 on, as far as the report's last "
                                  "page holds it")
                       .arg(memo.page);
        notes.append(QStringLiteral("%1 %2; the page holds %3, %4.")
                         .arg(subjects[memo.itemName], count)
                         .arg(memoBoxLines(item))
                         .arg(rest));
    }
    return notes;
}

ComposedReport composeFlowTestReport(const ReportSnapshot& snapshot,
                                     const std::function<void(int page)>& pageStarted) {
    const FlowTestViews views(snapshot);
    ReportComposer composer(flowTestProject(), views.connections());
    if (pageStarted)
        composer.onPageStarted(pageStarted);
    return composer.compose(*flowTestProject().report(flowTestReportName));
}
