#include "app/ostrelflow.h"

#include "app/analysisinputs.h"
#include "app/flowgrid.h"
#include "app/menuicons.h"
#include "app/recoverykeeper.h"
#include "app/resultswindow.h"
#include "app/startupfolders.h"
#include "app/userprompts.h"
#include "document/recovery.h"
#include "document/testfile.h"
#include "help/about.h"
#include "hydraulics/keyfilters.h"
#include "hydraulics/numbertext.h"
#include "options/centeroverform.h"
#include "options/optionsfile.h"
#include "options/preferences.h"
#include "report/printjobtitle.h"
#include "report/supplyanalysisreport.h"
#include "textfile/fileaccess.h"
#include "ui/appicon.h"
#include "ui/appinfo.h"
#include "ui/keypress.h"
#include "ui/textfields.h"
#include "ui/windowfont.h"
#include "ui/windowplacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

const QString testFileFilter = QStringLiteral("Ostrel Hydrant Flow Test |*.oft;*oft");
const QString testFileSuffix = QStringLiteral("oft");

// What the keyboard may type into the single-line fields.
constexpr int dateTimeLength = 20;
constexpr int pressureLength = 6;

// A number field is given the filter of the characters it takes.
QLineEdit* makeEdit(QWidget* parent, const char* name, QRect geometry, int maxLength,
                    const char* hint, CharacterFilter numberFilter = nullptr) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(geometry);
    if (numberFilter)
        makeNumberField(*edit, numberFilter, maxLength);
    else
        limitTyping(*edit, maxLength);
    edit->setToolTip(QString::fromLatin1(hint));
    return edit;
}

MemoEdit* makeMemo(QWidget* parent, const char* name, QRect geometry, const char* hint) {
    auto* memo = new MemoEdit(parent);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setGeometry(geometry);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setTabChangesFocus(true);
    memo->setToolTip(QString::fromLatin1(hint));
    return memo;
}

// A field's caption, which also names the field to screen readers.
QLabel* makeLabel(QWidget* parent, const char* text, QRect geometry, QWidget* field,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    label->setBuddy(field);
    field->setAccessibleName(label->text());
    return label;
}

const QLatin1StringView lastFolderKey("LastFolder");
const QLatin1StringView resultsShownKey("ResultsShown");
const QLatin1StringView resultsGeometryKey("ResultsGeometry");

QString withDefaultSuffix(const QString& fileName, const QString& suffix) {
    return QFileInfo(fileName).suffix().isEmpty() ? fileName + '.' + suffix : fileName;
}

// "report.pdf" offered to Save as html becomes "report.html"; a name that
// has one of the export's own extensions ("report.htm") stays.
QString withExportSuffix(const QString& fileName, const QString& suffix) {
    const QFileInfo name(fileName);
    const QString current = name.suffix().toLower();
    if (fileName.isEmpty() || current == suffix || (suffix == u"html" && current == u"htm"))
        return fileName;
    return name.completeBaseName() + '.' + suffix;
}

} // namespace

TFlowTest::TFlowTest(const QStringList& arguments, std::unique_ptr<UserPrompts> prompts,
                     QWidget* parent)
    : QMainWindow(parent),
      prompts_(prompts ? std::move(prompts) : std::make_unique<DialogPrompts>()) {
    setObjectName(QStringLiteral("FlowTest"));
    RvSystem.printer = &printerOutput_;
    RvSystem.preview = &previewOutput_;
    previewOutput_.setErrorReporter([this](const QString& message) { showError(message); });
    createFields();
    createResultsWindow();
    createActions();
    setTabOrder();
    FormCreate(arguments);
    createRecovery();
    watchTestChanges();
}

TFlowTest::~TFlowTest() = default;

void TFlowTest::setPreferences(TfrmPreferences* preferences) {
    preferences_ = preferences;
    if (preferences_) {
        preferences_->setErrorReporter([this](const QString& message) { showError(message); });
        if (shown_)
            FlowGridWidget->SetGridHeaders(currentSettings().units);
    }
}

Settings TFlowTest::currentSettings() const {
    return preferences_ ? preferences_->settings() : Settings{};
}

void TFlowTest::createFields() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(439, 466);
    setCentralWidget(client);

    InfoBox = new QGroupBox(QStringLiteral("General Information"), client);
    InfoBox->setObjectName(QStringLiteral("InfoBox"));
    InfoBox->setGeometry(0, 0, 437, 249);
    eDate = makeEdit(InfoBox, "eDate", {6, 48, 152, 23}, dateTimeLength, "date of flow test");
    makeLabel(InfoBox, "Date", {6, 28, 100, 18}, eDate);
    eTime = makeEdit(InfoBox, "eTime", {6, 106, 152, 23}, dateTimeLength, "time of flow test");
    makeLabel(InfoBox, "Time", {6, 84, 100, 18}, eTime);
    LocationMemo = makeMemo(InfoBox, "LocationMemo", {192, 48, 233, 81}, "address of flow test");
    makeLabel(InfoBox, "Location", {192, 28, 100, 18}, LocationMemo);
    NotesMemo = makeMemo(InfoBox, "NotesMemo", {6, 157, 419, 81},
                         "witness and ahj information, conditions, etc.");
    makeLabel(InfoBox, "Notes", {6, 135, 100, 18}, NotesMemo);

    GroupBox1 = new QGroupBox(QStringLiteral("Read Hydrant"), client);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(0, 255, 437, 58);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    eStatic = makeEdit(GroupBox1, "eStatic", {77, 24, 45, 23}, pressureLength,
                       "measured static pressure", FilterPosRealKey);
    makeLabel(GroupBox1, "*Static P", {4, 24, 69, 23}, eStatic, right);
    eResidual = makeEdit(GroupBox1, "eResidual", {226, 24, 45, 23}, pressureLength,
                         "measured residual pressure", FilterPosRealKey);
    makeLabel(GroupBox1, "*Residual P", {130, 24, 92, 23}, eResidual, right);
    eReadElev = makeEdit(GroupBox1, "eReadElev", {366, 24, 45, 23}, pressureLength,
                         "elevation of pressure gauge", FilterRealKey);
    makeLabel(GroupBox1, "Elevation", {278, 24, 84, 23}, eReadElev, right);

    GroupBox3 = new QGroupBox(QStringLiteral("Flow Hydrant(s)"), client);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    GroupBox3->setGeometry(0, 319, 437, 147);
    btnAddOutlet = new QPushButton(QStringLiteral("+ &Add Outlet"), GroupBox3);
    btnAddOutlet->setObjectName(QStringLiteral("btnAddOutlet"));
    btnAddOutlet->setGeometry(200, 16, 105, 25);
    btnAddOutlet->setToolTip(QStringLiteral("add additional flowing outlet to report"));
    btnRemoveOutlet = new QPushButton(QStringLiteral("- &Remove Outlet"), GroupBox3);
    btnRemoveOutlet->setObjectName(QStringLiteral("btnRemoveOutlet"));
    btnRemoveOutlet->setGeometry(320, 16, 105, 25);
    btnRemoveOutlet->setToolTip(QStringLiteral("remove last outlet"));
    FlowGridWidget = new FlowGrid(GroupBox3);
    FlowGridWidget->setAccessibleName(GroupBox3->title());
    FlowGridWidget->setGeometry(2, 49, 433, 96);
    FlowGridWidget->setUnitsSource([this] { return currentSettings().units; });
    FlowGridWidget->setTabNeighbours(eReadElev, btnAddOutlet);

    connect(btnAddOutlet, &QPushButton::clicked, this, &TFlowTest::AddOutletClick);
    connect(btnRemoveOutlet, &QPushButton::clicked, this, &TFlowTest::RemoveOutletClick);
    // A key that types a character modifies the test, and so does every
    // change the user or the grid's filling makes by other means.
    const auto setModified = [this] { Modified = true; };
    connect(FlowGridWidget, &FlowGrid::characterTyped, this, setModified);
    connect(FlowGridWidget, &FlowGrid::cellsChanged, this, setModified);
    for (MemoEdit* memo : {LocationMemo, NotesMemo}) {
        memo->installEventFilter(this);
        connect(memo, &MemoEdit::edited, this, setModified);
    }
    for (QLineEdit* edit : {eDate, eTime, eStatic, eResidual, eReadElev}) {
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, setModified);
    }
}

void TFlowTest::createActions() {
    const QStyle& look = *style();
    const auto add = [&](QMenu* menu, const char* name, const char* caption, int picture,
                         const char* hint, QKeySequence shortcut = {}) {
        QAction* action = menu->addAction(menuIcon(picture, look), QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        action->setStatusTip(QString::fromLatin1(hint));
        action->setToolTip(QString::fromLatin1(hint));
        return action;
    };

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    connect(add(file, "New1", "&New", 5, "clear entries for new report",
                QKeySequence(Qt::CTRL | Qt::Key_N)),
            &QAction::triggered, this, &TFlowTest::NewClick);
    connect(add(file, "Open1", "&Open...", 0, "open previously saved report file",
                QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, &TFlowTest::OpenClick);
    connect(add(file, "Save1", "&Save", 1, "save the report", QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, [this] { SaveClick(); });
    file->addSeparator();
    connect(add(file, "Print1", "&Print...", 2, "print the flow report",
                QKeySequence(Qt::CTRL | Qt::Key_P)),
            &QAction::triggered, this, &TFlowTest::PrintClick);
    connect(add(file, "PrintSetup1", "Print Pre&view", 3, "preview the flow report",
                QKeySequence(Qt::Key_F5)),
            &QAction::triggered, this, &TFlowTest::PreviewClick);
    file->addSeparator();
    connect(add(file, "Exit1", "E&xit", 4, "close Hydrant Flow Test"), &QAction::triggered, this,
            &QWidget::close);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("ools1"));
    connect(add(tools, "Saveaspdf1", "Save as &pdf", 1, "save report as a pdf file"),
            &QAction::triggered, this, &TFlowTest::SaveasPdf);
    connect(add(tools, "Saveashtml1", "Save as &html", 1, "save report as an html file"),
            &QAction::triggered, this, &TFlowTest::SaveAsHtmlClick);
    tools->addSeparator();
    connect(add(tools, "N3", "&Options", 6, "change units and testing information"),
            &QAction::triggered, this, &TFlowTest::OptionsClick);
    resultsAction_ = tools->addAction(QStringLiteral("&Results"));
    resultsAction_->setObjectName(QStringLiteral("Results1"));
    resultsAction_->setShortcut(QKeySequence(Qt::Key_F6));
    resultsAction_->setStatusTip(QStringLiteral("show the flow test results as you type"));
    resultsAction_->setToolTip(resultsAction_->statusTip());
    resultsAction_->setCheckable(true);
    connect(resultsAction_, &QAction::triggered, this, &TFlowTest::ResultsClick);
    resultsWindow_->addAction(resultsAction_); // F6 hides it from there too

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    connect(add(help, "About1", "&About", 7, ""), &QAction::triggered, this,
            &TFlowTest::AboutClick);
    help->addSeparator();
    connect(add(help, "SupportMail1", qPrintable('&' + QString::fromLatin1(AppInfo::supportMail)),
                8, ""),
            &QAction::triggered, this, &TFlowTest::SendMailClick);
    connect(add(help, "WebSite1", qPrintable('&' + QString::fromLatin1(AppInfo::webHost)), 9,
                "visit us on the web"),
            &QAction::triggered, this, &TFlowTest::WebSiteClick);
}

void TFlowTest::setTabOrder() {
    const QList<QWidget*> order = {eDate,        eTime,          LocationMemo, NotesMemo,
                                   eStatic,      eResidual,      eReadElev,    FlowGridWidget,
                                   btnAddOutlet, btnRemoveOutlet};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void TFlowTest::FormCreate(const QStringList& arguments) {
    Modified = false;
    setWindowTitle(QString::fromLatin1(AppInfo::mainCaption));
    setWindowIcon(appIcon());
    setFont(windowFont());
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // A folder that cannot be made is reported; start-up goes on, since the
    // test itself does not need it.
    if (const auto error = createMissingFolders(optionsFolders()))
        showError(*error);
    putTodaysDate();
    state_ = WindowState::load(WindowState::defaultFileName());
    if (const QString folder = state_.value(lastFolderKey); QFileInfo(folder).isDir())
        lastFolder_ = folder;
    adjustSize();
    centreOnScreen(*this);
    if (!arguments.isEmpty())
        fileToOpen_ = arguments.constFirst();
}

void TFlowTest::putTodaysDate() {
    setWholeText(*eDate, QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
}

void TFlowTest::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TFlowTest::FormShow() {
    FlowGridWidget->setUp(currentSettings().units);
    if (!offerRecovery() && !fileToOpen_.isEmpty())
        LoadTestFile(fileToOpen_);
    if (state_.value(resultsShownKey) == u"T")
        showResultsWindow();
}

void TFlowTest::createResultsWindow() {
    resultsWindow_ = new ResultsWindow(this, [this] { return resultsSnapshot(); });
    connect(resultsWindow_, &ResultsWindow::analysisPrintRequested, this,
            &TFlowTest::PrintAnalysisClick);
    connect(resultsWindow_, &ResultsWindow::analysisPreviewRequested, this,
            &TFlowTest::PreviewAnalysisClick);
    connect(resultsWindow_, &ResultsWindow::analysisPdfRequested, this,
            &TFlowTest::SaveAnalysisAsPdf);
    connect(resultsWindow_, &ResultsWindow::shownChanged, this, [this](bool shown) {
        resultsAction_->setChecked(shown);
        if (!closing_)
            keepResultsState();
    });
}

void TFlowTest::watchTestChanges() {
    ResultsWindow* results = resultsWindow_;
    RecoveryKeeper* recovery = recovery_.get();
    const auto changed = [results, recovery] {
        results->testChanged();
        recovery->testChanged();
    };
    for (QLineEdit* edit : {eDate, eTime, eStatic, eResidual, eReadElev})
        connect(edit, &QLineEdit::textChanged, results, changed);
    for (MemoEdit* memo : {LocationMemo, NotesMemo})
        connect(memo, &QPlainTextEdit::textChanged, results, [this, changed] {
            memosChanged_ = true;
            changed();
        });
    // The analysis is part of the test, typed in the results window.
    connect(&results->analysisInputs(), &AnalysisInputs::edited, this, [this, changed] {
        Modified = true;
        changed();
    });
    const OutletTableModel* outlets = &FlowGridWidget->outlets();
    connect(outlets, &QAbstractItemModel::dataChanged, results, changed);
    connect(outlets, &QAbstractItemModel::rowsInserted, results, changed);
    connect(outlets, &QAbstractItemModel::rowsRemoved, results, changed);
    connect(outlets, &QAbstractItemModel::modelReset, results, changed);
}

void TFlowTest::ResultsClick() {
    if (resultsWindow_->isVisible())
        resultsWindow_->hide();
    else
        showResultsWindow();
}

void TFlowTest::showResultsWindow() {
    const QByteArray geometry = QByteArray::fromBase64(state_.value(resultsGeometryKey).toLatin1());
    if (geometry.isEmpty() || !resultsWindow_->restoreGeometry(geometry)) {
        const QRect place =
            placeBeside(frameGeometry(), resultsWindow_->size(), screen()->availableGeometry());
        resultsWindow_->move(place.topLeft());
    }
    resultsPlaced_ = true;
    resultsWindow_->show();
    resultsWindow_->raise();
}

void TFlowTest::keepResultsState() {
    state_.setValue(resultsShownKey,
                    resultsWindow_->isVisible() ? QStringLiteral("T") : QStringLiteral("F"));
    if (resultsPlaced_)
        state_.setValue(resultsGeometryKey,
                        QString::fromLatin1(resultsWindow_->saveGeometry().toBase64()));
    state_.save(WindowState::defaultFileName());
}

void TFlowTest::closeEvent(QCloseEvent* event) {
    // At the end of the session, nothing may hold up the logout: the test
    // stays in its recovery for the next start.
    if (sessionEnding_) {
        recovery_->writeNow();
    } else if (askToSaveFirst(QStringLiteral("Save current file before closing?"))) {
        recovery_->discard();
    } else {
        event->ignore();
        return;
    }
    // The results window's place and shown state, as the user left them.
    keepResultsState();
    closing_ = true;
    event->accept();
}

void TFlowTest::endWithoutQuestions() {
    recovery_->writeNow();
    std::fflush(nullptr);
    // Synced: nothing else of the run needs to outlive it, and no window,
    // not even a modal question open now, may hold up the end.
    std::_Exit(0);
}

void TFlowTest::commitSessionData() {
    recovery_->writeNow();
    sessionEnding_ = true;
}

void TFlowTest::createRecovery() {
    std::unique_ptr<RecoveryFile> file;
    QString problem;
    try {
        file =
            std::make_unique<RecoveryFile>(RecoveryLock::claimNew(WindowState::recoveryFolder()));
    } catch (const FileError& error) {
        problem = recoveryProblem(error.reason().isEmpty() ? error.message() : error.reason());
    }
    recovery_ = std::make_unique<RecoveryKeeper>(
        std::move(file), [this] { return recoverySnapshot(); }, problem);
    connect(recovery_.get(), &RecoveryKeeper::problemChanged, resultsWindow_,
            &ResultsWindow::setRecoveryProblem);
    resultsWindow_->setRecoveryProblem(recovery_->problem());
}

std::optional<RecoverySnapshot> TFlowTest::recoverySnapshot() const {
    if (!Modified)
        return std::nullopt;
    // The memos as last read, so a long text is not read again on every edit.
    TestRecord record = resultsSnapshot().test;
    record.date = eDate->text();
    record.time = eTime->text();
    return RecoverySnapshot{record, testFileName_};
}

bool TFlowTest::offerRecovery() {
    RecoveryScan scan = scanRecoveries(WindowState::recoveryFolder());
    for (const UnreadableRecovery& unreadable : scan.unreadable)
        showError(
            QStringLiteral("The recovery file \"%1\" cannot be read. %2 It was kept as \"%3\".")
                .arg(unreadable.fileName, unreadable.reason, unreadable.keptAs));
    // With a file named, only its own recovery is offered, in its place.
    const QString named =
        fileToOpen_.isEmpty() ? QString() : QFileInfo(fileToOpen_).absoluteFilePath();
    const auto found = std::find_if(scan.found.begin(), scan.found.end(), [&](const auto& each) {
        return named.isEmpty() || QFileInfo(each.content.belongsTo).absoluteFilePath() == named;
    });
    if (found == scan.found.end())
        return false;
    const RecoveryContent& content = found->content;
    const QString test =
        content.belongsTo.isEmpty()
            ? QStringLiteral("a new test")
            : QStringLiteral("the test \"%1\"").arg(QFileInfo(content.belongsTo).fileName());
    const QString question =
        QStringLiteral("The program ended before %1 was saved. Its last changes from %2 can be "
                       "recovered. Recover them?")
            .arg(test, QLocale().toString(content.written.toLocalTime(), QLocale::ShortFormat));
    switch (prompts_->askSaveFirst(this, question)) {
    case Answer::Yes:
        break;
    case Answer::No:
        RecoveryFile(std::move(found->lock)).remove();
        return false;
    case Answer::Cancel:
        return false; // kept for a later start
    }
    TestRecord record = parseTestFile(content.testBytes);
    record.outlets = windowOutletRows(record);
    showTestRecord(record);
    Modified = true;
    testFileName_ = content.belongsTo;
    if (!testFileName_.isEmpty()) {
        // Save offers the file it belongs to, and asks before replacing it.
        saveDialogName_ = testFileName_;
        savedNameIsReport_ = false;
        rememberFolderOf(testFileName_);
    }
    recovery_->adopt(std::make_unique<RecoveryFile>(std::move(found->lock)));
    return true;
}

bool TFlowTest::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    const std::optional<QChar> typed = typedCharacter(static_cast<QKeyEvent&>(*event));
    if (!typed)
        return false;
    Modified = true;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (watched == eStatic || watched == eResidual)
        return numberKeyConsumed(*static_cast<QLineEdit*>(watched), key, FilterPosRealKey);
    if (watched == eReadElev)
        return numberKeyConsumed(*eReadElev, key, FilterRealKey);
    return false;
}

void TFlowTest::AddOutletClick() {
    FlowGridWidget->addOutlet();
    Modified = true;
}

void TFlowTest::RemoveOutletClick() {
    if (FlowGridWidget->removeLastOutlet())
        Modified = true;
}

void TFlowTest::OptionsClick() {
    if (preferences_) {
        CenterOverForm(*preferences_, *this);
        preferences_->exec();
    }
    FlowGridWidget->SetGridHeaders(currentSettings().units);
    resultsWindow_->testChanged();
}

TestRecord TFlowTest::testRecord() const {
    TestRecord record = numbersRecord();
    record.date = eDate->text();
    record.time = eTime->text();
    record.location = textFieldLines(LocationMemo->text());
    record.notes = textFieldLines(NotesMemo->text());
    return record;
}

TestRecord TFlowTest::numbersRecord() const {
    TestRecord numbers;
    numbers.staticPressure = eStatic->text();
    numbers.residualPressure = eResidual->text();
    numbers.readElev = eReadElev->text();
    numbers.outlets = FlowGridWidget->outlets().outlets(); // shared, not copied
    resultsWindow_->analysisInputs().fillInto(numbers);
    return numbers;
}

void TFlowTest::showTestRecord(const TestRecord& record) {
    setWholeText(*eDate, record.date);
    setWholeText(*eTime, record.time);
    LocationMemo->setText(textFieldText(record.location));
    NotesMemo->setText(textFieldText(record.notes));
    setWholeText(*eStatic, record.staticPressure);
    setWholeText(*eResidual, record.residualPressure);
    setWholeText(*eReadElev, record.readElev);
    FlowGridWidget->setOutletRows(record.outlets);
    resultsWindow_->analysisInputs().setInputs(record);
}

void TFlowTest::ClearForm() {
    showTestRecord(clearedTestRecord(testRecord()));
    Modified = false;
    testFileName_.clear();
    recovery_->discard();
}

void TFlowTest::SaveTestFile(const QString& fileName) const {
    writeTestFile(fileName, testRecord());
}

void TFlowTest::LoadTestFile(const QString& fileName) {
    // A name that is not a regular file (none at all, a folder, a device or
    // a FIFO) is ignored.
    if (!isRegularFile(fileName))
        return;
    std::optional<TestRecord> record;
    try {
        // Read completely first: a file that cannot be read leaves the test as it is.
        record = readTestFile(fileName);
    } catch (const FileError& error) {
        showError(error.message());
        return;
    }
    if (!record)
        return;
    ClearForm();
    rememberFolderOf(fileName);
    const bool hadNoOutlet = record->outlets.isEmpty();
    record->outlets = windowOutletRows(*record);
    showTestRecord(*record);
    testFileName_ = QFileInfo(fileName).absoluteFilePath();
    // The outlet the window adds to a file without any counts as a change.
    if (hadNoOutlet)
        Modified = true;
}

bool TFlowTest::askToSaveFirst(const QString& question) {
    // True when the command may go on: nothing to save, No, or saved. A
    // cancelled question, or a Yes whose save did not happen, keeps the test.
    if (!Modified)
        return true;
    switch (prompts_->askSaveFirst(this, question)) {
    case Answer::Yes:
        return SaveClick();
    case Answer::No:
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

void TFlowTest::NewClick() {
    if (!askToSaveFirst(QStringLiteral("Save current file before clearing form?")))
        return;
    ClearForm();
    putTodaysDate();
}

void TFlowTest::OpenClick() {
    if (!askToSaveFirst(QStringLiteral("Save current file before overwritting?")))
        return;
    // The last name chosen here is offered where the dialog starts.
    const bool offered =
        lastFolder_.isEmpty() || QFileInfo(openDialogName_).absolutePath() == lastFolder_;
    const QString chosen = prompts_->chooseFileToOpen(
        this, {testFileFilter, testFileSuffix, offered ? openDialogName_ : QString(), lastFolder_});
    if (chosen.isEmpty())
        return;
    openDialogName_ = chosen;
    LoadTestFile(chosen);
}

QString TFlowTest::chooseSaveName(const QString& filter, const QString& suffix,
                                  OfferedName offered) {
    saveDialogName_ = QFileInfo(saveDialogName_).fileName();
    if (offered == OfferedName::WithSuffix)
        saveDialogName_ = withExportSuffix(saveDialogName_, suffix);
    const QString chosen =
        prompts_->chooseFileToSave(this, {filter, suffix, saveDialogName_, lastFolder_});
    if (chosen.isEmpty())
        return {};
    saveDialogName_ = withDefaultSuffix(chosen, suffix);
    savedNameIsReport_ = suffix != testFileSuffix;
    return saveDialogName_;
}

bool TFlowTest::SaveClick() {
    // A test saved under a report's name would be taken for the report and
    // no longer open by a double-click: after an export, Save offers the
    // exported name as a test file. A test saved under its own extension
    // keeps it.
    const QString chosen =
        chooseSaveName(testFileFilter, testFileSuffix,
                       savedNameIsReport_ ? OfferedName::WithSuffix : OfferedName::AsChosen);
    if (chosen.isEmpty())
        return false;
    if (!ConfirmOverwrite(chosen))
        return false;
    try {
        SaveTestFile(chosen);
    } catch (const FileError& error) {
        showError(error.message());
        return false;
    }
    Modified = false;
    testFileName_ = QFileInfo(chosen).absoluteFilePath();
    recovery_->discard();
    rememberFolderOf(chosen);
    return true;
}

void TFlowTest::rememberFolderOf(const QString& fileName) {
    const QString folder = QFileInfo(fileName).absolutePath();
    if (folder == lastFolder_)
        return;
    lastFolder_ = folder;
    state_.setValue(lastFolderKey, folder);
    // Only a convenience: a state that cannot be written is not worth a message.
    state_.save(WindowState::defaultFileName());
}

bool TFlowTest::ConfirmOverwrite(const QString& fileName, const QString& shownName) {
    if (targetKind(fileName) == EntryKind::Missing)
        return true;
    return prompts_->askYesNo(this, QStringLiteral("Overwrite the existing file \"%1\"?")
                                        .arg(shownName.isEmpty() ? fileName : shownName));
}

ReportSnapshot TFlowTest::reportSnapshot() const {
    return {testRecord(), currentSettings(), localeDecimalSeparator()};
}

ReportSnapshot TFlowTest::resultsSnapshot() const {
    // Taken on every edit: the numbers, and the memos (which may be long)
    // read again only after they changed.
    ReportSnapshot snapshot{numbersRecord(), currentSettings(), localeDecimalSeparator()};
    if (memosChanged_) {
        memoLines_ = {textFieldLines(LocationMemo->text()), textFieldLines(NotesMemo->text())};
        memosChanged_ = false;
    }
    snapshot.test.location = memoLines_.first;
    snapshot.test.notes = memoLines_.second;
    return snapshot;
}

bool TFlowTest::runReport() {
    const ReportSnapshot snapshot = reportSnapshot();
    // Printed from the preview or at once, each job names its test, and so
    // does the title of a PDF or web page.
    RvSystem.printJobTitle = printJobTitle(snapshot.test);
    const FlowTestViews views(snapshot);
    // The preview is its own window; the other outputs show their progress.
    std::unique_ptr<ReportStatusWindow> status;
    if (RvSystem.destination != ReportDestination::Preview) {
        status = std::make_unique<ReportStatusWindow>(this, RvSystem.statusTitle);
        RvSystem.onStatus = [&status](const QString& line) { status->show(line); };
    }
    const bool done = produced(
        [&] { RvSystem.execute(flowTestProject(), flowTestReportName, views.connections()); });
    status.reset();
    RvSystem.onStatus = nullptr;
    return done;
}

bool TFlowTest::produced(const std::function<void()>& output) {
    try {
        output();
    } catch (const UserError& error) {
        showError(error.message());
        return false;
    }
    return true;
}

bool TFlowTest::runAnalysisReport() {
    const ReportSnapshot snapshot = reportSnapshot();
    RvSystem.printJobTitle = analysisJobTitle(snapshot.test);
    return produced([&] { RvSystem.produce(composeSupplyAnalysisReport(snapshot)); });
}

void TFlowTest::PrintAnalysisClick() {
    RvSystem.destination = ReportDestination::Printer;
    runAnalysisReport();
}

void TFlowTest::PreviewAnalysisClick() {
    const QSize screenSize = screen()->size();
    RvSystem.previewState = Qt::WindowNoState;
    RvSystem.previewSize = QSize(qMin(screenSize.width(), 635), qMin(screenSize.height(), 900));
    RvSystem.previewZoomPercent = 75;
    RvSystem.destination = ReportDestination::Preview;
    runAnalysisReport();
}

void TFlowTest::SaveAnalysisAsPdf() {
    // "oak.oft" offers "oak-analysis.pdf": beside the test's report, not over it.
    QString offered =
        QFileInfo(withExportSuffix(QFileInfo(saveDialogName_).fileName(), QStringLiteral("pdf")))
            .completeBaseName();
    if (!offered.isEmpty() && !offered.endsWith(QLatin1String("-analysis")))
        offered += QStringLiteral("-analysis");
    const QString chosen = prompts_->chooseFileToSave(
        this, {QStringLiteral("pdf files (*.pdf)|*.pdf"), QStringLiteral("pdf"),
               offered.isEmpty() ? QString() : offered + QStringLiteral(".pdf"), lastFolder_});
    if (chosen.isEmpty())
        return;
    const QString fileName = withDefaultSuffix(chosen, QStringLiteral("pdf"));
    setFileOutput(RvRenderPDF, fileName);
    if (ConfirmOverwrite(fileName) && runAnalysisReport())
        rememberFolderOf(fileName);
}

void TFlowTest::PrintClick() {
    RvSystem.destination = ReportDestination::Printer;
    runReport();
}

void TFlowTest::PreviewClick() {
    const QSize screenSize = screen()->size();
    RvSystem.previewState = Qt::WindowNoState;
    RvSystem.previewSize = QSize(qMin(screenSize.width(), 635), qMin(screenSize.height(), 900));
    RvSystem.previewZoomPercent = 75;
    RvSystem.destination = ReportDestination::Preview;
    runReport();
}

void TFlowTest::setFileOutput(ReportOutput& writer, const QString& fileName) {
    RvSystem.destination = ReportDestination::File;
    RvSystem.writer = &writer;
    RvSystem.outputFileName = fileName;
}

void TFlowTest::SaveasPdf() {
    const QString chosen = chooseSaveName(QStringLiteral("pdf files (*.pdf)|*.pdf"),
                                          QStringLiteral("pdf"), OfferedName::WithSuffix);
    if (chosen.isEmpty())
        return;
    setFileOutput(RvRenderPDF, chosen);
    if (ConfirmOverwrite(chosen) && runReport())
        rememberFolderOf(chosen);
}

void TFlowTest::SaveAsHtmlClick() {
    // Names are resolved against the chosen folder; the process's working
    // folder is never changed.
    const QString chosen = chooseSaveName(QStringLiteral("Web Page (HTML)|*.html;*.htm"),
                                          QStringLiteral("html"), OfferedName::WithSuffix);
    if (chosen.isEmpty())
        return;
    const QDir folder = QFileInfo(chosen).absoluteDir();
    const HtmlName name = splitHtmlName(chosen);
    // The picture folder is made first, and stays when the overwrite is declined.
    try {
        makeFolder(folder.filePath(name.base));
    } catch (const FileError& error) {
        showError(error.message());
        return;
    }
    setFileOutput(RvRenderHTML, folder.filePath(name.base + name.extension));
    const QString firstPage = name.base + QLatin1Char('1') + name.extension;
    if (ConfirmOverwrite(folder.filePath(firstPage), firstPage) && runReport())
        rememberFolderOf(chosen);
}

void TFlowTest::AboutClick() {
    if (aboutBox_)
        aboutBox_->exec();
}

void TFlowTest::SendMailClick() {
    prompts_->openAddress(QStringLiteral("mailto:") + QString::fromLatin1(AppInfo::supportMail) +
                          QStringLiteral("?subject=Hydrant Flow Test"));
}

void TFlowTest::WebSiteClick() {
    prompts_->openAddress(QString::fromLatin1(AppInfo::webAddress));
}

void TFlowTest::showError(const QString& message) {
    prompts_->showError(this, message);
}
