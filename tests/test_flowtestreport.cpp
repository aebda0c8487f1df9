#include "document/testfile.h"
#include "testsupport.h"
#include "faultfs.h"
#include "report/flowtestreport.h"
#include "report/pdfwriter.h"
#include "report/printjobtitle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <cstring>
#include <optional>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// flowtest-report run as a process. Expected values are computed here from
// the outlet formula Q = K c d^2 sqrt(p) and the supply-line formulas of N^1.85
// graph paper, not taken from the tool.

namespace {

struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QString err;
    QList<QJsonObject> objects; // one per output line
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    file.write(bytes);
}

QString examplePath(const QString& name) {
    return QStringLiteral(FLOWTEST_EXAMPLES_DIR "/") + name;
}

// A well-formed test file's "key = value" lines, for the test's own reading.
QList<std::pair<QString, QString>> fileLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<std::pair<QString, QString>> lines;
    for (const QString& line :
         QString::fromLatin1(file.readAll()).split("\r\n", Qt::SkipEmptyParts))
        lines.append({line.section(" = ", 0, 0), line.section(" = ", 1)});
    return lines;
}

QStringList valuesOf(const QList<std::pair<QString, QString>>& lines, const QString& key) {
    QStringList values;
    for (const auto& [k, v] : lines)
        if (k == key)
            values.append(v);
    return values;
}

// Rounds to the pattern's decimals and drops trailing zeros beyond minDecimals.
QString fixed(double value, int minDecimals, int maxDecimals) {
    QString text = QString::number(value, 'f', maxDecimals);
    while (maxDecimals > minDecimals && text.endsWith('0')) {
        text.chop(1);
        --maxDecimals;
    }
    if (text.endsWith('.'))
        text.chop(1);
    return text;
}

// The flow graph's numbers, from the supply line P(q) = S - k q^1.85.
struct ExpectedGraph {
    double k = 0;
    double Qe = 0;
    std::optional<double> Q0;
    double Fx = 0;
    double Fmax = 0;
    double Pmax = 0;
    double Pend = 0;
    QString note;
    QStringList flowLabels;
    QStringList pressureLabels;
    QString lineEnd; // "right", "bottom" or empty for none
};

double expectedFlowAxisMax(double Fx) {
    const long long b = static_cast<long long>(Fx / 5) + 1;
    if (b <= 10)
        return 50;
    if (b <= 50)
        return 250;
    if (b <= 100)
        return 500;
    if (b <= 250)
        return 1250;
    if (b <= 500)
        return 2500;
    if (b <= 750)
        return 3750;
    if (b <= 1000)
        return 5000;
    return 2500 * (std::trunc(Fx / 2500) + 1);
}

double expectedPressureAxisMax(double S) {
    const double P1 = 1.05 * S;
    if (P1 <= 5)
        return 5;
    if (P1 <= 10)
        return 10;
    const double x = P1 / 25;
    return x == std::trunc(x) ? 25 * x : 25 * (std::trunc(x) + 1);
}

ExpectedGraph expectedGraph(double S, double R, double Q, bool show, const QString& pressureText,
                            const QString& noteFlowUnit, const QString& pressureUnit) {
    const long double n = 1.85L;
    ExpectedGraph g;
    g.k = S == R ? 0.0 : double((S - R) / std::pow((long double)Q, n));
    if (g.k != 0 && S > 0)
        g.Q0 = double(std::pow((long double)S / g.k, 1 / n));
    if (show && pressureText.toDouble() < S && S > R)
        g.Qe = double(Q * std::pow((S - pressureText.toDouble()) / (long double)(S - R), 1 / n));
    g.Fx = g.k == 0 ? 1.25 * Q : std::min(*g.Q0, 1.25 * Q);
    if (show)
        g.Fx = std::max(g.Fx, g.Qe);
    g.Fmax = expectedFlowAxisMax(g.Fx);
    g.Pmax = expectedPressureAxisMax(S);
    g.Pend = double(S - g.k * std::pow((long double)g.Fmax, n));
    if (show && g.Qe > 0)
        g.note = QString::number(g.Qe, 'f', 1) + " " + noteFlowUnit + " at " + pressureText + " " +
                 pressureUnit;
    for (int i = 0; i <= 5; ++i) {
        g.flowLabels.append(QString::number(i * g.Fmax / 5, 'f', 0));
        g.pressureLabels.append(QString::number(i * g.Pmax / 5, 'f', 0));
    }
    if (S > 0)
        g.lineEnd = g.Pend > 0 ? QStringLiteral("right") : QStringLiteral("bottom");
    return g;
}

QString expectedClass(double gpm) {
    return gpm >= 1500 ? "AA" : gpm >= 1000 ? "A" : gpm >= 500 ? "B" : "C";
}

QStringList stringArray(const QJsonValue& value) {
    QStringList texts;
    for (const QJsonValue& item : value.toArray())
        texts.append(item.toString());
    return texts;
}

#define COMPARE_NUMBER(actual, expected)                                                           \
    QVERIFY2(closeTo((actual), (expected)), qPrintable(QStringLiteral("%1: %2, expected %3")       \
                                                           .arg(#actual)                           \
                                                           .arg((actual), 0, 'g', 17)              \
                                                           .arg((expected), 0, 'g', 17)))

} // namespace

class FlowTestReportTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void examples_data();
    void examples();
    void testFieldsAsTheWindowShowsThem();
    void keyOrder();
    void settings_data();
    void settings();
    void settingsReachTheGraph_data();
    void settingsReachTheGraph();
    void exitStatus_data();
    void exitStatus();
    void edgeFiles_data();
    void edgeFiles();
    void textsAreEscaped();
    void numbersReadBackExactly();
    void decimalComma_data();
    void decimalComma();
    void csv();
    void csvCells_data();
    void csvCells();
    void csvKeepsInputOrder();
    void pdfAsSaveAsPdf_data();
    void pdfAsSaveAsPdf();
    void documentTitlesNameTheTest();
    void supplyAnalysis_data();
    void supplyAnalysis();
    void existingOutputs_data();
    void existingOutputs();
    void outDir();
    void batchOutputsNeverMeet_data();
    void batchOutputsNeverMeet();
    void outputNamesStayInTheFolder();
    void linksAtOutputs_data();
    void linksAtOutputs();
    void failedWriteKeepsOldReports_data();
    void failedWriteKeepsOldReports();
    void onlyRegularFilesAreRead_data();
    void onlyRegularFilesAreRead();
    void shellRuns_data();
    void shellRuns();

private:
    ToolRun run(const QStringList& arguments, const QStringList& environment = {});
    QString userOptionsFile() const;
    QString dataFile(const QString& name, const QByteArray& bytes);
    QString cLibraryCommaLocaleFolder();

    std::optional<QTemporaryDir> appData_;
    std::optional<QTemporaryDir> data_;
    std::optional<QTemporaryDir> cLocales_;
};

void FlowTestReportTest::init() {
    appData_.emplace();
    data_.emplace();
    QVERIFY(appData_->isValid() && data_->isValid());
}

void FlowTestReportTest::cleanup() {
    appData_.reset();
    data_.reset();
}

ToolRun FlowTestReportTest::run(const QStringList& arguments, const QStringList& environment) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& name : env.keys())
        if (name.startsWith("LC_") || name == "LANG" || name == "LANGUAGE")
            env.remove(name);
    env.insert("LC_ALL", "C.UTF-8");
    // Never the user's own options file.
    env.insert("APPDATA", appData_->path());
    for (const QString& assignment : environment) {
        const QString name = assignment.section('=', 0, 0);
        const QString value = assignment.section('=', 1);
        if (value.isEmpty())
            env.remove(name);
        else
            env.insert(name, value);
    }
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(data_->path());
    process.start(QStringLiteral(FLOWTEST_REPORT_TOOL), arguments);
    ToolRun result;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = QString::fromUtf8(process.readAllStandardError());
    // Help and version texts are not JSON; every report line is one object.
    if (!result.out.startsWith('{'))
        return result;
    for (const QByteArray& line : result.out.split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        if (error.error != QJsonParseError::NoError || !document.isObject())
            qWarning("not a JSON object: %s", line.constData());
        result.objects.append(document.object());
    }
    return result;
}

QString FlowTestReportTest::userOptionsFile() const {
    const QString folder = appData_->path() + "/Ostrel/FlowTest";
    QDir().mkpath(folder);
    return folder + "/FlowTest20.INI";
}

QString FlowTestReportTest::dataFile(const QString& name, const QByteArray& bytes) {
    const QString path = data_->filePath(name);
    writeFile(path, bytes);
    return path;
}

// A folder for LOCPATH holding de_DE.UTF-8, compiled from the C library's
// locale sources into a temporary folder; empty when that fails.
QString FlowTestReportTest::cLibraryCommaLocaleFolder() {
    if (!cLocales_) {
        cLocales_.emplace();
        QProcess localedef;
        localedef.start("localedef",
                        {"-i", "de_DE", "-f", "UTF-8", cLocales_->filePath("de_DE.UTF-8")});
        localedef.waitForFinished(120000);
    }
    if (!QFileInfo::exists(cLocales_->filePath("de_DE.UTF-8/LC_NUMERIC")))
        return {};
    return cLocales_->path();
}

void FlowTestReportTest::examples_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("unitsFlag");
    QTest::addColumn<double>("K");
    QTest::addColumn<int>("pitotMinDecimals"); // "0.#" for U.S. and kPa, "0.0##" for bar
    QTest::addColumn<int>("pitotMaxDecimals");
    QTest::addColumn<QStringList>("unitTexts"); // length, flow, pressure
    QTest::addColumn<QString>("noteFlowUnit");
    QTest::addColumn<QString>("unitsKeyword");
    QTest::addColumn<double>("twentyPsi");  // in the pressure unit
    QTest::addColumn<double>("gpmPerUnit"); // of the flow unit
    QTest::newRow("U.S. three outlets")
        << "us-three-outlets.oft"
        << "us" << 29.84 << 0 << 1 << QStringList{"ft", "gpm", "psi"} << "gpm"
        << "PSI" << 20.0 << 1.0;
    QTest::newRow("metric bar") << "metric-bar.oft"
                                << "bar" << 0.666 << 1 << 3 << QStringList{"m", "lpm", "bar"}
                                << "Lpm"
                                << "BAR" << 1.379 << 1 / 3.785411784;
    QTest::newRow("metric kPa") << "metric-kpa.oft"
                                << "kpa" << 0.0666 << 0 << 1 << QStringList{"m", "lpm", "kPa"}
                                << "Lpm"
                                << "KPA" << 137.9 << 1 / 3.785411784;
    QTest::newRow("U.S. file under kPa units: relabelled, not converted")
        << "us-three-outlets.oft"
        << "kpa" << 0.0666 << 0 << 1 << QStringList{"m", "lpm", "kPa"} << "Lpm"
        << "KPA" << 137.9 << 1 / 3.785411784;
}

void FlowTestReportTest::examples() {
    QFETCH(QString, fileName);
    QFETCH(QString, unitsFlag);
    QFETCH(double, K);
    QFETCH(int, pitotMinDecimals);
    QFETCH(int, pitotMaxDecimals);
    QFETCH(QStringList, unitTexts);
    QFETCH(QString, noteFlowUnit);
    QFETCH(QString, unitsKeyword);
    QFETCH(double, twentyPsi);
    QFETCH(double, gpmPerUnit);

    const QString path = examplePath(fileName);
    const ToolRun result = run({"--json", "--units", unitsFlag, path});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QString());
    QCOMPARE(result.objects.size(), 1);
    const QJsonObject json = result.objects.first();
    QCOMPARE(json["file"].toString(), path);

    const auto lines = fileLines(path);
    const QJsonObject test = json["test"].toObject();
    QCOMPARE(test["date"].toString(), valuesOf(lines, "Date").value(0));
    QCOMPARE(test["time"].toString(), valuesOf(lines, "Time").value(0));
    QCOMPARE(stringArray(test["location"]), valuesOf(lines, "Location"));
    QCOMPARE(stringArray(test["notes"]), valuesOf(lines, "Notes"));
    QCOMPARE(test["static"].toString(), valuesOf(lines, "Static").value(0));
    QCOMPARE(test["residual"].toString(), valuesOf(lines, "Residual").value(0));
    QCOMPARE(test["readElev"].toString(), valuesOf(lines, "ReadElev").value(0));

    const QStringList flowLines = valuesOf(lines, "Flow");
    const QJsonArray outlets = test["outlets"].toArray();
    QCOMPARE(outlets.size(), flowLines.size());
    double sum = 0;
    const char* const keys[] = {"label", "elev", "size", "c", "pitot", "flow"};
    for (qsizetype i = 0; i < flowLines.size(); ++i) {
        const QStringList cells = flowLines[i].split(',');
        const QJsonObject outlet = outlets[i].toObject();
        for (int column = 0; column < 6; ++column)
            QCOMPARE(outlet[keys[column]].toString(), cells[column]);
        const double d = cells[2].toDouble();
        const double c = cells[3].toDouble();
        const double flow = K * c * d * d * std::sqrt(cells[4].toDouble());
        QCOMPARE(outlet["flowFromPitot"].toString(), QString::number(std::round(flow), 'f', 0));
        const double pitot = std::pow(cells[5].toDouble() / (K * c * d * d), 2);
        QCOMPARE(outlet["pitotFromFlow"].toString(),
                 fixed(pitot, pitotMinDecimals, pitotMaxDecimals));
        sum += cells[5].toDouble();
    }

    const QJsonObject settings = json["settings"].toObject();
    QCOMPARE(settings["units"].toString(), unitsKeyword);
    QCOMPARE(stringArray(settings["testedBy"]), QStringList());
    QCOMPARE(settings["showExtraFlow"].toBool(), true);
    QCOMPARE(settings["extraPressure"].toString(), QStringLiteral("20"));

    const QJsonObject units = json["units"].toObject();
    QCOMPARE((QStringList{units["length"].toString(), units["flow"].toString(),
                          units["pressure"].toString()}),
             unitTexts);

    QCOMPARE(json["totalFlow"].toDouble(), sum);
    QCOMPARE(json["totalLabel"].toString(), QStringLiteral("Total"));
    QCOMPARE(json["total"].toString(), fixed(sum, 0, 1) + " " + unitTexts[1]);

    const double S = valuesOf(lines, "Static").value(0).toDouble();
    const double R = valuesOf(lines, "Residual").value(0).toDouble();
    const ExpectedGraph expected = expectedGraph(S, R, sum, true, "20", noteFlowUnit, unitTexts[2]);
    const QJsonObject graph = json["graph"].toObject();
    QCOMPARE(graph["static"].toDouble(), S);
    QCOMPARE(graph["residual"].toDouble(), R);
    QCOMPARE(graph["flow"].toDouble(), sum);
    COMPARE_NUMBER(graph["supplyCoefficient"].toDouble(), expected.k);
    COMPARE_NUMBER(graph["chosenPressureFlow"].toDouble(), expected.Qe);
    QVERIFY(expected.Q0);
    COMPARE_NUMBER(graph["zeroPressureFlow"].toDouble(), *expected.Q0);
    COMPARE_NUMBER(graph["flowExtent"].toDouble(), expected.Fx);
    QCOMPARE(graph["flowAxisMax"].toDouble(), expected.Fmax);
    QCOMPARE(graph["pressureAxisMax"].toDouble(), expected.Pmax);
    COMPARE_NUMBER(graph["rightEdgePressure"].toDouble(), expected.Pend);
    QCOMPARE(graph["note"].toString(), expected.note);
    QCOMPARE(stringArray(graph["flowLabels"]), expected.flowLabels);
    QCOMPARE(stringArray(graph["pressureLabels"]), expected.pressureLabels);
    QCOMPARE(graph["lineEnd"].toString(), expected.lineEnd);

    const QJsonObject rating = json["rating"].toObject();
    COMPARE_NUMBER(rating["dropPercent"].toDouble(), (S - R) / S * 100);
    if (S <= twentyPsi) {
        QVERIFY(rating["flowAt20psi"].isNull() && rating["nfpaClass"].isNull());
        return;
    }
    const double flowAt20psi = sum * std::pow((S - twentyPsi) / (S - R), 1 / 1.85);
    COMPARE_NUMBER(rating["flowAt20psi"].toDouble(), flowAt20psi);
    QCOMPARE(rating["nfpaClass"].toString(), expectedClass(flowAt20psi * gpmPerUnit));
}

void FlowTestReportTest::testFieldsAsTheWindowShowsThem() {
    // Spelled out once for the U.S. example, including its empty notes line.
    const ToolRun result = run({"--json", examplePath("us-three-outlets.oft")});
    QCOMPARE(result.exitCode, 0);
    const QJsonObject test = result.objects.value(0)["test"].toObject();
    QCOMPARE(test["date"].toString(), QStringLiteral("5/16/2023"));
    QCOMPARE(test["time"].toString(), QStringLiteral("9:40 AM"));
    QCOMPARE(stringArray(test["notes"]),
             (QStringList{"12 in cast iron main, looped.",
                          "Three 2.5 in butts flowed via playpipes, pitot at each.", "",
                          "Water department: R. Alvarez. Tested by: M. Chen."}));
    QCOMPARE(test["static"].toString(), QStringLiteral("72"));
    const QJsonObject first = test["outlets"].toArray().at(0).toObject();
    QCOMPARE(first["flowFromPitot"].toString(),
             QStringLiteral("712")); // 29.84 * 0.9 * 6.25 * sqrt(18)
    QCOMPARE(result.objects.value(0)["total"].toString(), QStringLiteral("1879 gpm"));
    QCOMPARE(result.objects.value(0)["graph"].toObject()["note"].toString(),
             QStringLiteral("3819.2 gpm at 20 psi"));
}

void FlowTestReportTest::keyOrder() {
    const ToolRun result = run({"--json", examplePath("metric-kpa.oft")});
    QCOMPARE(result.exitCode, 0);
    const QString line = QString::fromUtf8(result.out).trimmed();
    QStringList keys;
    static const QRegularExpression key(QStringLiteral("\"(\\w+)\":"));
    for (const QRegularExpressionMatch& match : key.globalMatch(line))
        keys.append(match.captured(1));
    const QStringList outletKeys{"label", "elev", "size",          "c",
                                 "pitot", "flow", "flowFromPitot", "pitotFromFlow"};
    QStringList expected{"file",  "test",   "date",     "time",     "location",
                         "notes", "static", "residual", "readElev", "outlets"};
    expected += outletKeys;
    expected += outletKeys;
    expected += QStringList{"settings",
                            "units",
                            "testedBy",
                            "showExtraFlow",
                            "extraPressure",
                            "units",
                            "length",
                            "flow",
                            "pressure",
                            "totalFlow",
                            "totalLabel",
                            "total",
                            "graph",
                            "static",
                            "residual",
                            "flow",
                            "supplyCoefficient",
                            "chosenPressureFlow",
                            "zeroPressureFlow",
                            "flowExtent",
                            "flowAxisMax",
                            "pressureAxisMax",
                            "rightEdgePressure",
                            "note",
                            "flowLabels",
                            "pressureLabels",
                            "lineEnd",
                            "rating",
                            "flowAt20psi",
                            "nfpaClass",
                            "dropPercent",
                            "analysis",
                            "stops",
                            "advice"};
    QCOMPARE(keys, expected);
    QVERIFY(line.startsWith("{\"file\":"));
    QCOMPARE(result.out.count('\n'), 1);
    QVERIFY(result.out.endsWith('\n'));
}

void FlowTestReportTest::settings_data() {
    QTest::addColumn<QByteArray>("userOptions");  // the user's own options file, none when empty
    QTest::addColumn<QByteArray>("otherOptions"); // a file for --options {other}
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<QString>("units");
    QTest::addColumn<QStringList>("testedBy");
    QTest::addColumn<bool>("showExtraFlow");
    QTest::addColumn<QString>("extraPressure");

    const QByteArray user = "TestBy = District Fire Prevention Bureau\r\nTestBy = Unit 4\r\n"
                            "Units = KPA\r\nShowExtraFlow = F\r\nExtraPress = 150\r\n";
    const QByteArray other = "TestBy = Water Works\r\nUnits = bar\r\n";
    const QStringList userLines{"District Fire Prevention Bureau", "Unit 4"};

    QTest::newRow("no options file: defaults")
        << QByteArray() << QByteArray() << QStringList() << "PSI" << QStringList() << true << "20";
    QTest::newRow("the user's options file")
        << user << QByteArray() << QStringList() << "KPA" << userLines << false << "150";
    QTest::newRow("--units us") << user << QByteArray() << QStringList{"--units", "us"} << "PSI"
                                << userLines << false << "150";
    QTest::newRow("--units bar") << user << QByteArray() << QStringList{"--units", "bar"} << "BAR"
                                 << userLines << false << "150";
    QTest::newRow("--units kpa over defaults")
        << QByteArray() << QByteArray() << QStringList{"--units", "kpa"} << "KPA" << QStringList()
        << true << "20";
    QTest::newRow("--units=BAR, any case")
        << QByteArray() << QByteArray() << QStringList{"--units=BAR"} << "BAR" << QStringList()
        << true << "20";
    QTest::newRow("last --units wins")
        << QByteArray() << QByteArray() << QStringList{"--units", "bar", "--units", "kpa"} << "KPA"
        << QStringList() << true << "20";
    QTest::newRow("--tested-by replaces the tester lines")
        << user << QByteArray()
        << QStringList{"--tested-by", "M. Chen", "--tested-by", "R. Alvarez"} << "KPA"
        << QStringList{"M. Chen", "R. Alvarez"} << false << "150";
    QTest::newRow("--tested-by with an empty line")
        << user << QByteArray() << QStringList{"--tested-by", ""} << "KPA" << QStringList{""}
        << false << "150";
    QTest::newRow("--extra-pressure")
        << user << QByteArray() << QStringList{"--extra-pressure", "1.4"} << "KPA" << userLines
        << false << "1.4";
    QTest::newRow("--extra-flow over the file's F")
        << user << QByteArray() << QStringList{"--extra-flow"} << "KPA" << userLines << true
        << "150";
    QTest::newRow("--no-extra-flow over the default")
        << QByteArray() << QByteArray() << QStringList{"--no-extra-flow"} << "PSI" << QStringList()
        << false << "20";
    QTest::newRow("--extra-flow then --no-extra-flow: last wins")
        << QByteArray() << QByteArray() << QStringList{"--extra-flow", "--no-extra-flow"} << "PSI"
        << QStringList() << false << "20";
    QTest::newRow("--no-extra-flow then --extra-flow: last wins")
        << user << QByteArray() << QStringList{"--no-extra-flow", "--extra-flow"} << "KPA"
        << userLines << true << "150";
    QTest::newRow("--options instead of the user's file")
        << user << other << QStringList{"--options", "{other}"} << "BAR"
        << QStringList{"Water Works"} << true << "20";
    QTest::newRow("--options, then flags over it")
        << user << other
        << QStringList{"--options", "{other}",         "--units",          "us", "--tested-by",
                       "X",         "--no-extra-flow", "--extra-pressure", ""}
        << "PSI" << QStringList{"X"} << false << "";
}

void FlowTestReportTest::settings() {
    QFETCH(QByteArray, userOptions);
    QFETCH(QByteArray, otherOptions);
    QFETCH(QStringList, flags);
    QFETCH(QString, units);
    QFETCH(QStringList, testedBy);
    QFETCH(bool, showExtraFlow);
    QFETCH(QString, extraPressure);
    if (!userOptions.isEmpty())
        writeFile(userOptionsFile(), userOptions);
    const QString other = dataFile("other.ini", otherOptions);
    flags.replaceInStrings("{other}", other);

    const ToolRun result =
        run(QStringList{"--json"} + flags + QStringList{examplePath("us-three-outlets.oft")});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.objects.size(), 1);
    const QJsonObject settings = result.objects.first()["settings"].toObject();
    QCOMPARE(settings["units"].toString(), units);
    QCOMPARE(stringArray(settings["testedBy"]), testedBy);
    QVERIFY(settings["showExtraFlow"].isBool());
    QCOMPARE(settings["showExtraFlow"].toBool(), showExtraFlow);
    QCOMPARE(settings["extraPressure"].toString(), extraPressure);
}

void FlowTestReportTest::settingsReachTheGraph_data() {
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<QString>("unitsText"); // report pressure unit
    QTest::addColumn<bool>("show");
    QTest::addColumn<QString>("pressureText");
    QTest::addColumn<QString>("noteFlowUnit");
    QTest::newRow("defaults") << QStringList() << "psi" << true << "20"
                              << "gpm";
    QTest::newRow("--extra-pressure 35")
        << QStringList{"--extra-pressure", "35"} << "psi" << true << "35"
        << "gpm";
    QTest::newRow("--extra-pressure not a number: 0")
        << QStringList{"--extra-pressure", "abc"} << "psi" << true << "abc"
        << "gpm";
    QTest::newRow("--extra-pressure at static: no note")
        << QStringList{"--extra-pressure", "72"} << "psi" << true << "72"
        << "gpm";
    QTest::newRow("--no-extra-flow") << QStringList{"--no-extra-flow"} << "psi" << false << "20"
                                     << "gpm";
    QTest::newRow("--units bar words the note")
        << QStringList{"--units", "bar", "--extra-pressure", "40"} << "bar" << true << "40"
        << "Lpm";
}

void FlowTestReportTest::settingsReachTheGraph() {
    QFETCH(QStringList, flags);
    QFETCH(QString, unitsText);
    QFETCH(bool, show);
    QFETCH(QString, pressureText);
    QFETCH(QString, noteFlowUnit);
    // Static 72, residual 58, flows 712 + 650 + 517.
    const ToolRun result =
        run(QStringList{"--json"} + flags + QStringList{examplePath("us-three-outlets.oft")});
    QCOMPARE(result.exitCode, 0);
    const QJsonObject graph = result.objects.value(0)["graph"].toObject();
    const ExpectedGraph expected =
        expectedGraph(72, 58, 1879, show, pressureText, noteFlowUnit, unitsText);
    COMPARE_NUMBER(graph["chosenPressureFlow"].toDouble(), expected.Qe);
    COMPARE_NUMBER(graph["flowExtent"].toDouble(), expected.Fx);
    QCOMPARE(graph["flowAxisMax"].toDouble(), expected.Fmax);
    QCOMPARE(graph["note"].toString(), expected.note);
}

void FlowTestReportTest::exitStatus_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("printedFiles"); // the "file" of each output line, in order
    QTest::addColumn<QStringList>("errorTexts");   // each must appear on standard error
    QTest::addColumn<QString>("outputText");       // must appear on standard output

    const QStringList none;
    QTest::newRow("one file") << QStringList{"--json", "{good}"} << 0 << QStringList{"{good}"}
                              << none << "";
    QTest::newRow("two files in order") << QStringList{"--json", "{good2}", "{good}"} << 0
                                        << QStringList{"{good2}", "{good}"} << none << "";
    QTest::newRow("relative path as given")
        << QStringList{"--json", "good.oft"} << 0 << QStringList{"good.oft"} << none << "";
    QTest::newRow("missing file among readable ones")
        << QStringList{"--json", "{good}", "{missing}", "{good2}"} << 1
        << QStringList{"{good}", "{good2}"}
        << QStringList{"Cannot open file \"{missing}\". No such file or directory"} << "";
    QTest::newRow("folder among readable ones")
        << QStringList{"--json", "{dir}", "{good}"} << 1 << QStringList{"{good}"}
        << QStringList{"Cannot open file \"{dir}\"."} << "";
    QTest::newRow("--options file missing: nothing processed")
        << QStringList{"--json", "--options", "{missing}", "{good}"} << 1 << none
        << QStringList{"Cannot open file \"{missing}\"."} << "";
    QTest::newRow("no arguments") << QStringList() << 2 << none << QStringList{"Usage:"} << "";
    QTest::newRow("--json without a file")
        << QStringList{"--json"} << 2 << none << QStringList{"No input file", "Usage:"} << "";
    QTest::newRow("file without an output")
        << QStringList{"{good}"} << 2 << none << QStringList{"--json", "Usage:"} << "";
    QTest::newRow("two outputs") << QStringList{"--json", "--csv", "{good}"} << 2 << none
                                 << QStringList{"one output"} << "";
    QTest::newRow("--pdf with two files") << QStringList{"--pdf", "x.pdf", "{good}", "{good2}"} << 2
                                          << none << QStringList{"exactly one"} << "";
    QTest::newRow("--format without --out-dir")
        << QStringList{"--pdf", "x.pdf", "--format", "pdf", "{good}"} << 2 << none
        << QStringList{"--format goes with --out-dir"} << "";
    QTest::newRow("bad --format") << QStringList{"--out-dir", "o", "--format", "png", "{good}"} << 2
                                  << none << QStringList{"png"} << "";
    QTest::newRow("-j 0") << QStringList{"--csv", "-j", "0", "{good}"} << 2 << none
                          << QStringList{"at least 1"} << "";
    QTest::newRow("unknown option") << QStringList{"--json", "--bogus", "{good}"} << 2 << none
                                    << QStringList{"bogus", "Usage:"} << "";
    QTest::newRow("bad --units") << QStringList{"--json", "--units", "gallons", "{good}"} << 2
                                 << none << QStringList{"gallons", "Usage:"} << "";
    QTest::newRow("--units without its value")
        << QStringList{"--json", "{good}", "--units"} << 2 << none << QStringList{"Usage:"} << "";
    QTest::newRow("usage error before a missing file")
        << QStringList{"--json", "--units", "x", "{missing}"} << 2 << none << QStringList{"Usage:"}
        << "";
    QTest::newRow("--help") << QStringList{"--help"} << 0 << none << none << "--tested-by";
    QTest::newRow("-h with other arguments")
        << QStringList{"-h", "--json", "{missing}"} << 0 << none << none << "Exit status";
    QTest::newRow("--version") << QStringList{"--version"} << 0 << none << none
                               << "flowtest-report ";
    QTest::newRow("-V") << QStringList{"-V"} << 0 << none << none << "flowtest-report ";
}

void FlowTestReportTest::exitStatus() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QStringList, printedFiles);
    QFETCH(QStringList, errorTexts);
    QFETCH(QString, outputText);

    QFile::copy(examplePath("us-three-outlets.oft"), data_->filePath("good.oft"));
    QFile::copy(examplePath("metric-bar.oft"), data_->filePath("good2.oft"));
    QDir(data_->path()).mkdir("folder.oft");
    const auto substitute = [this](QStringList texts) {
        texts.replaceInStrings("{good}", data_->filePath("good.oft"));
        texts.replaceInStrings("{good2}", data_->filePath("good2.oft"));
        texts.replaceInStrings("{missing}", data_->filePath("missing.oft"));
        texts.replaceInStrings("{dir}", data_->filePath("folder.oft"));
        return texts;
    };

    const ToolRun result = run(substitute(arguments));
    QCOMPARE(result.exitCode, exitCode);
    QStringList files;
    for (const QJsonObject& object : result.objects)
        files.append(object["file"].toString());
    if (outputText.isEmpty())
        QCOMPARE(files, substitute(printedFiles));
    else
        QVERIFY2(result.out.contains(outputText.toUtf8()), result.out.constData());
    for (const QString& text : substitute(errorTexts))
        QVERIFY2(result.err.contains(text), qPrintable(result.err));
    if (exitCode == 0)
        QCOMPARE(result.err, QString());
}

void FlowTestReportTest::edgeFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("labels"); // outlet labels as the window shows them
    QTest::addColumn<double>("totalFlow");
    QTest::addColumn<QString>("total");
    QTest::addColumn<bool>("graphDrawn");
    QTest::addColumn<QString>("lineEnd"); // "null" when left out

    QTest::newRow("no Flow lines: one empty outlet #1, no graph")
        << QByteArray("Static = 60\r\nResidual = 40\r\n") << QStringList{"#1"} << 0.0 << "" << false
        << "";
    QTest::newRow("empty file") << QByteArray() << QStringList{"#1"} << 0.0 << "" << false << "";
    QTest::newRow("static below residual: no graph")
        << QByteArray("Static = 40\r\nResidual = 60\r\nFlow = #1,,,,,1000\r\n") << QStringList{"#1"}
        << 1000.0 << "" << false << "";
    QTest::newRow("static equal to residual: level line to the right edge")
        << QByteArray("Static = 50\r\nResidual = 50\r\nFlow = #1,,,,,1000\r\n") << QStringList{"#1"}
        << 1000.0 << "" << true << "right";
    QTest::newRow("empty pressures: no graph")
        << QByteArray("Flow = #1,,,,,1000\r\n") << QStringList{"#1"} << 1000.0 << "" << false << "";
    QTest::newRow("residual empty: no graph")
        << QByteArray("Static = 72\r\nResidual = \r\nFlow = #1,,,,,1000\r\n") << QStringList{"#1"}
        << 1000.0 << "" << false << "";
    QTest::newRow("residual typed with its unit: no graph")
        << QByteArray("Static = 72\r\nResidual = 58 psi\r\nFlow = #1,,,,,1000\r\n")
        << QStringList{"#1"} << 1000.0 << "" << false << "";
    QTest::newRow("three outlets without flows: 0 gpm, no graph")
        << QByteArray("Static = 60\r\nFlow = #1\r\nFlow = #2\r\nFlow = #3\r\n")
        << QStringList{"#1", "#2", "#3"} << 0.0 << "0 gpm" << false << "";
    QTest::newRow("labels as written, not renumbered")
        << QByteArray("Static = 60\r\nResidual = 40\r\nFlow = A,,,,,500.5\r\nFlow = #9,,,,,250\r\n")
        << QStringList{"A", "#9"} << 750.5 << "750.5 gpm" << true << "right";
}

void FlowTestReportTest::edgeFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, labels);
    QFETCH(double, totalFlow);
    QFETCH(QString, total);
    QFETCH(bool, graphDrawn);
    QFETCH(QString, lineEnd);

    const ToolRun result = run({"--json", dataFile("edge.oft", bytes)});
    QCOMPARE(result.exitCode, 0);
    const QJsonObject json = result.objects.value(0);
    QStringList shownLabels;
    for (const QJsonValue& outlet : json["test"].toObject()["outlets"].toArray())
        shownLabels.append(outlet.toObject()["label"].toString());
    QCOMPARE(shownLabels, labels);
    QCOMPARE(json["totalFlow"].toDouble(), totalFlow);
    QCOMPARE(json["totalLabel"].toString(), total.isEmpty() ? QString() : QStringLiteral("Total"));
    QCOMPARE(json["total"].toString(), total);
    QCOMPARE(json["graph"].isObject(), graphDrawn);
    QCOMPARE(json["graph"].isNull(), !graphDrawn);
    if (!graphDrawn)
        return;
    const QJsonObject graph = json["graph"].toObject();
    if (lineEnd == "null")
        QVERIFY(graph["lineEnd"].isNull());
    else
        QCOMPARE(graph["lineEnd"].toString(), lineEnd);
    if (graph["static"].toDouble() == graph["residual"].toDouble()) {
        // No pressure drop: no supply coefficient, no zero-pressure flow, no note.
        QCOMPARE(graph["supplyCoefficient"].toDouble(), 0.0);
        QVERIFY(graph["zeroPressureFlow"].isNull());
        QCOMPARE(graph["note"].toString(), QString());
        COMPARE_NUMBER(graph["flowExtent"].toDouble(), 1.25 * totalFlow);
    }
}

void FlowTestReportTest::textsAreEscaped() {
    // Windows-1252 bytes: 0xDF is sharp s; a tab and a control character stay in the value.
    const QByteArray bytes = "Location = Say \"hi\" at C:\\hydrants\tStra\xDF"
                             "e \x01!\r\n"
                             "Flow = \"#1 \"\"A\"\"\",,2.5,0.9,10,\r\n";
    const ToolRun result = run({"--json", dataFile("escapes.oft", bytes)});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out.count('\n'), 1);
    QVERIFY(result.out.contains(R"(Say \"hi\" at C:\\hydrants\tStra)"));
    QVERIFY(result.out.contains("\\u0001"));
    QVERIFY(result.out.contains("Stra\xC3\x9F"
                                "e")); // UTF-8, not escaped
    const QJsonObject test = result.objects.value(0)["test"].toObject();
    QCOMPARE(stringArray(test["location"]),
             QStringList{QString::fromUtf8("Say \"hi\" at C:\\hydrants\tStra\xC3\x9F"
                                           "e \x01!")});
    const QJsonObject outlet = test["outlets"].toArray().at(0).toObject();
    QCOMPARE(outlet["label"].toString(), QStringLiteral("#1 \"A\""));
    QCOMPARE(outlet["flowFromPitot"].toString(), QStringLiteral("531"));
}

void FlowTestReportTest::numbersReadBackExactly() {
    const ToolRun result =
        run({"--json", dataFile("tenths.oft", "Flow = #1,,,,,0.1\r\nFlow = #2,,,,,0.2\r\n")});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.out.contains("\"totalFlow\":0.30000000000000004,"));
    QCOMPARE(result.objects.value(0)["totalFlow"].toDouble(), 0.1 + 0.2);
    QCOMPARE(result.objects.value(0)["total"].toString(), QStringLiteral("0.3 gpm"));
}

void FlowTestReportTest::decimalComma_data() {
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<bool>("withCLibraryLocale");
    QTest::newRow("LC_ALL") << QStringList{"LC_ALL=de_DE.UTF-8"} << false;
    QTest::newRow("LC_NUMERIC") << QStringList{"LC_ALL=", "LC_NUMERIC=de_DE.UTF-8", "LANG=C.UTF-8"}
                                << false;
    QTest::newRow("LANG") << QStringList{"LC_ALL=", "LANG=de_DE.UTF-8"} << false;
    // With the C library's own comma locale active as well, C number
    // conversions underneath must still work with full stops.
    QTest::newRow("LC_ALL with the C library's locale")
        << QStringList{"LC_ALL=de_DE.UTF-8"} << true;
}

void FlowTestReportTest::decimalComma() {
#ifndef Q_OS_LINUX
    QSKIP("the locale is taken from the environment only on Linux");
#endif
    // Qt takes the decimal separator from these variables with its own
    // locale data, so no system locale needs to be installed.
    QFETCH(QStringList, environment);
    QFETCH(bool, withCLibraryLocale);
    if (withCLibraryLocale) {
        const QString folder = cLibraryCommaLocaleFolder();
        if (folder.isEmpty())
            QSKIP("no C library comma locale could be compiled (localedef)");
        environment.append("LOCPATH=" + folder);
    }
    const QByteArray bytes = "Static = 60.5\r\nResidual = 40\r\n"
                             "Flow = #1,,\"2,5\",\"0,9\",10,\"500,5\"\r\nFlow = #2,,,,,1.25\r\n";
    const ToolRun result = run({"--json", dataFile("comma.oft", bytes)}, environment);
    QCOMPARE(result.exitCode, 0);
    const QJsonObject json = result.objects.value(0);
    // Full stops ("60.5", "1.25") read too, as in a test typed under another locale.
    QCOMPARE(json["totalFlow"].toDouble(), 501.75);
    QVERIFY(result.out.contains("\"totalFlow\":501.75,")); // JSON numbers keep the full stop
    QCOMPARE(json["total"].toString(), QStringLiteral("501,8 gpm"));
    const QJsonObject first = json["test"].toObject()["outlets"].toArray().at(0).toObject();
    QCOMPARE(first["size"].toString(), QStringLiteral("2,5"));
    QCOMPARE(first["flowFromPitot"].toString(), QStringLiteral("531"));
    QCOMPARE(first["pitotFromFlow"].toString(),
             fixed(std::pow(500.5 / (29.84 * 0.9 * 6.25), 2), 0, 1).replace('.', ','));
    const QJsonObject graph = json["graph"].toObject();
    QCOMPARE(graph["static"].toDouble(), 60.5);
    const ExpectedGraph expected = expectedGraph(60.5, 40, 501.75, true, "20", "gpm", "psi");
    QCOMPARE(graph["note"].toString(), QString(expected.note).replace('.', ','));
    QVERIFY(graph["note"].toString().contains(','));

    // CSV numbers keep the full stop; the texts stay as written.
    const ToolRun csv = run({"--csv", dataFile("comma.oft", bytes)}, environment);
    QCOMPARE(csv.exitCode, 0);
    const QString flow = fixed(501.75 * std::pow(40.5 / 20.5, 1 / 1.85), 1, 1);
    QVERIFY2(csv.out.contains(",60.5,40,2,501.8," + flow.toUtf8() + ",20," + flow.toUtf8() +
                              ",B,33.9,us,"),
             csv.out.constData());
}

void FlowTestReportTest::csv() {
    const QString awkward =
        dataFile("line\nbreak.oft", "Date = 5/16/2023\r\nTime = 9:40 AM\r\n"
                                    "Static = 72\r\nResidual = 58\r\n"
                                    "Location = Main St, \"north\" side\r\n"
                                    "Location = Gate 4\r\nFlow = #1,,,,,1000\r\n"
                                    "Flow = #2,,,,,879\r\n");
    const QString uncomputable = dataFile("uncomputable.oft", "Static = abc\r\nFlow = #1\r\n");
    const QString static20 =
        dataFile("static20.oft", "Static = 20\r\nResidual = 10\r\nFlow = #1,,,,,500\r\n");
    const ToolRun result = run({"--csv", awkward, uncomputable, static20});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QString());
    const QString flow = fixed(1879 * std::pow(52.0 / 14, 1 / 1.85), 1, 1); // at 20 psi
    const QString expected =
        "file,date,time,location,static,residual,outlets,totalFlow,flowAtChosenPressure,"
        "chosenPressure,flowAt20psi,nfpaClass,dropPercent,units,demandFlow,demandPressure,"
        "availablePressure,marginPressure,verdict,advice\r\n\"" +
        awkward + "\",5/16/2023,9:40 AM,\"Main St, \"\"north\"\" side / Gate 4\"," +
        "72,58,2,1879.0," + flow + ",20," + flow +
        ",AA,19.4,us,,,,,,\"The residual drop is below 25 %: NFPA 291 (2010) recommends a drop of at "
        "least 25 %, so the projection to 20 psi is less reliable.\"\r\n" +
        uncomputable +
        ",,,,abc,,1,0.0,,,,,,us,,,,,,\"No flow yet: enter the outlets' flows, or their size, C and "
        "pitot pressure and then their Flow cells. / Enter the residual pressure. / The static "
        "pressure \"\"abc\"\" is not a number.\"\r\n" +
        static20 +
        ",,,,20,10,1,500.0,,,,,50.0,us,,,,,,The static pressure is at or below 20 psi: no rating at "
        "20 psi.\r\n";
    QCOMPARE(QString::fromUtf8(result.out), expected);
}

void FlowTestReportTest::csvCells_data() {
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<QByteArray>("file"); // the U.S. example when empty
    QTest::addColumn<QString>("cells");   // as they stand in the test's row
    QTest::newRow("a quote without a comma is quoted")
        << QStringList() << QByteArray("Location = say \"hi\"\r\n") << ",\"say \"\"hi\"\"\",";
    QTest::newRow("--extra-pressure 35.50 as a number")
        << QStringList{"--extra-pressure", "35.50"} << QByteArray() << ",35.5,";
    QTest::newRow("--extra-pressure 35,50 with a comma under C")
        << QStringList{"--extra-pressure", "35,50"} << QByteArray() << ",35.5,";
    QTest::newRow("a residual typed with its unit: no graph cells")
        << QStringList() << QByteArray("Static = 72\r\nResidual = 58 psi\r\nFlow = #1,,,,,1000\r\n")
        << ",72,58 psi,1,1000.0,,,,,,us,";
    QTest::newRow("units: bar") << QStringList{"--units", "bar"} << QByteArray() << ",19.4,bar,";
    QTest::newRow("units: kpa") << QStringList{"--units", "KPa"} << QByteArray() << ",19.4,kpa,";
}

void FlowTestReportTest::csvCells() {
    QFETCH(QStringList, flags);
    QFETCH(QByteArray, file);
    QFETCH(QString, cells);
    const QString input =
        file.isEmpty() ? examplePath("us-three-outlets.oft") : dataFile("t.oft", file);
    const ToolRun result = run(QStringList{"--csv"} + flags + QStringList{input});
    QCOMPARE(result.exitCode, 0);
    const QString row = QString::fromUtf8(result.out).section("\r\n", 1);
    QVERIFY2(row.contains(cells), qPrintable(row));
}

void FlowTestReportTest::csvKeepsInputOrder() {
    QFile::copy(examplePath("us-three-outlets.oft"), data_->filePath("a.oft"));
    QFile::copy(examplePath("metric-kpa.oft"), data_->filePath("b.oft"));
    QStringList inputs;
    for (int i = 0; i < 12; ++i)
        inputs.append(data_->filePath(i % 2 ? "a.oft" : "b.oft"));
    inputs.insert(5, data_->filePath("missing.oft"));
    const ToolRun result = run(QStringList{"--csv", "-j", "3"} + inputs);
    QCOMPARE(result.exitCode, 1);
    QVERIFY(result.err.contains("missing.oft"));
    QStringList files;
    for (const QByteArray& row : result.out.split('\n').mid(1, 12))
        files.append(QString::fromUtf8(row.split(',').value(0)));
    inputs.removeAt(5);
    QCOMPARE(files, inputs);
}

void FlowTestReportTest::pdfAsSaveAsPdf_data() {
    QTest::addColumn<int>("units");
    QTest::addColumn<QStringList>("testedBy");
    QTest::newRow("U.S.") << int(UnitSystem::US) << QStringList();
    QTest::newRow("bar and a tester")
        << int(UnitSystem::MetricBar) << QStringList{"A. Tester", "Unit 4"};
}

void FlowTestReportTest::pdfAsSaveAsPdf() {
    QFETCH(int, units);
    QFETCH(QStringList, testedBy);
    const QString input = examplePath("us-three-outlets.oft");
    QStringList flags{"--units", QStringList{"us", "bar", "kpa"}[units]};
    for (const QString& line : testedBy)
        flags << "--tested-by" << line;
    // No display and no session: as from cron.
    const ToolRun result = run(flags + QStringList{"--pdf", "tool.pdf", input},
                               {"DISPLAY=", "QT_QPA_PLATFORM=", "XDG_RUNTIME_DIR="});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.exitCode, 0);

    // The window's Save as pdf: the opened file, the options, the locale's separator.
    TestRecord record = readTestFile(input).value();
    record.outlets = windowOutletRows(record); // as opening a file does
    Settings settings;
    settings.units = static_cast<UnitSystem>(units);
    settings.testedBy = testedBy;
    const ComposedReport pages = composeFlowTestReport({record, settings, QLatin1Char('.')});
    QCOMPARE(fileBytes(data_->filePath("tool.pdf")), pdfBytes(pages, printJobTitle(record)));
}

void FlowTestReportTest::documentTitlesNameTheTest() {
    QByteArray bytes = "Date = 5/16/2023\r\nLocation = \r\nLocation = Oak Stra\xdf"
                       "e\r\n";
    for (int k = 1; k <= 6; ++k) // two pages
        bytes += "Flow = #" + QByteArray::number(k) + ",,,,,500\r\n";
    const QString input = dataFile("oak.oft", bytes);
    const ToolRun result = run({"--out-dir", ".", "--format", "both", input});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.exitCode, 0);
    const QString title = "Hydrant Flow Test Report \u2013 5/16/2023 \u2013 Oak Stra\u00dfe";
    QByteArray utf16 = "FEFF";
    for (const QChar c : title)
        utf16 += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    QVERIFY(fileBytes(data_->filePath("oak.pdf")).contains("/Title <" + utf16 + ">"));
    for (int page : {1, 2})
        QVERIFY(
            QString::fromUtf8(fileBytes(data_->filePath(QString("oak%1.html").arg(page))))
                .contains(QString("<title>%1 \u2013 page %2 of 2</title>").arg(title).arg(page)));
}

void FlowTestReportTest::supplyAnalysis_data() {
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<QByteArray>("lines"); // the analysis lines of the test file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said"); // the verdict, or the usage error
    const QString meets = "meets the demand with 19.8 psi to spare (10 psi required)";
    const QStringList designer{"--demand", "Sprinklers:800@55", "--hose", "250", "--margin", "10"};
    QTest::newRow("the designer's question") << designer << QByteArray() << 0 << meets;
    QTest::newRow("the same, kept in the file")
        << QStringList()
        << QByteArray("Demand = Sprinklers,800,55,\r\nHoseAllowance = 250\r\nSafetyMargin = 10\r\n")
        << 0 << meets;
    QTest::newRow("flags replace the file's")
        << QStringList{"--margin", "10%"} << QByteArray("Demand = ,800,55,\r\nHoseAllowance = 250\r\n")
        << 0 << "meets the demand with 19.8 psi to spare (7.8 psi required)";
    QTest::newRow("a demand without its pressure")
        << QStringList{"--demand", "800@"} << QByteArray() << 2 << "--demand \"800@\": give";
    QTest::newRow("a margin in kilograms")
        << QStringList{"--margin", "10 kg"} << QByteArray() << 2 << "--margin \"10 kg\": give";
}

void FlowTestReportTest::supplyAnalysis() {
    QFETCH(QStringList, flags);
    QFETCH(QByteArray, lines);
    QFETCH(QString, said);
    const QString input = dataFile("designer.oft", "Static = 78\r\nResidual = 61\r\nFlow = #1,,,,,2599\r\n" + lines);
    const ToolRun json = run(QStringList{"--json"} + flags + QStringList{input});
    QTEST(json.exitCode, "exitCode");
    if (json.exitCode != 0) {
        QVERIFY2(json.err.contains(said), qPrintable(json.err));
        return;
    }
    const QJsonObject point = json.objects.value(0)["analysis"].toObject()["points"][0].toObject();
    QCOMPARE(point["totalFlow"].toDouble(), 1050.0);
    COMPARE_NUMBER(point["availablePressure"].toDouble(), 78 - 17 * std::pow(1050.0 / 2599, 1.85));
    QCOMPARE(point["verdictText"].toString(), said);
    const ToolRun csv = run(QStringList{"--csv"} + flags + QStringList{input});
    QVERIFY2(csv.out.contains(",800.0,55.0,74.8,19.8," + said.toUtf8()), csv.out.constData());
}

void FlowTestReportTest::existingOutputs_data() {
    QTest::addColumn<QStringList>("output");
    QTest::addColumn<QString>("existing");   // a folder when it ends with "/"
    QTest::addColumn<QString>("notWritten"); // another output: unwritten when refused, else written
    QTest::addColumn<bool>("taken");         // whether the existing entry refuses the input
    QTest::newRow("pdf") << QStringList{"--pdf", "o.pdf"} << "o.pdf"
                         << "" << true;
    QTest::newRow("html page") << QStringList{"--html", "o.html"} << "o1.html"
                               << "o/page1-picture1.jpg" << true;
    QTest::newRow("html picture") << QStringList{"--html", "o.html"} << "o/page1-picture1.jpg"
                                  << "o1.html" << true;
    QTest::newRow("out-dir, html of both")
        << QStringList{"--out-dir", "d", "--format", "both"} << "d/good1.html"
        << "d/good.pdf" << true;
    QTest::newRow("html, empty picture folder: no report yet")
        << QStringList{"--html", "o.html"} << "o/"
        << "o1.html" << false;
}

void FlowTestReportTest::existingOutputs() {
    QFETCH(QStringList, output);
    QFETCH(QString, existing);
    QFETCH(QString, notWritten);
    QFETCH(bool, taken);
    const QString good = dataFile("good.oft", fileBytes(examplePath("us-three-outlets.oft")));
    QDir().mkpath(QFileInfo(data_->filePath(existing)).path());
    if (!existing.endsWith('/'))
        writeFile(data_->filePath(existing), "old");
    if (!taken) {
        QCOMPARE(run(output + QStringList{good}).exitCode, 0);
        QVERIFY(QFileInfo::exists(data_->filePath(notWritten)));
        return;
    }

    const ToolRun refused = run(output + QStringList{good});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.err.contains("exists already; use --force"), qPrintable(refused.err));
    QCOMPARE(fileBytes(data_->filePath(existing)), QByteArray("old"));
    if (!notWritten.isEmpty())
        QVERIFY(!QFileInfo::exists(data_->filePath(notWritten)));

    const ToolRun forced = run(output + QStringList{"--force", good});
    QCOMPARE(forced.exitCode, 0);
    QVERIFY(fileBytes(data_->filePath(existing)) != "old");
}

void FlowTestReportTest::outDir() {
    const QString good = dataFile("good.oft", fileBytes(examplePath("us-three-outlets.oft")));
    QDir().mkpath(data_->filePath("sub"));
    const QString again = dataFile("sub/GOOD.OFT", fileBytes(examplePath("metric-bar.oft")));
    const QString good2 = dataFile("good2.oft", fileBytes(examplePath("metric-bar.oft")));

    const ToolRun sameName = run({"--out-dir", "d", good, "sub/../good.oft"});
    QCOMPARE(sameName.exitCode, 2);
    QVERIFY2(sameName.err.contains("\"good\""), qPrintable(sameName.err));
    QVERIFY(!QFileInfo::exists(data_->filePath("d")));

    const ToolRun result =
        run({"--out-dir", "d/e", "--format", "both", "-j", "2", good, "missing.oft", good2, again});
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.contains("missing.oft") && result.err.count('\n') == 1,
             qPrintable(result.err));
    QStringList written =
        QDir(data_->filePath("d/e")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    written.sort();
    QCOMPARE(written, (QStringList{"GOOD", "GOOD.pdf", "GOOD1.html", "good", "good.pdf",
                                   "good1.html", "good2", "good2.pdf", "good21.html"}));
}

// A test of 400 outlets: a report of 12 pages.
QByteArray fourHundredOutlets() {
    QByteArray bytes = "Static = 60\r\nResidual = 40\r\n";
    for (int i = 1; i <= 400; ++i)
        bytes += "Flow = #" + QByteArray::number(i) + ",,2.5,0.9,10,\r\n";
    return bytes;
}

void FlowTestReportTest::batchOutputsNeverMeet_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("shared");
    QTest::newRow("page 11 of a is page 1 of a1") << "a.oft"
                                                  << "a1.oft"
                                                  << "d/a11.html";
    QTest::newRow("the picture folder of a1.html is page 1 of a") << "a.oft"
                                                                  << "a1.html.oft"
                                                                  << "d/a1.html";
}

void FlowTestReportTest::batchOutputsNeverMeet() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, shared);
    dataFile(first, fourHundredOutlets());
    dataFile(second, fileBytes(examplePath("us-three-outlets.oft")));
    for (const QStringList& flags : {QStringList{}, QStringList{"-j1", "--force"}}) {
        const ToolRun result =
            run(QStringList{"--out-dir", "d", "--format", "html", first, second} + flags);
        QCOMPARE(result.exitCode, 2);
        QVERIFY2(
            result.err.contains(
                QString("\"%1\" and \"%2\" would both write \"%3\"").arg(first, second, shared)),
            qPrintable(result.err));
        QVERIFY(!QFileInfo::exists(data_->filePath("d"))); // nothing written
    }
}

void FlowTestReportTest::outputNamesStayInTheFolder() {
    const QByteArray test = fileBytes(examplePath("us-three-outlets.oft"));
    QDir().mkpath(data_->filePath("parent/X"));
    const QStringList inputs{dataFile(".oft", test), dataFile("..oft", test),
                             dataFile("...oft", test)};
    const ToolRun result =
        run(QStringList{"--out-dir", "parent/X", "--format", "both", "--force"} + inputs);
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err.count("rename the input file"), 3);
    QCOMPARE(QDir(data_->filePath("parent"))
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"X"});
    QVERIFY(QDir(data_->filePath("parent/X"))
                .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void FlowTestReportTest::linksAtOutputs_data() {
    QTest::addColumn<QStringList>("output");
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("dangling");
    const QStringList pdf{"--pdf", "o.pdf"};
    const QStringList html{"--html", "o.html"};
    for (const bool dangling : {false, true}) {
        const char* kind = dangling ? "dangling" : "live";
        QTest::addRow("%s link as the PDF", kind) << pdf << "o.pdf" << dangling;
        QTest::addRow("%s link as a page", kind) << html << "o1.html" << dangling;
        QTest::addRow("%s link as a picture", kind) << html << "o/page1-picture1.jpg" << dangling;
        QTest::addRow("%s link as the picture folder", kind) << html << "o" << dangling;
    }
}

void FlowTestReportTest::linksAtOutputs() {
    QFETCH(QStringList, output);
    QFETCH(QString, link);
    QFETCH(bool, dangling);
    const QString input = examplePath("us-three-outlets.oft");
    const bool folder = link == "o";
    QDir(data_->path()).mkpath(folder ? "elsewhere" : "o");
    const QString target = data_->filePath(folder ? "elsewhere/page1-picture1.jpg" : "target");
    if (!dangling)
        writeFile(target, "target");
    if (dangling && folder)
        QDir(data_->filePath("elsewhere")).removeRecursively();
    QVERIFY(QFile::link(folder ? data_->filePath("elsewhere") : target, data_->filePath(link)));

    const ToolRun refused = run(output + QStringList{input});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.err.contains("exists already; use --force"), qPrintable(refused.err));
    QVERIFY(QFileInfo(data_->filePath(link)).isSymLink());

    const ToolRun forced = run(output + QStringList{"--force", input});
    QCOMPARE(forced.exitCode, 0);
    const QFileInfo replaced(data_->filePath(link));
    QVERIFY(!replaced.isSymLink() && (folder ? replaced.isDir() : replaced.isFile()));
    QCOMPARE(fileBytes(target), dangling ? QByteArray() : QByteArray("target")); // untouched
    QCOMPARE(QFileInfo::exists(target), !dangling);
}

void FlowTestReportTest::failedWriteKeepsOldReports_data() {
    QTest::addColumn<QStringList>("output");
    QTest::addColumn<QStringList>("oldFiles");
    const QStringList html{"o1.html", "o/page1-picture1.jpg"};
    // The small report writes less than a buffered writer keeps to itself.
    QTest::newRow("small PDF") << QStringList{"--pdf", "o.pdf"} << QStringList{"o.pdf"};
    QTest::newRow("web pages") << QStringList{"--html", "o.html"} << html;
}

void FlowTestReportTest::failedWriteKeepsOldReports() {
    QFETCH(QStringList, output);
    QFETCH(QStringList, oldFiles);
    // The old report has a graph; the new one, of a test without pressures, none.
    const QString input = dataFile("nograph.oft", "Date = x\r\nFlow = #1,,2.5,0.9,10,\r\n");
    QVERIFY(run(output + QStringList{examplePath("us-three-outlets.oft")}).exitCode == 0);
    QList<QByteArray> old;
    for (const QString& file : oldFiles)
        old.append(fileBytes(data_->filePath(file)));
    const QStringList before = QDir(data_->path()).entryList(QDir::AllEntries | QDir::Hidden);
    ToolRun failed;
    {
        const FileSizeLimit limit(1000); // inherited by the tool
        failed = run(output + QStringList{"--force", input});
    }
    QCOMPARE(failed.exitCode, 1);
    QVERIFY2(failed.err.contains("File too large"), qPrintable(failed.err));
    for (qsizetype i = 0; i < oldFiles.size(); ++i)
        QCOMPARE(fileBytes(data_->filePath(oldFiles[i])), old[i]);
    QCOMPARE(QDir(data_->path()).entryList(QDir::AllEntries | QDir::Hidden), before);
}

void FlowTestReportTest::onlyRegularFilesAreRead_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("reason");
    const QString notRegular = QStringLiteral("It is not a regular file.");
    QTest::newRow("socket") << "socket.oft" << notRegular;
    QTest::newRow("FIFO without a writer") << "fifo.oft" << notRegular;
    QTest::newRow("folder") << "folder.oft" << notRegular;
    QTest::newRow("over 64 MiB") << "huge.oft"
                                 << "It is larger than 64 MiB";
}

void FlowTestReportTest::onlyRegularFilesAreRead() {
    QFETCH(QString, input);
    QFETCH(QString, reason);
    QVERIFY(QProcess::execute("mkfifo", {data_->filePath("fifo.oft")}) == 0);
    // A socket stands in for a device: nothing of the machine's is read.
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(data_->filePath("socket.oft"));
    std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
    QVERIFY(::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0);
    ::close(socket);
    QDir(data_->path()).mkpath("folder.oft");
    QFile huge(data_->filePath("huge.oft"));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize((qint64(64) << 20) + 1));
    for (const QString& output : QStringList{"--json", "--csv"}) {
        const ToolRun result = run({output, input});
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.contains(QString("Cannot open file \"%1\". %2").arg(input, reason)),
                 qPrintable(result.err));
    }
}

void FlowTestReportTest::shellRuns_data() {
    QTest::addColumn<QString>("script"); // $0 is the tool
    QTest::addColumn<QStringList>("written");
    // Each worker thread opens files; a thread that cannot aborts the process.
    QStringList sixty;
    for (int i = 10; i < 70; ++i)
        sixty.append(QString("t%1.pdf").arg(i));
    QTest::newRow("-j 5000 for 60 inputs under an open-file limit of 64")
        << "ulimit -n 64; for i in $(seq 10 69); do cp \"$1\" t$i.oft; done; "
           "exec \"$0\" -j 5000 --out-dir d t*.oft"
        << sixty;
    QTest::newRow("a name that is not UTF-8")
        << "cp \"$1\" \"$(printf 'caf\\351.oft')\"; "
           "exec \"$0\" --out-dir d --format both \"$(printf 'caf\\351.oft')\""
        << QStringList{"caf\\351", "caf\\351.pdf", "caf\\3511.html"};
}

void FlowTestReportTest::shellRuns() {
    QFETCH(QString, script);
    QFETCH(QStringList, written);
    QProcess shell;
    shell.setWorkingDirectory(data_->path());
    shell.start("sh", {"-c", script, FLOWTEST_REPORT_TOOL, examplePath("us-three-outlets.oft")});
    QVERIFY(shell.waitForFinished(120000));
    QCOMPARE(shell.exitStatus(), QProcess::NormalExit);
    QVERIFY2(shell.exitCode() == 0, shell.readAllStandardError().constData());
    QProcess listing; // the names' own bytes, as ls -b escapes them
    listing.setWorkingDirectory(data_->filePath("d"));
    listing.start("ls", {"-b"});
    QVERIFY(listing.waitForFinished());
    const QStringList listed =
        QString::fromLatin1(listing.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    // Qt cannot name what is not UTF-8 to remove it.
    QProcess::execute("sh", {"-c", "rm -rf \"$0\"/*", data_->path()});
    QCOMPARE(listed, written);
}

QTEST_MAIN(FlowTestReportTest)
#include "test_flowtestreport.moc"
