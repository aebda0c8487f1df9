#include "document/testfile.h"
#include "documenttesthelpers.h"
#include "results/testresults.h"

#include <QLocale>
#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(UnitSystem)

namespace {

// A record whose outlets carry the given flow cells, labelled #1, #2, ...
TestRecord withFlows(const QStringList& flows) {
    TestRecord record;
    for (qsizetype i = 0; i < flows.size(); ++i)
        record.outlets.append(
            outletRow({QStringLiteral("#%1").arg(i + 1), "", "2.5", "0.9", "", flows[i]}));
    return record;
}

TestResults resultsOf(const TestRecord& record, QChar separator,
                      UnitSystem units = UnitSystem::US) {
    Settings settings;
    settings.units = units;
    return computeTestResults({record, settings, separator});
}

} // namespace

class TotalsTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void unitTexts_data();
    void unitTexts();
    void total_data();
    void total();
    void graph_data();
    void graph();
    void windowRows_data();
    void windowRows();
};

void TotalsTest::unitTexts_data() {
    QTest::addColumn<UnitSystem>("units");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("U.S.") << UnitSystem::US << QStringList{"ft", "gpm", "psi", "in", "PSI", "us"};
    QTest::newRow("metric bar") << UnitSystem::MetricBar
                                << QStringList{"m", "lpm", "bar", "mm", "BAR", "bar"};
    QTest::newRow("metric kPa") << UnitSystem::MetricKPa
                                << QStringList{"m", "lpm", "kPa", "mm", "KPA", "kpa"};
}

void TotalsTest::unitTexts() {
    QFETCH(UnitSystem, units);
    const UnitTexts& texts = ::unitTexts(units);
    QTEST((QStringList{texts.length, texts.flow, texts.pressure, texts.size, texts.keyword,
                       texts.name}),
          "expected");
}

void TotalsTest::total_data() {
    QTest::addColumn<QStringList>("flows");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<UnitSystem>("units");
    QTest::addColumn<double>("sum");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    const QChar point('.');
    const QChar comma(',');
    const auto us = UnitSystem::US;
    QTest::newRow("500.5 + 250") << QStringList{"500.5", "250"} << point << us << 750.5 << "Total"
                                 << "750.5 gpm";
    QTest::newRow("500 + empty") << QStringList{"500", ""} << point << us << 500.0 << "Total"
                                 << "500 gpm";
    QTest::newRow("all empty") << QStringList{"", "", ""} << point << us << 0.0 << "Total"
                               << "0 gpm";
    QTest::newRow("one outlet: no total line") << QStringList{"1000"} << point << us << 1000.0 << ""
                                               << "";
    QTest::newRow("no outlet rows: the window's one outlet")
        << QStringList{} << point << us << 0.0 << ""
        << "";
    QTest::newRow("not a number is skipped")
        << QStringList{"500", "lots", "250"} << point << us << 750.0 << "Total"
        << "750 gpm";
    QTest::newRow("a loaded empty cell (one space) is skipped")
        << QStringList{"500", " "} << point << us << 500.0 << "Total"
        << "500 gpm";
    QTest::newRow("signs, blanks and exponents read")
        << QStringList{" 1E3 ", "-250"} << point << us << 750.0 << "Total"
        << "750 gpm";
    QTest::newRow("one decimal, half away from zero")
        << QStringList{"0.25", "0.5"} << point << us << 0.75 << "Total"
        << "0.8 gpm";
    QTest::newRow("metric flow unit")
        << QStringList{"2008", "1792"} << point << UnitSystem::MetricKPa << 3800.0 << "Total"
        << "3800 lpm";
    QTest::newRow("comma locale") << QStringList{"500,5", "250"} << comma << us << 750.5 << "Total"
                                  << "750,5 gpm";
    QTest::newRow("full stop reads in a comma locale")
        << QStringList{"500.5", "250"} << comma << us << 750.5 << "Total"
        << "750,5 gpm";
}

void TotalsTest::total() {
    QFETCH(QStringList, flows);
    QFETCH(QChar, separator);
    QFETCH(UnitSystem, units);
    QFETCH(double, sum);
    QFETCH(QString, label);
    QFETCH(QString, text);
    const TestResults results = resultsOf(withFlows(flows), separator, units);
    QCOMPARE(results.totalFlow, sum);
    QCOMPARE(results.totalLabel, label);
    QCOMPARE(results.totalLine, text);
}

void TotalsTest::graph_data() {
    QTest::addColumn<QString>("staticText");
    QTest::addColumn<QString>("residualText");
    QTest::addColumn<QStringList>("flows");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<double>("S");
    QTest::addColumn<double>("R");
    QTest::addColumn<double>("Q");
    QTest::addColumn<bool>("drawn");
    const QChar point('.');
    QTest::newRow("static above residual")
        << "60"
        << "40" << QStringList{"1000"} << point << 60.0 << 40.0 << 1000.0 << true;
    QTest::newRow("static below residual: no graph")
        << "40"
        << "60" << QStringList{"1000"} << point << 40.0 << 60.0 << 1000.0 << false;
    QTest::newRow("static equal to residual: graph")
        << "50"
        << "50" << QStringList{"1000"} << point << 50.0 << 50.0 << 1000.0 << true;
    QTest::newRow("empty pressures: no graph")
        << ""
        << "" << QStringList{"1000"} << point << 0.0 << 0.0 << 1000.0 << false;
    QTest::newRow("static empty, residual given: no graph")
        << ""
        << "40" << QStringList{"1000"} << point << 0.0 << 40.0 << 1000.0 << false;
    QTest::newRow("pressures not numbers: no graph")
        << "sixty"
        << "4O" << QStringList{"1000"} << point << 0.0 << 0.0 << 1000.0 << false;
    QTest::newRow("residual with its unit typed: no graph")
        << "72"
        << "58 psi" << QStringList{"1000"} << point << 72.0 << 0.0 << 1000.0 << false;
    QTest::newRow("residual empty: no graph")
        << "72"
        << "" << QStringList{"1000"} << point << 72.0 << 0.0 << 1000.0 << false;
    QTest::newRow("two outlets summed")
        << "60"
        << "40" << QStringList{"500.5", "250"} << point << 60.0 << 40.0 << 750.5 << true;
    QTest::newRow("all flows empty: no graph")
        << "60"
        << "40" << QStringList{"", ""} << point << 60.0 << 40.0 << 0.0 << false;
    QTest::newRow("negative total: no graph")
        << "60"
        << "40" << QStringList{"-5"} << point << 60.0 << 40.0 << -5.0 << false;
    QTest::newRow("total overflows: no graph")
        << "60"
        << "40" << QStringList{"1e308", "1e308"} << point << 60.0 << 40.0
        << std::numeric_limits<double>::infinity() << false;
    QTest::newRow("comma locale") << "60,5"
                                  << "40,25" << QStringList{"1000,5"} << QChar(',') << 60.5 << 40.25
                                  << 1000.5 << true;
}

void TotalsTest::graph() {
    QFETCH(QString, staticText);
    QFETCH(QString, residualText);
    QFETCH(QStringList, flows);
    QFETCH(QChar, separator);
    QFETCH(double, S);
    QFETCH(double, R);
    QFETCH(double, Q);
    QFETCH(bool, drawn);
    TestRecord record = withFlows(flows);
    record.staticPressure = staticText;
    record.residualPressure = residualText;
    const TestResults results = resultsOf(record, separator);
    QCOMPARE(results.staticPressure.value_or(0), S);
    QCOMPARE(results.residualPressure.value_or(0), R);
    QCOMPARE(results.totalFlow, Q);
    QCOMPARE(results.graph.has_value(), drawn);
    if (drawn)
        QCOMPARE((QList<double>{results.graph->StaticPressure, results.graph->ResidualPressure,
                                results.graph->TestFlow}),
                 (QList<double>{S, R, Q}));
}

void TotalsTest::windowRows_data() {
    QTest::addColumn<TestRecord>("record");
    QTest::addColumn<QList<OutletRow>>("rows");
    QTest::newRow("no outlets: one empty #1")
        << TestRecord(Record().date("5 May")) << QList<OutletRow>{outletRow({"#1"})};
    QTest::newRow("outlets as loaded, labels not renumbered, blanks kept")
        << TestRecord(Record().outlet({"#7", " ", "2.5"}).outlet({}))
        << QList<OutletRow>{outletRow({"#7", " ", "2.5"}), outletRow({})};
}

void TotalsTest::windowRows() {
    QFETCH(TestRecord, record);
    QFETCH(QList<OutletRow>, rows);
    QCOMPARE(windowOutletRows(record), rows);
}

QTEST_APPLESS_MAIN(TotalsTest)
#include "test_totals.moc"
