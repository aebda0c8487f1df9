// The outlet row text both ways. The first byte picks what the rest is:
// even, a "Flow" value as a hand-edited file may hold it; odd, the six cells
// of a row as the grid may hold them. Any row without NUL must come back
// from its own encoding unchanged, and one that fits a line must also come
// back through a whole test file.
#include "fuzzcheck.h"

#include "document/outletrowtext.h"
#include "document/testfile.h"

#include <QStringList>

namespace {

QString shown(const OutletRow& row) {
    QStringList cells;
    for (const QString& cell : row.cells)
        cells.append(visible(cell));
    return cells.join(' ');
}

void checkRoundTrip(const OutletRow& row) {
    const QString value = encodeOutletRow(row);
    fuzzCheck(decodeOutletRow(value) == row, "a row comes back from its encoding",
              shown(row) + " as " + visible(value));
    fuzzCheck(!value.startsWith(' '), "an encoded row starts at a word", visible(value));
}

bool fitsOneLine(const OutletRow& row) {
    for (const QString& cell : row.cells)
        if (cell.contains('\r') || cell.contains('\n'))
            return false;
    return true;
}

bool validText(const OutletRow& row) {
    for (const QString& cell : row.cells)
        if (!cell.isValidUtf16())
            return false;
    return true;
}

void checkThroughFile(const OutletRow& row) {
    TestRecord record;
    record.outlets = {row, row};
    const TestRecord reread = parseTestFile(testFileBytes(record));
    fuzzCheck(reread.outlets == record.outlets, "rows come back through a test file", shown(row));
}

OutletRow rowFromCells(FuzzedDataProvider& data) {
    OutletRow row;
    for (QString& cell : row.cells)
        cell = fuzzText(data, 12).remove(QChar(0));
    return row;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    const bool cellsGiven = data.ConsumeBool();
    OutletRow row;
    if (cellsGiven) {
        row = rowFromCells(data);
    } else {
        const QString value = fuzzText(data, 200);
        row = decodeOutletRow(value);
        for (const QString& cell : row.cells)
            fuzzCheck(!cell.contains(QChar(0)), "a decoded cell holds no NUL", visible(cell));
        // Reading stops at a NUL: what follows it changes nothing.
        const qsizetype nul = value.indexOf(QChar(0));
        if (nul >= 0)
            fuzzCheck(decodeOutletRow(value.left(nul)) == row, "a NUL ends the value",
                      visible(value));
    }
    checkRoundTrip(row);
    if (fitsOneLine(row) && validText(row))
        checkThroughFile(row);
    return 0;
}
