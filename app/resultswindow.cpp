#include "app/resultswindow.h"

#include "app/analysisinputs.h"
#include "graph/analysisgraph.h"

#include "hydraulics/numbertext.h"
#include "ui/windowfont.h"

#include <QAccessibleWidget>
#include <QClipboard>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Room for the pressure unit left of the graph and the flow unit below it.
constexpr int unitMargin = 44;
constexpr int flowUnitHeight = 22;
// At most one refresh in this time while the user types on.
constexpr int refreshIntervalMs = 50;

int pictureHeight(int pictureWidth) {
    return pictureWidth * FlowGraphHeight / FlowGraphWidth;
}

// Screen readers announce every change of a name: only a new one is set.
void setSpoken(QWidget& widget, const QString& name, const QString& description = {}) {
    if (widget.accessibleName() != name)
        widget.setAccessibleName(name);
    if (widget.accessibleDescription() != description)
        widget.setAccessibleDescription(description);
}

QString spokenValue(const QString& text) {
    return text.isEmpty() ? QStringLiteral("none") : text;
}

// A result reads as one object, caption and value: "Total flow: 1879 gpm".
void nameByCaption(QLabel& value, const QLabel& caption, const QString& text) {
    setSpoken(value, caption.text() + QLatin1Char(' ') + spokenValue(text));
}

// The graph in words: its supply line through the test's two points, its
// note and the ranges of its axes.
QString graphDescription(const TestResults& results, QChar separator) {
    const FlowGraphModel& graph = *results.graph;
    const UnitTexts& units = results.units;
    const auto pressure = [&](double value) {
        return formatGeneral(value, separator) + QLatin1Char(' ') + units.pressure;
    };
    QStringList parts{QStringLiteral("Supply line from %1 at no flow through %2 at %3")
                          .arg(pressure(graph.StaticPressure), pressure(graph.ResidualPressure),
                               results.totalText)};
    if (!graph.NoteText.isEmpty())
        parts.append(graph.NoteText);
    parts.append(QStringLiteral("flow axis %1 to %2 %3, pressure axis %4 to %5 %6")
                     .arg(graph.flowLabels.constFirst(), graph.flowLabels.constLast(), units.flow,
                          graph.pressureLabels.constFirst(), graph.pressureLabels.constLast(),
                          units.pressure));
    return parts.join(QStringLiteral("; "));
}

// Screen readers meet the results window as a window, not as a filler, and
// the graph as a picture. What this returns is owned by Qt's accessibility
// cache.
QAccessibleInterface* accessibleOfResults(const QString& className, QObject* object) {
    if (className == u"ResultsWindow")
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    if (className == u"ResultsGraph")
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
    return nullptr;
}

void installAccessibleRoles() {
    static const bool installed = (QAccessible::installFactory(accessibleOfResults), true);
    Q_UNUSED(installed)
}

} // namespace

ResultsGraph::ResultsGraph(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ResultsGraph"));
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setMinimumSize(240, heightForWidth(240));
}

void ResultsGraph::setGraph(FlowGraphPicture picture, bool drawn, const QString& pressureUnit,
                            const QString& flowUnit) {
    picture_ = std::move(picture);
    drawn_ = drawn;
    pressureUnit_ = pressureUnit;
    flowUnit_ = flowUnit;
    update();
}

int ResultsGraph::heightForWidth(int width) const {
    return pictureHeight(qMax(0, width - unitMargin)) + flowUnitHeight;
}

QSize ResultsGraph::sizeHint() const {
    return {FlowGraphWidth + unitMargin, heightForWidth(FlowGraphWidth + unitMargin)};
}

void ResultsGraph::paintGraph(QPainter& painter, const QRect& area) const {
    painter.fillRect(area, Qt::white);
    if (!drawn_)
        return;
    const int pictureWidth = area.width() - unitMargin;
    const QRectF target(area.left() + unitMargin, area.top(), pictureWidth,
                        pictureHeight(pictureWidth));
    picture_.replay(painter, target);
    painter.setPen(Qt::black);
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(QRectF(area.left(), target.top(), unitMargin - 4, target.height()),
                     Qt::AlignRight | Qt::AlignVCenter, pressureUnit_);
    painter.drawText(QRectF(target.left(), target.bottom(), target.width(), flowUnitHeight),
                     Qt::AlignCenter, flowUnit_);
}

void ResultsGraph::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const int height = qMin(this->height(), heightForWidth(width()));
    paintGraph(painter, QRect(0, 0, width(), height));
}

QImage ResultsGraph::image(int scale) const {
    const QSize natural = sizeHint();
    QImage picture(natural * scale, QImage::Format_RGB32);
    picture.setDevicePixelRatio(scale);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintGraph(painter, QRect(QPoint(0, 0), natural));
    return picture;
}

ResultsWindow::ResultsWindow(QWidget* owner, SnapshotSource source)
    : QWidget(owner, Qt::Tool), source_(std::move(source)) {
    installAccessibleRoles();
    setObjectName(QStringLiteral("ResultsWindow"));
    setWindowTitle(QStringLiteral("Flow Test Results"));
    // Typing goes on in the main window when the results appear.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFont(windowFont());
    createControls();
    pending_.setSingleShot(true);
    connect(&pending_, &QTimer::timeout, this, &ResultsWindow::refresh);
    // Narrow enough to stand beside the main window on a laptop screen.
    constexpr int startWidth = 400;
    // Tall enough for the results without scrolling, when the screen allows.
    const int contentHeight = content_->layout()->heightForWidth(startWidth);
    resize(startWidth, qMax(contentHeight + 2 * layout()->spacing() + 40, sizeHint().height() / 2));
}

void ResultsWindow::createControls() {
    auto* values = new QFormLayout;
    values->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    const auto addValue = [this, values](const QString& caption, const char* name) {
        auto* value = new QLabel(this);
        value->setObjectName(QString::fromLatin1(name));
        auto* label = new QLabel(caption, this);
        label->setBuddy(value);
        values->addRow(label, value);
        return std::pair{label, value};
    };
    std::tie(totalCaption_, total_) = addValue(QStringLiteral("Total flow:"), "total");
    std::tie(chosenCaption_, chosen_) =
        addValue(QStringLiteral("Flow at the chosen pressure:"), "chosen");
    std::tie(ratedCaption_, rated_) = addValue(QStringLiteral("Flow at 20 psi:"), "rated");

    swatch_ = new QLabel(this);
    swatch_->setObjectName(QStringLiteral("swatch"));
    swatch_->setFixedSize(28, 16);
    nfpaClass_ = new QLabel(this);
    nfpaClass_->setObjectName(QStringLiteral("nfpaClass"));
    auto* classRow = new QHBoxLayout;
    classRow->addWidget(swatch_);
    classRow->addWidget(nfpaClass_, 1);
    classCaption_ = new QLabel(QStringLiteral("NFPA 291 class:"), this);
    classCaption_->setBuddy(nfpaClass_);
    values->addRow(classCaption_, classRow);
    std::tie(dropCaption_, drop_) = addValue(QStringLiteral("Residual drop:"), "drop");

    messages_ = new QLabel(this);
    messages_->setObjectName(QStringLiteral("messages"));
    messages_->setWordWrap(true);
    messages_->setTextFormat(Qt::PlainText);

    graph_ = new ResultsGraph(this);

    auto* copy = new QPushButton(QStringLiteral("&Copy"), this);
    copy->setObjectName(QStringLiteral("btnCopy"));
    copy->setToolTip(QStringLiteral("copy the results as text lines (Ctrl+C)"));
    connect(copy, &QPushButton::clicked, this, &ResultsWindow::copyResults);
    auto* copyGraph = new QPushButton(QStringLiteral("Copy &Graph"), this);
    copyGraph->setObjectName(QStringLiteral("btnCopyGraph"));
    copyGraph->setToolTip(QStringLiteral("copy the flow graph as a picture"));
    connect(copyGraph, &QPushButton::clicked, this, &ResultsWindow::copyGraph);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addWidget(copyGraph);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* analysisHeading = new QLabel(QStringLiteral("Water Supply Analysis"), this);
    QFont bold = analysisHeading->font();
    bold.setBold(true);
    analysisHeading->setFont(bold);
    analysis_ = new AnalysisInputs(this);
    auto* analysisCommands = new QHBoxLayout;
    const auto addCommand = [&](const char* name, const char* text, const char* hint,
                                void (ResultsWindow::*request)()) {
        auto* button = new QPushButton(QString::fromUtf8(text), this);
        button->setObjectName(QString::fromLatin1(name));
        button->setToolTip(QString::fromLatin1(hint));
        button->setEnabled(false);
        connect(button, &QPushButton::clicked, this, request);
        analysisCommands->addWidget(button);
        analysisButtons_.append(button);
    };
    addCommand("btnPrintAnalysis", "&Print Analysis\u2026", "print the water supply analysis page",
               &ResultsWindow::analysisPrintRequested);
    addCommand("btnPreviewAnalysis", "Pre&view", "show the water supply analysis page first",
               &ResultsWindow::analysisPreviewRequested);
    addCommand("btnSaveAnalysis", "Save as p&df\u2026",
               "save the water supply analysis page as a pdf file",
               &ResultsWindow::analysisPdfRequested);
    analysisCommands->addStretch(1);

    // Advice and answers take the room they need: the results scroll above
    // the buttons rather than overprint each other in a small window.
    content_ = new QWidget;
    auto* column = new QVBoxLayout(content_);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(values);
    column->addWidget(messages_);
    column->addWidget(graph_, 1);
    column->addWidget(analysisHeading);
    column->addWidget(analysis_);
    column->addLayout(analysisCommands);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("resultsScroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(content_);
    auto* window = new QVBoxLayout(this);
    window->addWidget(scroll, 1);
    window->addLayout(buttons);
}

void ResultsWindow::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy))
        copyResults();
    else if (event->key() == Qt::Key_Escape)
        hide();
    else
        QWidget::keyPressEvent(event);
}

void ResultsWindow::testChanged() {
    if (!isVisible() || pending_.isActive())
        return;
    const qint64 since = sinceRefresh_.isValid() ? sinceRefresh_.elapsed() : refreshIntervalMs;
    pending_.start(static_cast<int>(qMax<qint64>(0, refreshIntervalMs - since)));
}

void ResultsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
    emit shownChanged(true);
}

void ResultsWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    emit shownChanged(false);
}

void ResultsWindow::refresh() {
    pending_.stop();
    sinceRefresh_.start();
    const ReportSnapshot snapshot = source_();
    results_ = computeTestResults(snapshot);
    separator_ = snapshot.decimalSeparator;
    updateMemoNotes(snapshot);
    analysis_->setUnits(snapshot.settings.units);
    analysis_->showAnswers(results_.analysis ? &*results_.analysis : nullptr);
    for (QPushButton* button : std::as_const(analysisButtons_))
        button->setEnabled(results_.analysis.has_value());
    // With a demand entered, the graph shows it.
    const std::optional<AnalysisGraphModel>& analysisGraph =
        results_.analysis ? results_.analysis->graph : std::nullopt;
    std::optional<FlowGraphPicture> picture =
        analysisGraph && !analysisGraph->demands.isEmpty()
            ? std::optional(DrawAnalysisGraph(*analysisGraph, results_.flowAt20psiLabel))
            : reportGraphPicture(results_);
    const bool drawn = picture.has_value();
    graph_->setGraph(std::move(picture).value_or(FlowGraphPicture()), drawn,
                     results_.units.pressure, results_.units.flow);
    showValues();
}

void ResultsWindow::showValues() {
    const QString none = QStringLiteral("–");
    const auto orNone = [&none](const QString& text) { return text.isEmpty() ? none : text; };
    total_->setText(orNone(results_.totalText));
    const QString note = chosenPressureNote(results_);
    const bool noteShown = !note.isEmpty();
    chosenCaption_->setVisible(noteShown);
    chosen_->setVisible(noteShown);
    chosen_->setText(note);
    ratedCaption_->setText(results_.flowAt20psiLabel + QLatin1Char(':'));
    rated_->setText(orNone(results_.flowAt20psiText));
    nfpaClass_->setText(orNone(results_.nfpaClassText));
    if (results_.rating.nfpaClass) {
        const QColor cap = nfpaCapColour(*results_.rating.nfpaClass);
        swatch_->setStyleSheet(
            QStringLiteral("background: %1; border: 1px solid #606060;").arg(cap.name()));
        swatch_->setToolTip(
            QString::fromLatin1(nfpaClassInfo(*results_.rating.nfpaClass).capColourName));
    } else {
        swatch_->setStyleSheet(QStringLiteral("border: 1px dashed #a0a0a0;"));
        swatch_->setToolTip(QString());
    }
    drop_->setText(orNone(results_.dropText));
    const QStringList lines = messageLines();
    messages_->setText(lines.join(QLatin1Char('\n')));
    messages_->setVisible(!lines.isEmpty());
    nameValues();
}

void ResultsWindow::nameValues() {
    nameByCaption(*total_, *totalCaption_, results_.totalText);
    nameByCaption(*chosen_, *chosenCaption_, chosenPressureNote(results_));
    nameByCaption(*rated_, *ratedCaption_, results_.flowAt20psiText);
    const std::optional<NfpaClass> rating = results_.rating.nfpaClass;
    const NfpaClassInfo* info = rating ? &nfpaClassInfo(*rating) : nullptr;
    const QString colour = info ? QString::fromLatin1(info->capColourName) : QString();
    nameByCaption(*nfpaClass_, *classCaption_,
                  info ? QStringLiteral("%1, %2").arg(QLatin1String(info->name), colour)
                       : QString());
    setSpoken(*swatch_, QStringLiteral("Cap colour: ") + spokenValue(colour));
    nameByCaption(*drop_, *dropCaption_, results_.dropText);
    const QStringList lines = messageLines();
    setSpoken(*messages_, lines.isEmpty()
                              ? QString()
                              : QStringLiteral("Advice: ") + lines.join(QLatin1Char(' ')));
    if (results_.graph)
        setSpoken(*graph_, QStringLiteral("Flow graph"), graphDescription(results_, separator_));
    else
        setSpoken(*graph_, QStringLiteral("Flow graph: none"));
}

void ResultsWindow::updateMemoNotes(const ReportSnapshot& snapshot) {
    // Laying out long memos costs what their text does: done again only
    // when a memo or the number of outlets changed, not on every number.
    const auto same = [](const QStringList& a, const QStringList& b) {
        return a.isSharedWith(b) || a == b;
    };
    const MemoInputs& last = memoNotesOf_;
    const qsizetype outlets = snapshot.test.outlets.size();
    if (outlets == last.outlets && same(snapshot.test.location, last.location) &&
        same(snapshot.test.notes, last.notes) && same(snapshot.settings.testedBy, last.testedBy))
        return;
    memoNotes_ = memoContinuationNotes(snapshot);
    memoNotesOf_ = {snapshot.test.location, snapshot.test.notes, snapshot.settings.testedBy,
                    outlets};
}

QStringList ResultsWindow::messageLines() const {
    QStringList lines = results_.stops + results_.advice + memoNotes_;
    if (!recoveryProblem_.isEmpty())
        lines.append(recoveryProblem_);
    return lines;
}

void ResultsWindow::setRecoveryProblem(const QString& problem) {
    recoveryProblem_ = problem;
    if (isVisible())
        showValues();
}

QString ResultsWindow::resultsText() const {
    return (resultLines(results_) + messageLines()).join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void ResultsWindow::copyResults() const {
    QGuiApplication::clipboard()->setText(resultsText());
}

void ResultsWindow::copyGraph() const {
    // Twice the natural size: sharp when pasted into a document.
    QGuiApplication::clipboard()->setImage(graph_->image(2));
}
