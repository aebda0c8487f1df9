#include "cli/reportjson.h"

#include "cli/jsonwriter.h"
#include "document/testfile.h"
#include "hydraulics/discharge.h"
#include "hydraulics/flowgraphmodel.h"
#include "options/optionsfile.h"
#include "report/reportdata.h"
#include "results/testrating.h"

#include <QList>

namespace {

// The graph the report draws has five divisions on each axis.
constexpr int GraphDivisions = 5;

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

// The keyword the options file stores for the unit system ("PSI", "BAR", "KPA").
QString unitsKeyword(const Settings& settings) {
    for (const KeyValue& line : optionsLines(settings))
        if (keyIs(line, QLatin1StringView("Units")))
            return line.value;
    return {};
}

QByteArray settingsJson(const Settings& settings) {
    return JsonObject()
        .add("units", unitsKeyword(settings))
        .add("testedBy", jsonStringArray(settings.testedBy))
        .add("showExtraFlow", jsonBool(settings.showExtraFlow))
        .add("extraPressure", settings.extraPressure)
        .json();
}

QByteArray unitsJson(const ReportUnits& units) {
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

QByteArray graphJson(const GraphInputs& inputs, const Settings& settings, QChar separator) {
    if (!inputs.drawn)
        return jsonNull();
    const FlowGraphModel model = BuildFlowGraphModel(inputs.S, inputs.R, inputs.Q, GraphDivisions,
                                                     GraphDivisions, settings, separator);
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

} // namespace

QByteArray reportJsonLine(const TestRecord& record, const Settings& settings, const QString& path,
                          QChar decimalSeparator) {
    const ReportUnits units = reportUnits(settings.units);
    const TotalLine total = totalLine(record, units, decimalSeparator);
    return JsonObject()
        .add("file", path)
        .add("test", testJson(record, settings.units, decimalSeparator))
        .add("settings", settingsJson(settings))
        .add("units", unitsJson(units))
        .add("totalFlow", totalFlow(record, decimalSeparator))
        .add("totalLabel", total.label)
        .add("total", total.text)
        .add("graph", graphJson(graphInputs(record, decimalSeparator), settings, decimalSeparator))
        .add("rating", ratingJson(testRating(record, settings.units, decimalSeparator)))
        .json();
}
