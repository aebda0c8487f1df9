#include "app/reportoutputs.h"

#include "report/painterwriter.h"
#include "textfile/textfile.h"

#include <QDialog>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QVBoxLayout>

namespace {

void setUpPaper(QPrinter& printer) {
    printer.setFullPage(true); // page coordinates start at the paper's corner
    printer.setPageSize(QPageSize(QPageSize::Letter));
    // The tray stays the printer's own choice: Qt lists no trays to pick
    // the first from on this platform.
}

} // namespace

void printPages(QPrinter& printer, const ComposedReport& pages, const ReportSystem& system) {
    QPainter painter;
    if (!painter.begin(&printer))
        throw UserError(QStringLiteral("The report could not be sent to the printer \"%1\".")
                            .arg(printer.printerName()));
    const double dotsPerInch = printer.resolution();
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0)
            printer.newPage();
        system.reportStatus(system.printingStatus, static_cast<int>(i + 1));
        paintPage(painter, pages[i], dotsPerInch);
    }
    painter.end();
}

ReportStatusWindow::ReportStatusWindow(QWidget* parent, const QString& title)
    : window_(std::make_unique<QDialog>(parent, Qt::Dialog | Qt::CustomizeWindowHint |
                                                    Qt::WindowTitleHint)) {
    window_->setObjectName(QStringLiteral("ReportStatus"));
    window_->setWindowTitle(title);
    auto* layout = new QVBoxLayout(window_.get());
    line_ = new QLabel(window_.get());
    line_->setObjectName(QStringLiteral("StatusLine"));
    line_->setMinimumWidth(260);
    layout->addWidget(line_);
}

ReportStatusWindow::~ReportStatusWindow() = default;

void ReportStatusWindow::show(const QString& status) {
    line_->setText(status);
    if (!window_->isVisible())
        window_->show();
    // Painted at once: the report runs to its end before events are handled.
    window_->repaint();
}

void PrinterOutput::produce(const ComposedReport& pages, const ReportSystem& system) {
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (defaultPrinter.isNull())
        throw UserError(QStringLiteral("No printer is set up on this computer. Add a printer in "
                                       "the system settings, or save the report as a pdf file"));
    QPrinter printer(defaultPrinter, QPrinter::HighResolution);
    printer.setDocName(system.printJobTitle);
    setUpPaper(printer);
    printPages(printer, pages, system);
    if (printer.printerState() == QPrinter::Error)
        throw UserError(
            QStringLiteral("The printer \"%1\" reported an error while printing the report")
                .arg(printer.printerName()));
}

void PreviewOutput::produce(const ComposedReport& pages, const ReportSystem& system) {
    QPrinter printer(QPrinter::HighResolution);
    setUpPaper(printer);
    QPrintPreviewDialog preview(&printer, parent_);
    preview.setObjectName(QStringLiteral("ReportPreview"));
    preview.setWindowTitle(system.previewTitle);
    preview.resize(system.previewSize);
    preview.setWindowState(system.previewState);
    if (auto* view = preview.findChild<QPrintPreviewWidget*>()) {
        view->setZoomMode(QPrintPreviewWidget::CustomZoom);
        view->setZoomFactor(system.previewZoomPercent / 100.0);
    }
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&pages, &system](QPrinter* target) { printPages(*target, pages, system); });
    preview.exec();
}
