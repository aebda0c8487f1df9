#include "cli/reportcsv.h"
#include "cli/reportjson.h"
#include "document/testfile.h"
#include "results/testresults.h"
#include "textfile/fileaccess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

Q_DECLARE_METATYPE(TestSnapshot)

namespace {

const UnitSystem us = UnitSystem::US, bar = UnitSystem::MetricBar, kPa = UnitSystem::MetricKPa;

// A test of the given pressures whose outlets are "size;C;pitot;flow" texts.
TestSnapshot snapshotOf(UnitSystem units, const char* S, const char* R,
                          const QStringList& outlets, bool note = true) {
    TestSnapshot snapshot{{}, {{}, units, note}, QLatin1Char('.')};
    snapshot.test.staticPressure = S;
    snapshot.test.residualPressure = R;
    for (const QString& outlet : outlets) {
        const QStringList cells = outlet.split(QLatin1Char(';'));
        const QString label = QStringLiteral("#%1").arg(snapshot.test.outlets.size() + 1);
        snapshot.test.outlets.append(
            OutletRow{{label, {}, cells.value(0), cells.value(1), cells.value(2), cells.value(3)}});
    }
    return snapshot;
}

TestSnapshot example(const char* name, UnitSystem units) {
    TestSnapshot snapshot;
    snapshot.settings.units = units;
    snapshot.test = parseTestFile(readWholeFile(QStringLiteral(FLOWTEST_EXAMPLES_DIR "/") + name));
    return snapshot;
}

} // namespace

class TestResultsTest : public QObject {
    Q_OBJECT
private slots:
    void stopsAndAdvice_data();
    void stopsAndAdvice();
    void outletAdviceIsCapped();
    void resultLines_data();
    void resultLines();
};

void TestResultsTest::stopsAndAdvice_data() {
    QTest::addColumn<TestSnapshot>("snapshot");
    QTest::addColumn<QStringList>("stops");
    QTest::addColumn<QStringList>("advice");
    const auto row = [](const char* name, const TestSnapshot& snapshot, const QStringList& stops,
                        const QStringList& advice = {}) {
        QTest::newRow(name) << snapshot << stops << advice;
    };
    const QStringList good{";;;531"}; // no formula, so no outlet advice
    const QString noFlow = "No flow yet: enter the outlets' flows, or their size, C and pitot "
                           "pressure and then their Flow cells.";
    const QString pressures = "Enter the static and the residual pressure.";
    const QString lowDrop = "The residual drop is below 25 %: NFPA 291 (2010) recommends a drop "
                            "of at least 25 %, so the projection to 20 psi is less reliable.";
    const QString relabels = ", but the options are set to %1; changing the units relabels the "
                             "values and never converts them.";
    const QString lowPitot = "NFPA 291 recommends avoiding readings under %1: open fewer outlets "
                             "or a smaller one";
    row("complete", snapshotOf(us, "60", "40", good), {});
    row("nothing typed", snapshotOf(us, "", "", {";"}), {noFlow, pressures});
    row("residual no number", snapshotOf(us, "60", "58 psi", good),
        {"The residual pressure \"58 psi\" is not a number."});
    row("residual missing, static no number", snapshotOf(us, "6O", " ", good),
        {"Enter the residual pressure.", "The static pressure \"6O\" is not a number."});
    row("static below residual", snapshotOf(us, "40 ", "60", good),
        {"The static pressure (40 psi) is below the residual pressure (60 psi): no graph and no "
         "rating."});
    row("static at 20 psi", snapshotOf(us, "20", "10", good),
        {"The static pressure is at or below 20 psi: no rating at 20 psi."});
    row("static at 1.379 bar", snapshotOf(bar, "1.379", "1", good),
        {"The static pressure is at or below 1.379 bar: no rating at 1.379 bar."});
    row("equal pressures", snapshotOf(us, "60", "60", good),
        {"The static and the residual pressure are equal: no pressure drop, so no rating at 20 "
         "psi."},
        {lowDrop});
    row("drop 24.9 %", snapshotOf(us, "100", "75.1", good), {}, {lowDrop});
    row("drop 25 %", snapshotOf(us, "100", "75", good), {});
    row("flow missing", snapshotOf(us, "60", "40", {good[0], "2.5;0.9;15; "}), {},
        {"Outlet #2: 15 psi pitot but no flow; enter its Flow cell to compute it"});
    row("flow 5 % from formula", snapshotOf(us, "60", "40", {"2.5;0.9;18;747"}), {});
    row("flow beyond 5 %", snapshotOf(us, "60", "40", {"2.5;0.9;18;748"}), {},
        {"Outlet #1: 748 gpm typed, 712 gpm from 18 psi on 2.5 in at C 0.9"});
    row("metric beyond 5 %", snapshotOf(bar, "5", "3", {"63.5;0.9;0.69;1900"}), {},
        {"Outlet #1: 1900 lpm typed, 2008 lpm from 0.69 bar on 63.5 mm at C 0.9"});

    // NFPA 291's field advice.
    row("pitot under 10 psi", snapshotOf(us, "60", "40", {"2.5;0.9;6;411"}), {},
        {"Outlet #1: 6 psi pitot; " + lowPitot.arg("10 psi")});
    row("0.69 bar is 10 psi", snapshotOf(bar, "4", "3", {"63.5;0.9;0.69;2008"}), {});
    row("under 0.69 bar", snapshotOf(bar, "4", "3", {"63.5;0.9;0.68;1993"}), {},
        {"Outlet #1: 0.68 bar pitot; " + lowPitot.arg("0.69 bar")});
    row("under 69 kPa", snapshotOf(kPa, "400", "300", {"63.5;0.9;68;1993"}), {},
        {"Outlet #1: 68 kPa pitot; " + lowPitot.arg("69 kPa")});
    row("pumper outlet without a flow tube", snapshotOf(us, "60", "40", {"4.5;0.9;5;1216"}), {},
        {"Outlet #1: 5 psi pitot; " + lowPitot.arg("10 psi"),
         "Outlet #1: a 4.5 in outlet at 5 psi; for a pumper outlet without a flow tube NFPA 291 "
         "gives a factor of 0.86: C 0.77, 1046 gpm"});
    row("pumper outlet in mm, 0.34 bar counted as 4.9 psi", snapshotOf(bar, "4", "3", {"114;0.9;0.34;4542"}),
        {},
        {"Outlet #1: 0.34 bar pitot; " + lowPitot.arg("0.69 bar"),
         "Outlet #1: a 114 mm outlet at 0.34 bar; for a pumper outlet without a flow tube NFPA 291 "
         "gives a factor of 0.89: C 0.80, 4043 lpm"});
    row("a flow tube needs no factor", snapshotOf(us, "60", "40", {"4.5;0.95;16;2296"}), {});
    row("C 1.2", snapshotOf(us, "60", "40", {"2.5;1.2;16;895"}), {},
        {"Outlet #1: C 1.2 looks mistyped; usual values are 0.90 smooth and well rounded, 0.80 "
         "square and sharp, 0.70 square and projecting into the barrel, 0.95 with a flow tube"});
    row("size 0", snapshotOf(us, "60", "40", {"0;0.9;16;0", ";;;500"}), {},
        {"Outlet #1: size 0 in looks mistyped"});
    row("negative pitot", snapshotOf(us, "60", "40", {"2.5;0.9;-3;500"}), {},
        {"Outlet #1: pitot -3 psi looks mistyped"});
    row("inches with metric units", snapshotOf(bar, "4", "3", {"2.5;0.9;;2000"}), {},
        {"Outlet sizes such as 2.5 mm look like inches" + relabels.arg("metric units with bar")});
    row("psi with bar", snapshotOf(bar, "72", "40", {";;;2000"}), {},
        {"A static pressure of 72 bar looks like psi or kPa" +
         relabels.arg("metric units with bar")});
    TestSnapshot demand = snapshotOf(us, "60", "40", good);
    demand.test.demands = {{"Sprinklers", "500", "30", ""}};
    demand.test.hoseAllowance = "250";
    row("a demand beyond the test flow", demand, {},
        {"\"Sprinklers\": the supply line is projected beyond the tested 531 gpm."});
    TestSnapshot kPaAsUS = example("metric-kpa.oft", us);
    kPaAsUS.test.outlets = {kPaAsUS.test.outlets[0]};
    kPaAsUS.test.outlets[0][OutletRow::Flow] = "899528"; // its flow in gpm at 63.5 in
    row("a kPa test read as U.S. units", kPaAsUS, {},
        {lowDrop, "Outlet sizes such as 63.5 in look like millimetres" + relabels.arg("U.S. units"),
         "A static pressure of 490 psi looks like kPa" + relabels.arg("U.S. units")});
}

// The window, JSON and CSV give the same texts.
void TestResultsTest::stopsAndAdvice() {
    QFETCH(TestSnapshot, snapshot);
    QFETCH(QStringList, stops);
    QFETCH(QStringList, advice);
    const TestResults results = computeTestResults(snapshot);
    QCOMPARE(results.stops, stops);
    QCOMPARE(results.advice, advice);
    const auto& [test, settings, separator] = snapshot;
    const QJsonObject json = QJsonDocument::fromJson(reportJsonLine(test, settings, "t", separator)).object();
    const auto texts = [](const QJsonValue& array) {
        QStringList lines;
        for (const QJsonValue& line : array.toArray())
            lines.append(line.toString());
        return lines;
    };
    QCOMPARE(texts(json["stops"]), stops);
    QCOMPARE(texts(json["advice"]), advice);
    const QString row = QString::fromUtf8(csvRow(test, settings, "t", separator));
    QString cell = (stops + advice).join(" / ");
    if (cell.contains(',') || cell.contains('"'))
        cell = '"' + cell.replace("\"", "\"\"") + '"';
    QVERIFY2(row.endsWith("," + cell + "\r\n"), qPrintable(row));
}

void TestResultsTest::outletAdviceIsCapped() {
    const QStringList outlets(MaxOutletAdviceLines + 5, "2.5;0.9;15;");
    const QStringList advice = computeTestResults(snapshotOf(us, "60", "40", outlets)).advice;
    QCOMPARE(advice.size(), MaxOutletAdviceLines + 1);
    QVERIFY(advice[MaxOutletAdviceLines - 1].startsWith(QStringLiteral("Outlet #20:")));
    QCOMPARE(advice.last(), QStringLiteral("and 5 more outlets"));
}

void TestResultsTest::resultLines_data() {
    QTest::addColumn<TestSnapshot>("snapshot");
    QTest::addColumn<QStringList>("lines");
    // A residual of exactly 20 psi rates the test flow itself.
    const auto rated = [](UnitSystem units, const char* S, const char* R, const char* flow,
                          const char* at, const char* nfpaClass, const char* drop) {
        const QString withUnit = flow + QString(units == us ? " gpm" : " lpm");
        QTest::newRow(qPrintable(withUnit))
            << snapshotOf(units, S, R, {QStringLiteral(";;;") + flow}, false)
            << QStringList{"Total flow: " + withUnit,
                           QStringLiteral("Flow at %1: ").arg(at) + withUnit,
                           QStringLiteral("NFPA 291 class: ") + nfpaClass,
                           QStringLiteral("Residual drop: ") + drop};
    };
    rated(us, "60", "20", "1500", "20 psi", "AA (light blue)", "66.7 %");
    rated(us, "60", "20", "499", "20 psi", "C (red)", "66.7 %");
    rated(bar, "5", "1.379", "5678", "1.379 bar", "A (green)", "72.4 %");
    rated(kPa, "500", "137.9", "1893", "137.9 kPa", "B (orange)", "72.4 %");
    rated(kPa, "500", "137.9", "1892", "137.9 kPa", "C (red)", "72.4 %");

    // Both the tool and the window class the unrounded flow.
    QTest::newRow("1499.5 gpm") << snapshotOf(us, "60", "20", {";;;1499.5"}, false)
                                << QStringList{"Total flow: 1499.5 gpm", "Flow at 20 psi: 1500 gpm",
                                               "NFPA 291 class: A (green)",
                                               "Residual drop: 66.7 %"};
    const QStringList total{"Total flow: 1879 gpm"};
    TestSnapshot test = example("us-three-outlets.oft", us);
    QTest::newRow("note on") << test
                             << total +
                                    QStringList{"Flow at the chosen pressure: 3819.2 gpm at 20 psi",
                                                "Flow at 20 psi: 3819 gpm",
                                                "NFPA 291 class: AA (light blue)",
                                                "Residual drop: 19.4 %"};
    test.test.residualPressure.clear();
    test.settings.showExtraFlow = false;
    QTest::newRow("note off, no residual") << test << total;
}

void TestResultsTest::resultLines() {
    QFETCH(TestSnapshot, snapshot);
    QTEST(::resultLines(computeTestResults(snapshot)), "lines");
}

QTEST_GUILESS_MAIN(TestResultsTest)
#include "test_testresults.moc"
