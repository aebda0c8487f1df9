#pragma once

#include "hydraulics/settings.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>

class MemoEdit;
class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The Options dialog. Created once at start-up and kept for the whole run:
// its controls are the only in-memory home of the user's settings, so every
// reader takes settings() at the moment it needs them.
class TfrmPreferences : public QDialog {
    Q_OBJECT

public:
    // The result of "Only This Report": keep the values for this run only.
    static constexpr int Ignored = 2;

    using ErrorReporter = std::function<void(const QString& message)>;

    // Builds the controls, then loads the options file; an error while
    // loading goes to the reporter (by default the application's error box).
    explicit TfrmPreferences(QWidget* parent = nullptr, ErrorReporter reporter = {});

    void setErrorReporter(ErrorReporter reporter);

    // Both throw FileError, which the buttons hand to the error reporter.
    void LoadOptions(const QString& fileName);
    void SaveOptions(const QString& fileName) const;
    void ResetOptions();

    Settings settings() const;
    void setSettings(const Settings& settings);

    // Closing by the title bar or Escape reloads the stored options, as Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void setTabStops();
    QList<QRadioButton*> unitButtons() const;
    void keepTabOnChosenUnits();
    void FormCreate();
    void FormShow();
    void btnOKClick();
    void btnCancelClick();
    void btnTempClick();
    // True when the key is discarded.
    bool eExtraPressureKeyPress(const QKeyEvent& event) const;
    void reportError(const QString& message) const;

    ErrorReporter reporter_;

    QLabel* Label5 = nullptr;
    MemoEdit* TestByMemo = nullptr;
    QGroupBox* UnitsBox = nullptr;
    QRadioButton* btnUnitsUS = nullptr;
    QRadioButton* btnUnitsMetricBar = nullptr;
    QRadioButton* btnUnitsMetrickPa = nullptr;
    QCheckBox* cbShowExtraFlow = nullptr;
    QLineEdit* eExtraPressure = nullptr;
    QPushButton* btnTemp = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
};
