#include "report/supplyanalysisreport.h"

#include "graph/analysisgraph.h"
#include "hydraulics/numbertext.h"
#include "report/composer.h"
#include "report/reportitems.h"
#include "report/viewconnection.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace {

// Numbers as the analysis writes them: "74.8 psi", "1050 gpm", "36 %";
// nothing for a value that was not computed.
class PageTexts {
public:
    PageTexts(UnitTexts units, QChar separator) : units_(std::move(units)), separator_(separator) {}

    QString flow(std::optional<double> value) const { return withUnit(value, units_.flow); }
    QString pressure(std::optional<double> value) const { return withUnit(value, units_.pressure); }
    QString percent(std::optional<double> value) const {
        return withUnit(value, QStringLiteral("%"));
    }
    const UnitTexts& units() const { return units_; }

private:
    QString withUnit(std::optional<double> value, const QString& unit) const {
        if (!value)
            return {};
        return formatPattern(*value, Pattern::UpToOne, separator_) + QLatin1Char(' ') + unit;
    }

    UnitTexts units_;
    QChar separator_;
};

class AnalysisViews {
public:
    explicit AnalysisViews(ReportSnapshot snapshot);
    AnalysisViews(const AnalysisViews&) = delete;
    AnalysisViews& operator=(const AnalysisViews&) = delete;

    QList<DataConnection*> connections() const;

    const ReportSnapshot& snapshot() const { return snapshot_; }
    const TestResults& results() const { return results_; }
    const PageTexts& texts() const { return texts_; }
    const DemandResult& point(int row) const { return points_[row]; }
    const QByteArray& graph() const { return graph_; }
    QString analysisText(QString SupplyAnalysis::*text) const {
        return results_.analysis ? (*results_.analysis).*text : QString();
    }
    QStringList adviceLines() const;

private:
    ReportSnapshot snapshot_;
    TestResults results_;
    PageTexts texts_;
    QList<DemandResult> points_; // the ones shown
    QByteArray graph_;           // drawn once, though three bands read the view
    std::vector<std::unique_ptr<DataConnection>> connections_;
};

using Column = ViewColumn<AnalysisViews>;
using Views = const AnalysisViews&;

const Column analysisColumns[] = {
    {"Date", ColumnType::Text, [](Views v, int) -> ColumnValue { return v.snapshot().test.date; }},
    {"Time", ColumnType::Text, [](Views v, int) -> ColumnValue { return v.snapshot().test.time; }},
    {"Location", ColumnType::Memo,
     [](Views v, int) -> ColumnValue { return memoBytes(v.snapshot().test.location); }},
    {"TestBy", ColumnType::Memo,
     [](Views v, int) -> ColumnValue { return memoBytes(v.snapshot().settings.testedBy); }},
    {"Static", ColumnType::Text,
     [](Views v, int) -> ColumnValue { return v.texts().pressure(v.results().staticPressure); }},
    {"Residual", ColumnType::Text,
     [](Views v, int) -> ColumnValue { return v.texts().pressure(v.results().residualPressure); }},
    {"TestFlow", ColumnType::Text,
     [](Views v, int) -> ColumnValue { return v.results().totalText; }},
    {"FlowAt20Label", ColumnType::Text,
     [](Views v, int) -> ColumnValue { return v.results().flowAt20psiLabel; }},
    {"FlowAt20", ColumnType::Text,
     [](Views v, int) -> ColumnValue { return v.results().flowAt20psiText; }},
    {"NfpaClass", ColumnType::Text,
     [](Views v, int) -> ColumnValue { return v.results().nfpaClassText; }},
    {"Drop", ColumnType::Text, [](Views v, int) -> ColumnValue { return v.results().dropText; }},
    {"Hose", ColumnType::Text,
     [](Views v, int) -> ColumnValue { return v.analysisText(&SupplyAnalysis::hoseText); }},
    {"Margin", ColumnType::Text,
     [](Views v, int) -> ColumnValue { return v.analysisText(&SupplyAnalysis::marginText); }},
    {"GraphPressure", ColumnType::Text,
     [](Views v, int) -> ColumnValue { return v.texts().units().pressure; }},
    {"GraphFlow", ColumnType::Text,
     [](Views v, int) -> ColumnValue { return v.texts().units().flow; }},
    {"Graph", ColumnType::Graphic, [](Views v, int) -> ColumnValue { return v.graph(); }},
    {"Advice", ColumnType::Memo,
     [](Views v, int) -> ColumnValue { return memoBytes(v.adviceLines()); }},
};

QString verdictText(const DemandResult& point) {
    if (point.verdict == DemandResult::Verdict::None)
        return QStringLiteral("not computed; see the advice");
    return point.verdictText;
}

std::optional<double> hoseOf(const DemandResult& point) {
    if (!point.demandFlow || !point.totalFlow)
        return std::nullopt;
    return *point.totalFlow - *point.demandFlow;
}

const Column demandColumns[] = {
    {"Label", ColumnType::Text, [](Views v, int row) -> ColumnValue { return v.point(row).label; }},
    {"Demand", ColumnType::Text,
     [](Views v, int row) -> ColumnValue { return v.texts().flow(v.point(row).demandFlow); }},
    {"HoseFlow", ColumnType::Text,
     [](Views v, int row) -> ColumnValue { return v.texts().flow(hoseOf(v.point(row))); }},
    {"Total", ColumnType::Text,
     [](Views v, int row) -> ColumnValue { return v.texts().flow(v.point(row).totalFlow); }},
    {"Needed", ColumnType::Text,
     [](Views v, int row) -> ColumnValue {
         return v.texts().pressure(v.point(row).demandPressure);
     }},
    {"Available", ColumnType::Text,
     [](Views v, int row) -> ColumnValue {
         return v.texts().pressure(v.point(row).availablePressure);
     }},
    {"MarginPressure", ColumnType::Text,
     [](Views v, int row) -> ColumnValue { return v.texts().pressure(v.point(row).margin); }},
    {"MarginPercent", ColumnType::Text,
     [](Views v, int row) -> ColumnValue { return v.texts().percent(v.point(row).marginPercent); }},
    {"Verdict", ColumnType::Text,
     [](Views v, int row) -> ColumnValue { return verdictText(v.point(row)); }},
};

AnalysisViews::AnalysisViews(ReportSnapshot snapshot)
    : snapshot_(std::move(snapshot)), results_(computeTestResults(snapshot_)),
      texts_(results_.units, snapshot_.decimalSeparator) {
    if (results_.analysis) {
        points_ = results_.analysis->points.first(
            std::min<qsizetype>(results_.analysis->points.size(), AnalysisGraphDemands));
        if (results_.analysis->graph)
            graph_ = pictureBytes(
                DrawAnalysisGraph(*results_.analysis->graph, results_.flowAt20psiLabel));
    }
    if (graph_.isEmpty())
        graph_ = pictureBytes(std::nullopt);
    connections_.push_back(
        std::make_unique<TableConnection<AnalysisViews, std::size(analysisColumns)>>(
            QStringLiteral("RvAnalysisConnection"), *this, analysisColumns));
    connections_.push_back(
        std::make_unique<TableConnection<AnalysisViews, std::size(demandColumns)>>(
            QStringLiteral("RvDemandsConnection"), *this, demandColumns,
            static_cast<int>(points_.size())));
}

QList<DataConnection*> AnalysisViews::connections() const {
    QList<DataConnection*> result;
    for (const auto& connection : connections_)
        result.append(connection.get());
    return result;
}

// What stops a result and the advice, after a word on the points not shown.
QStringList AnalysisViews::adviceLines() const {
    QStringList lines;
    const qsizetype all = results_.analysis ? results_.analysis->points.size() : 0;
    if (all > points_.size())
        lines.append(QStringLiteral("The page shows the first %1 of the %2 demand points.")
                         .arg(points_.size())
                         .arg(all));
    return lines + results_.stops + results_.advice;
}

// ---- The definition

// The demand table's columns: where each cell stands in its row and under
// which heading. Flows and pressures stand right-aligned; the verdict has a
// line of its own under the numbers, the margin's percentage beside it.
struct TableColumn {
    const char* field;
    const char* heading; // none for the second line
    double left;
    double top;
    double width;
    Alignment alignment;
};

const TableColumn tableColumns[] = {
    {"Label", "Demand point", 0, 0, 1.45, Alignment::Left},
    {"Demand", "Demand", 1.5, 0, 0.8, Alignment::Right},
    {"HoseFlow", "Hose", 2.35, 0, 0.75, Alignment::Right},
    {"Total", "Total", 3.15, 0, 0.8, Alignment::Right},
    {"Needed", "Needed", 4.0, 0, 0.75, Alignment::Right},
    {"Available", "Available", 4.8, 0, 0.8, Alignment::Right},
    {"MarginPressure", "Margin", 5.65, 0, 0.85, Alignment::Right},
    {"Verdict", nullptr, 0.15, 0.2, 5.4, Alignment::Left},
    {"MarginPercent", nullptr, 5.65, 0.2, 0.85, Alignment::Right},
};

constexpr double tableHeadingTop = 1.89;

// Caption and value on one line: the supply's rows, hose and margin.
QList<ReportItem> captionedValue(const char* caption, const char* field, double left, double top,
                                 double captionWidth, double valueWidth) {
    const double valueLeft = left + captionWidth + 0.05;
    return {fixedText(caption, QString::fromLatin1(caption), left, top, captionWidth, bold12,
                      Alignment::Left),
            dataText(field, field, valueLeft, top, valueWidth, regular12, Alignment::Left)};
}

ReportBand analysisBand() {
    ReportBand band{
        QStringLiteral("AnalysisBand"), QStringLiteral("AnalysisView"), 2.17, {}, 0, {}};
    band.items = testDateAndTime();
    band.items += {
        fixedText("LocationCaption", QStringLiteral("Location"), 0, 0.25, 0.8, bold12,
                  Alignment::Left),
        dataMemo("LocationMemo", "Location", 0.85, 0.25, 2.6, 0.4),
        fixedText("TestByCaption", QStringLiteral("Tested by"), 3.6, 0.25, 0.85, bold12,
                  Alignment::Left),
        dataMemo("TestByMemo", "TestBy", 4.5, 0.25, 2.0, 0.4),
        fixedText("SupplyHeading", QStringLiteral("Water Supply"), 0, 0.7, 2.0, bold14,
                  Alignment::Left, underlined),
        // The flow at 20 psi is named in the test's pressure unit.
        dataText("FlowAt20Caption", "FlowAt20Label", 3.4, 0.97, 1.5, bold12, Alignment::Left),
        dataText("FlowAt20", "FlowAt20", 4.95, 0.97, 1.55, regular12, Alignment::Left),
        fixedText("DemandHeading", QStringLiteral("Demand Points"), 0, 1.62, 2.0, bold14,
                  Alignment::Left, underlined),
        horizontalLine("TableRule", 0, 2.12, 6.5),
    };
    band.items += captionedValue("Static pressure", "Static", 0, 0.97, 1.55, 1.6);
    band.items += captionedValue("Residual pressure", "Residual", 0, 1.17, 1.55, 1.6);
    band.items += captionedValue("Test flow", "TestFlow", 0, 1.37, 1.55, 1.6);
    band.items += captionedValue("NFPA 291 class", "NfpaClass", 3.4, 1.17, 1.5, 1.55);
    band.items += captionedValue("Pressure drop", "Drop", 3.4, 1.37, 1.5, 1.55);
    for (const TableColumn& column : tableColumns)
        if (column.heading)
            band.items.append(fixedText(column.heading, QString::fromLatin1(column.heading),
                                        column.left, tableHeadingTop, column.width, bold12,
                                        column.alignment));
    return band;
}

ReportBand demandBand() {
    ReportBand band{QStringLiteral("DemandBand"), QStringLiteral("DemandsView"), 0.45, {}, 0, {}};
    for (const TableColumn& column : tableColumns)
        band.items.append(dataText(column.field, column.field, column.left, column.top,
                                   column.width, regular12, column.alignment));
    return band;
}

// The picture and its unit captions stand as on the flow test report.
ReportBand graphBand() {
    ReportBand band{QStringLiteral("GraphBand"), QStringLiteral("AnalysisView"), 3.35, {}, 0, {}};
    band.items = captionedValue("Hose allowance", "Hose", 0, 0.05, 1.25, 0.95);
    band.items += captionedValue("Safety margin", "Margin", 2.35, 0.05, 1.1, 3.0);
    band.items += {
        pictureItem("Graph", "Graph", 0.3, 0.35, 6.1, 2.8),
        dataText("GraphPressureText", "GraphPressure", 0, 0.35 + 1.2, 0.4, bold12,
                 Alignment::Right),
        dataText("GraphFlowText", "GraphFlow", 2.75, 0.35 + 2.75, 1.0, bold12, Alignment::Centre),
    };
    return band;
}

ReportBand adviceBand() {
    ReportBand band{QStringLiteral("AdviceBand"), QStringLiteral("AnalysisView"), 1.08, {}, 0, {}};
    band.items = {
        fixedText("AdviceHeading", QStringLiteral("Advice"), 0, 0, 1.0, bold14, Alignment::Left,
                  underlined),
        dataMemo("AdviceMemo", "Advice", 0, 0.27, 6.5, 0.78),
    };
    return band;
}

ReportProject makeSupplyAnalysisProject() {
    ReportDefinition report;
    report.name = supplyAnalysisReportName;
    report.description = QStringLiteral("Water supply analysis");
    report.paperSize = QSizeF(8.5, 11.0);
    report.pageItems = {
        fixedText("Title", QStringLiteral("Water Supply Analysis"), 2.2, 1.0, 4.1,
                  ReportFont{22, true}, Alignment::Centre),
        programFooter(),
    };
    // Four demand rows at most: the bands fill the region exactly.
    report.region = QRectF(1.0, 1.4, 6.5, 8.4);
    report.bands = {analysisBand(), demandBand(), graphBand(), adviceBand()};

    ReportProject project;
    project.views = {{QStringLiteral("AnalysisView"), QStringLiteral("RvAnalysisConnection")},
                     {QStringLiteral("DemandsView"), QStringLiteral("RvDemandsConnection")}};
    project.reports = {report};
    return project;
}

} // namespace

const ReportProject& supplyAnalysisProject() {
    static const ReportProject project = makeSupplyAnalysisProject();
    return project;
}

ComposedReport composeSupplyAnalysisReport(const ReportSnapshot& snapshot) {
    const AnalysisViews views(snapshot);
    ReportComposer composer(supplyAnalysisProject(), views.connections());
    return composer.compose(*supplyAnalysisProject().report(supplyAnalysisReportName));
}
