#include "options/preferences.h"

#include "hydraulics/keyfilters.h"
#include "hydraulics/numbertext.h"
#include "options/optionsfile.h"
#include "textfile/fileaccess.h"
#include "ui/errorbox.h"
#include "ui/textfields.h"
#include "ui/windowfont.h"
#include "ui/windowplacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <iterator>
#include <optional>

namespace {

template <typename Widget> Widget* placed(Widget* widget, const char* name, const QRect& geometry) {
    widget->setObjectName(QLatin1StringView(name));
    widget->setGeometry(geometry);
    return widget;
}

} // namespace

TfrmPreferences::TfrmPreferences(QWidget* parent, ErrorReporter reporter)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setErrorReporter(std::move(reporter));
    setObjectName(QStringLiteral("frmPreferences"));
    setWindowTitle(QStringLiteral("Options"));
    setFixedSize(399, 309);
    createControls();
    setTabStops();
    FormCreate();
}

void TfrmPreferences::setErrorReporter(ErrorReporter reporter) {
    if (reporter) {
        reporter_ = std::move(reporter);
        return;
    }
    reporter_ = [this](const QString& message) {
        showErrorBox(isVisible() ? this : parentWidget(), message);
    };
}

void TfrmPreferences::createControls() {
    Label5 = placed(new QLabel(QStringLiteral("Test made by"), this), "Label5", {8, 8, 88, 16});

    TestByMemo = placed(new MemoEdit(this), "TestByMemo", {8, 30, 385, 126});
    Label5->setBuddy(TestByMemo);
    TestByMemo->setAccessibleName(Label5->text());
    TestByMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    TestByMemo->setTabChangesFocus(true);

    UnitsBox = placed(new QGroupBox(QStringLiteral("Units"), this), "UnitsBox", {8, 162, 385, 52});
    // Siblings with auto-exclusive radio buttons form one group.
    btnUnitsUS = placed(new QRadioButton(QStringLiteral("U.S. gal, ft, in, psi"), UnitsBox),
                        "btnUnitsUS", {8, 24, 129, 17});
    btnUnitsUS->setToolTip(QStringLiteral("standard U.S. units"));
    btnUnitsUS->setChecked(true);
    btnUnitsMetricBar = placed(new QRadioButton(QStringLiteral("liter, m, mm, bar"), UnitsBox),
                               "btnUnitsMetricBar", {137, 24, 137, 17});
    btnUnitsMetricBar->setToolTip(QStringLiteral("S.I. units"));
    btnUnitsMetrickPa = placed(new QRadioButton(QStringLiteral("liter, m, mm, kPa"), UnitsBox),
                               "btnUnitsMetrickPa", {264, 24, 121, 17});
    btnUnitsMetrickPa->setToolTip(QStringLiteral("S.I. units"));
    for (QRadioButton* button : unitButtons())
        connect(button, &QRadioButton::toggled, this, &TfrmPreferences::keepTabOnChosenUnits);
    keepTabOnChosenUnits();

    cbShowExtraFlow =
        placed(new QCheckBox(QStringLiteral("always show flow at a pressure of:"), this),
               "cbShowExtraFlow", {82, 220, 209, 17});
    cbShowExtraFlow->setChecked(true);

    eExtraPressure =
        placed(new QLineEdit(QStringLiteral("20"), this), "eExtraPressure", {160, 243, 33, 21});
    makeNumberField(*eExtraPressure, FilterPosRealKey);
    eExtraPressure->setAccessibleName(cbShowExtraFlow->text());
    eExtraPressure->installEventFilter(this);

    btnTemp = placed(new QPushButton(style()->standardIcon(QStyle::SP_DialogApplyButton),
                                     QStringLiteral("Only This Report"), this),
                     "btnTemp", {8, 274, 124, 25});
    btnTemp->setToolTip(QStringLiteral("keep changes this session only"));
    connect(btnTemp, &QPushButton::clicked, this, &TfrmPreferences::btnTempClick);

    btnOK = placed(new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                                   QStringLiteral("OK"), this),
                   "btnOK", {219, 274, 83, 25});
    btnOK->setToolTip(QStringLiteral("keep changes"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &TfrmPreferences::btnOKClick);

    btnCancel = placed(new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                       QStringLiteral("Cancel"), this),
                       "btnCancel", {308, 274, 83, 25});
    btnCancel->setToolTip(QStringLiteral("abandon changes"));
    connect(btnCancel, &QPushButton::clicked, this, &TfrmPreferences::btnCancelClick);
}

QList<QRadioButton*> TfrmPreferences::unitButtons() const {
    return {btnUnitsUS, btnUnitsMetricBar, btnUnitsMetrickPa};
}

void TfrmPreferences::keepTabOnChosenUnits() {
    // Tab enters the Units box on the chosen button, and the arrow keys then
    // move the choice, as in a radio group of one tab stop.
    for (QRadioButton* button : unitButtons())
        button->setFocusPolicy(button->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

void TfrmPreferences::setTabStops() {
    QWidget* const chain[] = {btnUnitsUS, btnUnitsMetricBar, btnUnitsMetrickPa,
                              btnOK,      btnTemp,           btnCancel,
                              TestByMemo, cbShowExtraFlow,   eExtraPressure};
    for (size_t i = 0; i + 1 < std::size(chain); ++i)
        QWidget::setTabOrder(chain[i], chain[i + 1]);
}

void TfrmPreferences::FormCreate() {
    setFont(windowFont());
    centreOnScreen(*this);
    try {
        LoadOptions(optionsFileName());
    } catch (const FileError& error) {
        reportError(error.message());
    }
}

void TfrmPreferences::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TfrmPreferences::FormShow() {
    TestByMemo->setFocus();
}

void TfrmPreferences::LoadOptions(const QString& fileName) {
    // Without a file the controls keep their values exactly, cursor included.
    if (targetKind(fileName) == EntryKind::Missing)
        return;
    Settings loaded = settings();
    loadOptionsFile(fileName, loaded);
    setSettings(loaded);
}

void TfrmPreferences::SaveOptions(const QString& fileName) const {
    saveOptionsFile(fileName, settings());
}

void TfrmPreferences::ResetOptions() {
    TestByMemo->clear();
    btnUnitsUS->setChecked(true);
}

Settings TfrmPreferences::settings() const {
    Settings result;
    result.testedBy = textFieldLines(TestByMemo->text());
    if (btnUnitsUS->isChecked())
        result.units = UnitSystem::US;
    else if (btnUnitsMetricBar->isChecked())
        result.units = UnitSystem::MetricBar;
    else
        result.units = UnitSystem::MetricKPa;
    result.showExtraFlow = cbShowExtraFlow->isChecked();
    result.extraPressure = eExtraPressure->text();
    return result;
}

void TfrmPreferences::setSettings(const Settings& settings) {
    TestByMemo->setText(textFieldText(settings.testedBy));
    switch (settings.units) {
    case UnitSystem::US:
        btnUnitsUS->setChecked(true);
        break;
    case UnitSystem::MetricBar:
        btnUnitsMetricBar->setChecked(true);
        break;
    case UnitSystem::MetricKPa:
        btnUnitsMetrickPa->setChecked(true);
        break;
    }
    cbShowExtraFlow->setChecked(settings.showExtraFlow);
    setWholeText(*eExtraPressure, settings.extraPressure);
}

void TfrmPreferences::btnOKClick() {
    try {
        SaveOptions(optionsFileName());
    } catch (const FileError& error) {
        reportError(error.message());
    }
    done(Accepted);
}

void TfrmPreferences::btnCancelClick() {
    try {
        LoadOptions(optionsFileName());
    } catch (const FileError& error) {
        reportError(error.message());
    }
    done(Rejected);
}

void TfrmPreferences::btnTempClick() {
    done(Ignored);
}

void TfrmPreferences::reject() {
    btnCancelClick();
}

bool TfrmPreferences::eventFilter(QObject* watched, QEvent* event) {
    if (watched == eExtraPressure && event->type() == QEvent::KeyPress)
        return eExtraPressureKeyPress(static_cast<const QKeyEvent&>(*event));
    return QDialog::eventFilter(watched, event);
}

bool TfrmPreferences::eExtraPressureKeyPress(const QKeyEvent& event) const {
    return numberKeyConsumed(*eExtraPressure, event, FilterPosRealKey);
}

void TfrmPreferences::reportError(const QString& message) const {
    reporter_(message);
}
