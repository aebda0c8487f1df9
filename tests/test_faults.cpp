#include "app/ostrelflow.h"
#include "document/testfile.h"
#include "faultfs.h"
#include "options/optionsfile.h"
#include "options/preferences.h"
#include "scriptedprompts.h"

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
class FaultTest : public QObject {
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
    void makeWindow();
    ScriptedPrompts& prompts() { return static_cast<ScriptedPrompts&>(window_->prompts()); }
    QString path(const QString& name) const { return dir_->filePath(name); }
    void typeTime(const char* text) {
        QTest::keyClicks(window_->findChild<QLineEdit*>("eTime"), text);
    }
    QByteArray bytes(const QString& name) {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
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

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TFlowTest> window_;
};

void FaultTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QDir(dir_->path()).mkpath("appdata");
    qputenv("APPDATA", path("appdata").toLocal8Bit());
    makeWindow();
}

void FaultTest::makeWindow() {
    window_ = std::make_unique<TFlowTest>(QStringList{}, std::make_unique<ScriptedPrompts>());
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    typeTime("10:30");
}

void FaultTest::cleanup() {
    window_.reset();
    dir_.reset();
}

void FaultTest::saveIntoReadOnlyFolder() {
    QDir(dir_->path()).mkpath("locked");
    ReadOnlyFolder folder(path("locked"));
    if (!folder.usable())
        QSKIP("cannot make a read-only folder here");
    writeTestFile(path("locked/old.oft"), oldRecord());
    QVERIFY(folder.protect());
    prompts().saveAnswers.enqueue(path("locked/new.oft"));
    QVERIFY(!window_->SaveClick());
    expectCreateError(path("locked/new.oft"));
    expectTestKept();
    QVERIFY(!QFile::exists(path("locked/new.oft")));
    QCOMPARE(QDir(path("locked")).entryList(QDir::Files), QStringList{"old.oft"});
}

void FaultTest::saveOverReadOnlyFile() {
    writeTestFile(path("old.oft"), oldRecord());
    QFile::setPermissions(path("old.oft"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    prompts().saveAnswers.enqueue(path("old.oft"));
    prompts().yesNoAnswers.enqueue(true); // overwrite
    QVERIFY(!window_->SaveClick());
    expectCreateError(path("old.oft"));
    expectTestKept();
    QCOMPARE(bytes(path("old.oft")), testFileBytes(oldRecord()));
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
    const TinyFileSystem device(path("full"));
    if (fullDevice && !device.mounted())
        QSKIP("cannot mount a small file system here (needs root)");
    writeTestFile(path("full/old.oft"), oldRecord());
    TestRecord typed = window_->testRecord();
    typed.notes = QStringList(notesLines, QString(200, 'n'));
    writeTestFile(path("typed.oft"), typed);
    window_->LoadTestFile(path("typed.oft"));
    typeTime("!");
    if (fullDevice)
        QVERIFY(fillUp(path("full/filler")));
    prompts().saveAnswers.enqueue(path("full/old.oft"));
    prompts().yesNoAnswers.enqueue(true);
    {
        std::optional<FileSizeLimit> limit;
        if (!fullDevice)
            limit.emplace(testFileBytes(oldRecord()).size());
        QVERIFY(!window_->SaveClick());
    }
    QCOMPARE(
        prompts().errors,
        QStringList{QString("Cannot create file \"%1\". %2.").arg(path("full/old.oft"), reason)});
    QVERIFY(window_->isModified());
    QCOMPARE(window_->testRecord().notes, typed.notes);
    QCOMPARE(bytes(path("full/old.oft")), testFileBytes(oldRecord()));
    QStringList left = QDir(path("full")).entryList(QDir::Files | QDir::Hidden);
    left.removeOne("filler");
    QCOMPARE(left, QStringList{"old.oft"});
}

void FaultTest::folderVanishesBetweenDialogAndWrite() {
    QDir(dir_->path()).mkpath("gone");
    prompts().afterChoosing = [this](const QString&) { QDir(path("gone")).removeRecursively(); };
    prompts().saveAnswers.enqueue(path("gone/test.oft"));
    QVERIFY(!window_->SaveClick());
    expectCreateError(path("gone/test.oft"));
    expectTestKept();
}

void FaultTest::failedSaveFromNewPromptAbandonsNew() {
    prompts().yesNoAnswers.enqueue(true);
    prompts().saveAnswers.enqueue(path("missing/test.oft"));
    window_->NewClick();
    expectCreateError(path("missing/test.oft"));
    expectTestKept();
}

void FaultTest::failedSaveFromOpenPromptAbandonsOpen() {
    writeTestFile(path("other.oft"), oldRecord());
    prompts().yesNoAnswers.enqueue(true);
    prompts().saveAnswers.enqueue(path("missing/test.oft"));
    prompts().openAnswers.enqueue(path("other.oft"));
    window_->OpenClick();
    expectCreateError(path("missing/test.oft"));
    QVERIFY(prompts().openRequests.isEmpty());
    expectTestKept();
}

void FaultTest::fileRemovedBetweenDialogAndLoad() {
    writeTestFile(path("brief.oft"), oldRecord());
    prompts().afterChoosing = [](const QString& name) { QFile::remove(name); };
    prompts().openAnswers.enqueue(path("brief.oft"));
    window_->OpenClick();
    QVERIFY(prompts().errors.isEmpty()); // a file that is gone is skipped silently
    expectTestKept();
}

void FaultTest::openDialogRefusesWriteProtectedFiles() {
    writeTestFile(path("plain.oft"), oldRecord());
    QVERIFY(!openRefuses(path("plain.oft")));
    writeTestFile(path("locked.oft"), oldRecord());
    QFile::setPermissions(path("locked.oft"), QFile::ReadOwner | QFile::ReadGroup);
    QVERIFY(openRefuses(path("locked.oft")));
    QDir(dir_->path()).mkpath("shelf");
    ReadOnlyFolder shelf(path("shelf"));
    if (!shelf.usable())
        QSKIP("cannot make a read-only folder here");
    writeTestFile(path("shelf/inside.oft"), oldRecord());
    QVERIFY(shelf.protect());
    QVERIFY(openRefuses(path("shelf/inside.oft")));
}

void FaultTest::optionsFolderNotWritable() {
    const QString folder = path("appdata/Ostrel/FlowTest");
    QVERIFY(QDir(folder).exists()); // made at start-up
    ReadOnlyFolder locked(folder);
    if (!locked.usable())
        QSKIP("cannot make a read-only folder here");
    Settings stored;
    stored.extraPressure = "25";
    saveOptionsFile(optionsFileName(), stored);
    const QByteArray before = bytes(optionsFileName());
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
    QCOMPARE(bytes(optionsFileName()), before);
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
