#include "app/flowgrid.h"
#include "app/ostrelflow.h"
#include "app/reportoutputs.h"
#include "faultfs.h"
#include "options/preferences.h"
#include "report/printjobtitle.h"
#include "ui/textfields.h"
#include "testsupport.h"
#include "windowfixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGraphicsView>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

// Print, preview, the report files and the help links, from the window's
// menu commands, with dialogs answered through the prompts seam.
class ReportCommandsTest : public QObject, WindowFixture {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void previewHasItsCaptionSizeAndZoom();
    void previewShowsPageAndButtonsWithinItsWidth();
    void printerChoice_data();
    void printerChoice();
    void jobTitleNamesTheTest_data();
    void jobTitleNamesTheTest();
    void pdfAsksBeforeReplacingByFullName();
    void htmlWritesPagesAndPicturesBesideTheChosenName();
    void failedWriteShowsErrorAndLeavesNoFile();
    void helpLinks();
    void htmlErrorNamesTheFolderAndReason();
    void dialogsStartWhereTheLastFileWasAndExportsOfferTheirExtension();

};

void ReportCommandsTest::init() {
    startWindow();
    // A test with a graph: static, residual and one flow.
    window_->findChild<QLineEdit*>("eStatic")->setText("60");
    window_->findChild<QLineEdit*>("eResidual")->setText("40");
    window_->findChild<FlowGrid*>("FlowGrid")->outlets().setCell(0, 5, "1000");
    QTest::keyClick(window_->findChild<QLineEdit*>("eTime"), Qt::Key_1); // modified
}

void ReportCommandsTest::cleanup() {
    stopWindow();
}

void ReportCommandsTest::previewHasItsCaptionSizeAndZoom() {
    QString caption;
    QSize size;
    double zoom = 0;
    int pageShown = 0;
    // Notes the page cannot hold: a second page, shown as "2" when paged to.
    window_->findChild<MemoEdit*>("NotesMemo")->setText("1\n2\n3\n4\n5");
    QTimer::singleShot(0, [&] {
        QWidget* preview = QApplication::activeModalWidget();
        if (!preview || preview->objectName() != "ReportPreview")
            return;
        caption = preview->windowTitle();
        size = preview->size();
        zoom = preview->findChild<QPrintPreviewWidget*>()->zoomFactor();
        preview->findChild<QAction*>("PreviewNextPage")->trigger();
        pageShown = preview->findChild<QSpinBox*>("PreviewPageNumber")->value();
        preview->close();
    });
    window_->PreviewClick();
    const QSize screen = window_->screen()->size();
    QCOMPARE(caption, QString("Report Preview"));
    QCOMPARE(size, QSize(qMin(screen.width(), 635), qMin(screen.height(), 900)));
    QCOMPARE(zoom, 0.75);
    QCOMPARE(pageShown, 2);
    QVERIFY(window_->isModified()); // left as it was
}

// At 635 px and 75 % the page needs no horizontal scroll bar, the tool bar
// no overflow menu, and the zoom control shows the zoom in force.
void ReportCommandsTest::previewShowsPageAndButtonsWithinItsWidth() {
    QStringList hidden;
    QString zoomShown;
    QTimer::singleShot(0, [&] {
        QWidget* preview = QApplication::activeModalWidget();
        if (!preview || !QTest::qWaitForWindowExposed(preview))
            return;
        QApplication::processEvents(); // pending layouts
        if (preview->findChild<QGraphicsView*>()->horizontalScrollBar()->isVisible())
            hidden << "the page's right side";
        if (preview->findChild<QToolButton*>("qt_toolbar_ext_button")->isVisible())
            hidden << "buttons, behind an overflow menu";
        auto* bar = preview->findChild<QToolBar*>();
        for (const char* name : {"PreviewPrint", "PreviewFirstPage", "PreviewPreviousPage",
                                 "PreviewNextPage", "PreviewLastPage", "PreviewClose"})
            if (!bar->widgetForAction(preview->findChild<QAction*>(name))->isVisible())
                hidden << name;
        zoomShown = preview->findChild<QComboBox*>("PreviewZoom")->currentText();
        preview->close();
    });
    window_->PreviewClick();
    QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join(", ")));
    QCOMPARE(zoomShown, QString("75%"));
}

void ReportCommandsTest::printerChoice_data() {
    QTest::addColumn<QString>("defaultName");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("printer");
    QTest::addColumn<QString>("problem");
    const QString none = "No printer is set up on this computer. Add a printer in the system "
                         "settings, or save the report as a pdf file";
    const QString several = "No default printer is chosen on this computer, which has %1 printers: "
                            "%2. Choose the default printer in the system settings, or save the "
                            "report as a pdf file";
    const QString noName;
    QTest::newRow("default") << "Lab" << QStringList{"Office", "Lab"} << "Lab" << QString();
    QTest::newRow("only one") << noName << QStringList{"Office"} << "Office" << QString();
    QTest::newRow("none") << noName << QStringList{} << noName << none;
    QTest::newRow("two") << noName << QStringList{"Office", "Lab"} << noName
                         << several.arg(2).arg("\"Office\" and \"Lab\"");
    QTest::newRow("many") << noName << QStringList{"a", "b", "c", "d", "e", "f", "g"} << noName
                          << several.arg(7).arg("\"a\", \"b\", \"c\", \"d\", \"e\" and 2 more");
}

// Printers of the test's own: the machine's are never asked, nor sent a job.
class ListedPrinters : public Printers {
public:
    ListedPrinters(QString defaultName, QStringList names, QStringList& jobs)
        : defaultName_(std::move(defaultName)), names_(std::move(names)), jobs_(jobs) {}
    QString defaultPrinterName() const override { return defaultName_; }
    QStringList printerNames() const override { return names_; }
    void print(const QString& printer, const ComposedReport& pages,
               const ReportSystem& system) override {
        jobs_.append(QStringLiteral("%1: %2 (%3 page)").arg(printer, system.printJobTitle).arg(pages.size()));
    }

private:
    QString defaultName_;
    QStringList names_;
    QStringList& jobs_;
};

void ReportCommandsTest::printerChoice() {
    QFETCH(QString, defaultName);
    QFETCH(QStringList, names);
    QFETCH(QString, printer);
    QFETCH(QString, problem);
    QStringList jobs;
    window_->printerOutput().setPrinters(std::make_unique<ListedPrinters>(defaultName, names, jobs));
    window_->PrintClick();
    const QString title = "Hydrant Flow Test Report \u2013 " + field<QLineEdit>("eDate").text();
    QCOMPARE(jobs, printer.isEmpty() ? QStringList() : QStringList{printer + ": " + title + " (1 page)"});
    QCOMPARE(prompts().errors, problem.isEmpty() ? QStringList() : QStringList{problem + "."});
    QVERIFY(window_->isModified()); // printing changes nothing of the test
}

void ReportCommandsTest::jobTitleNamesTheTest_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("title");
    const QString report = "Hydrant Flow Test Report";
    const QString dash = " \u2013 ";
    const QString date = "05/12/2026";
    const QString none;
    QTest::newRow("date and first line") << date << QString("Main St & 3rd Ave\r\nHydrant 12")
                                         << report + dash + date + dash + "Main St & 3rd Ave";
    QTest::newRow("blank lines, tabs") << " " + date + " " << QString(" \n\tMain \t St\nx")
                                       << report + dash + date + dash + "Main St";
    QTest::newRow("no date") << none << QString("Main St") << report + dash + "Main St";
    QTest::newRow("no location") << date << QString(" \r\n ") << report + dash + date;
    QTest::newRow("neither") << none << none << report;
    QTest::newRow("long line cut")
        << none << QString(100, 'a') << report + dash + QString(79, 'a') + "\u2026";
    QTest::newRow("cut before a pair") << none << QString(78, 'a') + "\U0001F6D2" + QString(9, 'b')
                                       << report + dash + QString(78, 'a') + "\u2026";
}

void ReportCommandsTest::jobTitleNamesTheTest() {
    QFETCH(QString, date);
    QFETCH(QString, location);
    QTEST(printJobTitle(date, location), "title");
}

void ReportCommandsTest::pdfAsksBeforeReplacingByFullName() {
    prompts().saveAnswers.append({file("report"), file("report.pdf"), file("report.pdf")});
    window_->SaveasPdf(); // the suffix is added
    const QByteArray first = fileBytes(file("report.pdf"));
    QVERIFY(first.startsWith("%PDF-"));
    QVERIFY(prompts().questions.isEmpty());
    QCOMPARE(prompts().saveRequests[0].filter, QString("pdf files (*.pdf)|*.pdf"));
    QCOMPARE(prompts().saveRequests[0].defaultSuffix, QString("pdf"));

    window_->SaveasPdf(); // answered No
    QCOMPARE(prompts().questions,
             QStringList{QString("Overwrite the existing file \"%1\"?").arg(file("report.pdf"))});
    QCOMPARE(prompts().saveRequests[1].initialName, QString("report.pdf"));
    QCOMPARE(fileBytes(file("report.pdf")), first);

    prompts().yesNoAnswers.enqueue(true);
    window_->findChild<QLineEdit*>("eStatic")->setText("70");
    window_->SaveasPdf();
    QVERIFY(fileBytes(file("report.pdf")) != first);
    QVERIFY(window_->isModified());

    // Save then offers the report's name as a test's, with the test filter.
    window_->SaveClick();
    QCOMPARE(prompts().saveRequests.last().initialName, QString("report.oft"));
    QCOMPARE(prompts().saveRequests.last().filter, QString("Ostrel Hydrant Flow Test |*.oft;*oft"));
}

void ReportCommandsTest::htmlWritesPagesAndPicturesBesideTheChosenName() {
    const QString workingFolder = QDir::currentPath();
    prompts().saveAnswers.append({file("report.html"), file("report.html")});
    window_->SaveAsHtmlClick();
    QVERIFY(prompts().questions.isEmpty());
    QCOMPARE(prompts().saveRequests[0].filter, QString("Web Page (HTML)|*.html;*.htm"));
    const QByteArray page = fileBytes(file("report1.html"));
    QVERIFY(page.contains("<!DOCTYPE html>"));
    const QStringList pictures = QDir(file("report")).entryList({"*.jpg"});
    QCOMPARE(pictures.size(), 1);
    QVERIFY(page.contains("src=\"report/" + pictures[0].toUtf8() + '"'));
    const QByteArray picture = fileBytes(file("report/") + pictures[0]);

    window_->findChild<QLineEdit*>("eStatic")->setText("70"); // a different report
    window_->SaveAsHtmlClick();                               // answered No
    QCOMPARE(prompts().questions, QStringList{"Overwrite the existing file \"report1.html\"?"});
    QCOMPARE(fileBytes(file("report1.html")), page);
    QCOMPARE(fileBytes(file("report/") + pictures[0]), picture);
    QCOMPARE(QDir::currentPath(), workingFolder);
}

void ReportCommandsTest::failedWriteShowsErrorAndLeavesNoFile() {
    QDir().mkpath(file("shelf"));
    ReadOnlyFolder shelf(file("shelf"));
    if (!shelf.usable())
        QSKIP("needs root for a read-only mount");
    QVERIFY(shelf.protect());
    prompts().saveAnswers.append({file("shelf/report.pdf"), file("shelf/page.html")});
    window_->SaveasPdf();
    window_->SaveAsHtmlClick();
    QCOMPARE(prompts().errors.size(), 2);
    QVERIFY2(prompts().errors[0].startsWith("Cannot create file"), qPrintable(prompts().errors[0]));
    QCOMPARE(
        prompts().errors[1],
        QString("Cannot create folder \"%1\". Read-only file system.").arg(file("shelf/page")));
    QVERIFY(QDir(file("shelf")).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

void ReportCommandsTest::dialogsStartWhereTheLastFileWasAndExportsOfferTheirExtension() {

    QDir().mkpath(file("tests"));
    QDir().mkpath(file("reports"));
    prompts().saveAnswers.append({file("tests/mytest.oft"), file("reports/report.pdf")});
    window_->SaveClick();
    QCOMPARE(prompts().saveRequests[0].startFolder, QString()); // none remembered yet
    window_->SaveasPdf();
    QCOMPARE(prompts().saveRequests[1].startFolder, file("tests"));
    QCOMPARE(prompts().saveRequests[1].initialName, QString("mytest.pdf"));
    window_->SaveAsHtmlClick(); // cancelled
    QCOMPARE(prompts().saveRequests[2].startFolder, file("reports"));
    QCOMPARE(prompts().saveRequests[2].initialName, QString("report.html"));
    window_->OpenClick(); // cancelled
    QCOMPARE(prompts().openRequests[0].startFolder, file("reports"));

    // The next run starts there too; the options file keeps no folder.
    auto kept = std::move(dir_);
    cleanup();
    dir_ = std::move(kept);
    window_ = std::make_unique<TFlowTest>(QStringList{file("tests/mytest.oft")},
                                          std::make_unique<ScriptedPrompts>());
    window_->OpenClick();
    QCOMPARE(prompts().openRequests[0].startFolder, file("reports"));
    window_->show(); // opens the file named on the command line
    window_->OpenClick();
    QCOMPARE(prompts().openRequests[1].startFolder, file("tests"));
    QVERIFY(!fileBytes(file("appdata/Ostrel/FlowTest/WindowState.INI")).isEmpty());
    QVERIFY(!fileBytes(file("appdata/Ostrel/FlowTest/FlowTest20.INI")).contains("tests"));

    // A test saved under another extension is offered that name again.
    prompts().saveAnswers.append(file("tests/data.txt"));
    window_->SaveClick();
    window_->SaveClick(); // cancelled
    QCOMPARE(prompts().saveRequests.last().initialName, QString("data.txt"));
}

void ReportCommandsTest::htmlErrorNamesTheFolderAndReason() {
    QFile taken(file("taken"));
    QVERIFY(taken.open(QIODevice::WriteOnly));
    taken.close();
    prompts().saveAnswers.append({file("taken.html"), file("taken/inside.html")});
    window_->SaveAsHtmlClick(); // the picture folder's name is a file
    window_->SaveAsHtmlClick(); // the chosen folder is a file
    QCOMPARE(
        prompts().errors,
        QStringList(
            {QString("Cannot create folder \"%1\". File exists.").arg(file("taken")),
             QString("Cannot create folder \"%1\". Not a directory.").arg(file("taken/inside"))}));
}

void ReportCommandsTest::helpLinks() {
    window_->SendMailClick();
    window_->WebSiteClick();
    QCOMPARE(prompts().addresses,
             QStringList(
                 {"mailto:support@ostrel.com?subject=Hydrant Flow Test", "http://www.ostrel.com"}));
}

QTEST_MAIN(ReportCommandsTest)
#include "test_reportcommands.moc"
