#include "options/optionsfile.h"
#include "settingsof.h"
#include "textfile/fileaccess.h"
#include "textfile/filewriter.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(UnitSystem)
Q_DECLARE_METATYPE(Settings)

namespace {

Settings startUpDefaults() {
    return Settings{};
}

// Restores APPDATA as it was, whatever a test does with it.
class AppDataGuard {
public:
    AppDataGuard() : wasSet_(qEnvironmentVariableIsSet("APPDATA")), old_(qgetenv("APPDATA")) {}
    ~AppDataGuard() {
        if (wasSet_)
            qputenv("APPDATA", old_);
        else
            qunsetenv("APPDATA");
    }
    AppDataGuard(const AppDataGuard&) = delete;
    AppDataGuard& operator=(const AppDataGuard&) = delete;

private:
    bool wasSet_;
    QByteArray old_;
};

} // namespace

class OptionsFileTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void handEditedFile_data();
    void handEditedFile();
    void writtenBytes_data();
    void writtenBytes();
    void roundTrip_data();
    void roundTrip();
    void testerText_data();
    void testerText();
    void missingFileChangesNothing();
    void unreadableFileKeepsSettings();
    void failedSaveKeepsOldFile();
    void fileNameFollowsAppData();
    void fileNameWithoutAppData_data();
    void fileNameWithoutAppData();
};

void OptionsFileTest::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
}

void OptionsFileTest::handEditedFile_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Settings>("before");
    QTest::addColumn<Settings>("expected");
    const Settings defaults = startUpDefaults();
    const Settings changed = settingsOf({"old tester"}, UnitSystem::MetricKPa, false, "1,5");
    using U = UnitSystem;

    QTest::newRow("only units in small letters")
        << QByteArray("Units = bar\r\n") << defaults << settingsOf({}, U::MetricBar, true, "20");
    QTest::newRow("trailing space after BAR matches nothing")
        << QByteArray("Units = BAR \r\n") << defaults << settingsOf({}, U::US, true, "20");
    QTest::newRow("unknown unit leaves U.S.")
        << QByteArray("Units = SI\r\n") << changed << settingsOf({}, U::US, false, "1,5");
    QTest::newRow("kPa in mixed case")
        << QByteArray("Units = kPa\r\n") << defaults << settingsOf({}, U::MetricKPa, true, "20");
    QTest::newRow("psi after bar") << QByteArray("Units = BAR\r\nUnits = psi\r\n") << changed
                                   << settingsOf({}, U::US, false, "1,5");
    QTest::newRow("later units line wins") << QByteArray("Units = KPA\r\nUnits = BAR\r\n")
                                           << defaults << settingsOf({}, U::MetricBar, true, "20");
    QTest::newRow("unknown later unit keeps earlier")
        << QByteArray("Units = KPA\r\nUnits = feet\r\n") << defaults
        << settingsOf({}, U::MetricKPa, true, "20");
    QTest::newRow("small f ticks the box")
        << QByteArray("ShowExtraFlow = f\r\n") << defaults << settingsOf({}, U::US, true, "20");
    QTest::newRow("capital F clears the box")
        << QByteArray("ShowExtraFlow = F\r\n") << defaults << settingsOf({}, U::US, false, "20");
    QTest::newRow("F with trailing space ticks the box")
        << QByteArray("ShowExtraFlow = F \r\n") << defaults << settingsOf({}, U::US, true, "20");
    QTest::newRow("false ticks the box")
        << QByteArray("ShowExtraFlow = false\r\n") << defaults << settingsOf({}, U::US, true, "20");
    QTest::newRow("empty value ticks the box")
        << QByteArray("ShowExtraFlow = \r\n") << changed << settingsOf({}, U::US, true, "1,5");
    QTest::newRow("pressure that is no number")
        << QByteArray("ExtraPress = high\r\n") << defaults << settingsOf({}, U::US, true, "high");
    QTest::newRow("empty pressure")
        << QByteArray("ExtraPress = \r\n") << defaults << settingsOf({}, U::US, true, "");
    QTest::newRow("tester lines split by other lines")
        << QByteArray(
               "TestBy = A\r\nUnits = BAR\r\nTestBy = B\r\nExtraPress = 30\r\nTestBy = C\r\n")
        << defaults << settingsOf({"A", "B", "C"}, U::MetricBar, true, "30");
    QTest::newRow("tester line loses leading spaces, keeps inner and trailing")
        << QByteArray("TestBy =    Main  St  \r\n") << defaults
        << settingsOf({"Main  St  "}, U::US, true, "20");
    QTest::newRow("empty tester line in the middle")
        << QByteArray("TestBy = A\r\nTestBy = \r\nTestBy = B\r\n") << defaults
        << settingsOf({"A", "", "B"}, U::US, true, "20");
    QTest::newRow("missing keys keep switch and pressure")
        << QByteArray("TestBy = new\r\n") << changed << settingsOf({"new"}, U::US, false, "1,5");
    QTest::newRow("empty file resets tester and units only")
        << QByteArray("") << changed << settingsOf({}, U::US, false, "1,5");
    QTest::newRow("keys ignore the case of letters")
        << QByteArray("TESTBY = x\r\nunits = KPA\r\nshowextraflow = F\r\nEXTRAPRESS = 7\r\n")
        << defaults << settingsOf({"x"}, U::MetricKPa, false, "7");
    QTest::newRow("unknown lines and blank lines ignored")
        << QByteArray("[Options]\r\n\r\nColour = red\r\n   \r\nUnits = BAR\r\n") << defaults
        << settingsOf({}, U::MetricBar, true, "20");
    QTest::newRow("key without blanks around equals is unknown")
        << QByteArray("Units=BAR\r\n") << defaults << settingsOf({}, U::US, true, "20");
    QTest::newRow("lone LF and lone CR end lines")
        << QByteArray("TestBy = A\nUnits = BAR\rTestBy = B") << defaults
        << settingsOf({"A", "B"}, U::MetricBar, true, "20");
    QTest::newRow("text ends at NUL") << QByteArray("Units = BAR\r\n\0Units = KPA\r\n", 27)
                                      << defaults << settingsOf({}, U::MetricBar, true, "20");
    QTest::newRow("Windows-1252 tester")
        << QByteArray("TestBy = Fran\xe7ois \x80\r\n") << defaults
        << settingsOf({QString::fromUtf8("François €")}, U::US, true, "20");
    QTest::newRow("UTF-8 behind its mark")
        << QByteArray("\xEF\xBB\xBFTestBy = \xD0\x96\r\n") << defaults
        << settingsOf({QString::fromUtf8("Ж")}, U::US, true, "20");
}

void OptionsFileTest::handEditedFile() {
    QFETCH(QByteArray, file);
    QFETCH(Settings, before);
    QFETCH(Settings, expected);
    QTemporaryDir dir;
    const QString name = dir.filePath("FlowTest20.INI");
    writeWholeFile(name, file);
    Settings settings = before;
    loadOptionsFile(name, settings);
    QCOMPARE(settings.testedBy, expected.testedBy);
    QCOMPARE(settings.units, expected.units);
    QCOMPARE(settings.showExtraFlow, expected.showExtraFlow);
    QCOMPARE(settings.extraPressure, expected.extraPressure);
}

void OptionsFileTest::writtenBytes_data() {
    QTest::addColumn<Settings>("settings");
    QTest::addColumn<QByteArray>("bytes");
    using U = UnitSystem;
    QTest::newRow("defaults") << startUpDefaults()
                              << QByteArray(
                                     "Units = PSI\r\nShowExtraFlow = T\r\nExtraPress = 20\r\n");
    QTest::newRow("two testers, bar")
        << settingsOf({"District Fire Prevention Bureau", "Hydrant Inspection Unit"}, U::MetricBar,
                      true, "20")
        << QByteArray(
               "TestBy = District Fire Prevention Bureau\r\nTestBy = Hydrant Inspection Unit\r\n"
               "Units = BAR\r\nShowExtraFlow = T\r\nExtraPress = 20\r\n");
    QTest::newRow("kPa, switch off, empty pressure")
        << settingsOf({}, U::MetricKPa, false, "")
        << QByteArray("Units = KPA\r\nShowExtraFlow = F\r\nExtraPress = \r\n");
    QTest::newRow("empty tester line")
        << settingsOf({"A", "", "B"}, U::US, true, "1,5")
        << QByteArray(
               "TestBy = A\r\nTestBy = \r\nTestBy = B\r\nUnits = PSI\r\nShowExtraFlow = T\r\n"
               "ExtraPress = 1,5\r\n");
    QTest::newRow("Windows-1252 text")
        << settingsOf({QString::fromUtf8("Müller €")}, U::US, true, "20")
        << QByteArray("TestBy = M\xfcller \x80\r\nUnits = PSI\r\nShowExtraFlow = T\r\nExtraPress = "
                      "20\r\n");
    QTest::newRow("text beyond Windows-1252 as UTF-8 with mark")
        << settingsOf({QString::fromUtf8("Łódź")}, U::US, true, "20")
        << (QByteArray("\xEF\xBB\xBFTestBy = ") + QString::fromUtf8("Łódź").toUtf8() +
            QByteArray("\r\nUnits = PSI\r\nShowExtraFlow = T\r\nExtraPress = 20\r\n"));
}

void OptionsFileTest::writtenBytes() {
    QFETCH(Settings, settings);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString name = dir.filePath("FlowTest20.INI");
    saveOptionsFile(name, settings);
    QCOMPARE(readWholeFile(name), bytes);
}

void OptionsFileTest::roundTrip_data() {
    QTest::addColumn<Settings>("settings");
    using U = UnitSystem;
    QTest::newRow("defaults") << startUpDefaults();
    QTest::newRow("bar with testers") << settingsOf({"A B", "", "C  "}, U::MetricBar, true, "20");
    QTest::newRow("kPa with switch off") << settingsOf({"x"}, U::MetricKPa, false, "1.5.5");
    QTest::newRow("last tester line empty") << settingsOf({"A", ""}, U::US, true, "20");
    QTest::newRow("outside Windows-1252")
        << settingsOf({QString::fromUtf8("Ωμέγα")}, U::US, true, "20");
}

void OptionsFileTest::roundTrip() {
    QFETCH(Settings, settings);
    QTemporaryDir dir;
    const QString name = dir.filePath("FlowTest20.INI");
    saveOptionsFile(name, settings);
    // Start from other values, so a key that is not read would show.
    Settings back = settingsOf({"stale"}, UnitSystem::MetricKPa, !settings.showExtraFlow, "stale");
    loadOptionsFile(name, back);
    QCOMPARE(back, settings);
}

void OptionsFileTest::testerText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("textAgain");
    QTest::newRow("empty") << "" << QStringList{} << "";
    QTest::newRow("one line") << "A" << QStringList{"A"} << "A";
    QTest::newRow("final break adds no line") << "A\n" << QStringList{"A"} << "A";
    QTest::newRow("empty line in the middle") << "A\n\nB" << QStringList{"A", "", "B"} << "A\n\nB";
    QTest::newRow("two final breaks keep one empty line") << "A\n\n"
                                                          << QStringList{"A", ""} << "A\n\n";
    QTest::newRow("a lone break is one empty line") << "\n" << QStringList{""} << "\n";
    QTest::newRow("blanks kept") << "  A  " << QStringList{"  A  "} << "  A  ";
}

void OptionsFileTest::testerText() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QFETCH(QString, textAgain);
    QCOMPARE(textFieldLines(text), lines);
    QCOMPARE(textFieldText(lines), textAgain);
    QCOMPARE(textFieldLines(textFieldText(lines)), lines);
}

void OptionsFileTest::missingFileChangesNothing() {
    QTemporaryDir dir;
    const Settings before = settingsOf({"A"}, UnitSystem::MetricBar, false, "5");
    Settings settings = before;
    loadOptionsFile(dir.filePath("none/FlowTest20.INI"), settings);
    QCOMPARE(settings, before);
}

void OptionsFileTest::unreadableFileKeepsSettings() {
    // A folder in the file's place exists but cannot be read as a file, for
    // any user (root reads files whatever their permissions).
    QTemporaryDir dir;
    const QString name = dir.filePath("FlowTest20.INI");
    QVERIFY(QDir(dir.path()).mkdir("FlowTest20.INI"));
    const Settings before = settingsOf({"A"}, UnitSystem::MetricBar, false, "5");
    Settings settings = before;
    try {
        loadOptionsFile(name, settings);
        QFAIL("no error for a file that cannot be read");
    } catch (const FileError& error) {
        QVERIFY2(error.message().startsWith(QString("Cannot open file \"%1\". ").arg(name)),
                 qPrintable(error.message()));
    }
    QCOMPARE(settings, before);
}

void OptionsFileTest::failedSaveKeepsOldFile() {
    QTemporaryDir dir;
    const QString name = dir.filePath("FlowTest20.INI");
    saveOptionsFile(name, settingsOf({"old"}, UnitSystem::MetricBar, true, "20"));
    const QByteArray old = readWholeFile(name);
    QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    try {
        saveOptionsFile(name, settingsOf({"new"}, UnitSystem::US, false, "1"));
        QFAIL("a read-only options file was replaced");
    } catch (const FileError& error) {
        QVERIFY2(error.message().startsWith(QString("Cannot create file \"%1\". ").arg(name)),
                 qPrintable(error.message()));
    }
    QCOMPARE(readWholeFile(name), old);

    const QString inMissingFolder = dir.filePath("Ostrel/FlowTest/FlowTest20.INI");
    QVERIFY_THROWS_EXCEPTION(FileError, saveOptionsFile(inMissingFolder, startUpDefaults()));
    QVERIFY(!QFileInfo::exists(dir.filePath("Ostrel")));
}

void OptionsFileTest::fileNameFollowsAppData() {
    const AppDataGuard guard;
    qputenv("APPDATA", "/tmp/first");
    QCOMPARE(optionsFileName(), QString("/tmp/first/Ostrel/FlowTest/FlowTest20.INI"));
    QCOMPARE(optionsFolders(), (QStringList{"/tmp/first/Ostrel", "/tmp/first/Ostrel/FlowTest"}));
    // Read again on every call.
    qputenv("APPDATA", "/tmp/second");
    QCOMPARE(optionsFileName(), QString("/tmp/second/Ostrel/FlowTest/FlowTest20.INI"));
}

void OptionsFileTest::fileNameWithoutAppData_data() {
    QTest::addColumn<bool>("setButEmpty");
    QTest::newRow("APPDATA not set") << false;
    QTest::newRow("APPDATA set but empty") << true;
}

void OptionsFileTest::fileNameWithoutAppData() {
    QFETCH(bool, setButEmpty);
    const AppDataGuard guard;
    if (setButEmpty)
        qputenv("APPDATA", "");
    else
        qunsetenv("APPDATA");
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QVERIFY(!config.isEmpty());
    QCOMPARE(optionsFileName(), config + "/Ostrel/FlowTest/FlowTest20.INI");
    QCOMPARE(optionsFolders(),
             (QStringList{config, config + "/Ostrel", config + "/Ostrel/FlowTest"}));
}

QTEST_APPLESS_MAIN(OptionsFileTest)
#include "test_optionsfile.moc"
