#pragma once

#include "document/testrecord.h"
#include "textfile/textfile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A test file (".oft") is "key = value" lines ended by CR LF, in this order:
// Date, Time, Static, Residual, ReadElev, one Location line per location
// line, one Notes line per notes line, one Flow line per outlet row; then,
// only when set, one Demand line per demand point (label, flow, pressure,
// elevation, quoted as a Flow line's cells), HoseAllowance and SafetyMargin.

// The lines of the record in file order, and the file's bytes.
QList<KeyValue> testFileLines(const TestRecord& record);
QByteArray testFileBytes(const TestRecord& record);

// Writes the record through the one file writer (a link at the name is
// followed), so a failed save leaves an old file whole. Throws FileError
// ("Cannot create file").
void writeTestFile(const QString& fileName, const TestRecord& record);

// Reads the bytes of a test file: keys ignore the case of A-Z, lines come in
// any order, unknown lines are ignored, a later Date (Time, ...) wins, and
// Location, Notes and Flow lines accumulate. A file without Flow lines gives
// no outlets (the window then adds its first outlet itself).
TestRecord parseTestFile(const QByteArray& bytes);

// Reads a whole test file before returning, so the caller replaces its test
// only after a successful read. nullopt when no file of that name exists;
// throws FileError ("Cannot open file") when it exists but cannot be read.
std::optional<TestRecord> readTestFile(const QString& fileName);

// The outlet rows the window shows for a test: the test's own rows, or one
// empty outlet "#1" when it has none (the window always shows one outlet).
QList<OutletRow> windowOutletRows(const TestRecord& record);

// What clearing the form leaves: every text empty and one outlet row whose
// label stays that of the current first outlet (empty when there is none).
TestRecord clearedTestRecord(const TestRecord& current);
