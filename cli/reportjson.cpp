#include "cli/reportjson.h"

#include "cli/jsonwriter.h"
#include "document/testfile.h"
#include "hydraulics/discharge.h"
#include "results/testresults.h"

#include <QList>

namespace {

QByteArray outletJson(const OutletRow& row, UnitSystem units, QChar separator) {
    return JsonObject()
        .add("label", row[OutletRow::Label])
        .add("elev", row[OutletRow::Elev])
        .add("size", row[OutletRow::Size])
        .add("c", row[OutletRow::C])
        .add("pitot", row[OutletRow::Pitot])
        .add("flow", row[OutletRow::Flow])
        .add("flowFromPitot", ComputeFlow(row, units, separator))
        .add("pitotFromFlow", ComputePitot(row, units, separator))
        .json();
}

QByteArray testJson(const TestRecord& record, UnitSystem units, QChar separator) {
    QList<QByteArray> outlets;
    for (const OutletRow& row : windowOutletRows(record))
        outlets.append(outletJson(row, units, separator));
    return JsonObject()
        .add("date", record.date)
        .add("time", record.time)
        .add("location", jsonStringArray(record.location))
        .add("notes", jsonStringArray(record.notes))
        .add("static", record.staticPressure)
        .add("residual", record.residualPressure)
        .add("readElev", record.readElev)
        .add("outlets", jsonArray(outlets))
        .json();
}

QByteArray settingsJson(const Settings& settings) {
    return JsonObject()
        .add("units", unitTexts(settings.units).keyword) // as the options file stores it
        .add("testedBy", jsonStringArray(settings.testedBy))
        .add("showExtraFlow", jsonBool(settings.showExtraFlow))
        .add("extraPressure", settings.extraPressure)
        .json();
}

QByteArray unitsJson(const UnitTexts& units) {
    return JsonObject()
        .add("length", units.length)
        .add("flow", units.flow)
        .add("pressure", units.pressure)
        .json();
}

QByteArray lineEndJson(SupplyLineEnd end) {
    switch (end) {
    case SupplyLineEnd::RightEdge:
        return jsonString(QStringLiteral("right"));
    case SupplyLineEnd::BottomEdge:
        return jsonString(QStringLiteral("bottom"));
    case SupplyLineEnd::None:
        break;
    }
    return jsonNull();
}

QByteArray graphJson(const std::optional<FlowGraphModel>& graph) {
    if (!graph)
        return jsonNull();
    const FlowGraphModel& model = *graph;
    return JsonObject()
        .add("static", model.StaticPressure)
        .add("residual", model.ResidualPressure)
        .add("flow", model.TestFlow)
        .add("supplyCoefficient", model.SupplyCoefficient)
        .add("chosenPressureFlow", model.ChosenPressureFlow)
        .add("zeroPressureFlow", jsonNumber(model.ZeroPressureFlow))
        .add("flowExtent", model.flowExtent)
        .add("flowAxisMax", model.FlowAxisMax)
        .add("pressureAxisMax", model.PressureAxisMax)
        .add("rightEdgePressure", model.RightEdgePressure)
        .add("note", model.NoteText)
        .add("flowLabels", jsonStringArray(model.flowLabels))
        .add("pressureLabels", jsonStringArray(model.pressureLabels))
        .add("lineEnd", lineEndJson(model.supplyLineEnd))
        .json();
}

QByteArray ratingJson(const HydrantRating& rating) {
    return JsonObject()
        .add("flowAt20psi", jsonNumber(rating.flowAt20psi))
        .add("nfpaClass",
             rating.nfpaClass ? jsonString(nfpaClassName(*rating.nfpaClass)) : jsonNull())
        .add("dropPercent", jsonNumber(rating.dropPercent))
        .json();
}

QByteArray verdictJson(DemandResult::Verdict verdict) {
    switch (verdict) {
    case DemandResult::Verdict::Meets:
        return jsonString(QStringLiteral("meets"));
    case DemandResult::Verdict::MeetsWithoutMargin:
        return jsonString(QStringLiteral("meets without the margin"));
    case DemandResult::Verdict::FallsShort:
        return jsonString(QStringLiteral("falls short"));
    case DemandResult::Verdict::None:
        break;
    }
    return jsonNull();
}

QByteArray demandJson(const DemandPoint& demand, const DemandResult& result) {
    return JsonObject()
        .add("label", demand.label)
        .add("flow", demand.flow)
        .add("pressure", demand.pressure)
        .add("elevation", demand.elevation)
        .add("totalFlow", jsonNumber(result.totalFlow))
        .add("availablePressure", jsonNumber(result.availablePressure))
        .add("marginPressure", jsonNumber(result.margin))
        .add("marginPercent", jsonNumber(result.marginPercent))
        .add("flowAtRequiredPressure", jsonNumber(result.flowAtRequired))
        .add("projected", jsonBool(result.projected))
        .add("verdict", verdictJson(result.verdict))
        .add("verdictText", result.verdictText)
        .json();
}

// The inputs as the test holds them, then each point's answer.
QByteArray analysisJson(const TestRecord& test, const std::optional<SupplyAnalysis>& analysis) {
    if (!analysis)
        return jsonNull();
    QList<QByteArray> points;
    for (qsizetype i = 0; i < analysis->points.size(); ++i)
        points.append(demandJson(test.demands[i], analysis->points[i]));
    return JsonObject()
        .add("hoseAllowance", test.hoseAllowance)
        .add("safetyMargin", test.safetyMargin)
        .add("requiredMargin", jsonNumber(analysis->requiredMargin))
        .add("points", jsonArray(points))
        .add("governing", analysis->governing < 0 ? jsonNull() : jsonNumber(analysis->governing))
        .json();
}

} // namespace

QByteArray reportJsonLine(const TestRecord& record, const Settings& settings, const QString& path,
                          QChar decimalSeparator) {
    const TestSnapshot snapshot{record, settings, decimalSeparator};
    const TestResults results = computeTestResults(snapshot);
    return JsonObject()
        .add("file", path)
        .add("test", testJson(record, settings.units, decimalSeparator))
        .add("settings", settingsJson(settings))
        .add("units", unitsJson(results.units))
        .add("totalFlow", results.totalFlow)
        .add("totalLabel", results.totalLabel)
        .add("total", results.totalLine)
        .add("graph", graphJson(results.graph))
        .add("rating", ratingJson(results.rating))
        .add("analysis", analysisJson(record, results.analysis))
        .add("stops", jsonStringArray(results.stops))
        .add("advice", jsonStringArray(results.advice))
        .json();
}
