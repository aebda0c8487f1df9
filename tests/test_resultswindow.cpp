#include "app/analysisinputs.h"
#include "app/flowgrid.h"
#include "app/ostrelflow.h"
#include "app/resultswindow.h"
#include "options/preferences.h"
#include "testsupport.h"
#include "windowfixture.h"
#include "ui/windowplacement.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The results window beside the main window, through the real widgets.
class ResultsWindowTest : public QObject, WindowFixture {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void placedBesideTheOwner_data();
    void placedBesideTheOwner();
    void f6ShowsResultsThatFollowTyping();
    void copiesTextLinesAndTheGraph();
    void followsOutletsOptionsAndNew();
    void shownStateAndPlaceKeptBetweenRuns();
    void analysisIsPartOfTheTest();

private:
    QString shown(const char* name) const {
        return window_->resultsWindow().findChild<QLabel*>(name)->text();
    }
    void type(const char* field, const QString& text) {
        auto* edit = window_->findChild<QLineEdit*>(field);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
};

void ResultsWindowTest::init() {
    startWindow();
}

void ResultsWindowTest::cleanup() {
    stopWindow();
}

void ResultsWindowTest::placedBesideTheOwner_data() {
    QTest::addColumn<QRect>("owner");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("room on the right") << QRect(100, 50, 440, 490) << QRect(548, 50, 400, 500);
    QTest::newRow("only on the left") << QRect(800, 50, 440, 490) << QRect(392, 50, 400, 500);
    QTest::newRow("no room: over it") << QRect(300, 50, 700, 490) << QRect(300, 50, 400, 500);
    QTest::newRow("kept on the screen") << QRect(100, 700, 440, 490) << QRect(548, 524, 400, 500);
}

void ResultsWindowTest::placedBesideTheOwner() {
    QFETCH(QRect, owner);
    QFETCH(QRect, expected);
    QCOMPARE(placeBeside(owner, QSize(400, 500), QRect(0, 0, 1280, 1024)), expected);
}

void ResultsWindowTest::f6ShowsResultsThatFollowTyping() {
    ResultsWindow& results = window_->resultsWindow();
    QVERIFY(!results.isVisible());
    QTest::keyClick(window_.get(), Qt::Key_F6);
    QVERIFY(results.isVisible());
    QCOMPARE(results.windowTitle(), QString("Flow Test Results"));
    QCOMPARE(results.parentWidget(), window_.get()); // owned: above it, no task-bar button
    QVERIFY(results.windowFlags().testFlag(Qt::Tool));
    QCOMPARE(shown("rated"), QString("–"));

    type("eStatic", "72");
    type("eResidual", "58");
    auto& grid = *window_->findChild<FlowGrid*>("FlowGrid");
    grid.setCurrentCell(5, 1);
    QTest::keyClicks(grid.cellEditor(), "1879"); // the cell is not left
    QTRY_COMPARE(shown("total"), QString("1879 gpm"));
    const QString rated = shown("rated");
    QVERIFY(rated.endsWith(" gpm"));
    type("eStatic", "80"); // a new static pressure changes the rated flow at once
    QTRY_VERIFY(shown("rated") != rated);
    QVERIFY(window_->isModified()); // the test is the window's, as before

    // Before printing: notes the page cannot hold print on a page of their own.
    auto* notes = window_->findChild<QWidget*>("NotesMemo");
    for (const char* line : {"a", "b", "c", "d"}) {
        QTest::keyClicks(notes, line);
        QTest::keyClick(notes, Qt::Key_Return);
    }
    QTest::keyClicks(notes, "e");
    QTRY_VERIFY(shown("messages").contains(
        "The notes have 5 lines; the page holds 4, the rest prints on page 2."));

    QTest::keyClick(window_.get(), Qt::Key_F6);
    QVERIFY(!results.isVisible());
}

void ResultsWindowTest::copiesTextLinesAndTheGraph() {
    type("eStatic", "72");
    type("eResidual", "58");
    window_->findChild<FlowGrid*>("FlowGrid")->outlets().setCell(0, 5, "1879");
    window_->ResultsClick();
    ResultsWindow& results = window_->resultsWindow();
    QTest::keyClick(&results, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.value(0), QString("Total flow: 1879 gpm"));
    QVERIFY(lines.contains("NFPA 291 class: AA (light blue)"));
    QVERIFY(lines.contains("Residual drop: 19.4 %"));
    QVERIFY(lines.filter(QRegularExpression("^Flow at 20 psi: \\d+ gpm$")).size() == 1);

    QTest::mouseClick(results.findChild<QWidget*>("btnCopyGraph"), Qt::LeftButton);
    const QImage graph = QGuiApplication::clipboard()->image();
    QVERIFY(graph.width() >= 2 * 600);
    QVERIFY(graph.pixel(graph.width() / 2, graph.height() / 2) != 0); // painted
}

void ResultsWindowTest::followsOutletsOptionsAndNew() {
    window_->ResultsClick();
    window_->findChild<FlowGrid*>("FlowGrid")->outlets().setCell(0, 5, "500");
    window_->AddOutletClick();
    window_->findChild<FlowGrid*>("FlowGrid")->outlets().setCell(1, 5, "250");
    QTRY_COMPARE(shown("total"), QString("750 gpm"));
    QTimer::singleShot(0, this, [this] {
        preferences_->findChild<QRadioButton*>("btnUnitsMetricBar")->click();
        QTest::mouseClick(preferences_->findChild<QWidget*>("btnTemp"), Qt::LeftButton);
    });
    window_->OptionsClick();
    QTRY_COMPARE(shown("total"), QString("750 lpm"));
    window_->RemoveOutletClick();
    QTRY_COMPARE(shown("total"), QString("500 lpm"));
    window_->NewClick(); // answered No
    QTRY_COMPARE(shown("total"), QString("0 lpm"));
    QVERIFY(!shown("messages").isEmpty()); // says why: no flow yet
}

void ResultsWindowTest::shownStateAndPlaceKeptBetweenRuns() {
    window_->ResultsClick();
    window_->resultsWindow().resize(380, 460);
    window_->resultsWindow().move(20, 30);
    QVERIFY(window_->close());
    restartWindow();
    const ResultsWindow& results = window_->resultsWindow();
    QVERIFY(results.isVisible());
    QCOMPARE(results.size(), QSize(380, 460));
    QVERIFY(window_->findChild<QAction*>("Results1")->isChecked());
    QVERIFY(!fileBytes(file("appdata/Ostrel/FlowTest/FlowTest20.INI")).contains("Results"));
}

void ResultsWindowTest::analysisIsPartOfTheTest() {
    type("eStatic", "78");
    type("eResidual", "58");
    window_->findChild<FlowGrid*>("FlowGrid")->outlets().setCell(0, 5, "2599");
    window_->ResultsClick();
    auto* inputs = &window_->resultsWindow().analysisInputs();
    const auto field = [inputs](const char* name) { return inputs->findChild<QLineEdit*>(name); };
    QTest::keyClicks(field("demandFlow1"), "800");
    QTest::keyClicks(field("demandPressure1"), "55");
    QTest::keyClicks(field("hoseAllowance"), "250");
    QVERIFY(window_->isModified());
    QTRY_VERIFY(inputs->findChild<QLabel*>("demandAnswer1")->text().startsWith("1050 gpm needed"));
    prompts().saveAnswers.enqueue(file("a.oft"));
    QVERIFY(window_->SaveClick());
    QVERIFY(fileBytes(file("a.oft")).endsWith("Demand = ,800,55,\r\nHoseAllowance = 250\r\n"));
    // Its page, beside the test's own report.
    prompts().saveAnswers.enqueue(file("a-analysis.pdf"));
    QTest::mouseClick(window_->resultsWindow().findChild<QWidget*>("btnSaveAnalysis"), Qt::LeftButton);
    QCOMPARE(prompts().saveRequests.last().initialName, QString("a-analysis.pdf"));
    QVERIFY(fileBytes(file("a-analysis.pdf")).startsWith("%PDF"));
    window_->NewClick(); // clears it with the test
    QVERIFY(field("demandFlow1")->text().isEmpty());
    window_->LoadTestFile(file("a.oft"));
    QCOMPARE(field("demandFlow1")->text(), QString("800"));
}

QTEST_MAIN(ResultsWindowTest)
#include "test_resultswindow.moc"
