// Random records and settings of every kind of text the files can hold are
// written and read back unchanged. The seed is fixed, so a failure repeats;
// FLOWTEST_PROPERTY_SEED picks another one, and the seed in use is printed.
#include "document/testfile.h"
#include "documenttesthelpers.h"
#include "options/optionsfile.h"
#include "textfile/textfile.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr quint32 defaultSeed = 20080614;
constexpr int recordsPerKind = 500;
constexpr int settingsPerKind = 300;
// Enough to cover both encodings through real files without slowing the suite.
constexpr int filesPerKind = 25;

quint32 propertySeed() {
    bool ok = false;
    const quint32 seed = qEnvironmentVariableIntValue("FLOWTEST_PROPERTY_SEED", &ok);
    return ok ? seed : defaultSeed;
}

const QStringList plainPieces = {"a", "Z", "0", "9", "#", "-", "+", ".", "/", "(", "x y"};

QStringList kindPieces(const QString& kind) {
    if (kind == "blanks, commas and quotes")
        return {" ", "   ", ",", ",,", "\"", "\"\"", "=", " = ", "\",\""};
    if (kind == "control characters")
        return {"\t", QString(QChar(1)), QString(QChar(31)), "\x0b", "\x0c", "\x1b", "\x7f"};
    if (kind == "decimal commas")
        return {"12,5", "0,9", ",", "63,5", "-1,5e3"};
    if (kind == "Windows-1252 text")
        return {QString::fromUtf8("é"), QString::fromUtf8("ß"), QString::fromUtf8("€"),
                QString::fromUtf8("„"), QString::fromUtf8("Œ"), QString::fromUtf8("™"),
                QString(QChar(0xA0)), QString(QChar(0x81)), QString(QChar(0x9D)),
                // The byte-order mark's bytes read as Windows-1252.
                QString::fromUtf8("ï»¿")};
    if (kind == "text beyond Windows-1252")
        return {QString::fromUtf8("Αθήνα"), QString::fromUtf8("Ж"), QString::fromUtf8("中文"),
                QString::fromUtf8("😀"),     QString(QChar(0x2028)), QString(QChar(0x85)),
                QString(QChar(0xFEFF)),     QString(QChar(0xFFFD))};
    return {};
}

const QStringList allKinds = {"plain text",         "blanks, commas and quotes",
                              "control characters", "decimal commas",
                              "Windows-1252 text",  "text beyond Windows-1252"};

QStringList piecesOf(const QString& kind) {
    QStringList pieces = plainPieces;
    if (kind == "everything mixed") {
        for (const QString& each : allKinds)
            pieces += kindPieces(each);
    } else {
        pieces += kindPieces(kind);
    }
    return pieces;
}

// Random texts made of the given pieces: cells may hold anything but the
// line ends and NUL; one-line values and field lines also lose leading
// blanks, which a file cannot keep.
class TextMaker {
public:
    TextMaker(QRandomGenerator& random, QStringList pieces)
        : random_(random), pieces_(std::move(pieces)) {}

    QString cell() {
        if (chance(4))
            return {};
        QString text;
        const int count = below(6) + 1;
        for (int i = 0; i < count; ++i)
            text += pieces_[below(static_cast<int>(pieces_.size()))];
        return text;
    }

    QString value() {
        QString text = cell();
        while (text.startsWith(' '))
            text.remove(0, 1);
        return text;
    }

    QStringList lines() {
        QStringList lines;
        const int count = below(5);
        for (int i = 0; i < count; ++i)
            lines.append(chance(5) ? QString() : value());
        return lines;
    }

    TestRecord record() {
        TestRecord record;
        record.date = value();
        record.time = value();
        record.location = lines();
        record.notes = lines();
        record.staticPressure = value();
        record.residualPressure = value();
        record.readElev = value();
        const int outlets = below(5);
        for (int i = 0; i < outlets; ++i) {
            OutletRow row;
            for (QString& cell : row.cells)
                cell = this->cell();
            record.outlets.append(row);
        }
        return record;
    }

    Settings settings() {
        constexpr UnitSystem units[] = {UnitSystem::US, UnitSystem::MetricBar,
                                        UnitSystem::MetricKPa};
        Settings settings;
        settings.testedBy = lines();
        settings.units = units[below(3)];
        settings.showExtraFlow = chance(2);
        settings.extraPressure = value();
        return settings;
    }

private:
    int below(int bound) { return static_cast<int>(random_.bounded(bound)); }
    bool chance(int oneIn) { return below(oneIn) == 0; }

    QRandomGenerator& random_;
    QStringList pieces_;
};

bool writtenAsUtf8(const QByteArray& bytes) {
    return bytes.startsWith("\xEF\xBB\xBF");
}

// Settings that differ from any written ones in every setting a file names.
Settings staleSettings(const Settings& written) {
    Settings stale;
    stale.testedBy = {"stale tester"};
    stale.units =
        written.units == UnitSystem::MetricKPa ? UnitSystem::MetricBar : UnitSystem::MetricKPa;
    stale.showExtraFlow = !written.showExtraFlow;
    stale.extraPressure = written.extraPressure + "stale";
    return stale;
}

} // namespace

class RoundTripPropertyTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void testFile_data();
    void testFile();
    void optionsFile_data();
    void optionsFile();

private:
    void addKindRows();
    quint32 seed_ = defaultSeed;
};

void RoundTripPropertyTest::initTestCase() {
    seed_ = propertySeed();
    qInfo("Property seed %u (set FLOWTEST_PROPERTY_SEED to try another)", seed_);
}

void RoundTripPropertyTest::addKindRows() {
    QTest::addColumn<QString>("kind");
    for (const QString& kind : allKinds)
        QTest::newRow(qPrintable(kind)) << kind;
    QTest::newRow("everything mixed") << QStringLiteral("everything mixed");
}

void RoundTripPropertyTest::testFile_data() {
    addKindRows();
}

void RoundTripPropertyTest::testFile() {
    QFETCH(QString, kind);
    QRandomGenerator random(seed_ ^ qHash(kind));
    TextMaker maker(random, piecesOf(kind));
    TextMaker plain(random, plainPieces);
    const QStringList beyond1252 = kindPieces("text beyond Windows-1252");
    // Only text beyond Windows-1252 needs UTF-8; each kind that has such text
    // also gets records that do and records that do not, whatever the seed.
    const bool needsUtf8 = kind == "text beyond Windows-1252" || kind == "everything mixed";
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    int utf8Files = 0;
    for (int i = 0; i < recordsPerKind; ++i) {
        TestRecord record = i % 10 == 0 ? plain.record() : maker.record();
        if (needsUtf8 && i % 10 == 1)
            record.date += beyond1252[(i / 10) % beyond1252.size()];
        // The window's multi-line fields hold exactly these lines.
        QCOMPARE(textFieldLines(textFieldText(record.location)), record.location);
        QCOMPARE(textFieldLines(textFieldText(record.notes)), record.notes);

        const QByteArray bytes = testFileBytes(record);
        utf8Files += writtenAsUtf8(bytes) ? 1 : 0;
        const TestRecord reread = parseTestFile(bytes);
        if (reread != record)
            qWarning("Record %d of kind \"%s\", seed %u", i, qPrintable(kind), seed_);
        QCOMPARE(reread, record);

        if (i < filesPerKind) {
            const QString name = folder.filePath(QStringLiteral("test%1.oft").arg(i));
            writeTestFile(name, record);
            const std::optional<TestRecord> fromFile = readTestFile(name);
            QVERIFY(fromFile.has_value());
            QCOMPARE(*fromFile, record);
        }
    }
    if (needsUtf8)
        QVERIFY2(utf8Files > 0 && utf8Files < recordsPerKind, "both encodings written");
    else
        QCOMPARE(utf8Files, 0);
}

void RoundTripPropertyTest::optionsFile_data() {
    addKindRows();
}

void RoundTripPropertyTest::optionsFile() {
    QFETCH(QString, kind);
    QRandomGenerator random(seed_ ^ qHash(kind) ^ 0x5e771465u);
    TextMaker maker(random, piecesOf(kind));
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString name = folder.filePath("FlowTest20.INI");
    for (int i = 0; i < settingsPerKind; ++i) {
        const Settings settings = maker.settings();
        const QByteArray bytes = keyValueBytes(optionsLines(settings));
        const Settings reread =
            settingsFromOptionsLines(staleSettings(settings), parseKeyValueText(bytes));
        if (reread != settings)
            qWarning("Settings %d of kind \"%s\", seed %u: %s", i, qPrintable(kind), seed_,
                     bytes.toPercentEncoding(" =").constData());
        QCOMPARE(reread.testedBy, settings.testedBy);
        QCOMPARE(reread.units, settings.units);
        QCOMPARE(reread.showExtraFlow, settings.showExtraFlow);
        QCOMPARE(reread.extraPressure, settings.extraPressure);

        if (i < filesPerKind) {
            saveOptionsFile(name, settings);
            Settings loaded = staleSettings(settings);
            loadOptionsFile(name, loaded);
            QVERIFY(loaded == settings);
        }
    }
}

QTEST_GUILESS_MAIN(RoundTripPropertyTest)
#include "test_roundtrip_property.moc"
