#include "textfile/fileaccess.h"
#include "textfile/filewriter.h"
#include "textfile/textfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TextFileTest : public QObject {
    Q_OBJECT
private slots:
    void splitWords_data();
    void splitWords();
    void keyValue_data();
    void keyValue();
    void keysIgnoreCaseOfLettersOnly();
    void lines_data();
    void lines();
    void nulEndsTheText();
    void encoding_data();
    void encoding();
    void writeReplacesAndReadsBack();
    void readOnlyTargetIsKeptWhole();
    void missingFolderIsReported();
    void missingFileIsReported();
};

void TextFileTest::splitWords_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("key = value") << "Date = 5 May" << QStringList{"Date ", "= ", "5 ", "May"};
    QTest::newRow("leading blanks join first word") << "  Date = x" << QStringList{"  Date ", "= ", "x"};
    QTest::newRow("trailing blanks stay") << "a  " << QStringList{"a  "};
    QTest::newRow("blanks only") << "   " << QStringList{"   "};
    QTest::newRow("tab is ordinary") << "Date\t= x" << QStringList{"Date\t= ", "x"};
    QTest::newRow("CR LF NUL separate") << QString("a\rb\nc") + QChar(0) + "d"
                                        << QStringList{"a\r", "b\n", QString("c") + QChar(0), "d"};
    QTest::newRow("runs of blanks") << "a   b" << QStringList{"a   ", "b"};
}

void TextFileTest::splitWords() {
    QFETCH(QString, line);
    QFETCH(QStringList, words);
    QCOMPARE(SplitWords(line), words);
    QCOMPARE(SplitWords(line).join(QString()), line);
}

void TextFileTest::keyValue_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << "Date = 6/14/2008" << "Date" << "6/14/2008";
    QTest::newRow("value keeps inner and trailing blanks") << "Notes = a   b  " << "Notes" << "a   b  ";
    QTest::newRow("value loses leading blanks") << "Notes =    a" << "Notes" << "a";
    QTest::newRow("empty value") << "ReadElev = " << "ReadElev" << "";
    QTest::newRow("no blanks around equals") << "Date=5" << "Date=5" << "";
    QTest::newRow("blank before equals only") << "Date =5" << "Date" << "";
    QTest::newRow("second word unseen") << "Date is 5 May" << "Date" << "5 May";
    QTest::newRow("leading blanks") << "   Date = 5" << "Date" << "5";
    QTest::newRow("tab after key") << "Date\t= x" << "Date\t=" << "";
    QTest::newRow("no word") << "" << "" << "";
    QTest::newRow("blank line") << "    " << "" << "";
}

void TextFileTest::keyValue() {
    QFETCH(QString, line);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const KeyValue kv = splitKeyValue(line);
    QCOMPARE(kv.key, key);
    QCOMPARE(kv.value, value);
}

void TextFileTest::keysIgnoreCaseOfLettersOnly() {
    QVERIFY(keyIs({"DATE", ""}, QLatin1StringView("Date")));
    QVERIFY(keyIs({"readelev", ""}, QLatin1StringView("ReadElev")));
    QVERIFY(!keyIs({"Dates", ""}, QLatin1StringView("Date")));
    QVERIFY(!keyIs({QString::fromUtf8("Dåte"), ""}, QLatin1StringView("Date")));
}

void TextFileTest::lines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CR LF") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("lone CR") << "a\rb" << QStringList{"a", "b"};
    QTest::newRow("lone LF") << "a\nb\n" << QStringList{"a", "b"};
    QTest::newRow("LF CR is two breaks") << "a\n\rb" << QStringList{"a", "", "b"};
    QTest::newRow("empty lines kept") << "a\r\n\r\nb" << QStringList{"a", "", "b"};
    QTest::newRow("empty text") << "" << QStringList{};
    QTest::newRow("break only") << "\r\n" << QStringList{""};
}

void TextFileTest::lines() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(splitLines(text), lines);
}

void TextFileTest::nulEndsTheText() {
    const QByteArray bytes("A = 1\r\nB = 2\0C = 3\r\n", 20);
    const QList<KeyValue> lines = parseKeyValueText(bytes);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[1].key, QString("B"));
    QCOMPARE(lines[1].value, QString("2"));
}

void TextFileTest::encoding_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ASCII") << "Main St" << QByteArray("Main St");
    QTest::newRow("Latin-1 range") << QString::fromUtf8("Café ½") << QByteArray("Caf\xE9 \xBD");
    QTest::newRow("1252 specials") << QString::fromUtf8("€ – “x”") << QByteArray("\x80 \x96 \x93x\x94");
    QTest::newRow("beyond 1252 is UTF-8") << QString::fromUtf8("Ελλάδα")
                                          << QByteArray("\xEF\xBB\xBF") + QString::fromUtf8("Ελλάδα").toUtf8();
}

void TextFileTest::encoding() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(encodeFileText(text), bytes);
    QCOMPARE(decodeFileText(bytes), text);
}

void TextFileTest::writeReplacesAndReadsBack() {
    QTemporaryDir dir;
    const QString name = dir.filePath("a.txt");
    writeKeyValueFile(name, {{"Units", "PSI"}, {"ExtraPress", ""}});
    QCOMPARE(readWholeFile(name), QByteArray("Units = PSI\r\nExtraPress = \r\n"));
    writeKeyValueFile(name, {{"Units", "BAR"}});
    const QList<KeyValue> back = readKeyValueFile(name);
    QCOMPARE(back.size(), 1);
    QCOMPARE(back[0].value, QString("BAR"));
}

void TextFileTest::readOnlyTargetIsKeptWhole() {
    QTemporaryDir dir;
    const QString name = dir.filePath("locked.txt");
    writeWholeFile(name, "old");
    QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    try {
        writeWholeFile(name, "new");
        QFAIL("a read-only file was replaced");
    } catch (const FileError& e) {
        QVERIFY(e.message().startsWith(QString("Cannot create file \"%1\". ").arg(name)));
    }
    QCOMPARE(readWholeFile(name), QByteArray("old"));
}

void TextFileTest::missingFolderIsReported() {
    QTemporaryDir dir;
    const QString name = dir.filePath("gone/a.txt");
    QVERIFY_THROWS_EXCEPTION(FileError, writeWholeFile(name, "x"));
}

void TextFileTest::missingFileIsReported() {
    QTemporaryDir dir;
    const QString name = dir.filePath("none.txt");
    try {
        readWholeFile(name);
        QFAIL("no error");
    } catch (const FileError& e) {
        QVERIFY(e.message().startsWith(QString("Cannot open file \"%1\". ").arg(name)));
    }
}

QTEST_APPLESS_MAIN(TextFileTest)
#include "test_textfile.moc"
