#include "hydraulics/derivedcells.h"
#include "hydraulics/discharge.h"

#include <QTest>

Q_DECLARE_METATYPE(OutletRow)
Q_DECLARE_METATYPE(UnitSystem)

namespace {
OutletRow row(const QString& size, const QString& c, const QString& pitot, const QString& flow) {
    OutletRow r;
    r[OutletRow::Label] = "#1";
    r[OutletRow::Size] = size;
    r[OutletRow::C] = c;
    r[OutletRow::Pitot] = pitot;
    r[OutletRow::Flow] = flow;
    return r;
}
} // namespace

class DischargeTest : public QObject {
    Q_OBJECT
private slots:
    void flow_data();
    void flow();
    void pitot_data();
    void pitot();
    void computedCellsFollow_data();
    void computedCellsFollow();
};

void DischargeTest::flow_data() {
    QTest::addColumn<UnitSystem>("units");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("c");
    QTest::addColumn<QString>("pitot");
    QTest::addColumn<QString>("expected");
    const auto us = UnitSystem::US;
    QTest::newRow("U.S. worked value") << us << "2.5" << "0.9" << "10" << "531";
    QTest::newRow("bar worked value") << UnitSystem::MetricBar << "63.5" << "0.9" << "0.69" << "2008";
    QTest::newRow("kPa worked value") << UnitSystem::MetricKPa << "63.5" << "0.9" << "69" << "2008";
    QTest::newRow("size of blanks") << us << "   " << "0.9" << "10" << "";
    QTest::newRow("size with comma") << us << "2,5" << "0.9" << "10" << "531";
    QTest::newRow("size is separator") << us << "." << "0.9" << "10" << "0";
    QTest::newRow("size with blanks around") << us << " 2.5 " << "0.9" << "10" << "531";
    QTest::newRow("negative pitot") << us << "2.5" << "0.9" << "-10" << "";
    QTest::newRow("pitot 1E1") << us << "2.5" << "0.9" << "1E1" << "531";
    QTest::newRow("pitot 1e1") << us << "2.5" << "0.9" << "1e1" << "531";
    QTest::newRow("empty size") << us << "" << "0.9" << "10" << "";
    QTest::newRow("empty c") << us << "2.5" << "" << "10" << "";
    QTest::newRow("empty pitot") << us << "2.5" << "0.9" << "" << "";
    QTest::newRow("zero pitot") << us << "2.5" << "0.9" << "0" << "0";
    QTest::newRow("zero size") << us << "0" << "0.9" << "10" << "0";
    QTest::newRow("zero coefficient") << us << "2.5" << "0" << "10" << "0";
    QTest::newRow("negative coefficient") << us << "2.5" << "-0.9" << "10" << "-531";
    QTest::newRow("negative size squared") << us << "-2.5" << "0.9" << "10" << "531";
    QTest::newRow("too large to round") << us << "1e150" << "1" << "1" << "";
    QTest::newRow("overflow") << us << "1e300" << "1e300" << "1" << "";
}

void DischargeTest::flow() {
    QFETCH(UnitSystem, units);
    QFETCH(QString, size);
    QFETCH(QString, c);
    QFETCH(QString, pitot);
    QFETCH(QString, expected);
    QCOMPARE(ComputeFlow(row(size, c, pitot, ""), units, '.'), expected);
    if (size.contains(','))
        return;
    // The same row in a comma locale, where the texts carry commas.
    QCOMPARE(ComputeFlow(row(QString(size).replace('.', ','), QString(c).replace('.', ','),
                             QString(pitot).replace('.', ','), ""),
                         units, ','),
             expected);
}

void DischargeTest::pitot_data() {
    QTest::addColumn<UnitSystem>("units");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("c");
    QTest::addColumn<QString>("flow");
    QTest::addColumn<QString>("expected");
    const auto us = UnitSystem::US;
    const auto bar = UnitSystem::MetricBar;
    QTest::newRow("U.S. 1000") << us << "2.5" << "0.9" << "1000" << "35.5";
    QTest::newRow("U.S. 531") << us << "2.5" << "0.9" << "531" << "10";
    QTest::newRow("bar worked value") << bar << "63.5" << "0.9" << "2400" << "0.986";
    QTest::newRow("kPa worked value") << UnitSystem::MetricKPa << "63.5" << "0.9" << "2400" << "98.6";
    QTest::newRow("bar 66.6 gives 1.0") << bar << "10" << "1" << "66.6" << "1.0";
    QTest::newRow("zero size") << us << "0" << "0.9" << "500" << "";
    QTest::newRow("zero coefficient") << us << "2.5" << "0" << "500" << "";
    QTest::newRow("zero over zero") << us << "0" << "0" << "0" << "";
    QTest::newRow("zero flow U.S.") << us << "2.5" << "0.9" << "0" << "0";
    QTest::newRow("zero flow bar") << bar << "63.5" << "0.9" << "0" << "0.0";
    QTest::newRow("negative flow squared") << us << "2.5" << "0.9" << "-1000" << "35.5";
    QTest::newRow("empty flow") << us << "2.5" << "0.9" << "" << "";
    QTest::newRow("flow not a number") << us << "2.5" << "0.9" << "x" << "";
    QTest::newRow("huge in general format") << us << "1e-100" << "1" << "29.84" << "1E400";
}

void DischargeTest::pitot() {
    QFETCH(UnitSystem, units);
    QFETCH(QString, size);
    QFETCH(QString, c);
    QFETCH(QString, flow);
    QFETCH(QString, expected);
    QCOMPARE(ComputePitot(row(size, c, "", flow), units, '.'), expected);
    QCOMPARE(ComputePitot(row(QString(size).replace('.', ','), QString(c).replace('.', ','), "",
                              QString(flow).replace('.', ',')),
                          units, ','),
             QString(expected).replace('.', ','));
}

QTEST_APPLESS_MAIN(DischargeTest)
void DischargeTest::computedCellsFollow_data() {
    QTest::addColumn<OutletRow>("before");
    QTest::addColumn<bool>("pitotFilled");
    QTest::addColumn<bool>("flowEmptied");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<OutletRow>("after");
    QTest::addColumn<bool>("pitotFilledAfter");
    QTest::addColumn<bool>("flowEmptiedAfter");
    const int size = OutletRow::Size, c = OutletRow::C, pitot = OutletRow::Pitot,
              flow = OutletRow::Flow;
    const auto add = [](const char* name, const OutletRow& before, bool filled, bool emptied,
                        int column, const char* text, const OutletRow& after, bool filledAfter,
                        bool emptiedAfter) {
        QTest::newRow(name) << before << filled << emptied << column << QString(text) << after
                            << filledAfter << emptiedAfter;
    };
    OutletRow elevated = row("2.5", "0.9", "16", "671");
    elevated[OutletRow::Elev] = "3";
    add("formula's flow follows the pitot", row("2.5", "0.9", "16", "671"), false, false, pitot,
        "20", row("2.5", "0.9", "20", "751"), false, false);
    add("and the size", row("2.5", "0.9", "16", "671"), false, false, size, "2.25",
        row("2.25", "0.9", "16", "544"), false, false);
    add("and C", row("2.5", "0.9", "16", "671"), false, false, c, "0.8",
        row("2.5", "0.8", "16", "597"), false, false);
    add("a typed flow stays", row("2.5", "0.9", "16", "700"), false, false, pitot, "20",
        row("2.5", "0.9", "20", "700"), false, false);
    add("an empty flow stays", row("2.5", "0.9", "16", ""), false, false, pitot, "20",
        row("2.5", "0.9", "20", ""), false, false);
    add("a pitot deleted empties the flow", row("2.5", "0.9", "1", "168"), false, false, pitot, "",
        row("2.5", "0.9", "", ""), false, true);
    add("which follows the pitot typed again", row("2.5", "0.9", "", ""), false, true, pitot, "2",
        row("2.5", "0.9", "2", "237"), false, false);
    add("a flow typed ends the following", row("2.5", "0.9", "", ""), false, true, flow, "5",
        row("2.5", "0.9", "", "5"), false, false);
    add("elevation changes nothing", row("2.5", "0.9", "16", "671"), false, false,
        OutletRow::Elev, "3", elevated, false, false);
    add("a filled pitot follows the flow", row("2.5", "0.9", "35.5", "1000"), true, false, flow,
        "1200", row("2.5", "0.9", "51.1", "1200"), true, false);
    add("and the size, leaving the flow", row("2.5", "0.9", "35.5", "1000"), true, false, size, "2",
        row("2", "0.9", "86.7", "1000"), true, false);
    add("a filled pitot typed over is the user's", row("2.5", "0.9", "35.5", "1000"), true, false,
        pitot, "30", row("2.5", "0.9", "30", "1000"), false, false);
    add("a pitot not filled stays", row("2.5", "0.9", "35.5", "1000"), false, false, flow, "1200",
        row("2.5", "0.9", "35.5", "1200"), false, false);
}

void DischargeTest::computedCellsFollow() {
    QFETCH(OutletRow, before);
    QFETCH(bool, pitotFilled);
    QFETCH(bool, flowEmptied);
    QFETCH(int, column);
    QFETCH(QString, text);
    DerivedCells derived{pitotFilled, flowEmptied};
    QTEST(rowAfterEdit(before, column, text, derived, UnitSystem::US, QLatin1Char('.')), "after");
    QTEST(derived.pitotFilled, "pitotFilledAfter");
    QTEST(derived.flowEmptied, "flowEmptiedAfter");
}

#include "test_discharge.moc"
