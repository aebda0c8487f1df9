#include "report/filerenders.h"

#include "report/htmlwriter.h"
#include "report/pdfwriter.h"

#include <QFileInfo>

void PdfRender::produce(const ComposedReport& pages, const ReportSystem& system) {
    writePdfFile(system.outputFileName, pages);
}

HtmlName splitHtmlName(const QString& fileName) {
    const QString name = QFileInfo(fileName).fileName();
    // A leading dot starts a hidden name, not an extension.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return {name, QString()};
    return {name.left(dot), name.mid(dot)};
}

void HtmlRender::produce(const ComposedReport& pages, const ReportSystem& system) {
    const HtmlName name = splitHtmlName(system.outputFileName);
    writeHtmlReport(pages, QFileInfo(system.outputFileName).absolutePath(), name.base,
                    name.extension);
}
