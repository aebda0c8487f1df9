#include "app/flowgrid.h"
#include "app/ostrelflow.h"
#include "document/testfile.h"
#include "largerecord.h"
#include "scriptedprompts.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

// A test far larger than any real one opens, scrolls, saves and reopens
// without loss. (Its speed is measured by bench/largetest, not here.)
class LargeInputTest : public QObject {
    Q_OBJECT
private slots:
    void opensScrollsSavesAndReopens();
};

void LargeInputTest::opensScrollsSavesAndReopens() {
    QTemporaryDir dir;
    qputenv("APPDATA", dir.path().toLocal8Bit());
    const TestRecord large = largeRecord();
    writeTestFile(dir.filePath("large.oft"), large);

    TFlowTest window({}, std::make_unique<ScriptedPrompts>());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.LoadTestFile(dir.filePath("large.oft"));
    QCOMPARE(window.testRecord(), large);
    QVERIFY(!window.isModified());

    auto& grid = *window.findChild<FlowGrid*>("FlowGrid");
    grid.setCurrentCell(OutletRow::Flow, 100'000);
    QVERIFY(grid.cellEditor());
    QCOMPARE(grid.cellEditor()->text(), large.outlets.last()[OutletRow::Flow]);
    QTest::keyClick(grid.cellEditor(), Qt::Key_Return); // wraps to the first outlet
    QCOMPARE(grid.currentRow(), 1);

    auto& prompts = static_cast<ScriptedPrompts&>(window.prompts());
    prompts.saveAnswers.enqueue(dir.filePath("saved.oft"));
    QVERIFY(window.SaveClick());
    window.NewClick();
    window.LoadTestFile(dir.filePath("saved.oft"));
    QCOMPARE(window.testRecord(), large);
}

QTEST_MAIN(LargeInputTest)
#include "test_largeinput.moc"
