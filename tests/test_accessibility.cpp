#include "app/flowgrid.h"
#include "app/ostrelflow.h"
#include "app/resultswindow.h"
#include "windowfixture.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

// What a screen reader reads of the windows, through Qt's accessibility
// interfaces, with the U.S. example open.
class AccessibilityTest : public QObject, WindowFixture {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void resultsReadWithTheirValues();
    void windowGraphAndAdviceAreRead();
    void movingBetweenCellsFocusesOnlyCellEditors();

private:
    FlowGrid& grid() const { return *window_->findChild<FlowGrid*>("FlowGrid"); }
    QAccessibleInterface& results(const char* object = nullptr) const {
        ResultsWindow& window = window_->resultsWindow();
        QObject* found = object ? window.findChild<QWidget*>(object) : &window;
        return *QAccessible::queryAccessibleInterface(found);
    }
};

void AccessibilityTest::init() {
    startWindow({QStringLiteral(FLOWTEST_EXAMPLES_DIR "/us-three-outlets.oft")});
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void AccessibilityTest::cleanup() {
    stopWindow();
}

void AccessibilityTest::resultsReadWithTheirValues() {
    // Each object, what it reads, and what it reads once the static pressure is gone.
    const char* const objects[][3] = {
        {"total", "Total flow: 1879 gpm", "Total flow: 1879 gpm"},
        {"chosen", "Flow at the chosen pressure: 3819.2 gpm at 20 psi",
         "Flow at the chosen pressure: none"},
        {"rated", "Flow at 20 psi: 3819 gpm", "Flow at 20 psi: none"},
        {"nfpaClass", "NFPA 291 class: AA, light blue", "NFPA 291 class: none"},
        {"swatch", "Cap colour: light blue", "Cap colour: none"},
        {"drop", "Residual drop: 19.4 %", "Residual drop: none"},
        {"ResultsGraph", "Flow graph", "Flow graph: none"}};
    QTest::keyClick(window_.get(), Qt::Key_F6);
    for (int read : {1, 2}) {
        for (const auto& object : objects)
            QCOMPARE(results(object[0]).text(QAccessible::Name), QString(object[read]));
        window_->findChild<QLineEdit*>("eStatic")->clear();
        window_->resultsWindow().refresh();
    }
}

void AccessibilityTest::windowGraphAndAdviceAreRead() {
    QTest::keyClick(window_.get(), Qt::Key_F6);
    QCOMPARE(results().role(), QAccessible::Window);
    QCOMPARE(results("ResultsGraph").role(), QAccessible::Graphic);
    QCOMPARE(results("ResultsGraph").text(QAccessible::Description),
             "Supply line from 72 psi at no flow through 58 psi at 1879 gpm; 3819.2 gpm at 20 psi; "
             "flow axis 0 to 5000 gpm, pressure axis 0 to 100 psi");
    QVERIFY(results("messages").text(QAccessible::Name).startsWith("Advice: The residual drop"));
}

void AccessibilityTest::movingBetweenCellsFocusesOnlyCellEditors() {
    grid().setCurrentCell(OutletRow::Elev, 1);
    grid().cellEditor()->setFocus();
    QWidgetList focused;
    const QObject recording; // ends the recording when the test returns
    connect(qApp, &QApplication::focusChanged, &recording,
            [&focused](QWidget*, QWidget* now) { focused.append(now); });
    // Entering a cell selects its text: End and Home let Right and Left move on.
    const std::tuple<Qt::Key, int, int> steps[] = {
        {Qt::Key_End, 1, 1},  {Qt::Key_Right, 2, 1}, {Qt::Key_Down, 2, 2},  {Qt::Key_Home, 2, 2},
        {Qt::Key_Left, 1, 2}, {Qt::Key_Up, 1, 1},    {Qt::Key_Return, 2, 1}};
    for (const auto& [key, column, row] : steps) {
        QTest::keyClick(QApplication::focusWidget(), key);
        QCOMPARE(std::pair(grid().currentColumn(), grid().currentRow()), std::pair(column, row));
    }
    grid().setCurrentCell(OutletRow::Flow, 3);
    QTest::keyClick(grid().cellEditor(), Qt::Key_Return); // wraps to the first outlet
    const QModelIndex cell = grid().model()->index(1, OutletRow::C);
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, grid().visualRect(cell).center());
    QCOMPARE(grid().currentIndex(), cell);
    QCOMPARE(QApplication::focusWidget(), grid().cellEditor());
    for (const QWidget* widget : focused)
        QVERIFY(qobject_cast<const QLineEdit*>(widget) && widget->parent() == grid().viewport());
    QCOMPARE(focused.size(), 8); // once for each cell entered
}

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
