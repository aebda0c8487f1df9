#include "hydraulics/numbertext.h"

#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <cmath>

class NumberTextTest : public QObject {
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
    void followsDefaultLocale();
    void ignoresTheCLibraryLocale();
    void fixedPatterns_data();
    void fixedPatterns();
    void general_data();
    void general();
};

void NumberTextTest::reads_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<bool>("reads");
    QTest::addColumn<double>("value");
    const QChar dot('.');
    const QChar comma(',');
    const QChar arabic(0x066B);
    QTest::newRow("integer") << "10" << dot << true << 10.0;
    QTest::newRow("decimal") << "2.5" << dot << true << 2.5;
    QTest::newRow("blanks around") << "  2.5  " << dot << true << 2.5;
    QTest::newRow("plus sign") << "+3" << dot << true << 3.0;
    QTest::newRow("minus sign") << "-10" << dot << true << -10.0;
    QTest::newRow("exponent upper") << "1E1" << dot << true << 10.0;
    QTest::newRow("exponent lower") << "1e1" << dot << true << 10.0;
    QTest::newRow("exponent signed") << "25e-1" << dot << true << 2.5;
    QTest::newRow("separator alone") << "." << dot << true << 0.0;
    QTest::newRow("leading separator") << ".5" << dot << true << 0.5;
    QTest::newRow("trailing separator") << "2." << dot << true << 2.0;
    QTest::newRow("comma locale") << "2,5" << comma << true << 2.5;
    QTest::newRow("comma alone") << "," << comma << true << 0.0;
    // Either separator reads whatever the locale's is; still only one of them.
    QTest::newRow("comma in dot locale") << "2,5" << dot << true << 2.5;
    QTest::newRow("dot in comma locale") << "2.5" << comma << true << 2.5;
    QTest::newRow("comma alone in dot locale") << "," << dot << true << 0.0;
    QTest::newRow("comma before an exponent") << "-1,5E1" << dot << true << -15.0;
    QTest::newRow("a locale's own separator")
        << "2" + QString(arabic) + "5" << arabic << true << 2.5;
    QTest::newRow("comma and point") << "1,000.5" << dot << false << 0.0;
    QTest::newRow("point and comma") << "1.000,5" << comma << false << 0.0;
    QTest::newRow("two commas") << "1,2,3" << dot << false << 0.0;
    QTest::newRow("empty") << "" << dot << false << 0.0;
    QTest::newRow("blanks only") << "   " << dot << false << 0.0;
    QTest::newRow("sign only") << "-" << dot << false << 0.0;
    QTest::newRow("two separators") << "1.2.3" << dot << false << 0.0;
    QTest::newRow("inner blank") << "1 2" << dot << false << 0.0;
    QTest::newRow("no thousands separator: a comma is decimal") << "1,000" << dot << true << 1.0;
    QTest::newRow("exponent without digits") << "1E" << dot << false << 0.0;
    QTest::newRow("letters") << "abc" << dot << false << 0.0;
    QTest::newRow("tab is not a blank") << "\t5" << dot << false << 0.0;
    QTest::newRow("overflow") << "1e999" << dot << false << 0.0;
    QTest::newRow("sign after blanks") << "  -2.5" << dot << true << -2.5;
    QTest::newRow("underflow reads as zero") << "1e-999" << dot << true << 0.0;
    QTest::newRow("negative exponent within range") << "-5e-3" << dot << true << -0.005;
    // Out of range, the digits and the exponent together tell too large from too small.
    const QString manyDigits = "1" + QString(400, '0');
    QTest::newRow("many digits, small negative exponent: too large")
        << manyDigits + "e-1" << dot << false << 0.0;
    QTest::newRow("many digits, large negative exponent: within range")
        << manyDigits + "e-300" << dot << true << 1e100;
    QTest::newRow("many leading zeros, positive exponent: too small")
        << "0," + QString(400, '0') + "1e5" << comma << true << 0.0;
    QTest::newRow("many leading zeros, no exponent: too small")
        << "-0." + QString(400, '0') + "1" << dot << true << 0.0;
    QTest::newRow("many digits, no exponent: too large") << manyDigits << dot << false << 0.0;
    QTest::newRow("huge negative exponent")
        << manyDigits + "e-99999999999999999999" << dot << true << 0.0;
}

void NumberTextTest::reads() {
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    QFETCH(bool, reads);
    QFETCH(double, value);
    const auto result = readNumber(text, separator);
    QCOMPARE(result.has_value(), reads);
    if (reads)
        QCOMPARE(*result, value);
}

void NumberTextTest::ignoresTheCLibraryLocale() {
    // The application object sets the C library's locale from the user's
    // environment; reading and writing must not follow it. No comma locale
    // may be installed, so compile one into a temporary folder.
    QTemporaryDir locales;
    QProcess::execute("localedef", {"-i", "de_DE", "-f", "UTF-8", locales.filePath("de_DE.UTF-8")});
    qputenv("LOCPATH", locales.path().toLocal8Bit());
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        QSKIP("no locale with a decimal comma could be made");
    QCOMPARE(readNumber("2.5", '.').value_or(-1), 2.5);
    QCOMPARE(readNumber("2,5", ',').value_or(-1), 2.5);
    QCOMPARE(readNumber("1,5e1", ',').value_or(-1), 15.0);
    QCOMPARE(formatFixed(35.494L, 0, 1, '.'), QString("35.5"));
    QCOMPARE(formatGeneral(2.5L, '.'), QString("2.5"));
    std::setlocale(LC_NUMERIC, "C");
    qunsetenv("LOCPATH");
}

void NumberTextTest::followsDefaultLocale() {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(localeDecimalSeparator(), QChar(','));
    QCOMPARE(readNumber("12,5").value_or(-1), 12.5);
    QCOMPARE(formatPattern(35.494L, Pattern::UpToOne), QString("35,5"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(localeDecimalSeparator(), QChar('.'));
    QLocale::setDefault(saved);
}

void NumberTextTest::fixedPatterns_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("minDecimals");
    QTest::addColumn<int>("maxDecimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("0.# rounds") << 35.494 << 0 << 1 << "35.5";
    QTest::newRow("0.# drops zero") << 10.008 << 0 << 1 << "10";
    QTest::newRow("0.# half away") << 0.25 << 0 << 1 << "0.3";
    QTest::newRow("0.# negative half away") << -0.25 << 0 << 1 << "-0.3";
    QTest::newRow("0.# decimal half") << 0.05 << 0 << 1 << "0.1";
    QTest::newRow("0.0## three") << 0.98604 << 1 << 3 << "0.986";
    QTest::newRow("0.0## carries") << 0.9996 << 1 << 3 << "1.0";
    QTest::newRow("0.0## two") << 1.25 << 1 << 3 << "1.25";
    QTest::newRow("0.0## zero") << 0.0 << 1 << 3 << "0.0";
    QTest::newRow("0.0 keeps one") << 1454.516 << 1 << 1 << "1454.5";
    QTest::newRow("0.0 whole") << 5166.0 << 1 << 1 << "5166.0";
    QTest::newRow("0 half away") << 2.5 << 0 << 0 << "3";
    QTest::newRow("0 small") << 0.4 << 0 << 0 << "0";
    QTest::newRow("tiny negative is zero") << -0.01 << 0 << 1 << "0";
    QTest::newRow("large") << 123456789012.0 << 0 << 1 << "123456789012";
    QTest::newRow("carry into new digit") << 99.96 << 0 << 1 << "100";
}

void NumberTextTest::fixedPatterns() {
    QFETCH(double, value);
    QFETCH(int, minDecimals);
    QFETCH(int, maxDecimals);
    QFETCH(QString, text);
    QCOMPARE(formatFixed(value, minDecimals, maxDecimals, '.'), text);
    QCOMPARE(formatFixed(value, minDecimals, maxDecimals, ','), QString(text).replace('.', ','));
}

void NumberTextTest::general_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("whole") << 2500.0 << "2500";
    QTest::newRow("fraction") << 2.5 << "2.5";
    QTest::newRow("third") << 1.0 / 3.0 << "0.333333333333333";
    QTest::newRow("negative") << -15.0 << "-15";
    QTest::newRow("fifteen digits") << 123456789012345.0 << "123456789012345";
    QTest::newRow("too many digits") << 1e15 << "1E15";
    QTest::newRow("small") << 0.0001 << "0.0001";
    QTest::newRow("very small") << 1e-7 << "1E-7";
    QTest::newRow("pressure label") << 3 * 75.0 / 5 << "45";
}

void NumberTextTest::general() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatGeneral(value, '.'), text);
}

QTEST_APPLESS_MAIN(NumberTextTest)
#include "test_numbertext.moc"
