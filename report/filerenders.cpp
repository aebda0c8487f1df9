#include "report/filerenders.h"

#include "report/pdfwriter.h"

#include <QFileInfo>

void PdfRender::produce(const ComposedReport& pages, const ReportSystem& system) {
    writePdfFile(system.outputFileName, pages, system.printJobTitle);
}

HtmlName splitHtmlName(const QString& fileName) {
    const QString name = QFileInfo(fileName).fileName();
    // A leading dot starts a hidden name, not an extension.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return {name, QString()};
    return {name.left(dot), name.mid(dot)};
}

void writeHtmlFile(const QString& fileName, const ComposedReport& pages, const HtmlOutput& output) {
    const HtmlName name = splitHtmlName(fileName);
    writeHtmlReport(pages, QFileInfo(fileName).absolutePath(), name.base, name.extension, output);
}

void HtmlRender::produce(const ComposedReport& pages, const ReportSystem& system) {
    writeHtmlFile(system.outputFileName, pages, {LinkHandling::Follow, system.printJobTitle, {}});
}
