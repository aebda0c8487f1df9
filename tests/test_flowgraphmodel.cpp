#include "hydraulics/flowgraphmodel.h"
#include "testsupport.h"
#include "settingsof.h"

#include <QLocale>
#include <QTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(UnitSystem)
Q_DECLARE_METATYPE(SupplyLineEnd)

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

// Worked values are given to a few digits; the formulas agree far closer.
bool near(double actual, double expected) {
    if (std::isnan(expected))
        return std::isnan(actual);
    return closeTo(actual, expected);
}

} // namespace

class FlowGraphModelTest : public QObject {
    Q_OBJECT
private slots:
    void model_data();
    void model();
    void labels_data();
    void labels();
    void pressureMaxima_data();
    void pressureMaxima();
    void flowMaxima_data();
    void flowMaxima();
    void minorTicks();
    void bottomEndFraction();
    void precondition_data();
    void precondition();
    void noteFollowsUserLocale();
};

void FlowGraphModelTest::model_data() {
    QTest::addColumn<double>("S");
    QTest::addColumn<double>("R");
    QTest::addColumn<double>("Q");
    QTest::addColumn<UnitSystem>("units");
    QTest::addColumn<bool>("show");
    QTest::addColumn<QString>("pressure");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<double>("k");
    QTest::addColumn<double>("q0");
    QTest::addColumn<double>("qe");
    QTest::addColumn<double>("fx");
    QTest::addColumn<double>("fmax");
    QTest::addColumn<double>("pmax");
    QTest::addColumn<double>("pend");
    QTest::addColumn<SupplyLineEnd>("end");
    QTest::addColumn<QString>("note");

    const auto us = UnitSystem::US;
    const auto bar = UnitSystem::MetricBar;
    const auto kpa = UnitSystem::MetricKPa;
    const auto bottom = SupplyLineEnd::BottomEdge;
    const auto right = SupplyLineEnd::RightEdge;
    const double k60 = 5.636765862528904e-05; // S 60, R 40, Q 1000
    const double q60 = 1810.9371620340114;
    const double pend60 = -48.94793717445202;

    QTest::newRow("U.S. 60/40/1000 with note")
        << 60.0 << 40.0 << 1000.0 << us << true << "20" << QChar('.') << k60 << q60
        << 1454.517385307366 << 1454.517385307366 << 2500.0 << 75.0 << pend60 << bottom
        << "1454.5 gpm at 20 psi";
    QTest::newRow("U.S. 60/40/1000 with note, comma")
        << 60.0 << 40.0 << 1000.0 << us << true << "20" << QChar(',') << k60 << q60
        << 1454.517385307366 << 1454.517385307366 << 2500.0 << 75.0 << pend60 << bottom
        << "1454,5 gpm at 20 psi";
    QTest::newRow("show flag off: extent 1250 still gives 2500")
        << 60.0 << 40.0 << 1000.0 << us << false << "20" << QChar('.') << k60 << q60 << 0.0
        << 1250.0 << 2500.0 << 75.0 << pend60 << bottom << "";
    QTest::newRow("S = R: flat line, no note")
        << 50.0 << 50.0 << 1000.0 << us << true << "20" << QChar('.') << 0.0 << none << 0.0
        << 1250.0 << 2500.0 << 75.0 << 50.0 << right << "";
    QTest::newRow("R = 0: the line reaches zero at the test flow")
        << 60.0 << 0.0 << 1000.0 << us << true << "20" << QChar('.') << 0.00016910297587586712
        << 1000.0 << 803.1849010562452 << 1000.0 << 1250.0 << 75.0 << -30.6639788501531 << bottom
        << "803.2 gpm at 20 psi";
    QTest::newRow("chosen pressure equal to R gives Q")
        << 60.0 << 40.0 << 1000.0 << us << true << "40" << QChar('.') << k60 << q60 << 1000.0
        << 1250.0 << 2500.0 << 75.0 << pend60 << bottom << "1000.0 gpm at 40 psi";
    QTest::newRow("chosen pressure equal to S: no note")
        << 60.0 << 40.0 << 1000.0 << us << true << "60" << QChar('.') << k60 << q60 << 0.0 << 1250.0
        << 2500.0 << 75.0 << pend60 << bottom << "";
    QTest::newRow("chosen pressure above S: no note")
        << 60.0 << 40.0 << 1000.0 << us << true << "70" << QChar('.') << k60 << q60 << 0.0 << 1250.0
        << 2500.0 << 75.0 << pend60 << bottom << "";
    QTest::newRow("empty chosen pressure counts as 0")
        << 60.0 << 40.0 << 1000.0 << us << true << "" << QChar('.') << k60 << q60 << q60 << q60
        << 2500.0 << 75.0 << pend60 << bottom << "1810.9 gpm at  psi";
    QTest::newRow("unreadable chosen pressure shown as typed")
        << 60.0 << 40.0 << 1000.0 << us << true << "abc" << QChar('.') << k60 << q60 << q60 << q60
        << 2500.0 << 75.0 << pend60 << bottom << "1810.9 gpm at abc psi";
    QTest::newRow("chosen pressure with blanks kept as typed")
        << 60.0 << 40.0 << 1000.0 << us << true << " 20 " << QChar('.') << k60 << q60
        << 1454.517385307366 << 1454.517385307366 << 2500.0 << 75.0 << pend60 << bottom
        << "1454.5 gpm at  20  psi";
    QTest::newRow("point reads under a comma separator")
        << 60.0 << 40.0 << 1000.0 << us << true << "20.0" << QChar(',') << k60 << q60
        << 1454.517385307366 << 1454.517385307366 << 2500.0 << 75.0 << pend60 << bottom
        << "1454,5 gpm at 20.0 psi";
    QTest::newRow("metric bar 5.5/4.0/3000 at 1.4")
        << 5.5 << 4.0 << 3000.0 << bar << true << "1.4" << QChar('.') << 5.538815996715045e-07
        << 6055.260602029686 << 5166.201099516694 << 5166.201099516694 << 7500.0 << 10.0
        << -2.671095288083901 << bottom << "5166.2 Lpm at 1.4 bar";
    QTest::newRow("metric bar 5.5/4.0/3000 at 1,4, comma")
        << 5.5 << 4.0 << 3000.0 << bar << true << "1,4" << QChar(',') << 5.538815996715045e-07
        << 6055.260602029686 << 5166.201099516694 << 5166.201099516694 << 7500.0 << 10.0
        << -2.671095288083901 << bottom << "5166,2 Lpm at 1,4 bar";
    QTest::newRow("metric kPa ends on the right edge")
        << 400.0 << 300.0 << 2000.0 << kpa << true << "140" << QChar('.') << 7.817979152820309e-05
        << 4231.241648322756 << 3352.2771244052665 << 3352.2771244052665 << 3750.0 << 425.0
        << 80.0719246755001 << right << "3352.3 Lpm at 140 kPa";
    QTest::newRow("both pressures empty: no line end")
        << 0.0 << 0.0 << 1000.0 << us << true << "20" << QChar('.') << 0.0 << none << 0.0 << 1250.0
        << 2500.0 << 5.0 << 0.0 << SupplyLineEnd::None << "";
    QTest::newRow("negative static pressure: no line end")
        << -10.0 << -20.0 << 500.0 << us << true << "20" << QChar('.') << 0.0001016027568246622
        << none << 0.0 << 625.0 << 1250.0 << 5.0
        << -10.0 - 0.0001016027568246622 * std::pow(1250.0, 1.85) << SupplyLineEnd::None << "";
}

void FlowGraphModelTest::model() {
    QFETCH(double, S);
    QFETCH(double, R);
    QFETCH(double, Q);
    QFETCH(UnitSystem, units);
    QFETCH(bool, show);
    QFETCH(QString, pressure);
    QFETCH(QChar, separator);
    QFETCH(double, k);
    QFETCH(double, q0);
    QFETCH(double, qe);
    QFETCH(double, fx);
    QFETCH(double, fmax);
    QFETCH(double, pmax);
    QFETCH(double, pend);
    QFETCH(SupplyLineEnd, end);
    QFETCH(QString, note);

    const FlowGraphModel m =
        BuildFlowGraphModel(S, R, Q, 5, 5, settingsOf(units, show, pressure), separator);
    QCOMPARE(m.StaticPressure, S);
    QCOMPARE(m.ResidualPressure, R);
    QCOMPARE(m.TestFlow, Q);
    QVERIFY2(near(m.SupplyCoefficient, k),
             qPrintable(QString::number(m.SupplyCoefficient, 'g', 17)));
    QVERIFY2(near(m.ZeroPressureFlow.value_or(none), q0),
             qPrintable(QString::number(m.ZeroPressureFlow.value_or(none), 'g', 17)));
    QVERIFY2(near(m.ChosenPressureFlow, qe),
             qPrintable(QString::number(m.ChosenPressureFlow, 'g', 17)));
    QVERIFY2(near(m.flowExtent, fx), qPrintable(QString::number(m.flowExtent, 'g', 17)));
    QCOMPARE(m.FlowAxisMax, fmax);
    QCOMPARE(m.PressureAxisMax, pmax);
    QVERIFY2(near(m.RightEdgePressure, pend),
             qPrintable(QString::number(m.RightEdgePressure, 'g', 17)));
    QCOMPARE(m.supplyLineEnd, end);
    QCOMPARE(m.NoteText, note);
    QCOMPARE(m.FlowDivisions, 5);
    QCOMPARE(m.PressureDivisions, 5);
}

void FlowGraphModelTest::labels_data() {
    QTest::addColumn<double>("S");
    QTest::addColumn<double>("R");
    QTest::addColumn<double>("Q");
    QTest::addColumn<bool>("show");
    QTest::addColumn<QString>("pressure");
    QTest::addColumn<QString>("flowLabels");
    QTest::addColumn<QString>("pressureLabels");
    QTest::newRow("U.S. example") << 60.0 << 40.0 << 1000.0 << true << "20"
                                  << "0 500 1000 1500 2000 2500"
                                  << "0 15 30 45 60 75";
    QTest::newRow("metric bar example") << 5.5 << 4.0 << 3000.0 << true << "1,4"
                                        << "0 1500 3000 4500 6000 7500"
                                        << "0 2 4 6 8 10";
    QTest::newRow("metric bar without the note") << 5.5 << 4.0 << 3000.0 << false << "1,4"
                                                 << "0 1000 2000 3000 4000 5000"
                                                 << "0 2 4 6 8 10";
    QTest::newRow("empty pressures") << 0.0 << 0.0 << 1000.0 << true << "20"
                                     << "0 500 1000 1500 2000 2500"
                                     << "0 1 2 3 4 5";
    QTest::newRow("small flow") << 10.0 << 5.0 << 20.0 << false << "20"
                                << "0 10 20 30 40 50"
                                << "0 5 10 15 20 25";
    QTest::newRow("P1 a multiple of 25") << 500.0 << 400.0 << 1000.0 << false << "20"
                                         << "0 500 1000 1500 2000 2500"
                                         << "0 105 210 315 420 525";
    QTest::newRow("four-digit pressures") << 1000.0 << 900.0 << 8000.0 << false << "20"
                                          << "0 2500 5000 7500 10000 12500"
                                          << "0 210 420 630 840 1050";
}

void FlowGraphModelTest::labels() {
    QFETCH(double, S);
    QFETCH(double, R);
    QFETCH(double, Q);
    QFETCH(bool, show);
    QFETCH(QString, pressure);
    QFETCH(QString, flowLabels);
    QFETCH(QString, pressureLabels);
    const FlowGraphModel m =
        BuildFlowGraphModel(S, R, Q, 5, 5, settingsOf(UnitSystem::US, show, pressure), ',');
    QCOMPARE(m.flowLabels.join(' '), flowLabels);
    QCOMPARE(m.pressureLabels.join(' '), pressureLabels);
}

void FlowGraphModelTest::pressureMaxima_data() {
    QTest::addColumn<double>("S");
    QTest::addColumn<double>("pmax");
    QTest::newRow("S 4") << 4.0 << 5.0;
    QTest::newRow("S 4.8, P1 just above 5") << 4.8 << 10.0;
    QTest::newRow("S 9.5") << 9.5 << 10.0;
    QTest::newRow("S 10") << 10.0 << 25.0;
    QTest::newRow("S 60") << 60.0 << 75.0;
    QTest::newRow("S 100") << 100.0 << 125.0;
    QTest::newRow("S 500 keeps P1 525") << 500.0 << 525.0;
    QTest::newRow("S 0") << 0.0 << 5.0;
    QTest::newRow("S negative") << -40.0 << 5.0;
}

void FlowGraphModelTest::pressureMaxima() {
    QFETCH(double, S);
    QFETCH(double, pmax);
    QCOMPARE(pressureAxisMax(S, 5), pmax);
    const FlowGraphModel m = BuildFlowGraphModel(S, S, 100, 5, 5, Settings{});
    QCOMPARE(m.PressureAxisMax, pmax);
}

void FlowGraphModelTest::flowMaxima_data() {
    QTest::addColumn<double>("fx");
    QTest::addColumn<double>("fmax");
    QTest::newRow("49.9") << 49.9 << 50.0;
    QTest::newRow("50") << 50.0 << 250.0;
    QTest::newRow("249.9") << 249.9 << 250.0;
    QTest::newRow("250") << 250.0 << 500.0;
    QTest::newRow("500") << 500.0 << 1250.0;
    QTest::newRow("1249") << 1249.0 << 1250.0;
    QTest::newRow("1250") << 1250.0 << 2500.0;
    QTest::newRow("2500") << 2500.0 << 3750.0;
    QTest::newRow("3750") << 3750.0 << 5000.0;
    QTest::newRow("4999") << 4999.0 << 5000.0;
    QTest::newRow("5000") << 5000.0 << 7500.0;
    QTest::newRow("7499") << 7499.0 << 7500.0;
    QTest::newRow("7500") << 7500.0 << 10000.0;
    QTest::newRow("beyond int range") << 1e15 << 1e15 + 2500.0;
}

void FlowGraphModelTest::flowMaxima() {
    QFETCH(double, fx);
    QFETCH(double, fmax);
    QCOMPARE(flowAxisMax(fx, 5), fmax);
    // The same extent reached through a flat supply line, whose extent is 1.25 Q.
    const FlowGraphModel m = BuildFlowGraphModel(50, 50, fx / 1.25, 5, 5, Settings{});
    QCOMPARE(m.FlowAxisMax, flowAxisMax(m.flowExtent, 5));
}

void FlowGraphModelTest::minorTicks() {
    const QList<QList<double>> expected = {
        {0.2, 0.4, 0.6, 0.8},
        {1.2, 1.4, 1.6, 1.8},
        {2.1, 2.2, 2.3, 2.4, 2.5, 2.6, 2.7, 2.8, 2.9},
        {3.1, 3.2, 3.3, 3.4, 3.5, 3.6, 3.7, 3.8, 3.9},
        {4.1, 4.2, 4.3, 4.4, 4.5, 4.6, 4.7, 4.8, 4.9},
        {},
    };
    qsizetype total = 0;
    for (int line = 0; line <= 5; ++line) {
        const QList<double> ticks = flowMinorTicks(line, 5);
        QCOMPARE(ticks.size(), expected[line].size());
        for (qsizetype j = 0; j < ticks.size(); ++j)
            QVERIFY(near(ticks[j], expected[line][j]));
        total += ticks.size();
    }
    QCOMPARE(total, 35);
}

void FlowGraphModelTest::bottomEndFraction() {
    const FlowGraphModel m = BuildFlowGraphModel(60, 40, 1000, 5, 5, Settings{}, '.');
    QVERIFY(m.ZeroPressureFlow.has_value());
    const auto fraction = static_cast<double>(flowAxisFraction(*m.ZeroPressureFlow, m.FlowAxisMax));
    QVERIFY2(std::fabs(fraction - 0.550721762670232) < 1e-12,
             qPrintable(QString::number(fraction)));
    QCOMPARE(static_cast<double>(flowAxisFraction(3, 5)), std::pow(0.6, 1.85));
}

void FlowGraphModelTest::precondition_data() {
    QTest::addColumn<double>("S");
    QTest::addColumn<double>("R");
    QTest::addColumn<double>("Q");
    QTest::addColumn<bool>("holds");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("ordinary test") << 60.0 << 40.0 << 1000.0 << true;
    QTest::newRow("S equal to R") << 60.0 << 60.0 << 1000.0 << true;
    QTest::newRow("both pressures empty") << 0.0 << 0.0 << 1000.0 << true;
    QTest::newRow("no flow") << 60.0 << 40.0 << 0.0 << false;
    QTest::newRow("negative flow") << 60.0 << 40.0 << -5.0 << false;
    QTest::newRow("static left empty") << 0.0 << 40.0 << 1000.0 << false;
    QTest::newRow("residual above static") << 40.0 << 60.0 << 1000.0 << false;
    QTest::newRow("infinite flow") << 60.0 << 40.0 << inf << false;
    QTest::newRow("not a number") << none << 40.0 << 1000.0 << false;
}

void FlowGraphModelTest::precondition() {
    QFETCH(double, S);
    QFETCH(double, R);
    QFETCH(double, Q);
    QFETCH(bool, holds);
    QCOMPARE(flowGraphPreconditionHolds(S, R, Q), holds);
}

void FlowGraphModelTest::noteFollowsUserLocale() {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const FlowGraphModel m =
        BuildFlowGraphModel(5.5, 4.0, 3000, 5, 5, settingsOf(UnitSystem::MetricBar, true, "1,4"));
    QLocale::setDefault(saved);
    QCOMPARE(m.NoteText, QString("5166,2 Lpm at 1,4 bar"));
}

QTEST_APPLESS_MAIN(FlowGraphModelTest)
#include "test_flowgraphmodel.moc"
