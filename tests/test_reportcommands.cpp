#include "app/flowgrid.h"
#include "app/ostrelflow.h"
#include "faultfs.h"
#include "options/preferences.h"
#include "scriptedprompts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// Print, preview, the report files and the help links, from the window's
// menu commands, with dialogs answered through the prompts seam.
class ReportCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void previewHasItsCaptionSizeAndZoom();
    void printWithoutPrinterSaysSo();
    void pdfAsksBeforeReplacingByFullName();
    void htmlWritesPagesAndPicturesBesideTheChosenName();
    void failedWriteShowsErrorAndLeavesNoFile();
    void helpLinks();

private:
    ScriptedPrompts& prompts() { return static_cast<ScriptedPrompts&>(window_->prompts()); }
    QString file(const char* name) const { return dir_->filePath(QString::fromLatin1(name)); }
    static QByteArray contents(const QString& name) {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TFlowTest> window_;
    std::unique_ptr<TfrmPreferences> preferences_;
};

void ReportCommandsTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    qputenv("APPDATA", dir_->filePath("appdata").toLocal8Bit());
    QDir().mkpath(dir_->filePath("appdata"));
    window_ = std::make_unique<TFlowTest>(QStringList{}, std::make_unique<ScriptedPrompts>());
    preferences_ = std::make_unique<TfrmPreferences>(window_.get());
    window_->setPreferences(preferences_.get());
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    // A test with a graph: static, residual and one flow.
    window_->findChild<QLineEdit*>("eStatic")->setText("60");
    window_->findChild<QLineEdit*>("eResidual")->setText("40");
    window_->findChild<FlowGrid*>("FlowGrid")->outlets().setCell(0, 5, "1000");
    QTest::keyClick(window_->findChild<QLineEdit*>("eTime"), Qt::Key_1); // modified
}

void ReportCommandsTest::cleanup() {
    preferences_.reset();
    window_.reset();
    dir_.reset();
}

void ReportCommandsTest::previewHasItsCaptionSizeAndZoom() {
    QString caption;
    QSize size;
    double zoom = 0;
    QTimer::singleShot(0, [&] {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!preview)
            return;
        caption = preview->windowTitle();
        size = preview->size();
        zoom = preview->findChild<QPrintPreviewWidget*>()->zoomFactor();
        preview->reject();
    });
    window_->PreviewClick();
    const QSize screen = window_->screen()->size();
    QCOMPARE(caption, QString("Report Preview"));
    QCOMPARE(size, QSize(qMin(screen.width(), 635), qMin(screen.height(), 900)));
    QCOMPARE(zoom, 0.75);
    QVERIFY(window_->isModified()); // left as it was
}

void ReportCommandsTest::printWithoutPrinterSaysSo() {
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("this machine has a printer");
    window_->PrintClick();
    QCOMPARE(prompts().errors.size(), 1);
    QVERIFY(prompts().errors[0].startsWith("No printer is set up"));
    QVERIFY(window_->isModified());
}

void ReportCommandsTest::pdfAsksBeforeReplacingByFullName() {
    prompts().saveAnswers.append({file("report"), file("report.pdf"), file("report.pdf")});
    window_->SaveasPdf(); // the suffix is added
    const QByteArray first = contents(file("report.pdf"));
    QVERIFY(first.startsWith("%PDF-"));
    QVERIFY(prompts().questions.isEmpty());
    QCOMPARE(prompts().saveRequests[0].filter, QString("pdf files (*.pdf)|*.pdf"));
    QCOMPARE(prompts().saveRequests[0].defaultSuffix, QString("pdf"));

    window_->SaveasPdf(); // answered No
    QCOMPARE(prompts().questions,
             QStringList{QString("Overwrite the existing file \"%1\"?").arg(file("report.pdf"))});
    QCOMPARE(prompts().saveRequests[1].initialName, QString("report.pdf"));
    QCOMPARE(contents(file("report.pdf")), first);

    prompts().yesNoAnswers.enqueue(true);
    window_->findChild<QLineEdit*>("eStatic")->setText("70");
    window_->SaveasPdf();
    QVERIFY(contents(file("report.pdf")) != first);
    QVERIFY(window_->isModified());

    // Save then offers the report's name, with the test filter.
    window_->SaveClick();
    QCOMPARE(prompts().saveRequests.last().initialName, QString("report.pdf"));
    QCOMPARE(prompts().saveRequests.last().filter, QString("Ostrel Hydrant Flow Test |*.oft;*oft"));
}

void ReportCommandsTest::htmlWritesPagesAndPicturesBesideTheChosenName() {
    const QString workingFolder = QDir::currentPath();
    prompts().saveAnswers.append({file("report.html"), file("report.html")});
    window_->SaveAsHtmlClick();
    QVERIFY(prompts().questions.isEmpty());
    QCOMPARE(prompts().saveRequests[0].filter, QString("Web Page (HTML)|*.html;*.htm"));
    const QByteArray page = contents(file("report1.html"));
    QVERIFY(page.contains("<!DOCTYPE html>"));
    const QStringList pictures = QDir(file("report")).entryList({"*.jpg"});
    QCOMPARE(pictures.size(), 1);
    QVERIFY(page.contains("src=\"report/" + pictures[0].toUtf8() + '"'));
    const QByteArray picture = contents(file("report/") + pictures[0]);

    window_->findChild<QLineEdit*>("eStatic")->setText("70"); // a different report
    window_->SaveAsHtmlClick();                               // answered No
    QCOMPARE(prompts().questions, QStringList{"Overwrite the existing file \"report1.html\"?"});
    QCOMPARE(contents(file("report1.html")), page);
    QCOMPARE(contents(file("report/") + pictures[0]), picture);
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
    QCOMPARE(prompts().errors[1],
             QString("Cannot create folder \"%1\". Read-only file system.").arg(file("shelf/page")));
    QVERIFY(QDir(file("shelf")).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
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
