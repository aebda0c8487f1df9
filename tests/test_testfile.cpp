#include "document/testfile.h"
#include "testsupport.h"
#include "documenttesthelpers.h"
#include "faultfs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <optional>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

namespace {

const QString dataDir = QStringLiteral(FLOWTEST_DOCUMENT_DATA);

TestRecord mainStreetRecord() {
    return Record()
        .date("6/14/2008")
        .time("10:30")
        .staticPressure("72")
        .residualPressure("58")
        .location({"100 Main Street", "corner of Elm Avenue"})
        .notes({"witnessed by the water department", "", "hydrant #2 flowed through a diffuser"})
        .outlet({"#1", "", "2.5", "0.9", "18", "712"})
        .outlet({"#2", "", "2.5", "0.9", "15", ""});
}

// The message of the FileError a save raises, or nullopt when it succeeds.
std::optional<QString> saveError(const QString& fileName, const TestRecord& record) {
    try {
        writeTestFile(fileName, record);
        return std::nullopt;
    } catch (const FileError& e) {
        return e.message();
    }
}

std::optional<QString> readError(const QString& fileName) {
    try {
        readTestFile(fileName);
        return std::nullopt;
    } catch (const FileError& e) {
        return e.message();
    }
}

QString cannotCreate(const QString& fileName) {
    return QString("Cannot create file \"%1\". ").arg(fileName);
}

QString cannotOpen(const QString& fileName) {
    return QString("Cannot open file \"%1\". ").arg(fileName);
}

} // namespace

class TestFileTest : public QObject {
    Q_OBJECT
private slots:
    void writesTheExampleByteForByte();
    void write_data();
    void write();
    void parse_data();
    void parse();
    void roundTrip_data();
    void roundTrip();
    void fieldLines_data();
    void fieldLines();
    void clearingKeepsTheFirstLabel();

    void savedFileReadsBack();
    void saveReplacesTheWholeFile();
    void missingFileIsNoTest();
    void unreadableFile_data();
    void unreadableFile();
    void saveFault_data();
    void saveFault();
    void fullDeviceKeepsTheOldFile();
};

void TestFileTest::writesTheExampleByteForByte() {
    const QByteArray expected = fileBytes(dataDir + "/main-street.oft");
    QVERIFY(!expected.isEmpty());
    QCOMPARE(testFileBytes(mainStreetRecord()), expected);
    QCOMPARE(parseTestFile(expected), mainStreetRecord());
}

void TestFileTest::write_data() {
    QTest::addColumn<TestRecord>("record");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty record: five lines, no outlet")
        << TestRecord(Record())
        << QByteArray("Date = \r\nTime = \r\nStatic = \r\nResidual = \r\nReadElev = \r\n");
    QTest::newRow("lines in file order whatever was set first")
        << TestRecord(Record().outlet({"#1"}).notes({"n"}).location({"l"}).readElev("3").date("d"))
        << QByteArray("Date = d\r\nTime = \r\nStatic = \r\nResidual = \r\nReadElev = 3\r\n"
                      "Location = l\r\nNotes = n\r\nFlow = #1,,,,,\r\n");
    QTest::newRow("empty line inside the notes")
        << TestRecord(Record().notes({"a", "", "b"}))
        << QByteArray("Date = \r\nTime = \r\nStatic = \r\nResidual = \r\nReadElev = \r\n"
                      "Notes = a\r\nNotes = \r\nNotes = b\r\n");
    QTest::newRow("values written as they stand")
        << TestRecord(Record().date("  x  ").staticPressure("abc").residualPressure("1e9"))
        << QByteArray(
               "Date =   x  \r\nTime = \r\nStatic = abc\r\nResidual = 1e9\r\nReadElev = \r\n");
    QTest::newRow("Windows-1252 text as single bytes")
        << TestRecord(Record().location({QString::fromUtf8("Café – 5 €")}))
        << QByteArray("Date = \r\nTime = \r\nStatic = \r\nResidual = \r\nReadElev = \r\n"
                      "Location = Caf\xE9 \x96 5 \x80\r\n");
    TestRecord analysed = Record().outlet({"#1"});
    analysed.demands = {{"Riser, north", "800", "55", ""}, {"", "300", "40", "12"}};
    analysed.safetyMargin = "10 %";
    QTest::newRow("the analysis after the outlets, only what is set")
        << analysed
        << QByteArray("Date = \r\nTime = \r\nStatic = \r\nResidual = \r\nReadElev = \r\n"
                      "Flow = #1,,,,,\r\nDemand = \"Riser, north\",800,55,\r\n"
                      "Demand = ,300,40,12\r\nSafetyMargin = 10 %\r\n");
    QTest::newRow("text beyond Windows-1252 as UTF-8 with a mark")
        << TestRecord(Record().location({QString::fromUtf8("Αθήνα")}))
        << QByteArray("\xEF\xBB\xBF") +
               QString::fromUtf8("Date = \r\nTime = \r\nStatic = \r\nResidual = \r\nReadElev = \r\n"
                                 "Location = Αθήνα\r\n")
                   .toUtf8();
}

void TestFileTest::write() {
    QFETCH(TestRecord, record);
    QFETCH(QByteArray, bytes);
    QCOMPARE(testFileBytes(record), bytes);
}

void TestFileTest::parse_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TestRecord>("record");
    QTest::newRow("empty file") << QByteArray() << TestRecord(Record());
    QTest::newRow("no Flow line gives no outlet")
        << QByteArray("Date = 1\r\nStatic = 60\r\n")
        << TestRecord(Record().date("1").staticPressure("60"));
    QTest::newRow("only Flow lines")
        << QByteArray("Flow = #1,,2.5\r\nFlow = #2\r\n")
        << TestRecord(Record().outlet({"#1", "", "2.5"}).outlet({"#2"}));
    QTest::newRow("key in capitals")
        << QByteArray("DATE = 5 May\r\n") << TestRecord(Record().date("5 May"));
    QTest::newRow("keys in any case")
        << QByteArray("readELEV = 3\r\nnotes = n\r\nlOcAtIoN = l\r\nflow = #1\r\n")
        << TestRecord(Record().readElev("3").notes({"n"}).location({"l"}).outlet({"#1"}));
    QTest::newRow("no blanks around equals is one word")
        << QByteArray("Date=5\r\n") << TestRecord(Record());
    QTest::newRow("blank before equals only empties the date")
        << QByteArray("Date = 1\r\nDate =5\r\n") << TestRecord(Record());
    QTest::newRow("second word never examined")
        << QByteArray("Date is 5 May\r\n") << TestRecord(Record().date("5 May"));
    QTest::newRow("leading blanks") << QByteArray("   Static = 72\r\n  Flow = #1\r\n")
                                    << TestRecord(Record().staticPressure("72").outlet({"#1"}));
    QTest::newRow("tab after key is not recognised")
        << QByteArray("Date\t= x\r\n") << TestRecord(Record());
    QTest::newRow("later Date wins") << QByteArray("Date = 1\r\nTime = t\r\nDate = 2\r\n")
                                     << TestRecord(Record().date("2").time("t"));
    QTest::newRow("Location, Notes and Flow accumulate in file order")
        << QByteArray("Notes = n1\r\nFlow = #1\r\nLocation = l1\r\nDate = d\r\nNotes = n2\r\n"
                      "Static = 1\r\nFlow = #2\r\nLocation = l2\r\nNotes = \r\n")
        << TestRecord(Record()
                          .date("d")
                          .staticPressure("1")
                          .notes({"n1", "n2", ""})
                          .location({"l1", "l2"})
                          .outlet({"#1"})
                          .outlet({"#2"}));
    QTest::newRow("Flow with nothing after it")
        << QByteArray("Flow = \r\n") << TestRecord(Record().outlet({}));
    QTest::newRow("Flow with seven items")
        << QByteArray("Flow = #1,1,2,3,4,5,6\r\n")
        << TestRecord(Record().outlet({"#1", "1", "2", "3", "4", "5"}));
    QTest::newRow("Flow with two items")
        << QByteArray("Flow = #1,10\r\n") << TestRecord(Record().outlet({"#1", "10"}));
    QTest::newRow("decimal comma cell") << QByteArray("Flow = #1,,\"63,5\",\"0,9\"\r\n")
                                        << TestRecord(Record().outlet({"#1", "", "63,5", "0,9"}));
    QTest::newRow("cell with a double quote") << QByteArray("Flow = \"2\"\" cap\",1\r\n")
                                              << TestRecord(Record().outlet({"2\" cap", "1"}));
    TestRecord analysis;
    analysis.demands = {{"Riser, north", "800", "55", ""}};
    analysis.hoseAllowance = "250";
    analysis.safetyMargin = "10 %";
    QTest::newRow("the analysis's lines")
        << QByteArray("Demand = \"Riser, north\",800,55\r\nHoseAllowance = 250\r\n"
                      "SafetyMargin = 10 %\r\n")
        << analysis;
    QTest::newRow("unclosed quote")
        << QByteArray("Flow = #1,\"2.5\r\n") << TestRecord(Record().outlet({"#1", "2."}));
    QTest::newRow("empty item is an empty cell")
        << QByteArray("Flow = #1,,2.5,0.9,,\r\n")
        << TestRecord(Record().outlet({"#1", "", "2.5", "0.9"}));
    QTest::newRow("quoted space is a space")
        << QByteArray("Flow = #1,\" \"\r\n") << TestRecord(Record().outlet({"#1", " "}));
    QTest::newRow("NUL in the middle") << QByteArray("Date = 1\r\nTime = 2\0\r\nStatic = 3\r\n", 33)
                                       << TestRecord(Record().date("1").time("2"));
    QTest::newRow("lone CR and lone LF")
        << QByteArray("Date = 1\rTime = 2\nStatic = 3")
        << TestRecord(Record().date("1").time("2").staticPressure("3"));
    QTest::newRow("value keeps inner and trailing blanks, loses leading ones")
        << QByteArray("Notes =    a  b  \r\n") << TestRecord(Record().notes({"a  b  "}));
    QTest::newRow("blank-only value is an empty line")
        << QByteArray("Location =    \r\n") << TestRecord(Record().location({""}));
    QTest::newRow("unknown keys and blank lines ignored")
        << QByteArray("Units = PSI\r\n\r\n   \r\nDated = x\r\nTime = 9\r\n")
        << TestRecord(Record().time("9"));
    QTest::newRow("values keep their case")
        << QByteArray("Notes = MiXeD\r\n") << TestRecord(Record().notes({"MiXeD"}));
    QTest::newRow("Windows-1252 bytes")
        << QByteArray("Location = Caf\xE9 \x80\r\n")
        << TestRecord(Record().location({QString::fromUtf8("Café €")}));
    QTest::newRow("UTF-8 after a byte-order mark")
        << QByteArray("\xEF\xBB\xBF") + QString::fromUtf8("Location = Αθήνα\r\n").toUtf8()
        << TestRecord(Record().location({QString::fromUtf8("Αθήνα")}));
}

void TestFileTest::parse() {
    QFETCH(QByteArray, bytes);
    QFETCH(TestRecord, record);
    QCOMPARE(parseTestFile(bytes), record);
}

void TestFileTest::roundTrip_data() {
    QTest::addColumn<TestRecord>("record");
    QTest::newRow("example") << mainStreetRecord();
    QTest::newRow("empty record") << TestRecord(Record());
    QTest::newRow("empty outlet cells stay empty")
        << TestRecord(Record().outlet({}).outlet({"#2", "", "", "", "", "500"}));
    QTest::newRow("commas") << TestRecord(Record()
                                              .date("June 14, 2008")
                                              .location({"Main St, Elm Ave", ","})
                                              .outlet({"#1,a", ",", "2,5"}));
    QTest::newRow("quotes") << TestRecord(
        Record().notes({"\"quoted\" text", "\""}).outlet({"\"", "a\"\"b", "\"x"}));
    QTest::newRow("decimal commas") << TestRecord(
        Record().staticPressure("4,9").residualPressure("3,8").readElev("31,5").outlet(
            {"#1", "30,5", "63,5", "0,9", "0,69", "2008"}));
    QTest::newRow("control characters")
        << TestRecord(Record()
                          .time(QString("10\t30"))
                          .notes({QString("a") + QChar(1) + "b", "\tindented by a tab"})
                          .outlet({"\t", QString(QChar(31)), QString("x") + QChar(2) + "y"}));
    QTest::newRow("blanks inside and at the end")
        << TestRecord(Record().notes({"a   b", "trailing   "}).outlet({" ", "  2.5", "0.9  "}));
    QTest::newRow("non-Latin text") << TestRecord(
        Record()
            .location({QString::fromUtf8("Αθήνα, οδός Ερμού 5"), QString::fromUtf8("東京")})
            .notes({QString::fromUtf8("Zażółć gęślą jaźń")})
            .outlet({QString::fromUtf8("№1"), "", "63.5"}));
    QTest::newRow("Windows-1252 text")
        << TestRecord(Record().notes({QString::fromUtf8("Straße – “Ümlaut” ½ €")}));
}

void TestFileTest::roundTrip() {
    QFETCH(TestRecord, record);
    QCOMPARE(parseTestFile(testFileBytes(record)), record);
}

void TestFileTest::fieldLines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty field has no line") << "" << QStringList{};
    QTest::newRow("one line") << "abc" << QStringList{"abc"};
    QTest::newRow("final break adds no line") << "abc\n" << QStringList{"abc"};
    QTest::newRow("empty line inside") << "a\n\nb" << QStringList{"a", "", "b"};
    QTest::newRow("only a break") << "\n" << QStringList{""};
    QTest::newRow("CR LF breaks") << "a\r\nb" << QStringList{"a", "b"};
    QTest::newRow("long line stays one line")
        << QString(300, 'x') << QStringList{QString(300, 'x')};
}

void TestFileTest::fieldLines() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(textFieldLines(text), lines);
}

void TestFileTest::clearingKeepsTheFirstLabel() {
    QCOMPARE(clearedTestRecord(mainStreetRecord()), TestRecord(Record().outlet({"#1"})));
    QCOMPARE(clearedTestRecord(Record().date("x")), TestRecord(Record().outlet({})));
}

void TestFileTest::savedFileReadsBack() {
    QTemporaryDir dir;
    const QString name = dir.filePath("test.oft");
    writeTestFile(name, mainStreetRecord());
    QCOMPARE(fileBytes(name), fileBytes(dataDir + "/main-street.oft"));
    const std::optional<TestRecord> back = readTestFile(name);
    QVERIFY(back.has_value());
    QCOMPARE(*back, mainStreetRecord());
}

void TestFileTest::saveReplacesTheWholeFile() {
    QTemporaryDir dir;
    const QString name = dir.filePath("test.oft");
    writeTestFile(name, mainStreetRecord());
    const TestRecord shorter = Record().date("7/1/2009").outlet({"#1"});
    writeTestFile(name, shorter);
    QCOMPARE(fileBytes(name), testFileBytes(shorter));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"test.oft"});
}

void TestFileTest::missingFileIsNoTest() {
    QTemporaryDir dir;
    QCOMPARE(readTestFile(dir.filePath("none.oft")), std::nullopt);
    QCOMPARE(readTestFile(dir.filePath("no folder/none.oft")), std::nullopt);
    QCOMPARE(readTestFile(QString()), std::nullopt);
}

void TestFileTest::unreadableFile_data() {
    QTest::addColumn<bool>("asFolder");
    QTest::newRow("a folder of that name") << true;
    QTest::newRow("a file without read permission") << false;
}

void TestFileTest::unreadableFile() {
    QFETCH(bool, asFolder);
    QTemporaryDir dir;
    const QString name = dir.filePath("test.oft");
    if (asFolder) {
        QVERIFY(QDir(dir.path()).mkdir("test.oft"));
    } else {
        writeTestFile(name, mainStreetRecord());
        QVERIFY(QFile::setPermissions(name, QFileDevice::Permissions()));
        if (fileBytes(name) == testFileBytes(mainStreetRecord()))
            QSKIP("permissions do not stop this user from reading (running as root)");
    }
    const std::optional<QString> message = readError(name);
    QVERIFY2(message.has_value(), "an unreadable file was read without an error");
    QVERIFY2(message->startsWith(cannotOpen(name)), qPrintable(*message));
}

enum class Obstacle { MissingFolder, ReadOnlyTarget, FolderTarget, FifoTarget };
Q_DECLARE_METATYPE(Obstacle)

void TestFileTest::saveFault_data() {
    QTest::addColumn<Obstacle>("obstacle");
    QTest::newRow("folder does not exist") << Obstacle::MissingFolder;
    QTest::newRow("read-only target") << Obstacle::ReadOnlyTarget;
    QTest::newRow("target is a folder") << Obstacle::FolderTarget;
    QTest::newRow("target is a FIFO") << Obstacle::FifoTarget;
}

void TestFileTest::saveFault() {
    QFETCH(Obstacle, obstacle);
    QTemporaryDir dir;
    const QByteArray oldBytes = testFileBytes(mainStreetRecord());
    QString name = dir.filePath("test.oft");
    switch (obstacle) {
    case Obstacle::MissingFolder:
        name = dir.filePath("no such folder/test.oft");
        break;
    case Obstacle::ReadOnlyTarget:
        writeTestFile(name, mainStreetRecord());
        QVERIFY(QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        break;
    case Obstacle::FolderTarget:
        QVERIFY(QDir(dir.path()).mkdir("test.oft"));
        break;
    case Obstacle::FifoTarget:
        // Stands in for a device: a broken refusal fails here and harms nothing.
        QVERIFY(::mkfifo(QFile::encodeName(name).constData(), 0600) == 0);
        break;
    }
    const std::optional<QString> message = saveError(name, Record().date("new").outlet({"#9"}));
    QVERIFY2(message.has_value(), "the save reported success");
    QVERIFY2(message->startsWith(cannotCreate(name)), qPrintable(*message));

    const QStringList leftInFolder =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    switch (obstacle) {
    case Obstacle::MissingFolder:
        QVERIFY(leftInFolder.isEmpty());
        break;
    case Obstacle::ReadOnlyTarget:
        QCOMPARE(fileBytes(name), oldBytes);
        QCOMPARE(leftInFolder, QStringList{"test.oft"});
        break;
    case Obstacle::FolderTarget:
        QVERIFY(QFileInfo(name).isDir());
        QCOMPARE(leftInFolder, QStringList{"test.oft"});
        break;
    case Obstacle::FifoTarget:
        QVERIFY(!QFileInfo(name).isFile());
        QCOMPARE(leftInFolder, QStringList{"test.oft"});
        break;
    }
}


void TestFileTest::fullDeviceKeepsTheOldFile() {
#ifdef Q_OS_LINUX
    QTemporaryDir dir;
    const TinyFileSystem device(dir.path());
    if (!device.mounted())
        QSKIP("cannot mount a small file system here (needs root)");
    const QString name = dir.filePath("test.oft");
    writeTestFile(name, mainStreetRecord());
    QVERIFY(fillUp(dir.filePath("filler")));

    const TestRecord bigger = Record().notes(QStringList(200, QString(100, 'n'))).outlet({"#1"});
    const std::optional<QString> message = saveError(name, bigger);
    QVERIFY2(message.has_value(), "a save onto a full device reported success");
    QVERIFY2(message->startsWith(cannotCreate(name)), qPrintable(*message));
    QCOMPARE(fileBytes(name), testFileBytes(mainStreetRecord()));
    QCOMPARE(readTestFile(name), std::optional<TestRecord>(mainStreetRecord()));
#else
    QSKIP("needs a Linux tmpfs");
#endif
}

QTEST_APPLESS_MAIN(TestFileTest)
#include "test_testfile.moc"
