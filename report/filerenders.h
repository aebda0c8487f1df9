#pragma once

#include "report/htmlwriter.h"
#include "report/reportsystem.h"

// The report system's writers for file output: each writes the composed
// pages to the system's output file name.

// RvRenderPDF: one PDF file.
class PdfRender : public ReportOutput {
public:
    void produce(const ComposedReport& pages, const ReportSystem& system) override;
};

// RvRenderHTML: for the output name B + E, page k goes to B + k + E beside
// it and the pictures into the folder B there.
class HtmlRender : public ReportOutput {
public:
    void produce(const ComposedReport& pages, const ReportSystem& system) override;
};

// Writes the report as Save as html does for "folder/B.E": the picture
// folder B is made when missing (also for a report without pictures), and
// page k goes to folder/B + k + E. Throws FileError.
void writeHtmlFile(const QString& fileName, const ComposedReport& pages,
                   const HtmlOutput& output = {});

// The parts of an HTML output name: "report.html" -> {"report", ".html"}.
struct HtmlName {
    QString base;
    QString extension; // with its dot; empty when the name has none
};
HtmlName splitHtmlName(const QString& fileName);
