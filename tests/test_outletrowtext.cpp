#include "document/outletrowtext.h"
#include "documenttesthelpers.h"

#include <QTest>

class OutletRowTextTest : public QObject {
    Q_OBJECT
private slots:
    void encode_data();
    void encode();
    void decode_data();
    void decode();
    void roundTrip_data();
    void roundTrip();
};

void OutletRowTextTest::encode_data() {
    QTest::addColumn<OutletRow>("row");
    QTest::addColumn<QString>("value");
    QTest::newRow("full row") << outletRow({"#1", "", "2.5", "0.9", "18", "712"})
                              << "#1,,2.5,0.9,18,712";
    QTest::newRow("empty Elev and Flow")
        << outletRow({"#2", "", "2.5", "0.9", "15", ""}) << "#2,,2.5,0.9,15,";
    QTest::newRow("all empty") << OutletRow() << ",,,,,";
    QTest::newRow("space is quoted") << outletRow({"outlet 1"}) << "\"outlet 1\",,,,,";
    QTest::newRow("single space") << outletRow({"#1", " "}) << "#1,\" \",,,,";
    QTest::newRow("decimal comma") << outletRow({"#1", "12,5"}) << "#1,\"12,5\",,,,";
    QTest::newRow("double quote doubled") << outletRow({"2\" cap"}) << "\"2\"\" cap\",,,,,";
    QTest::newRow("only a quote") << outletRow({"\""}) << "\"\"\"\",,,,,";
    QTest::newRow("tab is quoted") << outletRow({"a\tb"}) << "\"a\tb\",,,,,";
    QTest::newRow("code 1 is quoted")
        << outletRow({QString("a") + QChar(1)}) << QString("\"a") + QChar(1) + "\",,,,,";
    QTest::newRow("code 31 is quoted")
        << outletRow({QString(QChar(31))}) << QString("\"") + QChar(31) + "\",,,,,";
    QTest::newRow("other punctuation plain") << outletRow({"#1;a=b'c"}) << "#1;a=b'c,,,,,";
    QTest::newRow("non-Latin text plain")
        << outletRow({QString::fromUtf8("Ø1"), QString::fromUtf8("Ελ")})
        << QString::fromUtf8("Ø1,Ελ,,,,");
}

void OutletRowTextTest::encode() {
    QFETCH(OutletRow, row);
    QFETCH(QString, value);
    QCOMPARE(encodeOutletRow(row), value);
}

void OutletRowTextTest::decode_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<OutletRow>("row");
    QTest::newRow("full row") << "#1,,2.5,0.9,18,712"
                              << outletRow({"#1", "", "2.5", "0.9", "18", "712"});
    QTest::newRow("trailing comma gives an empty sixth cell")
        << "#2,,2.5,0.9,15," << outletRow({"#2", "", "2.5", "0.9", "15", ""});
    QTest::newRow("empty value") << "" << OutletRow();
    QTest::newRow("commas only") << ",,,,," << OutletRow();
    QTest::newRow("empty items are empty cells") << "#1,,,0.9" << outletRow({"#1", "", "", "0.9"});
    QTest::newRow("quoted single space is a space")
        << "#1,\" \",2.5" << outletRow({"#1", " ", "2.5"});
    QTest::newRow("quoted nothing is empty") << "\"\",4" << outletRow({"", "4"});
    QTest::newRow("seven items") << "#1,1,2,3,4,5,6" << outletRow({"#1", "1", "2", "3", "4", "5"});
    QTest::newRow("seventh quoted item")
        << "#1,1,2,3,4,5,\"x,y\"" << outletRow({"#1", "1", "2", "3", "4", "5"});
    QTest::newRow("two items") << "#1,12" << outletRow({"#1", "12"});
    QTest::newRow("decimal comma quoted") << "#1,\"12,5\"" << outletRow({"#1", "12,5"});
    QTest::newRow("decimal comma unquoted splits") << "#1,12,5" << outletRow({"#1", "12", "5"});
    QTest::newRow("doubled quote") << "\"2\"\" cap\",1" << outletRow({"2\" cap", "1"});
    QTest::newRow("unclosed quote loses last character") << "#1,\"2.5" << outletRow({"#1", "2."});
    QTest::newRow("unclosed quote ends the row")
        << "#1,\"2.5,0.9,18" << outletRow({"#1", "2.5,0.9,1"});
    QTest::newRow("unclosed quote with doubled quote") << "\"a\"\"bc" << outletRow({"a\"b"});
    QTest::newRow("unclosed quote, one character") << "#1,\"2" << outletRow({"#1", ""});
    QTest::newRow("unclosed quote, nothing after") << "#1,\"" << outletRow({"#1", ""});
    QTest::newRow("leading blanks skipped") << "   #1,2" << outletRow({"#1", "2"});
    QTest::newRow("leading controls skipped")
        << QString("\t") + QChar(1) + "#1" << outletRow({"#1"});
    QTest::newRow("blanks around commas") << "#1 , 2 ,3" << outletRow({"#1", "2", "3"});
    QTest::newRow("blank separates items") << "#1 2.5 0.9" << outletRow({"#1", "2.5", "0.9"});
    QTest::newRow("tab separates items") << "#1\t2.5" << outletRow({"#1", "2.5"});
    QTest::newRow("text right after closing quote") << "\"a\"b,c" << outletRow({"a", "b", "c"});
    QTest::newRow("quote inside plain item") << "a\"b,c" << outletRow({"a\"b", "c"});
    QTest::newRow("comma then blanks at the end") << "#1, " << outletRow({"#1"});
    QTest::newRow("trailing blanks") << "#1,2   " << outletRow({"#1", "2"});
    QTest::newRow("NUL ends the value")
        << QString("#1,2") + QChar(0) + ",3" << outletRow({"#1", "2"});
    QTest::newRow("quoted control characters")
        << QString("\"a\tb") + QChar(1) + "\",x" << outletRow({QString("a\tb") + QChar(1), "x"});
}

void OutletRowTextTest::decode() {
    QFETCH(QString, value);
    QFETCH(OutletRow, row);
    QCOMPARE(decodeOutletRow(value), row);
}

void OutletRowTextTest::roundTrip_data() {
    QTest::addColumn<OutletRow>("row");
    QTest::newRow("plain") << outletRow({"#1", "10", "2.5", "0.9", "18", "712"});
    QTest::newRow("empty cells stay empty") << outletRow({"#2", "", "2.5", "", "15", ""});
    QTest::newRow("all empty") << OutletRow();
    QTest::newRow("spaces") << outletRow({" ", "  a  b  ", " 1", "1 "});
    QTest::newRow("commas") << outletRow({",", "a,b", ",,"});
    QTest::newRow("quotes") << outletRow({"\"", "\"\"", "a\"", "\"a\"b"});
    QTest::newRow("decimal commas") << outletRow({"#1", "3,5", "63,5", "0,9", "0,69", "2008"});
    QTest::newRow("control characters")
        << outletRow({"\t", QString(QChar(1)), QString("x") + QChar(31)});
    QTest::newRow("non-Latin text")
        << outletRow({QString::fromUtf8("出口1"), QString::fromUtf8("Δ")});
    QTest::newRow("everything at once") << outletRow({"\" ,\t\"", ",", "", "\"", " ", "x"});
}

void OutletRowTextTest::roundTrip() {
    QFETCH(OutletRow, row);
    QCOMPARE(decodeOutletRow(encodeOutletRow(row)), row);
}

QTEST_APPLESS_MAIN(OutletRowTextTest)
#include "test_outletrowtext.moc"
