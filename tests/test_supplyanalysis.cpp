#include "results/testresults.h"
#include "testsupport.h"

#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(TestSnapshot)

namespace {

// A test of one outlet flowing `flow` against a demand "flow@pressure[@elevation]".
TestSnapshot analysed(const char* S, const char* R, const char* flow, const QStringList& demands,
                      const char* hose = "", const char* margin = "", const char* readElev = "") {
    TestSnapshot snapshot;
    snapshot.test.staticPressure = S;
    snapshot.test.residualPressure = R;
    snapshot.test.readElev = readElev;
    snapshot.test.outlets = {OutletRow{{"#1", "", "", "", "", flow}}};
    for (const QString& demand : demands) {
        const QStringList parts = demand.split('@');
        snapshot.test.demands.append(
            {"Sprinklers", parts.value(0), parts.value(1), parts.value(2)});
    }
    snapshot.test.hoseAllowance = hose;
    snapshot.test.safetyMargin = margin;
    return snapshot;
}

} // namespace

// The answers of the water supply analysis, from the supply line
// P(q) = S - (S - R) (q / Q)^1.85, worked out here by hand.
class SupplyAnalysisTest : public QObject {
    Q_OBJECT
private slots:
    void verdicts_data();
    void verdicts();
    void whatStopsIt_data();
    void whatStopsIt();
};

void SupplyAnalysisTest::verdicts_data() {
    QTest::addColumn<TestSnapshot>("snapshot");
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("available");
    QTest::addColumn<double>("flowAtRequired");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QStringList>("advice");
    const double at65 = 2599 * std::pow(13.0 / 17, 1 / 1.85);
    QTest::newRow("the designer's question")
        << analysed("78", "61", "2599", {"800@55"}, "250", "10") << 1050.0
        << 78 - 17 * std::pow(1050.0 / 2599, 1.85) << at65
        << "meets the demand with 19.8 psi to spare (10 psi required)" << QStringList();
    // At the test flow the line gives the residual itself: 50 psi.
    const double at40 = 1000 * std::pow(60.0 / 50, 1 / 1.85);
    QTest::newRow("margin exactly met")
        << analysed("100", "50", "1000", {"1000@40"}, "", "10") << 1000.0 << 50.0 << 1000.0
        << "meets the demand with 10 psi to spare (10 psi required)" << QStringList();
    QTest::newRow("zero margin, none required")
        << analysed("100", "50", "1000", {"1000@50"}) << 1000.0 << 50.0 << 1000.0
        << "meets the demand with 0 psi to spare" << QStringList();
    QTest::newRow("short of the margin")
        << analysed("100", "50", "1000", {"1000@45"}, "", "10") << 1000.0 << 50.0
        << 1000 * std::pow(45.0 / 50, 1 / 1.85)
        << "meets the demand but not the 10 psi safety margin (5 psi to spare)" << QStringList();
    QTest::newRow("percent margin of the static")
        << analysed("100", "50", "1000", {"900@40"}, "100", "10 %") << 1000.0 << 50.0 << 1000.0
        << "meets the demand with 10 psi to spare (10 psi required)" << QStringList();
    QTest::newRow("falls short") << analysed("100", "50", "1000", {"1000@53.1"}) << 1000.0 << 50.0
                                 << 1000 * std::pow(46.9 / 50, 1 / 1.85) << "falls short by 3.1 psi"
                                 << QStringList();
    const double zeroFlow = 1000 * std::pow(2.0, 1 / 1.85);
    QTest::newRow("beyond the line's zero pressure")
        << analysed("100", "50", "1000", {"2000@20"}) << 2000.0 << 0.0
        << 1000 * std::pow(80.0 / 50, 1 / 1.85) << "falls short by 20 psi"
        << QStringList{"\"Sprinklers\": the 2000 gpm needed are beyond the " +
                           QString::number(zeroFlow, 'f', 1) +
                           " gpm at which the supply line reaches 0 psi.",
                       "\"Sprinklers\": the supply line is projected beyond the tested 1000 gpm."};
    QTest::newRow("30 ft above a gauge at 10 ft")
        << analysed("100", "50", "1000", {"1000@40@30"}, "", "", "10") << 1000.0 << 50 - 20 * 0.433
        << 1000 * std::pow((60 - 20 * 0.433) / 50, 1 / 1.85)
        << "meets the demand with 1.3 psi to spare" << QStringList();
    QTest::newRow("no gauge elevation: no height counted")
        << analysed("100", "50", "1000", {"1000@40@30"}) << 1000.0 << 50.0 << at40
        << "meets the demand with 10 psi to spare" << QStringList();
    TestSnapshot bar = analysed("5", "3", "2000", {"2000@2@12"}, "", "", "2");
    bar.settings.units = UnitSystem::MetricBar;
    QTest::newRow("10 m in bar") << bar << 2000.0 << 3 - 10 * 0.0981
                                 << 2000 * std::pow((3 - 0.981) / 2, 1 / 1.85)
                                 << "meets the demand with 0 bar to spare" << QStringList();
}

void SupplyAnalysisTest::verdicts() {
    QFETCH(TestSnapshot, snapshot);
    QFETCH(double, total);
    QFETCH(double, available);
    QFETCH(double, flowAtRequired);
    const TestResults results = computeTestResults(snapshot);
    QVERIFY(results.analysis);
    const DemandResult& point = results.analysis->points.value(0);
    QCOMPARE(point.totalFlow.value_or(-1), total);
    QVERIFY2(closeTo(point.availablePressure.value_or(-1), available),
             qPrintable(QString::number(point.availablePressure.value_or(-1), 'g', 17)));
    QVERIFY2(closeTo(point.flowAtRequired.value_or(-1), flowAtRequired),
             qPrintable(QString::number(point.flowAtRequired.value_or(-1), 'g', 17)));
    QTEST(point.verdictText, "verdict");
    QTEST(results.analysis->advice, "advice");
    QVERIFY(results.analysis->graph);
    QVERIFY(results.analysis->graph->graph.flowExtent >= total);
}

void SupplyAnalysisTest::whatStopsIt_data() {
    QTest::addColumn<TestSnapshot>("snapshot");
    QTest::addColumn<QStringList>("stops");
    QTest::newRow("a point without its pressure")
        << analysed("100", "50", "1000", {"800"})
        << QStringList{"\"Sprinklers\" needs a flow and a residual pressure."};
    QTest::newRow("a margin that is no pressure")
        << analysed("100", "50", "1000", {"800@40"}, "", "10 kg")
        << QStringList{"The safety margin \"10 kg\" is not a number; give a pressure such as 10 or "
                       "a percentage such as 10 %."};
    QTest::newRow("a hose allowance with its unit")
        << analysed("100", "50", "1000", {"800@40"}, "250 gpm")
        << QStringList{"The hose stream allowance \"250 gpm\" is not a number."};
}

void SupplyAnalysisTest::whatStopsIt() {
    QFETCH(TestSnapshot, snapshot);
    QTEST(computeTestResults(snapshot).analysis->stops, "stops");
}

QTEST_GUILESS_MAIN(SupplyAnalysisTest)
#include "test_supplyanalysis.moc"
