#include "cli/reportcsv.h"

#include "document/testfile.h"
#include "hydraulics/numbertext.h"
#include "results/testresults.h"

#include <QStringList>

#include <optional>

namespace {

constexpr QChar csvDecimalPoint = QLatin1Char('.');

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

struct CsvRow {
    const QString& path;
    const TestSnapshot& snapshot;
    const TestResults& results;
};

const DemandResult* governingPoint(const CsvRow& row) {
    const std::optional<SupplyAnalysis>& analysis = row.results.analysis;
    if (!analysis || analysis->governing < 0)
        return nullptr;
    return &analysis->points[analysis->governing];
}

std::optional<double> governing(const CsvRow& row, std::optional<double> DemandResult::*value) {
    const DemandResult* point = governingPoint(row);
    return point ? point->*value : std::nullopt;
}

// A column of the summary, declared once: its header and its cell.
struct CsvColumn {
    const char* header;
    QString (*cell)(const CsvRow& row);
};

const CsvColumn csvColumns[] = {
    {"file", [](const CsvRow& row) { return row.path; }},
    {"date", [](const CsvRow& row) { return row.snapshot.test.date; }},
    {"time", [](const CsvRow& row) { return row.snapshot.test.time; }},
    {"location",
     [](const CsvRow& row) { return row.snapshot.test.location.join(QLatin1StringView(" / ")); }},
    {"static", [](const CsvRow& row) { return row.snapshot.test.staticPressure; }},
    {"residual", [](const CsvRow& row) { return row.snapshot.test.residualPressure; }},
    {"outlets",
     [](const CsvRow& row) { return QString::number(windowOutletRows(row.snapshot.test).size()); }},
    {"totalFlow", [](const CsvRow& row) { return oneDecimal(row.results.totalFlow); }},
    // The graph's note's flow and pressure; both empty when the report shows no note.
    {"flowAtChosenPressure",
     [](const CsvRow& row) {
         return row.results.chosenPressure ? oneDecimal(row.results.graph->ChosenPressureFlow)
                                           : QString();
     }},
    {"chosenPressure",
     [](const CsvRow& row) {
         return row.results.chosenPressure
                    ? formatGeneral(*row.results.chosenPressure, csvDecimalPoint)
                    : QString();
     }},
    {"flowAt20psi", [](const CsvRow& row) { return oneDecimal(row.results.rating.flowAt20psi); }},
    {"nfpaClass",
     [](const CsvRow& row) {
         const std::optional<NfpaClass>& rating = row.results.rating.nfpaClass;
         return rating ? nfpaClassName(*rating) : QString();
     }},
    {"dropPercent", [](const CsvRow& row) { return oneDecimal(row.results.rating.dropPercent); }},
    // Nothing is converted, so a row says which units its numbers are in.
    {"units", [](const CsvRow& row) { return row.results.units.name; }},
    // The analysis's governing point: the one with the smallest margin.
    {"demandFlow",
     [](const CsvRow& row) { return oneDecimal(governing(row, &DemandResult::demandFlow)); }},
    {"demandPressure",
     [](const CsvRow& row) { return oneDecimal(governing(row, &DemandResult::demandPressure)); }},
    {"availablePressure",
     [](const CsvRow& row) {
         return oneDecimal(governing(row, &DemandResult::availablePressure));
     }},
    {"marginPressure",
     [](const CsvRow& row) { return oneDecimal(governing(row, &DemandResult::margin)); }},
    {"verdict",
     [](const CsvRow& row) {
         const DemandResult* point = governingPoint(row);
         return point ? point->verdictText : QString();
     }},
    // What the results window says: why a test cannot be rated, and advice.
    {"advice",
     [](const CsvRow& row) {
         return (row.results.stops + row.results.advice).join(QLatin1StringView(" / "));
     }},
};

} // namespace

QByteArray csvHeader() {
    QStringList headers;
    for (const CsvColumn& column : csvColumns)
        headers.append(QString::fromLatin1(column.header));
    return csvLine(headers);
}

QByteArray csvRow(const TestRecord& record, const Settings& settings, const QString& path,
                  QChar decimalSeparator) {
    const TestSnapshot snapshot{record, settings, decimalSeparator};
    const TestResults results = computeTestResults(snapshot);
    const CsvRow row{path, snapshot, results};
    QStringList cells;
    for (const CsvColumn& column : csvColumns)
        cells.append(column.cell(row));
    return csvLine(cells);
}
