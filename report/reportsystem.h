#pragma once

#include "report/composedpage.h"

#include <QList>
#include <QSize>
#include <QString>
#include <Qt>

#include <functional>

class DataConnection;
class ReportSystem;
struct ReportProject;

enum class ReportDestination { Preview, Printer, File };

// Where composed pages go: the printer, the preview window, or a file
// writer. Failures are thrown as exceptions carrying the user's message.
class ReportOutput {
public:
    virtual ~ReportOutput() = default;
    virtual void produce(const ComposedReport& pages, const ReportSystem& system) = 0;
};

// The report engine's controller: it holds the output settings a command
// gives it, runs a report of a project by name, and hands the composed
// pages to the output of the destination. The settings stay after a run.
class ReportSystem {
public:
    ReportDestination destination = ReportDestination::Preview;
    ReportOutput* writer = nullptr; // for file output
    QString outputFileName;

    Qt::WindowState previewState = Qt::WindowNoState;
    QSize previewSize;
    int previewZoomPercent = 100;

    QString statusTitle = QStringLiteral("Report Status");
    QString previewTitle = QStringLiteral("Report Preview");
    QString generatingStatus = QStringLiteral("Generating page %p");
    QString printingStatus = QStringLiteral("Printing page %p");
    QString printJobTitle = QStringLiteral("Hydrant Flow Test Report");

    // The printer and the preview window, set up once by their owner.
    ReportOutput* printer = nullptr;
    ReportOutput* preview = nullptr;
    // Receives the status lines while a report runs.
    std::function<void(const QString&)> onStatus;

    // A status format with %p replaced by the page number.
    static QString statusLine(const QString& format, int page);
    void reportStatus(const QString& format, int page) const;

    // Composes the named report of the project from the connections and
    // produces it at the destination; a name the project does not hold, or
    // a destination without an output, does nothing. Returns true when the
    // report was produced; the output's exceptions pass through.
    bool execute(const ReportProject& project, const QString& reportName,
                 const QList<DataConnection*>& connections);
    // Produces pages composed already at the destination; false without an
    // output there.
    bool produce(const ComposedReport& pages);
};
