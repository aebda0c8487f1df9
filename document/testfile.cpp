#include "document/testfile.h"

#include "document/outletrowtext.h"

#include "textfile/fileaccess.h"
#include "textfile/filewriter.h"

namespace {

namespace Key {
constexpr QLatin1StringView Date("Date");
constexpr QLatin1StringView Time("Time");
constexpr QLatin1StringView Static("Static");
constexpr QLatin1StringView Residual("Residual");
constexpr QLatin1StringView ReadElev("ReadElev");
constexpr QLatin1StringView Location("Location");
constexpr QLatin1StringView Notes("Notes");
constexpr QLatin1StringView Flow("Flow");
constexpr QLatin1StringView Demand("Demand");
constexpr QLatin1StringView HoseAllowance("HoseAllowance");
constexpr QLatin1StringView SafetyMargin("SafetyMargin");
} // namespace Key

DemandPoint decodeDemand(const QString& value) {
    const QStringList cells = decodeCells(value, 4);
    return {cells[0], cells[1], cells[2], cells[3]};
}

void appendEach(QList<KeyValue>& lines, QLatin1StringView key, const QStringList& values) {
    for (const QString& value : values)
        lines.append({key, value});
}

// Keys are tested in this order; the first match acts.
void applyLine(TestRecord& record, const KeyValue& line) {
    if (keyIs(line, Key::Notes))
        record.notes.append(line.value);
    else if (keyIs(line, Key::Location))
        record.location.append(line.value);
    else if (keyIs(line, Key::Date))
        record.date = line.value;
    else if (keyIs(line, Key::Time))
        record.time = line.value;
    else if (keyIs(line, Key::Static))
        record.staticPressure = line.value;
    else if (keyIs(line, Key::Residual))
        record.residualPressure = line.value;
    else if (keyIs(line, Key::ReadElev))
        record.readElev = line.value;
    else if (keyIs(line, Key::Flow))
        record.outlets.append(decodeOutletRow(line.value));
    else if (keyIs(line, Key::Demand))
        record.demands.append(decodeDemand(line.value));
    else if (keyIs(line, Key::HoseAllowance))
        record.hoseAllowance = line.value;
    else if (keyIs(line, Key::SafetyMargin))
        record.safetyMargin = line.value;
}

} // namespace

QList<KeyValue> testFileLines(const TestRecord& record) {
    QList<KeyValue> lines{
        {Key::Date, record.date},
        {Key::Time, record.time},
        {Key::Static, record.staticPressure},
        {Key::Residual, record.residualPressure},
        {Key::ReadElev, record.readElev},
    };
    appendEach(lines, Key::Location, record.location);
    appendEach(lines, Key::Notes, record.notes);
    for (const OutletRow& outlet : record.outlets)
        lines.append({Key::Flow, encodeOutletRow(outlet)});
    // Only when set, so a test without an analysis is written as it always
    // was; readers that know no analysis skip these lines.
    for (const DemandPoint& demand : record.demands)
        lines.append({Key::Demand,
                      encodeCells({demand.label, demand.flow, demand.pressure, demand.elevation})});
    if (!record.hoseAllowance.isEmpty())
        lines.append({Key::HoseAllowance, record.hoseAllowance});
    if (!record.safetyMargin.isEmpty())
        lines.append({Key::SafetyMargin, record.safetyMargin});
    return lines;
}

QByteArray testFileBytes(const TestRecord& record) {
    return keyValueBytes(testFileLines(record));
}

void writeTestFile(const QString& fileName, const TestRecord& record) {
    writeWholeFile(fileName, testFileBytes(record));
}

TestRecord parseTestFile(const QByteArray& bytes) {
    TestRecord record;
    for (const KeyValue& line : parseKeyValueText(bytes))
        applyLine(record, line);
    return record;
}

std::optional<TestRecord> readTestFile(const QString& fileName) {
    if (targetKind(fileName) == EntryKind::Missing)
        return std::nullopt;
    return parseTestFile(readWholeFile(fileName));
}

QList<OutletRow> windowOutletRows(const TestRecord& record) {
    if (!record.outlets.isEmpty())
        return record.outlets;
    OutletRow first;
    first[OutletRow::Label] = QStringLiteral("#1");
    return {first};
}

TestRecord clearedTestRecord(const TestRecord& current) {
    OutletRow first;
    if (!current.outlets.isEmpty())
        first[OutletRow::Label] = current.outlets.first()[OutletRow::Label];
    TestRecord cleared;
    cleared.outlets.append(first);
    return cleared;
}
