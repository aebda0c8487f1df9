#include "app/ostrelflow.h"
#include "document/testfile.h"
#include "faultfs.h"
#include "options/optionsfile.h"
#include "options/preferences.h"
#include "testsupport.h"
#include "windowfixture.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// Every file the program writes or reads, made to fail: the user gets the
// message, old files stay whole, and the window keeps its test and flag.
class FaultTest : public QObject, WindowFixture {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void saveIntoReadOnlyFolder();
    void saveOverReadOnlyFile();
    void saveOntoFullDevice_data();
    void saveOntoFullDevice();
    void folderVanishesBetweenDialogAndWrite();
    void failedSaveFromNewPromptAbandonsNew();
    void failedSaveFromOpenPromptAbandonsOpen();
    void fileRemovedBetweenDialogAndLoad();
    void openDialogRefusesWriteProtectedFiles();
    void optionsFolderNotWritable();
    void optionsFileUnreadableAtStart();

private:
    void typeTime(const char* text) {
        QTest::keyClicks(window_->findChild<QLineEdit*>("eTime"), text);
    }
    void expectCreateError(const QString& fileName) {
        QCOMPARE(prompts().errors.size(), 1);
        QVERIFY2(prompts().errors[0].startsWith(QString("Cannot create file \"%1\". ").arg(fileName)),
                 qPrintable(prompts().errors[0]));
    }
    void expectTestKept() {
        QCOMPARE(window_->findChild<QLineEdit*>("eTime")->text(), QString("10:30"));
        QVERIFY(window_->isModified());
    }
    TestRecord oldRecord() const {
        TestRecord record;
        record.date = "old";
        OutletRow row;
        row[OutletRow::Label] = "#1";
        record.outlets = {row};
        return record;
    }
};

void FaultTest::init() {
    startWindow();
    typeTime("10:30");
}

void FaultTest::cleanup() {
    stopWindow();
}

void FaultTest::saveIntoReadOnlyFolder() {
    QDir(dir_->path()).mkpath("locked");
    ReadOnlyFolder folder(file("locked"));
    if (!folder.usable())
        QSKIP("cannot make a read-only folder here");
    writeTestFile(file("locked/old.oft"), oldRecord());
    QVERIFY(folder.protect());
    prompts().saveAnswers.enqueue(file("locked/new.oft"));
    QVERIFY(!window_->SaveClick());
    expectCreateError(file("locked/new.oft"));
    expectTestKept();
    QVERIFY(!QFile::exists(file("locked/new.oft")));
    QCOMPARE(QDir(file("locked")).entryList(QDir::Files), QStringList{"old.oft"});
}

void FaultTest::saveOverReadOnlyFile() {
    writeTestFile(file("old.oft"), oldRecord());
    QFile::setPermissions(file("old.oft"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    prompts().saveAnswers.enqueue(file("old.oft"));
    prompts().yesNoAnswers.enqueue(true); // overwrite
    QVERIFY(!window_->SaveClick());
    expectCreateError(file("old.oft"));
    expectTestKept();
    QCOMPARE(fileBytes(file("old.oft")), testFileBytes(oldRecord()));
}

void FaultTest::saveOntoFullDevice_data() {
    QTest::addColumn<bool>("fullDevice"); // else a file size limit, for any user
    QTest::addColumn<int>("notesLines");
    QTest::addColumn<QString>("reason");
    // Below and above the 16 KiB a buffered writer keeps to itself.
    for (const int lines : {0, 100}) {
        QTest::addRow("full device, %d notes lines", lines)
            << true << lines << QStringLiteral("No space left on device");
        QTest::addRow("file size limit, %d notes lines", lines)
            << false << lines << QStringLiteral("File too large");
    }
}

void FaultTest::saveOntoFullDevice() {
    QFETCH(bool, fullDevice);
    QFETCH(int, notesLines);
    QFETCH(QString, reason);
    QDir(dir_->path()).mkpath("full");
    const TinyFileSystem device(file("full"));
    if (fullDevice && !device.mounted())
        QSKIP("cannot mount a small file system here (needs root)");
    writeTestFile(file("full/old.oft"), oldRecord());
    TestRecord typed = window_->testRecord();
    typed.notes = QStringList(notesLines, QString(200, 'n'));
    writeTestFile(file("typed.oft"), typed);
    window_->LoadTestFile(file("typed.oft"));
    typeTime("!");
    if (fullDevice)
        QVERIFY(fillUp(file("full/filler")));
    prompts().saveAnswers.enqueue(file("full/old.oft"));
    prompts().yesNoAnswers.enqueue(true);
    {
        std::optional<FileSizeLimit> limit;
        if (!fullDevice)
            limit.emplace(testFileBytes(oldRecord()).size());
        QVERIFY(!window_->SaveClick());
    }
    QCOMPARE(
        prompts().errors,
        QStringList{QString("Cannot create file \"%1\". %2.").arg(file("full/old.oft"), reason)});
    QVERIFY(window_->isModified());
    QCOMPARE(window_->testRecord().notes, typed.notes);
    QCOMPARE(fileBytes(file("full/old.oft")), testFileBytes(oldRecord()));
    QStringList left = QDir(file("full")).entryList(QDir::Files | QDir::Hidden);
    left.removeOne("filler");
    QCOMPARE(left, QStringList{"old.oft"});
}

void FaultTest::folderVanishesBetweenDialogAndWrite() {
    QDir(dir_->path()).mkpath("gone");
    prompts().afterChoosing = [this](const QString&) { QDir(file("gone")).removeRecursively(); };
    prompts().saveAnswers.enqueue(file("gone/test.oft"));
    QVERIFY(!window_->SaveClick());
    expectCreateError(file("gone/test.oft"));
    expectTestKept();
}

void FaultTest::failedSaveFromNewPromptAbandonsNew() {
    prompts().yesNoAnswers.enqueue(true);
    prompts().saveAnswers.enqueue(file("missing/test.oft"));
    window_->NewClick();
    expectCreateError(file("missing/test.oft"));
    expectTestKept();
}

void FaultTest::failedSaveFromOpenPromptAbandonsOpen() {
    writeTestFile(file("other.oft"), oldRecord());
    prompts().yesNoAnswers.enqueue(true);
    prompts().saveAnswers.enqueue(file("missing/test.oft"));
    prompts().openAnswers.enqueue(file("other.oft"));
    window_->OpenClick();
    expectCreateError(file("missing/test.oft"));
    QVERIFY(prompts().openRequests.isEmpty());
    expectTestKept();
}

void FaultTest::fileRemovedBetweenDialogAndLoad() {
    writeTestFile(file("brief.oft"), oldRecord());
    prompts().afterChoosing = [](const QString& name) { QFile::remove(name); };
    prompts().openAnswers.enqueue(file("brief.oft"));
    window_->OpenClick();
    QVERIFY(prompts().errors.isEmpty()); // a file that is gone is skipped silently
    expectTestKept();
}

void FaultTest::openDialogRefusesWriteProtectedFiles() {
    writeTestFile(file("plain.oft"), oldRecord());
    QVERIFY(!openRefuses(file("plain.oft")));
    writeTestFile(file("locked.oft"), oldRecord());
    QFile::setPermissions(file("locked.oft"), QFile::ReadOwner | QFile::ReadGroup);
    QVERIFY(openRefuses(file("locked.oft")));
    QDir(dir_->path()).mkpath("shelf");
    ReadOnlyFolder shelf(file("shelf"));
    if (!shelf.usable())
        QSKIP("cannot make a read-only folder here");
    writeTestFile(file("shelf/inside.oft"), oldRecord());
    QVERIFY(shelf.protect());
    QVERIFY(openRefuses(file("shelf/inside.oft")));
}

void FaultTest::optionsFolderNotWritable() {
    const QString folder = file("appdata/Ostrel/FlowTest");
    QVERIFY(QDir(folder).exists()); // made at start-up
    ReadOnlyFolder locked(folder);
    if (!locked.usable())
        QSKIP("cannot make a read-only folder here");
    Settings stored;
    stored.extraPressure = "25";
    saveOptionsFile(optionsFileName(), stored);
    const QByteArray before = fileBytes(optionsFileName());
    QVERIFY(locked.protect());

    QStringList reported;
    TfrmPreferences dialog(window_.get(), [&](const QString& message) { reported << message; });
    QCOMPARE(dialog.settings().extraPressure, QString("25"));
    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.findChild<QRadioButton*>("btnUnitsMetrickPa")->click();
        QTest::mouseClick(dialog.findChild<QPushButton*>("btnOK"), Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(reported.size(), 1);
    QVERIFY2(reported[0].startsWith(QString("Cannot create file \"%1\". ").arg(optionsFileName())),
             qPrintable(reported[0]));
    QCOMPARE(dialog.settings().units, UnitSystem::MetricKPa); // in effect for the run
    QCOMPARE(fileBytes(optionsFileName()), before);
}

void FaultTest::optionsFileUnreadableAtStart() {
    QVERIFY(QDir().mkpath(optionsFileName())); // a folder where the file should be
    QStringList reported;
    TfrmPreferences dialog(window_.get(), [&](const QString& message) { reported << message; });
    QCOMPARE(reported.size(), 1);
    QVERIFY(reported[0].startsWith(QString("Cannot open file \"%1\". ").arg(optionsFileName())));
    QCOMPARE(dialog.settings(), Settings{});
}

QTEST_MAIN(FaultTest)
#include "test_faults.moc"
