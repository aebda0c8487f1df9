#pragma once

#include "cli/commandline.h"
#include "hydraulics/settings.h"
#include "report/flowtestreport.h"

#include <QChar>
#include <QList>
#include <QString>

// The report files the tool writes, through the same composition and the
// same writers as the window's Save as pdf and Save as html.

struct ReportTarget {
    enum class Format { Pdf, Html };
    Format format;
    // For HTML the name as Save as html is given it: "out/report.html" writes
    // out/report1.html, out/report2.html, ... and the picture folder out/report/.
    QString fileName;
};

// The files the command writes for one input file.
QList<ReportTarget> reportTargets(const CommandLine& command, const QString& inputFile);

// The report of a test file as the window makes it after opening that file.
// Throws FileError when the file cannot be read.
ReportSnapshot snapshotOfFile(const QString& inputFile, const Settings& settings,
                              QChar decimalSeparator);

// Composes the report once and writes every target. Unless `replace`, a
// target whose file (any page of an HTML report) or non-empty picture folder
// exists already fails the whole input before anything is written. Throws
// UserError.
void writeReports(const ReportSnapshot& snapshot, const QList<ReportTarget>& targets, bool replace);
