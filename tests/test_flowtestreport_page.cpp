#include "documenttesthelpers.h"
#include "report/composer.h"
#include "report/flowtestreport.h"
#include "report/htmlwriter.h"
#include "report/pagepicture.h"
#include "report/pdfwriter.h"
#include "report/textmetrics.h"
#include "settingsof.h"

#include <QFile>
#include <QGuiApplication>
#include <QPicture>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

Q_DECLARE_METATYPE(ReportSnapshot)

namespace {

using Values = QHash<QString, ColumnValue>;

// One row of a data view by column name, read through the engine's cycle.
QList<Values> rowsOf(DataConnection& connection) {
    connection.open();
    const QList<ColumnDeclaration> columns = connection.columns();
    QList<Values> rows;
    for (; !connection.atEnd(); connection.next()) {
        const QList<ColumnValue> row = connection.row();
        Values values;
        for (qsizetype i = 0; i < columns.size(); ++i)
            values.insert(columns[i].name, row.value(i));
        rows.append(values);
    }
    return rows;
}

QString text(const Values& row, const char* column) {
    return std::get<QString>(row.value(QString::fromLatin1(column)));
}

QByteArray block(const Values& row, const char* column) {
    return std::get<QByteArray>(row.value(QString::fromLatin1(column)));
}

ReportSnapshot snapshot(const TestRecord& test, UnitSystem units = UnitSystem::US,
                        QStringList testedBy = {}) {
    return {test, settingsOf(std::move(testedBy), units, true, "20"), QLatin1Char('.')};
}

// A typical test: three outlets, two location lines, U.S. units.
TestRecord typicalTest(int outlets = 3) {
    Record record;
    record.date("5/16/2023").time("9:40 AM").staticPressure("72").residualPressure("58");
    record.readElev("412").location({"400 block of Oak Street", "Oak Street and 5th Avenue"});
    record.notes({"looped main"});
    TestRecord test = record;
    for (int i = 1; i <= outlets; ++i)
        test.outlets.append(
            outletRow({QStringLiteral("#%1").arg(i), "409", "2.5", "0.9", "18", "712"}));
    return test;
}

struct Placed {
    const TextRun* run = nullptr;
    int page = 0;
};

// The n-th text run (counting from 0) that prints exactly `text`.
Placed findRun(const ComposedReport& pages, const QString& text, int occurrence = 0) {
    for (int page = 0; page < pages.size(); ++page)
        for (const PageItem& item : pages[page].items)
            if (const auto* run = std::get_if<TextRun>(&item); run && run->text == text)
                if (occurrence-- == 0)
                    return {run, page + 1};
    return {};
}

// The PDF's Flate streams inflated, one after another: the pages' drawing
// operators among them.
QByteArray inflatedStreams(const QByteArray& pdf) {
    QByteArray inflated;
    for (qsizetype at = pdf.indexOf("\nstream"); at >= 0; at = pdf.indexOf("\nstream", at + 1)) {
        const qsizetype dictionary = pdf.lastIndexOf("<<", at);
        if (!pdf.sliced(dictionary, at - dictionary).contains("/FlateDecode"))
            continue;
        const qsizetype start = at + (pdf.sliced(at + 7).startsWith("\r\n") ? 9 : 8);
        // After a 4-byte size, which qUncompress grows past when too small.
        inflated += qUncompress(QByteArray::fromHex("00010000") +
                                pdf.sliced(start, pdf.indexOf("endstream", start) - start));
    }
    return inflated;
}

// Each document's text: the PDF's drawing, or one page file after another.
QStringList writtenTexts(const QString& format, const ComposedReport& pages) {
    if (format == "pdf")
        return {QString::fromLatin1(inflatedStreams(pdfBytes(pages)))};
    QTemporaryDir dir;
    writeHtmlReport(pages, dir.path(), "report", ".html");
    QStringList texts;
    for (int k = 1; k <= pages.size(); ++k) {
        QFile page(dir.filePath(QStringLiteral("report%1.html").arg(k)));
        texts.append(page.open(QIODevice::ReadOnly) ? QString::fromUtf8(page.readAll()) : "");
    }
    return texts;
}

} // namespace

class FlowTestReportPageTest : public QObject {
    Q_OBJECT
private slots:
    void columnsInOrder();
    void viewValues_data();
    void viewValues();
    void positions_data();
    void positions();
    void pagesAndPictures();
    void cutMemosPrintWhole_data();
    void cutMemosPrintWhole();
    void underlines_data();
    void underlines();
    void written_data();
    void written();
    void wrapping_data();
    void wrapping();
    void widthsAsQtLaysTextOut_data();
    void widthsAsQtLaysTextOut();
};

void FlowTestReportPageTest::columnsInOrder() {
    const FlowTestViews views(snapshot(typicalTest()));
    QStringList declared;
    for (DataConnection* connection : views.connections()) {
        connection->open();
        for (const ColumnDeclaration& column : connection->columns())
            declared.append(column.name + QLatin1Char(':') + QString::number(int(column.type)));
    }
    QCOMPARE(declared, QStringList({"Date:0", "Time:0", "Location:1", "TestBy:1", "Notes:1",
                                    "Elev:0", "Static:0", "Residual:0", "Outlet:0", "Elev:0",
                                    "Size:0", "C:0", "Pitot:0", "Flow:0", "GraphPressure:0",
                                    "GraphFlow:0", "TotalLabel:0", "Total:0", "Graph:2"}));
}

void FlowTestReportPageTest::viewValues_data() {
    QTest::addColumn<ReportSnapshot>("input");
    QTest::addColumn<QStringList>("expected"); // Static, Residual, Elev, last Flow, Total, units
    QTest::addColumn<bool>("graphDrawn");
    const auto test = [](const char* s, const char* r, const char* elev, QStringList flows) {
        Record record;
        record.staticPressure(s).residualPressure(r).readElev(elev);
        TestRecord t = record;
        for (const QString& flow : flows)
            t.outlets.append(outletRow({"#", "", "2.5", "0.9", "", flow}));
        return t;
    };
    QTest::newRow("U.S., one outlet")
        << snapshot(test("60", "40", "", {"1000"}))
        << QStringList{"60 psi", "40 psi", "", "1000 gpm", "", "psi gpm"} << true;
    QTest::newRow("two outlets") << snapshot(test("60", "40", "12", {"500.5", "250"}))
                                 << QStringList{"60 psi",  "40 psi",          "12 ft",
                                                "250 gpm", "Total 750.5 gpm", "psi gpm"}
                                 << true;
    QTest::newRow("an empty flow")
        << snapshot(test("60", "40", "", {"500", ""}))
        << QStringList{"60 psi", "40 psi", "", "", "Total 500 gpm", "psi gpm"} << true;
    QTest::newRow("no flows") << snapshot(test("60", "40", "", {"", "", ""}))
                              << QStringList{"60 psi", "40 psi", "", "", "Total 0 gpm", "psi gpm"}
                              << false;
    QTest::newRow("static below residual")
        << snapshot(test("40", "60", "", {"1000"}))
        << QStringList{"40 psi", "60 psi", "", "1000 gpm", "", "psi gpm"} << false;
    QTest::newRow("static equal to residual")
        << snapshot(test("50", "50", "", {"1000"}))
        << QStringList{"50 psi", "50 psi", "", "1000 gpm", "", "psi gpm"} << true;
    QTest::newRow("no pressures: no graph")
        << snapshot(test("", "", "", {"1000"}))
        << QStringList{"", "", "", "1000 gpm", "", "psi gpm"} << false;
    QTest::newRow("metric kPa") << snapshot(test("350", "280", "3", {"2000"}),
                                            UnitSystem::MetricKPa)
                                << QStringList{"350 kPa",  "280 kPa", "3 m",
                                               "2000 lpm", "",        "kPa lpm"}
                                << true;
    QTest::newRow("metric bar") << snapshot(test("5.5", "4", "3", {"2000"}), UnitSystem::MetricBar)
                                << QStringList{"5.5 bar", "4 bar", "3 m", "2000 lpm", "", "bar lpm"}
                                << true;
}

void FlowTestReportPageTest::viewValues() {
    QFETCH(ReportSnapshot, input);
    QFETCH(QStringList, expected);
    QFETCH(bool, graphDrawn);
    const FlowTestViews views(input);
    const QList<DataConnection*> connections = views.connections();
    const Values head = rowsOf(*connections[0]).constFirst();
    const QList<Values> outlets = rowsOf(*connections[1]);
    const Values graph = rowsOf(*connections[2]).constFirst();
    QCOMPARE(outlets.size(), input.test.outlets.size());
    const QString total = (text(graph, "TotalLabel") + ' ' + text(graph, "Total")).trimmed();
    const QStringList actual = {text(head, "Static"),
                                text(head, "Residual"),
                                text(head, "Elev"),
                                text(outlets.constLast(), "Flow"),
                                total,
                                text(graph, "GraphPressure") + ' ' + text(graph, "GraphFlow")};
    QCOMPARE(actual, expected);
    QPicture picture;
    const QByteArray bytes = block(graph, "Graph");
    picture.setData(bytes.constData(), uint(bytes.size()));
    QCOMPARE(!isBlankPicture(picture), graphDrawn);
}

void FlowTestReportPageTest::positions_data() {
    // Where a text lands, in inches from the paper's corner: its left edge,
    // centre or right edge by its alignment, and its top.
    QTest::addColumn<ReportSnapshot>("input");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("occurrence");
    QTest::addColumn<int>("page");
    QTest::addColumn<char>("anchor"); // l, c or r
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("clipWidth"); // 0: not cut

    const ReportSnapshot typical = snapshot(typicalTest(), UnitSystem::US, {"J. Smith"});
    const auto row = [](const char* name, const ReportSnapshot& s, const QString& text, int page,
                        char anchor, double x, double top, double clip = 0, int occurrence = 0) {
        QTest::newRow(name) << s << text << occurrence << page << anchor << x << top << clip;
    };
    row("title", typical, "Hydrant Flow Test Report", 1, 'c', 4.25, 1.0);
    row("date caption", typical, "Test Date", 1, 'r', 3.3, 1.4);
    row("date", typical, "5/16/2023", 1, 'l', 3.35, 1.4);
    row("time caption", typical, "Test Time", 1, 'r', 5.5, 1.4);
    row("location caption", typical, "Location", 1, 'l', 1.0, 1.7);
    row("location first line", typical, "400 block of Oak Street", 1, 'l', 1.0, 2.0);
    row("tester", typical, "J. Smith", 1, 'l', 4.6, 2.0);
    row("notes", typical, "looped main", 1, 'l', 1.0, 3.6);
    row("read hydrant", typical, "Read Hydrant", 1, 'c', 6.35, 3.3);
    row("static", typical, "72 psi", 1, 'r', 5.95, 3.6);
    row("residual", typical, "58 psi", 1, 'r', 5.95, 3.8);
    row("elevation", typical, "412 ft", 1, 'r', 5.95, 4.0);
    row("pitot heading", typical, "Pitot", 1, 'c', 5.65, 4.825);
    row("outlet heading", typical, "Outlet", 1, 'c', 2.05, 5.0);
    row("outlet #1", typical, "#1", 1, 'c', 2.05, 5.4);
    row("outlet #3 flow", typical, "712 gpm", 1, 'c', 6.6, 5.8, 0, 2);
    row("total label", typical, "Total", 1, 'r', 6.1, 6.0);
    row("total", typical, "2136 gpm", 1, 'c', 6.6, 6.0);
    row("graph caption", typical, "Flow Graph", 1, 'c', 4.25, 6.15);
    row("pressure unit", typical, "psi", 1, 'r', 1.4, 7.6);
    row("flow unit", typical, "gpm", 1, 'c', 4.25, 9.15);
    row("footer", typical, "Created with the free hydrant flow test program from www.ostrel.com", 1,
        'c', 4.25, 9.9);

    const ReportSnapshot one = snapshot(typicalTest(1));
    row("one outlet: graph band follows", one, "Flow Graph", 1, 'c', 4.25, 5.75);
    const ReportSnapshot five = snapshot(typicalTest(5));
    row("five outlets: band ends at 9.8", five, "gpm", 1, 'c', 4.25, 9.8 - 3.4 + 3.15);
    const ReportSnapshot seven = snapshot(typicalTest(7));
    // The total line cannot follow row 7 on page 1, so row 7 goes with it.
    row("seven outlets: last row goes with the total", seven, "#7", 2, 'c', 2.05, 2.6);
    row("seven outlets: title again", seven, "Hydrant Flow Test Report", 2, 'c', 4.25, 1.0, 0, 1);
    row("seven outlets: footer again", seven,
        "Created with the free hydrant flow test program from www.ostrel.com", 2, 'c', 4.25, 9.9, 0,
        1);
    row("seven outlets: graph on page 2", seven, "Flow Graph", 2, 'c', 4.25, 2.95);
    row("seven outlets: date under the title", seven, "5/16/2023", 2, 'l', 1.85, 1.4, 0, 1);
    row("seven outlets: location under the title", seven, "400 block of Oak Street", 2, 'l', 4.05,
        1.4, 0, 1);
    row("seven outlets: page number", seven, "Page 2 of 2", 2, 'c', 4.25, 10.05);
    TestRecord many = typicalTest(40);
    row("40 outlets: row 23 under repeated headings", snapshot(many), "#23", 2, 'c', 2.05, 2.6);

    TestRecord tenLines = typicalTest();
    tenLines.location.clear();
    for (int i = 1; i <= 10; ++i)
        tenLines.location.append(QStringLiteral("line %1").arg(i));
    const double lineHeight = TextMetrics::arial().lineHeight({12, false});
    row("location line 6 fits, marked as cut", snapshot(tenLines), "line 6…", 1, 'l', 1.0,
        2.0 + 5 * lineHeight);

    // Cut texts keep their beginning and end with an ellipsis where they are cut.
    TestRecord cut = typicalTest(7);
    cut.date = "Wednesday, the sixteenth of May 2023";
    cut.time = "9:40 AM Eastern Daylight Time, about";
    cut.staticPressure = "60.123456789012345";
    for (OutletRow& outlet : cut.outlets)
        outlet[OutletRow::Flow] = "555555555";
    row("date cut before the time's caption", snapshot(cut), "Wednesday, th…", 1, 'l', 3.35, 1.4,
        1.35);
    row("time cut at the region's edge", snapshot(cut), "9:40 AM Eastern Daylig…", 1, 'l', 5.55,
        1.4, 1.95);
    row("static cut, right-aligned", snapshot(cut), "60.123…", 1, 'r', 5.95, 3.6, 0.75);
    row("total cut, centred", snapshot(cut), "38888888…", 2, 'c', 6.6, 2.8, 1.0);
}

void FlowTestReportPageTest::positions() {
    QFETCH(ReportSnapshot, input);
    QFETCH(QString, text);
    QFETCH(int, occurrence);
    QFETCH(int, page);
    QFETCH(char, anchor);
    QFETCH(double, x);
    QFETCH(double, top);
    QFETCH(double, clipWidth);
    const ComposedReport pages = composeFlowTestReport(input);
    const Placed placed = findRun(pages, text, occurrence);
    QVERIFY2(placed.run, qPrintable(text));
    const TextRun& run = *placed.run;
    QCOMPARE(placed.page, page);
    const double width = TextMetrics::arial().width(run.text, run.font);
    const double at = anchor == 'l'   ? run.origin.x()
                      : anchor == 'r' ? run.origin.x() + width
                                      : run.origin.x() + width / 2;
    QVERIFY2(qAbs(at - x) < 1e-6, qPrintable(QString::number(at)));
    const double runTop = run.origin.y() - TextMetrics::arial().ascent(run.font);
    QVERIFY2(qAbs(runTop - top) < 1e-6, qPrintable(QString::number(runTop)));
    QCOMPARE(run.clip.isNull() ? 0.0 : run.clip.width(), clipWidth);
}

void FlowTestReportPageTest::pagesAndPictures() {
    TestRecord tenLines = typicalTest();
    for (int i = 3; i <= 10; ++i)
        tenLines.location.append(QStringLiteral("line %1").arg(i));
    // A location longer than its box prints whole on a page of its own.
    QCOMPARE(findRun(composeFlowTestReport(snapshot(tenLines)), "line 7").page, 2);
    // Page 1 holds five outlet rows with the graph band, a later page 19 (both
    // exactly full); the total line stays with the last row. Only a report of
    // more than one page is numbered.
    for (const auto& [outlets, count] : {std::pair{5, 1}, {6, 2}, {41, 2}, {42, 3}}) {
        const ComposedReport report = composeFlowTestReport(snapshot(typicalTest(outlets)));
        QCOMPARE(report.size(), count);
        QCOMPARE(findRun(report, QStringLiteral("#%1").arg(outlets)).page, count);
        QCOMPARE(findRun(report, "Total").page, count);
        QCOMPARE(bool(findRun(report, QStringLiteral("Page 1 of %1").arg(count)).run), count > 1);
    }
    const ComposedReport many = composeFlowTestReport(snapshot(typicalTest(40)));
    QCOMPARE(many.size(), 2);
    QVERIFY(findRun(many, "#40").run);
    QVERIFY(!findRun(composeFlowTestReport(snapshot(typicalTest(1))), "Total").run);

    // The graph: 6.1 in wide with its own proportions, under the caption.
    const ComposedReport typical = composeFlowTestReport(snapshot(typicalTest()));
    const PagePicture* graph = nullptr;
    for (const PageItem& item : typical.constFirst().items)
        if (const auto* picture = std::get_if<PagePicture>(&item))
            graph = picture;
    QVERIFY(graph);
    QCOMPARE(graph->rect, QRectF(1.3, 6.4, 6.1, 6.1 * 270 / 600));
    // Nothing lies below the footer's line or past the region on any page.
    for (const ComposedPage& page : many)
        for (const PageItem& item : page.items)
            if (const auto* run = std::get_if<TextRun>(&item))
                QVERIFY(run->origin.y() < 9.8 || run->font.pointSize == 8);
}

// Numbered lines "<name> 1", "<name> 2", ...
QStringList numberedLines(const QString& name, int count) {
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines.append(QStringLiteral("%1 %2").arg(name).arg(i));
    return lines;
}

void FlowTestReportPageTest::cutMemosPrintWhole_data() {
    QTest::addColumn<ReportSnapshot>("input");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QStringList>("headings"); // of the last page, in order
    QTest::addColumn<QStringList>("lastPage"); // texts the last page holds
    QTest::addColumn<QStringList>("notes");    // what the results window says
    const QString notesWhole = "Texts cut short on page 1, in full";
    TestRecord fits = typicalTest();
    fits.notes = numberedLines("note", 4);
    QTest::newRow("memos that fit: one page as before")
        << snapshot(fits, UnitSystem::US, numberedLines("tester", 6)) << 1 << QStringList()
        << QStringList{"note 4", "tester 6"} << QStringList();

    TestRecord seven = typicalTest();
    seven.notes = numberedLines("note", 6) << QString(45, 'w'); // wraps on page 1 only
    QTest::newRow("seven notes lines")
        << snapshot(seven) << 2 << QStringList{"Notes"}
        << QStringList{notesWhole, "note 1", "note 6", QString(45, 'w'), "Page 2 of 2"}
        << QStringList{"The notes have 8 lines; the page holds 4, the rest prints on page 2."};

    TestRecord all = typicalTest(6);
    all.location = numberedLines("place", 11);
    all.notes = numberedLines("note", 7);
    QTest::newRow("all three, after the outlets' last page")
        << snapshot(all, UnitSystem::US, numberedLines("tester", 8)) << 3
        << QStringList{"Location", "Tested by", "Notes"}
        << QStringList{notesWhole, "place 11", "tester 8", "note 7", "Page 3 of 3"}
        << QStringList{"The location has 11 lines; the page holds 6, the rest prints on page 3.",
                       "The tester text has 8 lines; the page holds 6, the rest prints on page 3.",
                       "The notes have 7 lines; the page holds 4, the rest prints on page 3."};

    TestRecord many = typicalTest();
    many.notes = numberedLines("note", 5000);
    QTest::newRow("twenty pages at most")
        << snapshot(many) << 21 << QStringList{"Notes (continued)"}
        << QStringList{"note 817", "4183 more lines are in the test and not printed."}
        << QStringList{"The notes have more than 1000 lines; the page holds 4, the rest prints "
                       "from page 2 on, as far as the report's last page holds it."};
    many.notes = numberedLines("note", 818);
    QTest::newRow("one line too many")
        << snapshot(many) << 21 << QStringList{"Notes (continued)"}
        << QStringList{"note 817", "1 more line is in the test and not printed."}
        << QStringList{"The notes have 818 lines; the page holds 4, the rest prints from page 2 "
                       "on, as far as the report's last page holds it."};
}

void FlowTestReportPageTest::cutMemosPrintWhole() {
    QFETCH(ReportSnapshot, input);
    const ComposedReport report = composeFlowTestReport(input);
    QTEST(int(report.size()), "pages");
    QStringList headings;
    QStringList texts;
    for (const PageItem& item : report.last().items) {
        if (const auto* run = std::get_if<TextRun>(&item)) {
            texts.append(run->text);
            if (run->font == ReportFont{14, true} && report.size() > 1)
                headings.append(run->text);
        }
    }
    QTEST(headings, "headings");
    QFETCH(QStringList, lastPage);
    for (const QString& text : lastPage)
        QVERIFY2(texts.contains(text), qPrintable(text));
    QTEST(memoContinuationNotes(input), "notes");
}

void FlowTestReportPageTest::underlines_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("pieces"); // the rule stops short of each descender
    QTest::newRow("Location") << "Location" << 1;
    QTest::newRow("Tested by") << "Tested by" << 2;
    QTest::newRow("Flow Hydrant(s)") << "Flow Hydrant(s)" << 4;
}

void FlowTestReportPageTest::underlines() {
    QFETCH(QString, caption);
    QFETCH(int, pieces);
    const ComposedReport report = composeFlowTestReport(snapshot(typicalTest()));
    const TextRun* run = findRun(report, caption).run;
    QVERIFY(run);
    // The font's own underline at the caption's size (pixels as points):
    // its top edge that far below the baseline, that thick.
    const QFontMetricsF font(reportQFont(run->font, 72));
    const double top = run->origin.y() + font.underlinePos() / 72;
    int found = 0;
    for (const PageItem& item : report.constFirst().items)
        if (const auto* rule = std::get_if<RuleLine>(&item);
            rule && qAbs(rule->from.y() - run->origin.y()) < 0.05 &&
            rule->from.x() >= run->origin.x() && rule->to.x() <= run->origin.x() + 2) {
            ++found;
            QVERIFY(qAbs(rule->from.y() - rule->width / 2 - top) < 5e-4);
            QVERIFY(qAbs(rule->width - font.lineWidth() / 72) < 5e-4);
        }
    QCOMPARE(found, pieces);
}

void FlowTestReportPageTest::written_data() {
    // Per document, the first group of every match of `pattern`, in order
    // and without repeats, joined by spaces.
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("outlets");
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("found");
    const QString link = R"re(<a href="([^"]*)" rel=")re";
    QTest::newRow("PDF line widths in points: rule, 14 pt underlines")
        << "pdf" << 3 << "Oak Street"
        << R"re(\n([0-9.]+) w\n)re" << QStringList{"1.46978 0.75"};
    QTest::newRow("PDF: Latin text of a mixed run in Helvetica")
        << "pdf" << 1 << "Oakwood Αθήνα"
        << R"re(\((Oak[^)]*)\) Tj)re" << QStringList{"Oakwood "};
    QTest::newRow("HTML bold class")
        << "html" << 1 << "Oak Street"
        << R"re(<div class="(t b?)"[^>]*>Test Date<)re" << QStringList{"t b"};
    // Page 2 repeats the location's first line, cut where it is.
    QTest::newRow("HTML cut text inside its clip box, from its corner")
        << "html" << 6 << QString(80, 'O')
        << R"re(class="c"[^>]*><div class="t" style="(left:[^;]*))re"
        << QStringList{"", "left:0.0000in"};
    QTest::newRow("HTML of one page: no links") << "html" << 5 << "" << link << QStringList{""};
    QTest::newRow("HTML pages link to their neighbours")
        << "html" << 42 << "" << link
        << QStringList{"report2.html", "report1.html report3.html", "report2.html"};
}

void FlowTestReportPageTest::written() {
    QFETCH(QString, format);
    QFETCH(int, outlets);
    QFETCH(QString, location);
    QFETCH(QString, pattern);
    QFETCH(QStringList, found);
    TestRecord test = typicalTest(outlets);
    test.location = {location};
    QStringList actual;
    for (const QString& text : writtenTexts(format, composeFlowTestReport(snapshot(test)))) {
        QStringList captures;
        for (const QRegularExpressionMatch& match : QRegularExpression(pattern).globalMatch(text))
            if (!captures.contains(match.captured(1)))
                captures.append(match.captured(1));
        actual.append(captures.join(' '));
    }
    QCOMPARE(actual, found);
}

void FlowTestReportPageTest::wrapping_data() {
    // At 12 pt, five digits (0.463 in) fit 0.5 in and six do not.
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("width");
    QTest::addColumn<int>("maxLines");
    QTest::addColumn<QStringList>("lines");
    const int all = std::numeric_limits<int>::max();
    QTest::newRow("words") << "12 34 56 78" << 0.5 << all << QStringList{"12 34", "56 78"};
    QTest::newRow("spaces at a break dropped, leading ones kept")
        << "  12 34    56" << 0.5 << all << QStringList{"  12", "34", "56"};
    QTest::newRow("a long word broken between characters")
        << "1234567890123" << 0.5 << all << QStringList{"12345", "67890", "123"};
    QTest::newRow("leading spaces before a broken word take their room")
        << "  1234567" << 0.5 << all << QStringList{"  1234", "567"};
    QTest::newRow("CR LF, CR, LF and an empty line")
        << "1\r\n2\r3\n\n4" << 0.5 << all << QStringList{"1", "2", "3", "", "4"};
    const QString face = QString::fromUcs4(U"\U0001F600");
    QTest::newRow("surrogate pairs kept whole")
        << "1" + face + face << 0.1 << all << QStringList{"1", face, face};
    QTest::newRow("only the lines wanted of a huge paragraph")
        << QStringLiteral("12 34 ").repeated(200000) << 0.5 << 3
        << QStringList{"12 34", "12 34", "12 34"};
    QTest::newRow("only the lines wanted of many paragraphs")
        << QStringLiteral("1\r\n").repeated(200000) << 0.5 << 2 << QStringList{"1", "1"};
}

void FlowTestReportPageTest::wrapping() {
    QFETCH(QString, text);
    QFETCH(double, width);
    QFETCH(int, maxLines);
    QFETCH(QStringList, lines);
    QCOMPARE(wrapMemoText(text, width, {12, false}, maxLines), lines);
}

void FlowTestReportPageTest::widthsAsQtLaysTextOut_data() {
    // Sums of character advances, as print and preview lay the text out.
    QTest::addColumn<QString>("text");
    QTest::newRow("pairs that could kern or join") << "AV To fi 0.9";
    QTest::newRow("tabs") << "a\tb\t\tc";
    QTest::newRow("a tab just short of its stop") << "€dYu/G4IRUA1h. cCrlO\tM";
    QTest::newRow("Greek, Chinese, an emoji") << "Αθήνα 消防栓 " + QString::fromUcs4(U"\U0001F600");
}

void FlowTestReportPageTest::widthsAsQtLaysTextOut() {
    QFETCH(QString, text);
    // At 72 pt and 1000 pixels an inch, pixels are thousandths of an inch.
    const double qtWidth = QFontMetricsF(reportQFont({72, false}, 1000)).horizontalAdvance(text);
    QCOMPARE(TextMetrics::arial().width(text, {72, false}), qtWidth / 1000);
}

QTEST_MAIN(FlowTestReportPageTest)
#include "test_flowtestreport_page.moc"
