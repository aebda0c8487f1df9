#include "cli/reportcsv.h"

#include "cli/commandline.h"
#include "document/testfile.h"
#include "hydraulics/flowgraphmodel.h"
#include "hydraulics/numbertext.h"
#include "report/reportdata.h"
#include "results/testrating.h"

#include <QStringList>

#include <optional>

namespace {

constexpr QChar csvDecimalPoint = QLatin1Char('.');
// The divisions of the report's graph; the note does not depend on them.
constexpr int GraphDivisions = 5;

QString csvField(const QString& text) {
    const bool needsQuotes = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                             text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    if (!needsQuotes)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1StringView("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray csvLine(const QStringList& fields) {
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString& field : fields)
        quoted.append(csvField(field));
    return quoted.join(QLatin1Char(',')).toUtf8() + "\r\n";
}

QString oneDecimal(std::optional<double> value) {
    return value ? formatPattern(*value, Pattern::ExactlyOne, csvDecimalPoint) : QString();
}

// The graph note's flow and pressure; both empty when the report shows no note.
struct ChosenPressureCells {
    QString flow;
    QString pressure;
};

ChosenPressureCells chosenPressureCells(const TestRecord& record, const Settings& settings,
                                        QChar separator) {
    const GraphInputs inputs = graphInputs(record, separator);
    if (!inputs.drawn)
        return {};
    const FlowGraphModel model = BuildFlowGraphModel(inputs.S, inputs.R, inputs.Q, GraphDivisions,
                                                     GraphDivisions, settings, separator);
    if (model.NoteText.isEmpty())
        return {};
    // As the graph reads it: a pressure text that is not a number counts as 0.
    const double pressure = readNumber(settings.extraPressure, separator).value_or(0.0);
    return {oneDecimal(model.ChosenPressureFlow), formatGeneral(pressure, csvDecimalPoint)};
}

} // namespace

QByteArray csvHeader() {
    return csvLine({"file", "date", "time", "location", "static", "residual", "outlets",
                    "totalFlow", "flowAtChosenPressure", "chosenPressure", "flowAt20psi",
                    "nfpaClass", "dropPercent", "units"});
}

QByteArray csvRow(const TestRecord& record, const Settings& settings, const QString& path,
                  QChar decimalSeparator) {
    const ChosenPressureCells chosen = chosenPressureCells(record, settings, decimalSeparator);
    const HydrantRating rating = testRating(record, settings.units, decimalSeparator);
    return csvLine({
        path,
        record.date,
        record.time,
        record.location.join(QLatin1StringView(" / ")),
        record.staticPressure,
        record.residualPressure,
        QString::number(windowOutletRows(record).size()),
        oneDecimal(totalFlow(record, decimalSeparator)),
        chosen.flow,
        chosen.pressure,
        oneDecimal(rating.flowAt20psi),
        rating.nfpaClass ? nfpaClassName(*rating.nfpaClass) : QString(),
        oneDecimal(rating.dropPercent),
        // Nothing is converted, so a row says which units its numbers are in.
        unitsValue(settings.units),
    });
}
