#pragma once

#include "document/testrecord.h"

#include <QStringList>

// A very large test: 100,000 outlet rows and 10 MB of notes, in lines of
// 100 characters or, with onePararaph, as one paragraph the field wraps.
inline TestRecord largeRecord(bool oneParagraph = false) {
    TestRecord record;
    record.date = "5/16/2023";
    record.staticPressure = "72";
    record.residualPressure = "58";
    const QString line =
        QString("Hydrant flowed through a diffuser; witnesses present. ").repeated(2).left(99) + ' ';
    record.notes = QStringList(100'000, line);
    if (oneParagraph)
        record.notes = QStringList{record.notes.join(QString())};
    record.outlets.reserve(100'000);
    for (int i = 1; i <= 100'000; ++i) {
        OutletRow row;
        row[OutletRow::Label] = QString("#%1").arg(i);
        row[OutletRow::Elev] = QString::number(400 + i % 17);
        row[OutletRow::Size] = "2.5";
        row[OutletRow::C] = "0.9";
        row[OutletRow::Pitot] = QString::number(10 + i % 20);
        row[OutletRow::Flow] = QString::number(500 + i % 300);
        record.outlets.append(row);
    }
    return record;
}
