#include "options/centeroverform.h"
#include "options/optionsfile.h"
#include "options/preferences.h"
#include "settingsof.h"
#include "textfile/fileaccess.h"
#include "textfile/filewriter.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(Settings)

namespace {

enum class Closing { OK, Cancel, OnlyThisReport, Escape, TitleBarClose };

// What the stored file holds in the tests that have one.
Settings storedSettings() {
    return settingsOf({"stored tester"}, UnitSystem::MetricBar, true, "20");
}

// What editEverything() types into the dialog.
Settings editedSettings() {
    return settingsOf({"edited tester"}, UnitSystem::MetricKPa, false, "35");
}

QString captionOf(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* box = qobject_cast<const QGroupBox*>(widget))
        return box->title();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text();
    if (const auto* memo = qobject_cast<const QPlainTextEdit*>(widget))
        return memo->toPlainText();
    return QStringLiteral("<unknown kind>");
}

// Types text key by key; characters beyond ASCII arrive with their own text,
// as a keyboard layout would deliver them.
void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c),
                                {});
    }
}

} // namespace

Q_DECLARE_METATYPE(Closing)

class PreferencesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void controls_data();
    void controls();
    void dialogFrame();
    void tabOrder();
    void tabEntersUnitsOnTheChosenButton();
    void cancelWithoutFileKeepsTextAsTyped();
    void firstRunShowsDefaults();
    void startUpLoadsStoredOptions();
    void openErrorAtCreationKeepsDefaults();
    void closing_data();
    void closing();
    void onlyThisReportThenCancelReturnsToStored();
    void unitButtonsAreOneGroup();
    void pressureFilter_data();
    void pressureFilter();
    void pressureEditingKeysStillWork();
    void pressureIgnoresControlCharacters();
    void enterInTesterTextStartsNewLine();
    void enterInPressureFieldIsOK();
    void testerLinesAreThoseEndedByEnter();
    void focusStartsInTesterText();
    void unwritableFileOnOKKeepsValues();
    void unreadableFileOnCancelKeepsValues();
    void centeredOverForm_data();
    void centeredOverForm();
    void centerOverFormNearRightEdge();

private:
    std::unique_ptr<TfrmPreferences> makeDialog();
    template <typename T> T* control(TfrmPreferences& dialog, const char* name);
    void editEverything(TfrmPreferences& dialog);
    void store(const Settings& settings);
    void makeFileUnreadable();

    std::unique_ptr<QTemporaryDir> appData_;
    QStringList errors_;
};

void PreferencesTest::init() {
    appData_ = std::make_unique<QTemporaryDir>();
    QVERIFY(appData_->isValid());
    qputenv("APPDATA", appData_->path().toLocal8Bit());
    for (const QString& folder : optionsFolders())
        QVERIFY(QDir().mkpath(folder));
    errors_.clear();
    QLocale::setDefault(QLocale::c());
}

void PreferencesTest::cleanup() {
    QLocale::setDefault(QLocale::c());
    qunsetenv("APPDATA");
    appData_.reset();
}

std::unique_ptr<TfrmPreferences> PreferencesTest::makeDialog() {
    return std::make_unique<TfrmPreferences>(
        nullptr, [this](const QString& message) { errors_.append(message); });
}

template <typename T> T* PreferencesTest::control(TfrmPreferences& dialog, const char* name) {
    T* widget = dialog.findChild<T*>(QLatin1StringView(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

// Changes every setting through the controls, as a user would.
void PreferencesTest::editEverything(TfrmPreferences& dialog) {
    auto* memo = control<QPlainTextEdit>(dialog, "TestByMemo");
    memo->selectAll();
    QTest::keyClicks(memo, "edited tester");
    auto* kPa = control<QRadioButton>(dialog, "btnUnitsMetrickPa");
    QTest::mouseClick(kPa, Qt::LeftButton, {}, QPoint(6, kPa->height() / 2));
    auto* showFlow = control<QCheckBox>(dialog, "cbShowExtraFlow");
    if (showFlow->isChecked())
        QTest::mouseClick(showFlow, Qt::LeftButton, {}, QPoint(6, showFlow->height() / 2));
    auto* pressure = control<QLineEdit>(dialog, "eExtraPressure");
    pressure->selectAll();
    QTest::keyClicks(pressure, "35");
    QCOMPARE(dialog.settings(), editedSettings());
}

void PreferencesTest::store(const Settings& settings) {
    saveOptionsFile(optionsFileName(), settings);
}

// A folder in the file's place cannot be read as a file, even by root.
void PreferencesTest::makeFileUnreadable() {
    QFile::remove(optionsFileName());
    QVERIFY(QDir().mkpath(optionsFileName()));
}

void PreferencesTest::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    const QString form = "frmPreferences";
    QTest::newRow("Label5") << "Label5" << form << QRect(8, 8, 88, 16) << "Test made by"
                            << "";
    QTest::newRow("TestByMemo") << "TestByMemo" << form << QRect(8, 30, 385, 126) << ""
                                << "";
    QTest::newRow("UnitsBox") << "UnitsBox" << form << QRect(8, 162, 385, 52) << "Units"
                              << "";
    QTest::newRow("btnUnitsUS") << "btnUnitsUS"
                                << "UnitsBox" << QRect(8, 24, 129, 17) << "U.S. gal, ft, in, psi"
                                << "standard U.S. units";
    QTest::newRow("btnUnitsMetricBar")
        << "btnUnitsMetricBar"
        << "UnitsBox" << QRect(137, 24, 137, 17) << "liter, m, mm, bar"
        << "S.I. units";
    QTest::newRow("btnUnitsMetrickPa")
        << "btnUnitsMetrickPa"
        << "UnitsBox" << QRect(264, 24, 121, 17) << "liter, m, mm, kPa"
        << "S.I. units";
    QTest::newRow("cbShowExtraFlow") << "cbShowExtraFlow" << form << QRect(82, 220, 209, 17)
                                     << "always show flow at a pressure of:"
                                     << "";
    QTest::newRow("eExtraPressure") << "eExtraPressure" << form << QRect(160, 243, 33, 21) << "20"
                                    << "";
    QTest::newRow("btnTemp") << "btnTemp" << form << QRect(8, 274, 124, 25) << "Only This Report"
                             << "keep changes this session only";
    QTest::newRow("btnOK") << "btnOK" << form << QRect(219, 274, 83, 25) << "OK"
                           << "keep changes";
    QTest::newRow("btnCancel") << "btnCancel" << form << QRect(308, 274, 83, 25) << "Cancel"
                               << "abandon changes";
}

void PreferencesTest::controls() {
    QFETCH(QString, name);
    QFETCH(QString, parentName);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    const auto dialog = makeDialog();
    const auto* widget = dialog->findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget()->objectName(), parentName);
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(captionOf(widget), caption);
    QCOMPARE(widget->toolTip(), hint);
}

void PreferencesTest::dialogFrame() {
    const auto dialog = makeDialog();
    QCOMPARE(dialog->windowTitle(), QString("Options"));
    QCOMPARE(dialog->minimumSize(), QSize(399, 309));
    QCOMPARE(dialog->maximumSize(), QSize(399, 309));
    const Qt::WindowFlags flags = dialog->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
    QCOMPARE(dialog->font().pointSize(), 9);

    auto* ok = control<QPushButton>(*dialog, "btnOK");
    QVERIFY(ok->isDefault());
    QVERIFY(!ok->icon().isNull());
    QVERIFY(!control<QPushButton>(*dialog, "btnCancel")->icon().isNull());
    QVERIFY(!control<QPushButton>(*dialog, "btnTemp")->icon().isNull());
    QVERIFY(!control<QPushButton>(*dialog, "btnTemp")->isDefault());

    auto* memo = control<QPlainTextEdit>(*dialog, "TestByMemo");
    QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QVERIFY(memo->tabChangesFocus());

    // Centred on the screen at creation, halves with the fraction dropped.
    const QSize screen = dialog->screen()->geometry().size();
    const QSize outer = dialog->frameGeometry().size();
    QCOMPARE(dialog->frameGeometry().topLeft(),
             QPoint((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2));
}

void PreferencesTest::tabOrder() {
    const auto dialog = makeDialog();
    const QStringList expected = {"btnUnitsUS", "btnUnitsMetricBar", "btnUnitsMetrickPa",
                                  "btnOK",      "btnTemp",           "btnCancel",
                                  "TestByMemo", "cbShowExtraFlow",   "eExtraPressure"};
    QWidget* first = control<QWidget>(*dialog, "btnUnitsUS");
    QStringList stops;
    QWidget* widget = first;
    do {
        if (widget->focusPolicy() != Qt::NoFocus)
            stops.append(widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget != first);
    QCOMPARE(stops, expected);
}

void PreferencesTest::tabEntersUnitsOnTheChosenButton() {
    store(storedSettings()); // metric bar
    const auto dialog = makeDialog();
    dialog->show();
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    control<QLineEdit>(*dialog, "eExtraPressure")->setFocus();
    QTest::keyClick(control<QWidget>(*dialog, "eExtraPressure"), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), control<QWidget>(*dialog, "btnUnitsMetricBar"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QVERIFY(control<QRadioButton>(*dialog, "btnUnitsMetrickPa")->isChecked());
    // The new choice is now the box's one tab stop.
    control<QWidget>(*dialog, "btnOK")->setFocus();
    QTest::keyClick(control<QWidget>(*dialog, "btnOK"), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), control<QWidget>(*dialog, "btnUnitsMetrickPa"));
}

void PreferencesTest::cancelWithoutFileKeepsTextAsTyped() {
    const auto dialog = makeDialog();
    dialog->show();
    auto* memo = control<QPlainTextEdit>(*dialog, "TestByMemo");
    QTest::keyClicks(memo, "tester");
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::mouseClick(control<QPushButton>(*dialog, "btnCancel"), Qt::LeftButton);
    QCOMPARE(memo->toPlainText(), QString("tester\n"));
    QCOMPARE(memo->textCursor().position(), 7);
}

void PreferencesTest::firstRunShowsDefaults() {
    QVERIFY(!QFileInfo::exists(optionsFileName()));
    const auto dialog = makeDialog();
    QCOMPARE(dialog->settings(), settingsOf({}, UnitSystem::US, true, "20"));
    QVERIFY(control<QRadioButton>(*dialog, "btnUnitsUS")->isChecked());
    QVERIFY(control<QPlainTextEdit>(*dialog, "TestByMemo")->toPlainText().isEmpty());
    QVERIFY(errors_.isEmpty());
    QVERIFY(!QFileInfo::exists(optionsFileName()));
}

void PreferencesTest::startUpLoadsStoredOptions() {
    writeWholeFile(optionsFileName(), "TestBy = Line one\r\nTestBy = \r\nTestBy = Line three\r\n"
                                      "Units = kpa\r\nShowExtraFlow = F\r\nExtraPress = 137.9 kPa\r\n");
    const auto dialog = makeDialog();
    QCOMPARE(control<QPlainTextEdit>(*dialog, "TestByMemo")->toPlainText(),
             QString("Line one\n\nLine three"));
    QVERIFY(control<QRadioButton>(*dialog, "btnUnitsMetrickPa")->isChecked());
    QVERIFY(!control<QRadioButton>(*dialog, "btnUnitsUS")->isChecked());
    QVERIFY(!control<QCheckBox>(*dialog, "cbShowExtraFlow")->isChecked());
    // Shown as stored, not filtered like typing.
    QCOMPARE(control<QLineEdit>(*dialog, "eExtraPressure")->text(), QString("137.9 kPa"));
}

void PreferencesTest::openErrorAtCreationKeepsDefaults() {
    makeFileUnreadable();
    const auto dialog = makeDialog();
    QCOMPARE(errors_.size(), 1);
    QVERIFY2(errors_[0].startsWith(QString("Cannot open file \"%1\". ").arg(optionsFileName())),
             qPrintable(errors_[0]));
    QCOMPARE(dialog->settings(), Settings{});
}

void PreferencesTest::closing_data() {
    QTest::addColumn<Closing>("closing");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("fileWritten");
    QTest::addColumn<Settings>("inEffect");
    const int ok = QDialog::Accepted;
    const int cancel = QDialog::Rejected;
    const int ignore = TfrmPreferences::Ignored;
    const Settings edited = editedSettings();
    const Settings stored = storedSettings();
    QTest::newRow("OK writes the file") << Closing::OK << true << ok << true << edited;
    QTest::newRow("OK on first run") << Closing::OK << false << ok << true << edited;
    QTest::newRow("Cancel reloads") << Closing::Cancel << true << cancel << false << stored;
    QTest::newRow("Cancel on first run keeps values")
        << Closing::Cancel << false << cancel << false << edited;
    QTest::newRow("Only This Report")
        << Closing::OnlyThisReport << true << ignore << false << edited;
    QTest::newRow("Only This Report on first run")
        << Closing::OnlyThisReport << false << ignore << false << edited;
    QTest::newRow("Escape is Cancel") << Closing::Escape << true << cancel << false << stored;
    QTest::newRow("title-bar close is Cancel")
        << Closing::TitleBarClose << true << cancel << false << stored;
    QTest::newRow("title-bar close on first run")
        << Closing::TitleBarClose << false << cancel << false << edited;
}

void PreferencesTest::closing() {
    QFETCH(Closing, closing);
    QFETCH(bool, stored);
    QFETCH(int, result);
    QFETCH(bool, fileWritten);
    QFETCH(Settings, inEffect);
    if (stored)
        store(storedSettings());
    const QByteArray before = stored ? readWholeFile(optionsFileName()) : QByteArray();

    const auto dialog = makeDialog();
    dialog->show();
    editEverything(*dialog);
    switch (closing) {
    case Closing::OK:
        QTest::mouseClick(control<QPushButton>(*dialog, "btnOK"), Qt::LeftButton);
        break;
    case Closing::Cancel:
        QTest::mouseClick(control<QPushButton>(*dialog, "btnCancel"), Qt::LeftButton);
        break;
    case Closing::OnlyThisReport:
        QTest::mouseClick(control<QPushButton>(*dialog, "btnTemp"), Qt::LeftButton);
        break;
    case Closing::Escape:
        QTest::keyClick(control<QPlainTextEdit>(*dialog, "TestByMemo"), Qt::Key_Escape);
        break;
    case Closing::TitleBarClose:
        QVERIFY(dialog->close());
        break;
    }

    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), result);
    QCOMPARE(dialog->settings(), inEffect);
    QVERIFY(errors_.isEmpty());
    if (fileWritten) {
        Settings fromFile;
        loadOptionsFile(optionsFileName(), fromFile);
        QCOMPARE(fromFile, editedSettings());
    } else if (stored) {
        QCOMPARE(readWholeFile(optionsFileName()), before);
    } else {
        QVERIFY(!QFileInfo::exists(optionsFileName()));
    }
}

void PreferencesTest::onlyThisReportThenCancelReturnsToStored() {
    store(settingsOf({}, UnitSystem::US, true, "20"));
    const auto dialog = makeDialog();
    dialog->show();
    QTest::mouseClick(control<QRadioButton>(*dialog, "btnUnitsMetricBar"), Qt::LeftButton, {},
                      QPoint(6, 8));
    QTest::mouseClick(control<QPushButton>(*dialog, "btnTemp"), Qt::LeftButton);
    QCOMPARE(dialog->settings().units, UnitSystem::MetricBar);

    dialog->show(); // reopened: shows the values of its last closing
    QVERIFY(control<QRadioButton>(*dialog, "btnUnitsMetricBar")->isChecked());
    QCOMPARE(control<QLineEdit>(*dialog, "eExtraPressure")->text(), QString("20"));
    QTest::mouseClick(control<QPushButton>(*dialog, "btnCancel"), Qt::LeftButton);
    QCOMPARE(dialog->settings().units, UnitSystem::US);
    QVERIFY(control<QRadioButton>(*dialog, "btnUnitsUS")->isChecked());
}

void PreferencesTest::unitButtonsAreOneGroup() {
    const auto dialog = makeDialog();
    dialog->show();
    const char* const names[] = {"btnUnitsUS", "btnUnitsMetricBar", "btnUnitsMetrickPa"};
    const UnitSystem systems[] = {UnitSystem::US, UnitSystem::MetricBar, UnitSystem::MetricKPa};
    for (const int pick : {2, 1, 0, 2}) {
        QTest::mouseClick(control<QRadioButton>(*dialog, names[pick]), Qt::LeftButton, {},
                          QPoint(6, 8));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(control<QRadioButton>(*dialog, names[i])->isChecked(), i == pick);
        QCOMPARE(dialog->settings().units, systems[pick]);
    }
}

void PreferencesTest::pressureFilter_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("digits") << "C"
                            << "0123456789"
                            << "0123456789";
    QTest::newRow("letters discarded") << "C"
                                       << "1a2Ez"
                                       << "12";
    QTest::newRow("minus discarded") << "C"
                                     << "-5"
                                     << "5";
    QTest::newRow("plus discarded") << "C"
                                    << "+5"
                                    << "5";
    QTest::newRow("space and other signs discarded") << "C"
                                                     << "1 5%/*"
                                                     << "15";
    QTest::newRow("point passes in a point locale") << "C"
                                                    << "1.5"
                                                    << "1.5";
    QTest::newRow("comma typed as the point of a point locale") << "C"
                                                                << "1,5"
                                                                << "1.5";
    QTest::newRow("comma passes in a comma locale") << "de_DE"
                                                    << "1,5"
                                                    << "1,5";
    QTest::newRow("point typed as the comma of a comma locale") << "de_DE"
                                                                << "1.5"
                                                                << "1,5";
    QTest::newRow("second separator not stopped") << "C"
                                                  << "1.5.5"
                                                  << "1.5.5";
    QTest::newRow("backspace passes") << "C"
                                      << "12\b3"
                                      << "13";
    QTest::newRow("non-ASCII letter discarded") << "C" << QString::fromUtf8("2é0") << "20";
}

void PreferencesTest::pressureFilter() {
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    const auto dialog = makeDialog();
    dialog->show();
    // The separator in force at the key press counts, not the one at creation.
    QLocale::setDefault(QLocale(locale));
    auto* pressure = control<QLineEdit>(*dialog, "eExtraPressure");
    pressure->clear();
    typeText(pressure, typed);
    QCOMPARE(pressure->text(), shown);
    QVERIFY(dialog->isVisible());
}

void PreferencesTest::pressureEditingKeysStillWork() {
    const auto dialog = makeDialog();
    dialog->show();
    auto* pressure = control<QLineEdit>(*dialog, "eExtraPressure");
    pressure->setText("25");
    pressure->setCursorPosition(2);
    QTest::keyClick(pressure, Qt::Key_Left);
    QTest::keyClick(pressure, Qt::Key_Delete);
    QCOMPARE(pressure->text(), QString("2"));
    QTest::keyClick(pressure, Qt::Key_Home);
    QTest::keyClicks(pressure, "1");
    QCOMPARE(pressure->text(), QString("12"));
    // Tab is no character: it still moves the focus on.
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    pressure->setFocus();
    QTest::keyClick(pressure, Qt::Key_Tab);
    QCOMPARE(dialog->focusWidget(), control<QRadioButton>(*dialog, "btnUnitsUS"));
}

void PreferencesTest::pressureIgnoresControlCharacters() {
    const auto dialog = makeDialog();
    dialog->show();
    auto* pressure = control<QLineEdit>(*dialog, "eExtraPressure");
    // Editing shortcuts work; a paste keeps what typing could have entered.
    QGuiApplication::clipboard()->setText("abc");
    pressure->setCursorPosition(2);
    QTest::keyClick(pressure, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(pressure->text(), QString("20"));
    QGuiApplication::clipboard()->setText("35 psi");
    QTest::keyClick(pressure, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(pressure, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(pressure->text(), QString("35"));
}

void PreferencesTest::enterInTesterTextStartsNewLine() {
    const auto dialog = makeDialog();
    dialog->show();
    auto* memo = control<QPlainTextEdit>(*dialog, "TestByMemo");
    QTest::keyClicks(memo, "A");
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, "B");
    QTest::keyClick(memo, Qt::Key_Enter);
    QTest::keyClicks(memo, "C");
    QCOMPARE(memo->toPlainText(), QString("A\nB\nC"));
    QVERIFY(dialog->isVisible());
    QVERIFY(!QFileInfo::exists(optionsFileName()));
    QCOMPARE(dialog->settings().testedBy, (QStringList{"A", "B", "C"}));
}

void PreferencesTest::enterInPressureFieldIsOK() {
    const auto dialog = makeDialog();
    dialog->show();
    auto* pressure = control<QLineEdit>(*dialog, "eExtraPressure");
    pressure->clear();
    QTest::keyClicks(pressure, "30");
    QTest::keyClick(pressure, Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    Settings fromFile;
    loadOptionsFile(optionsFileName(), fromFile);
    QCOMPARE(fromFile.extraPressure, QString("30"));
}

void PreferencesTest::testerLinesAreThoseEndedByEnter() {
    const auto dialog = makeDialog();
    dialog->show();
    auto* memo = control<QPlainTextEdit>(*dialog, "TestByMemo");
    const QString longLine = QString("District Fire Prevention Bureau ").repeated(6).trimmed();
    QTest::keyClicks(memo, longLine);
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, "Unit 7");
    QTest::keyClick(memo, Qt::Key_Return); // a last break adds no line
    QVERIFY2(memo->document()->lineCount() > 4, "the long line does not wrap");
    QTest::mouseClick(control<QPushButton>(*dialog, "btnOK"), Qt::LeftButton);
    QCOMPARE(readWholeFile(optionsFileName()),
             QByteArray("TestBy = ") + longLine.toLatin1() +
                 "\r\nTestBy = \r\nTestBy = Unit 7\r\nUnits = PSI\r\nShowExtraFlow = T\r\n"
                 "ExtraPress = 20\r\n");
}

void PreferencesTest::focusStartsInTesterText() {
    const auto dialog = makeDialog();
    auto* memo = control<QPlainTextEdit>(*dialog, "TestByMemo");
    dialog->show();
    QCOMPARE(dialog->focusWidget(), memo);
    control<QLineEdit>(*dialog, "eExtraPressure")->setFocus();
    QTest::mouseClick(control<QPushButton>(*dialog, "btnTemp"), Qt::LeftButton);
    dialog->show();
    QCOMPARE(dialog->focusWidget(), memo);
}

void PreferencesTest::unwritableFileOnOKKeepsValues() {
    store(storedSettings());
    const QByteArray before = readWholeFile(optionsFileName());
    QFile::setPermissions(optionsFileName(), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    const auto dialog = makeDialog();
    dialog->show();
    editEverything(*dialog);
    QTest::mouseClick(control<QPushButton>(*dialog, "btnOK"), Qt::LeftButton);
    QCOMPARE(errors_.size(), 1);
    QVERIFY2(errors_[0].startsWith(QString("Cannot create file \"%1\". ").arg(optionsFileName())),
             qPrintable(errors_[0]));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(dialog->settings(), editedSettings());
    QCOMPARE(readWholeFile(optionsFileName()), before);
}

void PreferencesTest::unreadableFileOnCancelKeepsValues() {
    const auto dialog = makeDialog();
    dialog->show();
    editEverything(*dialog);
    makeFileUnreadable();
    QTest::mouseClick(control<QPushButton>(*dialog, "btnCancel"), Qt::LeftButton);
    QCOMPARE(errors_.size(), 1);
    QVERIFY2(errors_[0].startsWith(QString("Cannot open file \"%1\". ").arg(optionsFileName())),
             qPrintable(errors_[0]));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(dialog->settings(), editedSettings());
}

void PreferencesTest::centeredOverForm_data() {
    QTest::addColumn<QSize>("dialog");
    QTest::addColumn<QRect>("mainWindow");
    QTest::addColumn<QSize>("desktop");
    QTest::addColumn<QPoint>("expected");
    const QSize desktop(1920, 1080);
    const QSize dialog(400, 300);
    QTest::newRow("centred") << dialog << QRect(100, 100, 800, 600) << desktop << QPoint(300, 250);
    QTest::newRow("odd halves drop the fraction")
        << QSize(399, 309) << QRect(0, 0, 800, 600) << desktop << QPoint(200, 145);
    QTest::newRow("negative halves truncate toward zero")
        << QSize(399, 309) << QRect(300, 300, 100, 100) << desktop << QPoint(151, 196);
    QTest::newRow("off the left and top clamps to 0")
        << dialog << QRect(-500, -400, 800, 600) << desktop << QPoint(0, 0);
    QTest::newRow("near the right edge ends at the right edge")
        << dialog << QRect(1500, 100, 800, 600) << desktop << QPoint(1520, 250);
    QTest::newRow("near the bottom ends at the bottom")
        << dialog << QRect(100, 900, 800, 600) << desktop << QPoint(300, 780);
    QTest::newRow("one pixel short of the edges stays")
        << dialog << QRect(1319, 629, 800, 600) << desktop << QPoint(1519, 779);
    QTest::newRow("desktop smaller than the dialog")
        << dialog << QRect(0, 0, 200, 100) << QSize(300, 200) << QPoint(-100, -100);
}

void PreferencesTest::centeredOverForm() {
    QFETCH(QSize, dialog);
    QFETCH(QRect, mainWindow);
    QFETCH(QSize, desktop);
    QFETCH(QPoint, expected);
    QCOMPARE(::centeredOverForm(dialog, mainWindow, desktop), expected);
}

void PreferencesTest::centerOverFormNearRightEdge() {
    const auto dialog = makeDialog();
    QWidget mainWindow;
    const QSize desktop = mainWindow.screen()->virtualSize();
    mainWindow.setGeometry(desktop.width() - 300, 50, 500, 400);
    CenterOverForm(*dialog, mainWindow);
    QCOMPARE(dialog->frameGeometry().right(), desktop.width() - 1);
    const int mainMiddle =
        mainWindow.frameGeometry().top() + mainWindow.frameGeometry().height() / 2;
    QVERIFY(qAbs(dialog->frameGeometry().center().y() - mainMiddle) <= 1);
}

QTEST_MAIN(PreferencesTest)
#include "test_preferences.moc"
