#include "app/reportpreview.h"

#include "app/reportoutputs.h"
#include "textfile/textfile.h"
#include "ui/errorbox.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QGraphicsView>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <optional>

namespace {

// The zoom control's choices, and the steps of its zoom out and in buttons.
constexpr std::array zoomSteps{25, 50, 75, 100, 125, 150, 200, 300, 400};
constexpr int smallestZoom = 10;
constexpr int largestZoom = 400;

QString zoomText(int percent) {
    return QStringLiteral("%1%").arg(percent);
}

// A typed zoom, "80" or "80 %", kept within what the window can show.
std::optional<int> zoomFromText(QString text) {
    text.remove(QLatin1Char('%'));
    bool isNumber = false;
    const int percent = text.trimmed().toInt(&isNumber);
    if (!isNumber)
        return std::nullopt;
    return std::clamp(percent, smallestZoom, largestZoom);
}

// The next step above (or below) the zoom in force; the zoom itself past
// the last step.
int nextZoomStep(int percent, bool larger) {
    if (larger) {
        const auto* step = std::upper_bound(zoomSteps.begin(), zoomSteps.end(), percent);
        return step == zoomSteps.end() ? percent : *step;
    }
    const auto* step = std::lower_bound(zoomSteps.begin(), zoomSteps.end(), percent);
    return step == zoomSteps.begin() ? percent : *(step - 1);
}

// The desktop theme's picture, else the one Qt ships for its own preview.
QIcon previewIcon(const QString& themeName, const QString& qtName) {
    QIcon shipped;
    for (const int size : {24, 32})
        shipped.addFile(
            QStringLiteral(":/qt-project.org/dialogs/qprintpreviewdialog/images/%1-%2.png")
                .arg(qtName)
                .arg(size));
    return QIcon::fromTheme(themeName, shipped);
}

// A compact window around Qt's preview view: one tool bar with Print, the
// page buttons, the zoom and Close, which fits the window's narrow width,
// and the pages below it from edge to edge.
class ReportPreviewWindow : public QDialog {
public:
    ReportPreviewWindow(QWidget* parent, QPrinter& printer, const ComposedReport& pages,
                        const ReportSystem& system, PreviewErrorReporter reportError)
        : QDialog(parent), printer_(printer), pages_(pages), system_(system),
          reportError_(std::move(reportError)) {
        setObjectName(QStringLiteral("ReportPreview"));
        setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
        view_ = new QPrintPreviewWidget(&printer_, this);
        view_->setObjectName(QStringLiteral("PreviewPages"));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(makeToolBar());
        layout->addWidget(view_, 1);
        if (auto* graphics = view_->findChild<QGraphicsView*>())
            graphics->setFrameShape(QFrame::NoFrame); // the page needs the whole width
        connect(view_, &QPrintPreviewWidget::paintRequested, this,
                [this](QPrinter* target) { printPages(*target, pages_, system_); });
        connect(view_, &QPrintPreviewWidget::previewChanged, this, [this] { showPreviewState(); });
        view_->setZoomMode(QPrintPreviewWidget::CustomZoom);
        view_->setZoomFactor(system_.previewZoomPercent / 100.0);
        view_->setFocus();
    }

private:
    QAction* addButton(QToolBar* bar, const char* name, const QIcon& icon, const QString& text,
                       const std::function<void()>& act) {
        QAction* action = bar->addAction(icon, text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, act);
        return action;
    }

    static void showTextBeside(QToolBar* bar, QAction* action) {
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }

    QToolBar* makeToolBar() {
        auto* bar = new QToolBar(this);
        bar->setObjectName(QStringLiteral("PreviewToolBar"));
        bar->setMovable(false);
        bar->setFloatable(false);

        QAction* print = addButton(bar, "PreviewPrint", previewIcon("document-print", "printer"),
                                   QStringLiteral("Print"), [this] { printAndClose(); });
        print->setShortcut(QKeySequence::Print);
        print->setToolTip(QStringLiteral("Print the report"));
        print->setEnabled(system_.printer != nullptr);
        showTextBeside(bar, print);
        bar->addSeparator();
        addPageButtons(bar);
        bar->addSeparator();
        addZoomControls(bar);

        auto* gap = new QWidget(bar);
        gap->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        bar->addWidget(gap);
        QAction* close =
            addButton(bar, "PreviewClose", style()->standardIcon(QStyle::SP_DialogCloseButton),
                      QStringLiteral("Close"), [this] { reject(); });
        showTextBeside(bar, close);
        return bar;
    }

    void addPageButtons(QToolBar* bar) {
        first_ = addButton(bar, "PreviewFirstPage", previewIcon("go-first", "go-first"),
                           QStringLiteral("First page"), [this] { goToPage(1); });
        previous_ = addButton(bar, "PreviewPreviousPage", previewIcon("go-previous", "go-previous"),
                              QStringLiteral("Previous page"),
                              [this] { goToPage(view_->currentPage() - 1); });
        pageNumber_ = new QSpinBox(bar);
        pageNumber_->setObjectName(QStringLiteral("PreviewPageNumber"));
        pageNumber_->setButtonSymbols(QAbstractSpinBox::NoButtons);
        pageNumber_->setAlignment(Qt::AlignRight);
        pageNumber_->setKeyboardTracking(false);
        connect(pageNumber_, &QSpinBox::valueChanged, this, [this](int page) { goToPage(page); });
        bar->addWidget(pageNumber_);
        pageCount_ = new QLabel(bar);
        pageCount_->setContentsMargins(4, 0, 4, 0);
        bar->addWidget(pageCount_);
        next_ = addButton(bar, "PreviewNextPage", previewIcon("go-next", "go-next"),
                          QStringLiteral("Next page"),
                          [this] { goToPage(view_->currentPage() + 1); });
        last_ = addButton(bar, "PreviewLastPage", previewIcon("go-last", "go-last"),
                          QStringLiteral("Last page"),
                          [this] { goToPage(view_->pageCount()); });
    }

    // The view tells of pages scrolled to, not of pages it was sent to.
    void goToPage(int page) {
        view_->setCurrentPage(page);
        showPreviewState();
    }

    void addZoomControls(QToolBar* bar) {
        addButton(bar, "PreviewZoomOut", previewIcon("zoom-out", "zoom-out"),
                  QStringLiteral("Zoom out"),
                  [this] { setZoomPercent(nextZoomStep(zoomPercent(), false)); });
        zoom_ = new QComboBox(bar);
        zoom_->setObjectName(QStringLiteral("PreviewZoom"));
        zoom_->setToolTip(QStringLiteral("Zoom"));
        zoom_->setEditable(true);
        zoom_->setInsertPolicy(QComboBox::NoInsert);
        for (const int percent : zoomSteps)
            zoom_->addItem(zoomText(percent));
        zoom_->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral(" *\\d{1,3} *%?")), zoom_));
        // A choice from the list, or a typed zoom confirmed with Enter (which
        // the box itself ignores when the text is not one of its choices).
        connect(zoom_, &QComboBox::textActivated, this, &ReportPreviewWindow::applyZoomText);
        connect(zoom_->lineEdit(), &QLineEdit::editingFinished, this,
                [this] { applyZoomText(zoom_->currentText()); });
        bar->addWidget(zoom_);
        addButton(bar, "PreviewZoomIn", previewIcon("zoom-in", "zoom-in"),
                  QStringLiteral("Zoom in"),
                  [this] { setZoomPercent(nextZoomStep(zoomPercent(), true)); });
    }

    void applyZoomText(const QString& text) {
        if (const auto percent = zoomFromText(text))
            setZoomPercent(*percent);
        else
            showPreviewState(); // shows the zoom in force again
    }

    int zoomPercent() const { return qRound(view_->zoomFactor() * 100); }

    void setZoomPercent(int percent) {
        view_->setZoomFactor(percent / 100.0);
        showPreviewState();
    }

    // The page and zoom controls follow the view: after paging, scrolling
    // and zooming, they show the page and the zoom in force.
    void showPreviewState() {
        const int pages = view_->pageCount();
        const int page = view_->currentPage();
        {
            const QSignalBlocker blocker(pageNumber_);
            pageNumber_->setRange(std::min(1, pages), pages);
            pageNumber_->setValue(page);
        }
        pageCount_->setText(QStringLiteral("of %1").arg(pages));
        first_->setEnabled(page > 1);
        previous_->setEnabled(page > 1);
        next_->setEnabled(page < pages);
        last_->setEnabled(page < pages);
        zoom_->setEditText(zoomText(zoomPercent()));
        fitPaperWidth();
    }

    // Qt surrounds each page with a grey border a 25th of the paper's length
    // wide, which at the window's width would need a horizontal scroll bar.
    // The view scrolls over the paper and its shadow only; a wider window
    // centres them.
    void fitPaperWidth() {
        auto* graphics = view_->findChild<QGraphicsView*>();
        if (!graphics || !graphics->scene() || view_->pageCount() == 0)
            return;
        QRectF area = graphics->scene()->itemsBoundingRect();
        const double paperWidth =
            printer_.pageLayout().fullRectPixels(printer_.resolution()).width();
        const double border = (area.width() - paperWidth) / 2;
        if (border <= 0)
            return;
        area.adjust(border, 0, -border + paperWidth / 100, 0);
        graphics->setSceneRect(area);
    }

    // Prints what is shown, as File, Print does, and closes the window.
    void printAndClose() {
        try {
            system_.printer->produce(pages_, system_);
        } catch (const UserError& error) {
            if (reportError_)
                reportError_(error.message());
            else
                showErrorBox(this, error.message());
            return;
        }
        accept();
    }

    QPrinter& printer_;
    const ComposedReport& pages_;
    const ReportSystem& system_;
    PreviewErrorReporter reportError_;
    QPrintPreviewWidget* view_ = nullptr;
    QAction* first_ = nullptr;
    QAction* previous_ = nullptr;
    QAction* next_ = nullptr;
    QAction* last_ = nullptr;
    QSpinBox* pageNumber_ = nullptr;
    QLabel* pageCount_ = nullptr;
    QComboBox* zoom_ = nullptr;
};

} // namespace

void showReportPreview(QWidget* parent, QPrinter& printer, const ComposedReport& pages,
                       const ReportSystem& system, const PreviewErrorReporter& reportError) {
    ReportPreviewWindow preview(parent, printer, pages, system, reportError);
    preview.setWindowTitle(system.previewTitle);
    if (system.previewSize.isValid())
        preview.resize(system.previewSize);
    preview.setWindowState(system.previewState);
    preview.exec();
}
