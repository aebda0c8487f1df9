#include "app/flowgrid.h"
#include "app/ostrelflow.h"
#include "app/userprompts.h"
#include "document/testfile.h"
#include "options/preferences.h"
#include "testsupport.h"
#include "windowfixture.h"
#include "textfile/filewriter.h"
#include "textfile/textfile.h"

#include <QClipboard>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

// The main window's start-up, Modified flag and document commands, with
// questions and file dialogs answered through the prompts seam.
class MainWindowTest : public QObject, WindowFixture {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startsCentredWithTodaysDateAndSaved();
    void rememberesFirstArgumentOnly();
    void folderThatCannotBeMadeIsReportedAndStartupGoesOn();
    void typingSetsModified_data();
    void typingSetsModified();
    void numberFieldsFilterAndStillSetModified_data();
    void numberFieldsFilterAndStillSetModified();
    void keyboardLengthLimitKeepsLoadedLongText();
    void closingUnmodifiedAsksNothing();
    void closingModifiedAnsweredNoCloses();
    void closingModifiedYesButSaveCancelledStaysOpen();
    void closingModifiedYesSavesThenCloses();
    void closingWithFailedSaveStaysOpen();
    void escapedSaveQuestionCancelsTheCommand_data();
    void escapedSaveQuestionCancelsTheCommand();

    void newWithoutChangesAsksNothing();
    void newAnsweredNoClearsWithoutWriting();
    void newAnsweredYesButCancelledKeepsTest();
    void openAsksFirstAndCancelKeepsTest();
    void openLoadsAllOutlets();
    void openFileWithoutFlowLinesIsModified();
    void openUnreadableFileKeepsTest();
    void saveWritesEvenWithoutChanges();
    void saveAddsDefaultExtension();
    void saveOverExistingAnsweredNoWritesNothing();
    void saveDialogOffersLastSaveNameWithoutFolder();
    void startupFileOpensAtFirstShow();
    void roundTripThroughWindowKeepsCells();
    void openedAndSavedUnchangedKeepsBytes_data();
    void openedAndSavedUnchangedKeepsBytes();
    void notARegularFileIsIgnored_data();
    void notARegularFileIsIgnored();
    void shiftEnterEndsALineInMemos();
    void pasteIsCutAtTheLimit();
    void editingKeysAndPastesInFields_data();
    void editingKeysAndPastesInFields();

    void optionsRelabelGridAndReachFormulas();
    void tabOrderRunsThroughTheFieldsAndLeavesTheGrid();
    void fieldsAreNamedByTheirLabels();

private:
    FlowGrid& grid() { return field<FlowGrid>("FlowGrid"); }
    void modify() { QTest::keyClick(&field<QLineEdit>("eTime"), Qt::Key_1); }
};

void MainWindowTest::init() {
    startWindow();
}

void MainWindowTest::cleanup() {
    stopWindow();
}

void MainWindowTest::startsCentredWithTodaysDateAndSaved() {
    QCOMPARE(field<QLineEdit>("eDate").text(),
             QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    QVERIFY(!window_->isModified());
    QCOMPARE(window_->windowTitle(), QString("Ostrel Hydrant Flow Test 2.0"));
    QCOMPARE(window_->centralWidget()->size(), QSize(439, 466));
    QVERIFY(QDir(dir_->filePath("appdata/Ostrel/FlowTest")).exists());
    QCOMPARE(grid().outlets().rowCount(), 1);
}

void MainWindowTest::rememberesFirstArgumentOnly() {
    restartWindow({"first.oft", "second.oft"});
    QCOMPARE(window_->fileToOpen(), QString("first.oft"));
    // A name that is no file is ignored without a message.
    QVERIFY(prompts().errors.isEmpty());
    QVERIFY(!window_->isModified());
}

void MainWindowTest::folderThatCannotBeMadeIsReportedAndStartupGoesOn() {
    // APPDATA names a file, so no folder can be made below it.
    QFile blocker(file("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("APPDATA", file("blocker").toLocal8Bit());
    restartWindow({"x.oft"});
    QCOMPARE(prompts().errors, QStringList{"Invalid filename."});
    QVERIFY(!field<QLineEdit>("eDate").text().isEmpty());
    QCOMPARE(window_->fileToOpen(), QString("x.oft"));
}

void MainWindowTest::typingSetsModified_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    for (const char* name : {"eDate", "eTime", "LocationMemo", "NotesMemo"}) {
        QTest::newRow(QByteArray(name) + " letter") << name << int(Qt::Key_A) << 0;
        QTest::newRow(QByteArray(name) + " enter") << name << int(Qt::Key_Return) << 0;
        QTest::newRow(QByteArray(name) + " backspace") << name << int(Qt::Key_Backspace) << 0;
        QTest::newRow(QByteArray(name) + " ctrl+c") << name << int(Qt::Key_C) << int(Qt::ControlModifier);
    }
}

void MainWindowTest::typingSetsModified() {
    QFETCH(QString, name);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QWidget* target = window_->findChild<QWidget*>(name);
    QVERIFY(target);
    QTest::keyClick(target, Qt::Key_Left);
    QTest::keyClick(target, Qt::Key_Right);
    QVERIFY(!window_->isModified());
    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(window_->isModified());
}

void MainWindowTest::numberFieldsFilterAndStillSetModified_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter in static") << "eStatic" << "a" << "";
    QTest::newRow("minus in static") << "eStatic" << "-6" << "6";
    QTest::newRow("number in residual") << "eResidual" << "40.5" << "40.5";
    QTest::newRow("minus in elevation") << "eReadElev" << "-12" << "-12";
    QTest::newRow("letter in elevation") << "eReadElev" << "x" << "";
    QTest::newRow("limit of six") << "eStatic" << "12345678" << "123456";
}

void MainWindowTest::numberFieldsFilterAndStillSetModified() {
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    auto* edit = window_->findChild<QLineEdit*>(name);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), shown);
    QVERIFY(window_->isModified());
}

void MainWindowTest::keyboardLengthLimitKeepsLoadedLongText() {
    TestRecord record;
    record.staticPressure = "123456789";
    record.date = QString(30, 'd');
    writeTestFile(file("long.oft"), record);
    window_->LoadTestFile(file("long.oft"));
    auto& edit = field<QLineEdit>("eStatic");
    QCOMPARE(edit.text(), QString("123456789"));
    QCOMPARE(field<QLineEdit>("eDate").text(), QString(30, 'd'));
    edit.end(false);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.text(), QString("12345678"));
    QTest::keyClick(&edit, Qt::Key_5);
    QCOMPARE(edit.text(), QString("12345678"));
}

void MainWindowTest::closingUnmodifiedAsksNothing() {
    QVERIFY(window_->close());
    QVERIFY(prompts().questions.isEmpty());
}

void MainWindowTest::closingModifiedAnsweredNoCloses() {
    modify();
    QVERIFY(window_->close());
    QCOMPARE(prompts().questions, QStringList{"Save current file before closing?"});
    QVERIFY(prompts().saveRequests.isEmpty());
}

void MainWindowTest::closingModifiedYesButSaveCancelledStaysOpen() {
    modify();
    prompts().yesNoAnswers.enqueue(true);
    QVERIFY(!window_->close());
    QVERIFY(window_->isVisible());
    QVERIFY(window_->isModified());
    QCOMPARE(prompts().saveRequests.size(), 1);
}

void MainWindowTest::closingModifiedYesSavesThenCloses() {
    modify();
    prompts().yesNoAnswers.enqueue(true);
    prompts().saveAnswers.enqueue(file("closing.oft"));
    QVERIFY(window_->close());
    QVERIFY(fileBytes(file("closing.oft")).contains("Time = 1\r\n"));
}

void MainWindowTest::closingWithFailedSaveStaysOpen() {
    modify();
    prompts().yesNoAnswers.enqueue(true);
    prompts().saveAnswers.enqueue(file("missing-folder/closing.oft"));
    QVERIFY(!window_->close());
    QVERIFY(window_->isModified());
    QCOMPARE(prompts().errors.size(), 1);
    QVERIFY(prompts().errors[0].startsWith(
        QString("Cannot create file \"%1\". ").arg(file("missing-folder/closing.oft"))));
    QVERIFY(prompts().errors[0].endsWith('.'));
}

void MainWindowTest::escapedSaveQuestionCancelsTheCommand_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("close") << "close";
    QTest::newRow("new") << "new";
    QTest::newRow("open") << "open";
}

void MainWindowTest::escapedSaveQuestionCancelsTheCommand() {
    QFETCH(QString, command);
    field<QLineEdit>("eStatic").setText("60");
    modify();
    prompts().escapes = 1;
    prompts().openAnswers.enqueue(file("other.oft"));
    if (command == "close")
        QVERIFY(!window_->close());
    else if (command == "new")
        window_->NewClick();
    else
        window_->OpenClick();
    QCOMPARE(prompts().questions.size(), 1);
    QVERIFY(prompts().saveRequests.isEmpty());
    QVERIFY(prompts().openRequests.isEmpty());
    QVERIFY(window_->isVisible());
    QVERIFY(window_->isModified());
    QCOMPARE(field<QLineEdit>("eStatic").text(), QString("60"));
}

void MainWindowTest::newWithoutChangesAsksNothing() {
    window_->NewClick();
    QVERIFY(prompts().questions.isEmpty());
    QVERIFY(!window_->isModified());
}

void MainWindowTest::newAnsweredNoClearsWithoutWriting() {
    modify();
    grid().outlets().setCell(0, 2, "2.5");
    window_->AddOutletClick();
    window_->NewClick();
    QCOMPARE(prompts().questions, QStringList{"Save current file before clearing form?"});
    QVERIFY(prompts().saveRequests.isEmpty());
    QCOMPARE(field<QLineEdit>("eTime").text(), QString());
    QCOMPARE(grid().outlets().rowCount(), 1);
    QCOMPARE(grid().outlets().cell(0, 2), QString());
    QCOMPARE(field<QLineEdit>("eDate").text(),
             QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    QVERIFY(!window_->isModified());
}

void MainWindowTest::newAnsweredYesButCancelledKeepsTest() {
    modify();
    prompts().yesNoAnswers.enqueue(true);
    window_->NewClick();
    QCOMPARE(field<QLineEdit>("eTime").text(), QString("1"));
    QVERIFY(window_->isModified());
}

void MainWindowTest::openAsksFirstAndCancelKeepsTest() {
    modify();
    window_->OpenClick();
    QCOMPARE(prompts().questions, QStringList{"Save current file before overwritting?"});
    QCOMPARE(prompts().openRequests.size(), 1);
    QCOMPARE(prompts().openRequests[0].filter, QString("Ostrel Hydrant Flow Test |*.oft;*oft"));
    QCOMPARE(prompts().openRequests[0].defaultSuffix, QString("oft"));
    QCOMPARE(field<QLineEdit>("eTime").text(), QString("1"));
    QVERIFY(window_->isModified());
}

void MainWindowTest::openLoadsAllOutlets() {
    TestRecord record;
    record.date = "6/14/2008";
    record.location = {"100 Main Street", "corner of Elm Avenue"};
    record.notes = {"", "witnessed", "", ""}; // empty lines, also last ones, come back
    record.staticPressure = "72";
    for (int i = 1; i <= 3; ++i) {
        OutletRow row;
        row[OutletRow::Label] = QString("#%1").arg(i);
        row[OutletRow::Size] = "2.5";
        record.outlets.append(row);
    }
    writeTestFile(file("three.oft"), record);
    prompts().openAnswers.enqueue(file("three.oft"));
    window_->OpenClick();
    QCOMPARE(window_->testRecord(), record);
    QVERIFY(!window_->isModified());
    QCOMPARE(grid().currentRow(), 1);
    QCOMPARE(grid().currentColumn(), 1);
    // The open dialog remembers the full name.
    window_->OpenClick();
    QCOMPARE(prompts().openRequests.last().initialName, file("three.oft"));
}

void MainWindowTest::openFileWithoutFlowLinesIsModified() {
    QFile empty(file("empty.oft"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    window_->LoadTestFile(file("empty.oft"));
    QCOMPARE(grid().outlets().rowCount(), 1);
    QCOMPARE(grid().outlets().cell(0, 0), QString("#1"));
    QCOMPARE(field<QLineEdit>("eDate").text(), QString());
    QVERIFY(window_->isModified());
}

void MainWindowTest::openUnreadableFileKeepsTest() {
    // A file that opens but fails at its first read, even for root.
    const QString unreadable = QStringLiteral("/proc/self/mem");
    if (!QFileInfo(unreadable).isFile())
        QSKIP("needs /proc/self/mem");
    modify();
    window_->LoadTestFile(unreadable);
    QCOMPARE(prompts().errors.size(), 1);
    QVERIFY(prompts().errors[0].startsWith(QString("Cannot open file \"%1\". ").arg(unreadable)));
    QCOMPARE(field<QLineEdit>("eTime").text(), QString("1"));
    QVERIFY(window_->isModified());
}

void MainWindowTest::saveWritesEvenWithoutChanges() {
    prompts().saveAnswers.enqueue(file("plain.oft"));
    QVERIFY(window_->SaveClick());
    QVERIFY(fileBytes(file("plain.oft")).endsWith("Flow = #1,,,,,\r\n"));
    QCOMPARE(prompts().saveRequests[0].filter, QString("Ostrel Hydrant Flow Test |*.oft;*oft"));
}

void MainWindowTest::saveAddsDefaultExtension() {
    modify();
    prompts().saveAnswers.enqueue(file("noext"));
    prompts().saveAnswers.enqueue(file("other.txt"));
    QVERIFY(window_->SaveClick());
    QVERIFY(QFile::exists(file("noext.oft")));
    QVERIFY(!window_->isModified());
    QVERIFY(window_->SaveClick());
    QVERIFY(QFile::exists(file("other.txt")));
}

void MainWindowTest::saveOverExistingAnsweredNoWritesNothing() {
    QFile existing(file("old.oft"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("old");
    existing.close();
    modify();
    prompts().saveAnswers.enqueue(file("old.oft"));
    QVERIFY(!window_->SaveClick());
    QCOMPARE(prompts().questions,
             QStringList{QString("Overwrite the existing file \"%1\"?").arg(file("old.oft"))});
    QCOMPARE(fileBytes(file("old.oft")), QByteArray("old"));
    QVERIFY(window_->isModified());
}

void MainWindowTest::saveDialogOffersLastSaveNameWithoutFolder() {
    prompts().saveAnswers.enqueue(file("first.oft"));
    window_->SaveClick();
    QCOMPARE(prompts().saveRequests[0].initialName, QString());
    prompts().openAnswers.enqueue(file("first.oft"));
    window_->OpenClick();
    window_->SaveClick();
    QCOMPARE(prompts().saveRequests[1].initialName, QString("first.oft"));
}

void MainWindowTest::startupFileOpensAtFirstShow() {
    TestRecord record;
    record.residualPressure = "58";
    OutletRow row;
    row[OutletRow::Label] = "#1";
    record.outlets = {row, row, row};
    writeTestFile(file("start.oft"), record);
    restartWindow({file("start.oft")});
    QCOMPARE(grid().outlets().rowCount(), 3);
    QCOMPARE(field<QLineEdit>("eResidual").text(), QString("58"));
    QVERIFY(!window_->isModified());
    QVERIFY(window_->close());
    QVERIFY(prompts().questions.isEmpty());
}

void MainWindowTest::roundTripThroughWindowKeepsCells() {
    QTest::keyClicks(&field<QPlainTextEdit>("NotesMemo"), "first line");
    QTest::keyClick(&field<QPlainTextEdit>("NotesMemo"), Qt::Key_Return);
    QTest::keyClicks(&field<QPlainTextEdit>("NotesMemo"), "second, \"quoted\"");
    grid().outlets().setCell(0, 2, "2.5");
    const TestRecord before = window_->testRecord();
    prompts().saveAnswers.enqueue(file("trip.oft"));
    QVERIFY(window_->SaveClick());
    window_->NewClick();
    prompts().openAnswers.enqueue(file("trip.oft"));
    window_->OpenClick();
    QCOMPARE(window_->testRecord(), before);
    QCOMPARE(before.notes, QStringList({"first line", "second, \"quoted\""}));
}

void MainWindowTest::openedAndSavedUnchangedKeepsBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray head = "Date = 6/14/2008\r\nTime = \r\nStatic = 72\r\nResidual = \r\nReadElev = \r\n";
    const QByteArray outlet = "Flow = #1,,2.5,0.9,18,712\r\n";
    QTest::newRow("non-breaking space") << head + "Location = a\xA0" "b\r\n" + outlet;
    QTest::newRow("line separator") << "\xEF\xBB\xBF" + head + "Notes = a\xE2\x80\xA8" "b\r\n" + outlet;
    QTest::newRow("40,000-character date")
        << "Date = " + QByteArray(40000, 'd') + "\r\n" + head.mid(18) + outlet;
    // The first outlet's Elev cell is the current cell after opening.
    QTest::newRow("40,000-character cell")
        << head + "Flow = #1," + QByteArray(40000, '7') + ",2.5,0.9,18,712\r\n";
}

void MainWindowTest::openedAndSavedUnchangedKeepsBytes() {
    QFETCH(QByteArray, bytes);
    writeWholeFile(file("in.oft"), bytes);
    window_->LoadTestFile(file("in.oft"));
    prompts().saveAnswers.enqueue(file("out.oft"));
    QVERIFY(window_->SaveClick());
    QCOMPARE(fileBytes(file("out.oft")), bytes);
}

void MainWindowTest::notARegularFileIsIgnored_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refusedByOpen"); // a folder is entered by the dialog instead
    QTest::newRow("folder") << "folder.oft" << false;
    QTest::newRow("FIFO without a writer") << "fifo.oft" << true;
}

void MainWindowTest::notARegularFileIsIgnored() {
    QFETCH(QString, name);
    QFETCH(bool, refusedByOpen);
    QDir().mkpath(file("folder.oft"));
    QVERIFY(::mkfifo(QFile::encodeName(file("fifo.oft")).constData(), 0600) == 0);
    const QString path = dir_->filePath(name);
    restartWindow({path});
    window_->LoadTestFile(path);
    QVERIFY(prompts().errors.isEmpty());
    QVERIFY(!window_->isModified());
    QCOMPARE(grid().outlets().rowCount(), 1);
    QCOMPARE(openRefuses(path), refusedByOpen);
}

void MainWindowTest::shiftEnterEndsALineInMemos() {
    auto& memo = field<QPlainTextEdit>("LocationMemo");
    QTest::keyClicks(&memo, "a");
    QTest::keyClick(&memo, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&memo, "b");
    QCOMPARE(window_->testRecord().location, QStringList({"a", "b"}));
}

void MainWindowTest::pasteIsCutAtTheLimit() {
    auto& pressure = field<QLineEdit>("eStatic");
    pressure.insert("1234");
    pressure.insert("56789"); // as a paste does
    QCOMPARE(pressure.text(), QString("123456"));
    auto& date = field<QLineEdit>("eDate");
    date.clear();
    date.insert(QString(25, 'x'));
    QCOMPARE(date.text(), QString(20, 'x'));
}

void MainWindowTest::editingKeysAndPastesInFields_data() {
    QTest::addColumn<QString>("name"); // a cell's column when a number
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("keys"); // Ctrl+letter; Z is Ctrl+Shift+Z, m a mouse paste
    QTest::addColumn<QString>("shown");
    QTest::newRow("paste keeps the digits") << "eStatic"
                                            << "60"
                                            << "72 psi"
                                            << "av"
                                            << "72";
    QTest::newRow("paste with the other separator") << "eReadElev"
                                                    << ""
                                                    << "-3,5 m"
                                                    << "v"
                                                    << "-3.5";
    QTest::newRow("paste of nothing usable") << "eResidual"
                                             << "40"
                                             << "psi"
                                             << "v"
                                             << "40";
    QTest::newRow("cut") << "eStatic"
                         << "60"
                         << ""
                         << "ax"
                         << "";
    QTest::newRow("undo a paste") << "eStatic"
                                  << "60"
                                  << "72"
                                  << "avz"
                                  << "60";
    QTest::newRow("redo it") << "eStatic"
                             << "60"
                             << "72"
                             << "avzZ"
                             << "72";
    QTest::newRow("mouse paste") << "eStatic"
                                 << ""
                                 << "55"
                                 << "m"
                                 << "55";
    QTest::newRow("paste into a cell") << "4"
                                       << ""
                                       << "15 psi"
                                       << "v"
                                       << "15";
    QTest::newRow("mouse paste into a cell") << "2"
                                             << ""
                                             << "2.5 in"
                                             << "m"
                                             << "2.5";
    QTest::newRow("mouse paste into a memo") << "NotesMemo"
                                             << ""
                                             << "dry"
                                             << "m"
                                             << "dry";
}

void MainWindowTest::editingKeysAndPastesInFields() {
    QFETCH(QString, name);
    QFETCH(QString, start);
    QFETCH(QString, clipboard);
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    bool isCell = false;
    const int column = name.toInt(&isCell);
    QWidget* target = window_->findChild<QWidget*>(name);
    if (isCell) {
        grid().setCurrentCell(column, 1);
        target = grid().cellEditor();
    }
    auto* edit = qobject_cast<QLineEdit*>(target);
    auto* memo = qobject_cast<QPlainTextEdit*>(target);
    QVERIFY(edit || memo);
    if (edit)
        edit->setText(start);
    QVERIFY(!window_->isModified());
    QGuiApplication::clipboard()->setText(clipboard);
    for (const QChar key : keys) {
        if (key == 'm') // what the context menu's Paste does
            edit ? edit->paste() : memo->paste();
        else
            QTest::keyClick(target, Qt::Key(Qt::Key_A + key.toLower().unicode() - 'a'),
                            key.isUpper() ? Qt::ControlModifier | Qt::ShiftModifier
                                          : Qt::ControlModifier);
    }
    QCOMPARE(edit ? edit->text() : memo->toPlainText(), shown);
    QVERIFY(window_->isModified());
    if (keys == "ax")
        QCOMPARE(QGuiApplication::clipboard()->text(), start);
}

void MainWindowTest::optionsRelabelGridAndReachFormulas() {
    QTimer::singleShot(0, this, [this] {
        preferences_->findChild<QRadioButton*>("btnUnitsMetricBar")->click();
        QTest::mouseClick(preferences_->findChild<QPushButton*>("btnTemp"), Qt::LeftButton);
    });
    window_->OptionsClick();
    QCOMPARE(grid().model()->headerData(5, Qt::Horizontal).toString(), QString("*Flow [lpm]"));
    QVERIFY(!window_->isModified());
    grid().outlets().setCell(0, 2, "63.5");
    grid().outlets().setCell(0, 3, "0.9");
    grid().outlets().setCell(0, 4, "0.69");
    grid().setCurrentCell(5, 1);
    QCOMPARE(grid().outlets().cell(0, 5), QString("2008"));
    grid().outlets().setCell(0, 5, "2400");
    grid().outlets().setCell(0, 4, "");
    grid().setCurrentCell(4, 1);
    QCOMPARE(grid().outlets().cell(0, 4), QString("0.986"));
}

void MainWindowTest::tabOrderRunsThroughTheFieldsAndLeavesTheGrid() {
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    field<QLineEdit>("eDate").setFocus();
    const QStringList expected = {"eTime",     "LocationMemo", "NotesMemo", "eStatic",
                                  "eResidual", "eReadElev",    "FlowGrid",  "btnAddOutlet",
                                  "btnRemoveOutlet"};
    for (const QString& name : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused);
        // In the grid the focus rests in the always-open cell editor.
        if (name == "FlowGrid")
            QCOMPARE(focused, static_cast<QWidget*>(grid().cellEditor()));
        else
            QCOMPARE(focused->objectName(), name);
    }
    QVERIFY(!window_->isModified());
}

void MainWindowTest::fieldsAreNamedByTheirLabels() {
    const QList<QLabel*> labels = window_->findChildren<QLabel*>();
    const auto captionOf = [&labels](const QWidget* field) {
        for (const QLabel* label : labels)
            if (label->buddy() == field)
                return label->text();
        return QString();
    };
    const QStringList expected = {"Date",      "Time",        "Location", "Notes",
                                  "*Static P", "*Residual P", "Elevation"};
    const char* names[] = {"eDate",   "eTime",     "LocationMemo", "NotesMemo",
                           "eStatic", "eResidual", "eReadElev"};
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const auto* field = window_->findChild<QWidget*>(names[i]);
        QCOMPARE(captionOf(field), expected[i]);
        QCOMPARE(field->accessibleName(), expected[i]);
    }
    grid().setCurrentCell(4, 1);
    QCOMPARE(grid().cellEditor()->accessibleName(), QString("Pitot [psi] #1"));
}

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
