#include "app/reportoutputs.h"

#include "app/reportpreview.h"
#include "report/painterwriter.h"
#include "textfile/textfile.h"

#include <QDialog>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QVBoxLayout>

#include <algorithm>

namespace {

void setUpPaper(QPrinter& printer) {
    printer.setFullPage(true); // page coordinates start at the paper's corner
    printer.setPageSize(QPageSize(QPageSize::Letter));
    // The tray stays the printer's own choice: Qt lists no trays to pick
    // the first from on this platform.
}

// "\"A\", \"B\" and \"C\"": a long list names the first few and counts the
// rest, so that the message stays readable.
QString listOfPrinters(const QStringList& names) {
    constexpr qsizetype namedAtMost = 5;
    QStringList shown;
    for (qsizetype i = 0; i < std::min(names.size(), namedAtMost); ++i)
        shown.append(QStringLiteral("\"%1\"").arg(names[i]));
    const qsizetype others = names.size() - shown.size();
    const QString last = others > 0 ? QStringLiteral("%1 more").arg(others) : shown.takeLast();
    return shown.isEmpty() ? last
                           : shown.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

} // namespace

PrinterChoice choosePrinter(const QString& defaultPrinterName, const QStringList& printerNames) {
    if (!defaultPrinterName.isEmpty())
        return {defaultPrinterName, {}};
    if (printerNames.size() == 1)
        return {printerNames.first(), {}};
    if (printerNames.isEmpty())
        return {{},
                QStringLiteral("No printer is set up on this computer. Add a printer in the "
                               "system settings, or save the report as a pdf file")};
    return {{},
            QStringLiteral("No default printer is chosen on this computer, which has %1 printers: "
                           "%2. Choose the default printer in the system settings, or save the "
                           "report as a pdf file")
                .arg(printerNames.size())
                .arg(listOfPrinters(printerNames))};
}

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

namespace {

class SystemPrinters : public Printers {
public:
    QString defaultPrinterName() const override { return QPrinterInfo::defaultPrinterName(); }
    QStringList printerNames() const override { return QPrinterInfo::availablePrinterNames(); }

    void print(const QString& printerName, const ComposedReport& pages,
               const ReportSystem& system) override {
        QPrinter printer(QPrinterInfo::printerInfo(printerName), QPrinter::HighResolution);
        printer.setDocName(system.printJobTitle);
        setUpPaper(printer);
        printPages(printer, pages, system);
        if (printer.printerState() == QPrinter::Error)
            throw UserError(
                QStringLiteral("The printer \"%1\" reported an error while printing the report")
                    .arg(printer.printerName()));
    }
};

} // namespace

PrinterOutput::PrinterOutput() : printers_(std::make_unique<SystemPrinters>()) {}

PrinterOutput::~PrinterOutput() = default;

void PrinterOutput::produce(const ComposedReport& pages, const ReportSystem& system) {
    const PrinterChoice choice =
        choosePrinter(printers_->defaultPrinterName(), printers_->printerNames());
    if (choice.printerName.isEmpty())
        throw UserError(choice.problem);
    printers_->print(choice.printerName, pages, system);
}

void PreviewOutput::produce(const ComposedReport& pages, const ReportSystem& system) {
    QPrinter printer(QPrinter::HighResolution);
    setUpPaper(printer);
    printer.setDocName(system.printJobTitle);
    showReportPreview(parent_, printer, pages, system, reportError_);
}
