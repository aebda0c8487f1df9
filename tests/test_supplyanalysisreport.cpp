#include "report/pdfwriter.h"
#include "report/printjobtitle.h"
#include "report/supplyanalysisreport.h"
#include "report/textmetrics.h"

#include <QDir>
#include <QFile>
#include <QTest>

Q_DECLARE_METATYPE(ReportSnapshot)

namespace {

// The designer's question: S 78, R 61 at Q 2599; 250 gpm of hose, 10 psi
// of margin; the demand points given as "label@flow@pressure".
ReportSnapshot analysed(const QStringList& demands, UnitSystem units = UnitSystem::US) {
    ReportSnapshot snapshot;
    snapshot.test.date = "5/16/2023";
    snapshot.test.time = "9:40 AM";
    snapshot.test.location = {"400 block of Oak Street", "Oak Street and 5th Avenue"};
    snapshot.test.staticPressure = "78";
    snapshot.test.residualPressure = "61";
    snapshot.test.outlets = {OutletRow{{"#1", "", "2.5", "0.9", "", "2599"}}};
    for (const QString& demand : demands) {
        const QStringList parts = demand.split('@');
        snapshot.test.demands.append({parts.value(0), parts.value(1), parts.value(2), {}});
    }
    snapshot.test.hoseAllowance = "250";
    snapshot.test.safetyMargin = "10";
    snapshot.settings.units = units;
    snapshot.settings.testedBy = {"J. Smith"};
    return snapshot;
}

// Four points shown of five, whose labels run to 80 characters, with long
// verdicts, advice for the points beyond the test flow and long texts around.
ReportSnapshot crowded(UnitSystem units) {
    QStringList demands;
    for (const char* need : {"800@70", "1500@40", "3000@5", "2500@60", "100@10"})
        demands.append(QStringLiteral("Riser %1 ").arg(demands.size() + 1).leftJustified(80, 'W') +
                       '@' + need);
    ReportSnapshot snapshot = analysed(demands, units);
    snapshot.test.date = QString(60, '8');
    snapshot.test.time = QString(60, '9');
    snapshot.test.location = {QString(90, 'L'), QString(90, 'M'), "third line"};
    snapshot.settings.testedBy = {QString(60, 'T'), QString(60, 'U'), "third"};
    snapshot.test.safetyMargin = "12.5 %";
    return snapshot;
}

QList<const TextRun*> runsOf(const ComposedPage& page) {
    QList<const TextRun*> runs;
    for (const PageItem& item : page.items)
        if (const auto* run = std::get_if<TextRun>(&item))
            runs.append(run);
    return runs;
}

// The box a run's line takes on the paper.
QRectF boxOf(const TextRun& run) {
    const TextMetrics& metrics = TextMetrics::arial();
    const double top = run.origin.y() - metrics.ascent(run.font);
    return QRectF(run.origin.x(), top, metrics.width(run.text, run.font),
                  metrics.lineHeight(run.font));
}

const PagePicture* pictureOf(const ComposedPage& page) {
    for (const PageItem& item : page.items)
        if (const auto* picture = std::get_if<PagePicture>(&item))
            return picture;
    return nullptr;
}

} // namespace

class SupplyAnalysisReportTest : public QObject {
    Q_OBJECT
private slots:
    void designersPage_data();
    void designersPage();
    void nothingOverprints_data();
    void nothingOverprints();
    void jobTitle_data();
    void jobTitle();
    void writtenAsPdf();
};

void SupplyAnalysisReportTest::designersPage_data() {
    QTest::addColumn<QString>("text");
    for (const char* text : {"Water Supply Analysis",
                             "5/16/2023",
                             "400 block of Oak Street",
                             "J. Smith",
                             "78 psi",
                             "2599 gpm",
                             "5045 gpm",
                             "AA (light blue)",
                             "Sprinklers",
                             "800 gpm",
                             "1050 gpm",
                             "74.8 psi",
                             "19.8 psi",
                             "36 %",
                             "meets the demand with 19.8 psi to spare (10 psi required)",
                             "250 gpm",
                             "10 psi",
                             "psi",
                             "gpm",
                             "Created with the free hydrant flow test program from www.ostrel.com"})
        QTest::newRow(text) << QString::fromUtf8(text);
}

void SupplyAnalysisReportTest::designersPage() {
    QFETCH(QString, text);
    const ComposedReport pages = composeSupplyAnalysisReport(analysed({"Sprinklers@800@55"}));
    QCOMPARE(pages.size(), 1);
    const QList<const TextRun*> runs = runsOf(pages.first());
    QVERIFY2(std::any_of(runs.cbegin(), runs.cend(),
                         [&](const TextRun* run) { return run->text == text; }),
             qPrintable(text));
    // The graph across the width, in the picture's proportions.
    const PagePicture* graph = pictureOf(pages.first());
    QVERIFY(graph);
    QCOMPARE(graph->rect.left(), 1.3);
    QCOMPARE(graph->rect.size(), QSizeF(6.1, 6.1 * 270 / 600));
}

void SupplyAnalysisReportTest::nothingOverprints_data() {
    QTest::addColumn<ReportSnapshot>("snapshot");
    QTest::newRow("four long labels") << crowded(UnitSystem::US);
    QTest::newRow("four long labels in kPa") << crowded(UnitSystem::MetricKPa);
    // Numbers wider than their cells, and verdicts wider than their line.
    ReportSnapshot huge = analysed(
        {"a@80000000@7000000", "b@150000000@4000000", "c@250000000@6000000", "d@300000000@500000"});
    huge.test.staticPressure = "7800000.5";
    huge.test.residualPressure = "6100000.5";
    huge.test.outlets.first()[OutletRow::Flow] = "259900000";
    huge.test.hoseAllowance = "25000000";
    huge.test.safetyMargin = "12.5 %";
    QTest::newRow("huge numbers") << huge;
}

void SupplyAnalysisReportTest::nothingOverprints() {
    QFETCH(ReportSnapshot, snapshot);
    const ComposedReport pages = composeSupplyAnalysisReport(snapshot);
    QCOMPARE(pages.size(), 1);
    const ComposedPage& page = pages.first();
    const QRectF paper(QPointF(0, 0), page.size);
    const QList<const TextRun*> runs = runsOf(page);
    QVERIFY(runs.size() > 60);
    for (qsizetype i = 0; i < runs.size(); ++i) {
        const QRectF box = boxOf(*runs[i]);
        QVERIFY2(paper.contains(box), qPrintable(runs[i]->text));
        for (qsizetype j = i + 1; j < runs.size(); ++j)
            QVERIFY2(!box.intersects(boxOf(*runs[j])),
                     qPrintable(runs[i]->text + " | " + runs[j]->text));
    }
    const PagePicture* graph = pictureOf(page);
    QVERIFY(graph && paper.contains(graph->rect));
    QVERIFY(graph->rect.bottom() < 9.8);
}

void SupplyAnalysisReportTest::jobTitle_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<QStringList>("location");
    QTest::addColumn<QString>("title");
    QTest::newRow("date and first location line")
        << "5/16/2023" << QStringList{"", "  400 block of  Oak Street", "corner"}
        << "Water Supply Analysis – 5/16/2023 – 400 block of Oak Street";
    QTest::newRow("neither") << "" << QStringList() << "Water Supply Analysis";
}

void SupplyAnalysisReportTest::jobTitle() {
    QFETCH(QString, date);
    QFETCH(QStringList, location);
    TestRecord test;
    test.date = date;
    test.location = location;
    QTEST(analysisJobTitle(test), "title");
}

void SupplyAnalysisReportTest::writtenAsPdf() {
    const ReportSnapshot snapshot = crowded(UnitSystem::US);
    const QByteArray pdf =
        pdfBytes(composeSupplyAnalysisReport(snapshot), analysisJobTitle(snapshot.test));
    QVERIFY(pdf.startsWith("%PDF-"));
    QCOMPARE(pdf.count("/Type /Page\n"), 1); // one page object besides the page tree
    const QString lookDir = qEnvironmentVariable("FLOWTEST_REPORT_LOOK_DIR");
    if (lookDir.isEmpty())
        return;
    QDir().mkpath(lookDir);
    QFile file(lookDir + "/supply-analysis.pdf");
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(pdf) == pdf.size());
}

QTEST_MAIN(SupplyAnalysisReportTest)
#include "test_supplyanalysisreport.moc"
