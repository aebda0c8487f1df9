#pragma once

#include "report/reportsystem.h"

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

using PreviewErrorReporter = std::function<void(const QString&)>;

// The report preview: a compact modal window around Qt's preview view, with
// one tool bar (Print, the page buttons, the zoom and Close) that fits the
// window's narrow width, and the pages from edge to edge below it. It has the
// system's caption, size, window state and zoom; Print prints on the
// system's printer output and closes it, and a failed print is told through
// `reportError` (the application's error box when empty). Returns when the
// window is closed.
void showReportPreview(QWidget* parent, QPrinter& printer, const ComposedReport& pages,
                       const ReportSystem& system, const PreviewErrorReporter& reportError);
