#include "hydraulics/flowgraphmodel.h"
#include "testsupport.h"
#include "hydraulics/rating.h"

#include <QTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(UnitSystem)

namespace {

constexpr double none = -1; // the value of a row that expects nothing
const double notANumber = std::numeric_limits<double>::quiet_NaN();

// NFPA 291's flow at a residual pressure, for the test's own expectations.
double nfpaFlow(double S, double R, double Q, double P) {
    return Q * std::pow((S - P) / (S - R), 1 / 1.85);
}

void compareOptional(std::optional<double> actual, double expected) {
    if (expected == none) {
        QVERIFY2(!actual, qPrintable(QString::number(actual.value_or(0), 'g', 17)));
        return;
    }
    QVERIFY(actual);
    QVERIFY2(
        closeTo(*actual, expected),
        qPrintable(
            QStringLiteral("%1, expected %2").arg(*actual, 0, 'g', 17).arg(expected, 0, 'g', 17)));
}

} // namespace

class RatingTest : public QObject {
    Q_OBJECT
private slots:
    void flowAt20psi_data();
    void flowAt20psi();
    void sameFlowAsTheGraphNote();
    void nfpaClass_data();
    void nfpaClass();
    void dropPercent_data();
    void dropPercent();
};

void RatingTest::flowAt20psi_data() {
    QTest::addColumn<UnitSystem>("units");
    QTest::addColumn<double>("S");
    QTest::addColumn<double>("R");
    QTest::addColumn<double>("Q");
    QTest::addColumn<double>("expected");
    const auto us = UnitSystem::US;
    QTest::newRow("60/40 at 1000 gpm: 1454.5")
        << us << 60.0 << 40.0 << 1000.0 << nfpaFlow(60, 40, 1000, 20);
    QTest::newRow("residual below 20")
        << us << 60.0 << 10.0 << 1000.0 << nfpaFlow(60, 10, 1000, 20);
    QTest::newRow("bar: 1.379") << UnitSystem::MetricBar << 5.5 << 4.0 << 3000.0
                                << nfpaFlow(5.5, 4, 3000, 1.379);
    QTest::newRow("kPa: 137.9") << UnitSystem::MetricKPa << 550.0 << 400.0 << 3000.0
                                << nfpaFlow(550, 400, 3000, 137.9);
    QTest::newRow("static at 20") << us << 20.0 << 10.0 << 1000.0 << none;
    QTest::newRow("static below 20") << us << 19.0 << 10.0 << 1000.0 << none;
    QTest::newRow("no pressure drop") << us << 60.0 << 60.0 << 1000.0 << none;
    QTest::newRow("residual above static") << us << 40.0 << 60.0 << 1000.0 << none;
    QTest::newRow("no flow") << us << 60.0 << 40.0 << 0.0 << none;
    QTest::newRow("not finite") << us << notANumber << 40.0 << 1000.0 << none;
    QTest::newRow("beyond a double at 20 psi") << us << 72.0 << 58.0 << 1e308 << none;
}

void RatingTest::flowAt20psi() {
    QFETCH(UnitSystem, units);
    QFETCH(double, S);
    QFETCH(double, R);
    QFETCH(double, Q);
    QFETCH(double, expected);
    compareOptional(flowAtResidualPressure(S, R, Q, twentyPsi(units)), expected);
}

void RatingTest::sameFlowAsTheGraphNote() {
    // At a chosen pressure of 20 psi the rating and the graph note must not differ.
    const FlowGraphModel model = BuildFlowGraphModel(72, 58, 1879, 5, 5, Settings{}, '.');
    QCOMPARE(flowAtResidualPressure(72, 58, 1879, 20), model.ChosenPressureFlow);
}

void RatingTest::nfpaClass_data() {
    QTest::addColumn<UnitSystem>("units");
    QTest::addColumn<double>("flow");
    QTest::addColumn<QString>("expected");
    const auto us = UnitSystem::US;
    QTest::newRow("499.9") << us << 499.9 << "C";
    QTest::newRow("500") << us << 500.0 << "B";
    QTest::newRow("999.9") << us << 999.9 << "B";
    QTest::newRow("1000") << us << 1000.0 << "A";
    QTest::newRow("1499.9") << us << 1499.9 << "A";
    QTest::newRow("1500") << us << 1500.0 << "AA";
    // 500, 1000 and 1500 gpm are 1892.71, 3785.41 and 5678.12 lpm.
    QTest::newRow("bar 1892.70 lpm") << UnitSystem::MetricBar << 1892.70 << "C";
    QTest::newRow("bar 1892.71 lpm") << UnitSystem::MetricBar << 1892.71 << "B";
    QTest::newRow("kPa 5678.11 lpm") << UnitSystem::MetricKPa << 5678.11 << "A";
    QTest::newRow("kPa 5678.12 lpm") << UnitSystem::MetricKPa << 5678.12 << "AA";
    QTest::newRow("1500 lpm is no gpm") << UnitSystem::MetricBar << 1500.0 << "C";
}

void RatingTest::nfpaClass() {
    QFETCH(UnitSystem, units);
    QFETCH(double, flow);
    QFETCH(QString, expected);
    QCOMPARE(nfpaClassName(::nfpaClass(flow, units)), expected);
}

void RatingTest::dropPercent_data() {
    QTest::addColumn<double>("S");
    QTest::addColumn<double>("R");
    QTest::addColumn<double>("expected");
    QTest::newRow("60/40") << 60.0 << 40.0 << 100.0 / 3;
    QTest::newRow("no drop") << 60.0 << 60.0 << 0.0;
    QTest::newRow("residual 0") << 60.0 << 0.0 << 100.0;
    QTest::newRow("static 0") << 0.0 << 0.0 << none;
    QTest::newRow("residual above static") << 40.0 << 60.0 << none;
    QTest::newRow("negative residual") << 40.0 << -1.0 << none;
}

void RatingTest::dropPercent() {
    QFETCH(double, S);
    QFETCH(double, R);
    QFETCH(double, expected);
    compareOptional(::dropPercent(S, R), expected);
}

QTEST_APPLESS_MAIN(RatingTest)
#include "test_rating.moc"
