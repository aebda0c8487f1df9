// The options file reader on any bytes, hand-edited files included: no
// crash, every line splits into words that give the line back, and the
// settings read survive a save and a second read unchanged.
#include "fuzzcheck.h"

#include "options/optionsfile.h"
#include "textfile/textfile.h"

#include <QByteArray>
#include <QStringList>

namespace {

void checkLineSplitting(const QByteArray& input) {
    const qsizetype nul = input.indexOf('\0');
    const QString text = decodeFileText(nul < 0 ? input : input.left(nul));
    for (const QString& line : splitLines(text)) {
        fuzzCheck(!line.contains('\r') && !line.contains('\n'), "a line holds no break",
                  visible(line));
        fuzzCheck(SplitWords(line).join(QString()) == line, "the words join to the line",
                  visible(line));
        const KeyValue pair = splitKeyValue(line);
        fuzzCheck(pair.key.isEmpty() ||
                      (pair.key.front().unicode() > 32 && pair.key.back().unicode() > 32),
                  "a key is trimmed of blanks and controls", visible(pair.key));
        fuzzCheck(!pair.value.startsWith(' '), "a value starts at a word", visible(pair.value));
        fuzzCheck(line.endsWith(pair.value), "a value is the end of its line", visible(line));
    }
}

// The state before loading: what a load keeps when the file names no switch
// or pressure.
Settings settingsBefore(bool showExtraFlow) {
    Settings before;
    before.testedBy = QStringList{QStringLiteral("earlier tester")};
    before.units = UnitSystem::MetricKPa;
    before.showExtraFlow = showExtraFlow;
    before.extraPressure = QStringLiteral("before");
    return before;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    checkLineSplitting(input);

    const bool showBefore = size > 0 && (bytes[0] & 1);
    const Settings read =
        settingsFromOptionsLines(settingsBefore(showBefore), parseKeyValueText(input));

    const QList<KeyValue> lines = optionsLines(read);
    fuzzCheck(lines.size() == read.testedBy.size() + 3,
              "a tester line each, then Units, ShowExtraFlow and ExtraPress");
    const QByteArray saved = keyValueBytes(lines);
    // A saved file names every setting, so what was there before loading it
    // no longer matters.
    const Settings reread =
        settingsFromOptionsLines(settingsBefore(!showBefore), parseKeyValueText(saved));
    fuzzCheck(reread == read, "read settings survive saving and reading again",
              visible(QString::fromUtf8(saved.toPercentEncoding(" =,"))));
    return 0;
}
