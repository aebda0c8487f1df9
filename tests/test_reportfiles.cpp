#include "documenttesthelpers.h"
#include "testsupport.h"
#include "faultfs.h"
#include "report/composer.h"
#include "report/flowtestreport.h"
#include "report/htmlwriter.h"
#include "report/jpegencoder.h"
#include "report/pdfwriter.h"
#include "report/textmetrics.h"
#include "textfile/filewriter.h"
#include "textfile/textfile.h"

#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

QPicture graphPicture() {
    QPicture picture;
    QPainter painter(&picture);
    painter.drawLine(0, 0, 600, 270);
    painter.drawLine(0, 270, 600, 0);
    painter.drawRect(10, 10, 580, 250);
    painter.end();
    picture.setBoundingRect(QRect(0, 0, 600, 270));
    return picture;
}

const QRectF graphRect(1.2, 3.0, 6.1, 6.1 * 270 / 600);

ComposedReport sampleReport(const QString& location = QStringLiteral("Main & 5th")) {
    ComposedPage page;
    page.items = {
        TextRun{QStringLiteral("Flow Test"), {22, true}, {3.0, 1.0}, {}},
        TextRun{QStringLiteral("Location: ") + location, {12, false}, {1.0, 1.5}, {}},
        TextRun{
            QStringLiteral("Clipped away"), {12, false}, {1.0, 2.0}, QRectF(0.9, 1.8, 0.5, 0.3)},
        RuleLine{{1.0, 2.2}, {7.5, 2.2}, 1.0 / 72},
        PagePicture{graphRect, graphPicture()},
        PagePicture{QRectF(1, 9, 1, 1), QPicture()}, // blank: prints nothing
    };
    return {page};
}

bool haveTool(const char* name) {
    return !QStandardPaths::findExecutable(QLatin1String(name)).isEmpty();
}

QString toolOutput(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Dark pixels of a page rendered at 72 dpi, in a rectangle given in inches.
int inkCount(const QImage& page, const QRectF& inches) {
    const QRect pixels = QRectF(inches.topLeft() * 72, inches.size() * 72).toRect() & page.rect();
    int dark = 0;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            dark += qGray(page.pixel(x, y)) < 128;
    return dark;
}
bool inkIn(const QImage& page, const QRectF& inches) {
    return inkCount(page, inches) > 0;
}

} // namespace

class ReportFilesTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        dir_.emplace();
        QVERIFY(dir_->isValid());
    }

    void pdfPageAndInformation();
    void pdfTextsAtTheirPlaces();
    void pdfOfATypicalTestKeepsOrderAndPlaces();
    void pdfClipAndPictureOnThePage();
    void pdfChineseGlyphsWhole();
    void pdfFontsEmbeddedOnlyBeyondWinAnsi_data();
    void pdfFontsEmbeddedOnlyBeyondWinAnsi();
    void pdfPictureIsTheJpegAsEncoded();
    void pdfOfLongTexts_data();
    void pdfOfLongTexts();
    void pdfOfAHugeRunAndItsErrorExcerpt();
    void jpegOfAnImage();
    void jpegErrorIsAnException();
    void htmlFilesAndPictureLinks_data();
    void htmlFilesAndPictureLinks();
    void htmlTextIsEscaped();
    void failedWriteKeepsOldFiles_data();
    void failedWriteKeepsOldFiles();
    void htmlSetReplacesTheOldOneWhole();

private:
    QString writePdf(const ComposedReport& report) {
        const QString fileName = path(QStringLiteral("report.pdf"));
        writePdfFile(fileName, report);
        return fileName;
    }
    QImage renderedAt72Dpi(const ComposedReport& report) {
        toolOutput("pdftoppm",
                   {"-r", "72", "-gray", "-singlefile", writePdf(report), path("page")});
        return QImage(path("page.pgm"));
    }
    QString path(const QString& name) const { return dir_->filePath(name); }
    std::optional<QTemporaryDir> dir_;
};

void ReportFilesTest::pdfPageAndInformation() {
    if (!haveTool("pdfinfo"))
        QSKIP("pdfinfo (poppler-utils) is not installed");
    const QString info = toolOutput("pdfinfo", {writePdf(sampleReport())});
    QVERIFY2(info.contains(QRegularExpression("Page size:\\s+612 x 792 pts \\(letter\\)")),
             qPrintable(info));
    QVERIFY(info.contains(QRegularExpression("Pages:\\s+1\n")));
    QVERIFY(info.contains(QRegularExpression("Keywords:\\s+hydrant flow test\n")));
    QVERIFY(info.contains(QRegularExpression(
        "Creator:\\s+Ostrel Hydrant Flow Test \\(http://www\\.ostrel\\.com\\)\n")));
}

void ReportFilesTest::pdfTextsAtTheirPlaces() {
    if (!haveTool("pdftotext"))
        QSKIP("pdftotext (poppler-utils) is not installed");
    const QString boxes = toolOutput("pdftotext", {"-bbox", writePdf(sampleReport()), "-"});
    const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">([^<]*)</word>)re");
    QStringList words;
    QList<QRectF> boxesInInches;
    for (const auto& m : word.globalMatch(boxes)) {
        words << m.captured(4);
        boxesInInches << QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()) / 72,
                                QPointF(0, m.captured(3).toDouble()) / 72);
    }
    QCOMPARE(words.mid(0, 5), QStringList({"Flow", "Test", "Location:", "Main", "&amp;"}));
    // Starts where composed, with the baseline in the lower part of the box
    // (ascent above it, descent below).
    const auto sitsAt = [](const QRectF& box, double x, double baseline) {
        return qAbs(box.left() - x) < 0.01 && baseline < box.bottom() &&
               baseline - box.top() > 2 * (box.bottom() - baseline);
    };
    QVERIFY(sitsAt(boxesInInches[0], 3.0, 1.0));
    QVERIFY(sitsAt(boxesInInches[2], 1.0, 1.5));
}

void ReportFilesTest::pdfOfATypicalTestKeepsOrderAndPlaces() {
    if (!haveTool("pdftotext"))
        QSKIP("pdftotext (poppler-utils) is not installed");
    ReportSnapshot snapshot;
    TestRecord& test = snapshot.test;
    test.date = "5/16/2023";
    test.staticPressure = "72";
    test.residualPressure = "58";
    test.location = QStringList{"400 block of Oak Street"};
    for (const char* flow : {"712", "650", "517"})
        test.outlets.append(OutletRow{{"#1", "409", "2.5", "0.9", "18", flow}});
    snapshot.settings.testedBy = {"J. Smith"};
    const ComposedReport report = composeFlowTestReport(snapshot);

    // Every word of the composed page, in drawing order, with where it starts.
    QStringList expectedWords;
    QList<QPointF> expectedStarts; // x and baseline, inches
    for (const PageItem& item : report.first().items) {
        const auto* run = std::get_if<TextRun>(&item);
        if (!run)
            continue;
        qsizetype start = 0;
        for (const QString& word : run->text.split(' ')) {
            const double x =
                run->origin.x() + TextMetrics::arial().width(run->text.left(start), run->font);
            start += word.size() + 1;
            if (word.isEmpty())
                continue;
            expectedWords << word;
            expectedStarts << QPointF(x, run->origin.y());
        }
    }
    const QString boxes = toolOutput("pdftotext", {"-bbox", "-raw", writePdf(report), "-"});
    const QRegularExpression wordBox(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">([^<]*)</word>)re");
    QStringList words;
    for (const auto& m : wordBox.globalMatch(boxes)) {
        const qsizetype i = words.size();
        words << m.captured(4).replace("&amp;", "&");
        QVERIFY(i < expectedStarts.size());
        const double left = m.captured(1).toDouble() / 72;
        const double top = m.captured(2).toDouble() / 72;
        const double bottom = m.captured(3).toDouble() / 72;
        QVERIFY2(qAbs(left - expectedStarts[i].x()) < 0.01, qPrintable(words.last()));
        QVERIFY2(top < expectedStarts[i].y() && expectedStarts[i].y() < bottom,
                 qPrintable(words.last()));
    }
    QCOMPARE(words, expectedWords);
}

void ReportFilesTest::pdfClipAndPictureOnThePage() {
    if (!haveTool("pdftoppm"))
        QSKIP("pdftoppm (poppler-utils) is not installed");
    const QImage page = renderedAt72Dpi(sampleReport());
    QCOMPARE(page.size(), QSize(612, 792));
    // "Clipped away" on the baseline at 2 in, clipped to 0.9..1.4 in across.
    QVERIFY(inkIn(page, QRectF(1.0, 1.85, 0.38, 0.2)));
    QVERIFY(!inkIn(page, QRectF(1.42, 1.85, 0.8, 0.2)));
    // The picture's frame lies 10/600 and 10/270 inside the picture's rectangle.
    const double frameRight = graphRect.left() + graphRect.width() * 590 / 600;
    const double frameBottom = graphRect.top() + graphRect.height() * 260 / 270;
    QVERIFY(inkIn(page, QRectF(frameRight - 0.03, 4.0, 0.06, 0.1)));
    QVERIFY(inkIn(page, QRectF(4.0, frameBottom - 0.03, 0.1, 0.06)));
}

void ReportFilesTest::pdfChineseGlyphsWhole() {
    if (!haveTool("pdftoppm"))
        QSKIP("pdftoppm (poppler-utils) is not installed");
    // Each character on the first line is the one below it plus a part: the
    // parts of composite glyphs must be embedded too.
    ComposedPage page;
    page.items = {TextRun{QStringLiteral("消防栓"), {48, false}, {1.0, 2.0}, {}},
                  TextRun{QStringLiteral("肖方全"), {48, false}, {1.0, 4.0}, {}}};
    const QImage rendered = renderedAt72Dpi({page});
    const auto ink = [&](double baseline) {
        return inkCount(rendered, QRectF(1.0, baseline - 0.8, 3, 1));
    };
    QCOMPARE_GT(ink(2.0), 1.2 * ink(4.0));
}

void ReportFilesTest::pdfFontsEmbeddedOnlyBeyondWinAnsi_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("embeddedFont");
    QTest::newRow("WinAnsi only") << QStringLiteral("Café – ½ € “ok”") << QString();
    QTest::newRow("Greek") << QStringLiteral("Ωμέγα") << QStringLiteral("LiberationSans");
    QTest::newRow("Cyrillic") << QStringLiteral("Привет") << QStringLiteral("LiberationSans");
    QTest::newRow("Chinese") << QStringLiteral("消防栓") << QStringLiteral("DroidSansFallback");
    QTest::newRow("mixed in one run")
        << QStringLiteral("Flow Привет 消防栓 ok") << QStringLiteral("DroidSansFallback");
}

void ReportFilesTest::pdfFontsEmbeddedOnlyBeyondWinAnsi() {
    QFETCH(QString, text);
    QFETCH(QString, embeddedFont);
    if (!haveTool("pdffonts") || !haveTool("pdftotext"))
        QSKIP("pdffonts or pdftotext (poppler-utils) is not installed");
    const QString fileName = writePdf(sampleReport(text));
    const QStringList fonts = toolOutput("pdffonts", {fileName}).split('\n').mid(2);
    // Columns: name type encoding emb sub uni object ID.
    const QRegularExpression helvetica(R"(^Helvetica(-Bold)?\s+Type 1\s+WinAnsi\s+no\s)");
    QCOMPARE(fonts.filter(helvetica).size(), 2);
    const QStringList embedded = fonts.filter(QRegularExpression(R"(\syes\s+yes\s+yes\s)"));
    if (embeddedFont.isEmpty()) {
        QCOMPARE(fonts.filter(QRegularExpression("\\S")).size(), 2);
    } else {
        QVERIFY2(!embedded.filter(embeddedFont).isEmpty(), qPrintable(fonts.join('\n')));
    }
    const QString pdfText = toolOutput("pdftotext", {fileName, "-"});
    QVERIFY2(pdfText.simplified().contains("Location: " + text), qPrintable(pdfText));
}

void ReportFilesTest::pdfPictureIsTheJpegAsEncoded() {
    if (!haveTool("pdfimages"))
        QSKIP("pdfimages (poppler-utils) is not installed");
    const QString fileName = writePdf(sampleReport());
    const QStringList rows = toolOutput("pdfimages", {"-list", fileName}).split('\n').mid(2);
    const QStringList images = rows.filter(QRegularExpression("\\S"));
    QCOMPARE(images.size(), 1);
    const QStringList columns = images.first().split(' ', Qt::SkipEmptyParts);
    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi ...
    QCOMPARE(columns.mid(3, 3), QStringList({"1830", "824", "rgb"}));
    QCOMPARE(columns[8], "jpeg");
    QCOMPARE(columns.mid(12, 2), QStringList({"300", "300"}));
    toolOutput("pdfimages", {"-j", fileName, path("img")});
    QCOMPARE(fileBytes(path("img-000.jpg")), pagePictureJpeg({graphRect, graphPicture()}));
}

void ReportFilesTest::pdfOfLongTexts_data() {
    // The run that starts with `start` still covers [shownFrom, shownTo] (on
    // the paper, inside its clip), anchored as its alignment puts it.
    QTest::addColumn<TestRecord>("test");
    QTest::addColumn<QString>("start");
    QTest::addColumn<double>("shownFrom");
    QTest::addColumn<double>("shownTo");
    QTest::addColumn<char>("anchor"); // l: starts at shownFrom, r: ends at shownTo, c: neither
    QTest::newRow("date, cut before the time's caption")
        << TestRecord(Record().date(QString(100000, 'D'))) << "DDD" << 3.35 << 4.55 << 'l';
    QTest::newRow("zero-width characters")
        << TestRecord(Record().date("D" + QString(100000, QChar(0x200B)))) << "D" << 3.35 << 3.35
        << 'l';
    QTest::newRow("right-to-left date") << TestRecord(Record().date(QString(100000, QChar(0x05D0))))
                                        << QString(QChar(0x05D0)) << 3.35 << 3.35 << 'l';
    QTest::newRow("static, right-aligned and cut")
        << TestRecord(Record().staticPressure(QString(100000, '7'))) << "777" << 5.25 << 5.95 << 'r';
    QTest::newRow("outlet, centred and cut")
        << TestRecord(Record().outlet({QString(100000, 'O')})) << "OOO" << 1.75 << 2.35 << 'c';
    QTest::newRow("one word in the notes")
        << TestRecord(Record().notes({QString(100000, 'W')})) << "WWW" << 1.0 << 1.0 << 'l';
}

void ReportFilesTest::pdfOfLongTexts() {
    QFETCH(TestRecord, test);
    QFETCH(QString, start);
    QFETCH(double, shownFrom);
    QFETCH(double, shownTo);
    QFETCH(char, anchor);
    ReportSnapshot snapshot;
    snapshot.test = test;
    const ComposedReport report = composeFlowTestReport(snapshot);
    const TextRun* found = nullptr;
    for (const PageItem& item : report.first().items) {
        const auto* run = std::get_if<TextRun>(&item);
        QVERIFY(!run || run->text.size() <= longestTextRun);
        if (run && !found && run->text.startsWith(start))
            found = run;
    }
    QVERIFY(found);
    const double left = found->origin.x();
    const double right = left + TextMetrics::arial().width(found->text, found->font);
    QVERIFY2(left <= shownFrom + 1e-6 && right >= shownTo - 1e-6,
             qPrintable(QStringLiteral("%1 to %2").arg(left).arg(right)));
    QVERIFY(anchor != 'l' || qAbs(left - shownFrom) < 1e-6);
    QVERIFY(anchor != 'r' || qAbs(right - shownTo) < 1e-6);
    const QString fileName = writePdf(report);
    if (haveTool("pdfinfo"))
        QVERIFY(toolOutput("pdfinfo", {fileName})
                    .contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\n").arg(report.size()))));
}

void ReportFilesTest::pdfOfAHugeRunAndItsErrorExcerpt() {
    // More than libharu takes in one string: drawn piece by piece.
    ComposedPage page;
    page.items = {TextRun{QString(70000, 'x'), {12, false}, {1.0, 2.0}, {}}};
    QVERIFY(pdfBytes({page}).startsWith("%PDF"));
    // At a size libharu refuses, the message quotes only the run's start.
    std::get<TextRun>(page.items[0]).font.pointSize = 1000;
    try {
        pdfBytes({page});
        QFAIL("libharu took a 1000 pt font");
    } catch (const PdfError& error) {
        QVERIFY2(error.message().contains('"' + QString(60, 'x') + QChar(0x2026) + '"'),
                 qPrintable(error.message()));
        QCOMPARE_LT(error.message().size(), 200);
    }
}

void ReportFilesTest::jpegOfAnImage() {
    QImage image(40, 20, QImage::Format_ARGB32);
    image.fill(Qt::red);
    image.setDotsPerMeterX(11811); // 300 dpi
    image.setDotsPerMeterY(11811);
    const QByteArray jpeg = encodeJpeg(image);
    QVERIFY(jpeg.startsWith("\xFF\xD8"));
    const QImage decoded = QImage::fromData(jpeg, "JPEG");
    QCOMPARE(decoded.size(), QSize(40, 20));
    QCOMPARE(qRound(decoded.dotsPerMeterX() * 0.0254), 300);
    const QColor centre = decoded.pixelColor(20, 10);
    QVERIFY(centre.red() > 240 && centre.green() < 16 && centre.blue() < 16);
}

void ReportFilesTest::jpegErrorIsAnException() {
    QVERIFY_THROWS_EXCEPTION(JpegError, encodeJpeg(QImage()));
    QVERIFY(encodeJpeg(QImage(1, 1, QImage::Format_RGB32)).startsWith("\xFF\xD8")); // still usable
}

void ReportFilesTest::htmlFilesAndPictureLinks_data() {
    QTest::addColumn<QString>("baseName");
    QTest::addColumn<QString>("pictureLink");
    QTest::newRow("plain") << "report"
                           << "report/page1-picture1.jpg";
    QTest::newRow("space and #") << "my report #2"
                                 << "my%20report%20%232/page1-picture1.jpg";
}

void ReportFilesTest::htmlFilesAndPictureLinks() {
    QFETCH(QString, baseName);
    QFETCH(QString, pictureLink);
    writeHtmlReport(sampleReport() + sampleReport(), dir_->path(), baseName, ".html");
    const QByteArray page = fileBytes(path(baseName + "1.html"));
    QVERIFY(page.contains("<meta charset=\"utf-8\">"));
    QVERIFY(page.contains("<img class=\"p\" src=\"" + pictureLink.toUtf8() + '"'));
    QVERIFY(fileBytes(path(baseName + "2.html")).contains("page2-picture1.jpg"));
    const QDir pictures(path(baseName));
    QCOMPARE(pictures.entryList(QDir::Files),
             QStringList({"page1-picture1.jpg", "page2-picture1.jpg"})); // the blank one has none
    QCOMPARE(QImage(pictures.filePath("page1-picture1.jpg")).size(), QSize(1830, 824));
}

void ReportFilesTest::htmlTextIsEscaped() {
    writeHtmlReport(sampleReport("<script>alert('1')</script> & \"x\""), dir_->path(), "r", ".htm");
    const QByteArray page = fileBytes(path("r1.htm"));
    QVERIFY(!page.contains("<script"));
    QVERIFY(page.contains(
        "Location: &lt;script&gt;alert(&#39;1&#39;)&lt;/script&gt; &amp; &quot;x&quot;"));
}

void ReportFilesTest::failedWriteKeepsOldFiles_data() {
    QTest::addColumn<bool>("html");
    QTest::addColumn<QString>("newBaseName");
    QTest::newRow("PDF") << false << "report";
    QTest::newRow("HTML over the old pages") << true << "report";
    QTest::newRow("HTML needing a picture folder") << true << "other";
}

void ReportFilesTest::failedWriteKeepsOldFiles() {
    QFETCH(bool, html);
    QFETCH(QString, newBaseName);
    const QString folder = path("locked");
    QVERIFY(QDir().mkpath(folder));
    ReadOnlyFolder device(folder);
    if (!device.usable())
        QSKIP("cannot make a read-only folder here");
    const auto write = [&](const QString& baseName, const QString& location) {
        if (html)
            writeHtmlReport(sampleReport(location), folder, baseName, ".html");
        else
            writePdfFile(folder + '/' + baseName + "1.html", sampleReport(location));
    };
    write("report", "old");
    const QByteArray old = fileBytes(folder + "/report1.html");
    const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden);
    QVERIFY(device.protect());
    QVERIFY_THROWS_EXCEPTION(FileError, write(newBaseName, "new"));
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden), before);
    QCOMPARE(fileBytes(folder + "/report1.html"), old);
}

void ReportFilesTest::htmlSetReplacesTheOldOneWhole() {
    const auto report = [](int pages, const QString& location) {
        ComposedReport report;
        for (int k = 0; k < pages; ++k)
            report += sampleReport(location);
        return report;
    };
    writeHtmlReport(report(3, "old"), dir_->path(), "report", ".html");
    // Names the writer does not make are never its to remove.
    const QStringList others{"report/notes.txt", "report/page3-picture1.jpg.old", "report04.html",
                             "report3.html.bak", "reportx1.html"};
    for (const QString& name : others)
        writeWholeFile(path(name), "keep");
    const QStringList oldSet = everythingIn(dir_->path());

    // A failed export, at its largest file, leaves every old file as it was.
    const QByteArray oldPage = fileBytes(path("report1.html"));
    {
        const FileSizeLimit limit(oldPage.size() * 2);
        QVERIFY_THROWS_EXCEPTION(
            FileError, writeHtmlReport(report(2, "new"), dir_->path(), "report", ".html"));
    }
    QCOMPARE(everythingIn(dir_->path()), oldSet);
    QCOMPARE(fileBytes(path("report1.html")), oldPage);

    // A shorter report removes the old one's third page and its picture.
    writeHtmlReport(report(2, "new"), dir_->path(), "report", ".html");
    QVERIFY(fileBytes(path("report1.html")).contains("Location: new"));
    QStringList newSet = oldSet;
    newSet.removeAll("report3.html");
    newSet.removeAll("report/page3-picture1.jpg");
    QCOMPARE(everythingIn(dir_->path()), newSet);

    // A report is written into its folder, which it never makes.
    QVERIFY_THROWS_EXCEPTION(FileError, writeHtmlReport(report(1, ""), path("gone"), "r", ".html"));
    QVERIFY(!QFileInfo::exists(path("gone")));
}

QTEST_MAIN(ReportFilesTest)
#include "test_reportfiles.moc"
