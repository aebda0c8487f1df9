// The test file reader on any bytes: it must not crash, and whatever it reads
// must survive a save and a second read unchanged, since a tester's file is
// opened, edited and saved again many times.
#include "fuzzcheck.h"

#include "document/testfile.h"

#include <QByteArray>
#include <QStringList>

namespace {

bool heldByOneLine(const QString& value) {
    return !value.contains('\r') && !value.contains('\n') && !value.contains(QChar(0)) &&
           !value.startsWith(' ');
}

// What the reader gives is always something the writer can represent.
void checkRepresentable(const TestRecord& record) {
    for (const QString* value : {&record.date, &record.time, &record.staticPressure,
                                 &record.residualPressure, &record.readElev})
        fuzzCheck(heldByOneLine(*value), "a read value fits one line", visible(*value));
    for (const QStringList* lines : {&record.location, &record.notes}) {
        for (const QString& line : *lines)
            fuzzCheck(heldByOneLine(line), "a read field line fits one line", visible(line));
        // The window's multi-line fields hold exactly these lines.
        fuzzCheck(textFieldLines(textFieldText(*lines)) == *lines,
                  "field text gives back the read lines", visible(lines->join('|')));
    }
    for (const OutletRow& outlet : record.outlets)
        for (const QString& cell : outlet.cells)
            fuzzCheck(!cell.contains(QChar(0)) && !cell.contains('\r') && !cell.contains('\n'),
                      "a read cell holds no NUL or line break", visible(cell));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    const TestRecord record = parseTestFile(input);
    checkRepresentable(record);

    const QByteArray saved = testFileBytes(record);
    const TestRecord reread = parseTestFile(saved);
    fuzzCheck(reread == record, "a read record survives saving and reading again",
              visible(QString::fromUtf8(saved.toPercentEncoding(" =,\"#"))));
    fuzzCheck(testFileBytes(reread) == saved, "saving again writes the same bytes");
    return 0;
}
