#pragma once

#include "report/reportsystem.h"

#include <memory>

class QDialog;
class QLabel;
class QPrinter;
class QWidget;

// The report engine's window outputs: the default printer, and the preview
// window. Both draw the composed pages with the painter writer.

// Prints on the system's default printer without a dialog, on US Letter,
// from the printer's default tray. Throws UserError when the
// system has no printer or the printer fails.
class PrinterOutput : public ReportOutput {
public:
    void produce(const ComposedReport& pages, const ReportSystem& system) override;
};

// Shows the pages in a modal preview window with the system's caption,
// size, window state and zoom; the window can print and go page by page.
class PreviewOutput : public ReportOutput {
public:
    explicit PreviewOutput(QWidget* parent) : parent_(parent) {}
    void produce(const ComposedReport& pages, const ReportSystem& system) override;

private:
    QWidget* parent_;
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
