#pragma once

#include "app/reportoutputs.h"
#include "app/userprompts.h"
#include "document/testrecord.h"
#include "hydraulics/settings.h"
#include "options/windowstate.h"
#include "report/filerenders.h"
#include "report/flowtestreport.h"
#include "report/reportsystem.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class FlowGrid;
class MemoEdit;
class QAction;
class QGroupBox;
class QLineEdit;
class QPushButton;
class RecoveryKeeper;
class ResultsWindow;
struct RecoverySnapshot;
class TAboutBox;
class TfrmPreferences;

// The main window: it holds the one open test in its fields and outlet
// grid, runs the menu's commands and keeps the Modified flag. The logic of
// each command lives in the subsystems; this class wires widgets to them.
class TFlowTest : public QMainWindow {
    Q_OBJECT
public:
    // Runs the window's creation steps; `arguments` are the command-line
    // arguments after the program name (the first names a test to open).
    // Without prompts, the real message boxes and file dialogs are used.
    explicit TFlowTest(const QStringList& arguments = {},
                       std::unique_ptr<UserPrompts> prompts = nullptr, QWidget* parent = nullptr);
    ~TFlowTest() override;

    // Test seam: questions, file dialogs and error boxes.
    UserPrompts& prompts() const { return *prompts_; }
    // The Options dialog holds the settings; until it is set, the defaults apply.
    void setPreferences(TfrmPreferences* preferences);
    // The help window, created at start-up right after the main window.
    void setAboutBox(TAboutBox* aboutBox) { aboutBox_ = aboutBox; }

    bool isModified() const { return Modified; }
    const QString& fileToOpen() const { return fileToOpen_; }

    // Snapshots for commands.
    TestRecord testRecord() const;
    Settings currentSettings() const;
    ReportSnapshot reportSnapshot() const;
    // The same without the date and time.
    ReportSnapshot resultsSnapshot() const;
    // The results window, shown or hidden by Tools, Results.
    ResultsWindow& resultsWindow() const { return *resultsWindow_; }
    // The report engine's controller, as the last command left it.
    const ReportSystem& reportSystem() const { return RvSystem; }
    // Where Print sends a report (a test gives printers of its own).
    PrinterOutput& printerOutput() { return printerOutput_; }

    // Document operations on the window's test.
    void SaveTestFile(const QString& fileName) const;
    void LoadTestFile(const QString& fileName);
    void ClearForm();
    // The commands; SaveClick tells whether the test was written.
    void NewClick();
    void OpenClick();
    bool SaveClick();
    // Asks before `fileName` is replaced; the question names it as `shownName`
    // when one is given (a name relative to the chosen folder).
    bool ConfirmOverwrite(const QString& fileName, const QString& shownName = {});
    void OptionsClick();
    void ResultsClick();
    void AddOutletClick();
    void RemoveOutletClick();
    void PrintClick();
    void PreviewClick();
    void SaveasPdf();
    void SaveAsHtmlClick();
    // The water supply analysis page, from the results window.
    void PrintAnalysisClick();
    void PreviewAnalysisClick();
    void SaveAnalysisAsPdf();
    void AboutClick();
    void SendMailClick();
    void WebSiteClick();

    // A signal ends the program (a logout, a shutdown): the test's recovery
    // is written at once and the program ends with no question.
    [[noreturn]] void endWithoutQuestions();
    // The session ends: the recovery is written, and closing asks nothing,
    // so the logout is never held up by a box.
    void commitSessionData();
    RecoveryKeeper& recovery() const { return *recovery_; }
    // The test while it has unsaved changes, for its recovery.
    std::optional<RecoverySnapshot> recoverySnapshot() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate(const QStringList& arguments);
    void FormShow();
    void createFields();
    void createActions();
    void setTabOrder();
    void putTodaysDate();
    void showTestRecord(const TestRecord& record);
    // The pressures, elevation and outlet rows of the test, without its texts.
    TestRecord numbersRecord() const;
    bool askToSaveFirst(const QString& question);
    void showError(const QString& message);
    // Runs "FlowTest" on a snapshot of the window at this moment; false
    // when it failed (the error was shown).
    bool runReport();
    bool runAnalysisReport();
    // Runs a report's output; false when it failed (the error was shown).
    bool produced(const std::function<void()>& output);
    // The shared save dialog, offering the last chosen name without its
    // folder; empty when cancelled. The name has the suffix when typed
    // without. Offered WithSuffix, a name of another kind of file gets the
    // suffix in place of its own.
    enum class OfferedName { AsChosen, WithSuffix };
    QString chooseSaveName(const QString& filter, const QString& suffix,
                           OfferedName offered = OfferedName::AsChosen);
    // The dialogs start in the folder of the file last opened or written,
    // in this run or an earlier one.
    void rememberFolderOf(const QString& fileName);
    // Claims this run's recovery file beside the state file.
    void createRecovery();
    // Offers the newest recovery of a program that ended before its test
    // was saved (of the file to open, when one is named); true when the
    // recovered test is now in the window.
    bool offerRecovery();
    // The results window: created hidden, told of every change of the test,
    // placed beside this window, its place and shown state kept in the state file.
    void createResultsWindow();
    void watchTestChanges();
    void showResultsWindow();
    void keepResultsState();
    void setFileOutput(ReportOutput& writer, const QString& fileName);

    bool Modified = false;
    // The location and notes lines as the results last read them.
    mutable std::pair<QStringList, QStringList> memoLines_;
    mutable bool memosChanged_ = true;
    bool shown_ = false;
    QString fileToOpen_;
    QString openDialogName_;         // full name of the last file opened
    QString saveDialogName_;         // last name chosen in the save dialog
    bool savedNameIsReport_ = false; // chosen by Save as pdf or Save as html
    QString lastFolder_;             // where the file dialogs start
    WindowState state_;
    QString testFileName_;       // the file the test was opened from or saved to
    bool sessionEnding_ = false; // closing asks nothing
    std::unique_ptr<RecoveryKeeper> recovery_;
    ResultsWindow* resultsWindow_ = nullptr;
    QAction* resultsAction_ = nullptr;
    bool closing_ = false;
    bool resultsPlaced_ = false; // shown once: its geometry is worth keeping
    std::unique_ptr<UserPrompts> prompts_;
    TfrmPreferences* preferences_ = nullptr;
    TAboutBox* aboutBox_ = nullptr;
    ReportSystem RvSystem;
    PrinterOutput printerOutput_;
    PreviewOutput previewOutput_{this};
    PdfRender RvRenderPDF;
    HtmlRender RvRenderHTML;

    QGroupBox* InfoBox = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QLineEdit* eDate = nullptr;
    QLineEdit* eTime = nullptr;
    MemoEdit* LocationMemo = nullptr;
    MemoEdit* NotesMemo = nullptr;
    QLineEdit* eStatic = nullptr;
    QLineEdit* eResidual = nullptr;
    QLineEdit* eReadElev = nullptr;
    FlowGrid* FlowGridWidget = nullptr;
    QPushButton* btnAddOutlet = nullptr;
    QPushButton* btnRemoveOutlet = nullptr;
};
