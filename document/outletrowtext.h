#pragma once

#include "hydraulics/outletrow.h"

#include <QString>
#include <QStringList>

// One outlet row as the value of a "Flow" line: the six cells joined by ","
// with no spaces. A cell holding a space, a control character, a double quote
// or a comma is enclosed in double quotes with its double quotes doubled; an
// empty cell is written as nothing.
QString encodeOutletRow(const OutletRow& row);

// Reads a "Flow" value back into six cells. Items are separated by commas or
// by runs of spaces and control characters; a quoted item may hold anything,
// with "" for one double quote. An empty item gives an empty cell, items after
// the sixth are dropped and missing ones stay empty. A quoted item without its
// closing quote (a hand-edited file) takes the rest of the value less its last
// character and ends the row. The value ends at a NUL character.
OutletRow decodeOutletRow(const QString& value);

// The same for a line of any number of cells (a "Demand" line has four).
QString encodeCells(const QStringList& cells);
QStringList decodeCells(const QString& value, int cellCount);
