#pragma once

#include "document/testfile.h"

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QTest>

#include <initializer_list>

Q_DECLARE_METATYPE(OutletRow)
Q_DECLARE_METATYPE(TestRecord)

// An outlet row from its cells in column order; missing cells stay empty.
inline OutletRow outletRow(std::initializer_list<QString> cells) {
    OutletRow row;
    int column = 0;
    for (const QString& cell : cells)
        row[column++] = cell;
    return row;
}

// Builds a record in a table row: Record().date("5 May").outlet({"#1"}).
class Record {
public:
    Record& date(const QString& v) { return set(&TestRecord::date, v); }
    Record& time(const QString& v) { return set(&TestRecord::time, v); }
    Record& staticPressure(const QString& v) { return set(&TestRecord::staticPressure, v); }
    Record& residualPressure(const QString& v) { return set(&TestRecord::residualPressure, v); }
    Record& readElev(const QString& v) { return set(&TestRecord::readElev, v); }
    Record& location(const QStringList& lines) { return setLines(&TestRecord::location, lines); }
    Record& notes(const QStringList& lines) { return setLines(&TestRecord::notes, lines); }
    Record& outlet(std::initializer_list<QString> cells) {
        record_.outlets.append(outletRow(cells));
        return *this;
    }
    operator TestRecord() const { return record_; }

private:
    Record& set(QString TestRecord::*field, const QString& v) {
        record_.*field = v;
        return *this;
    }
    Record& setLines(QStringList TestRecord::*field, const QStringList& lines) {
        record_.*field = lines;
        return *this;
    }
    TestRecord record_;
};

// Failure messages show the cells bracketed, so blanks and empties are visible.
inline char* toString(const OutletRow& row) {
    QStringList cells;
    for (const QString& cell : row.cells)
        cells.append('[' + cell + ']');
    return QTest::toString(cells.join(' '));
}

inline char* toString(const TestRecord& record) {
    return QTest::toString(QString::fromUtf8(testFileBytes(record)));
}
