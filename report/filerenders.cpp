#include "report/filerenders.h"

#include "report/htmlwriter.h"
#include "report/pdfwriter.h"
#include "textfile/textfile.h"

#include <QDir>
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

void writeHtmlFile(const QString& fileName, const ComposedReport& pages) {
    const QDir folder = QFileInfo(fileName).absoluteDir();
    const HtmlName name = splitHtmlName(fileName);
    if (!folder.exists(name.base) && !folder.mkdir(name.base))
        throw FileError(QStringLiteral("Cannot create folder \"%1\".")
                            .arg(QDir::toNativeSeparators(folder.filePath(name.base))));
    writeHtmlReport(pages, folder.absolutePath(), name.base, name.extension);
}

void HtmlRender::produce(const ComposedReport& pages, const ReportSystem& system) {
    writeHtmlFile(system.outputFileName, pages);
}
