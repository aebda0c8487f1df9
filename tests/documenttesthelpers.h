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
