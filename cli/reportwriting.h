#pragma once

#include "cli/commandline.h"
#include "hydraulics/settings.h"
#include "report/flowtestreport.h"

#include <QChar>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// The report files the tool writes, through the same composition and the
// same writers as the window's Save as pdf and Save as html. A batch is
// composed first, then planned (every output path of every input known and
// checked against the others), then written.

// A test file is a few kilobytes; the tool reads none larger than this.
inline constexpr std::int64_t maxTestFileBytes = std::int64_t(64) << 20;

struct ReportTarget {
    enum class Format { Pdf, Html, AnalysisPdf };
    Format format;
    // For HTML the name as Save as html is given it: "out/report.html" writes
    // out/report1.html, out/report2.html, ... and the picture folder out/report/.
    QString fileName;
};

// The files the command writes for one input file.
QList<ReportTarget> reportTargets(const CommandLine& command, const QString& inputFile);

// Every path a target writes for a report of `pageCount` pages: the PDF
// file, or each page and the picture folder.
QStringList targetPaths(const ReportTarget& target, qsizetype pageCount);

// Why an input's reports cannot be named inside the --out-dir folder (an
// input named ".oft", "..oft" or "...oft"); none when they can.
std::optional<QString> reportNameRefusal(const CommandLine& command, const QString& inputFile);

// The report of a test file as the window makes it after opening that file.
// Throws FileError when the file cannot be read (not a regular file, or
// larger than maxTestFileBytes).
ReportSnapshot snapshotOfFile(const QString& inputFile, const Settings& settings,
                              QChar decimalSeparator);

// One input of a batch, composed and planned: its pages and its targets, or
// why it failed.
struct PlannedReport {
    QString inputFile;
    ComposedReport pages;
    QList<ReportTarget> targets;
    QString title; // of the PDF and of the web pages
    // The water supply analysis page, when a target asks for it.
    ComposedReport analysisPages;
    QString analysisTitle;
    QString error; // empty when the report can be written
};

// Reads and composes one input; never throws.
PlannedReport planReport(const CommandLine& command, const Settings& settings,
                         QChar decimalSeparator, const QString& inputFile);

// The usage error naming two inputs whose reports would share a path; none
// when every path of the batch belongs to one input only.
std::optional<QString> sharedOutputError(const QList<PlannedReport>& batch);

// Every path the batch writes, as the file system compares them.
QSet<QString> batchPaths(const QList<PlannedReport>& batch);

// Writes every target of a planned report. Unless `replace`, a target whose
// file (any page of an HTML report) or non-empty picture folder exists, or
// a symbolic link at any of them, fails the whole input before anything is
// written. A link at an output is never followed: with `replace` the link
// itself is replaced. An old page that the batch writes for another input
// is left alone. Throws UserError.
void writeReports(const PlannedReport& report, bool replace, const QSet<QString>& batchPaths);
