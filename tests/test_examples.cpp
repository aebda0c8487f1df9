#include "documentexamples.h"
#include "documenttesthelpers.h"

#include <QFile>
#include <QTest>

Q_DECLARE_METATYPE(UnitSystem)

class ExamplesTest : public QObject {
    Q_OBJECT
private slots:
    void example_data();
    void example();
};

void ExamplesTest::example_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<UnitSystem>("units");
    QTest::addColumn<TestRecord>("record");
    for (const ExampleTest& example : exampleTests())
        QTest::newRow(qPrintable(example.fileName))
            << example.fileName << example.units << example.record;
}

void ExamplesTest::example() {
    QFETCH(QString, fileName);
    QFETCH(UnitSystem, units);
    QFETCH(TestRecord, record);
    QFile file(QStringLiteral(FLOWTEST_EXAMPLES_DIR "/") + fileName);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    const QByteArray bytes = file.readAll();

    QCOMPARE(bytes, testFileBytes(record));
    QCOMPARE(parseTestFile(bytes), record);
    QCOMPARE(testFileBytes(parseTestFile(bytes)), bytes);
    // The file's flows are those the grid computes, so the inputs must read as numbers.
    for (const OutletRow& outlet : record.outlets)
        QVERIFY(!ComputeFlow(outlet, units, '.').isEmpty());
}

QTEST_APPLESS_MAIN(ExamplesTest)
#include "test_examples.moc"
