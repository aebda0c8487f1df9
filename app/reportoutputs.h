#pragma once

#include "app/reportpreview.h"
#include "report/reportsystem.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QDialog;
class QLabel;
class QPrinter;
class QWidget;

// The report engine's window outputs: the printer, and the preview window.
// Both draw the composed pages with the painter writer.

// Which printer a report printed without a dialog goes to: the system's
// default printer, else the only printer there is. When neither exists,
// `printerName` is empty and `problem` tells the user why, naming the
// printers found when there are several.
struct PrinterChoice {
    QString printerName;
    QString problem;
};
PrinterChoice choosePrinter(const QString& defaultPrinterName, const QStringList& printerNames);

// The printers a report can go to, and the printing itself: the system's,
// through Qt's printing support, unless a test gives others, so that no test
// ever depends on, or sends a job to, the machine's printers.
class Printers {
public:
    virtual ~Printers() = default;
    virtual QString defaultPrinterName() const = 0;
    virtual QStringList printerNames() const = 0;
    // Throws UserError when the printer fails.
    virtual void print(const QString& printerName, const ComposedReport& pages,
                       const ReportSystem& system) = 0;
};

// Prints on the printer choosePrinter() picks, without a dialog, on US
// Letter, from the printer's default tray. Throws UserError when there is
// no such printer or the printer fails.
class PrinterOutput : public ReportOutput {
public:
    PrinterOutput();
    ~PrinterOutput() override;
    void produce(const ComposedReport& pages, const ReportSystem& system) override;
    void setPrinters(std::unique_ptr<Printers> printers) { printers_ = std::move(printers); }

private:
    std::unique_ptr<Printers> printers_;
};

// Shows the pages in a modal preview window with the system's caption,
// size, window state and zoom; the window goes page by page, zooms, and
// prints on the system's printer output. A failed print from the window is
// told through the error reporter, by default the application's error box.
class PreviewOutput : public ReportOutput {
public:
    using ErrorReporter = PreviewErrorReporter;

    explicit PreviewOutput(QWidget* parent) : parent_(parent) {}
    void setErrorReporter(ErrorReporter reporter) { reportError_ = std::move(reporter); }
    void produce(const ComposedReport& pages, const ReportSystem& system) override;

private:
    QWidget* parent_;
    ErrorReporter reportError_;
};

// The engine's "Report Status" window: a line telling which page is being
// generated or printed, shown while a report runs.
class ReportStatusWindow {
public:
    ReportStatusWindow(QWidget* parent, const QString& title);
    ~ReportStatusWindow();
    ReportStatusWindow(const ReportStatusWindow&) = delete;
    ReportStatusWindow& operator=(const ReportStatusWindow&) = delete;

    void show(const QString& status);

private:
    std::unique_ptr<QDialog> window_;
    QLabel* line_ = nullptr;
};

// Draws every page onto a printer (a real one, or the preview's).
void printPages(QPrinter& printer, const ComposedReport& pages, const ReportSystem& system);
