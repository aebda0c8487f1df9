#include "cli/reportjson.h"
#include "document/testfile.h"
#include "results/testresults.h"
#include "textfile/fileaccess.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

Q_DECLARE_METATYPE(ReportSnapshot)

namespace {

const UnitSystem us = UnitSystem::US, bar = UnitSystem::MetricBar, kPa = UnitSystem::MetricKPa;

// A test of the given pressures whose outlets are "size;C;pitot;flow" texts.
ReportSnapshot snapshotOf(UnitSystem units, const char* S, const char* R,
                          const QStringList& outlets, bool note = true) {
    ReportSnapshot snapshot{{}, {{}, units, note}, QLatin1Char('.')};
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

ReportSnapshot example(const char* name, UnitSystem units) {
    ReportSnapshot snapshot;
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
    void agreesWithTheTool_data();
    void agreesWithTheTool();
};

void TestResultsTest::stopsAndAdvice_data() {
    QTest::addColumn<ReportSnapshot>("snapshot");
    QTest::addColumn<QStringList>("stops");
    QTest::addColumn<QStringList>("advice");
    const auto row = [](const char* name, const ReportSnapshot& snapshot, const QStringList& stops,
                        const QStringList& advice = {}) {
        QTest::newRow(name) << snapshot << stops << advice;
    };
    const QStringList good{";;;531"}; // no formula, so no outlet advice
    const QString noFlow = "No flow yet: enter the outlets' flows, or their size, C and pitot "
                           "pressure and then their Flow cells.";
    const QString pressures = "Enter the static and the residual pressure.";
    const QString lowDrop = "The residual drop is below 25 %: NFPA 291 recommends a drop of at "
                            "least 25 %, so the projection to 20 psi is less reliable.";
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
}

void TestResultsTest::stopsAndAdvice() {
    QFETCH(ReportSnapshot, snapshot);
    const TestResults results = computeTestResults(snapshot);
    QTEST(results.stops, "stops");
    QTEST(results.advice, "advice");
}

void TestResultsTest::outletAdviceIsCapped() {
    const QStringList outlets(MaxOutletAdviceLines + 5, "2.5;0.9;15;");
    const QStringList advice = computeTestResults(snapshotOf(us, "60", "40", outlets)).advice;
    QCOMPARE(advice.size(), MaxOutletAdviceLines + 1);
    QVERIFY(advice[MaxOutletAdviceLines - 1].startsWith(QStringLiteral("Outlet #20:")));
    QCOMPARE(advice.last(), QStringLiteral("and 5 more outlets"));
}

void TestResultsTest::resultLines_data() {
    QTest::addColumn<ReportSnapshot>("snapshot");
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
    ReportSnapshot test = example("us-three-outlets.oft", us);
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
    QFETCH(ReportSnapshot, snapshot);
    QTEST(::resultLines(computeTestResults(snapshot)), "lines");
}

void TestResultsTest::agreesWithTheTool_data() {
    QTest::addColumn<ReportSnapshot>("snapshot");
    QTest::newRow("U.S. example") << example("us-three-outlets.oft", us);
    QTest::newRow("bar example") << example("metric-bar.oft", bar);
    QTest::newRow("kPa example") << example("metric-kpa.oft", kPa);
    ReportSnapshot comma = snapshotOf(us, "72,5", "51", {"2,5;0.9;;1200,5"});
    comma.decimalSeparator = QLatin1Char(',');
    QTest::newRow("comma separator") << comma;
    QTest::newRow("static below residual") << snapshotOf(us, "40", "60", {"2.5;0.9;10;531"});
    QTest::newRow("static at 20 psi") << snapshotOf(us, "20", "5", {"2.5;0.9;10;531"});
}

void TestResultsTest::agreesWithTheTool() {
    QFETCH(ReportSnapshot, snapshot);
    const TestResults results = computeTestResults(snapshot);
    const QJsonObject json =
        QJsonDocument::fromJson(
            reportJsonLine(snapshot.test, snapshot.settings, "t.oft", snapshot.decimalSeparator))
            .object();
    const QJsonObject rating = json["rating"].toObject();
    QCOMPARE(results.totalFlow, json["totalFlow"].toDouble());
    QCOMPARE(results.chosenPressureNote, json["graph"].toObject()["note"].toString());
    QCOMPARE(results.rating.flowAt20psi.value_or(-1), rating["flowAt20psi"].toDouble(-1));
    QCOMPARE(results.nfpaClassText.section(' ', 0, 0), rating["nfpaClass"].toString());
    QCOMPARE(results.rating.dropPercent.value_or(-1), rating["dropPercent"].toDouble(-1));
}

QTEST_GUILESS_MAIN(TestResultsTest)
#include "test_testresults.moc"
