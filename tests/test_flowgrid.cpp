#include "app/flowgrid.h"
#include "app/ostrelflow.h"
#include "windowfixture.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// The outlet grid through the real main window: key presses into the
// always-open cell editor, the buttons, and the Modified flag.
class FlowGridTest : public QObject, WindowFixture {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startsWithOneEmptyOutlet();
    void titlesFollowUnits_data();
    void titlesFollowUnits();
    void filtersPerColumn_data();
    void filtersPerColumn();
    void commaLocaleSwapsSeparator();
    void typedTextIsInTheCellAtOnce();
    void enterMovesRightThenWraps();
    void enterInFlowOfMiddleRowFillsElevationsOnTheWay();
    void enterFillsFlowFromFormula();
    void flowWithoutSizeCopiesFromAbove();
    void filledCellsAreNeverOverwritten_data();
    void filledCellsAreNeverOverwritten();
    void pitotFromFlow();
    void filledFlowFollowsItsPitot();
    void contextMenuOffersUsualCoefficients();
    void removeWithOneOutletDoesNothing();
    void addAfterRemoveGivesEmptyRow();
    void removingCurrentRowEntersNewLastRow();
    void tooltipsPerColumn();
    void keysThatTypeNothingLeaveModified();

private:
    FlowGrid& grid() { return *window_->findChild<FlowGrid*>("FlowGrid"); }
    QString cell(int column, int row) { return grid().outlets().cell(row - 1, column); }
    void setCell(int column, int row, const QString& text) {
        grid().outlets().setCell(row - 1, column, text);
    }
    QLineEdit& editorAt(int column, int row) {
        grid().setCurrentCell(column, row);
        QLineEdit* editor = grid().cellEditor();
        Q_ASSERT(editor);
        return *editor;
    }
    void pressEnter() { QTest::keyClick(grid().cellEditor(), Qt::Key_Return); }
    void click(const char* button) {
        QTest::mouseClick(window_->findChild<QPushButton*>(button), Qt::LeftButton);
    }
    void fillRow(int row, const QString& elev, const QString& size, const QString& c,
                 const QString& pitot, const QString& flow) {
        setCell(1, row, elev);
        setCell(2, row, size);
        setCell(3, row, c);
        setCell(4, row, pitot);
        setCell(5, row, flow);
    }
};

void FlowGridTest::init() {
    startWindow();
}

void FlowGridTest::cleanup() {
    stopWindow();
}

void FlowGridTest::startsWithOneEmptyOutlet() {
    QCOMPARE(grid().outlets().rowCount(), 1);
    QCOMPARE(cell(0, 1), QString("#1"));
    for (int column = 1; column <= 5; ++column)
        QVERIFY(cell(column, 1).isEmpty());
    QVERIFY(!window_->isModified());
    QCOMPARE(grid().currentColumn(), 1);
    QCOMPARE(grid().currentRow(), 1);
    QVERIFY(grid().cellEditor());
    // Title row and row height as laid out.
    QCOMPARE(grid().horizontalHeader()->height(), 24);
    QCOMPARE(grid().rowHeight(0), 24);
}

Q_DECLARE_METATYPE(UnitSystem)

void FlowGridTest::titlesFollowUnits_data() {
    QTest::addColumn<UnitSystem>("units");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("U.S.") << UnitSystem::US
                          << QStringList{"Outlet", "Elev [ft]", "Size [in]", "C", "Pitot [psi]", "*Flow [gpm]"};
    QTest::newRow("metric bar") << UnitSystem::MetricBar
                                << QStringList{"Outlet", "Elev [m]", "Size [mm]", "C", "Pitot [bar]", "*Flow [lpm]"};
    QTest::newRow("metric kPa") << UnitSystem::MetricKPa
                                << QStringList{"Outlet", "Elev [m]", "Size [mm]", "C", "Pitot [kPa]", "*Flow [lpm]"};
}

void FlowGridTest::titlesFollowUnits() {
    QFETCH(UnitSystem, units);
    QFETCH(QStringList, titles);
    grid().SetGridHeaders(units);
    for (int column = 0; column < 6; ++column)
        QCOMPARE(grid().model()->headerData(column, Qt::Horizontal).toString(), titles[column]);
}

void FlowGridTest::filtersPerColumn_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    for (int column = 1; column <= 5; ++column) {
        const QByteArray name = QByteArray::number(column);
        QTest::newRow("letter, column " + name) << column << "a" << "";
        QTest::newRow("blank, column " + name) << column << " " << "";
        QTest::newRow("digits and point, column " + name) << column << "12.5" << "12.5";
        QTest::newRow("comma, column " + name) << column << "1,5"
                                               << "1.5";
    }
    QTest::newRow("minus in Elev") << 1 << "-3" << "-3";
    QTest::newRow("plus in Elev") << 1 << "+3" << "+3";
    QTest::newRow("minus in Size") << 2 << "-3" << "3";
    QTest::newRow("minus in C") << 3 << "-3" << "3";
    QTest::newRow("minus in Pitot") << 4 << "-3" << "3";
    QTest::newRow("minus in Flow") << 5 << "-3" << "3";
    QTest::newRow("exponent letter") << 4 << "1e1" << "11";
}

void FlowGridTest::filtersPerColumn() {
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QLineEdit& editor = editorAt(column, 1);
    QVERIFY(!window_->isModified());
    QTest::keyClicks(&editor, typed);
    QCOMPARE(cell(column, 1), shown);
    QVERIFY(window_->isModified()); // also when every character was discarded
}

void FlowGridTest::commaLocaleSwapsSeparator() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTest::keyClicks(&editorAt(2, 1), "2,5");
    QCOMPARE(cell(2, 1), QString("2,5"));
    // The point types the user's comma.
    QTest::keyClicks(&editorAt(3, 1), "0.9");
    QCOMPARE(cell(3, 1), QString("0,9"));
    // A text the grid holds is never filtered: entering its cell keeps it.
    grid().outlets().setCell(0, 4, "0.69 bar");
    editorAt(4, 1);
    QCOMPARE(cell(4, 1), QString("0.69 bar"));
    QCOMPARE(grid().cellEditor()->text(), QString("0.69 bar"));
}

void FlowGridTest::typedTextIsInTheCellAtOnce() {
    QLineEdit& editor = editorAt(2, 1);
    QTest::keyClick(&editor, Qt::Key_2);
    QCOMPARE(cell(2, 1), QString("2"));
    // Ctrl+V types a control character: discarded, nothing pasted.
    QTest::keyClick(&editor, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(cell(2, 1), QString("2"));
    QTest::keyClick(&editor, Qt::Key_Backspace);
    QCOMPARE(cell(2, 1), QString());
}

void FlowGridTest::enterMovesRightThenWraps() {
    editorAt(1, 1);
    for (int column = 2; column <= 5; ++column) {
        pressEnter();
        QCOMPARE(grid().currentColumn(), column);
        QCOMPARE(grid().currentRow(), 1);
    }
    pressEnter();
    QCOMPARE(grid().currentColumn(), 1);
    QCOMPARE(grid().currentRow(), 1);
    QCOMPARE(grid().outlets().rowCount(), 1);
    QVERIFY(!window_->isModified());

    // From the last of three outlets, Enter wraps to the first.
    click("btnAddOutlet");
    click("btnAddOutlet");
    editorAt(5, 3);
    pressEnter();
    QCOMPARE(grid().currentRow(), 1);
    QCOMPARE(grid().currentColumn(), 1);
    QCOMPARE(grid().outlets().rowCount(), 3);
}

void FlowGridTest::enterInFlowOfMiddleRowFillsElevationsOnTheWay() {
    click("btnAddOutlet");
    click("btnAddOutlet");
    setCell(1, 1, "12");
    setCell(5, 2, "500");
    editorAt(5, 2);
    pressEnter();
    QCOMPARE(grid().currentRow(), 3);
    QCOMPARE(grid().currentColumn(), 1);
    QCOMPARE(cell(1, 2), QString("12"));
    QCOMPARE(cell(1, 3), QString("12"));
}

void FlowGridTest::enterFillsFlowFromFormula() {
    fillRow(1, "", "2.5", "0.9", "10", "");
    editorAt(4, 1);
    pressEnter();
    QCOMPARE(cell(5, 1), QString("531"));
    QCOMPARE(grid().cellEditor()->text(), QString("531"));
    QVERIFY(window_->isModified()); // what the grid fills in is saved like typing

    // 29.84 * 0.5 * 2.5^2 * sqrt(4) = 186.5 exactly: a half goes to the even neighbour.
    click("btnAddOutlet");
    fillRow(2, "", "2.5", "0.5", "4", "");
    editorAt(5, 2);
    QCOMPARE(cell(5, 2), QString("186"));
}

void FlowGridTest::flowWithoutSizeCopiesFromAbove() {
    editorAt(5, 1);
    QCOMPARE(cell(5, 1), QString()); // outlet #1 has nothing above it
    click("btnAddOutlet");
    fillRow(1, "", "2.5", "0.9", "10", "700");
    editorAt(5, 2);
    QCOMPARE(cell(5, 2), QString("700"));
}

void FlowGridTest::filledCellsAreNeverOverwritten_data() {
    QTest::addColumn<QString>("flow");
    QTest::newRow("zero stays zero") << "0";
    QTest::newRow("a single space is not empty") << " ";
    QTest::newRow("text that is no number") << "x";
}

void FlowGridTest::filledCellsAreNeverOverwritten() {
    QFETCH(QString, flow);
    click("btnAddOutlet");
    fillRow(1, "1", "2.5", "0.9", "10", "999");
    fillRow(2, "1", "2.5", "0.9", "10", flow);
    editorAt(5, 2);
    QCOMPARE(cell(5, 2), flow);
}

void FlowGridTest::pitotFromFlow() {
    fillRow(1, "", "2.5", "0.9", "", "1000");
    editorAt(4, 1);
    QCOMPARE(cell(4, 1), QString("35.5"));
}

void FlowGridTest::filledFlowFollowsItsPitot() {
    const auto typeInto = [this](int column, const char* text) {
        QLineEdit& editor = editorAt(column, 1);
        editor.selectAll();
        QTest::keyClicks(&editor, text);
    };
    typeInto(2, "2.5");
    typeInto(3, "0.9");
    typeInto(4, "16");
    pressEnter(); // into the empty Flow cell
    QCOMPARE(cell(5, 1), QString("671"));
    typeInto(4, "20");
    QCOMPARE(cell(5, 1), QString("751"));
    pressEnter();
    QCOMPARE(grid().cellEditor()->text(), QString("751"));
    QVERIFY(window_->isModified());

    typeInto(5, "700"); // the user's own flow
    typeInto(4, "16");
    QCOMPARE(cell(5, 1), QString("700"));
}

void FlowGridTest::contextMenuOffersUsualCoefficients() {
    const auto choose = [this](const QString& start) {
        QLineEdit& editor = editorAt(3, 1);
        const std::unique_ptr<QMenu> menu = grid().coefficientMenu(editor);
        for (QAction* action : menu->actions())
            if (action->text().startsWith(start))
                action->trigger();
    };
    choose("0.7 \u2013 square and projecting into the barrel");
    QCOMPARE(cell(3, 1), QString("0.7"));
    QVERIFY(window_->isModified());
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    choose("0,95 \u2013 with a flow tube");
    QCOMPARE(cell(3, 1), QString("0,95"));
}

void FlowGridTest::removeWithOneOutletDoesNothing() {
    click("btnRemoveOutlet");
    QCOMPARE(grid().outlets().rowCount(), 1);
    QVERIFY(!window_->isModified());
    auto& prompts = static_cast<ScriptedPrompts&>(window_->prompts());
    QVERIFY(window_->close());
    QVERIFY(prompts.questions.isEmpty());
}

void FlowGridTest::addAfterRemoveGivesEmptyRow() {
    click("btnAddOutlet");
    click("btnAddOutlet");
    QVERIFY(window_->isModified());
    fillRow(3, "1", "2", "3", "4", "5");
    click("btnRemoveOutlet");
    QCOMPARE(grid().outlets().rowCount(), 2);
    click("btnAddOutlet");
    QCOMPARE(cell(0, 3), QString("#3"));
    for (int column = 1; column <= 5; ++column)
        QVERIFY(cell(column, 3).isEmpty());
}

void FlowGridTest::removingCurrentRowEntersNewLastRow() {
    click("btnAddOutlet");
    fillRow(1, "7", "2.5", "0.9", "10", "");
    editorAt(5, 2);
    QCOMPARE(cell(5, 2), QString()); // row 2 has no size and row 1 no flow yet
    click("btnRemoveOutlet");
    QCOMPARE(grid().currentRow(), 1);
    QCOMPARE(grid().currentColumn(), 5);
    QCOMPARE(cell(5, 1), QString("531")); // entering it filled it
    QVERIFY(grid().cellEditor());
}

void FlowGridTest::tooltipsPerColumn() {
    const QStringList hints = {"discharging outlet number",   "elevation of outlet",
                               "internal diameter of outlet", "outlet roughness coefficient",
                               "measured pitot (velocity) pressure", "measured rate of discharge"};
    for (int column = 0; column < 6; ++column) {
        QCOMPARE(grid().model()->index(0, column).data(Qt::ToolTipRole).toString(), hints[column]);
        QCOMPARE(grid().model()->headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString(),
                 hints[column]);
    }
    QCOMPARE(editorAt(2, 1).toolTip(), hints[2]);
    QCOMPARE(editorAt(3, 1).toolTip(), hints[3]);
}

void FlowGridTest::keysThatTypeNothingLeaveModified() {
    QLineEdit& editor = editorAt(2, 1);
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Left, Qt::Key_Home, Qt::Key_End, Qt::Key_Shift})
        QTest::keyClick(&editor, key);
    QVERIFY(!window_->isModified());
}

QTEST_MAIN(FlowGridTest)
#include "test_flowgrid.moc"
